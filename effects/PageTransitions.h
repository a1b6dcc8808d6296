#pragma once

#include "document/Steps.h"

#include <array>

// Page-entry transitions: one meta tag with the revealTrans filter, written just after
// "<HEAD>" of the new-page template.
namespace transitions {

struct Choice {
    const char* option; // the option button's name
    const char* label;  // the caption beside it
    int transition;     // the filter's transition number
};

// In the order of the option buttons: Option1 to Option5 the left column, Option6 to
// Option10 the right one.
inline constexpr std::array<Choice, 10> choices{{
    {"Option1", "Vertical Load", 8},
    {"Option2", "Circle Load", 2},
    {"Option3", "Wipe Down Load", 5},
    {"Option4", "Checkerboard Load", 11},
    {"Option5", "Random Vertical Load", 22},
    {"Option6", "Dissolve Load", 12},
    {"Option7", "Strips Load", 19},
    {"Option8", "Wipe Right Load", 6},
    {"Option9", "Boxed In Load", 0},
    {"Option10", "Random Load", 23},
}};

// The meta tag for a transition number; the duration is always one second.
QString tag(int transition);

// What Apply reads from the active document before it writes.
struct Page {
    int savedCaret = 0; // where the caret was last recorded
    int textLength = 0; // line breaks counting two
};

// The tag goes in at offset 14 in the colour in force there, with no Enter after it, in front
// of any tag an earlier Apply wrote. The caret returns to the saved position, moved on by the
// tag when the tag went in at or before it, and is recorded; the dialog unloads.
Steps pageTransition(const QString& tag, const Page& page);

} // namespace transitions
