#include "formatting/FormatDialogs.h"

#include "formatting/TagCommands.h"

namespace formatdialogs {

using namespace step;

Steps applyChoice(const TagChoice* chosen, const QString& typed, TypedText where)
{
    if (!chosen)
        return {CloseDialog{}};
    const bool first = where == TypedText::BeforeSelection;
    return {FocusEditor{},
            CaptureSelection{},
            InsertPiece{QString::fromLatin1(chosen->opening), colours::red},
            InsertCapturedJoined{first ? typed : QString(), first ? QString() : typed, colours::black},
            InsertPiece{QString::fromLatin1(chosen->closing), colours::red},
            SetColour{colours::black},
            NewLine{},
            RecordCaret{},
            CloseDialog{}};
}

Steps applyHeading(const TagChoice* chosen, const QString& typed)
{
    return applyChoice(chosen, typed, TypedText::BeforeSelection);
}

Steps applyStyle(const TagChoice* chosen, const QString& typed)
{
    return applyChoice(chosen, typed, TypedText::AfterSelection);
}

Steps paletteParagraph()
{
    Steps steps = tags::paragraph();
    steps.push_back(CloseDialog{});
    return steps;
}

Steps paletteCancel() { return {CloseDialog{}, FocusEditor{}}; }

} // namespace formatdialogs
