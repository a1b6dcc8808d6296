#pragma once

#include "markup/Lexer.h"
#include "markup/Tags.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QTextCursor>
#include <QTimer>
#include <unordered_map>
#include <vector>

class QPainter;
class QTextBlock;
class RichEdit;

namespace editing {

// The colour the markup layer draws a kind of token in; an invalid colour for the kinds it
// leaves as they are (words between tags, other script).
QColor markupColour(markup::Token kind);

// Colours of the markup typed or opened in a page, drawn over its text as a display layer:
// the lexer's colours are kept beside the layout of each block near the view and drawn from
// its glyphs (the layout draws that text unseen), never put into the stored characters, so
// the colour runs, the history, the modified flag, the clipboard and every saved byte stay as
// they are. Only text stored in black is coloured; the pieces the commands wrote in their own
// colours keep them.
//
// Each block (a line, or one display block of a long line) keeps the lexer's state at its
// end as its user state. An edit is lexed again from its first block until a block ends in
// the state it ended in before; what lies beyond the view then goes on in slices of a few
// milliseconds on the interface thread. All blocks keep their state, but only the blocks near
// the view carry colours (the layout of every block of a big page would cost too much memory):
// they are given as the view moves and taken from blocks that leave its neighbourhood (the
// neighbourhood a jump leaves is kept too, until the next jump).
class SyntaxColours : public QObject {
    Q_OBJECT
  public:
    // Gives `edit` its layer (lexing the whole page, the view first) and has it draw its
    // colours or not. Without colours the layer still keeps the states for the tag matching.
    static void showFor(RichEdit* edit, bool on);
    static SyntaxColours* of(const RichEdit* edit);

    bool isPainting() const { return m_painting; }
    void setPainting(bool on);
    // Before the caret is moved far to `position`: the blocks the view will show around it
    // get their colours now, so that the widget lays them out once, with them, as it brings
    // the caret into view.
    void showAround(int position);
    // Lexes now what is still to lex up to and including block `blockNumber`, so that the
    // states before it are those of the text as it is.
    void lexThrough(int blockNumber);

    // Whether every block has been lexed since the last edit.
    bool isComplete() const { return m_pending.empty(); }
    // The longest time one slice of background work held the interface, in milliseconds.
    double longestSliceMs() const { return m_longestSliceMs; }
    // The block numbers that carry colours now (first > last: none).
    int colouredFirst() const { return m_first; }
    int colouredLast() const { return m_last; }

    // The tag marks of a block kept for the tag matching, when they were read with the block
    // starting in state `in` (the state it starts in now); null otherwise. An edit forgets
    // the marks of the blocks it changed and of those whose lookahead reads them.
    std::shared_ptr<const markup::PieceTags> keptTags(const QTextBlock& block,
                                                      markup::State in) const;
    void keepTags(const QTextBlock& block, markup::State in,
                  std::shared_ptr<const markup::PieceTags> tags);

    // Longest time one background slice may take, in milliseconds.
    static constexpr double sliceMs = 4.0;

  signals:
    // Every block is lexed (after an edit, once the background work is done).
    void completed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    SyntaxColours(RichEdit* edit, bool painting);
    ~SyntaxColours() override;
    // Takes the colours from the blocks (before the layer goes while its editor stays).
    void takeColoursAway();

    // A stretch of blocks to lex again: from the block at `from` at least through the block at
    // `to`, and on until a block ends in its old state. The cursors follow edits.
    struct Region {
        QTextCursor from;
        QTextCursor to;
    };

    void onContentsChange(int position, int removed, int added);
    void addRegion(int from, int to);
    // Lexes pending regions until block number `until` is passed (-1: no such bound) or the
    // time is up (budgetMs < 0: no limit). Returns whether the regions were finished.
    void work(int until, double budgetMs);
    void slice();
    void schedule();
    // The blocks near the view: those on screen and as many above and below.
    std::pair<int, int> nearView() const;
    // Gives colours to the blocks near the view, and takes them from the others.
    void followView();
    // Gives colours to the blocks numbered `from` to `to` and takes them from the others
    // (but for the stretch a jump leaves).
    void colourStretch(int from, int to);
    // Lines of text the view holds, and two.
    int viewLines() const;
    void queueFollowView();
    void applyColours(const QTextBlock& block, const std::vector<markup::Span>& spans);
    void clearColours(const QTextBlock& block);
    // Draws the text of the coloured blocks in `area` in their colours (the widget drew it
    // unseen), but for what the widget drew in colours of a selection; then the caret again
    // when it is in one of them (`caret`: its position, -1 when not shown).
    void paintText(QPainter& painter, const QRect& area, int caret);
    void beforeNewColours(const QTextBlock& block);
    void noteRepaint(const QTextBlock& block);
    void flushRepaint();
    // Blocks near the view lexed while the document was being changed: given their colours
    // once the change is done.
    void notePending(const QTextBlock& block);
    void paintPending();
    // Before the widget's layout lays out what an edit changed: the new colours of the blocks
    // in view go into their layouts now, so that the changed blocks are shaped only once.
    void beforeLayout(int from, int removed, int added);
    markup::State stateBefore(const QTextBlock& block) const;
    bool endsLine(const QTextBlock& block) const;
    // Lexes one block from state `in` into m_spans; returns the state at its end.
    markup::State lexBlock(const QTextBlock& block, markup::State in);
    bool inView(int number) const {
        return m_painting && ((number >= m_first && number <= m_last) ||
                              (number >= m_keptFirst && number <= m_keptLast));
    }

    // Forgets the kept tag marks of the blocks from `first` to `last` that an edit changed.
    void forgetTags(const QTextBlock& first, const QTextBlock& last);
    // The first block whose lexing reads text of `block` (itself, or a display block before
    // it that reads on into it).
    QTextBlock readingInto(const QTextBlock& block) const;

    struct KeptTags {
        std::shared_ptr<const markup::PieceTags> tags;
        markup::State in = markup::startState;
    };

    RichEdit* m_edit;
    // By the block's index in the document's block map, which stays while the block does (a
    // block made by an edit is in what the edit changed): an edit elsewhere moves nothing.
    // Empty until the matcher keeps some.
    std::vector<KeptTags> m_tags;
    // The colours a coloured block is drawn in: runs over its text stored in black, in order,
    // by the block's index in the block map (as m_tags). Its layout holds one format that
    // draws that text unseen, so that the widget shapes each line as one piece (a format per
    // colour would have it shaped piece by piece) and the runs are drawn from its glyphs.
    struct Run {
        int start;
        int length;
        QRgb colour;
        bool operator==(const Run&) const = default;
    };
    std::unordered_map<int, std::vector<Run>> m_runs;
    // The glyphs of one colour in a block being drawn (kept for their storage).
    struct Bucket {
        QRgb colour;
        QList<quint32> indexes;
        QList<QPointF> positions;
    };
    std::vector<Bucket> m_buckets;
    bool m_painting = true;
    std::vector<Region> m_pending; // ascending by start
    QTimer m_timer;
    bool m_followQueued = false;
    int m_first = 0; // block numbers that carry colours
    int m_last = -1;
    int m_keptFirst = 0; // the stretch left by the last jump of the view, kept coloured
    int m_keptLast = -1;
    int m_blockCount = 0;
    int m_dirtyFrom = -1; // document range whose layouts were given new colours
    int m_dirtyTo = -1;
    double m_longestSliceMs = 0;
    std::vector<markup::Span> m_spans;
    bool m_inEdit = false;
    // The stretch the widget's layout is about to lay out again (beforeLayout); blocks in it
    // need no repaint of their own.
    int m_layingOutFrom = -1;
    int m_layingOutTo = -1;
    bool m_inPaint = false; // following the view just before it is drawn
    QRegion m_paintRegion;  // what that paint draws
    QPointer<QObject> m_hooked; // the editor whose layout hook is ours
    QObject* m_viewport = nullptr;
    QTextCursor m_pendingFrom; // null: no block waits for its colours
    QTextCursor m_pendingTo;
};

} // namespace editing
