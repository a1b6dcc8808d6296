// Benchmarks of the recovery copies: how long the interface thread is blocked when a copy of
// a changed page is taken (the writer thread encodes and writes it afterwards), and what a
// copy of an unchanged page costs.
//
// Usage: halvane_bench_recovery

#include "Pages.h"
#include "Probe.h"

#include "app/Recovery.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr qsizetype MiB = 1024 * 1024;

// Median wall time, in milliseconds, of the interface thread's part of a copy of a page of
// `chars` characters, each time after one keystroke-sized change.
double snapshotMs(qsizetype chars, recovery::Keeper& keeper, double* unchangedMs)
{
    auto* doc = new frmDocument;
    doc->resize(900, 650);
    workspace::setActiveLookup([doc] { return doc; });
    doc->load();
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
        if (!taken) {
            std::fprintf(stderr, "bench: no recovery copy was taken\n");
            std::exit(1);
        }
        keeper.waitForWrites(); // the next one measures the interface thread alone
    }
    QElapsedTimer t;
    t.start();
    keeper.snapshot(doc);
    *unchangedMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    workspace::setActiveLookup({});
    delete doc;
    keeper.waitForWrites();
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    recovery::Keeper keeper(nullptr, folder.path());
    double unchanged = 0;
    probe::report("recovery.snapshot_ms_1MiB", snapshotMs(1 * MiB, keeper, &unchanged), "ms", 2);
    probe::report("recovery.snapshot_ms_10MiB", snapshotMs(10 * MiB, keeper, &unchanged), "ms", 2);
    probe::report("recovery.snapshot_unchanged_ms_10MiB", unchanged, "ms", 3);
    return 0;
}
