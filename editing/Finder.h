#pragma once

#include "editing/SearchPattern.h"

#include <QList>
#include <QTextEdit>

class QTextCharFormat;
class RichEdit;
class frmDocument;

// Find and replace on a document window's text. Matches lie inside one line; positions are
// the editor's own (a line break counts one) except where the document model's are asked for.
namespace editing {

enum class Direction { Forward, Backward };
enum class Outcome { Found, Wrapped, NotFound };

// The next match after the selection (backward: the last one before it), wrapping once past
// the end (the start); selects it and scrolls it into view. Nothing moves when none is found.
Outcome find(RichEdit& edit, const SearchPattern& pattern, Direction direction);

// Replaces the selection when it is exactly a match, in the look of the text it replaces,
// as one undo step, and leaves the caret after the replacement. Returns whether it did.
bool replaceSelection(frmDocument& doc, const SearchPattern& pattern, const QString& with);

// Replaces every match of the page as one change and one undo step; returns their number.
int replaceAll(frmDocument& doc, const SearchPattern& pattern, const QString& with);

// The matches in the part of the text the editor shows, at most `limit` of them, as extra
// selections in the given look (they do not touch the text's own colours).
QList<QTextEdit::ExtraSelection> visibleMatches(RichEdit& edit, const SearchPattern& pattern,
                                                const QTextCharFormat& look, int limit);

} // namespace editing
