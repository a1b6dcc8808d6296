#pragma once

#include <QStringView>
#include <cstdint>
#include <vector>

// The HTML lexer of the page source, with the CSS of <style> and style="" and the JavaScript of
// <script> and on...="" inside it. Pure: no widgets, no document; it reads text and says what
// each stretch of it is.
//
// It works one piece at a time (a line, or one display block of a long line) and hands back the
// state at the piece's end; lexing the next piece from that state gives the same tokens as
// lexing both pieces as one. A piece boundary may fall anywhere, even inside a tag name or
// "</script". So an edit need only be lexed again from its piece until the state at a piece's
// end is the same as before.
namespace markup {

enum class Token : std::uint8_t {
    Text,          // words between tags, and anything the lexer does not colour
    TagDelimiter,  // < > </ /> of a tag
    TagName,
    AttributeName,
    AttributeValue,  // with its quotes
    Comment,         // <!-- ... -->, and bogus comments such as <? ... >
    Doctype,
    CharacterReference,  // &amp; &#233; &#x00E9;
    CData,               // <![CDATA[ ... ]]>
    CssSelector,
    CssProperty,
    CssValue,
    CssComment,
    CssString,
    JsKeyword,
    JsString,  // '...', "...", `...`, and regular expression literals
    JsNumber,
    JsComment,
    JsText,  // other script: names, operators, punctuation
};

struct Span {
    int start = 0;  // in the piece
    int length = 0;
    Token kind = Token::Text;
};

// The lexer's state between pieces, packed so that it fits a text block's user state: never
// negative. 0 is the start of a page.
using State = int;
constexpr State startState = 0;

// Lexes `piece` starting in state `in`; appends its spans to `out` (in order, not overlapping,
// Text spans may be left out) and returns the state at its end. `pieceEndsLine` says whether
// a line break follows the piece (false for a display block continued by the next one), for
// the few tokens a line break ends (JavaScript // comments, unterminated strings).
State lex(QStringView piece, State in, bool pieceEndsLine, std::vector<Span>& out);

// How far past a piece's end the lexer may read to decide a token that starts in the piece
// (a reference, a keyword, "</script", "<!--"): a piece continued by the next one is lexed
// exactly as in one piece with the line when `following` holds at least this many characters
// of the line after it, or all the rest of the line when that is shorter.
constexpr int lookahead = 40;

// As above, with the text that follows the piece on its line (ignored when `pieceEndsLine`).
// The overload without it lexes a continued piece as if its line ended there: a token cut by
// the piece's end may be coloured differently than in one piece (the states agree all the
// same only when no such token is cut).
State lex(QStringView piece, State in, bool pieceEndsLine, std::vector<Span>& out,
          QStringView following);

// Whether a state lies inside a tag, between its "<" and its ">".
bool insideTag(State state);

} // namespace markup
