#pragma once

#include "document/Steps.h"

#include <array>

// The heading and font-style dialogs and the Format palette: what each of their buttons
// writes into the active document.
namespace formatdialogs {

// One option of a tag-choice dialog: the label beside its option button and its tag pair.
struct TagChoice {
    const char* label;
    const char* opening;
    const char* closing;
};

inline constexpr std::array<TagChoice, 6> headingChoices{{
    {"Size 1 (Largest)", "<H1>", "</H1>"},
    {"Size 2", "<H2>", "</H2>"},
    {"Size 3", "<H3>", "</H3>"},
    {"Size 4", "<H4>", "</H4>"},
    {"Size 5", "<H5>", "</H5>"},
    {"Size 6 (Smallest)", "<H6>", "</H6>"},
}};

inline constexpr std::array<TagChoice, 7> styleChoices{{
    {"Bold", "<STRONG>", "</STRONG>"},
    {"Italic", "<I>", "</I>"},
    {"UnderLine", "<U>", "</U>"},
    {"StrikeThrough", "<STRIKE>", "</STRIKE>"},
    {"SuperScript", "<SUP>", "</SUP>"},
    {"SubScript", "<SUB>", "</SUB>"},
    {"Teletype", "<TT>", "</TT>"},
}};

// Where the text typed into the dialog goes relative to the captured selection.
enum class TypedText { BeforeSelection, AfterSelection };

// Apply of a tag-choice dialog: focus, capture the selection, opening tag in red, the typed
// text and the selection joined into one black piece, closing tag in red, black again,
// Enter, record the caret, unload. With no option chosen (nullptr) it only unloads.
Steps applyChoice(const TagChoice* chosen, const QString& typed, TypedText where);

// The headings dialog puts the typed text first, the font-style dialog after the selection.
Steps applyHeading(const TagChoice* chosen, const QString& typed);
Steps applyStyle(const TagChoice* chosen, const QString& typed);

// The palette's Paragraph button: "<P>" as Format > Paragraph writes it, then unload.
Steps paletteParagraph();
// The palette's Cancel: unload, then give the editor the focus (the saved caret stays).
Steps paletteCancel();

} // namespace formatdialogs
