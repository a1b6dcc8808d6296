#pragma once

#include "effects/Producer.h"
#include "effects/ScriptLines.h"

#include <span>

// The small JavaScript and DHTML effects: BackTrack View, the gradient horizontal rule and
// the shadowed heading.
namespace dhtml {

// BackTrack View: where the visitor came from and which browser they use, in the colour
// that one of the dialog's options names.
inline constexpr Rgb backTrackColour = colours::buttonViolet;
struct ColourOption {
    const char* label;
    const char* word;
};
inline constexpr ColourOption backTrackOptions[] = {
    {"Black Font", "Black"}, {"White Font", "White"}, {"Red Font", "Red"}, {"Blue Font", "Blue"}};

// A leading Enter puts the script on a line of its own; the colour word (empty when no
// option is chosen) goes into the font tag of the written line. Unloads, focuses the editor
// and records the caret.
Steps backTrackView(const QString& colourWord);
// The dialog's Cancel: unload and focus the editor; the caret is not recorded.
Steps backTrackCancel();

// The gradient rule: a one-row table of ten cells shading from bright to dark blue. The menu
// and the Dynamic HTML palette write the same text; the palette then unloads itself.
std::span<const effects::ScriptLine> gradientLines();
Steps gradientRule(effects::Producer producer);

// The shadowed heading: the text twice, a grey copy and a blue one drawn over it two pixels
// right and 48 up, optionally centred. One piece.
QString shadowedHeadingPiece(const QString& text, bool centred);
Steps shadowedHeading(const QString& text, bool centred);

} // namespace dhtml
