// Editor-core benchmarks: typing, undo and redo, a tag wrap and page loading, measured through
// the real document window, and the same work on a bare QPlainTextEdit (the "floor": what the
// Qt widget costs by itself). Run offscreen; prints one "name: value unit" line per figure.
//
// Usage: halvane_bench [scenario...]   (typing keystroke wrap longline load loadfloor dynanim
//        find caret gutter highlight highlightload; default: all). Times are process CPU time.

#include "Bare.h"
#include "Pages.h"
#include "Probe.h"

#include "document/Inserter.h"
#include "document/RichEdit.h"
#include "document/UndoHistory.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "document/PageTemplate.h"
#include "editing/CaretPanel.h"
#include "editing/Finder.h"
#include "editing/LineNumberGutter.h"
#include "editing/MatchingTags.h"
#include "editing/PageDisplay.h"
#include "editing/SyntaxColours.h"
#include "effects/DynamicAnimation.h"
#include "formatting/TagCommands.h"
#include "platform/Clipboard.h"
#include "platform/Keystrokes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using probe::report;

namespace {

constexpr qsizetype KiB = 1024;
constexpr qsizetype MiB = 1024 * KiB;
using bare::windowHeight;
using bare::windowWidth;

void settle() { QCoreApplication::processEvents(); }

// Key n of a run of typing: five-letter words and spaces, and Enter after every 72nd key, so
// that lines stay of page width (typing 2,000 letters into one line would time the shaping
// of an ever longer line rather than the editor). `enter` false: letters and spaces only.
int keyAt(int n, bool enter)
{
    if (enter && n % 72 == 71)
        return Qt::Key_Return;
    if (n % 6 == 5)
        return Qt::Key_Space;
    return Qt::Key_A + n % 26;
}

// How many Enters keys [0, keys) hold, each adding a line break (two characters).
int entersIn(int keys) { return keys / 72; }

// One keystroke: press and release, delivered synchronously, then the events it posted
// (repaint, scrolling) are handled, as they would be before the next key.
void typeKey(QWidget* target, int n, bool enter = true)
{
    const int key = keyAt(n, enter);
    const QString text = key == Qt::Key_Return ? QStringLiteral("\r")
                       : key == Qt::Key_Space  ? QStringLiteral(" ")
                                               : QString(QChar(u'a' + (key - Qt::Key_A)));
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
    settle();
}

// A figure means nothing if the work it times did not happen as described: stop the run.
void expect(bool ok, const char* what)
{
    if (ok)
        return;
    std::fprintf(stderr, "halvane_bench: %s\n", what);
    std::exit(1);
}

// The caret at the middle of the text, by the widget's own count, so that both editors
// type into the same line of the same page.
void placeCaretMidway(QPlainTextEdit* edit)
{
    QTextCursor c = edit->textCursor();
    c.setPosition(edit->document()->characterCount() / 2);
    edit->setTextCursor(c);
}

// ---- the two editors under test ---------------------------------------------------------

// A document window as File > New leaves it, then holding `page` (loaded through the editor
// and recorded in the history), with the caret at the middle of the text.
class Document {
public:
    explicit Document(const QString& page)
    {
        m_doc = new frmDocument;
        m_doc->resize(windowWidth, windowHeight);
        workspace::setActiveLookup([d = m_doc] { return d; });
        m_doc->load();
        edit()->setWholeText(page);
        settle();
        placeCaretMidway(edit());
        settle();
    }
    ~Document()
    {
        workspace::setActiveLookup({});
        delete m_doc;
    }
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    frmDocument* doc() const { return m_doc; }
    RichEdit* edit() const { return m_doc->editor(); }

private:
    frmDocument* m_doc = nullptr;
};

// A stock QPlainTextEdit with the document window's font, tab stops and editor size (its own
// undo stack left on), holding the same page, caret at the middle.
class Floor {
public:
    explicit Floor(const QString& page)
    {
        m_edit = std::make_unique<QPlainTextEdit>();
        bare::styleLikeDocument(m_edit.get());
        m_edit->show();
        settle();
        m_edit->setPlainText(page);
        settle();
        placeCaretMidway(m_edit.get());
        settle();
    }
    QPlainTextEdit* edit() const { return m_edit.get(); }

private:
    std::unique_ptr<QPlainTextEdit> m_edit;
};

double median(std::vector<double> v);

// Mean microseconds of one keystroke over `keys` keys (after a few untimed ones).
double meanKeystrokeUs(QWidget* target, int keys)
{
    for (int i = 0; i < 5; ++i)
        typeKey(target, i);
    probe::Stopwatch t;
    for (int i = 5; i < keys + 5; ++i)
        typeKey(target, i);
    return t.us() / keys;
}

// ---- scenarios ----------------------------------------------------------------------------

// The heap a history holds, measured by the allocator: the bytes in use drop by that much
// when the history is destroyed. Leaves the document with an empty history.
long long heapHeldBy(UndoHistory& history)
{
    auto taken = std::make_unique<UndoHistory>(std::move(history));
    history = UndoHistory();
    const std::size_t before = probe::heapInUse();
    taken.reset();
    return static_cast<long long>(before) - static_cast<long long>(probe::heapInUse());
}

// Timed Undo + Redo pairs; `undo` must take back exactly one key, `redo` bring it back.
double undoRedoPairUs(const std::function<void()>& undo, const std::function<void()>& redo,
                      const std::function<int()>& length)
{
    constexpr int pairs = 50;
    const int typed = length();
    probe::Stopwatch u;
    for (int i = 0; i < pairs; ++i) {
        undo();
        settle();
        redo();
        settle();
    }
    const double us = u.us() / pairs;
    undo();
    expect(length() == typed - 1, "undo: not exactly the last key was taken back");
    redo();
    expect(length() == typed, "redo: the last key did not come back");
    return us;
}

// 2,000 keys into the middle of a 1 MiB page: history size (its own estimate, and the heap
// it holds by the allocator's count), heap growth, CPU time; then Undo + Redo pairs.
void typing()
{
    const QString page = benchpages::page(1 * MiB);
    constexpr int keys = 2000;
    long long heldAfterLoad = 0;
    {
        Document d(page);
        heldAfterLoad = heapHeldBy(d.doc()->history());
    }
    {
        Document d(page);
        const std::size_t historyBefore = d.doc()->history().elementBytes();
        const int stepsBefore = d.doc()->history().undoCount();
        const int lengthBefore = d.edit()->textLength();
        const std::size_t heapBefore = probe::heapInUse();
        const double cpuBefore = probe::cpuSeconds();
        probe::Stopwatch t;
        for (int i = 0; i < keys; ++i)
            typeKey(d.edit(), i);
        const double us = t.us() / keys;
        const double cpu = probe::cpuSeconds() - cpuBefore;
        const std::size_t heapAfter = probe::heapInUse();
        const std::size_t historyAfter = d.doc()->history().elementBytes();
        expect(d.doc()->history().undoCount() - stepsBefore == keys,
               "typing: not every keystroke was recorded in the history");
        expect(d.edit()->textLength() - lengthBefore == keys + entersIn(keys),
               "typing: not every key was typed");
        report("undo.history_bytes_2000_keys_1MiB",
               static_cast<long long>(historyAfter) - static_cast<long long>(historyBefore), "bytes");
        report("undo.heap_growth_2000_keys_1MiB",
               static_cast<long long>(heapAfter) - static_cast<long long>(heapBefore), "bytes");
        report("undo.typing_cpu_s_2000_keys_1MiB", cpu, "s", 3);
        report("undo.keystroke_us_1MiB", us, "us");

        // Every Undo here takes back one key: the history holds 2,000 separate steps.
        report("undo.undo_redo_us_1MiB",
               undoRedoPairUs([&] { d.doc()->Undo(); }, [&] { d.doc()->Redo(); },
                              [&] { return d.edit()->textLength(); }),
               "us");
        // Undo and Redo leave the lists as typing left them.
        expect(d.doc()->history().undoCount() - stepsBefore == keys && d.doc()->history().redoCount() == 0,
               "undo: the history lost or kept a step");
        report("undo.history_heap_growth_2000_keys_1MiB", heapHeldBy(d.doc()->history()) - heldAfterLoad,
               "bytes");
    }
    {
        // The widget's undo stack merges a typed run into one command. Each key typed in an
        // edit block of its own stays a step of its own, so that the floor keeps what the
        // history keeps (2,000 steps) and its Undo takes back one key, as the history's does.
        Floor f(page);
        QTextDocument* doc = f.edit()->document();
        const auto typeStep = [&](int n) {
            QTextCursor block(doc);
            block.beginEditBlock();
            typeKey(f.edit(), n);
            block.endEditBlock();
        };
        const int stepsBefore = doc->availableUndoSteps();
        const std::size_t heapBefore = probe::heapInUse();
        const double cpuBefore = probe::cpuSeconds();
        probe::Stopwatch t;
        for (int i = 0; i < keys; ++i)
            typeStep(i);
        const double us = t.us() / keys;
        const double cpu = probe::cpuSeconds() - cpuBefore;
        const std::size_t heapAfter = probe::heapInUse();
        // The stack counts its commands (more than one a key), merged ones as one.
        expect(doc->availableUndoSteps() - stepsBefore >= keys,
               "floor typing: the keys were not recorded as separate steps");
        report("floor.heap_growth_2000_keys_1MiB",
               static_cast<long long>(heapAfter) - static_cast<long long>(heapBefore), "bytes");
        report("floor.typing_cpu_s_2000_keys_1MiB", cpu, "s", 3);
        report("floor.keystroke_us_1MiB", us, "us");
        report("floor.undo_redo_us_1MiB",
               undoRedoPairUs([&] { f.edit()->undo(); }, [&] { f.edit()->redo(); },
                              [&] { return doc->characterCount(); }),
               "us");
    }
}

// Mean keystroke on a small and a large page.
void keystroke()
{
    constexpr int keys = 1000;
    for (const auto& [size, name, floorName] :
         {std::tuple{4 * KiB, "undo.keystroke_us_4KiB", "floor.keystroke_us_4KiB"},
          std::tuple{4 * MiB, "undo.keystroke_us_4MiB", "floor.keystroke_us_4MiB"}}) {
        const QString page = benchpages::page(size);
        {
            Document d(page);
            const int stepsBefore = d.doc()->history().undoCount();
            report(name, meanKeystrokeUs(d.edit(), keys), "us");
            expect(d.doc()->history().undoCount() - stepsBefore == keys + 5,
                   "keystroke: not every keystroke was recorded in the history");
        }
        {
            Floor f(page);
            report(floorName, meanKeystrokeUs(f.edit(), keys), "us");
        }
    }
}

// Format > Font Style > Bold around a 100-character selection, through the insertion engine.
void wrap()
{
    const QString page = benchpages::page(1 * MiB);
    constexpr int runs = 50;
    constexpr int selection = 100;
    const auto bold = *std::find_if(tags::menuWraps.begin(), tags::menuWraps.end(),
                                    [](const tags::WrapCommand& c) {
                                        return std::strcmp(c.menuItem, "mnuFSBold") == 0;
                                    });
    const Steps steps = tags::menuWrap(bold);
    {
        Document d(page);
        // The same stretches of text as on the floor below, taken by the widget's count.
        RichEdit* e = d.edit();
        const int middle = e->document()->characterCount() / 2;
        double total = 0;
        for (int i = 0; i < runs; ++i) {
            const int start = e->toCrlfPosition(middle + i * 400);
            e->setSelStart(start);
            e->setSelLength(e->toCrlfPosition(middle + i * 400 + selection) - start);
            settle();
            probe::Stopwatch t;
            const int lengthBefore = e->textLength();
            inserter::run(steps);
            settle();
            total += t.us();
            // Both tags and the Enter's line break went in around the selection.
            expect(e->textLength() - lengthBefore == 8 + 9 + 2, "wrap: the tags were not inserted");
        }
        report("insert.bold_wrap_us_1MiB", total / runs, "us");
    }
    {
        // The same edits straight on the widget: selection to the clipboard, red tag, the
        // selection in black, red tag, black, Enter.
        Floor f(page);
        QPlainTextEdit* e = f.edit();
        QTextCharFormat red;
        red.setForeground(QColor(255, 0, 0));
        QTextCharFormat black;
        black.setForeground(QColor(0, 0, 0));
        const int middle = e->document()->characterCount() / 2;
        double total = 0;
        for (int i = 0; i < runs; ++i) {
            QTextCursor c = e->textCursor();
            c.setPosition(middle + i * 400);
            c.setPosition(middle + i * 400 + selection, QTextCursor::KeepAnchor);
            e->setTextCursor(c);
            settle();
            probe::Stopwatch t;
            e->setFocus();
            platform::clipboard::clear();
            platform::clipboard::setText(e->textCursor().selectedText());
            c = e->textCursor();
            c.insertText(QStringLiteral("<STRONG>"), red);
            c.insertText(platform::clipboard::text(), black);
            c.insertText(QStringLiteral("</STRONG>"), red);
            e->setTextCursor(c);
            e->setCurrentCharFormat(black);
            platform::sendReturn(e);
            settle();
            total += t.us();
        }
        report("floor.bold_wrap_us_1MiB", total / runs, "us");
    }
}

// Keystrokes in the middle of a 1 MiB page that is one single line. Each key re-lays the
// whole line out, so the count is bounded by time as well.
void longLine()
{
    const QString page = benchpages::singleLine(1 * MiB);
    constexpr int maxKeys = 100;
    constexpr double budgetUs = 8e6;
    auto measure = [&](QWidget* target) {
        typeKey(target, 0, false);
        probe::Stopwatch t;
        int n = 0;
        while (n < maxKeys && t.us() < budgetUs)
            typeKey(target, ++n, false);
        return t.us() / n;
    };
    {
        Document d(page);
        const int stepsBefore = d.doc()->history().undoCount();
        report("insert.keystroke_us_1MiB_single_line", measure(d.edit()), "us");
        expect(d.doc()->history().undoCount() > stepsBefore + 1,
               "longline: the keystrokes were not recorded in the history");
    }
    {
        Floor f(page);
        report("floor.keystroke_us_1MiB_single_line", measure(f.edit()), "us");
    }

    // Single keystrokes at the start, in the middle and at the end of the line, each timed on
    // its own; the median of all. The floor gets fewer keys: each costs a quarter second.
    const auto placesAndKeys = [](QPlainTextEdit* edit, int keysPerPlace,
                                  const std::function<void(double)>& place) {
        std::vector<double> times;
        for (const double where : {0.0, 0.5, 1.0}) {
            place(where);
            settle();
            typeKey(edit, 0, false);
            for (int i = 1; i <= keysPerPlace; ++i) {
                probe::Stopwatch t;
                typeKey(edit, i, false);
                times.push_back(t.us());
            }
        }
        return median(times);
    };
    {
        Document d(page);
        RichEdit* e = d.edit();
        expect(e->lineCount() == 1, "longline: the page is not one line");
        const double us = placesAndKeys(e, 40, [e](double where) {
            e->setSelStart(static_cast<int>(where * e->textLength()));
        });
        expect(e->textLength() == page.size() + 3 * 41, "longline: not every key reached the text");
        report("longline.keystroke_us_1MiB", us, "us");
    }
    {
        Floor f(page);
        QPlainTextEdit* e = f.edit();
        report("floor.longline_keystroke_us_1MiB", placesAndKeys(e, 3, [e](double where) {
                   QTextCursor c = e->textCursor();
                   c.setPosition(static_cast<int>(where * (e->document()->characterCount() - 1)));
                   e->setTextCursor(c);
               }), "us");
    }
}

void loadFloor()
{
    auto open = [](const QString& page, bool show) {
        const std::size_t heapBefore = probe::heapInUse();
        probe::Stopwatch t;
        QPlainTextEdit e;
        bare::styleLikeDocument(&e);
        e.show();
        e.setPlainText(page);
        settle();
        const double ms = t.ms();
        if (show) {
            report("floor.setPlainText_10MiB_ms", ms, "ms");
            report("floor.setPlainText_heap_10MiB",
                   static_cast<long long>(probe::heapInUse()) - static_cast<long long>(heapBefore),
                   "bytes");
        }
    };
    open(benchpages::page(4 * KiB), false);
    open(benchpages::page(10 * MiB), true);
}

// Effects > Dynamic Animation, first Apply on a 1 MiB page that starts with the new-page
// template: the onload attribute, the 243-line script (a piece and an Enter each) and the
// element at the caret, through the insertion engine, search for the marker included. Each
// run takes a fresh page, since only the first Apply on a page writes the script.
void dynamicAnimation()
{
    const QString head = page::newPageTemplate();
    const QString page = head + benchpages::page(1 * MiB - head.size());
    constexpr int runs = 5;
    const dynanim::Values values{QStringLiteral("flyBottomRight"), QStringLiteral("picture.gif"),
                                 QStringLiteral("50"), QStringLiteral("50")};
    const int added = static_cast<int>(qstrlen(dynanim::onloadAttribute)) + dynanim::scriptLength() +
                      static_cast<int>(dynanim::element(values).size());
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        Document d(page);
        d.doc()->recordCaret();
        const int lengthBefore = d.edit()->textLength();
        probe::Stopwatch t;
        dynanim::Page state;
        state.savedCaret = d.doc()->savedCaret();
        state.textLength = d.edit()->textLength();
        state.markerAt = d.edit()->find(QString::fromLatin1(dynanim::marker), true, false);
        inserter::run(dynanim::dynamicAnimation(values, state));
        settle();
        times.push_back(t.ms());
        expect(state.markerAt < 0, "dynanim: the fresh page counted as prepared");
        expect(d.edit()->textLength() - lengthBefore == added, "dynanim: not everything was inserted");
    }
    std::sort(times.begin(), times.end());
    report("insert.dynanim_first_apply_ms_1MiB", times[runs / 2], "ms", 2);

    // The same insertions straight on the widget: the attribute, the script pieces each with
    // an Enter, the element. The widget counts a line break as one character: the program's
    // offsets are mapped by the breaks in front of them.
    const auto widgetPosition = [&page](int crlfPosition) {
        return crlfPosition - static_cast<int>(page.left(crlfPosition).count(QLatin1String("\r\n")));
    };
    const QStringList& pieces = dynanim::scriptPieces();
    const int widgetAdded = added - static_cast<int>(pieces.size()); // one character a break
    times.clear();
    for (int i = 0; i < runs; ++i) {
        Floor f(page);
        QPlainTextEdit* e = f.edit();
        const int caret = e->textCursor().position();
        const int lengthBefore = e->document()->characterCount();
        probe::Stopwatch t;
        const int found = static_cast<int>(e->document()->toRawText().indexOf(
            QLatin1String(dynanim::marker), 0, Qt::CaseInsensitive));
        expect(found < 0, "dynanim floor: the fresh page counted as prepared");
        QTextCursor c = e->textCursor();
        c.setPosition(widgetPosition(dynanim::bodyAttributeOffset));
        c.insertText(QString::fromLatin1(dynanim::onloadAttribute));
        c.setPosition(widgetPosition(page::headEndOffset));
        e->setTextCursor(c);
        for (const QString& piece : pieces) {
            c = e->textCursor();
            c.insertText(piece);
            e->setTextCursor(c);
            platform::sendReturn(e);
        }
        c.setPosition(caret + static_cast<int>(qstrlen(dynanim::onloadAttribute)) +
                      dynanim::scriptLength() - static_cast<int>(pieces.size()));
        c.insertText(dynanim::element(values));
        e->setTextCursor(c);
        settle();
        times.push_back(t.ms());
        expect(e->document()->characterCount() - lengthBefore == widgetAdded,
               "dynanim floor: not everything was inserted");
    }
    std::sort(times.begin(), times.end());
    report("floor.dynanim_first_apply_ms_1MiB", times[runs / 2], "ms", 2);
}

// ---- everyday editing ---------------------------------------------------------------------

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Find Next from the top of a 10 MiB page for a word standing 9 MiB into it; the floor is
// QTextDocument::find from the top, selecting what it finds. Then Replace All of 100,000
// five-letter words by seven-letter ones, history included, and its Undo.
void findAndReplace()
{
    constexpr int runs = 5;
    const QString word = QStringLiteral("zebrafish");
    QString page = benchpages::page(10 * MiB);
    const qsizetype at = page.indexOf(QLatin1String("\r\n"), 9 * MiB) + 2;
    page.insert(at, word + QLatin1Char(' '));
    page.truncate(10 * MiB);
    const editing::SearchPattern pattern(word, {});
    {
        Document d(page);
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            d.edit()->setSelStart(0);
            settle();
            probe::Stopwatch t;
            const editing::Outcome found = editing::find(*d.edit(), pattern, editing::Direction::Forward);
            settle();
            times.push_back(t.ms());
            expect(found == editing::Outcome::Found && d.edit()->selText() == word,
                   "find: the word was not found");
        }
        report("find.next_ms_10MiB", median(times), "ms", 2);
    }
    {
        Floor f(page);
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            f.edit()->moveCursor(QTextCursor::Start);
            settle();
            probe::Stopwatch t;
            const QTextCursor c = f.edit()->document()->find(word, QTextCursor(f.edit()->document()));
            f.edit()->setTextCursor(c);
            f.edit()->ensureCursorVisible();
            settle();
            times.push_back(t.ms());
            expect(c.selectedText() == word, "find floor: the word was not found");
        }
        report("floor.find_next_ms_10MiB", median(times), "ms", 2);
    }

    // 100,000 lines start with the five-letter word, in a page of 10 MiB in all.
    constexpr int matches = 100000;
    const QString five = QStringLiteral("kiwis");
    const QString seven = QStringLiteral("bananas");
    QStringList lines = benchpages::page(10 * MiB - matches * (five.size() + 1)).split(QLatin1String("\r\n"));
    expect(lines.size() > matches, "replace: the page has too few lines");
    for (int i = 0; i < matches; ++i)
        lines[i].prepend(five + QLatin1Char(' '));
    const QString many = lines.join(QLatin1String("\r\n"));
    {
        Document d(many);
        frmDocument* doc = d.doc();
        const QString before = d.edit()->text();
        const int steps = doc->history().undoCount();
        const std::size_t historyBefore = doc->history().elementBytes() + doc->history().headBytes();
        probe::Stopwatch t;
        const int n = editing::replaceAll(*doc, editing::SearchPattern(five, {}), seven);
        settle();
        report("find.replace_all_ms_10MiB_100k", t.ms(), "ms");
        expect(n == matches && doc->history().undoCount() == steps + 1,
               "replace: not every match was replaced in one step");
        const std::size_t growth =
            doc->history().elementBytes() + doc->history().headBytes() - historyBefore;
        const std::size_t changed = static_cast<std::size_t>(matches) * (five.size() + seven.size()) * sizeof(QChar);
        report("find.replace_all_history_bytes_10MiB_100k", static_cast<long long>(growth), "bytes");
        report("find.replace_all_changed_bytes_10MiB_100k", static_cast<long long>(changed), "bytes");
        probe::Stopwatch u;
        doc->Undo();
        settle();
        report("find.replace_all_undo_ms_10MiB_100k", u.ms(), "ms");
        expect(d.edit()->text() == before, "replace: undo did not restore the page");
    }
    {
        // The same replacements on the bare widget: QTextDocument::find from match to match,
        // each replaced in place, in one edit block.
        Floor f(many);
        QTextDocument* doc = f.edit()->document();
        probe::Stopwatch t;
        QTextCursor edit(doc);
        edit.beginEditBlock();
        int n = 0;
        for (QTextCursor c = doc->find(five, 0); !c.isNull(); c = doc->find(five, c)) {
            c.insertText(seven);
            ++n;
        }
        edit.endEditBlock();
        settle();
        report("floor.replace_all_ms_10MiB_100k", t.ms(), "ms");
        expect(n == matches, "replace floor: not every match was replaced");
    }
}

// Caret moves (Right, then Left) in a 1 MiB page with the status-bar panel following the
// document window, against the same moves with no panel; rounds alternate, medians compared.
void caretPanel()
{
    const QString page = benchpages::page(1 * MiB);
    QMdiArea area;
    area.resize(windowWidth + 40, windowHeight + 40);
    auto* doc = new frmDocument;
    QMdiSubWindow* sub = area.addSubWindow(doc);
    workspace::setActiveLookup([doc] { return doc; });
    area.show();
    sub->resize(windowWidth, windowHeight);
    doc->load();
    doc->editor()->setWholeText(page);
    placeCaretMidway(doc->editor());
    settle();
    constexpr int keys = 4000;
    constexpr int rounds = 7;
    auto moves = [&] {
        probe::Stopwatch t;
        for (int i = 0; i < keys; ++i) {
            const int key = i % 2 == 0 ? Qt::Key_Right : Qt::Key_Left;
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(doc->editor(), &press);
            settle();
        }
        return t.us() / keys;
    };
    std::vector<double> with, without;
    moves();
    for (int r = 0; r < rounds; ++r) {
        {
            editing::CaretPanel panel(&area);
            panel.show();
            settle();
            with.push_back(moves());
            expect(panel.text().startsWith(QLatin1String("Ln ")), "caret: the panel shows no place");
        }
        without.push_back(moves());
    }
    report("status.caret_panel_us_per_key_1MiB", median(with) - median(without), "us", 2);
    report("status.caret_move_us_1MiB_with_panel", median(with), "us", 2);
    report("floor.caret_move_us_1MiB_no_panel", median(without), "us", 2);
    workspace::setActiveLookup({});
}

// The line-number gutter: keystrokes into a 1 MiB page and scrolling through a 10 MiB page,
// with the gutter and without (today's document window); rounds alternate.
void gutter()
{
    constexpr int rounds = 5;
    constexpr int keys = 500;
    constexpr int steps = 200;
    std::vector<double> typedWith, typedWithout, scrolledWith, scrolledWithout;
    {
        Document d(benchpages::page(1 * MiB));
        int n = 0;
        auto typing = [&] {
            probe::Stopwatch t;
            for (int i = 0; i < keys; ++i)
                typeKey(d.edit(), n++);
            return t.us() / keys;
        };
        typing();
        for (int r = 0; r < rounds; ++r) {
            editing::LineNumberGutter::showFor(d.edit(), true);
            settle();
            typedWith.push_back(typing());
            editing::LineNumberGutter::showFor(d.edit(), false);
            settle();
            typedWithout.push_back(typing());
        }
    }
    {
        Document d(benchpages::page(10 * MiB));
        QScrollBar* bar = d.edit()->verticalScrollBar();
        auto scrolling = [&] {
            const int step = bar->maximum() / steps;
            probe::Stopwatch t;
            for (int i = 0; i < steps; ++i) {
                bar->setValue(i * step);
                settle();
            }
            return t.ms();
        };
        scrolling();
        for (int r = 0; r < rounds; ++r) {
            editing::LineNumberGutter::showFor(d.edit(), true);
            settle();
            scrolledWith.push_back(scrolling());
            expect(editing::LineNumberGutter::of(d.edit()), "gutter: no gutter");
            editing::LineNumberGutter::showFor(d.edit(), false);
            settle();
            scrolledWithout.push_back(scrolling());
        }
    }
    report("gutter.keystroke_us_1MiB", median(typedWith), "us");
    report("floor.gutter_off_keystroke_us_1MiB", median(typedWithout), "us");
    report("gutter.scroll_200_steps_ms_10MiB", median(scrolledWith), "ms");
    report("floor.gutter_off_scroll_200_steps_ms_10MiB", median(scrolledWithout), "ms");
}

// Waits until the markup colours of `edit` have reached every block.
void colourAll(RichEdit* edit)
{
    editing::SyntaxColours* layer = editing::SyntaxColours::of(edit);
    expect(layer, "highlight: no colour layer");
    for (int i = 0; i < 1000000 && !layer->isComplete(); ++i)
        QCoreApplication::processEvents();
    expect(layer->isComplete(), "highlight: the page was never coloured whole");
}

// Opening a big page: a new document window given 10 MiB through its editor, history
// recording included, until the window has handled what the load posted. The floor is the
// widget's own setPlainText. Each side runs in a process of its own (the first 10 MiB a
// process allocates costs more than the next), after a small untimed load that takes the
// one-time costs (fonts, first layout) out. `coloured`: with the markup colours on, the heap
// once they have reached every block.
void openBigPage(bool coloured)
{
    auto open = [coloured](const QString& page, bool show) {
        const std::size_t heapBefore = probe::heapInUse();
        probe::Stopwatch t;
        auto* doc = new frmDocument;
        doc->resize(windowWidth, windowHeight);
        workspace::setActiveLookup([doc] { return doc; });
        doc->load();
        if (coloured)
            editing::applyDisplay(doc->editor());
        doc->editor()->setWholeText(page);
        settle();
        const double ms = t.ms();
        if (coloured)
            colourAll(doc->editor());
        expect(doc->editor()->textLength() == page.size(),
               coloured ? "highlight load: the page did not arrive whole" : "load: the page did not arrive whole");
        const long long heap = static_cast<long long>(probe::heapInUse()) - static_cast<long long>(heapBefore);
        if (show && coloured)
            report("highlight.load_heap_10MiB", heap, "bytes");
        if (show && !coloured) {
            report("doc.load_10MiB_ms", ms, "ms");
            report("doc.load_heap_10MiB", heap, "bytes");
        }
        workspace::setActiveLookup({});
        delete doc;
    };
    open(benchpages::page(4 * KiB), false);
    open(benchpages::page(10 * MiB), true);
}


// Typing with the page's display as the View menu leaves it by default (markup colours and
// the caret's line): 2,000 keys into the middle of a 1 MiB page, as the typing figure does
// with the display layers off; and single keys into a 1 MiB page of one line. Rounds with
// the layers on and off alternate for the figure beside it.
void highlight()
{
    constexpr int keys = 2000;
    constexpr int rounds = 3;
    std::vector<double> on, off;
    {
        Document d(benchpages::page(1 * MiB));
        editing::applyDisplay(d.edit());
        colourAll(d.edit());
        int n = 0;
        auto typing = [&] {
            probe::Stopwatch t;
            for (int i = 0; i < keys / rounds; ++i)
                typeKey(d.edit(), n++);
            return t.us() / (keys / rounds);
        };
        // Each round starts from a view drawn with the layer as it is then: the repaint that
        // turning the colours on or off asks for is no keystroke.
        for (int r = 0; r < rounds; ++r) {
            settle();
            on.push_back(typing());
            editing::SyntaxColours::showFor(d.edit(), false);
            settle();
            off.push_back(typing());
            editing::SyntaxColours::showFor(d.edit(), true);
            colourAll(d.edit());
        }
        expect(editing::SyntaxColours::of(d.edit())->colouredLast() >= 0, "highlight: nothing coloured");
    }
    report("highlight.keystroke_us_1MiB", median(on), "us");
    report("highlight.keystroke_off_us_1MiB", median(off), "us");
    {
        const QString page = benchpages::singleLine(1 * MiB);
        Document d(page);
        RichEdit* e = d.edit();
        editing::applyDisplay(e);
        colourAll(e);
        std::vector<double> times;
        for (const double where : {0.0, 0.5, 1.0}) {
            e->setSelStart(static_cast<int>(where * e->textLength()));
            settle();
            typeKey(e, 0, false);
            for (int i = 1; i <= 40; ++i) {
                probe::Stopwatch t;
                typeKey(e, i, false);
                times.push_back(t.us());
            }
        }
        expect(e->textLength() == page.size() + 3 * 41, "highlight: not every key reached the line");
        report("highlight.keystroke_us_1MiB_single_line", median(times), "us");
    }
    // Go to Matching Tag from a start tag to its end tag 1 MiB further on, through the
    // editor's blocks, once the page is coloured (the states are known).
    for (const bool oneLine : {false, true}) {
        // Balanced markup (the generated pages cut some tags short): spans of words, in lines
        // of about 80 characters or in one line.
        QString inner;
        inner.reserve(MiB + 100);
        for (int i = 0; inner.size() < MiB; ++i)
            inner += QStringLiteral("<span class=\"w\">word %1</span> <b>bold</b> <i>it</i>%2")
                         .arg(i)
                         .arg(oneLine ? QStringLiteral(" ") : QStringLiteral("\r\n"));
        Document d(QStringLiteral("<div id=\"all\">") + inner + QStringLiteral("</div>\r\n"));
        RichEdit* e = d.edit();
        editing::applyDisplay(e);
        colourAll(e);
        std::vector<double> matching, going;
        for (int i = 0; i < 5; ++i) {
            e->setSelStart(2);
            settle();
            probe::Stopwatch m;
            const editing::BlockPage page(e);
            const auto match = markup::matchingTag(page, 2);
            matching.push_back(m.ms());
            expect(match && match->partner, "highlight: the matching tag was not found");
            probe::Stopwatch t;
            const bool found = editing::goToMatchingTag(e);
            settle();
            going.push_back(t.ms());
            expect(found && e->textRange(e->selStart(), 6) == QLatin1String("</div>"),
                   "highlight: the caret did not go to the matching tag");
        }
        report(oneLine ? "highlight.matching_tag_ms_1MiB_one_line" : "highlight.matching_tag_ms_1MiB",
               median(matching), "ms", 2);
        report(oneLine ? "highlight.go_to_matching_tag_ms_1MiB_one_line" : "highlight.go_to_matching_tag_ms_1MiB",
               median(going), "ms", 2);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::pair<const char*, std::function<void()>> scenarios[] = {
        {"typing", typing}, {"keystroke", keystroke}, {"wrap", wrap},
        {"longline", longLine}, {"load", [] { openBigPage(false); }}, {"loadfloor", loadFloor},
        {"dynanim", dynamicAnimation},
        {"find", findAndReplace}, {"caret", caretPanel}, {"gutter", gutter},
        {"highlight", highlight}, {"highlightload", [] { openBigPage(true); }}};
    QStringList wanted = app.arguments().mid(1);
    for (const QString& w : wanted) {
        if (std::none_of(std::begin(scenarios), std::end(scenarios),
                         [&](const auto& s) { return w == QLatin1String(s.first); })) {
            std::fprintf(stderr, "unknown scenario: %s\n", qPrintable(w));
            return 2;
        }
    }
    for (const auto& [name, run] : scenarios)
        if (wanted.isEmpty() || wanted.contains(QLatin1String(name)))
            run();
    return 0;
}
