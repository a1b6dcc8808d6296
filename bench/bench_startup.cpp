// Start-up: from process start to the first paint of a page given on the command line, for the
// real start routine (command line, single-instance server, splash, main window, the deferred
// open of the page) and for a bare QPlainTextEdit program that reads the same file. Wall
// clock, median of alternating runs, each a fresh process; then the resident memory of both
// once they have been idle for a while. Run it on the display the user has (bench/run starts
// it under a virtual X server with the xcb platform): the offscreen platform never loads the
// drawing stack a real display brings in.
//
//   halvane_bench_startup startup              the measurement (starts the kinds of child)
//   halvane_bench_startup --child PAGE [idle]  one start of the editor, reporting when painted
//   halvane_bench_startup --floor-child PAGE [idle]  the same for the bare program
//   halvane_bench_startup --running-child PAGE      a program that stays up for later starts
// A child given "idle" stays up after its first paint and then reports its resident memory.
// It also times the single-instance step: on its own, handing a page to a running program,
// and waiting for one that never answers.

#include "Pages.h"
#include "Probe.h"

#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLocalServer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

constexpr int runs = 15;
constexpr int idleRuns = 3;
constexpr int idleMs = 2500;

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

[[noreturn]] void report(const char* what)
{
    (void)::write(STDOUT_FILENO, what, std::strlen(what));
    std::_Exit(0); // the teardown is not part of starting
}

// Waits for the first paint of a text area holding the page, then reports "painted" (or,
// idle, stays up a while and reports the resident memory).
class FirstPaint : public QObject {
public:
    explicit FirstPaint(bool idle) : m_idle(idle) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            const auto* edit = qobject_cast<const QPlainTextEdit*>(watched->parent());
            if (edit && edit->viewport() == watched && edit->document()->characterCount() > 1) {
                m_seen = true;
                // Queued: the paint this event starts is drawn and flushed to the window first.
                QTimer::singleShot(0, this, [this] { done(); });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void done()
    {
        if (!m_idle)
            report("painted\n");
        QTimer::singleShot(idleMs, this, [] {
            char line[64];
            std::snprintf(line, sizeof line, "rss %ld\n", residentKiB());
            report(line);
        });
    }

    bool m_idle;
    bool m_seen = false;
};

int floorChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    FirstPaint watch(argc > 3);
    QPlainTextEdit edit;
    QFile page(QString::fromLocal8Bit(argv[2]));
    if (!page.open(QIODevice::ReadOnly))
        return 1;
    edit.setPlainText(QString::fromUtf8(page.readAll()));
    edit.resize(640, 480);
    edit.show();
    return app.exec();
}

// One child's answer: milliseconds to its first paint, or its resident memory in MB with
// `idle`; a negative number on failure.
double startOnce(const QString& mode, const QString& page, bool idle)
{
    probe::WallStopwatch clock;
    QProcess child;
    QStringList arguments{mode, page};
    if (idle)
        arguments << QStringLiteral("idle");
    child.start(QCoreApplication::applicationFilePath(), arguments);
    QByteArray said;
    while (child.waitForReadyRead(20000)) {
        said += child.readAllStandardOutput();
        if (!idle && said.contains("painted")) {
            const double ms = clock.ms();
            child.waitForFinished();
            return ms;
        }
        if (idle && said.contains('\n')) {
            child.waitForFinished();
            return said.startsWith("rss ") ? said.mid(4).trimmed().toDouble() / 1024.0 : -1;
        }
    }
    child.kill();
    child.waitForFinished();
    return -1;
}

// A start of the editor that hands its page to the program already running: wall clock from
// process start to its end (it must end at once, having handed the page over).
double handOffStart(const QString& page)
{
    probe::WallStopwatch clock;
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), page});
    if (!child.waitForFinished(20000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        child.kill();
        child.waitForFinished();
        return -1;
    }
    return clock.ms();
}

// The single-instance step: what it adds to a start when no program runs (listening, and
// the attempt to reach one), the hand-off to a program that runs (the call, and a whole
// start that hands its page over), and how long a start waits for one that never answers.
void singleInstance(const QString& page)
{
    std::vector<double> single;
    for (int i = 0; i < 50; ++i) {
        probe::WallStopwatch clock;
        probe::expect(instance::handOff({{QStringLiteral("/page.htm")}, {}}) == instance::Delivery::NotTaken,
                      "single instance: a program answered where none runs");
        {
            instance::Server server;
            probe::expect(server.listen(), "single instance: cannot listen");
        }
        single.push_back(clock.ms() * 1000);
    }
    probe::report("startup.single_instance_us", probe::median(single), "us", 0);

    // A real program, started with the page, listening once its window is up.
    QProcess running;
    running.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--running-child"), page});
    QByteArray said;
    while (!said.contains("ready") && running.waitForReadyRead(20000))
        said += running.readAllStandardOutput();
    probe::expect(said.contains("ready"), "single instance: the running program did not come up");
    std::vector<double> call, start;
    for (int i = 0; i < 15; ++i) {
        // It opens (brings forward) the page it was given before it is given the next.
        QThread::msleep(200);
        probe::WallStopwatch clock;
        const instance::Delivery delivered = instance::handOff({{page}, {}});
        call.push_back(clock.ms() * 1000);
        probe::expect(delivered == instance::Delivery::Taken, "single instance: the running program did not take the page");
        QThread::msleep(200);
        start.push_back(handOffStart(page));
        probe::expect(start.back() > 0, "single instance: a second start did not hand its page over and end");
    }
    running.kill();
    running.waitForFinished();
    probe::report("startup.handoff_us", probe::median(call), "us", 0);
    probe::report("startup.handoff_start_ms", probe::median(start), "ms", 1);

    // A program that listens and never answers (its event loop held up): the connection is
    // made, the greeting never comes.
    QLocalServer::removeServer(instance::serverPath());
    QLocalServer silent;
    probe::expect(silent.listen(instance::serverPath()), "single instance: cannot listen as the silent program");
    std::vector<double> waited;
    for (int i = 0; i < 3; ++i) {
        probe::WallStopwatch clock;
        probe::expect(instance::handOff({{page}, {}}) == instance::Delivery::NotTaken,
                      "single instance: a silent program took the page");
        waited.push_back(clock.ms());
    }
    probe::report("startup.handoff_silent_ms", probe::median(waited), "ms", 0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--child") == 0) {
        // The page opens in its own window once the main window is up, as from a desktop.
        const bool idle = argc > 3;
        char* args[] = {argv[0], argv[2], nullptr};
        return startup::main(2, args, [idle](frmMain& main) { (new FirstPaint(idle))->setParent(&main); });
    }
    if (argc > 2 && std::strcmp(argv[1], "--running-child") == 0) {
        // Stays up (until killed) once it listens for later starts' files.
        char* args[] = {argv[0], argv[2], nullptr};
        return startup::main(2, args, [](frmMain&) { (void)::write(STDOUT_FILENO, "ready\n", 6); });
    }
    if (argc > 2 && std::strcmp(argv[1], "--floor-child") == 0)
        return floorChild(argc, argv);

    QCoreApplication app(argc, argv);
    // Settings, recovery copies and the single-instance socket of these starts are their own.
    QTemporaryDir home;
    for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString dir = home.path() + QLatin1Char('/') + QString::fromLatin1(v);
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(v, dir.toLocal8Bit());
    }
    // A page of some 400 lines, as a hand-written page is.
    const QString page = home.path() + QStringLiteral("/page.htm");
    {
        QFile file(page);
        if (!file.open(QIODevice::WriteOnly) || file.write(benchpages::page(32 * 1024).toUtf8()) < 0)
            return 1;
    }
    const QString editorMode = QStringLiteral("--child");
    const QString floorMode = QStringLiteral("--floor-child");
    std::vector<double> editor, bare, editorRss, bareRss;
    startOnce(editorMode, page, false); // the first start warms the disk cache for both
    for (int i = 0; i < runs; ++i) {
        editor.push_back(startOnce(editorMode, page, false));
        bare.push_back(startOnce(floorMode, page, false));
    }
    for (int i = 0; i < idleRuns; ++i) {
        editorRss.push_back(startOnce(editorMode, page, true));
        bareRss.push_back(startOnce(floorMode, page, true));
    }
    for (const auto* v : {&editor, &bare, &editorRss, &bareRss})
        if (*std::min_element(v->begin(), v->end()) < 0) {
            std::fprintf(stderr, "halvane_bench_startup: a child did not report (no display?)\n");
            return 1;
        }
    probe::report("startup.main_window_ms", probe::median(editor), "ms", 1);
    probe::report("floor.startup_main_window_ms", probe::median(bare), "ms", 1);
    probe::report("startup.idle_rss_mb", probe::median(editorRss), "MB", 1);
    probe::report("floor.startup_idle_rss_mb", probe::median(bareRss), "MB", 1);

    singleInstance(page);
    return 0;
}
