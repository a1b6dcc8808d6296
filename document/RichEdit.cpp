#include "document/RichEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

QString toLineBreaks(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    return text;
}

QString toParagraphs(const QString& text)
{
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    out.replace(QChar::LineSeparator, QLatin1Char('\n'));
    out.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return out;
}

constexpr Qt::KeyboardModifiers shiftStateMask =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool ctrlOnly(const QKeyEvent* k) { return (k->modifiers() & shiftStateMask) == Qt::ControlModifier; }

} // namespace

RichEdit::RichEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("txtText"));
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_lastLength = textLength();
    connect(document(), &QTextDocument::contentsChange, this, &RichEdit::onContentsChange);
    connect(document(), &QTextDocument::contentsChanged, this, &RichEdit::onContentsChanged);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &RichEdit::selChange);
    connect(this, &QPlainTextEdit::selectionChanged, this, &RichEdit::selChange);
}

int RichEdit::toCrlfPosition(int documentPosition) const
{
    const QTextDocument* doc = document();
    const int last = doc->characterCount() - 1;
    documentPosition = std::clamp(documentPosition, 0, last);
    return documentPosition + doc->findBlock(documentPosition).blockNumber();
}

int RichEdit::toDocumentPosition(int crlfPosition) const
{
    const QTextDocument* doc = document();
    if (crlfPosition <= 0)
        return 0;
    // The block whose first character is the last one at or before the position.
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= crlfPosition)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const int offset = crlfPosition - (block.position() + lo);
    // A position between the CR and the LF of a break stays at the end of the line.
    return block.position() + std::min(offset, block.length() - 1);
}

QString RichEdit::text() const { return toLineBreaks(document()->toRawText()); }

int RichEdit::textLength() const
{
    const QTextDocument* doc = document();
    return doc->characterCount() - 1 + doc->blockCount() - 1;
}

QString RichEdit::textRange(int start, int length) const
{
    if (length <= 0)
        return QString();
    QTextCursor c(document());
    c.setPosition(toDocumentPosition(start));
    c.setPosition(toDocumentPosition(start + length), QTextCursor::KeepAnchor);
    return toLineBreaks(c.selectedText());
}

int RichEdit::selStart() const { return toCrlfPosition(textCursor().selectionStart()); }

void RichEdit::setSelStart(int position)
{
    QTextCursor c = textCursor();
    c.setPosition(toDocumentPosition(std::clamp(position, 0, textLength())));
    setTextCursor(c);
}

int RichEdit::selLength() const
{
    const QTextCursor c = textCursor();
    return toCrlfPosition(c.selectionEnd()) - toCrlfPosition(c.selectionStart());
}

void RichEdit::setSelLength(int length)
{
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    const int startCrlf = toCrlfPosition(start);
    const int end = toDocumentPosition(std::clamp(startCrlf + std::max(0, length), 0, textLength()));
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichEdit::selText() const { return toLineBreaks(textCursor().selectedText()); }

void RichEdit::setSelText(const QString& text)
{
    QTextCursor c = textCursor();
    QTextCharFormat format;
    if (c.hasSelection()) {
        // Replacing a selection keeps the look of its first character.
        QTextCursor first(document());
        first.setPosition(c.selectionStart());
        first.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        format = first.charFormat();
    } else {
        format = c.charFormat();
    }
    const QString paragraphs = toParagraphs(text);
    if (paragraphs.isEmpty())
        c.removeSelectedText();
    else
        c.insertText(paragraphs, format);
    setTextCursor(c);
}

QColor RichEdit::selColor() const
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection())
        return c.charFormat().foreground().color();
    QTextCursor first(document());
    first.setPosition(c.selectionStart());
    first.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    return first.charFormat().foreground().color();
}

void RichEdit::setSelColor(const QColor& colour)
{
    QTextCharFormat f;
    f.setForeground(colour);
    QTextCursor c = textCursor();
    if (c.hasSelection()) {
        // The selection takes the colour; replacing it later keeps its first character's look.
        ++m_formatting;
        c.mergeCharFormat(f);
        --m_formatting;
        return;
    }
    // No selection: this is the colour of what is typed or assigned next at the caret.
    QTextCharFormat insertion = c.charFormat();
    insertion.merge(f);
    setCurrentCharFormat(insertion);
}

void RichEdit::hideSelection(bool hide) { viewport()->setUpdatesEnabled(!hide); }

void RichEdit::setWholeText(const QString& text)
{
    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.insertText(toParagraphs(text), QTextCharFormat());
    c.endEditBlock();
}

void RichEdit::onContentsChange(int position, int charsRemoved, int charsAdded)
{
    const int newLength = textLength();
    if (m_formatting > 0) {
        m_lastLength = newLength;
        return;
    }
    // The counts can include the document's hidden final break; keep to the visible text.
    const int visible = document()->characterCount() - 1;
    charsAdded = std::clamp(charsAdded, 0, std::max(0, visible - position));
    const int pos = toCrlfPosition(position);
    const int inserted = charsAdded == 0 ? 0 : toCrlfPosition(position + charsAdded) - pos;
    const int removed = std::max(0, m_lastLength - newLength + inserted);
    m_lastLength = newLength;
    if (removed == 0 && inserted == 0 && charsRemoved == charsAdded)
        return;
    emit edited(pos, removed, inserted, newLength);
    m_pendingChange = true;
}

void RichEdit::onContentsChanged()
{
    if (!m_pendingChange)
        return;
    m_pendingChange = false;
    emit changed();
}

bool RichEdit::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        const auto* k = static_cast<QKeyEvent*>(e);
        // Keys with Ctrl alone, and Shift+Ins (Help > About), belong to the menus: the
        // control's own bindings for them must not claim them first.
        const bool shiftIns = (k->modifiers() & shiftStateMask) == Qt::ShiftModifier &&
                              k->key() == Qt::Key_Insert;
        if (ctrlOnly(k) || shiftIns) {
            e->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(e);
}

void RichEdit::keyPressEvent(QKeyEvent* e)
{
    if (ctrlOnly(e)) {
        e->accept(); // discarded: the control has no Ctrl shortcuts of its own
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        // The insertion colour outlives the break: at the start of the new line the widget
        // would otherwise take the colour of the character that follows the caret.
        const QTextCharFormat insertion = textCursor().charFormat();
        if ((e->modifiers() & shiftStateMask) == Qt::ShiftModifier) {
            // Shift+Enter would put a line separator inside the paragraph; it is a plain break.
            QKeyEvent plain(e->type(), e->key(), e->modifiers() & ~Qt::ShiftModifier, e->text(),
                            e->isAutoRepeat(), static_cast<ushort>(e->count()));
            QPlainTextEdit::keyPressEvent(&plain);
            e->setAccepted(plain.isAccepted());
        } else {
            QPlainTextEdit::keyPressEvent(e);
        }
        if (!textCursor().hasSelection())
            setCurrentCharFormat(insertion);
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void RichEdit::mouseReleaseEvent(QMouseEvent* e)
{
    QPlainTextEdit::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton)
        emit clicked();
}

void RichEdit::insertFromMimeData(const QMimeData* source)
{
    if (source && source->hasText())
        setSelText(source->text());
}
