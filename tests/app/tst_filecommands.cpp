#include "support/TestKit.h"

#include "app/CommandLine.h"
#include "app/FileCommands.h"
#include "app/OpenPages.h"
#include "app/frmMain.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/FileChooser.h"
#include "platform/FileIo.h"
#include "platform/Prompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QStatusBar>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <thread>
#include <unistd.h>
#include <utime.h>

using testkit::App;
using testkit::readBytes;
using testkit::writeBytes;
using testkit::Run;
using platform::FileDialogKind;
using platform::FileRequest;

namespace {

const QColor red(255, 0, 0);
const QColor black(0, 0, 0);

// The file dialog as the user would answer it: one scripted answer per showing ("" = Cancel).
struct ScriptedDialog {
    QStringList answers;
    QList<FileRequest> shown;
};
ScriptedDialog* scripted = nullptr;

// A coloured page: "<B>" in red, "bold" in black, "</B>" in red, then a break.
void typeColouredPage(RichEdit* edit)
{
    edit->setWholeText(QString());
    edit->setSelColor(red);
    edit->setSelText(QStringLiteral("<B>"));
    edit->setSelColor(black);
    edit->setSelText(QStringLiteral("caf\u00e9 \u65e5"));
    edit->setSelColor(red);
    edit->setSelText(QStringLiteral("</B>\r\n"));
    edit->setSelColor(black);
}

// Moves a file's modification time a second on, as another program's write would.
void touchLater(const QString& path)
{
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    const struct utimbuf times{st.st_atime, st.st_mtime + 1};
    QCOMPARE(::utime(QFile::encodeName(path).constData(), &times), 0);
}

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
    QTemporaryDir* m_dir = nullptr;
    ScriptedDialog m_dialog;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    void answer(const QString& name) { m_dialog.answers.append(name); }
    workspace::SharedValues& shared() { return workspace::shared(); }

private slots:
    void initTestCase()
    {
        testkit::isolate();
        platform::setUseNativeFileDialog(false);
    }

    void init()
    {
        m_dir = new QTemporaryDir;
        m_dialog = {};
        scripted = &m_dialog;
        platform::fileChooser() = [](QWidget*, const FileRequest& r) {
            scripted->shown.append(r);
            return scripted->answers.isEmpty() ? QString() : scripted->answers.takeFirst();
        };
        shared().dialogFileName.clear();
        shared().pageSaved = false;
        testkit::takeMessages();
        testkit::takeQuestions();
    }

    void cleanup()
    {
        platform::resetFileChooser();
        platform::files::setWriteFault({});
        QVERIFY2(m_dialog.answers.isEmpty(), "a scripted dialog answer was not used");
        delete m_dir;
        QCOMPARE(testkit::takeMessages(), QStringList());
    }

    void openWithNoDocumentLoadsIntoANewWindow()
    {
        App app;
        writeBytes(path("page.htm"), "<HTML>\r\n<P>caf\xC3\xA9</P>\r\n</HTML>\r\n");
        answer(path("page.htm"));
        app.trigger("mnuFileOpen");
        QCOMPARE(app.main().documents().size(), 1);
        QVERIFY(app.doc());
        QCOMPARE(app.doc()->windowTitle(), path("page.htm"));
        QCOMPARE(qobject_cast<QMdiSubWindow*>(app.doc()->parentWidget())->windowTitle(),
                 path("page.htm"));
        QCOMPARE(app.edit()->text(), QStringLiteral("<HTML>\r\n<P>caf\u00e9</P>\r\n</HTML>\r\n"));
        QCOMPARE(shared().dialogFileName, path("page.htm"));
        QCOMPARE(m_dialog.shown.size(), 1);
        QCOMPARE(m_dialog.shown[0].kind, FileDialogKind::Open);
        QCOMPARE(m_dialog.shown[0].filter, files::openFilter);
    }

    void openReplacesTheActiveDocumentAsOneChange()
    {
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        app.type(QStringLiteral("typed"));
        const int before = doc->history().undoCount();
        writeBytes(path("a.html"), "new\r\ntext");
        answer(path("a.html"));
        app.trigger("mnuFileOpen");
        QCOMPARE(app.main().documents().size(), 1);
        QCOMPARE(app.doc(), doc);
        QCOMPARE(app.edit()->text(), QStringLiteral("new\r\ntext"));
        QCOMPARE(doc->windowTitle(), path("a.html"));
        QCOMPARE(doc->history().undoCount(), before + 1);
        QCOMPARE(doc->history().undoAt(doc->history().undoCount() - 1).TextLen, 9);
        // Undo gives back exactly the page that was there, Redo exactly the file.
        app.trigger("mnuEditUndo");
        QCOMPARE(app.edit()->text(), QStringLiteral("typed") + page::newPageTemplate());
        app.trigger("mnuRedo");
        QCOMPARE(app.edit()->text(), QStringLiteral("new\r\ntext"));
    }

    // Open over a page with unsaved changes asks first, once the file is chosen; an unchanged
    // page is replaced without a question.
    void openOverAChangedPage_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ownFile");     // the page was opened from mine.htm
        QTest::addColumn<int>("choice");       // 0 Save, 1 Discard, 2 Cancel
        QTest::addColumn<QString>("nameGiven"); // for a page without a file: "" = cancelled
        QTest::addColumn<bool>("opens");
        QTest::newRow("unchanged") << "" << false << 2 << "" << true;
        QTest::newRow("Save to its own file") << "typed " << true << 0 << "" << true;
        QTest::newRow("Save, a name is given") << "typed " << false << 0 << "named.htm" << true;
        QTest::newRow("Save, name dialog cancelled") << "typed " << false << 0 << "" << false;
        QTest::newRow("Discard") << "typed " << true << 1 << "" << true;
        QTest::newRow("Cancel") << "typed " << true << 2 << "" << false;
    }
    void openOverAChangedPage()
    {
        QFETCH(QString, typed);
        QFETCH(bool, ownFile);
        QFETCH(int, choice);
        QFETCH(QString, nameGiven);
        QFETCH(bool, opens);
        App app;
        writeBytes(path("mine.htm"), "mine");
        writeBytes(path("other.htm"), "other");
        QString reason;
        frmDocument* doc = ownFile && files::openPage(app.main(), path("mine.htm"), &reason)
                               ? app.doc()
                               : app.main().LoadANewDoc();
        app.type(typed);
        const QString text = app.edit()->text();
        const QString caption = doc->windowTitle();
        shared().dialogFileName = path("elsewhere.htm"); // the file another page was saved to
        answer(path("other.htm"));
        const bool asksName = !typed.isEmpty() && !ownFile && choice == 0;
        if (asksName)
            answer(nameGiven.isEmpty() ? QString() : path(nameGiven));
        testkit::answerQuestions([choice](const QString&, const QStringList&) { return choice; });
        app.trigger("mnuFileOpen");
        testkit::answerQuestions({});
        QCOMPARE(testkit::takeQuestions(),
                 typed.isEmpty() ? QStringList()
                                 : QStringList{QStringLiteral("Save changes to \u201c%1\u201d before "
                                                              "opening another page?")
                                                   .arg(caption)});
        QCOMPARE(app.main().documents().size(), 1);
        QCOMPARE(app.doc(), doc);
        QCOMPARE(app.edit()->text(), opens ? QStringLiteral("other") : text);
        QCOMPARE(doc->windowTitle(), opens ? path("other.htm") : caption);
        QCOMPARE(shared().dialogFileName, opens ? path("other.htm") : path("elsewhere.htm"));
        QCOMPARE(m_dialog.shown.size(), asksName ? 2 : 1);
        if (asksName)
            QCOMPARE(m_dialog.shown[1].fileName, QString()); // not another page's file
        const bool saved = choice == 0 && !typed.isEmpty() && (ownFile || !nameGiven.isEmpty());
        QCOMPARE(readBytes(path("mine.htm")), ownFile && saved ? text.toUtf8() : QByteArray("mine"));
        if (!nameGiven.isEmpty())
            QCOMPARE(readBytes(path(nameGiven)), text.toUtf8());
        QVERIFY(!QFile::exists(path("elsewhere.htm")));
    }

    // A page that opens into a window of its own starts its history with its text: Undo
    // right after it changes nothing.
    void nothingToUndoInAWindowOfItsOwn_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("command line") << "command line";
        QTest::newRow("standard input") << "standard input";
        QTest::newRow("Open with no window") << "Open";
    }
    void nothingToUndoInAWindowOfItsOwn()
    {
        QFETCH(QString, how);
        QByteArray page;
        for (int i = 0; i < 40; ++i)
            page += "<P>A line of the page, caf\xC3\xA9.</P>\r\n";
        writeBytes(path("page.htm"), page);
        App app;
        if (how == QLatin1String("Open")) {
            answer(path("page.htm"));
            app.trigger("mnuFileOpen");
        } else {
            files::openPages(app.main(),
                             {how == QLatin1String("command line") ? path("page.htm") : cli::standardInput},
                             page);
        }
        QVERIFY(app.doc());
        const QString text = QString::fromUtf8(page);
        QCOMPARE(app.edit()->text(), text);
        QCOMPARE(app.doc()->history().undoCount(), 1);
        app.shortcut(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(app.edit()->text(), text);
        QCOMPARE(app.doc()->history().undoCount(), 1);
        QCOMPARE(app.doc()->history().undoText(0), text);
    }

    void toolbarOpenEnablesTheToolbar()
    {
        App app;
        QVERIFY(!app.enabled("FB2"));
        writeBytes(path("t.htm"), "x");
        answer(path("t.htm"));
        app.click("FB1");
        QVERIFY(app.enabled("FB2"));
        QCOMPARE(app.edit()->text(), QStringLiteral("x"));
    }

    void cancelledOpenDoesNothing()
    {
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        const QString caption = doc->windowTitle();
        shared().dialogFileName = path("earlier.htm");
        writeBytes(path("earlier.htm"), "earlier");
        answer(QString());
        app.trigger("mnuFileOpen");
        QCOMPARE(m_dialog.shown.size(), 1);
        QCOMPARE(m_dialog.shown[0].fileName, path("earlier.htm")); // pre-filled
        QCOMPARE(app.main().documents().size(), 1);
        QCOMPARE(doc->windowTitle(), caption);
        QVERIFY(app.edit()->text() != QLatin1String("earlier"));
        QCOMPARE(shared().dialogFileName, path("earlier.htm"));
    }

    // A file that cannot be read: the retry in a new window fails too; that window stays and
    // the failure is reported with the file name and the reason.
    void openFailureIsReportedAndTheNewWindowStays()
    {
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        const QString text = app.edit()->text();
        const QString caption = doc->windowTitle();
        answer(path("vanished.htm"));
        app.trigger("mnuFileOpen");
        QCOMPARE(app.main().documents().size(), 2);
        QVERIFY(app.doc() != doc);
        QVERIFY(app.doc()->windowTitle().startsWith(QLatin1String("Document ")));
        QCOMPARE(doc->editor()->text(), text);
        QCOMPARE(doc->windowTitle(), caption);
        QCOMPARE(shared().dialogFileName, QString());
        const QStringList messages = testkit::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(path("vanished.htm")), qPrintable(messages[0]));
        QVERIFY2(messages[0].contains(QLatin1String("No such file")), qPrintable(messages[0]));
    }

    // Opening a page and saving it unchanged writes the very same bytes, without a dialog.
    void openThenSaveGivesIdenticalBytes_data()
    {
        QTest::addColumn<QString>("golden");
        QTest::newRow("utf-8") << "utf8.htm";
        QTest::newRow("utf-8 with bom") << "utf8-bom.htm";
        QTest::newRow("utf-16le with bom") << "utf16le-bom.htm";
        QTest::newRow("windows-1252") << "cp1252.htm";
    }
    void openThenSaveGivesIdenticalBytes()
    {
        QFETCH(QString, golden);
        const QByteArray original = readBytes(QStringLiteral(HALVANE_PLATFORM_DATA "/") + golden);
        const QString file = path(golden);
        writeBytes(file, original);
        App app;
        answer(file);
        app.trigger("mnuFileOpen");
        QFile::remove(file); // so that the save must write it all again
        app.trigger("mnuFileSave");
        QCOMPARE(m_dialog.shown.size(), 1); // only Open asked
        QCOMPARE(readBytes(file), original);
    }

    // Things that are not files are refused before they are opened, each with its name and
    // what it is, and nothing waits: a pipe without a writer would freeze the window for good
    // (should it wait after all, a writer comes after 5 s and the time shows it).
    void thingsThatAreNotFilesAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("fifo") << "fifo" << "It is a named pipe (FIFO), not a file.";
        QTest::newRow("character device") << "/dev/zero" << "It is a character device, not a file.";
        QTest::newRow("socket") << "socket" << "It is a socket, not a file.";
        QTest::newRow("folder") << "folder" << "It is a folder, not a file.";
    }
    void thingsThatAreNotFilesAreRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QString target = kind;
        int listener = -1;
        if (kind == QLatin1String("fifo")) {
            target = path("pipe.htm");
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        } else if (kind == QLatin1String("socket")) {
            target = path("sock.htm");
            listener = testkit::bindLocalSocket(target);
            QVERIFY(listener >= 0);
        } else if (kind == QLatin1String("folder")) {
            target = path("folder.htm");
            QVERIFY(QDir().mkpath(target));
        }
        // A read that waits on the pipe for a writer is freed after a while, and fails.
        std::atomic<bool> done{false};
        std::atomic<bool> rescued{false};
        std::thread rescue([&] {
            for (int i = 0; i < 100 && !done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (!done && kind == QLatin1String("fifo")) {
                rescued = true;
                ::close(::open(QFile::encodeName(target).constData(), O_WRONLY | O_NONBLOCK));
            }
        });
        App app;
        answer(target);
        app.trigger("mnuFileOpen");
        done = true;
        rescue.join();
        if (listener >= 0)
            ::close(listener);
        QVERIFY2(!rescued, "the open waited on the pipe for a writer");
        const QStringList messages = testkit::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(target) && messages[0].endsWith(reason), qPrintable(messages[0]));
        QVERIFY(app.doc()->windowTitle().startsWith(QLatin1String("Document ")));
        // Nor is one written over.
        QString why;
        QVERIFY(!platform::files::writeFileAtomically(target, "x", &why));
        QCOMPARE(why, reason);
    }

    // An editing file with more colour runs than the editor is given is refused with the
    // reason, and the document keeps its page.
    void editingFileBeyondTheEditorIsRefused()
    {
        writeBytes(path("runs.hted"), "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}" +
                                          QByteArray("\\cf1 a\\cf0 b").repeated(200000) + "}");
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        const QString text = doc->editor()->text();
        answer(path("runs.hted"));
        app.trigger("mnuFileOpen");
        QCOMPARE(doc->editor()->text(), text);
        const QStringList messages = testkit::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QLatin1String("changes colour more than 250,000 times")),
                 qPrintable(messages[0]));
    }

    // A page whose name is an editing file's is saved as one: Save never puts plain text there.
    void editingFileCaptionSavesRichText()
    {
        App app;
        app.main().LoadANewDoc();
        typeColouredPage(app.edit());
        answer(path("Page.HTED"));
        app.trigger("mnuSaveEdit");
        frmDocument* doc = app.main().LoadANewDoc();
        answer(path("Page.HTED"));
        app.trigger("mnuFileOpen");
        QCOMPARE(doc->windowTitle(), path("Page.HTED"));
        app.edit()->setSelStart(0);
        app.edit()->setSelColor(red);
        app.edit()->setSelText(QStringLiteral("<I>"));
        const QList<Run> edited = testkit::colourRuns(app.edit());
        app.trigger("mnuFileSave");
        QCOMPARE(m_dialog.shown.size(), 2); // Save did not ask
        QVERIFY(readBytes(path("Page.HTED")).startsWith("{\\rtf1"));
        app.main().LoadANewDoc();
        answer(path("Page.HTED"));
        app.trigger("mnuFileOpen");
        QVERIFY2(testkit::colourRuns(app.edit()) == edited,
                 qPrintable(testkit::describe(testkit::colourRuns(app.edit()))));
    }

    // Saving over the document's own file after another program changed it asks first, with
    // Cancel as the default and the answer to Escape; a file only touched, or deleted, is
    // written without a question.
    void externalChangeIsConfirmed_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("response");
        QTest::addColumn<bool>("written");
        QTest::newRow("touched, same bytes") << "mnuFileSave" << "touch" << "" << true;
        QTest::newRow("deleted") << "mnuFileSave" << "delete" << "" << true;
        QTest::newRow("grown, Cancel") << "mnuFileSave" << "grow" << "Cancel" << false;
        QTest::newRow("changed, Overwrite") << "mnuFileSave" << "rewrite" << "Overwrite" << true;
        QTest::newRow("changed, Cancel") << "mnuFileSave" << "rewrite" << "Cancel" << false;
        QTest::newRow("changed, Escape") << "mnuFileSave" << "rewrite" << "Escape" << false;
        QTest::newRow("changed, Enter") << "mnuFileSave" << "rewrite" << "Enter" << false;
        QTest::newRow("save as onto it, Cancel") << "mnuFileSaveAs" << "rewrite" << "Cancel" << false;
        QTest::newRow("for editing onto it, Overwrite") << "mnuSaveEdit" << "rewrite" << "Overwrite" << true;
    }
    void externalChangeIsConfirmed()
    {
        QFETCH(QString, command);
        QFETCH(QString, change);
        QFETCH(QString, response);
        QFETCH(bool, written);
        const QString file = path("page.htm");
        writeBytes(file, "<P>read</P>");
        App app;
        answer(file);
        app.trigger("mnuFileOpen");
        app.edit()->setSelText(QStringLiteral("edit "));
        if (change == QLatin1String("delete")) {
            QFile::remove(file);
        } else if (change == QLatin1String("grow")) {
            writeBytes(file, "<P>read</P>\r\n"); // within the same second, perhaps
        } else {
            writeBytes(file, change == QLatin1String("touch") ? "<P>read</P>" : "<P>READ</P>");
            touchLater(file);
        }
        const QByteArray onDisk = readBytes(file);

        if (command != QLatin1String("mnuFileSave"))
            answer(file);
        if (response.isEmpty()) {
            app.trigger(command);
            QCOMPARE(testkit::takeQuestions(), QStringList());
        } else {
            // The real question, to see its buttons and what Escape and Return answer.
            const platform::Prompts recording = platform::prompts();
            platform::resetPrompts();
            const auto question = platform::prompts().question;
            platform::prompts() = recording;
            platform::prompts().question = question;
            QString asked;
            const auto box = testkit::answerNextModal([&asked, response](QWidget* window) {
                auto* box = qobject_cast<QMessageBox*>(window);
                QVERIFY(box);
                asked = box->text();
                QCOMPARE(box->defaultButton()->text(), QStringLiteral("Cancel"));
                QCOMPARE(box->escapeButton()->text(), QStringLiteral("Cancel"));
                if (response == QLatin1String("Escape"))
                    QTest::keyClick(box, Qt::Key_Escape);
                else if (response == QLatin1String("Enter"))
                    QTest::keyClick(box, Qt::Key_Return);
                else
                    for (QAbstractButton* b : box->buttons())
                        if (b->text() == response)
                            b->click();
            });
            app.trigger(command);
            platform::prompts() = recording;
            QVERIFY(box.shown());
            QCOMPARE(asked, QStringLiteral("\u201C%1\u201D was changed by another program since "
                                           "Halvane opened it.").arg(file));
        }
        if (!written)
            QCOMPARE(readBytes(file), onDisk);
        else if (command == QLatin1String("mnuSaveEdit"))
            QVERIFY(readBytes(file).startsWith("{\\rtf1"));
        else
            QCOMPARE(readBytes(file), QByteArray("edit <P>read</P>"));
        QCOMPARE(app.doc()->windowTitle(), file);
    }

    // Opened and saved with no edit, a page comes back byte for byte, even when its bytes do
    // not match its byte-order mark; line ends stay as they were (a mixed file takes its most
    // frequent), including those typed. The status bar says what was done.
    void pagesComeBackAsTheyWere_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("note");
        const QString asLegacy = QStringLiteral("read as Windows-1252");
        const QByteArray badUtf8("\xEF\xBB\xBF<P>caf\xE9</P>\r\n");
        QTest::newRow("utf-8 mark, invalid bytes") << badUtf8 << "" << badUtf8 << asLegacy;
        const QByteArray oddLe("\xFF\xFE<\0P\0>\0!", 9);
        QTest::newRow("utf-16le mark, odd length") << oddLe << "" << oddLe
                                                   << "ends in half a UTF-16 LE character";
        QTest::newRow("lf") << QByteArray("<P>a</P>\n<P>b</P>\n") << "X\r\n"
                            << QByteArray("X\n<P>a</P>\n<P>b</P>\n") << "";
        QTest::newRow("cr") << QByteArray("a\rb\r") << "" << QByteArray("a\rb\r") << "";
        QTest::newRow("mixed, lf most") << QByteArray("a\nb\nc\r\nd") << "X\r\n"
                                        << QByteArray("X\na\nb\nc\r\nd") << "new lines end with LF";
        QTest::newRow("mixed, tie") << QByteArray("a\nb\r\n") << "X\r\n" << QByteArray("X\r\na\nb\r\n")
                                    << "new lines end with CR LF";
    }
    void pagesComeBackAsTheyWere()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        QFETCH(QString, note);
        const QString file = path("page.htm");
        writeBytes(file, bytes);
        App app;
        answer(file);
        app.trigger("mnuFileOpen");
        const QString shown = app.main().statusBar()->currentMessage();
        QVERIFY2(note.isEmpty() ? shown.isEmpty() : shown.contains(note) && shown.contains(file),
                 qPrintable(shown));
        app.edit()->setSelText(typed);
        app.trigger("mnuFileSave");
        QCOMPARE(readBytes(file), saved);
    }

    // --- encodings and line ends of plain pages -----------------------------------------

    // Opened and saved unchanged, pages with lines ending every way, Unicode separators in
    // script strings or a UTF-16 file cut short come back byte for byte.
    void pageFilesComeBackByteForByte_data()
    {
        QTest::addColumn<QString>("golden");
        QTest::newRow("windows-1252 with its meta") << "cp1252-meta.htm";
        QTest::newRow("mixed line ends") << "mixed-line-ends.htm";
        QTest::newRow("unicode separators") << "separators.htm";
        QTest::newRow("utf-16le, odd length") << "utf16le-odd.htm";
    }
    void pageFilesComeBackByteForByte()
    {
        QFETCH(QString, golden);
        const QByteArray original = readBytes(QStringLiteral(HALVANE_PLATFORM_DATA "/") + golden);
        const QString file = path(golden);
        writeBytes(file, original);
        App app;
        answer(file);
        app.trigger("mnuFileOpen");
        QFile::remove(file);
        app.trigger("mnuFileSave");
        QCOMPARE(readBytes(file), original);
        // Through an editing file and back into a plain page, the characters stay.
        answer(path("copy.hted"));
        app.trigger("mnuSaveEdit");
        answer(path("copy.hted"));
        app.trigger("mnuFileOpen");
        QCOMPARE(app.edit()->text().count(QChar(0x2029)), original.count("\xE2\x80\xA9"));
        QCOMPARE(app.edit()->text().count(QChar(0x2028)), original.count("\xE2\x80\xA8"));
    }

    // A page keeps its encoding: what the encoding lacks is written as a character reference,
    // and the user is told once per page. A UTF-8 page with a stray byte says it was read as
    // Windows-1252, and its characters are not encoded twice on saving.
    void pagesKeepTheirEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("readNote");
        QTest::newRow("windows-1252") << QByteArray("<META charset=windows-1252><P>caf\xE9</P>\r\n")
                                      << QByteArray("<META charset=windows-1252><P>caf\xE9</P>\r\n&#8594;")
                                      << "is not valid UTF-8 (line 1): read as Windows-1252";
        QTest::newRow("utf-8 with a stray byte")
            << QByteArray("<P>caf\xC3\xA9</P>\r\n<P>\x96</P>\r\n")
            << QByteArray("<P>caf\xC3\xA9</P>\r\n<P>\x96</P>\r\n&#8594;")
            << "is not valid UTF-8 (line 2): read as Windows-1252";
    }
    void pagesKeepTheirEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, saved);
        QFETCH(QString, readNote);
        const QString file = path("old.htm");
        writeBytes(file, bytes);
        App app;
        answer(file);
        app.trigger("mnuFileOpen");
        QVERIFY2(app.main().statusBar()->currentMessage().contains(readNote),
                 qPrintable(app.main().statusBar()->currentMessage()));
        app.main().statusBar()->clearMessage();
        app.edit()->setSelStart(app.edit()->textLength());
        app.edit()->setSelText(QStringLiteral("\u2192"));
        app.trigger("mnuFileSave");
        QCOMPARE(readBytes(file), saved);
        const QString told = app.main().statusBar()->currentMessage();
        QVERIFY2(told.contains(file) && told.contains("1 character was written as a numeric character reference"),
                 qPrintable(told));
        app.main().statusBar()->clearMessage();
        app.trigger("mnuFileSave");
        QCOMPARE(app.main().statusBar()->currentMessage(), QString()); // once per page
        QCOMPARE(readBytes(file), saved);
    }

    // Editing a page with mixed line ends changes only the line ends of the lines edited.
    void untouchedLinesKeepTheirLineEnds()
    {
        const QString file = path("mixed.htm");
        writeBytes(file, "<P>a</P>\r\n<P>b</P>\n<P>c</P>\r\n<P>d</P>\r<P>e</P>\r\n");
        App app;
        answer(file);
        app.trigger("mnuFileOpen");
        app.edit()->setSelStart(app.edit()->text().indexOf(QLatin1String("<P>c")));
        QTest::keyClick(app.edit(), Qt::Key_Return);
        app.edit()->setSelStart(app.edit()->text().indexOf(QLatin1String("<P>e")) - 2);
        app.edit()->setSelLength(2);
        app.edit()->setSelText(QStringLiteral("\r\n<P>new</P>\n"));
        app.trigger("mnuFileSave");
        QCOMPARE(readBytes(file),
                 QByteArray("<P>a</P>\r\n<P>b</P>\n\r\n<P>c</P>\r\n<P>d</P>\r\n<P>new</P>\r\n<P>e</P>\r\n"));
    }

    void saveWithDialogSetsCaptionNameAndFlag()
    {
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        answer(path("new.htm"));
        app.trigger("mnuFileSave");
        QCOMPARE(m_dialog.shown.size(), 1);
        QCOMPARE(m_dialog.shown[0].kind, FileDialogKind::Save);
        QCOMPARE(m_dialog.shown[0].filter, files::pageFilter);
        QCOMPARE(readBytes(path("new.htm")), app.edit()->text().toUtf8());
        QVERIFY(readBytes(path("new.htm")).contains("</HTML>\r\n"));
        QCOMPARE(doc->windowTitle(), path("new.htm"));
        QCOMPARE(shared().dialogFileName, path("new.htm"));
        QVERIFY(shared().pageSaved);

        // The name now matches the caption: the next Save writes silently.
        app.edit()->setSelStart(0);
        app.edit()->setSelText(QStringLiteral("X"));
        app.trigger("mnuFileSave");
        QCOMPARE(m_dialog.shown.size(), 1);
        QVERIFY(readBytes(path("new.htm")).startsWith("X<HTML>"));
    }

    void saveInASecondDocumentAsksWithTheFirstName()
    {
        App app;
        app.main().LoadANewDoc();
        answer(path("first.htm"));
        app.trigger("mnuFileSave");
        frmDocument* second = app.main().LoadANewDoc();
        second->editor()->setWholeText(QStringLiteral("second"));
        answer(path("second.htm"));
        app.trigger("mnuFileSave");
        QCOMPARE(m_dialog.shown.size(), 2);
        QCOMPARE(m_dialog.shown[1].fileName, path("first.htm"));
        QCOMPARE(readBytes(path("second.htm")), QByteArray("second"));
        QCOMPARE(second->windowTitle(), path("second.htm"));
    }

    void saveAsLeavesThePageSavedFlag()
    {
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        answer(path("as.html"));
        app.trigger("mnuFileSaveAs");
        QCOMPARE(m_dialog.shown.size(), 1);
        QCOMPARE(m_dialog.shown[0].filter, files::pageFilter);
        QCOMPARE(doc->windowTitle(), path("as.html"));
        QCOMPARE(shared().dialogFileName, path("as.html"));
        QVERIFY(!shared().pageSaved);
        // Save As always asks, even when the name matches the caption.
        answer(path("as.html"));
        app.trigger("mnuFileSaveAs");
        QCOMPARE(m_dialog.shown.size(), 2);
    }

    // An editing file keeps the colours; the same page saved as a plain page comes back black.
    void editingFileKeepsColours()
    {
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        typeColouredPage(app.edit());
        const QList<Run> coloured = testkit::colourRuns(app.edit());
        QCOMPARE(coloured.size(), 3);
        const QString caption = doc->windowTitle();

        answer(path("page.hted"));
        app.trigger("mnuSaveEdit");
        QCOMPARE(m_dialog.shown.last().filter, files::editingFilter);
        QCOMPARE(doc->windowTitle(), caption); // not changed by Save For Editing
        QCOMPARE(shared().dialogFileName, path("page.hted"));
        QVERIFY(readBytes(path("page.hted")).startsWith("{\\rtf1"));

        answer(path("page.htm"));
        app.trigger("mnuFileSave"); // still compares against the old caption: asks
        QCOMPARE(m_dialog.shown.size(), 2);

        frmDocument* other = app.main().LoadANewDoc();
        answer(path("page.hted"));
        app.trigger("mnuFileOpen");
        QCOMPARE(app.doc(), other);
        QVERIFY2(testkit::colourRuns(app.edit()) == coloured,
                 qPrintable(testkit::describe(testkit::colourRuns(app.edit()))));
        QCOMPARE(app.edit()->text(), doc->editor()->text());

        answer(path("page.htm"));
        app.trigger("mnuFileOpen");
        const QList<Run> plain = testkit::colourRuns(app.edit());
        QCOMPARE(plain.size(), 1);
        QCOMPARE(plain[0].colour, black);
        QCOMPARE(app.edit()->font().family(), doc->editor()->font().family());
    }

    void cancelledSavesChangeNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("save") << "mnuFileSave";
        QTest::newRow("save as") << "mnuFileSaveAs";
        QTest::newRow("save for editing") << "mnuSaveEdit";
    }
    void cancelledSavesChangeNothing()
    {
        QFETCH(QString, command);
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        const QString caption = doc->windowTitle();
        shared().dialogFileName = path("last.htm");
        writeBytes(path("last.htm"), "keep");
        answer(QString());
        app.trigger(command);
        QCOMPARE(m_dialog.shown.size(), 1);
        QCOMPARE(readBytes(path("last.htm")), QByteArray("keep"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"last.htm"});
        QCOMPARE(doc->windowTitle(), caption);
        QCOMPARE(shared().dialogFileName, path("last.htm"));
        QVERIFY(!shared().pageSaved);
    }

    void commandsWithNoDocumentDoNothing()
    {
        App app;
        for (const char* command : {"mnuFileSave", "mnuFileSaveAs", "mnuSaveEdit"})
            app.trigger(QString::fromLatin1(command));
        QCOMPARE(m_dialog.shown.size(), 0);
        QCOMPARE(app.main().documents().size(), 0);
        answer(QString());
        app.trigger("mnuFileOpen");
        QCOMPARE(app.main().documents().size(), 0);
    }

    // Every failure is reported with the file name and the reason, and leaves the caption, the
    // dialog file name, the page-saved flag and any old file as they were.
    void saveFailuresAreReported_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "mnuFileSave" << "gone/page.htm" << "No such file";
        QTest::newRow("read-only file") << "mnuFileSaveAs" << "readonly.htm" << "read-only";
        QTest::newRow("folder") << "mnuSaveEdit" << "folder" << "folder";
        QTest::newRow("disk full") << "mnuFileSave" << "full.htm" << "No space left on device";
        QTest::newRow("disk full, editing file") << "mnuSaveEdit" << "full.hted"
                                                 << "No space left on device";
    }
    void saveFailuresAreReported()
    {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QDir(m_dir->path()).mkdir(QStringLiteral("folder"));
        writeBytes(path("readonly.htm"), "old");
        QFile::setPermissions(path("readonly.htm"), QFile::ReadOwner | QFile::ReadGroup);
        writeBytes(path("full.htm"), "old");
        writeBytes(path("full.hted"), "old");
        platform::files::setWriteFault([](const QString& p) {
            return p.contains(QLatin1String("full")) ? QStringLiteral("No space left on device")
                                                     : QString();
        });
        const QStringList before = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden);

        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        const QString caption = doc->windowTitle();
        shared().dialogFileName = path("previous.htm");
        answer(path(target));
        app.trigger(command);

        const QStringList messages = testkit::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(path(target)), qPrintable(messages[0]));
        QVERIFY2(messages[0].contains(reason), qPrintable(messages[0]));
        QCOMPARE(doc->windowTitle(), caption);
        QCOMPARE(shared().dialogFileName, path("previous.htm"));
        QVERIFY(!shared().pageSaved);
        if (QFileInfo(path(target)).isFile())
            QCOMPARE(readBytes(path(target)), QByteArray("old"));
        // No temporary file is left behind.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    }

    // A real full disk: a 64 KiB file system of the test's own (the superuser mounts one), or
    // an empty folder on a tiny file system named by HALVANE_SMALL_FS.
    void realDiskFull()
    {
        QString small = qEnvironmentVariable("HALVANE_SMALL_FS");
        QTemporaryDir mountPoint;
        struct Unmount {
            QByteArray at;
            ~Unmount()
            {
                if (!at.isEmpty())
                    ::umount2(at.constData(), MNT_DETACH);
            }
        } unmount;
        if (small.isEmpty()) {
            if (::geteuid() != 0)
                QSKIP("a full disk needs the superuser (to mount a small file system) or HALVANE_SMALL_FS");
            const QByteArray at = QFile::encodeName(mountPoint.path());
            if (::mount("tmpfs", at.constData(), "tmpfs", 0, "size=64k") != 0)
                QSKIP(qPrintable(QStringLiteral("cannot mount a small file system: %1")
                                     .arg(QString::fromLocal8Bit(std::strerror(errno)))));
            unmount.at = at;
            small = mountPoint.path();
        }
        const QString file = QDir(small).filePath(QStringLiteral("full.htm"));
        writeBytes(file, "old");
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        doc->editor()->setWholeText(QString(256 * 1024, QLatin1Char('x')));
        answer(file);
        app.trigger("mnuFileSaveAs");
        const QStringList messages = testkit::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(file) && messages[0].contains(QLatin1String("No space left")),
                 qPrintable(messages[0]));
        QCOMPARE(readBytes(file), QByteArray("old"));
        QCOMPARE(QDir(small).entryList(QDir::Files | QDir::Hidden), QStringList{"full.htm"});
        QVERIFY(doc->windowTitle() != file);
        QFile::remove(file);
    }

    // The silent Save (name equals caption) reports its failures too.
    void silentSaveFailureIsReported()
    {
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        answer(path("p.htm"));
        app.trigger("mnuFileSave");
        QFile::setPermissions(path("p.htm"), QFile::ReadOwner);
        app.trigger("mnuFileSave");
        const QStringList messages = testkit::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains(path("p.htm")));
        QCOMPARE(doc->windowTitle(), path("p.htm"));
    }

    // Odd content loads without harm: NUL bytes, invalid UTF-8, binary data, a long line.
    void oddFilesLoad_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("nul bytes") << QByteArray("a\0b\0\r\nc", 7);
        QTest::newRow("invalid utf-8") << QByteArray("\xC3\x28 \xE2\x82 \xF0\x28\x8C\xBC");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(static_cast<char>((i * 7919) & 0xFF));
        QTest::newRow("binary") << binary;
        QTest::newRow("long line") << QByteArray(512 * 1024, 'x');
        QTest::newRow("broken rtf") << QByteArray("{\\rtf1{{{{\\bin999999999 \\'");
    }
    void oddFilesLoad()
    {
        QFETCH(QByteArray, bytes);
        writeBytes(path("odd.htm"), bytes);
        App app;
        answer(path("odd.htm"));
        app.trigger("mnuFileOpen");
        QVERIFY(app.doc());
        QCOMPARE(app.doc()->windowTitle(), path("odd.htm"));
    }

    void tenMebibytePageLoadsAsOneChange()
    {
        QByteArray page;
        page.reserve(10 * 1024 * 1024 + 100);
        const QByteArray line = "<P>Some text of a long page, line after line, caf\xC3\xA9.</P>\r\n";
        while (page.size() < 10 * 1024 * 1024)
            page += line;
        writeBytes(path("big.htm"), page);
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        const int before = doc->history().undoCount();
        answer(path("big.htm"));
        app.trigger("mnuFileOpen");
        QCOMPARE(doc->history().undoCount(), before + 1);
        QCOMPARE(app.edit()->textLength(), QString::fromUtf8(page).size());
        app.trigger("mnuFileSave");
        QVERIFY(readBytes(path("big.htm")) == page);
    }

    // Qt's own dialog, as the user meets it: the filters, the pre-filled name, the question
    // before replacing a file.
    void realDialog()
    {
        platform::resetFileChooser();
        App app;
        app.main().LoadANewDoc();
        writeBytes(path("exists.htm"), "old");
        shared().dialogFileName = path("exists.htm");
        QStringList filters;
        QString selected;
        const auto chooser = testkit::answerNextModal([&](QWidget* window) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            QVERIFY(dialog);
            filters = dialog->nameFilters();
            selected = dialog->selectedFiles().value(0);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const auto question = testkit::answerNextModal([](QWidget* window) {
            auto* box = qobject_cast<QMessageBox*>(window);
            QVERIFY(box);
            box->button(QMessageBox::Yes)->click();
        });
        app.trigger("mnuFileSaveAs");
        QVERIFY(chooser.shown());
        QCOMPARE(filters, (QStringList{"HTM Files (*.htm) (*.htm)", "HTML Files (*.html) (*.html)"}));
        QCOMPARE(selected, path("exists.htm"));
        QVERIFY(question.shown());
        QVERIFY(readBytes(path("exists.htm")).startsWith("<HTML>"));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "tst_filecommands.moc"
