// Editor-core benchmarks: typing, undo and redo, a tag wrap and page loading, measured through
// the real document window, and the same work on a bare QPlainTextEdit (the "floor": what the
// Qt widget costs by itself). Run offscreen; prints one "name: value unit" line per figure.
//
// Usage: halvane_bench [scenario...]   (typing keystroke wrap longline load dynanim find, each
//        also as <scenario>floor for the bare widget's side; caret gutter highlight
//        highlightload; default: all). Times are process CPU time.

#include "Bare.h"
#include "Pages.h"
#include "Probe.h"
#include "Window.h"

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
#include <QEventLoop>
#include <QTimer>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QStatusBar>
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
#include <numeric>
#include <string>
#include <vector>

using probe::expect;
using probe::median;
using probe::report;

namespace {

constexpr qsizetype KiB = 1024;
constexpr qsizetype MiB = 1024 * KiB;
using bare::entersIn;
using bare::placeCaretMidway;
using bare::typeKey;
using bare::windowHeight;
using bare::windowWidth;
using Document = DocumentWindow;

void settle() { QCoreApplication::processEvents(); }

// ---- the floor ----------------------------------------------------------------------------

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

// How a side types a key: into the editor, which records it in its history, or into the bare
// widget as an edit step of its own, the same work.
std::function<void(int)> typer(RichEdit* edit, bool enter = true)
{
    return [edit, enter](int n) { typeKey(edit, n, enter); };
}
std::function<void(int)> typer(QPlainTextEdit* edit, bool enter = true)
{
    return [edit, enter](int n) { bare::typeKeyAsStep(edit, n, enter); };
}

// Mean microseconds of one keystroke over `keys` keys (after a few untimed ones).
double meanKeystrokeUs(const std::function<void(int)>& type, int keys)
{
    for (int i = 0; i < 5; ++i)
        type(i);
    probe::Stopwatch t;
    for (int i = 5; i < keys + 5; ++i)
        type(i);
    return t.us() / keys;
}

// ---- scenarios ----------------------------------------------------------------------------
// Each scenario with a floor runs one side: the editor, or with `floor` the bare widget, each
// in a process of its own (bench/run starts "<scenario>floor" for the second).

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
// it holds by the allocator's count), heap growth, CPU time, the mean, median and 99th
// percentile of a key; then Undo + Redo pairs.
void typing(bool floor)
{
    const QString page = benchpages::page(1 * MiB);
    constexpr int keys = 2000;
    if (floor) {
        // Each key an edit step of its own, so that the floor keeps what the history keeps
        // (2,000 steps) and its Undo takes back one key, as the history's does.
        Floor f(page);
        QTextDocument* doc = f.edit()->document();
        const int stepsBefore = doc->availableUndoSteps();
        const std::size_t heapBefore = probe::heapInUse();
        const double cpuBefore = probe::cpuSeconds();
        const std::vector<double> times = bare::timeKeys(typer(f.edit()), 0, keys);
        const double cpu = probe::cpuSeconds() - cpuBefore;
        const std::size_t heapAfter = probe::heapInUse();
        // The stack counts its commands (more than one a key), merged ones as one.
        expect(doc->availableUndoSteps() - stepsBefore >= keys,
               "floor typing: the keys were not recorded as separate steps");
        report("floor.heap_growth_2000_keys_1MiB",
               static_cast<long long>(heapAfter) - static_cast<long long>(heapBefore), "bytes");
        report("floor.typing_cpu_s_2000_keys_1MiB", cpu, "s", 3);
        report("floor.keystroke_us_1MiB", std::accumulate(times.begin(), times.end(), 0.0) / keys, "us");
        report("floor.undo_redo_us_1MiB",
               undoRedoPairUs([&] { f.edit()->undo(); }, [&] { f.edit()->redo(); },
                              [&] { return doc->characterCount(); }),
               "us");
        return;
    }
    long long heldAfterLoad = 0;
    {
        Document d(page);
        heldAfterLoad = heapHeldBy(d.doc()->history());
    }
    Document d(page);
    const std::size_t historyBefore = d.doc()->history().elementBytes();
    const int stepsBefore = d.doc()->history().undoCount();
    const int lengthBefore = d.edit()->textLength();
    const std::size_t heapBefore = probe::heapInUse();
    const double cpuBefore = probe::cpuSeconds();
    const std::vector<double> times = bare::timeKeys(typer(d.edit()), 0, keys);
    const double cpu = probe::cpuSeconds() - cpuBefore;
    const std::size_t heapAfter = probe::heapInUse();
    const std::size_t historyAfter = d.doc()->history().elementBytes();
    expect(d.doc()->history().undoCount() - stepsBefore == keys,
           "typing: not every keystroke was recorded in the history");
    expect(d.edit()->textLength() - lengthBefore == keys + entersIn(keys), "typing: not every key was typed");
    report("undo.history_bytes_2000_keys_1MiB",
           static_cast<long long>(historyAfter) - static_cast<long long>(historyBefore), "bytes");
    report("undo.heap_growth_2000_keys_1MiB",
           static_cast<long long>(heapAfter) - static_cast<long long>(heapBefore), "bytes");
    report("undo.typing_cpu_s_2000_keys_1MiB", cpu, "s", 3);
    report("undo.keystroke_us_1MiB", std::accumulate(times.begin(), times.end(), 0.0) / keys, "us");
    // The statistics the long line's keys are judged by.
    report("undo.keystroke_median_us_1MiB", median(times), "us");
    report("undo.keystroke_p99_us_1MiB", probe::percentile(times, 0.99), "us");

    // Every Undo here takes back one key: the history holds 2,000 separate steps.
    report("undo.undo_redo_us_1MiB",
           undoRedoPairUs([&] { d.doc()->Undo(); }, [&] { d.doc()->Redo(); }, [&] { return d.edit()->textLength(); }),
           "us");
    // Undo and Redo leave the lists as typing left them.
    expect(d.doc()->history().undoCount() - stepsBefore == keys && d.doc()->history().redoCount() == 0,
           "undo: the history lost or kept a step");
    report("undo.history_heap_growth_2000_keys_1MiB", heapHeldBy(d.doc()->history()) - heldAfterLoad, "bytes");
}

// Mean keystroke on a small and a large page.
void keystroke(bool floor)
{
    constexpr int keys = 1000;
    for (const auto& [size, name, floorName] :
         {std::tuple{4 * KiB, "undo.keystroke_us_4KiB", "floor.keystroke_us_4KiB"},
          std::tuple{4 * MiB, "undo.keystroke_us_4MiB", "floor.keystroke_us_4MiB"}}) {
        const QString page = benchpages::page(size);
        if (floor) {
            Floor f(page);
            const int stepsBefore = f.edit()->document()->availableUndoSteps();
            report(floorName, meanKeystrokeUs(typer(f.edit()), keys), "us");
            expect(f.edit()->document()->availableUndoSteps() - stepsBefore >= keys + 5,
                   "floor keystroke: the keys were not recorded as separate steps");
            continue;
        }
        Document d(page);
        const int stepsBefore = d.doc()->history().undoCount();
        report(name, meanKeystrokeUs(typer(d.edit()), keys), "us");
        expect(d.doc()->history().undoCount() - stepsBefore == keys + 5,
               "keystroke: not every keystroke was recorded in the history");
    }
}

// Format > Font Style > Bold around a 100-character selection, through the insertion engine;
// the floor makes the same edits straight on the widget.
void wrap(bool floor)
{
    const QString page = benchpages::page(1 * MiB);
    constexpr int runs = 50;
    constexpr int selection = 100;
    if (!floor) {
        const auto bold = *std::find_if(tags::menuWraps.begin(), tags::menuWraps.end(),
                                        [](const tags::WrapCommand& c) {
                                            return std::strcmp(c.menuItem, "mnuFSBold") == 0;
                                        });
        const Steps steps = tags::menuWrap(bold);
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
        return;
    }
    // Selection to the clipboard, red tag, the selection in black, red tag, black, Enter.
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

// Keystrokes into a 1 MiB page that is one single line, both sides the same keys: a run in
// the middle (mean), then single keystrokes at the start, in the middle and at the end of
// the line, each timed on its own (median and 99th percentile).
void longLine(bool floor)
{
    const QString page = benchpages::singleLine(1 * MiB);
    constexpr int runKeys = 20;
    constexpr int keysPerPlace = 20;
    const auto placesAndKeys = [](const std::function<void(int)>& type, const std::function<void(double)>& place) {
        std::vector<double> times;
        for (const double where : {0.0, 0.5, 1.0}) {
            place(where);
            settle();
            type(0);
            const std::vector<double> here = bare::timeKeys(type, 1, keysPerPlace);
            times.insert(times.end(), here.begin(), here.end());
        }
        return times;
    };
    if (floor) {
        {
            Floor f(page);
            report("floor.keystroke_us_1MiB_single_line", meanKeystrokeUs(typer(f.edit(), false), runKeys), "us");
        }
        Floor f(page);
        QPlainTextEdit* e = f.edit();
        const std::vector<double> times = placesAndKeys(typer(e, false), [e](double where) {
            QTextCursor c = e->textCursor();
            c.setPosition(static_cast<int>(where * (e->document()->characterCount() - 1)));
            e->setTextCursor(c);
        });
        expect(e->document()->characterCount() - 1 == page.size() + 3 * (keysPerPlace + 1),
               "floor longline: not every key reached the text");
        report("floor.longline_keystroke_us_1MiB", median(times), "us");
        report("floor.longline_keystroke_p99_us_1MiB", probe::percentile(times, 0.99), "us");
        return;
    }
    {
        Document d(page);
        const int stepsBefore = d.doc()->history().undoCount();
        report("insert.keystroke_us_1MiB_single_line", meanKeystrokeUs(typer(d.edit(), false), runKeys), "us");
        expect(d.doc()->history().undoCount() - stepsBefore == runKeys + 5,
               "longline: the keystrokes were not recorded in the history");
    }
    Document d(page);
    RichEdit* e = d.edit();
    expect(e->lineCount() == 1, "longline: the page is not one line");
    const std::vector<double> times =
        placesAndKeys(typer(e, false), [e](double where) { e->setSelStart(static_cast<int>(where * e->textLength())); });
    expect(e->textLength() == page.size() + 3 * (keysPerPlace + 1), "longline: not every key reached the text");
    report("longline.keystroke_us_1MiB", median(times), "us");
    report("longline.keystroke_p99_us_1MiB", probe::percentile(times, 0.99), "us");
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
// run takes a fresh page, since only the first Apply on a page writes the script. The floor
// makes the same insertions straight on the widget, each piece and each Enter an edit step
// of its own in the colour at the caret, as the editor's history and colours take them.
void dynamicAnimation(bool floor)
{
    const QString head = page::newPageTemplate();
    const QString page = head + benchpages::page(1 * MiB - head.size());
    constexpr int runs = 5;
    const dynanim::Values values{QStringLiteral("flyBottomRight"), QStringLiteral("picture.gif"),
                                 QStringLiteral("50"), QStringLiteral("50")};
    const int added = static_cast<int>(qstrlen(dynanim::onloadAttribute)) + dynanim::scriptLength() +
                      static_cast<int>(dynanim::element(values).size());
    const QStringList& pieces = dynanim::scriptPieces();
    std::vector<double> times;
    for (int i = 0; i < runs && !floor; ++i) {
        Document d(page);
        d.doc()->recordCaret();
        const int lengthBefore = d.edit()->textLength();
        const int stepsBefore = d.doc()->history().undoCount();
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
        expect(d.doc()->history().undoCount() - stepsBefore >= 2 * static_cast<int>(pieces.size()),
               "dynanim: the insertions were not recorded in the history");
    }

    // The widget counts a line break as one character: the program's offsets are mapped by
    // the breaks in front of them.
    const auto widgetPosition = [&page](int crlfPosition) {
        return crlfPosition - static_cast<int>(page.left(crlfPosition).count(QLatin1String("\r\n")));
    };
    const int widgetAdded = added - static_cast<int>(pieces.size()); // one character a break
    for (int i = 0; i < runs && floor; ++i) {
        Floor f(page);
        QPlainTextEdit* e = f.edit();
        QTextDocument* doc = e->document();
        const int caret = e->textCursor().position();
        const int lengthBefore = doc->characterCount();
        const int stepsBefore = doc->availableUndoSteps();
        // One edit step: `edit` on a cursor at the caret, in the colour there, written back.
        const auto step = [e](const std::function<void(QTextCursor&, const QTextCharFormat&)>& edit) {
            QTextCursor c = e->textCursor();
            QTextCharFormat colour = c.charFormat();
            colour.setForeground(colour.foreground().color());
            c.beginEditBlock();
            edit(c, colour);
            c.endEditBlock();
            e->setTextCursor(c);
        };
        probe::Stopwatch t;
        const int found = static_cast<int>(doc->toRawText().indexOf(QLatin1String(dynanim::marker), 0, Qt::CaseInsensitive));
        expect(found < 0, "dynanim floor: the fresh page counted as prepared");
        QTextCursor at = e->textCursor();
        at.setPosition(widgetPosition(dynanim::bodyAttributeOffset));
        e->setTextCursor(at);
        step([](QTextCursor& c, const QTextCharFormat& colour) {
            c.insertText(QString::fromLatin1(dynanim::onloadAttribute), colour);
        });
        at = e->textCursor();
        at.setPosition(widgetPosition(page::headEndOffset));
        e->setTextCursor(at);
        for (const QString& piece : pieces) {
            step([&piece](QTextCursor& c, const QTextCharFormat& colour) { c.insertText(piece, colour); });
            QTextCursor block(doc);
            block.beginEditBlock();
            platform::sendReturn(e);
            block.endEditBlock();
        }
        at = e->textCursor();
        at.setPosition(caret + static_cast<int>(qstrlen(dynanim::onloadAttribute)) + dynanim::scriptLength() -
                       static_cast<int>(pieces.size()));
        e->setTextCursor(at);
        step([&values](QTextCursor& c, const QTextCharFormat& colour) { c.insertText(dynanim::element(values), colour); });
        settle();
        times.push_back(t.ms());
        expect(doc->characterCount() - lengthBefore == widgetAdded, "dynanim floor: not everything was inserted");
        expect(doc->availableUndoSteps() - stepsBefore >= 2 * static_cast<int>(pieces.size()),
               "dynanim floor: the insertions were not recorded as separate steps");
    }
    report(floor ? "floor.dynanim_first_apply_ms_1MiB" : "insert.dynanim_first_apply_ms_1MiB", median(times), "ms", 2);
}

// ---- everyday editing ---------------------------------------------------------------------

// Find Next from the top of a 10 MiB page for a word standing 9 MiB into it; the floor is
// QTextDocument::find from the top, selecting what it finds. Then Replace All of 100,000
// five-letter words by seven-letter ones, history included, and its Undo.
void findAndReplace(bool floor)
{
    constexpr int runs = 5;
    const QString word = QStringLiteral("zebrafish");
    QString page = benchpages::page(10 * MiB);
    const qsizetype at = page.indexOf(QLatin1String("\r\n"), 9 * MiB) + 2;
    page.insert(at, word + QLatin1Char(' '));
    page.truncate(10 * MiB);
    const editing::SearchPattern pattern(word, {});
    if (!floor) {
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
    } else {
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
    if (!floor) {
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
    } else {
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

// Times what the application delivers to one widget and to its frame timer: the panel's
// refresh when the timer runs out, and its repaint. The timer is a member of the panel
// (no parent): it is told by its kind, a single-shot timer of one frame (16 ms), and a run
// without the panel checks that no other timer is taken for it.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    QObject* watched = nullptr;
    bool watchFrameTimers = false;
    double spentUs = 0;
    int frames = 0;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!watchFrameTimers || !(receiver == watched || isFrameTimer(receiver, event)))
            return QApplication::notify(receiver, event);
        const bool frame = receiver != watched;
        probe::WallStopwatch t;
        const bool handled = QApplication::notify(receiver, event);
        spentUs += t.ms() * 1000;
        frames += frame;
        return handled;
    }

private:
    static bool isFrameTimer(QObject* receiver, QEvent* event)
    {
        const auto* timer = event->type() == QEvent::Timer ? qobject_cast<QTimer*>(receiver) : nullptr;
        return timer && !timer->parent() && timer->isSingleShot() && timer->interval() == 16;
    }
};

// Caret moves (Right, then Left) in a 1 MiB page with the status-bar panel following the
// document window, against the same moves with no panel; rounds alternate, medians compared.
// Then the panel's own work while keys arrive as from the keyboard: posted to the editor at
// a fast key repeat (one every 4 ms) with the event loop running, so that its frame timer
// runs out as on a desktop. Its caret-moved handler is timed between two stamps connected
// around it on the editor's signal, its refreshes and repaints as they are delivered.
void caretPanel()
{
    const QString page = benchpages::page(1 * MiB);
    // The panel in a status bar under the document area, as in the main window.
    QMainWindow window;
    auto* area = new QMdiArea;
    window.setCentralWidget(area);
    window.resize(windowWidth + 40, windowHeight + 80);
    auto* doc = new frmDocument;
    QMdiSubWindow* sub = area->addSubWindow(doc);
    workspace::setActiveLookup([doc] { return doc; });
    window.show();
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
            auto panel = std::make_unique<editing::CaretPanel>(area);
            window.statusBar()->addPermanentWidget(panel.get());
            settle();
            with.push_back(moves());
            expect(panel->text().startsWith(QLatin1String("Ln ")), "caret: the panel shows no place");
        }
        without.push_back(moves());
    }
    report("status.caret_move_us_1MiB_with_panel", median(with), "us", 2);
    report("floor.caret_move_us_1MiB_no_panel", median(without), "us", 2);

    auto* app = static_cast<TimedApplication*>(qApp);
    RichEdit* edit = doc->editor();
    // `count` keys posted one every 4 ms, as a key repeat delivers them.
    const auto deliver = [edit](int count) {
        QEventLoop loop;
        QTimer pace;
        pace.setTimerType(Qt::PreciseTimer);
        pace.setInterval(4);
        int sent = 0;
        QObject::connect(&pace, &QTimer::timeout, &loop, [&] {
            if (sent == count) {
                loop.quit();
                return;
            }
            const int key = sent++ % 2 == 0 ? Qt::Key_Right : Qt::Key_Left;
            QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
            QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
        });
        pace.start();
        loop.exec();
    };
    app->watchFrameTimers = true;
    deliver(200);
    expect(app->frames == 0 && app->spentUs == 0, "caret: a frame timer other than the panel's was timed");
    constexpr int paced = 1500;
    double handlerUs = 0;
    {
        // The stamps' own cost (tens of nanoseconds a key) counts as the panel's.
        QObject stamps;
        probe::WallStopwatch stamp;
        QObject::connect(edit, &QPlainTextEdit::cursorPositionChanged, &stamps, [&] { stamp = probe::WallStopwatch(); });
        editing::CaretPanel panel(area);
        QObject::connect(edit, &QPlainTextEdit::cursorPositionChanged, &panel, [&] { handlerUs += stamp.ms() * 1000; });
        window.statusBar()->addPermanentWidget(&panel);
        settle();
        app->watched = &panel;
        app->spentUs = 0;
        const int before = edit->textCursor().position();
        deliver(paced + 1);
        // The last frame's refresh (a loaded machine may hold it up).
        for (probe::WallStopwatch waited; panel.text() != editing::CaretPanel::placeOf(edit) && waited.ms() < 2000;)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        expect(app->frames > 0 && panel.text() == editing::CaretPanel::placeOf(edit) && edit->textCursor().position() != before,
               "caret: the panel did not follow the keys");
        app->watched = nullptr;
    }
    app->watchFrameTimers = false;
    report("status.caret_panel_us_per_key_1MiB", (handlerUs + app->spentUs) / (paced + 1), "us", 2);
    report("status.caret_panel_us_per_frame_1MiB", app->spentUs / app->frames, "us", 1);
    report("status.caret_panel_frames_per_100_keys", 100.0 * app->frames / (paced + 1), "frames", 0);
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
        // The first jump lands on a place never shown: its colours and layouts are new.
        report(oneLine ? "highlight.go_to_matching_tag_first_ms_1MiB_one_line"
                       : "highlight.go_to_matching_tag_first_ms_1MiB",
               going.front(), "ms", 2);
    }
}

} // namespace

int main(int argc, char** argv)
{
    TimedApplication app(argc, argv);
    const std::pair<const char*, std::function<void()>> scenarios[] = {
        {"typing", [] { typing(false); }}, {"typingfloor", [] { typing(true); }},
        {"keystroke", [] { keystroke(false); }}, {"keystrokefloor", [] { keystroke(true); }},
        {"wrap", [] { wrap(false); }}, {"wrapfloor", [] { wrap(true); }},
        {"longline", [] { longLine(false); }}, {"longlinefloor", [] { longLine(true); }},
        {"load", [] { openBigPage(false); }}, {"loadfloor", loadFloor},
        {"dynanim", [] { dynamicAnimation(false); }}, {"dynanimfloor", [] { dynamicAnimation(true); }},
        {"find", [] { findAndReplace(false); }}, {"findfloor", [] { findAndReplace(true); }},
        {"caret", caretPanel}, {"gutter", gutter},
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
