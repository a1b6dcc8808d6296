#pragma once

#include "document/UndoTarget.h"
#include "platform/RtfCodec.h"
#include "platform/TextCodec.h"

#include <QColor>
#include <QPlainTextEdit>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QPainter;

// The edit control of a document window: the page source as coloured text.
//
// Every position and length of this interface counts a line break as two characters
// (CR LF), and text() gives line breaks as "\r\n"; that is the unit of the stored caret
// positions, the undo history and the fixed template offsets. Positions are mapped to the
// widget's own (one character per break) through block numbers, in logarithmic time.
//
// A very long line is held in the widget as several display blocks joined by display-only
// breaks: the widget shapes the edited block again at every keystroke (layout, caret, paint),
// and a block as long as an ordinary line costs a fraction of a millisecond where a
// megabyte-long one costs a quarter of a second. Those breaks are no part of the text: text(), positions, selections, the clipboard,
// find and the colour runs never see them; only line and block helpers below know of them.
//
// Qt's own undo stack is off: the document window keeps its own history.
class RichEdit : public QPlainTextEdit, public UndoTarget {
    Q_OBJECT
public:
    explicit RichEdit(QWidget* parent = nullptr);

    QString text() const;
    int textLength() const override;
    QString textRange(int start, int length) const override;

    int selStart() const override;
    void setSelStart(int position) override;
    int selLength() const;
    void setSelLength(int length) override;
    QString selText() const;
    // Replaces the selection (or inserts at the caret) in the insertion colour. "\r\n", "\n"
    // and "\r" each become one line break; the Unicode line and paragraph separators are
    // characters of the text like any other (a script's string may hold them).
    void setSelText(const QString& text) override;

    // The insertion colour; with a selection, setting it also colours the selected text.
    QColor selColor() const;
    void setSelColor(const QColor& colour);

    void hideSelection(bool hide) override;

    // The font the page is written with (the template's); an editing file names it. The
    // control may draw the page in another (zoomed, fixed-width): that is display only.
    QFont pageFont() const { return m_pageFont ? *m_pageFont : document()->defaultFont(); }
    void setPageFont(const QFont& font)
    {
        m_pageFont = font;
        setFont(font); // the document's default font follows the control's
    }

    // Makes the splices as one edit of the document (one change, one layout pass). Without
    // looks of its own, each inserted run takes the look of the first character it replaces.
    SpliceSet applySplices(const SpliceSet& set) override;

    // Searches the whole text for `text` (line breaks in it as "\r\n") and selects the first
    // match; returns its position, or -1 when there is none (the selection is then unchanged).
    // A whole word has no letter, digit or underscore directly before or after it.
    int find(const QString& text, bool wholeWord, bool matchCase);

    // Replaces the whole text as one change, in black.
    void setWholeText(const QString& text);
    // The same for a page read from a file, whose line breaks are "\r\n", "\n" or "\r" as
    // they were in the file: each break that is not `common` (the page's most frequent line
    // end) remembers its own, which pageText() gives back. Breaks made later are `common`.
    void setWholePage(const QString& text, platform::text::LineEnd common);
    // The text as a page file holds it: every line break as it was read, the others `common`.
    QString pageText(platform::text::LineEnd common) const;
    // Replaces the whole text as one change, each run in its colour.
    void setWholeRuns(const platform::rtf::Runs& runs);
    // The whole text as colour runs; a line break ("\r\n") joins the run before it.
    platform::rtf::Runs runs() const;

    // The same content taken quickly, for turning into runs on another thread: the widget's
    // raw text (one character per line break) and the length and colour of each stretch.
    struct ColourCapture {
        QString raw;
        std::vector<std::pair<int, QRgb>> spans;
        // Characters the widget holds as stand-ins: where they stand in `raw`, and what they are.
        std::vector<std::pair<qsizetype, char16_t>> held;
    };
    ColourCapture captureColours() const;
    // What runs() gives, made from a capture (thread-safe).
    static platform::rtf::Runs runsOf(const ColourCapture& capture);

    int toDocumentPosition(int crlfPosition) const;
    int toCrlfPosition(int documentPosition) const;

    // Lines of the text (not display blocks), counted from 0. lineStart() is the widget's own
    // position of a line's first character; columnOf() counts characters from there.
    int lineCount() const;
    int lineOf(int documentPosition) const;
    int columnOf(int documentPosition) const;
    int lineStart(int line) const;
    // Whether the block goes on the line of the block before it (a display-only break).
    bool continuesLine(const QTextBlock& block) const;
    // The same for the block that starts at `blockPosition`, when the caller knows it.
    bool continuesLineAt(int blockPosition) const
    {
        return blockPosition > 0 && isDisplayBreakAt(blockPosition - 1);
    }
    // The text of the line that starts with `first`; `last` receives its last block.
    QString lineText(const QTextBlock& first, QTextBlock* last = nullptr) const;
    // Display-only breaks held now (for tests and benchmarks).
    int displayBreakCount() const { return static_cast<int>(m_virtual.size()); }
    // Their widget positions, ascending: for a reader that walks the blocks in order.
    const std::vector<int>& displayBreaks() const { return m_virtual; }

    // What a margin widget beside the text (line numbers) needs to follow the view: the space
    // it takes at the left of the text area, and where the visible blocks stand.
    void setLeftMargin(int width) { setViewportMargins(width, 0, 0, 0); }
    using QPlainTextEdit::firstVisibleBlock;
    QRectF blockGeometry(const QTextBlock& block) const
    {
        return blockBoundingGeometry(block).translated(contentOffset());
    }
    // Called when an edit of the text is done, before the widget's layout lays out the changed
    // blocks (with the changed range): layout formats a display layer sets here are shaped
    // together with the new text, once, instead of a second time afterwards. One hook; an
    // empty function removes it.
    void setBeforeLayout(std::function<void(int from, int removed, int added)> hook);
    // Draws over the text once the widget has drawn it (display layers' underlines), with a
    // painter on the viewport clipped to the repainted area. One hook; an empty function
    // removes it.
    void setAfterPaint(std::function<void(QPainter& painter, const QRect& area)> hook);
    // Draws text over the widget's own before the after-paint hook does (a display layer
    // that draws the text of some blocks in colours of its own, the widget drawing them
    // unseen), with the caret's position to draw it again over that text, or -1 when the
    // caret is not shown now. One hook; an empty function removes it.
    void setTextPaint(std::function<void(QPainter& painter, const QRect& area, int caret)> hook);

signals:
    // The text changed: at pos, `removed` characters were replaced by `inserted` ones.
    void edited(int pos, int removed, int inserted, int newLength);
    // Fired after edited(), once the caret has its new place (the control's Change event).
    void changed();
    void clicked();
    void selChange();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    // A line longer than splitAt is held as display blocks of at most `piece` characters; a
    // block next to a display-only break is split again once it grows past twice that, and
    // merged with its neighbour once both fit in one piece.
    static constexpr int piece = 128;
    static constexpr int splitAt = 4096;
    // Replaces the whole text by `parts`, each in its format, long lines held as display blocks.
    // `marksLineEnds`: some of the breaks name their own line end (setWholePage()).
    void insertWhole(const QStringList& parts, const std::vector<QTextCharFormat>& formats,
                     bool marksLineEnds = false);
    // Splits and merges display blocks around the text edited since the last call.
    void reflow();
    void noteDirty(int from, int to);
    void trackDisplayBreaks(int position, int charsRemoved, int charsAdded);
    // Number of display-only breaks before a position of the widget's own.
    int virtualBefore(int documentPosition) const;
    bool isDisplayBreakAt(int documentPosition) const;
    // The widget's text from `offset` on without the display-only breaks in it.
    QString withoutDisplayBreaks(QStringView raw, int offset) const;
    // The text between two positions of the widget's own, line breaks as "\r\n".
    QString rawRange(int from, int to) const;
    // Puts the characters held as stand-ins in [from, to) (widget positions) back into `out`,
    // the text of that range beginning at CR LF position crlfStart.
    void putBackHeld(QString& out, int crlfStart, int from, int to) const;
    void onContentsChange(int position, int charsRemoved, int charsAdded);
    void onContentsChanged();

    class PageLayout;
    PageLayout* m_layout = nullptr;
    std::function<void(QPainter&, const QRect&)> m_afterPaint;
    std::function<void(QPainter&, const QRect&, int)> m_textPaint;
    std::optional<QFont> m_pageFont;
    int m_lastLength = 0;
    bool m_pendingChange = false;
    int m_formatting = 0; // >0 while only formats change: not an edit of the text
    bool m_holds = false;         // characters may be held as stand-ins (see putBackHeld)
    bool m_marksLineEnds = false; // some line breaks of the page name their own line end

    std::vector<int> m_virtual;   // widget positions of the display-only breaks, ascending
    std::vector<int> m_loadedVirtual;
    bool m_replacingAll = false;  // the next change puts m_loadedVirtual in place of m_virtual
    bool m_addedVirtual = false;  // the next change may bring display-only breaks of its own
    int m_reflowing = 0;          // >0 while display blocks are split or merged
    int m_dirtyFrom = -1;         // range of widget positions edited since the last reflow
    int m_dirtyTo = -1;
    bool m_reflowQueued = false;
};
