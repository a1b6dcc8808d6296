#pragma once

#include "document/UndoTarget.h"
#include "platform/RtfCodec.h"

#include <QColor>
#include <QPlainTextEdit>

// The edit control of a document window: the page source as coloured text.
//
// Every position and length of this interface counts a line break as two characters
// (CR LF), and text() gives line breaks as "\r\n"; that is the unit of the stored caret
// positions, the undo history and the fixed template offsets. Positions are mapped to the
// widget's own (one character per break) through block numbers, in logarithmic time.
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
    // Replaces the selection (or inserts at the caret) in the insertion colour. "\r\n", "\n",
    // "\r" and the Unicode line and paragraph separators each become one line break.
    void setSelText(const QString& text) override;

    // The insertion colour; with a selection, setting it also colours the selected text.
    QColor selColor() const;
    void setSelColor(const QColor& colour);

    void hideSelection(bool hide) override;

    // Makes the splices as one edit of the document (one change, one layout pass). Without
    // looks of its own, each inserted run takes the look of the first character it replaces.
    SpliceSet applySplices(const SpliceSet& set) override;

    // Searches the whole text for `text` (line breaks in it as "\r\n") and selects the first
    // match; returns its position, or -1 when there is none (the selection is then unchanged).
    // A whole word has no letter, digit or underscore directly before or after it.
    int find(const QString& text, bool wholeWord, bool matchCase);

    // Replaces the whole text as one change, in black.
    void setWholeText(const QString& text);
    // Replaces the whole text as one change, each run in its colour.
    void setWholeRuns(const platform::rtf::Runs& runs);
    // The whole text as colour runs; a line break ("\r\n") joins the run before it.
    platform::rtf::Runs runs() const;

    int toDocumentPosition(int crlfPosition) const;
    int toCrlfPosition(int documentPosition) const;

    // What a margin widget beside the text (line numbers) needs to follow the view: the space
    // it takes at the left of the text area, and where the visible blocks stand.
    void setLeftMargin(int width) { setViewportMargins(width, 0, 0, 0); }
    using QPlainTextEdit::firstVisibleBlock;
    QRectF blockGeometry(const QTextBlock& block) const
    {
        return blockBoundingGeometry(block).translated(contentOffset());
    }

signals:
    // The text changed: at pos, `removed` characters were replaced by `inserted` ones.
    void edited(int pos, int removed, int inserted, int newLength);
    // Fired after edited(), once the caret has its new place (the control's Change event).
    void changed();
    void clicked();
    void selChange();

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Lines longer than this are wrapped anywhere instead of at word boundaries.
    static constexpr int longLine = 10000;
    void fitWrapToLongestLine(const QStringList& paragraphs);
    // The text between two positions of the widget's own, line breaks as "\r\n".
    QString rawRange(int from, int to) const;
    void onContentsChange(int position, int charsRemoved, int charsAdded);
    void onContentsChanged();

    int m_lastLength = 0;
    bool m_pendingChange = false;
    int m_formatting = 0; // >0 while only formats change: not an edit of the text
};
