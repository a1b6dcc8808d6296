#pragma once

#include "document/Steps.h"

#include <QStringList>
#include <array>

// Dynamic animation: an image in a paragraph that flies into place when the page loads. The
// page gets, once, an animation script after "<HEAD>" and an onload attribute in the BODY tag
// that starts it; every Apply puts one animated element at the caret.
namespace dynanim {

struct Effect {
    const char* option; // the option button's name
    const char* label;  // its caption
    const char* name;   // the effect name written into the element
};

// By option button, Option1 to Option7. "Swirl" writes "Spiral", which the script does not
// know by that spelling: such an element takes the script's default start position.
inline constexpr std::array<Effect, 7> effects{{
    {"Option1", "Bottom Right", "flyBottomRight"},
    {"Option2", "Bottom Left", "flyBottomLeft"},
    {"Option3", "Top Right", "flyTopRight"},
    {"Option4", "Top Left", "flyTopLeft"},
    {"Option5", "Bottom", "flyBottom"},
    {"Option6", "Top", "flyTop"},
    {"Option7", "Swirl", "Spiral"},
}};

// The text whose presence (a whole word, any case) marks a page as already prepared.
inline constexpr char marker[] = "dynamicanimation=";
// The attribute that makes the page's BODY call the script when it loads.
inline constexpr char onloadAttribute[] = "onload=\"dynAnimation()\" ";
// Where that attribute goes: just after "<BODY " of the template's body tag, which a page
// transition tag (of length L) has moved on by L.
inline constexpr int bodyAttributeOffset = 46;

// The animation script, one piece per line (243 of them), as kept in the resources.
const QStringList& scriptPieces();
// Its length in the document: every piece followed by a line break (two characters).
int scriptLength();

struct Values {
    QString effect; // effect name, e.g. "flyBottomRight"
    QString image;  // image file name
    QString width;  // pixels, as the width box shows it
    QString height; // pixels, as the height box shows it
};

// The animated paragraph holding the image, one piece.
QString element(const Values& v);

// What Apply reads from the active document and the workspace before it writes.
struct Page {
    int savedCaret = 0;
    int textLength = 0;           // line breaks counting two
    int markerAt = -1;            // where the marker was found, -1 when the page has none
    int transitionTagLength = 0;  // the last page-transition tag's length (0 when none)
};

// The whole Apply, no insertion colour set anywhere. An unprepared page first gets the
// attribute at 46 + L and the script at 14 (one Enter after each piece); the element then
// goes in at the saved caret, moved on by what went in at or before it, and the caret after
// the element is recorded. The dialog unloads and the editor gets the focus.
Steps dynamicAnimation(const Values& v, const Page& page);

} // namespace dynanim
