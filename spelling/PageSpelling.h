#pragma once

#include <QString>
#include <QStringList>

class QMdiArea;
class RichEdit;

// Misspelt words drawn in the page: a red wavy underline on each word a visitor reads that
// its language's dictionary does not know. Display only (extra selections): the stored text,
// its colours, the history, the modified flag, the clipboard and every saved byte are the
// same with the underlines on or off.
//
// Checking runs on a worker thread. Each editor's layer sends it copies of the lines an edit
// changed (the whole page when the layer starts); the worker keeps its own copy of the page
// with the scan's context at every line, scans the changed lines again until the context
// after them is what it was, and checks the words it found, those in view first. The
// interface takes only the copies of changed lines and the answers; typing never waits.
namespace spelling {

// Whether checking is chosen (View > Check Spelling).
bool checkingOn();
// Gives one editor its layer as chosen (a new window as it comes up).
void applySpelling(RichEdit* edit);
// Reads the choice from the settings store (on by default when a dictionary is installed)
// and shows it as the menu item's check mark; every document window of `area` follows.
void installSpelling(QMdiArea* area);
void toggleSpelling();

// The page's own language, which words outside any lang attribute are checked in before the
// system's locale: a dictionary name ("de_DE"), or "" for none chosen. Kept with the page's
// window for the session; the page's context menu offers the installed dictionaries.
QString pageLanguage(const RichEdit* edit);
void setPageLanguage(RichEdit* edit, const QString& language);

// Edit > Next / Previous Misspelling on the active document: selects the next underlined word
// after (before) the caret, wrapping round; a notice when there is none.
void nextMisspellingCommand();
void previousMisspellingCommand();

// For tests and benchmarks: whether the editor's layer has its answers for everything sent,
// and the underlined words of the page as they stand (widget positions).
bool isSettled(const RichEdit* edit);
// The most interface-thread time one turn of the editor's layer has taken (ms of CPU time).
double longestTurnMs(const RichEdit* edit);
struct Underline {
    int start = 0;
    int end = 0;
    QString word;
};
QList<Underline> underlines(const RichEdit* edit);
// What the context menu offers on the word at a widget position: up to 8 suggestions.
QStringList suggestionsAt(const RichEdit* edit, int position);
// Replaces the misspelt word at `position` by `replacement` as one change.
bool replaceWordAt(RichEdit* edit, int position, const QString& replacement);

} // namespace spelling
