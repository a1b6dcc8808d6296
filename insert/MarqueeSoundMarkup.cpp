#include "insert/MarqueeSoundMarkup.h"

using namespace step;

namespace marquee {

Steps marquee(const QString& text)
{
    return {FocusEditor{},
            InsertPiece{QStringLiteral("<Marquee>"), teal},
            InsertPiece{text, colours::black},
            InsertPiece{QStringLiteral("</Marquee>"), teal},
            SetColour{colours::black},
            NewLine{},
            RecordCaret{},
            CloseDialog{},
            FocusEditor{}};
}

} // namespace marquee

namespace bgsound {

Steps backgroundSound(const QString& file, const QString& loops)
{
    return {FocusEditor{},
            ActivateDocument{},
            InsertPiece{QStringLiteral("<bgsound src = \""), dullRed},
            InsertPiece{file, colours::black},
            // The closing quote, the space and the loop attribute go in as one insertion.
            InsertPiece{QStringLiteral("\"") + QStringLiteral(" ") + QStringLiteral("loop=\""), dullRed},
            InsertPiece{loops, colours::black},
            InsertPiece{QStringLiteral("\" > "), dullRed},
            SetColour{colours::black},
            NewLine{},
            RecordCaret{},
            CloseDialog{}};
}

} // namespace bgsound
