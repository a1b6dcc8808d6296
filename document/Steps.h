#pragma once

#include <QString>
#include <optional>
#include <variant>
#include <vector>

// The vocabulary in which every generator describes what it writes into the active
// document. A generator is a pure function returning Steps; the Inserter carries them out.
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace colours {
inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb red{255, 0, 0};
inline constexpr Rgb blue{0, 0, 255};
inline constexpr Rgb paragraph{155, 150, 50};
inline constexpr Rgb cyan{0, 255, 255};
inline constexpr Rgb mailPurple{100, 0, 190};
inline constexpr Rgb buttonViolet{100, 20, 150};
inline constexpr Rgb tableGrey{130, 130, 130};
inline constexpr Rgb webBotGreen{0, 200, 0};
} // namespace colours

namespace step {
struct ActivateDocument { friend bool operator==(const ActivateDocument&, const ActivateDocument&) = default; };
struct FocusEditor { friend bool operator==(const FocusEditor&, const FocusEditor&) = default; };
// Clear the clipboard and put the selected text on it.
struct CaptureSelection { friend bool operator==(const CaptureSelection&, const CaptureSelection&) = default; };
// Set the insertion colour (unless none is given) and replace the selection with the text.
struct InsertPiece {
    QString text;
    std::optional<Rgb> colour;
    friend bool operator==(const InsertPiece&, const InsertPiece&) = default;
};
// Set the insertion colour and put the clipboard's text in place of the selection.
struct InsertCaptured {
    Rgb colour;
    friend bool operator==(const InsertCaptured&, const InsertCaptured&) = default;
};
// Set the insertion colour and put one piece in place of the selection: the clipboard's text
// with typed text joined before and/or after it.
struct InsertCapturedJoined {
    QString before;
    QString after;
    Rgb colour;
    friend bool operator==(const InsertCapturedJoined&, const InsertCapturedJoined&) = default;
};
struct SetColour {
    Rgb colour;
    friend bool operator==(const SetColour&, const SetColour&) = default;
};
// One Enter keystroke, handled before the next step runs.
struct NewLine { friend bool operator==(const NewLine&, const NewLine&) = default; };
// Store the caret as the document's saved caret position.
struct RecordCaret { friend bool operator==(const RecordCaret&, const RecordCaret&) = default; };
// Put the caret at a position (line breaks count two) with nothing selected.
struct MoveCaret {
    int position = 0;
    friend bool operator==(const MoveCaret&, const MoveCaret&) = default;
};
// Select `length` characters from `start` (line breaks count two).
struct Select {
    int start = 0;
    int length = 0;
    friend bool operator==(const Select&, const Select&) = default;
};
// The dialog that runs the steps unloads itself here. Not a document step: it runs even
// with no document open.
struct CloseDialog { friend bool operator==(const CloseDialog&, const CloseDialog&) = default; };
} // namespace step

using Step = std::variant<step::ActivateDocument, step::FocusEditor, step::CaptureSelection,
                          step::InsertPiece, step::InsertCaptured, step::InsertCapturedJoined,
                          step::SetColour, step::NewLine, step::RecordCaret, step::MoveCaret,
                          step::Select, step::CloseDialog>;
using Steps = std::vector<Step>;
