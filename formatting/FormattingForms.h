#pragma once

// The formatting dialogs and the Format palette, registered with Forms by name.
namespace formatting {

void registerForms();

// The toolbar's Format button: loads the heading and font-style dialogs (hidden) and lets
// their text boxes take typed text only when nothing is selected in the active document,
// then shows the palette.
void openFormatPalette();

} // namespace formatting
