// Benchmarks of the spell checking.
//
// Usage: halvane_bench_spelling spelling
//   spelling  the worker's time to check a whole 1 MiB page (words found with the lexer, each
//             looked up in the en_US dictionary, the dictionary loaded before); the longest
//             stretch the interface thread is kept from its events while the worker checks the
//             page of an editor; and the memory the loaded English dictionary takes.

#include "Pages.h"
#include "Probe.h"

#include "document/RichEdit.h"
#include "spelling/Check.h"
#include "spelling/PageSpelling.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {

constexpr qsizetype MiB = 1024 * 1024;

void checkWorker() {
    const std::size_t heapBefore = probe::heapInUse();
    spelling::Dictionaries dictionaries;
    const QString en = dictionaries.dictionaryFor(QStringLiteral("en"));
    if (en.isEmpty()) {
        std::fprintf(stderr, "halvane_bench_spelling: no English dictionary (hunspell-en-us)\n");
        std::exit(1);
    }
    dictionaries.isCorrect(QStringLiteral("garden"), en); // loads it
    probe::report("spelling.dictionary_heap_mb_en_US",
                  double(probe::heapInUse() - heapBefore) / MiB, "MB");

    const QString page = benchpages::page(MiB);
    probe::Stopwatch clock;
    const std::vector<spelling::Word> words = spelling::pageWords(page);
    const std::vector<spelling::Word> wrong = spelling::misspelt(words, dictionaries, en);
    probe::report("spelling.check_ms_1MiB", clock.us() / 1000, "ms");
    std::fprintf(stderr, "spelling: %zu words, %zu flagged\n", words.size(), wrong.size());
}

// The editor's layer checks a 1 MiB page on its worker; a timer on the interface thread
// notes the longest wait between two of its turns.
void interfaceBlock() {
    RichEdit edit;
    edit.resize(800, 600);
    edit.show();
    edit.setWholeText(benchpages::page(MiB));
    QCoreApplication::processEvents();
    QElapsedTimer gap;
    double longest = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, gap.nsecsElapsed() / 1e6);
        gap.restart();
    });
    // The same wait with nothing checked: what the machine itself adds.
    gap.start();
    tick.start();
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    tick.stop();
    probe::report("floor.ui_longest_block_ms_idle", longest, "ms");
    longest = 0;
    const std::size_t rssBefore = probe::peakResident();
    gap.start();
    tick.start();
    QElapsedTimer whole;
    whole.start();
    const probe::Stopwatch apply; // process CPU, the worker starting meanwhile: an upper bound
    spelling::applySpelling(&edit);
    const double applyMs = apply.us() / 1000;
    longest = std::max(longest, gap.nsecsElapsed() / 1e6);
    while (!spelling::isSettled(&edit) && whole.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    tick.stop();
    // The layer's own turns, counted in the interface thread's CPU time (the applying
    // included), and the longest wait between two timer turns, which also counts the machine.
    probe::report("spelling.ui_longest_block_ms_1MiB",
                  std::max(applyMs, spelling::longestTurnMs(&edit)), "ms");
    probe::report("spelling.ui_longest_gap_wall_ms_1MiB", longest, "ms");
    probe::report("spelling.page_wall_ms_1MiB", double(whole.elapsed()), "ms");
    probe::report("spelling.peak_rss_growth_mb_1MiB",
                  double(probe::peakResident() - rssBefore) / MiB, "MB");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2 || std::strcmp(argv[1], "spelling") != 0) {
        std::fprintf(stderr, "usage: halvane_bench_spelling spelling\n");
        return 2;
    }
    checkWorker();
    interfaceBlock();
    return 0;
}
