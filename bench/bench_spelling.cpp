// Benchmarks of the spell checking.
//
// Usage: halvane_bench_spelling spelling|spellingtyping
//   spelling  the worker's time to check a whole 1 MiB page (words found with the lexer, each
//             looked up in the en_US dictionary, the dictionary loaded before); the longest
//             stretch the interface thread is kept from its events while the worker checks the
//             page of an editor; and the memory the loaded English dictionary takes.
//   spellingtyping  typing into the middle of a 1 MiB page in a document window, as the undo
//             keystroke figure types (words, spaces, a Return every 72 keys), with checking on
//             and off in alternating rounds. Keys come the way the window system delivers
//             them, 50 ms apart (as a quick typist's); with checking on, each word pays its
//             whole round (copy, answer, underlines), the last one's answers awaited at the
//             end of a round. Times are the interface thread's CPU time.

#include "Pages.h"
#include "Probe.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "spelling/Check.h"
#include "spelling/PageSpelling.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr qsizetype MiB = 1024 * 1024;

void fail(const char* what) {
    std::fprintf(stderr, "halvane_bench_spelling: %s\n", what);
    std::exit(1);
}

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

double threadUs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A document window holding a 1 MiB page, shown, caret at the middle of the text.
struct Window {
    Window() {
        doc = new frmDocument;
        doc->resize(800, 600);
        doc->load();
        edit = doc->editor();
        edit->setWholeText(benchpages::page(MiB));
        doc->show();
        QCoreApplication::processEvents();
        QTextCursor c = edit->textCursor();
        c.setPosition(edit->document()->characterCount() / 2);
        edit->setTextCursor(c);
        edit->viewport()->installEventFilter(&paints);
    }
    ~Window() { delete doc; }
    struct Paints : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            count += e->type() == QEvent::Paint;
            return false;
        }
    } paints;
    frmDocument* doc;
    RichEdit* edit;
    int length = 0;
};

void typing() {
    // Each round the same keys: 12 spaces and a Return.
    constexpr int rounds = 9, keys = 72;
    QApplication::setCursorFlashTime(0); // no caret blinking between the keys
    // Two windows with the same page, one checked and one not, typed into in turns: neither
    // pays for the other's set-up between the rounds.
    Window checked, plain;
    spelling::applySpelling(checked.edit);
    if (!checked.edit->findChild<QObject*>(QStringLiteral("halvaneSpelling")))
        fail("spellingtyping: no checking layer");
    // After each key the loop waits asleep (costing no CPU time) for 50 ms, as between the
    // keys of a quick typist, on both sides alike; the worker answers meanwhile, and the
    // layer takes the answers with the next key. After a round it waits until the layer has
    // taken them all.
    QTimer pace;
    pace.setSingleShot(true);
    pace.setInterval(50);
    QTimer guard; // never waits for ever
    guard.start(1000);
    const auto waitWhile = [&](const std::function<bool()>& busy) {
        QElapsedTimer waited;
        waited.start();
        QCoreApplication::processEvents();
        while (busy() && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
    };
    const auto settle = [&] { waitWhile([&] { return !spelling::isSettled(checked.edit); }); };
    settle();
    for (Window* w : {&checked, &plain})
        w->length = w->edit->textLength();
    const auto round = [&](Window& w, int n) {
        workspace::setActiveLookup([d = w.doc] { return d; });
        w.doc->activateWindow();
        w.edit->setFocus();
        QWindow* window = w.doc->window()->windowHandle();
        settle();
        const double start = threadUs();
        for (int i = 0; i < keys; ++i, ++n) {
            const Qt::Key key = n % 72 == 71 ? Qt::Key_Return
                                : n % 6 == 5 ? Qt::Key_Space
                                             : Qt::Key(Qt::Key_A + n % 26);
            pace.start();
            QTest::keyClick(window, key);
            waitWhile([&] { return pace.isActive(); });
        }
        settle();
        return (threadUs() - start) / keys;
    };
    std::vector<double> on, off;
    for (int r = 0; r < rounds; ++r) {
        on.push_back(round(checked, r * keys));
        off.push_back(round(plain, r * keys));
    }
    workspace::setActiveLookup({});
    for (Window* w : {&checked, &plain})
        if (w->edit->textLength() - w->length != rounds * (keys + 1))
            fail("spellingtyping: not every key reached the page");
    if (spelling::underlines(checked.edit).isEmpty())
        fail("spellingtyping: nothing underlined");
    std::fprintf(stderr, "spellingtyping: %d paints with checking on, %d off\n",
                 checked.paints.count, plain.paints.count);
    probe::report("spelling.keystroke_us_1MiB", median(on), "us");
    probe::report("spelling.keystroke_off_us_1MiB", median(off), "us");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "spellingtyping") == 0) {
        typing();
        return 0;
    }
    if (argc < 2 || std::strcmp(argv[1], "spelling") != 0) {
        std::fprintf(stderr, "usage: halvane_bench_spelling spelling|spellingtyping\n");
        return 2;
    }
    checkWorker();
    interfaceBlock();
    return 0;
}
