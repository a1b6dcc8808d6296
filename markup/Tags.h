#pragma once

#include "markup/Lexer.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// Matching tags of the page source: the tag at a position and its partner, and the element
// around a selection, after the HTML rules (void elements, end tags that may be left out).
// Pure: it reads the page through PageView and lexes the pieces it needs.
namespace markup {

// A read-only view of the page, piece by piece (text blocks of the editor: lines, or display
// blocks of a long line). Positions are the editor's own: a line break counts as one
// character between a piece that ends a line and the next; a continued piece has no break
// character between it and the next. The states are those lex() gives piece after piece, a
// continued piece lexed with the text after it (see `lookahead`).
struct PieceTags;

class PageView {
public:
    virtual ~PageView() = default;
    virtual int pieceCount() const = 0;
    virtual QString piece(int i) const = 0;
    virtual int pieceStart(int i) const = 0;         // position of its first character
    virtual bool pieceEndsLine(int i) const = 0;     // false for a block continued by the next
    virtual State stateBefore(int i) const = 0;      // lexer state at its start
    virtual int pieceAt(int position) const = 0;     // the piece holding a position (or ending at it)
    // The tag marks of a piece; a view that can keep them while the piece and the state it
    // starts in stay the same hands back the kept ones. This one lexes the piece each time.
    virtual std::shared_ptr<const PieceTags> tagsOf(int i) const;
};

// What the matcher reads of one piece: the tags that begin and end in it, whole, and the
// "<", "/" and ">" and pieces of tag names of the tags it shares with the pieces before and
// after it (a tag may begin in one piece and end in a later one), each at its offset in the
// piece. They depend on the piece's text, its state and its lookahead text alone.
struct PieceTags {
    struct Mark {
        std::int32_t at;      // offset in the piece
        std::int32_t length;  // of a piece of a tag name; for a delimiter minus its character
        std::int32_t name;    // a name's first characters (lower case, up to 32) in `names`
    };
    struct Whole {
        std::int32_t start;  // offsets in the piece, "<" through ">"
        std::int32_t end;
        std::int32_t nameLength;
        std::int32_t name;  // in `names`
        std::uint8_t isEnd : 1;
        std::uint8_t selfClosing : 1;
        std::uint8_t traits : 6;
    };
    std::vector<Mark> head;    // before the first "<": the end of a tag begun before
    std::vector<Whole> tags;
    std::vector<Mark> tail;    // from the "<" of a tag that runs on into the next piece
    std::u16string names;
    // What the elements open around the piece see of its whole tags, when these pair off
    // as a stack does (each end tag closing the element opened last, tags that stand alone
    // aside) and none is of an element whose end may be left out: the end tags of elements
    // opened before it, then the start tags left open, as indexes in `tags`. Reading these
    // alone gives the same for those elements, unless one of them may end before a start
    // tag. `paired` is false when the tags do not pair off so, or none pair.
    std::vector<std::int32_t> unpaired;
    bool paired = false;
};

// The marks of piece `i` of `page`, lexed from its state.
PieceTags readPieceTags(const PageView& page, int i);

struct Range {
    int start = 0;
    int end = 0;  // one past the last character
    bool operator==(const Range&) const = default;
};

enum class TagStatus {
    Matched,           // start and end tag found each other
    ImplicitlyClosed,  // a start tag whose end may be left out and is: <li> before the next <li>
    Void,              // a void element or self-closing syntax: no end tag to wait for
    Unmatched,         // an end tag with no start tag, or a start tag never closed that needs one
};

struct TagMatch {
    Range tag;                     // the tag at the position, "<" through ">"
    std::optional<Range> partner;  // its end or start tag; for an implicitly closed element
                                   // the tag that closes it, when there is one
    TagStatus status = TagStatus::Unmatched;
    bool isEndTag = false;
    Range element;  // start tag through end tag, or through its implied end; for an
                    // unmatched end tag the tag itself, for an unclosed start tag to the page's end
};

// The tag under `position` (anywhere from its "<" to its ">", or just after the ">") and its
// partner; nullopt when the position is in no tag (text, comments, script, style, CDATA).
std::optional<TagMatch> matchingTag(const PageView& page, int position);

// The smallest element that contains [from, to) and is larger than it, so that asking again
// with its range gives the enclosing element; nullopt when there is none.
std::optional<Range> enclosingElement(const PageView& page, int from, int to);

} // namespace markup
