#pragma once

#include <QList>
#include <QTextEdit>

class QPlainTextEdit;

// The marks drawn over a page's text as extra selections (backgrounds, underlines) come from
// several layers at once: the caret's line, the matching tag, the findings, the search
// matches. Each layer sets its own list; the editor shows them all, later layers over earlier.
// Marks that only underline with a wave are drawn over the text by the layers themselves (in
// a document window's editor), the others by the editor as extra selections.
namespace editing {

enum class Layer { CaretLine, MatchingTag, Findings, Spelling, SearchMatches, Count };

void setLayer(QPlainTextEdit* edit, Layer layer, QList<QTextEdit::ExtraSelection> selections);
const QList<QTextEdit::ExtraSelection>& layer(const QPlainTextEdit* edit, Layer layer);

} // namespace editing
