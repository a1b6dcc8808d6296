#pragma once

#include "document/Steps.h"

#include <QString>
#include <utility>

// The page colours written into a new page: a body tag with the background, text, link and
// visited-link colours as hexadecimal values, in place of the template's plain "<BODY>".
namespace pagecolours {

struct Colours {
    Rgb background{255, 255, 255};
    Rgb text{0, 0, 0};
    Rgb link{255, 0, 0};
    Rgb visited{0, 0, 255};
};

// One colour component as exactly two upper-case hexadecimal digits (10 gives "0A").
QString hexComponent(int value);

// The body tag in the two halves in which it is assembled (up to the text colour, then the
// link colours). When background, text and link are all black, the page gets the starting
// colours instead: white background, red links, blue visited links (text stays black).
std::pair<QString, QString> bodyTagHalves(const Colours& colours);
QString bodyTag(const Colours& colours);

// Where the template's "<BODY>" stands, and where the caret goes afterwards: two characters
// into the line after the new body tag (40 + 75 + 3 + 2 + 2).
inline constexpr int bodyOffset = 40;
inline constexpr int bodyLength = 6;
inline constexpr int caretAfter = 122;

// Replaces "<BODY>" by three spaces, puts the tag in front of them in the colour in force,
// moves the caret, unloads the picker, focuses the editor and records the caret.
Steps applySteps(const QString& tag);

} // namespace pagecolours
