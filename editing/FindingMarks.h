#pragma once

#include <QColor>
#include <QString>
#include <vector>

class RichEdit;

// The markup check's findings drawn in the page: a wavy underline on each finding's range
// (errors red, warnings amber, accessibility findings in their own colour), a marker beside
// its line in the narrow marker margin, and its message as the tooltip. Display only: the
// stored text, its colours, the history and the modified flag never change.
namespace editing {

struct PageFinding {
    enum class Kind { Error, Warning, Accessibility };
    Kind kind = Kind::Warning;
    int start = 0;   // the widget's own position (one character per line break)
    int length = 0;  // 0: the mark covers the character at start (or the line end)
    QString message;
};

// Replaces the findings shown in `edit` (an empty list takes them away). The marks follow
// later edits of the text until the next call.
void showFindings(RichEdit* edit, std::vector<PageFinding> findings);

// Moves the caret of `edit` to the start of the next (or previous) finding after (before) the
// caret, wrapping round; returns false when the page has none.
bool goToFinding(RichEdit* edit, bool backwards);

// The findings shown in `edit` now, ordered by start, their places moved with the edits since.
const std::vector<PageFinding>& findingsIn(const RichEdit* edit);
// The findings that start in [from, to) (widget positions), in order.
std::vector<const PageFinding*> findingsStartingIn(const RichEdit* edit, int from, int to);
// The colour of a finding's kind (underline and marker).
QColor findingColour(PageFinding::Kind kind);

} // namespace editing
