#pragma once

class QPlainTextEdit;
class QString;

// The floor of the benchmarks: a stock QPlainTextEdit set up as the document window sets up
// its editor, so that what the comparison measures is the editor and nothing else.
namespace bare {

inline constexpr int windowWidth = 900;
inline constexpr int windowHeight = 650;

// The document window's font, tab stops and editor size, on a bare widget.
void styleLikeDocument(QPlainTextEdit* edit);

// A styled widget shown with `page`, laid out and dropped: takes the one-time costs (fonts,
// first layout) out of what follows, as the small untimed load does on the document side.
void warmUp(const QString& page);

} // namespace bare
