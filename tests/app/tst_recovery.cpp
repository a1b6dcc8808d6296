// Recovery copies: taken shortly after typing stops, private, gone once the page is saved or
// dropped, kept through a kill or a termination signal, and offered at the next start.

#include "RecoveryPages.h"
#include "support/TestKit.h"

#include "app/FileCommands.h"
#include "app/Recovery.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/FileChooser.h"
#include "platform/RecoveryStore.h"
#include "platform/RtfCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <unistd.h>

using testkit::App;

namespace {

QDir folder() { return QDir(platform::recovery::defaultFolder()); }
QStringList copies() { return folder().entryList({QStringLiteral("*.hted")}, QDir::Files); }
QStringList sideFiles() { return folder().entryList({QStringLiteral("*.json")}, QDir::Files); }

void clearFolder()
{
    // A link or another user's folder a test planted goes with the copies.
    const QFileInfo planted(folder().path());
    if (planted.isSymLink())
        QFile::remove(planted.filePath());
    else if (planted.exists() && planted.ownerId() != ::geteuid())
        folder().removeRecursively();
    for (const QString& f : folder().entryList(QDir::Files))
        folder().remove(f);
}

enum Answer { Recover, Discard, Later };

// The start-up offer, answered; returns the questions asked.
QStringList offer(App& app, Answer answer)
{
    testkit::answerQuestions([answer](const QString&, const QStringList&) { return int(answer); });
    recovery::offerOrphans(app.main(), app.main().recoveryKeeper());
    testkit::answerQuestions({});
    return testkit::takeQuestions();
}

// Copies of a program that is gone: written under a store of their own, whose lock is then
// given up as a crash would leave it.
void leaveOrphan(const QString& caption, const QByteArray& page,
                 const QString& encoding = QStringLiteral("UTF-8"))
{
    platform::recovery::Store gone;
    QString reason;
    QVERIFY(gone.write(gone.copyId(1), page, {caption, QString(), encoding, {}}, &reason));
}

struct Child {
    QProcess process;
    explicit Child(const QString& file, const char* mode)
    {
        process.setProgram(QStringLiteral(HALVANE_RECOVERY_CHILD));
        process.setArguments({file, QString::fromLatin1(mode)});
        process.start();
    }
    bool waitReady()
    {
        while (!process.canReadLine())
            if (!process.waitForReadyRead(30000))
                return false;
        return process.readLine().trimmed() == "ready";
    }
};

// A program editing `file` is killed (SIGKILL) once it says it is ready.
bool killedWhileEditing(const QString& file)
{
    Child child(file, "wait");
    if (!child.waitReady()) {
        qWarning("%s", child.process.readAllStandardError().constData());
        return false;
    }
    ::kill(pid_t(child.process.processId()), SIGKILL);
    return child.process.waitForFinished(10000);
}

} // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_files;

private slots:
    void initTestCase() { testkit::isolate(); }
    void init()
    {
        clearFolder();
        testkit::takeQuestions();
        testkit::takeMessages();
    }

    void copyFollowsTheChangesPrivately()
    {
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        QVERIFY(!app.main().recoveryKeeper().snapshot(doc)); // unchanged: nothing to copy
        app.type(QStringLiteral("x"));
        QTRY_COMPARE_WITH_TIMEOUT(sideFiles().size(), 1, 3000);
        QCOMPARE(copies().size(), 1);
        // Owner, group and other bits: the folder 0700, the copy 0600.
        const auto mode = [](const QString& path) { return QFileInfo(path).permissions() & 0x7077; };
        QCOMPARE(mode(folder().path()), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(mode(folder().filePath(copies().first())), QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(!app.main().recoveryKeeper().snapshot(doc)); // the copy is current
        app.key(Qt::Key_Backspace); // back to the template: the copy goes
        app.main().recoveryKeeper().waitForWrites();
        QCOMPARE(copies(), QStringList());
    }

    void saveAndDiscardRemoveTheCopy()
    {
        App app;
        frmDocument* saved = app.main().LoadANewDoc();
        app.type(QStringLiteral("to save"));
        app.main().LoadANewDoc();
        app.type(QStringLiteral("to drop"));
        app.main().recoveryKeeper().writeAllNow();
        QCOMPARE(copies().size(), 2);
        platform::fileChooser() = [this](QWidget*, const platform::FileRequest&) {
            return m_files.filePath("saved.htm");
        };
        app.main().mdiArea()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(saved->parentWidget()));
        app.trigger("mnuFileSave");
        platform::resetFileChooser();
        app.main().recoveryKeeper().waitForWrites();
        QCOMPARE(copies().size(), 1);
        app.main().close(); // Discard All
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.main().recoveryKeeper().waitForWrites();
        QCOMPARE(copies(), QStringList());
    }

    void offerAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("opened");
        QTest::addColumn<int>("copiesLeft");
        QTest::newRow("Recover") << int(Recover) << 1 << 1; // now a copy of this program's
        QTest::newRow("Discard") << int(Discard) << 0 << 0;
        QTest::newRow("Later") << int(Later) << 0 << 1;
    }
    void offerAnswers()
    {
        QFETCH(int, answer);
        QFETCH(int, opened);
        QFETCH(int, copiesLeft);
        leaveOrphan(QStringLiteral("/pages/index.htm"), "{\\rtf1 {\\colortbl;\\red255\\green0\\blue0;}\\cf1 <B>\\cf0 x\\par}");
        App app;
        QCOMPARE(offer(app, Answer(answer)),
                 QStringList{QStringLiteral("Halvane found 1 page that was not saved when it last "
                                            "ended.\n/pages/index.htm")});
        app.main().recoveryKeeper().waitForWrites();
        QCOMPARE(app.main().documents().size(), opened);
        QCOMPARE(copies().size(), copiesLeft);
        if (answer == Later) { // offered again at the next start
            App next;
            QCOMPARE(offer(next, Discard).size(), 1);
            QCOMPARE(copies(), QStringList());
        }
    }

    // A recovered page is saved as its file was: encoding, byte-order mark and line ends.
    void recoveredPageKeepsItsEncoding()
    {
        leaveOrphan(QStringLiteral("/pages/lf.htm"), "{\\rtf1 x\\par}", QStringLiteral("UTF-8 with BOM, LF"));
        App app;
        QCOMPARE(offer(app, Recover).size(), 1);
        app.main().recoveryKeeper().waitForWrites();
        QCOMPARE(app.main().documents().size(), 1);
        const platform::text::PageEncoding expected{platform::text::Encoding::Utf8, true,
                                                    platform::text::LineEnd::Lf};
        QVERIFY(app.main().documents().first()->pageEncoding() == expected);
    }

    void damagedCopiesAreSetAsideAndNamed()
    {
        leaveOrphan(QStringLiteral("Document 3"), "not an editing file");
        leaveOrphan(QStringLiteral("Document 5"), "{\\rtf1 {\\colortbl;\\red255\\green0\\blue0;}\\cf1 <B>\\cf0 cut sh");
        {
            platform::recovery::Store gone;
            QString reason;
            QVERIFY(gone.write(gone.copyId(1), "{\\rtf1 fine\\par}", {QStringLiteral("Document 4"), {}, {}, {}}, &reason));
            QFile side(folder().filePath(gone.copyId(1) + ".json"));
            QVERIFY(side.open(QIODevice::WriteOnly | QIODevice::Truncate));
            side.write("{broken");
        }
        App app;
        QCOMPARE(offer(app, Recover).size(), 1); // one question: the two readable side files
        QCOMPARE(app.main().documents().size(), 0);
        const QStringList messages = testkit::takeMessages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().count(QStringLiteral(".hted")), 3);
        QVERIFY(messages.first().contains(folder().path()));
        QCOMPARE(folder().entryList({QStringLiteral("*.damaged")}, QDir::Files).size(), 6);
        QCOMPARE(offer(app, Recover), QStringList()); // never offered again
    }

    void runningProgramsKeepTheirCopies()
    {
        App first;
        // A start takes no lock (written through to the disk) until it has a copy to keep.
        QCOMPARE(folder().entryList({QStringLiteral("*.lock")}, QDir::Files), QStringList());
        first.main().LoadANewDoc();
        first.type(QStringLiteral("mine"));
        first.main().recoveryKeeper().writeAllNow();
        App second;
        QCOMPARE(offer(second, Recover), QStringList());
        QCOMPARE(copies().size(), 1);
    }

    // The whole cycle with a real process: a new page and an opened file typed into, copies
    // taken, the process killed outright; the next start brings both back.
    void killedProgramsPagesComeBack()
    {
        using namespace recoverypages;
        const QString file = m_files.filePath("opened page.htm");
        testkit::writeBytes(file, openedFileText.toUtf8());
        QVERIFY(killedWhileEditing(file));

        App app;
        QCOMPARE(offer(app, Recover).size(), 1);
        const QList<frmDocument*> docs = app.main().documents();
        QCOMPARE(docs.size(), 2);
        QStringList captions{docs[0]->windowTitle(), docs[1]->windowTitle()};
        captions.sort();
        QCOMPARE(captions, (QStringList{file, QStringLiteral("Document 1")}));
        for (frmDocument* doc : docs) {
            const bool fromFile = doc->windowTitle() == file;
            const QString rest = fromFile ? openedFileText : QString();
            QCOMPARE(doc->editor()->text().left(tag.size() + typed.size()), tag + typed);
            if (fromFile)
                QCOMPARE(doc->editor()->text().mid(tag.size() + typed.size()), rest);
            QCOMPARE(testkit::colourAt(doc->editor(), 0), red);
            QCOMPARE(testkit::colourAt(doc->editor(), tag.size()), QColor(Qt::black));
            QVERIFY(doc->isModified());
        }
    }

    // A killed program's opened file comes back and saves byte for byte as its file was
    // written: encoding, byte-order mark and line ends, the typed line break included.
    void killedProgramsFileSavesAsItWas_data()
    {
        using namespace recoverypages;
        QTest::addColumn<QByteArray>("onDisk");
        QTest::addColumn<QByteArray>("saved");
        QString lf = openedFileText;
        lf.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        QString typedLf = tag + typed + lf;
        typedLf.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        QTest::newRow("UTF-8, LF") << lf.toUtf8() << typedLf.toUtf8();
        const auto utf16 = [](const QString& text) {
            return QByteArray("\xff\xfe") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        };
        QTest::newRow("UTF-16 with BOM, CR LF") << utf16(openedFileText) << utf16(tag + typed + openedFileText);
    }
    void killedProgramsFileSavesAsItWas()
    {
        QFETCH(QByteArray, onDisk);
        QFETCH(QByteArray, saved);
        const QString file = m_files.filePath("encoded.htm");
        testkit::writeBytes(file, onDisk);
        QVERIFY(killedWhileEditing(file));
        App app;
        QCOMPARE(offer(app, Recover).size(), 1);
        frmDocument* recovered = nullptr;
        for (frmDocument* doc : app.main().documents())
            if (doc->windowTitle() == file)
                recovered = doc;
        QVERIFY(recovered);
        QVERIFY(files::saveToItsFile(app.main(), *recovered));
        QCOMPARE(testkit::readBytes(file), saved);
    }

    // A page past every limit the editing-file reader sets on Open (here: more lines), read as
    // a plain page and changed, comes back whole after the program ended at a logout. As an
    // editing file it is refused before anything is written: Open would refuse that file.
    void bigPageComesBackWhole()
    {
        const QString file = m_files.filePath("big.htm");
        testkit::writeBytes(file, QByteArray("ab\r\n").repeated(int(platform::rtf::maxLines) + 1));
        QString expected;
        {
            App gone;
            frmDocument* doc = gone.main().LoadANewDoc();
            QString reason;
            QVERIFY2(files::loadInto(*doc, file, &reason), qPrintable(reason));
            doc->setWindowTitle(file);
            gone.type(QStringLiteral("<"));
            expected = doc->editor()->text();
            gone.main().endSession();
        }
        App app;
        QCOMPARE(offer(app, Recover).size(), 1);
        app.main().recoveryKeeper().waitForWrites();
        QCOMPARE(app.main().documents().size(), 1);
        frmDocument* doc = app.main().documents().first();
        QCOMPARE(doc->editor()->text().size(), expected.size());
        QVERIFY(doc->editor()->text() == expected);
        QCOMPARE(copies().size(), 1); // the copy of this program, taken before the old went
        QCOMPARE(testkit::takeMessages(), QStringList());

        const QString editing = m_files.filePath("big.hted");
        platform::fileChooser() = [&editing](QWidget*, const platform::FileRequest&) { return editing; };
        app.trigger("mnuSaveEdit");
        platform::resetFileChooser();
        QVERIFY(!QFile::exists(editing));
        const QStringList messages = testkit::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(QStringLiteral("more than %L1 lines").arg(platform::rtf::maxLines)),
                 qPrintable(messages.first()));
        QVERIFY(doc->isModified());
    }

    // When no copy can be written the window says so, once in a message that does not stop the
    // typing, and in the status bar, naming the folder and the reason.
    void failedCopiesAreShown_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder gone") << "gone" << "No such file or directory";
        QTest::newRow("folder a link") << "link" << "link";
        QTest::newRow("another user's folder") << "owner" << "another user";
    }
    void failedCopiesAreShown()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir elsewhere;
        const QByteArray name = QFile::encodeName(folder().path());
        if (kind != "gone")
            QVERIFY(folder().removeRecursively());
        if (kind == "link")
            QVERIFY(QFile::link(elsewhere.path(), folder().path()));
        if (kind == "owner") {
            if (::geteuid() != 0)
                QSKIP("only the superuser can make a folder that belongs to another user");
            QVERIFY(QDir().mkpath(folder().path()));
            QCOMPARE(::chown(name.constData(), 4321, 4321), 0);
        }
        App app;
        frmDocument* doc = app.main().LoadANewDoc();
        if (kind == "gone")
            QVERIFY(folder().removeRecursively());
        const auto warnings = [&app] {
            QList<QMessageBox*> shown;
            for (QMessageBox* box : app.main().findChildren<QMessageBox*>())
                if (box->isVisible())
                    shown << box;
            return shown;
        };
        for (const QString& typed : {QStringLiteral("a"), QStringLiteral("b")}) {
            app.type(typed);
            app.main().recoveryKeeper().snapshot(doc);
            app.main().recoveryKeeper().waitForWrites();
            QTRY_COMPARE(warnings().size(), 1);
        }
        QMessageBox* box = warnings().first();
        QCOMPARE(box->windowModality(), Qt::NonModal);
        QVERIFY2(box->text().contains(folder().path()) && box->text().contains(reason),
                 qPrintable(box->text()));
        const QString status = app.main().statusBar()->currentMessage();
        QVERIFY2(status.contains(folder().path()), qPrintable(status));
        QCOMPARE(testkit::takeMessages(), QStringList()); // nothing modal on the way
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList());
        ::unlink(name.constData());
        folder().removeRecursively();
    }

    void terminationSignalWritesTheCopiesAndEnds()
    {
        const QString file = m_files.filePath("other.htm");
        testkit::writeBytes(file, "<P>x</P>");
        Child child(file, "now");
        QVERIFY(child.waitReady());
        QCOMPARE(sideFiles().size(), 0); // no copy was due yet
        ::kill(pid_t(child.process.processId()), SIGTERM);
        QVERIFY(child.process.waitForFinished(10000));
        QCOMPARE(child.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sideFiles().size(), 2);
        // The next start offers both pages and brings them back.
        App next;
        QCOMPARE(offer(next, Recover).size(), 1);
        QCOMPARE(next.main().documents().size(), 2);
    }

    // At the end of a session, a copy that cannot be written is named on standard error.
    void unwrittenCopiesAreLogged()
    {
        const QString file = m_files.filePath("logged.htm");
        testkit::writeBytes(file, "<P>x</P>");
        Child child(file, "now");
        QVERIFY(child.waitReady());
        QVERIFY(folder().removeRecursively());
        ::kill(pid_t(child.process.processId()), SIGTERM);
        QVERIFY(child.process.waitForFinished(10000));
        const QString log = QString::fromLocal8Bit(child.process.readAllStandardError());
        QVERIFY2(log.contains(file) && log.contains(QStringLiteral("Document 1")) &&
                     log.contains(folder().path()),
                 qPrintable(log));
    }

    // Once the copies are being written, a closing terminal or a second request to end does
    // not cut them short; a second Ctrl+C still ends the program at once.
    void furtherSignalsDuringTheEnd_data()
    {
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("SIGHUP") << int(SIGHUP) << 0;
        QTest::newRow("SIGTERM") << int(SIGTERM) << 0;
        QTest::newRow("SIGINT") << int(SIGINT) << 128 + SIGINT;
    }
    void furtherSignalsDuringTheEnd()
    {
        QFETCH(int, second);
        QFETCH(int, exitCode);
        const QString file = m_files.filePath("twice.htm");
        testkit::writeBytes(file, "<P>x</P>");
        Child child(file, "hold");
        QVERIFY(child.waitReady());
        ::kill(pid_t(child.process.processId()), SIGTERM);
        // The child has written its copies and holds on until told to go.
        while (!child.process.canReadLine())
            QVERIFY(child.process.waitForReadyRead(10000));
        QCOMPARE(child.process.readLine().trimmed(), QByteArray("ended"));
        ::kill(pid_t(child.process.processId()), second);
        child.process.write("go\n");
        QVERIFY(child.process.waitForFinished(10000));
        QCOMPARE(child.process.exitCode(), exitCode);
        QCOMPARE(sideFiles().size(), 2);
    }
};

QTEST_MAIN(RecoveryTest)
#include "tst_recovery.moc"
