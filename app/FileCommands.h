#pragma once

#include "platform/FileIdentity.h"
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
// colours, anything else as a plain page in its encoding and line ends. On failure the
// document is left as it was and `reason` says why. `note`, when given, receives what the user
// should know about how a plain page was read (an encoding other than its mark claims, not
// UTF-8, a stray last byte, mixed line ends), or nothing. The document then knows the file as its own.
bool loadInto(frmDocument& doc, const QString& path, QString* reason, QString* note = nullptr);

// Writes the document's text as a plain page file, atomically, in the page's encoding, each
// line with its own line end; the characters the encoding cannot hold are written as numeric
// character references. `note`, when given, receives the news of such references the first
// time a page has them (once per page read), or nothing. The document then knows the file as
// its own.
bool writePage(frmDocument& doc, const QString& path, QString* reason, QString* note = nullptr);

// The face and size an editing file of the document names.
platform::rtf::WriteOptions editingOptions(const frmDocument& doc);

// Writes the document's coloured content as an editing file, atomically; `written`, when
// given, receives the identity of the file written.
bool writeEditingFile(const frmDocument& doc, const QString& path, QString* reason,
                      platform::files::FileIdentity* written = nullptr);

// Whether the document may be written into `path`: when that is the document's own file and
// another program has changed it since the document read or wrote it, the user is asked
// (Overwrite or Cancel). A file deleted since is simply written again.
bool mayOverwrite(frmMain& main, const frmDocument& doc, const QString& path);

// Whether a name is that of an editing file (".hted", in any case).
bool isEditingFileName(const QString& path);

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
// Saves the page before a question lets its text go (closing, quitting, Open over it): to the
// file its caption names, without a dialog, whatever the shared dialog name holds; a page
// that has no file yet asks for a name, with none pre-filled (the shared name may be another
// page's file). Whether the page was written.
bool saveToItsFile(frmMain& main, frmDocument& doc);
void saveAs(frmMain& main);
void saveForEditing(frmMain& main);

} // namespace files
