#pragma once

#include <functional>
#include <vector>

class QPlainTextEdit;
class QString;
class QWidget;

// The floor of the benchmarks: a stock QPlainTextEdit set up as the document window sets up
// its editor, so that what the comparison measures is the editor and nothing else; and the
// keystrokes both sides are typed with.
namespace bare {

inline constexpr int windowWidth = 900;
inline constexpr int windowHeight = 650;

// The document window's font, tab stops and editor size, on a bare widget.
void styleLikeDocument(QPlainTextEdit* edit);

// A styled widget shown with `page`, laid out and dropped: takes the one-time costs (fonts,
// first layout) out of what follows, as the small untimed load does on the document side.
void warmUp(const QString& page);

// The caret at the middle of the text, by the widget's own count, so that both editors type
// into the same line of the same page.
void placeCaretMidway(QPlainTextEdit* edit);

// Key n of a run of typing: five-letter words and spaces, and Enter after every 72nd key, so
// that lines stay of page width (typing 2,000 letters into one line would time the shaping
// of an ever longer line rather than the editor). `enter` false: letters and spaces only.
int keyAt(int n, bool enter = true);

// How many Enters keys [0, keys) hold, each adding a line break (two characters).
int entersIn(int keys);

// One keystroke: press and release, delivered synchronously, then the events it posted
// (repaint, scrolling) are handled, as they would be before the next key.
void typeKey(QWidget* target, int n, bool enter = true);

// The same keystroke on a bare widget as an edit step of its own. The widget's undo stack
// merges a typed run into one command; the editor's history keeps each key a step of its own
// (its Undo takes back one key), so the floor does that work too.
void typeKeyAsStep(QPlainTextEdit* edit, int n, bool enter = true);

// CPU microseconds of each of keys [first, first + count), typed one at a time by `type`.
std::vector<double> timeKeys(const std::function<void(int)>& type, int first, int count);

} // namespace bare
