#pragma once

#include <QFont>

class QMdiArea;
class RichEdit;

// How every document window draws its page: the colours of the markup, the caret's line, the
// zoom and the fixed-width font. All of it is display only: the stored text, its colours and
// fonts, the history, the modified flag, the clipboard, the RTF and every saved byte are the
// same whatever is chosen. The choices hold for all windows and are remembered.
namespace editing {

struct DisplayOptions {
    bool colourMarkup = true;
    bool caretLine = true;
    bool fixedWidth = false;
    int zoom = 100; // per cent of the page's own size
};
const DisplayOptions& displayOptions();

inline constexpr int minimumZoom = 50;
inline constexpr int maximumZoom = 400;
// The zoom `steps` steps in (positive) or out (negative) from `percent`, along the usual
// ladder (50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400) and within it.
int zoomAfter(int percent, int steps);

// The font the page is drawn in: the page's own font (or the system's fixed-width font at its
// size), scaled by the zoom.
QFont displayFont(const QFont& pageFont, const DisplayOptions& options);

// Gives one editor the display as chosen (a new window as it comes up).
void applyDisplay(RichEdit* edit);
// Reads the choices from the settings store and shows them through the View menu's check
// marks (items found by object name in the area's window); every document window of `area`
// follows.
void installDisplay(QMdiArea* area);

void toggleColourMarkup();
void toggleCaretLine();
void toggleFixedWidth();
void zoomIn();
void zoomOut();
void actualSize();
void zoomBy(int steps);

// Edit > Go to Matching Tag and Select Element on the active document (a notice in the status
// bar when there is nothing to go to or select).
void goToMatchingTagCommand();
void selectElementCommand();

} // namespace editing
