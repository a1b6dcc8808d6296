#pragma once

#include "platform/RtfCodec.h"

#include <QString>

class QWidget;
class frmDocument;
class frmMain;

// The file commands: pages move between a document window and a file on disk, as a plain
// page (".htm", ".html": the text, CR LF breaks) or as an editing file (".hted": RTF with the
// colour of every character). They share the main window's one dialog file name.
namespace files {

inline const QString openFilter =
    QStringLiteral("HTML Files (*.htm, *.html, *.hted)|*.htm;*.html;*.hted");
inline const QString pageFilter =
    QStringLiteral("HTM Files (*.htm)|*.htm|HTML Files (*.html)|*.html");
inline const QString editingFilter = QStringLiteral("DEVuve Files (*.hted)|*.hted");

// Replaces the document's whole content with a file, as one recorded change: RTF with its
// colours, anything else as a plain page in its encoding. On failure the document is left
// as it was and `reason` says why.
bool loadInto(frmDocument& doc, const QString& path, QString* reason);

// Writes the document's text as a plain page file, atomically, in the page's encoding when
// that can hold every character (else UTF-8). The page keeps the encoding written.
bool writePage(frmDocument& doc, const QString& path, QString* reason);

// The face and size an editing file of the document names.
platform::rtf::WriteOptions editingOptions(const frmDocument& doc);

// Writes the document's coloured content as an editing file, atomically.
bool writeEditingFile(const frmDocument& doc, const QString& path, QString* reason);

// The message box for a file that could not be saved or opened.
void reportSaveFailure(QWidget* parent, const QString& path, const QString& reason);
void reportOpenFailure(QWidget* parent, const QString& path, const QString& reason);

// The commands. With no document open, the save commands do nothing; Open loads into a new
// document window.
void open(frmMain& main);
void save(frmMain& main);
// Save on the active document; whether its page was written (false when the dialog was
// cancelled, the write failed, or there is no document).
bool saveActive(frmMain& main);
void saveAs(frmMain& main);
void saveForEditing(frmMain& main);

} // namespace files
