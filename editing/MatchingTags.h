#pragma once

#include "markup/Tags.h"

#include <QTextBlock>

#include <cstddef>
#include <memory>

class RichEdit;

// Matching tags in a page: the tag at the caret and its partner marked with a soft background
// (an unmatched tag in a warning colour), Go to Matching Tag and Select Element. The HTML
// rules (void elements, end tags that may be left out) are the markup matcher's; this part
// reads the editor's blocks for it and shows what it finds. Display only.
namespace editing {

class SyntaxColours;

// The page of an editor as the matcher reads it: its blocks, with the lexer states the markup
// colours layer keeps in them (lexed on demand where the background work has not been yet).
// Positions are the widget's own, less the display-only breaks of long lines.
class BlockPage : public markup::PageView {
  public:
    explicit BlockPage(const RichEdit* edit);

    int pieceCount() const override;
    QString piece(int i) const override;
    int pieceStart(int i) const override;
    bool pieceEndsLine(int i) const override;
    markup::State stateBefore(int i) const override;
    int pieceAt(int position) const override;
    // The marks of a block, kept by the markup colours layer while the block and its state
    // stay the same.
    std::shared_ptr<const markup::PieceTags> tagsOf(int i) const override;

    // From the widget's own positions to the page's and back.
    int toPage(int documentPosition) const;
    int toDocument(int pagePosition) const;

  private:
    // The block numbered `i`: the matcher reads the blocks in order, so the one after or
    // before the last one asked for is a step away, not a search.
    QTextBlock block(int i) const;

    // Whether a display-only break stands at a widget position.
    bool breakAt(int documentPosition) const;

    const RichEdit* m_edit;
    SyntaxColours* m_layer; // keeps the states, when the editor has it
    mutable QTextBlock m_last;
    mutable int m_lastNumber = -1;
    mutable int m_lastPosition = 0; // of m_last, kept as the steps go
    mutable int m_lastPage = 0;     // the same as a position of the page
    mutable std::size_t m_break = 0; // index of the display break found last
    mutable int m_before = 0;       // the state before m_last, when m_beforeKnown
    mutable bool m_beforeKnown = false;
    mutable QString m_text;         // the text of block m_textNumber
    mutable int m_textNumber = -1;
    bool m_plain; // no display-only breaks: both kinds of position are the same
};

// Marks the tag at the caret of `edit` and its partner while the caret moves.
void markMatchingTags(RichEdit* edit);

// Moves the caret to the partner of the tag at it; false when the caret is in no tag or the
// tag has no partner.
bool goToMatchingTag(RichEdit* edit);
// Selects the smallest element around the selection that is larger than it; false when
// there is none.
bool selectElement(RichEdit* edit);

} // namespace editing
