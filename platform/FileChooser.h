#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// The common file dialog: open and save dialogs configured by a filter in the notation
// "description|pattern;pattern|description|pattern". The dialog goes through a replaceable
// handler so that tests can script the chosen name, or a cancel.
namespace platform {

enum class FileDialogKind { Open, Save };

struct FileRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString filter;
    QString fileName; // the name the dialog shows first (the last one chosen)
};

// Returns the chosen file's full path, or an empty string when the user cancels. The save
// dialog asks before replacing an existing file; it adds no extension to the name typed.
using FileChooser = std::function<QString(QWidget* parent, const FileRequest& request)>;

FileChooser& fileChooser();
void resetFileChooser();
QString chooseFile(QWidget* parent, const FileRequest& request);

// Whether the platform's own dialog is used; otherwise Qt's (tests drive that one).
void setUseNativeFileDialog(bool use);

// "HTM Files (*.htm)|*.htm|HTML Files (*.html)|*.html" as Qt name filters:
// "HTM Files (*.htm) (*.htm)", "HTML Files (*.html) (*.html)". The dialog shows only the
// descriptions.
QStringList toNameFilters(const QString& filter);

// The picture files an installed image reader can read, of PNG, JPEG, GIF, WebP, SVG and
// AVIF, as patterns ("*.png", "*.jpg", ...); `formats` are the readers' format names
// (QImageReader's, by default).
QStringList picturePatterns(const QList<QByteArray>& formats);
QStringList picturePatterns();
// A picture Browse filter: the given one first, then "All Pictures" of picturePatterns().
QString withAllPictures(const QString& filter);

} // namespace platform
