// Start-up: from process start to the main window shown (splash included, offscreen), for
// the real start routine (command line, single-instance server, splash, main window) and for
// a bare QPlainTextEdit program. Wall clock, median of alternating runs, each a fresh process.
//
//   halvane_bench_startup startup        the measurement (starts the two kinds of child)
//   halvane_bench_startup --child        one start of the editor, reporting when shown
//   halvane_bench_startup --floor-child  one start of the bare program, reporting when shown
// It also times the single-instance step on its own.

#include "Probe.h"

#include "app/SingleInstance.h"
#include "app/StartUp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

constexpr int runs = 15;

[[noreturn]] void shown()
{
    static const char line[] = "shown\n";
    (void)::write(STDOUT_FILENO, line, sizeof line - 1);
    std::_Exit(0); // the teardown is not part of starting
}

int floorChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    QPlainTextEdit edit;
    edit.resize(640, 480);
    edit.show();
    shown();
}

// Milliseconds from starting the child to its report, or a negative number on failure.
double startOnce(const QString& mode)
{
    probe::WallStopwatch clock;
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {mode});
    while (child.waitForReadyRead(10000))
        if (child.readAllStandardOutput().contains("shown")) {
            const double ms = clock.ms();
            child.waitForFinished();
            return ms;
        }
    return -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
        char* args[] = {argv[0], nullptr};
        return startup::main(1, args, [](frmMain&) { shown(); });
    }
    if (argc > 1 && std::strcmp(argv[1], "--floor-child") == 0)
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
    std::vector<double> editor, bare;
    startOnce(QStringLiteral("--child")); // the first start warms the disk cache for both
    for (int i = 0; i < runs; ++i) {
        editor.push_back(startOnce(QStringLiteral("--child")));
        bare.push_back(startOnce(QStringLiteral("--floor-child")));
    }
    if (std::min(*std::min_element(editor.begin(), editor.end()), *std::min_element(bare.begin(), bare.end())) < 0)
        return 1;
    probe::report("startup.main_window_ms", median(editor), "ms", 1);
    probe::report("floor.startup_main_window_ms", median(bare), "ms", 1);

    // What the single-instance step adds to a start: listening (the program's own address)
    // and, for a start with files, the attempt to reach a program when none runs.
    std::vector<double> single;
    for (int i = 0; i < 50; ++i) {
        probe::WallStopwatch clock;
        instance::handOff({{QStringLiteral("/page.htm")}, {}});
        {
            instance::Server server;
            server.listen();
        }
        single.push_back(clock.ms() * 1000);
    }
    probe::report("startup.single_instance_us", median(single), "us", 0);
    return 0;
}
