#include "platform/FileChooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>

namespace platform {

namespace {

bool& useNative()
{
    static bool native = true;
    return native;
}

// Whether the window carries a style sheet of its own, which a child dialog would take on.
bool styled(const QWidget* w)
{
    for (; w; w = w->parentWidget())
        if (!w->styleSheet().isEmpty())
            return true;
    return false;
}

QString showDialog(QWidget* parent, const FileRequest& request)
{
    const bool save = request.kind == FileDialogKind::Save;
    // Called from a dialog with a look of its own (the red generator dialogs), the file dialog
    // stands on its own so that it keeps the platform's look; it is modal all the same and is
    // placed over the caller.
    QWidget* const caller = parent;
    if (styled(parent))
        parent = nullptr;
    QFileDialog dialog(parent, save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    dialog.setObjectName(QStringLiteral("dlgCommonDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontUseNativeDialog, !useNative());
    dialog.setNameFilters(toNameFilters(request.filter));
    if (!request.fileName.isEmpty()) {
        const QFileInfo last(request.fileName);
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
    if (!parent && caller) {
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.adjustSize();
        dialog.move(caller->window()->frameGeometry().center() - dialog.rect().center());
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace

FileChooser& fileChooser()
{
    static FileChooser current = showDialog;
    return current;
}

void resetFileChooser() { fileChooser() = showDialog; }

QString chooseFile(QWidget* parent, const FileRequest& request)
{
    return fileChooser() ? fileChooser()(parent, request) : QString();
}

void setUseNativeFileDialog(bool use) { useNative() = use; }

QStringList toNameFilters(const QString& filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        out << parts.at(i).trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
    }
    return out;
}

QStringList picturePatterns(const QList<QByteArray>& formats)
{
    struct Kind {
        const char* format;
        QStringList patterns;
    };
    const Kind kinds[] = {{"png", {QStringLiteral("*.png")}},
                          {"jpeg", {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}},
                          {"gif", {QStringLiteral("*.gif")}},
                          {"webp", {QStringLiteral("*.webp")}},
                          {"svg", {QStringLiteral("*.svg")}},
                          {"avif", {QStringLiteral("*.avif")}}};
    QStringList out;
    for (const Kind& k : kinds)
        if (formats.contains(QByteArray(k.format)))
            out << k.patterns;
    return out;
}

QStringList picturePatterns() { return picturePatterns(QImageReader::supportedImageFormats()); }

QString withAllPictures(const QString& filter)
{
    const QStringList patterns = picturePatterns();
    if (patterns.isEmpty())
        return filter;
    return filter + QStringLiteral("|All Pictures|") + patterns.join(QLatin1Char(';'));
}

} // namespace platform
