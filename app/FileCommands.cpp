#include "app/FileCommands.h"

#include "app/CloseQuestions.h"
#include "app/RecentPages.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/FileChooser.h"
#include "platform/FileIo.h"
#include "platform/Prompts.h"
#include "platform/RtfCodec.h"
#include "platform/RtfWhole.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFont>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace files {

namespace {

// How long a note about a file just read stays in the status bar.
constexpr int noteMilliseconds = 10000;

QString askForName(frmMain& main, platform::FileDialogKind kind, const QString& filter,
                   const QString& suggested = workspace::shared().dialogFileName)
{
    return platform::chooseFile(&main, {kind, filter, suggested});
}

// Saves the document as its own file under `path`, in the format the name asks for: an
// editing file keeps its colours, anything else is a plain page. Failures are reported.
bool saveOwnFile(frmMain& main, frmDocument& doc, const QString& path)
{
    if (!mayOverwrite(main, doc, path))
        return false;
    QString reason;
    QString note;
    platform::files::FileIdentity written;
    const bool ok = isEditingFileName(path) ? writeEditingFile(doc, path, &reason, &written)
                                            : writePage(doc, path, &reason, &note);
    if (!ok) {
        reportSaveFailure(&main, path, reason);
        return false;
    }
    if (!note.isEmpty())
        main.statusBar()->showMessage(note, noteMilliseconds);
    if (isEditingFileName(path))
        doc.setFileIdentity(written);
    recent::remember(path);
    return true;
}

// Save's dialog path, shared with Save As: the page under a chosen name, which then becomes
// the document's caption. A cancel or a failure changes nothing.
bool saveUnderChosenName(frmMain& main, frmDocument& doc,
                         const QString& suggested = workspace::shared().dialogFileName)
{
    const QString name = askForName(main, platform::FileDialogKind::Save, pageFilter, suggested);
    if (name.isEmpty() || !saveOwnFile(main, doc, name))
        return false;
    workspace::shared().dialogFileName = name;
    doc.setWindowTitle(name);
    doc.markSaved();
    return true;
}

// Why an editing file is not opened: its page is larger than the editor is given.
QString tooLargeForTheEditor(platform::rtf::Overflow overflow)
{
    using platform::rtf::Overflow;
    const QString what =
        overflow == Overflow::Runs
            ? QStringLiteral("It changes colour more than %L1 times").arg(platform::rtf::maxRuns)
        : overflow == Overflow::Lines
            ? QStringLiteral("It has more than %L1 lines").arg(platform::rtf::maxLines)
            : QStringLiteral("It has more than %L1 characters").arg(platform::rtf::maxCharacters);
    return what + QStringLiteral(", more than the editor can show.");
}

// The line (from 1) of a character of the text.
qsizetype lineOfOffset(QStringView text, qsizetype offset)
{
    const QStringView before = text.first(std::min(offset, text.size()));
    const qsizetype lf = before.count(QLatin1Char('\n'));
    return 1 + (lf > 0 ? lf : before.count(QLatin1Char('\r')));
}

// What the user should know about how a plain page was read, or nothing.
QString readingNote(const QString& path, const platform::text::Decoded& page)
{
    using namespace platform::text;
    QStringList notes;
    if (page.markMismatch)
        notes << QStringLiteral("\u201C%1\u201D does not match its byte-order mark: read as %2, so "
                                "that every byte is kept.")
                     .arg(path, encodingName(page.encoding.encoding));
    if (page.invalidUtf8At >= 0)
        notes << QStringLiteral("\u201C%1\u201D is not valid UTF-8 (line %2): read as %3.")
                     .arg(path)
                     .arg(lineOfOffset(page.text, page.invalidUtf8At))
                     .arg(encodingName(page.encoding.encoding));
    if (page.encoding.trailingByte >= 0)
        notes << QStringLiteral("\u201C%1\u201D ends in half a %2 character: its last byte is kept "
                                "as it is.")
                     .arg(path, encodingName(page.encoding.encoding));
    if (page.mixedLineEnds)
        notes << QStringLiteral("\u201C%1\u201D has mixed line ends: each line keeps its own, and new "
                                "lines end with %2, the most frequent.")
                     .arg(path, lineEndName(page.encoding.lineEnd));
    return notes.join(QLatin1Char(' '));
}

} // namespace

bool mayOverwrite(frmMain& main, const frmDocument& doc, const QString& path)
{
    const platform::files::FileIdentity& known = doc.fileIdentity();
    if (!known.isOf(path) || platform::files::diskState(known) != platform::files::DiskState::Changed)
        return true;
    platform::Question question;
    question.text = QStringLiteral("\u201C%1\u201D was changed by another program since %2 opened it.")
                        .arg(path, platform::applicationTitle());
    question.buttons = {QStringLiteral("Overwrite"), QStringLiteral("Cancel")};
    question.defaultButton = 1;
    question.escapeButton = 1;
    return platform::ask(&main, question) == 0;
}

bool isEditingFileName(const QString& path)
{
    return path.endsWith(QLatin1String(".hted"), Qt::CaseInsensitive);
}

bool loadInto(frmDocument& doc, const QString& path, QString* reason, QString* note)
{
    QByteArray bytes;
    platform::files::FileIdentity identity;
    if (!platform::files::readFile(path, &bytes, reason, platform::files::maxReadBytes, &identity))
        return false;
    RichEdit* edit = doc.editor();
    if (platform::rtf::looksLikeRtf(bytes)) {
        platform::rtf::Overflow overflow = platform::rtf::Overflow::None;
        const platform::rtf::Runs runs = platform::rtf::read(bytes, &overflow);
        if (overflow != platform::rtf::Overflow::None) {
            *reason = tooLargeForTheEditor(overflow);
            return false;
        }
        bytes = QByteArray();
        edit->setWholeRuns(runs);
        doc.setPageEncoding(platform::text::newPageEncoding);
        doc.setToldOfReferences(false);
    } else {
        platform::text::Decoded page = platform::text::decode(bytes);
        bytes = QByteArray(); // the text is all that is needed from here on
        edit->setWholePage(page.text, page.encoding.lineEnd);
        doc.setPageEncoding(page.encoding);
        doc.setToldOfReferences(false);
        if (note)
            *note = readingNote(path, page);
    }
    doc.setFileIdentity(std::move(identity));
    edit->moveCursor(QTextCursor::Start);
    doc.markSaved();
    return true;
}

bool writePage(frmDocument& doc, const QString& path, QString* reason, QString* note)
{
    const platform::text::PageEncoding encoding = doc.pageEncoding();
    qsizetype references = 0;
    const QByteArray bytes =
        platform::text::encode(doc.editor()->pageText(encoding.lineEnd), encoding, &references);
    platform::files::FileIdentity written;
    if (!platform::files::writeFileAtomically(path, bytes, reason, &written))
        return false;
    doc.setFileIdentity(std::move(written));
    if (references > 0 && note && !doc.toldOfReferences()) {
        *note = QStringLiteral("\u201C%1\u201D stays in %2, which cannot hold every character of "
                               "the page: %3 (\u201C&#\u2026;\u201D).")
                    .arg(path, platform::text::encodingName(encoding.encoding),
                         references == 1
                             ? QStringLiteral("1 character was written as a numeric character reference")
                             : QStringLiteral("%L1 characters were written as numeric character "
                                              "references")
                                   .arg(references));
        doc.setToldOfReferences(true);
    }
    return true;
}

platform::rtf::WriteOptions editingOptions(const frmDocument& doc)
{
    platform::rtf::WriteOptions options;
    const QFont font = doc.editor()->pageFont();
    options.fontName = font.family();
    if (font.pointSizeF() > 0)
        options.halfPoints = static_cast<int>(std::lround(font.pointSizeF() * 2));
    return options;
}

bool writeEditingFile(const frmDocument& doc, const QString& path, QString* reason,
                      platform::files::FileIdentity* written)
{
    const platform::rtf::Runs runs = doc.editor()->runs();
    // Open turns away an editing file past its limits: such a file is never written.
    if (const platform::rtf::Overflow overflow = platform::rtf::overflowOf(runs);
        overflow != platform::rtf::Overflow::None) {
        using platform::rtf::Overflow;
        *reason = (overflow == Overflow::Runs
                       ? QStringLiteral("It changes colour more than %L1 times").arg(platform::rtf::maxRuns)
                   : overflow == Overflow::Lines
                       ? QStringLiteral("It has more than %L1 lines").arg(platform::rtf::maxLines)
                       : QStringLiteral("It has more than %L1 characters").arg(platform::rtf::maxCharacters)) +
                  QStringLiteral(", more than an editing file can hold to be opened again. Save it "
                                 "as a plain page (File > Save As) instead; the colours are not kept "
                                 "there.");
        return false;
    }
    return platform::files::writeFileAtomically(path, platform::rtf::write(runs, editingOptions(doc)),
                                                reason, written);
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
    frmDocument* doc = workspace::activeDocument();
    // Loading replaces the page's text: a changed page is saved or given up first, once the
    // user has chosen what to open.
    if (doc && !closing::mayReplace(main, *doc))
        return;
    QString reason;
    QString note;
    if (!doc || !loadInto(*doc, name, &reason, &note)) {
        // No usable document: try again in a new one, which stays even if this fails too.
        doc = main.LoadANewDoc();
        if (!loadInto(*doc, name, &reason, &note)) {
            reportOpenFailure(&main, name, reason);
            return;
        }
        // A window of its own: its history starts with the page, there is nothing to undo.
        doc->startHistoryHere();
    }
    workspace::shared().dialogFileName = name;
    doc->setWindowTitle(name);
    recent::remember(name);
    if (!note.isEmpty())
        main.statusBar()->showMessage(note, noteMilliseconds);
}

bool saveActive(frmMain& main)
{
    frmDocument* doc = workspace::activeDocument();
    if (!doc)
        return false;
    const QString& name = workspace::shared().dialogFileName;
    if (name == doc->windowTitle()) {
        if (!saveOwnFile(main, *doc, name))
            return false;
        doc->markSaved();
        return true;
    }
    if (!saveUnderChosenName(main, *doc))
        return false;
    workspace::shared().pageSaved = true;
    return true;
}

bool saveToItsFile(frmMain& main, frmDocument& doc)
{
    const QString caption = doc.windowTitle();
    if (QDir::isAbsolutePath(caption)) {
        if (!saveOwnFile(main, doc, caption))
            return false;
        doc.markSaved();
        return true;
    }
    if (!saveUnderChosenName(main, doc, QString()))
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
    const bool ownFile = doc->fileIdentity().isOf(name);
    if (!mayOverwrite(main, *doc, name))
        return;
    QString reason;
    platform::files::FileIdentity written;
    if (!writeEditingFile(*doc, name, &reason, &written)) {
        reportSaveFailure(&main, name, reason);
        return;
    }
    if (ownFile)
        doc->setFileIdentity(std::move(written));
    recent::remember(name);
    workspace::shared().dialogFileName = name;
    doc->markSaved();
}

} // namespace files
