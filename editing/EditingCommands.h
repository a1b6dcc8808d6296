#pragma once

#include "editing/SearchPattern.h"

class QAction;
class QMdiArea;
class QStatusBar;
class RichEdit;
class frmDocument;

// Everyday editing: find and replace, go to line, select all, the caret's place in the status
// bar and line numbers beside the text. Every command works on the active document and does
// nothing without one.
namespace editing {

// Sets the part up in a main window: its dialogs, the caret panel in the status bar (left of
// the lock-key panels), and the line numbers as the settings store remembers them, shown
// through the given menu item's check mark.
void install(QMdiArea* area, QStatusBar* bar, QAction* lineNumbersItem);

void showFind();
void showReplace();
void findNext();
void findPrevious();
void showGoToLine();
void selectAll();
void toggleLineNumbers();
bool lineNumbersShown();

// What was searched for last, shared by the dialog and Find Next / Previous.
struct SearchState {
    QString text;
    QString replaceWith;
    SearchOptions options;
    SearchPattern pattern() const { return SearchPattern(text, options); }
};
SearchState& searchState();

// A short notice in the status bar ("Search wrapped").
void notify(const QString& text);

// The document area whose active document the dialogs follow (nullptr before install).
QMdiArea* documentArea();
RichEdit* activeEditor();

} // namespace editing
