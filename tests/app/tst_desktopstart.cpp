// Starting from the desktop: the command line, handing files to the program already running,
// files dropped on a window, and the recent pages.

#include "support/TestKit.h"

#include "app/CommandLine.h"
#include "app/LastSession.h"
#include "app/OpenPages.h"
#include "app/RecentPages.h"
#include "app/SingleInstance.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/RecentlyUsed.h"
#include "platform/RecoveryStore.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using testkit::App;

namespace {

const QByteArray page = QByteArrayLiteral("<HTML>\r\n<BODY>caf\xc3\xa9</BODY>\r\n</HTML>\r\n");

QStringList captions(frmMain& main)
{
    QStringList list;
    for (frmDocument* doc : main.documents())
        list << doc->windowTitle();
    return list;
}

struct Run {
    bool ended = false;
    int exitCode = -1;
    QByteArray out, err;
    qint64 ms = 0;
};

Run runHalvane(const QStringList& args, const QProcessEnvironment& env, const QString& folder,
               const QByteArray& input = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral(HALVANE_BINARY), args);
    p.write(input);
    p.closeWriteChannel();
    // The test's own program must answer while the child waits: keep the event loop going.
    QElapsedTimer waited;
    waited.start();
    while (p.state() != QProcess::NotRunning && waited.elapsed() < 15000)
        QTest::qWait(10);
    // A child still running has no exit code of its own: it reads -1, never a pass.
    const bool ended = p.state() == QProcess::NotRunning && p.exitStatus() == QProcess::NormalExit;
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(5000);
    }
    return {ended, ended ? p.exitCode() : -1, p.readAllStandardOutput(), p.readAllStandardError(),
            t.elapsed()};
}

// The program already running, held up once it has accepted a start's connection: it reads
// the whole message, then answers only after longer than a start used to wait, or never, or
// hangs up without answering. It serves one start, on a thread of its own.
class BusyProgram {
public:
    enum class Reply { Late, Never, HangUp };
    explicit BusyProgram(Reply reply) : m_reply(reply)
    {
        QFile::remove(instance::serverPath());
        m_listener = testkit::bindLocalSocket(instance::serverPath());
        if (m_listener >= 0 && ::listen(m_listener, 4) == 0) {
            m_listening = true;
            m_thread = std::thread([this] { serve(); });
        }
    }
    ~BusyProgram()
    {
        if (m_thread.joinable())
            m_thread.join();
        for (int fd : {m_connection, m_listener})
            if (fd >= 0)
                ::close(fd);
        QFile::remove(instance::serverPath());
    }
    bool listening() const { return m_listening; }
    // The files handed over, once the program has served its start.
    QStringList files()
    {
        if (m_thread.joinable())
            m_thread.join();
        return m_files;
    }

private:
    bool readable(int fd) const
    {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 20000) > 0; // bounds the thread only, should the start never come
    }
    void send(const QByteArray& bytes) const
    {
        ::send(m_connection, bytes.constData(), std::size_t(bytes.size()), MSG_NOSIGNAL);
    }
    void serve()
    {
        if (!readable(m_listener) || (m_connection = ::accept(m_listener, nullptr, nullptr)) < 0)
            return;
        send(instance::greeting());
        QByteArray bytes;
        instance::Message message;
        bool bad = false;
        while (!instance::decode(bytes, &message, &bad) && !bad) {
            char chunk[4096];
            const ssize_t n = readable(m_connection) ? ::read(m_connection, chunk, sizeof chunk) : -1;
            if (n <= 0)
                return;
            bytes.append(chunk, n);
        }
        m_files = message.files;
        if (m_reply == Reply::Late) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2500)); // busy: loading a big page
            send(instance::receipt());
        }
        if (m_reply != Reply::Never) {
            ::close(m_connection);
            m_connection = -1;
        }
    }

    Reply m_reply;
    int m_listener = -1;
    int m_connection = -1;
    bool m_listening = false;
    std::thread m_thread;
    QStringList m_files;
};

} // namespace

Q_DECLARE_METATYPE(BusyProgram::Reply)
Q_DECLARE_METATYPE(instance::Delivery)

class DesktopStartTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_runtime;
    QTemporaryDir m_files;

private slots:
    void initTestCase()
    {
        testkit::isolate();
        // A private runtime folder: the program's socket is this test's alone.
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void parsesTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("newInstance");
        using A = cli::Request::Action;
        const QString d = QStringLiteral("/work/site");
        QTest::newRow("none") << QStringList{} << int(A::Run) << QStringList{} << false;
        QTest::newRow("relative, spaces, quotes, non-ASCII")
            << QStringList{QStringLiteral("a b.htm"), QStringLiteral("it's \"x\".htm"), QStringLiteral("sub/\u00e9t\u00e9.hted")}
            << int(A::Run)
            << QStringList{d + "/a b.htm", d + "/it's \"x\".htm", d + QStringLiteral("/sub/\u00e9t\u00e9.hted")} << false;
        QTest::newRow("leading dash after --")
            << QStringList{"--new-instance", "--", "-x.htm", "--help"} << int(A::Run)
            << QStringList{d + "/-x.htm", d + "/--help"} << true;
        QTest::newRow("standard input, absolute, file URL, ..")
            << QStringList{"-", "/tmp/p.htm", "file:///tmp/a%20b.htm", "../up.htm"} << int(A::Run)
            << QStringList{"-", "/tmp/p.htm", "/tmp/a b.htm", "/work/up.htm"} << false;
        QTest::newRow("toolkit options are left to it")
            << QStringList{"-platform", "offscreen", "-session", "abc", "p.htm"} << int(A::Run)
            << QStringList{d + "/p.htm"} << false;
        QTest::newRow("version") << QStringList{"--version", "x"} << int(A::Version) << QStringList{} << false;
        QTest::newRow("help") << QStringList{"-h"} << int(A::Help) << QStringList{} << false;
        QTest::newRow("unknown") << QStringList{"--frobnicate"} << int(A::Misuse) << QStringList{} << false;
        QTest::newRow("letters are no option group") << QStringList{"-hv"} << int(A::Misuse) << QStringList{} << false;
    }
    void parsesTheCommandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        QFETCH(QStringList, files);
        QFETCH(bool, newInstance);
        const cli::Request r = cli::parse(QStringList{"halvane"} + args, QStringLiteral("/work/site"));
        QCOMPARE(int(r.action), action);
        QCOMPARE(r.files, files);
        QCOMPARE(r.newInstance, newInstance);
    }

    // The real binary, with no display at all.
    void helpVersionAndMisuseNeedNoDisplay()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(v));
        const Run version = runHalvane({"--version"}, env, m_files.path());
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray("Halvane 1.2.1\n"));
        const Run help = runHalvane({"--help"}, env, m_files.path());
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith("Usage: halvane"));
        QVERIFY(help.out.contains("--new-instance"));
        const Run misuse = runHalvane({"--frobnicate"}, env, m_files.path());
        QCOMPARE(misuse.exitCode, 2);
        QVERIFY(misuse.out.isEmpty());
        QVERIFY(misuse.err.contains("Usage: halvane"));
    }

    // A second start hands its files to this program (the one running), which opens each in
    // a window of its own and names the unreadable ones in one message.
    void aSecondStartHandsItsFilesOver()
    {
        App app;
        instance::Server server;
        QVERIFY(server.listen());
        connect(&server, &instance::Server::received, &app.main(),
                [&app](const instance::Message& m) { files::openPages(app.main(), m.files, m.standardInput); });
        const QString dir = m_files.path();
        const QStringList names{"with space.htm", "quote\"d.htm", QStringLiteral("\u00fcn\u00ef.htm"), "-dash.htm"};
        for (const QString& n : names)
            testkit::writeBytes(dir + '/' + n, page);
        testkit::takeMessages();
        const Run child = runHalvane({"--", names[0], names[1], names[2], names[3], "missing.htm", "-"},
                                     QProcessEnvironment::systemEnvironment(), dir, "<P>piped</P>");
        QCOMPARE(child.exitCode, 0);
        QTRY_COMPARE(app.main().documents().size(), 5);
        QStringList expected;
        for (const QString& n : names)
            expected << dir + '/' + n;
        QCOMPARE(captions(app.main()).mid(0, 4), expected);
        QCOMPARE(app.main().documents()[1]->editor()->text(), QString::fromUtf8(page));
        frmDocument* piped = app.main().documents()[4];
        QCOMPARE(piped->editor()->text(), QStringLiteral("<P>piped</P>"));
        QVERIFY(piped->isModified());
        const QStringList messages = testkit::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains(dir + "/missing.htm"));
        // Opening a file already shown brings its window forward instead of a second one.
        QString reason;
        QVERIFY(files::openPage(app.main(), expected[0], &reason));
        QCOMPARE(app.main().documents().size(), 5);
        QCOMPARE(app.main().activeDocument()->windowTitle(), expected[0]);
    }

    // With a program running, --new-instance starts a program of its own, which opens the
    // file itself: nothing is handed over. A first start (none running) reads "-" from its
    // standard input into a page of its own, changed: its recovery copy holds the text.
    void newInstanceAndStandardInputStartTheirOwn_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("--new-instance beside a running program") << true;
        QTest::newRow("- at a first start") << false;
    }
    void newInstanceAndStandardInputStartTheirOwn()
    {
        QFETCH(bool, running);
        instance::Server server;
        QFile::remove(instance::serverPath());
        QVERIFY(!running || server.listen());
        QSignalSpy handed(&server, &instance::Server::received);
        const QString file = m_files.path() + "/own.htm";
        testkit::writeBytes(file, page);
        QTemporaryDir config;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(HALVANE_BINARY), running ? QStringList{"--new-instance", file} : QStringList{"-"});
        p.write("<P>piped at a first start</P>");
        p.closeWriteChannel();
        const QDir copies(platform::recovery::defaultFolder());
        const auto opened = [&] {
            if (running)
                return QSettings(config.path() + "/Halvane/Halvane.ini", QSettings::IniFormat)
                    .value("Settings/RecentPages").toStringList().contains(file);
            for (const QString& name : copies.entryList({"*.hted"}, QDir::Files))
                if (testkit::readBytes(copies.filePath(name)).contains("<P>piped at a first start</P>"))
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(opened(), 20000);
        QCOMPARE(handed.count(), 0);
        QCOMPARE(p.state(), QProcess::Running);
        p.terminate();
        QVERIFY(p.waitForFinished(15000));
        for (const QString& name : copies.entryList(QDir::Files))
            QFile::remove(copies.filePath(name));
    }

    // A socket left by a program that was killed neither blocks the next program's server
    // nor makes a start wait; a program that never accepts is given up after two seconds.
    void staleAndSilentProgramsDoNotBlock()
    {
        const QString path = instance::serverPath();
        QFile::remove(path);
        const int stale = testkit::bindLocalSocket(path);
        QVERIFY(stale >= 0);
        ::close(stale); // the file stays, with nobody behind it
        QElapsedTimer t;
        t.start();
        QCOMPARE(instance::handOff({{"/x.htm"}, {}}), instance::Delivery::NotTaken);
        {
            instance::Server server;
            QVERIFY(server.listen());
        }
        QLocalServer silent;
        QVERIFY(silent.listen(path));
        t.restart();
        QCOMPARE(instance::handOff({{"/x.htm"}, {}}), instance::Delivery::NotTaken);
        // A silent program is given its time to answer (a lower bound: timers never fire early).
        QVERIFY2(t.elapsed() >= 1900, qPrintable(QString::number(t.elapsed())));
        // A live program keeps its address.
        instance::Server second;
        QVERIFY(!second.listen());
    }

    // A program busy for longer than the two seconds once it has accepted a start: the start
    // waits for its answer and never opens the files itself.
    void aBusyProgramIsWaitedFor()
    {
        const QString file = m_files.path() + "/busy.htm";
        testkit::writeBytes(file, page);
        QTemporaryDir config;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config.path());
        BusyProgram busy(BusyProgram::Reply::Late);
        QVERIFY(busy.listening());
        const Run child = runHalvane({file}, env, m_files.path());
        QVERIFY(child.ended);
        QCOMPARE(child.exitCode, 0);
        QCOMPARE(busy.files(), QStringList{file});
        // Nothing was opened here: a page opened enters the desktop's recent list.
        QVERIFY(!testkit::readBytes(platform::recent::desktopListPath()).contains(QUrl::fromLocalFile(file).toEncoded()));
    }

    // Once the program has the message, only its answer says whether it took the files. One
    // that hangs up without answering took none (it answers before it opens them); one that
    // keeps silent has them and may open them yet, so the start must not.
    void afterDeliveryTheAnswerDecides_data()
    {
        QTest::addColumn<BusyProgram::Reply>("reply");
        QTest::addColumn<instance::Delivery>("delivery");
        QTest::newRow("hangs up") << BusyProgram::Reply::HangUp << instance::Delivery::NotTaken;
        QTest::newRow("keeps silent") << BusyProgram::Reply::Never << instance::Delivery::Unconfirmed;
    }
    void afterDeliveryTheAnswerDecides()
    {
        QFETCH(BusyProgram::Reply, reply);
        QFETCH(instance::Delivery, delivery);
        BusyProgram busy(reply);
        QVERIFY(busy.listening());
        QCOMPARE(instance::handOff({{"/x.htm"}, {}}, 2000, 300), delivery);
        QCOMPARE(busy.files(), QStringList{"/x.htm"});
    }

    void recentPagesAndTheDesktopList()
    {
        App app;
        recent::clear();
        const QString dir = m_files.path();
        // Another program's entry in the desktop list must survive ours.
        const QString xbel = platform::recent::desktopListPath();
        QDir().mkpath(QFileInfo(xbel).absolutePath());
        testkit::writeBytes(xbel, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<xbel version=\"1.0\" xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\" "
                                  "xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\">"
                                  "<bookmark href=\"file:///other/notes.txt\" added=\"2020-01-01T00:00:00Z\" "
                                  "modified=\"2020-01-01T00:00:00Z\" visited=\"2020-01-01T00:00:00Z\"><info>"
                                  "<metadata owner=\"http://freedesktop.org\"><mime:mime-type type=\"text/plain\"/>"
                                  "<bookmark:applications><bookmark:application name=\"Other\" exec=\"other %u\" "
                                  "modified=\"2020-01-01T00:00:00Z\" count=\"1\"/></bookmark:applications>"
                                  "</metadata></info></bookmark></xbel>\n");
        for (int i = 1; i <= 12; ++i)
            testkit::writeBytes(dir + QStringLiteral("/r%1.htm").arg(i), page);
        QString reason;
        for (int i = 1; i <= 12; ++i)
            QVERIFY(files::openPage(app.main(), dir + QStringLiteral("/r%1.htm").arg(i), &reason));
        QStringList list = recent::pages();
        QCOMPARE(list.size(), recent::maxPages);
        QCOMPARE(list.first(), dir + "/r12.htm");
        QCOMPARE(list.last(), dir + "/r3.htm");
        const QByteArray desktop = testkit::readBytes(xbel);
        QVERIFY(desktop.contains("file:///other/notes.txt"));
        QVERIFY(desktop.contains(QUrl::fromLocalFile(dir + "/r12.htm").toEncoded()));
        QVERIFY(desktop.contains("name=\"Halvane\""));
        QCOMPARE(QFileInfo(xbel).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        // A list nobody can read is left as it is.
        testkit::writeBytes(xbel, "not a bookmark file");
        QVERIFY(!platform::recent::addToDesktopList(dir + "/r1.htm", "text/html"));
        QCOMPARE(testkit::readBytes(xbel), QByteArray("not a bookmark file"));

        // The submenu sits after mnuFileBar4; a page gone since is greyed and leaves the list
        // with a message when chosen.
        auto* fileMenu = app.main().findChild<QMenu*>("mnuFile");
        const QList<QAction*> items = fileMenu->actions();
        const qsizetype bar4 = items.indexOf(app.main().action("mnuFileBar4"));
        QVERIFY(bar4 >= 0 && items.at(bar4 + 1)->objectName() == "mnuFileRecent");
        QFile::remove(dir + "/r12.htm");
        auto* menu = app.main().findChild<QMenu*>("mnuFileRecent");
        emit menu->aboutToShow();
        QAction* gone = menu->findChild<QAction*>("mnuFileRecent1");
        QVERIFY(gone && gone->property("missing").toBool());
        QVERIFY(!menu->findChild<QAction*>("mnuFileRecent2")->property("missing").toBool());
        testkit::takeMessages();
        gone->trigger();
        QCOMPARE(testkit::takeMessages().size(), 1);
        QVERIFY(!recent::pages().contains(dir + "/r12.htm"));
    }

    // The real program: the pages it had open are the last session after a normal end (here
    // the desktop asking it to stop), in window order with the active one; a kill keeps the
    // list of the normal end before it.
    void lastSessionWrittenOnANormalEndNotAfterAKill()
    {
        QTemporaryDir config;
        const QString dir = m_files.path();
        const QString a = dir + "/s1.htm", b = dir + "/s2.htm", c = dir + "/s3.htm";
        for (const QString& path : {a, b, c})
            testkit::writeBytes(path, page);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        const QString ini = config.path() + "/Halvane/Halvane.ini";
        auto stored = [&ini](const char* key) {
            QSettings s(ini, QSettings::IniFormat);
            return s.value(QStringLiteral("Settings/") + QLatin1String(key));
        };
        // Up once every page given has reached the recent pages.
        auto start = [&](QProcess& p, const QStringList& pages) {
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(HALVANE_BINARY), QStringList{"--new-instance"} + pages);
            QTRY_VERIFY_WITH_TIMEOUT(
                [&] {
                    const QStringList recent = stored("RecentPages").toStringList();
                    return std::all_of(pages.begin(), pages.end(),
                                       [&](const QString& x) { return recent.contains(x); });
                }(),
                15000);
        };
        {
            QProcess p;
            start(p, {a, b});
            p.terminate();
            QVERIFY(p.waitForFinished(15000));
        }
        QCOMPARE(stored("LastSession").toStringList(), QStringList({a, b}));
        QCOMPARE(stored("LastSessionActive").toInt(), 1);
        {
            QProcess p;
            start(p, {c});
            p.kill();
            QVERIFY(p.waitForFinished(15000));
        }
        QCOMPARE(stored("LastSession").toStringList(), QStringList({a, b}));
    }

    // File > Recent Pages > Reopen Last Session, and the option that does it at every start.
    void reopenLastSession()
    {
        const QString dir = m_files.path();
        const QString a = dir + "/t1.htm", b = dir + "/t2.htm", c = dir + "/t3.htm";
        for (const QString& path : {a, b, c})
            testkit::writeBytes(path, page);
        {
            App app;
            QString reason;
            for (const QString& path : {a, b, c})
                QVERIFY(files::openPage(app.main(), path, &reason));
            app.main().LoadANewDoc(); // a page without a file: nothing to reopen
            QVERIFY(files::openPage(app.main(), b, &reason)); // b active again
            app.main().close();
        }
        QCOMPARE(session::lastSession().paths, QStringList({a, b, c}));
        QCOMPARE(session::lastSession().active, 1);

        App app;
        auto* menu = app.main().findChild<QMenu*>("mnuFileRecent");
        emit menu->aboutToShow();
        QAction* reopen = menu->findChild<QAction*>("mnuFileReopenSession");
        QAction* atStart = menu->findChild<QAction*>("mnuFileReopenAtStart");
        QVERIFY(reopen && reopen->isEnabled() && atStart && !atStart->isChecked());
        QCOMPARE(menu->actions().last(), atStart);
        QFile::remove(c); // reported, the others open
        testkit::takeMessages();
        reopen->trigger();
        QCOMPARE(testkit::takeMessages().size(), 1);
        QCOMPARE(captions(app.main()), QStringList({a, b}));
        QCOMPARE(app.main().activeDocument()->windowTitle(), b);

        // The option is remembered and opens the pages at start; off, a start opens nothing.
        session::reopenAtStart(app.main());
        QCOMPARE(captions(app.main()).size(), 2);
        atStart->trigger();
        QVERIFY(session::reopensAtStart());
        App next;
        session::reopenAtStart(next.main());
        QCOMPARE(captions(next.main()), QStringList({a, b}));
        session::setReopensAtStart(false);
    }

    // Files dropped from a file manager open as pages; dropped text stays the editor's.
    void droppedFilesOpenDroppedTextIsText()
    {
        App app;
        frmDocument* doc = app.newDocument();
        const QString file = m_files.path() + "/dropped.htm";
        testkit::writeBytes(file, page);
        const int before = int(app.main().documents().size());
        auto drop = [&](QMimeData* data, QWidget* target) {
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QDropEvent event(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
            return event.isAccepted();
        };
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(file)});
        QVERIFY(drop(&files, doc->editor()->viewport()));
        QTRY_COMPARE(int(app.main().documents().size()), before + 1);
        QCOMPARE(app.main().activeDocument()->windowTitle(), file);
        QVERIFY(!doc->editor()->text().contains(file));
        QMimeData onMain;
        onMain.setUrls({QUrl::fromLocalFile(file)});
        app.main().mdiArea()->setActiveSubWindow(nullptr);
        QVERIFY(drop(&onMain, &app.main()));
        QMimeData text;
        text.setText(QStringLiteral("plain words"));
        drop(&text, doc->editor()->viewport());
        // Drops open in order: once a later file dropped has opened, the drops before it
        // opened all they were going to.
        const QString later = m_files.path() + "/later.htm";
        testkit::writeBytes(later, page);
        QMimeData marker;
        marker.setUrls({QUrl::fromLocalFile(later)});
        QVERIFY(drop(&marker, &app.main()));
        QTRY_COMPARE(int(app.main().documents().size()), before + 2);
        QCOMPARE(captions(app.main()).mid(before), (QStringList{file, later}));
    }
};

QTEST_MAIN(DesktopStartTest)
#include "tst_desktopstart.moc"
