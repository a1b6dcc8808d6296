#include "app/FileCommands.h"

#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/FileChooser.h"
#include "platform/FileIo.h"
#include "platform/Prompts.h"
#include "platform/RtfCodec.h"
#include "platform/TextCodec.h"

#include <QFont>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace files {

namespace {

QString askForName(frmMain& main, platform::FileDialogKind kind, const QString& filter)
{
    return platform::chooseFile(&main, {kind, filter, workspace::shared().dialogFileName});
}

// Save's dialog path, shared with Save As: the page under a chosen name, which then becomes
// the document's caption. A cancel or a failure changes nothing.
bool saveUnderChosenName(frmMain& main, frmDocument& doc)
{
    const QString name = askForName(main, platform::FileDialogKind::Save, pageFilter);
    if (name.isEmpty())
        return false;
    QString reason;
    if (!writePage(doc, name, &reason)) {
        reportSaveFailure(&main, name, reason);
        return false;
    }
    workspace::shared().dialogFileName = name;
    doc.setWindowTitle(name);
    doc.markSaved();
    return true;
}

} // namespace

bool loadInto(frmDocument& doc, const QString& path, QString* reason)
{
    QByteArray bytes;
    if (!platform::files::readFile(path, &bytes, reason))
        return false;
    RichEdit* edit = doc.editor();
    if (platform::rtf::looksLikeRtf(bytes)) {
        edit->setWholeRuns(platform::rtf::read(bytes));
        doc.setPageEncoding(platform::text::newPageEncoding);
    } else {
        platform::text::Decoded page = platform::text::decode(bytes);
        bytes = QByteArray(); // the text is all that is needed from here on
        edit->setWholeText(page.text);
        doc.setPageEncoding(page.encoding);
    }
    edit->moveCursor(QTextCursor::Start);
    doc.markSaved();
    return true;
}

bool writePage(frmDocument& doc, const QString& path, QString* reason)
{
    platform::text::PageEncoding used;
    const QByteArray bytes =
        platform::text::encodePage(doc.editor()->text(), doc.pageEncoding(), &used);
    if (!platform::files::writeFileAtomically(path, bytes, reason))
        return false;
    doc.setPageEncoding(used);
    return true;
}

platform::rtf::WriteOptions editingOptions(const frmDocument& doc)
{
    platform::rtf::WriteOptions options;
    const QFont font = doc.editor()->document()->defaultFont();
    options.fontName = font.family();
    if (font.pointSizeF() > 0)
        options.halfPoints = static_cast<int>(std::lround(font.pointSizeF() * 2));
    return options;
}

bool writeEditingFile(const frmDocument& doc, const QString& path, QString* reason)
{
    return platform::files::writeFileAtomically(
        path, platform::rtf::write(doc.editor()->runs(), editingOptions(doc)), reason);
}

void reportSaveFailure(QWidget* parent, const QString& path, const QString& reason)
{
    platform::showMessage(parent, platform::files::saveFailureText(path, reason));
}

void reportOpenFailure(QWidget* parent, const QString& path, const QString& reason)
{
    platform::showMessage(parent,
                          QStringLiteral("The file \"%1\" could not be opened.\n%2").arg(path, reason));
}

void open(frmMain& main)
{
    const QString name = askForName(main, platform::FileDialogKind::Open, openFilter);
    if (name.isEmpty())
        return;
    QString reason;
    frmDocument* doc = workspace::activeDocument();
    if (!doc || !loadInto(*doc, name, &reason)) {
        // No usable document: try again in a new one, which stays even if this fails too.
        doc = main.LoadANewDoc();
        if (!loadInto(*doc, name, &reason)) {
            reportOpenFailure(&main, name, reason);
            return;
        }
    }
    workspace::shared().dialogFileName = name;
    doc->setWindowTitle(name);
}

bool saveActive(frmMain& main)
{
    frmDocument* doc = workspace::activeDocument();
    if (!doc)
        return false;
    const QString& name = workspace::shared().dialogFileName;
    if (name == doc->windowTitle()) {
        QString reason;
        if (!writePage(*doc, name, &reason)) {
            reportSaveFailure(&main, name, reason);
            return false;
        }
        doc->markSaved();
        return true;
    }
    if (!saveUnderChosenName(main, *doc))
        return false;
    workspace::shared().pageSaved = true;
    return true;
}

void save(frmMain& main) { saveActive(main); }

void saveAs(frmMain& main)
{
    if (frmDocument* doc = workspace::activeDocument())
        saveUnderChosenName(main, *doc);
}

void saveForEditing(frmMain& main)
{
    frmDocument* doc = workspace::activeDocument();
    if (!doc)
        return;
    const QString name = askForName(main, platform::FileDialogKind::Save, editingFilter);
    if (name.isEmpty())
        return;
    QString reason;
    if (!writeEditingFile(*doc, name, &reason)) {
        reportSaveFailure(&main, name, reason);
        return;
    }
    workspace::shared().dialogFileName = name;
    doc->markSaved();
}

} // namespace files
