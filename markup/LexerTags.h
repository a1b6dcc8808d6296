#pragma once

#include "markup/Lexer.h"

// For the tag matching only: lexes a piece from its state as lex() does, but passes over what
// cannot hold a tag (the script and style inside tags and elements, references) and gives
// only the TagDelimiter and TagName spans, the same ones lex() gives. Much faster when only
// tags matter. It returns no state: the next piece starts from its own stored one.
namespace markup {

void lexTags(QStringView piece, State in, bool pieceEndsLine, std::vector<Span>& out,
             QStringView following = {});

} // namespace markup
