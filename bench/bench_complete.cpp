// Benchmarks of the writing aids.
//
// Usage: halvane_bench_complete complete|writing|classes
//   complete  from a "<" typed in the middle of a 1 MiB page (markup colours on and lexed, as
//             in a window that has been open a moment) to the element list shown, the median
//             of 21 tries.
//   writing   typing into the middle of a 1 MiB page in a document window, as the undo
//             keystroke figure types (words, spaces, a Return every 72 keys, no display
//             layers), with the writing aids on and off in alternating rounds. Keys come the
//             way the window system delivers them (spontaneous events through the window), as
//             the aids answer only those; times are the interface thread's CPU time.
//   classes   a page of 1 MiB linking a style sheet of 1 MiB: from `class="` typed to the list
//             of its class names shown, the first time (the sheet read and parsed) and then
//             the median of 21 tries (the sheet cached); then the sheet changes on disk and
//             the list must follow.

#include "Pages.h"
#include "Probe.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "editing/CompletionPopup.h"
#include "editing/SyntaxColours.h"
#include "editing/WritingAids.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr qsizetype MiB = 1024 * 1024;

void fail(const char* what) {
    std::fprintf(stderr, "halvane_bench_complete: %s\n", what);
    std::exit(1);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// CPU time of the calling thread: what the keys cost the interface, whatever else runs.
double threadUs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// A document window as File > New leaves it, holding `page`, shown and focused, caret at
// the middle of the text.
struct Window {
    explicit Window(const QString& page) {
        doc = new frmDocument;
        doc->resize(800, 600);
        workspace::setActiveLookup([d = doc] { return d; });
        doc->load();
        doc->editor()->setWholeText(page);
        doc->show();
        doc->activateWindow();
        doc->editor()->setFocus();
        QApplication::processEvents();
        QTextCursor c = doc->editor()->textCursor();
        c.setPosition(doc->editor()->document()->characterCount() / 2);
        doc->editor()->setTextCursor(c);
        QApplication::processEvents();
    }
    ~Window() {
        workspace::setActiveLookup({});
        delete doc;
    }
    RichEdit* edit() const { return doc->editor(); }
    frmDocument* doc;
};

// Key n of a run of typing, as the undo keystroke figure types: five-letter words, spaces and
// a Return after every 72nd key. Pressed and released through the window, then the events it
// posted are handled, as they would be before the next key.
void windowKey(QWindow* window, int n) {
    const Qt::Key key = n % 72 == 71 ? Qt::Key_Return
                        : n % 6 == 5 ? Qt::Key_Space
                                     : Qt::Key(Qt::Key_A + n % 26);
    QTest::keyClick(window, key);
    QApplication::processEvents();
}

void writing() {
    constexpr int rounds = 31, keys = 72; // each round the same keys: 12 spaces, a Return
    Window w(benchpages::page(MiB));
    QWindow* window = w.doc->window()->windowHandle();
    if (!window)
        fail("the document window has no native window");
    QApplication::setCursorFlashTime(0); // no caret blinking between the keys
    editing::attachWritingAids(w.edit());
    QObject* aids = w.edit()->findChild<QObject*>(QStringLiteral("halvaneWritingAids"));
    if (!aids)
        fail("the writing aids did not attach");
    int n = 0;
    const auto round = [&] {
        const double start = threadUs();
        for (int i = 0; i < keys; ++i)
            windowKey(window, n++);
        return (threadUs() - start) / keys;
    };
    for (int i = 0; i < 12; ++i) // untimed
        windowKey(window, n++);
    const int length = w.edit()->textLength();
    std::vector<double> on, off;
    for (int r = 0; r < rounds; ++r) {
        on.push_back(round());
        w.edit()->removeEventFilter(aids);
        off.push_back(round());
        w.edit()->installEventFilter(aids);
    }
    const int typed = 2 * rounds * keys;
    if (w.edit()->textLength() - length != typed + typed / 72)
        fail("writing: not every key reached the page");
    probe::report("complete.keystroke_us_1MiB", median(on), "us");
    probe::report("complete.keystroke_off_us_1MiB", median(off), "us");
}

// A style sheet of about `chars` characters: rules with one to three class selectors and a
// few declarations, about a sixth of them defining a class of their own.
QByteArray styleSheet(qsizetype chars, int tag) {
    QByteArray css;
    css.reserve(chars + 200);
    for (int i = 0; css.size() < chars; ++i)
        css += QStringLiteral(".c%1 .b%2 > p.w%3:hover, .v%4 { margin: 0 .5em; color: #%5 }\n"
                              "/* .gone%1 */ section .c%1 { padding: 1px 2px 3px 4px }\n")
                   .arg(i % 6000)
                   .arg(i % 97)
                   .arg(i % 13)
                   .arg(i)
                   .arg(i % 4096, 3, 16, QLatin1Char('0'))
                   .toLatin1();
    css += ".changed" + QByteArray::number(tag) + " { }\n";
    return css;
}

void classes() {
    QTemporaryDir dir;
    const QString sheet = dir.filePath(QStringLiteral("site.css"));
    const auto writeSheet = [&](int tag) {
        QFile f(sheet);
        if (!f.open(QIODevice::WriteOnly) || f.write(styleSheet(MiB, tag)) < MiB)
            fail("classes: cannot write the style sheet");
    };
    writeSheet(1);
    const QString page =
        QStringLiteral("<link rel=\"stylesheet\" href=\"site.css\">\r\n") + benchpages::page(MiB);
    Window w(page);
    w.doc->setWindowTitle(dir.filePath(QStringLiteral("page.htm")));
    editing::SyntaxColours::showFor(w.edit(), true);
    if (editing::SyntaxColours* layer = editing::SyntaxColours::of(w.edit()))
        layer->lexThrough(w.edit()->document()->blockCount() - 1);
    QApplication::processEvents();
    editing::CompletionPopup popup(w.edit());
    const QTextBlock middle =
        w.edit()->document()->findBlockByNumber(w.edit()->document()->blockCount() / 2);
    const QString typed = QStringLiteral(" <p class=\"");
    // Types the start of a class attribute at the end of the middle line and times the list.
    const auto once = [&](const char* wanted) {
        QTextCursor c(middle);
        c.movePosition(QTextCursor::EndOfBlock);
        w.edit()->setTextCursor(c);
        w.edit()->setSelText(typed);
        QApplication::processEvents();
        const probe::WallStopwatch watch;
        popup.typed(u'"', true);
        QApplication::processEvents();
        const double ms = watch.ms();
        if (!popup.isOpen())
            fail("classes: the list did not open");
        if (!popup.list()->findItems(QLatin1String(wanted), Qt::MatchExactly).size())
            fail("classes: the list lacks a class of the sheet");
        popup.close();
        c = w.edit()->textCursor();
        c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, int(typed.size()));
        c.removeSelectedText();
        return ms;
    };
    probe::report("complete.classes_first_ms_1MiB_sheet", once("changed1"), "ms");
    std::vector<double> ms;
    for (int i = 0; i < 21; ++i)
        ms.push_back(once("changed1"));
    probe::report("complete.classes_ms_1MiB_sheet", median(ms), "ms");
    writeSheet(22); // a change of the same size: the list must follow
    once("changed22");
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::pair<const char*, std::function<void()>>> scenarios{
        {"writing", writing}, {"classes", classes}};
    const bool known =
        argc >= 2 && (std::strcmp(argv[1], "complete") == 0 ||
                      std::any_of(scenarios.begin(), scenarios.end(),
                                  [&](const auto& s) { return std::strcmp(argv[1], s.first) == 0; }));
    if (!known) {
        std::fprintf(stderr, "usage: halvane_bench_complete complete|writing|classes\n");
        return 2;
    }
    QApplication app(argc, argv);
    for (const auto& [name, run] : scenarios)
        if (std::strcmp(argv[1], name) == 0) {
            run();
            return 0;
        }
    RichEdit edit;
    edit.resize(800, 600);
    edit.setWholeText(benchpages::page(1024 * 1024));
    edit.show();
    editing::SyntaxColours::showFor(&edit, true);
    if (editing::SyntaxColours* layer = editing::SyntaxColours::of(&edit))
        layer->lexThrough(edit.document()->blockCount() - 1);
    QApplication::processEvents();
    editing::CompletionPopup popup(&edit);
    const QTextBlock middle = edit.document()->findBlockByNumber(edit.document()->blockCount() / 2);
    std::vector<double> ms;
    for (int i = 0; i < 21; ++i) {
        QTextCursor c(middle);
        c.movePosition(QTextCursor::EndOfBlock);
        edit.setTextCursor(c);
        QApplication::processEvents();
        const probe::WallStopwatch watch;
        edit.setSelText(QStringLiteral(" <"));
        popup.typed(u'<', true);
        QApplication::processEvents();
        ms.push_back(watch.ms());
        if (!popup.isOpen()) {
            std::fprintf(stderr, "the list did not open\n");
            return 1;
        }
        popup.close();
        c = edit.textCursor();
        c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 2);
        c.removeSelectedText();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("complete.popup_ms_1MiB: %.2f ms\n", ms[ms.size() / 2]);
    return 0;
}
