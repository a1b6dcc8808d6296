#pragma once

#include "markup/Tags.h"

#include <QString>

// Closing tags as the user types: which end tag a "</" or the ">" of a start tag calls for.
// Pure: it reads the page through a PageView.
namespace editing {

// The text of the page from `from` to `to` (a line break between pieces counts as "\n").
QString pageText(const markup::PageView& page, int from, int to);

// Just after "</" was typed (the "<" at `position`): the name of the innermost element open
// there, whose end tag the user is starting; empty when there is none, or when the "</" is
// inside a comment, a string, an attribute value or another place that holds no tags.
QString elementToClose(const markup::PageView& page, int position);

// Just after the ">" of a tag was typed (`position` is past it): the name of the element it
// opens when it wants its end tag written after the caret; empty for an end tag, a void
// element, self-closing syntax, a ">" inside script, style, a comment or an attribute value,
// and when `following` (the text after the caret) already starts with that end tag.
QString endTagWanted(const markup::PageView& page, int position, QStringView following);

} // namespace editing
