#include "formatting/FontMarkup.h"

namespace fontmarkup {

using namespace step;

namespace {

// The FONT element around the saved selection, then the common ending of both dialogs.
void appendWrap(Steps& steps, const QString& opening, const QString& savedSelection)
{
    steps.insert(steps.end(), {InsertPiece{opening, fontBrown},
                               InsertPiece{savedSelection, colours::black},
                               InsertPiece{closingFont, fontBrown},
                               SetColour{colours::black},
                               NewLine{},
                               RecordCaret{},
                               CloseDialog{}});
}

} // namespace

Steps applyFontSize(const Choice* size, const Choice* colour, const QString& savedSelection)
{
    Steps steps{FocusEditor{}, RecordCaret{}};
    if (!size)
        return steps;
    const QString keyword = colour ? QLatin1String(colour->literal) : QString();
    appendWrap(steps, QLatin1String(size->literal) + keyword + QLatin1Char('>'), savedSelection);
    return steps;
}

Steps applyFontColour(const Choice* colour, const QString& savedSelection)
{
    Steps steps{FocusEditor{}};
    if (colour)
        appendWrap(steps, QLatin1String(colour->literal), savedSelection);
    return steps;
}

Steps cancelFontDialog() { return {CloseDialog{}, RecordCaret{}}; }

} // namespace fontmarkup
