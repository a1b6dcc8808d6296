#pragma once

#include "document/Steps.h"

#include <array>

// The font-size and font-colour dialogs: FONT elements around a selection the dialog saved
// itself (the clipboard is left alone).
namespace fontmarkup {

// The colour of the FONT tags; the wrapped text is black.
inline constexpr Rgb fontBrown{165, 115, 30};

// One option: the label beside its option button and the literal it stands for.
struct Choice {
    const char* label;
    const char* literal;
};

// frmFontSize Option1..Option6: each opening literal ends with one space.
inline constexpr std::array<Choice, 6> sizeChoices{{
    {"+1", "<FONT SIZE=+1 "},
    {"+2", "<FONT SIZE=+2 "},
    {"+3", "<FONT SIZE=+3 "},
    {"+4", "<FONT SIZE=+4 "},
    {"+5", "<FONT SIZE=+5 "},
    {"+6", "<FONT SIZE=+6 "},
}};

// frmFontSize Option7..Option12, the colour keyword after the size.
inline constexpr std::array<Choice, 6> sizeColourChoices{{
    {"Black", "COLOR=BLACK"},
    {"Blue", "COLOR=BLUE"},
    {"Green", "COLOR=GREEN"},
    {"Red", "COLOR=RED"},
    {"Yellow", "COLOR=YELLOW"},
    {"White", "COLOR=WHITE"},
}};

// frmFColor Option1..Option6, whole opening tags.
inline constexpr std::array<Choice, 6> colourChoices{{
    {"Black", "<FONT COLOR=BLACK>"},
    {"Blue", "<FONT COLOR=BLUE>"},
    {"Green", "<FONT COLOR=GREEN>"},
    {"Red", "<FONT COLOR=RED>"},
    {"Yellow", "<FONT COLOR=YELLOW>"},
    {"White", "<FONT COLOR=WHITE>"},
}};

inline const QString closingFont = QStringLiteral("</FONT>");

// Apply of frmFontSize: focus, record the caret, then (with a size chosen) the size literal,
// the colour keyword (empty when none is chosen) and ">" as one brown piece, the saved
// selection in black, "</FONT>" in brown, black again, Enter, record the caret, unload.
// With no size chosen nothing is inserted and the dialog stays open.
Steps applyFontSize(const Choice* size, const Choice* colour, const QString& savedSelection);

// Apply of frmFColor: focus, then (with a colour chosen) the opening tag in brown, the saved
// selection in black, "</FONT>" in brown, black again, Enter, record the caret, unload.
// With no colour chosen only the focus moves: the dialog stays open.
Steps applyFontColour(const Choice* colour, const QString& savedSelection);

// Cancel of both dialogs: unload and record the caret; the focus is not moved.
Steps cancelFontDialog();

} // namespace fontmarkup
