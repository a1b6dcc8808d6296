// Benchmarks of the recovery copies: how long the interface thread is blocked when a copy of
// a changed page is taken (the writer thread encodes and writes it afterwards), what a copy of
// an unchanged page costs, and how long bringing back a big page takes at the next start.
//
// Usage: halvane_bench_recovery

#include "Pages.h"
#include "Probe.h"
#include "Window.h"

#include "app/Recovery.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/Prompts.h"
#include "platform/RecoveryStore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr qsizetype MiB = 1024 * 1024;

// Median wall time, in milliseconds, of the interface thread's part of a copy of a page of
// `chars` characters, each time after one keystroke-sized change.
double snapshotMs(qsizetype chars, recovery::Keeper& keeper, double* unchangedMs)
{
    auto window = std::make_unique<DocumentWindow>();
    frmDocument* doc = window->doc();
    doc->editor()->setWholeRuns(benchpages::colouredRuns(chars));
    QCoreApplication::processEvents();
    keeper.watch(doc);
    std::vector<double> times;
    for (int i = 0; i < 7; ++i) {
        doc->editor()->setSelStart(static_cast<int>(chars / 2));
        doc->editor()->setSelText(QStringLiteral("x"));
        QElapsedTimer t;
        t.start();
        const bool taken = keeper.snapshot(doc);
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        probe::expect(taken, "no recovery copy was taken");
        keeper.waitForWrites(); // the next one measures the interface thread alone
    }
    QElapsedTimer t;
    t.start();
    keeper.snapshot(doc);
    *unchangedMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    window.reset();
    keeper.waitForWrites();
    return probe::median(times);
}

// Wall and CPU time, in milliseconds, of the start-up offer bringing back the copy of a page
// of `lines` short lines (about 19 bytes each, as a page read from a plain file and then
// changed), the question answered with Recover: reading the copy, the page into its window,
// and the new copy of this program written before the old one goes.
void recoverBigPage(int lines, double* wallMs, double* cpuMs)
{
    const QString line = QStringLiteral("<P>short line</P>\r\n");
    const platform::rtf::Runs runs{{QStringLiteral("<"), qRgb(255, 0, 0)},
                                   {line.repeated(lines), platform::rtf::defaultColour}};
    const qsizetype expected = 1 + line.size() * lines;
    {
        platform::recovery::Store gone;
        QString reason;
        const platform::recovery::PageInfo info{QStringLiteral("/pages/big.htm"), QStringLiteral("/pages/big.htm"),
                                                QStringLiteral("UTF-8"), QDateTime::currentDateTimeUtc()};
        if (!gone.write(gone.copyId(1), platform::rtf::write(runs), info, &reason)) {
            std::fprintf(stderr, "bench: the copy could not be written: %s\n", qPrintable(reason));
            std::exit(1);
        }
    }
    platform::prompts().question = [](QWidget*, const platform::Question&) { return 0; };
    frmMain main;
    main.load();
    main.show();
    QCoreApplication::processEvents();
    const probe::WallStopwatch wall;
    const probe::Stopwatch cpu;
    recovery::offerOrphans(main, main.recoveryKeeper());
    *wallMs = wall.ms();
    *cpuMs = cpu.ms();
    const QList<frmDocument*> docs = main.documents();
    probe::expect(docs.size() == 1 && docs.first()->editor()->text().size() == expected,
                  "the big page did not come back whole");
}

} // namespace

int main(int argc, char** argv)
{
    // The start-up offer's copies are those of this run alone.
    QTemporaryDir home;
    for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        const QString dir = home.path() + QLatin1Char('/') + QString::fromLatin1(v);
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(v, dir.toLocal8Bit());
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvane"));
    QApplication::setApplicationName(QStringLiteral("Halvane"));
    QTemporaryDir folder;
    recovery::Keeper keeper(nullptr, folder.path());
    double unchanged = 0;
    probe::report("recovery.snapshot_ms_1MiB", snapshotMs(1 * MiB, keeper, &unchanged), "ms", 2);
    probe::report("recovery.snapshot_ms_10MiB", snapshotMs(10 * MiB, keeper, &unchanged), "ms", 2);
    probe::report("recovery.snapshot_unchanged_ms_10MiB", unchanged, "ms", 3);
    double wallMs = 0, cpuMs = 0;
    recoverBigPage(600'000, &wallMs, &cpuMs);
    probe::report("recovery.recover_wall_ms_600k_lines", wallMs, "ms", 0);
    probe::report("recovery.recover_cpu_ms_600k_lines", cpuMs, "ms", 0);
    return 0;
}
