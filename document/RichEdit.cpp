#include "document/RichEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace {

// Both conversions run in one pass with one allocation. QString::replace of one character by
// two grows the string in many steps, which made these the costliest part of opening a page.
QString toLineBreaks(QStringView text)
{
    // This runs over whole pages on every open and save: count and find the breaks with Qt's
    // vectorised searches and copy the text between them a line at a time. The page's own
    // line separators (U+2028) are characters of the text, not breaks.
    const QChar paragraph = QChar::ParagraphSeparator;
    const qsizetype breaks = text.count(paragraph);
    if (breaks == 0)
        return text.toString();
    QString out(text.size() + breaks, Qt::Uninitialized);
    QChar* dst = out.data();
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(paragraph); at >= 0; at = text.indexOf(paragraph, from)) {
        dst = std::copy(text.begin() + from, text.begin() + at, dst);
        *dst++ = QLatin1Char('\r');
        *dst++ = QLatin1Char('\n');
        from = at + 1;
    }
    std::copy(text.begin() + from, text.end(), dst);
    return out;
}

// "\r\n" and a lone "\r" become "\n", the break the widget makes a paragraph of. The Unicode
// separators stay characters of the text (see insertHolding()).
QString toParagraphs(const QString& text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString out(text.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    const QChar* src = text.constData();
    const QChar* const end = src + text.size();
    for (; src != end; ++src) {
        if (*src != QLatin1Char('\r')) {
            *dst++ = *src;
            continue;
        }
        if (src + 1 != end && src[1] == QLatin1Char('\n'))
            ++src;
        *dst++ = QLatin1Char('\n');
    }
    out.truncate(dst - out.constData());
    return out;
}

// Calls piece(text, fragment) for each stretch of [from, to) that lies in one fragment, and
// lineBreak(position) for each block break in the range, in the order of the text.
template <class Piece, class Break>
void visitRange(const QTextDocument* doc, int from, int to, Piece piece, Break lineBreak)
{
    for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int fragStart = f.position();
            const int fragEnd = fragStart + f.length();
            if (fragEnd <= from)
                continue;
            if (fragStart >= to)
                break;
            const int a = std::max(from, fragStart);
            piece(QStringView(f.text()).mid(a - fragStart, std::min(to, fragEnd) - a), f);
        }
        const int separator = b.position() + b.length() - 1;
        if (separator >= from && separator < to)
            lineBreak(separator);
    }
}

constexpr Qt::KeyboardModifiers shiftStateMask =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool ctrlOnly(const QKeyEvent* k) { return (k->modifiers() & shiftStateMask) == Qt::ControlModifier; }

// Marks the break character of a display-only break (a property of its character format, so
// that the mark goes wherever the character goes and disappears with it).
constexpr int displayBreakProperty = QTextFormat::UserProperty + 0x4842;

bool isMarked(const QTextCharFormat& f) { return f.hasProperty(displayBreakProperty); }

QTextCharFormat displayBreakFormat()
{
    QTextCharFormat f;
    f.setProperty(displayBreakProperty, true);
    return f;
}

// Marks the break character of a line break that ended otherwise in the page file than the
// page's most frequent line end: its platform::text::LineEnd. Unmarked breaks end in the most
// frequent one, and so do all breaks made in the editor.
constexpr int lineEndProperty = QTextFormat::UserProperty + 0x4843;

// Characters the widget cannot hold as themselves, since it makes a paragraph or a frame of
// them (a page's own U+2029 in a script string), are held as a stand-in character whose format
// names the page's character.
constexpr int heldProperty = QTextFormat::UserProperty + 0x4844;

bool mustBeHeld(char16_t c) { return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1; }

QChar standInFor(char16_t c) { return c == 0x2029 ? QChar::LineSeparator : QChar::ReplacementCharacter; }

// Formats given to inserted text never carry the marks: a real break must never pass for a
// display-only one, a new break takes the page's most frequent line end, and the text typed
// after a held character is itself.
QTextCharFormat unmarked(const QTextCharFormat& f)
{
    if (!f.hasProperty(displayBreakProperty) && !f.hasProperty(lineEndProperty) &&
        !f.hasProperty(heldProperty))
        return f; // shared, not copied: this runs for every fragment of a Replace All
    QTextCharFormat plain = f;
    plain.clearProperty(displayBreakProperty);
    plain.clearProperty(lineEndProperty);
    plain.clearProperty(heldProperty);
    return plain;
}

QTextCharFormat holding(const QTextCharFormat& f, char16_t c)
{
    QTextCharFormat held = f;
    held.setProperty(heldProperty, static_cast<int>(c));
    return held;
}

// Inserts text whose breaks are "\n" in `format`; the characters the widget cannot hold go in
// as their stand-ins, and `holds` is set before they do (the change is reported at once).
void insertHolding(QTextCursor& c, const QString& text, const QTextCharFormat& format, bool& holds)
{
    const auto held = std::find_if(text.cbegin(), text.cend(),
                                   [](QChar ch) { return mustBeHeld(ch.unicode()); });
    if (held == text.cend()) {
        c.insertText(text, format);
        return;
    }
    holds = true;
    c.beginEditBlock(); // one change, as a plain insertion is
    qsizetype from = 0;
    for (qsizetype at = held - text.cbegin(); at < text.size(); ++at) {
        const char16_t ch = text[at].unicode();
        if (!mustBeHeld(ch))
            continue;
        if (at > from)
            c.insertText(text.mid(from, at - from), format);
        c.insertText(QString(standInFor(ch)), holding(format, ch));
        from = at + 1;
    }
    if (from < text.size())
        c.insertText(text.mid(from), format);
    c.endEditBlock();
}

// Whether the break ending `block` is display-only, read from the document itself.
bool endsMarked(const QTextBlock& block)
{
    const QTextBlock next = block.next();
    return next.isValid() && isMarked(next.charFormat());
}

// Where to cut a line of `text` into display blocks of at most `piece` characters: after a
// '>' or a space in the second half of a piece when there is one, else at the piece's end
// (never between the halves of a surrogate pair). Offsets ascending, none at 0 or the end.
std::vector<qsizetype> cutsOf(QStringView text, qsizetype piece)
{
    std::vector<qsizetype> cuts;
    qsizetype start = 0;
    while (text.size() - start > piece) {
        qsizetype at = -1;
        for (qsizetype i = start + piece; i > start + piece / 2; --i) {
            const QChar c = text[i - 1];
            if (c == QLatin1Char('>') || c == QLatin1Char(' ')) {
                at = i;
                break;
            }
        }
        if (at < 0) {
            at = start + piece;
            if (text[at - 1].isHighSurrogate())
                --at;
        }
        cuts.push_back(at);
        start = at;
    }
    return cuts;
}

} // namespace

// The widget's layout, with a hook that runs before it lays out the blocks an edit changed.
class RichEdit::PageLayout : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;
    std::function<void(int, int, int)> before;

    QRectF blockBoundingRect(const QTextBlock& block) const override
    {
        // The widget's layout compares an edited block's height before and after it lays the
        // block out again; a hook that gave the block new formats has dropped its lines, so
        // the height before is the one kept here, not a layout of its own.
        if (m_held.isValid() && block == m_held && block.layout()->lineCount() == 0) {
            m_held = QTextBlock();
            return m_heldRect;
        }
        return QPlainTextDocumentLayout::blockBoundingRect(block);
    }

protected:
    void documentChanged(int from, int removed, int added) override
    {
        if (before) {
            const QTextDocument* doc = document();
            const QTextBlock first = doc->findBlock(from);
            const QTextBlock last = doc->findBlock(std::max(0, from + removed + added - 1));
            if (first == last && first.isValid() && first.layout()->lineCount() > 0) {
                m_heldRect = QPlainTextDocumentLayout::blockBoundingRect(first);
                m_held = first;
            }
            before(from, removed, added);
        }
        QPlainTextDocumentLayout::documentChanged(from, removed, added);
        m_held = QTextBlock();
    }

private:
    mutable QTextBlock m_held; // the edited block whose height before the edit is kept
    QRectF m_heldRect;
};

RichEdit::RichEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    {
        const QFont font = document()->defaultFont();
        auto* doc = new QTextDocument(this);
        m_layout = new PageLayout(doc);
        doc->setDocumentLayout(m_layout);
        doc->setDefaultFont(font);
        setDocument(doc);
    }
    setObjectName(QStringLiteral("txtText"));
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_lastLength = textLength();
    connect(document(), &QTextDocument::contentsChange, this, &RichEdit::onContentsChange);
    connect(document(), &QTextDocument::contentsChanged, this, &RichEdit::onContentsChanged);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &RichEdit::selChange);
    connect(this, &QPlainTextEdit::selectionChanged, this, &RichEdit::selChange);
}

void RichEdit::setBeforeLayout(std::function<void(int, int, int)> hook)
{
    m_layout->before = std::move(hook);
}

void RichEdit::setAfterPaint(std::function<void(QPainter&, const QRect&)> hook)
{
    m_afterPaint = std::move(hook);
    viewport()->update();
}

void RichEdit::setTextPaint(std::function<void(QPainter&, const QRect&, int)> hook)
{
    m_textPaint = std::move(hook);
    viewport()->update();
}

void RichEdit::paintEvent(QPaintEvent* e)
{
    QPlainTextEdit::paintEvent(e);
    if (!m_afterPaint && !m_textPaint)
        return;
    QPainter painter(viewport());
    if (m_textPaint) {
        painter.save();
        m_textPaint(painter, e->rect(), getPaintContext().cursorPosition);
        painter.restore();
    }
    if (m_afterPaint)
        m_afterPaint(painter, e->rect());
}

int RichEdit::virtualBefore(int documentPosition) const
{
    return static_cast<int>(std::lower_bound(m_virtual.begin(), m_virtual.end(), documentPosition) -
                            m_virtual.begin());
}

bool RichEdit::isDisplayBreakAt(int documentPosition) const
{
    return !m_virtual.empty() &&
           std::binary_search(m_virtual.begin(), m_virtual.end(), documentPosition);
}

int RichEdit::toCrlfPosition(int documentPosition) const
{
    const QTextDocument* doc = document();
    const int last = doc->characterCount() - 1;
    documentPosition = std::clamp(documentPosition, 0, last);
    // A real break adds one character (its LF); a display-only break takes its own one away.
    return documentPosition + doc->findBlock(documentPosition).blockNumber() -
           2 * virtualBefore(documentPosition);
}

int RichEdit::toDocumentPosition(int crlfPosition) const
{
    const QTextDocument* doc = document();
    if (crlfPosition <= 0)
        return 0;
    // The block whose first character is the last one at or before the position.
    const auto startOf = [&](int number) {
        const int position = doc->findBlockByNumber(number).position();
        return position + number - 2 * virtualBefore(position);
    };
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (startOf(mid) <= crlfPosition)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const int offset = crlfPosition - startOf(lo);
    // At a display-only break the position is the end of the block before it, where typing
    // continues the text before the caret.
    if (offset == 0 && lo > 0 && isDisplayBreakAt(block.position() - 1))
        return block.position() - 1;
    // A position between the CR and the LF of a break stays at the end of the line.
    return block.position() + std::min(offset, block.length() - 1);
}

int RichEdit::lineCount() const { return document()->blockCount() - static_cast<int>(m_virtual.size()); }

int RichEdit::lineOf(int documentPosition) const
{
    return document()->findBlock(documentPosition).blockNumber() - virtualBefore(documentPosition);
}

int RichEdit::lineStart(int line) const
{
    const QTextDocument* doc = document();
    line = std::clamp(line, 0, lineCount() - 1);
    if (m_virtual.empty())
        return doc->findBlockByNumber(line).position();
    // The first block whose line number (its block number less the display-only breaks
    // before it) reaches `line`.
    int lo = line;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (mid - virtualBefore(doc->findBlockByNumber(mid).position()) >= line)
            hi = mid;
        else
            lo = mid + 1;
    }
    return doc->findBlockByNumber(lo).position();
}

int RichEdit::columnOf(int documentPosition) const
{
    const QTextBlock block = document()->findBlock(documentPosition);
    if (m_virtual.empty())
        return documentPosition - block.position();
    const int start = lineStart(lineOf(documentPosition));
    return documentPosition - start - (virtualBefore(documentPosition) - virtualBefore(start));
}

bool RichEdit::continuesLine(const QTextBlock& block) const
{
    return block.isValid() && block.position() > 0 && isDisplayBreakAt(block.position() - 1);
}

QString RichEdit::lineText(const QTextBlock& first, QTextBlock* last) const
{
    if (m_virtual.empty()) {
        if (last)
            *last = first;
        return first.text();
    }
    QTextBlock b = first;
    QString text = b.text();
    while (isDisplayBreakAt(b.position() + b.length() - 1)) {
        b = b.next();
        text += b.text();
    }
    if (last)
        *last = b;
    return text;
}

QString RichEdit::text() const
{
    QString out = m_virtual.empty() ? toLineBreaks(document()->toRawText())
                                    : toLineBreaks(withoutDisplayBreaks(document()->toRawText(), 0));
    putBackHeld(out, 0, 0, document()->characterCount() - 1);
    return out;
}

void RichEdit::putBackHeld(QString& out, int crlfStart, int from, int to) const
{
    if (!m_holds)
        return;
    visitRange(
        document(), from, to,
        [&](QStringView piece, const QTextFragment& f) {
            const QTextCharFormat format = f.charFormat();
            if (!format.hasProperty(heldProperty))
                return;
            const auto held = static_cast<char16_t>(format.intProperty(heldProperty));
            const int start = std::max(from, f.position());
            for (qsizetype k = 0; k < piece.size(); ++k) {
                if (piece[k] != standInFor(held))
                    continue;
                const int at = toCrlfPosition(start + static_cast<int>(k)) - crlfStart;
                if (at >= 0 && at < out.size())
                    out[at] = QChar(held);
            }
        },
        [](int) {});
}

void RichEdit::setWholePage(const QString& text, platform::text::LineEnd common)
{
    using platform::text::LineEnd;
    if (common == LineEnd::Lf && !text.contains(QLatin1Char('\r'))) {
        insertWhole({text}, {QTextCharFormat()});
        return;
    }
    // Breaks that end as `common` stay in the text as "\n"; each other one is a part of its
    // own whose format names its line end.
    QStringList parts;
    std::vector<QTextCharFormat> formats;
    const QTextCharFormat plain;
    QString line;
    line.reserve(text.size());
    const QChar* p = text.constData();
    const qsizetype n = text.size();
    qsizetype from = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] != QLatin1Char('\r') && p[i] != QLatin1Char('\n'))
            continue;
        LineEnd end = LineEnd::Lf;
        qsizetype length = 1;
        if (p[i] == QLatin1Char('\r')) {
            const bool crlf = i + 1 < n && p[i + 1] == QLatin1Char('\n');
            end = crlf ? LineEnd::CrLf : LineEnd::Cr;
            length = crlf ? 2 : 1;
        }
        line.append(p + from, i - from);
        from = i + length;
        i += length - 1;
        if (end == common) {
            line.append(QLatin1Char('\n'));
            continue;
        }
        if (!line.isEmpty()) {
            parts.append(line);
            formats.push_back(plain);
            line.clear();
        }
        QTextCharFormat marked;
        marked.setProperty(lineEndProperty, static_cast<int>(end));
        parts.append(QStringLiteral("\n"));
        formats.push_back(marked);
    }
    line.append(p + from, n - from);
    if (!line.isEmpty() || parts.isEmpty()) {
        parts.append(line);
        formats.push_back(plain);
    }
    const bool marks = parts.size() > 1;
    insertWhole(parts, formats, marks);
}

QString RichEdit::pageText(platform::text::LineEnd common) const
{
    using platform::text::LineEnd;
    const QString crlf = text();
    if (!m_marksLineEnds)
        return platform::text::withBreaks(crlf, common);
    // How each line break of the page ends, in order (display-only breaks are none of them).
    std::vector<LineEnd> ends;
    ends.reserve(static_cast<std::size_t>(document()->blockCount()));
    const QTextDocument* doc = document();
    for (QTextBlock b = doc->begin(), next = b.next(); next.isValid(); b = next, next = b.next()) {
        if (isDisplayBreakAt(b.position() + b.length() - 1))
            continue;
        const QVariant end = next.charFormat().property(lineEndProperty);
        ends.push_back(end.isValid() ? static_cast<LineEnd>(end.toInt()) : common);
    }
    QString out;
    out.reserve(crlf.size());
    std::size_t k = 0;
    qsizetype from = 0;
    const QLatin1String crlfBreak("\r\n");
    for (qsizetype at = crlf.indexOf(crlfBreak); at >= 0; at = crlf.indexOf(crlfBreak, from)) {
        out += QStringView(crlf).mid(from, at - from);
        switch (k < ends.size() ? ends[k] : common) {
        case LineEnd::CrLf:
            out += crlfBreak;
            break;
        case LineEnd::Lf:
            out += QLatin1Char('\n');
            break;
        case LineEnd::Cr:
            out += QLatin1Char('\r');
            break;
        }
        ++k;
        from = at + 2;
    }
    out += QStringView(crlf).mid(from);
    return out;
}

QString RichEdit::withoutDisplayBreaks(QStringView raw, int offset) const
{
    auto it = std::lower_bound(m_virtual.begin(), m_virtual.end(), offset);
    const auto end = std::lower_bound(it, m_virtual.end(), offset + raw.size());
    QString out;
    out.reserve(raw.size() - (end - it));
    qsizetype at = 0;
    for (; it != end; ++it) {
        out += raw.mid(at, *it - offset - at);
        at = *it - offset + 1;
    }
    out += raw.mid(at);
    return out;
}

int RichEdit::textLength() const
{
    const QTextDocument* doc = document();
    return doc->characterCount() - 1 + doc->blockCount() - 1 - 2 * static_cast<int>(m_virtual.size());
}

QString RichEdit::textRange(int start, int length) const
{
    const int end = std::min(start + length, textLength());
    start = std::max(start, 0);
    if (start >= end)
        return QString();
    // A range may start or end between the CR and the LF of a break: take the whole break
    // and trim the half that lies outside.
    const int from = toDocumentPosition(start);
    const bool startsInBreak = toCrlfPosition(from) < start;
    int to = toDocumentPosition(end);
    const bool endsInBreak = toCrlfPosition(to) < end;
    if (endsInBreak)
        ++to;
    QString out = rawRange(from, to);
    if (startsInBreak)
        out.remove(0, 1);
    if (endsInBreak)
        out.chop(1);
    putBackHeld(out, start, from, to);
    return out;
}

QString RichEdit::rawRange(int from, int to) const
{
    const QTextDocument* doc = document();
    if (2 * (to - from) >= doc->characterCount()) {
        // Most of the page (a load, a snapshot of a replaced page): one copy of the raw text
        // is several times quicker than gathering it fragment by fragment through a cursor.
        const QString raw = doc->toRawText();
        if (m_virtual.empty())
            return toLineBreaks(QStringView(raw).mid(from, to - from));
        return toLineBreaks(withoutDisplayBreaks(QStringView(raw).mid(from, to - from), from));
    }
    // Gathered from the fragments that overlap the range. A cursor placed there would lay its
    // block out again just to compute its x position, which after an edit costs a full
    // re-shaping of the line: per keystroke, and on a long line, far more than the keystroke.
    QString raw;
    raw.reserve(to - from);
    visitRange(
        doc, from, to, [&](QStringView piece, const QTextFragment&) { raw += piece; },
        [&](int at) {
            if (!isDisplayBreakAt(at))
                raw += QChar::ParagraphSeparator;
        });
    return toLineBreaks(raw);
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

QString RichEdit::selText() const
{
    if (!m_virtual.empty())
        return textRange(selStart(), selLength());
    const QTextCursor c = textCursor();
    QString out = toLineBreaks(c.selectedText());
    putBackHeld(out, toCrlfPosition(c.selectionStart()), c.selectionStart(), c.selectionEnd());
    return out;
}

QMimeData* RichEdit::createMimeDataFromSelection() const
{
    if (m_virtual.empty())
        return QPlainTextEdit::createMimeDataFromSelection();
    // The selection as the widget would give it (a line break as "\n"), without the
    // display-only breaks.
    auto* data = new QMimeData;
    data->setText(selText().replace(QLatin1String("\r\n"), QLatin1String("\n")));
    return data;
}

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
    format = unmarked(format);
    const QString paragraphs = toParagraphs(text);
    if (paragraphs.isEmpty()) {
        c.removeSelectedText();
    } else if (paragraphs.size() <= splitAt) {
        insertHolding(c, paragraphs, format, m_holds);
    } else {
        // A long line (a paste of a minified page) goes in already cut into display blocks,
        // so that the widget never lays out the whole line at once; shorter ones are cut,
        // where a long line needs it, once they are in.
        std::vector<qsizetype> cuts;
        qsizetype lineStart = 0;
        for (qsizetype at = 0; at <= paragraphs.size(); ++at) {
            if (at < paragraphs.size() && paragraphs[at] != QLatin1Char('\n'))
                continue;
            if (at - lineStart > splitAt)
                for (const qsizetype cut : cutsOf(QStringView(paragraphs).mid(lineStart, at - lineStart), piece))
                    cuts.push_back(lineStart + cut);
            lineStart = at + 1;
        }
        if (cuts.empty()) {
            insertHolding(c, paragraphs, format, m_holds);
        } else {
            c.beginEditBlock();
            c.removeSelectedText();
            qsizetype from = 0;
            for (const qsizetype cut : cuts) {
                insertHolding(c, paragraphs.mid(from, cut - from), format, m_holds);
                c.insertBlock(c.blockFormat(), displayBreakFormat());
                from = cut;
            }
            insertHolding(c, paragraphs.mid(from), format, m_holds);
            m_addedVirtual = true;
            c.endEditBlock();
        }
    }
    setTextCursor(c);
    reflow();
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

int RichEdit::find(const QString& text, bool wholeWord, bool matchCase)
{
    if (text.isEmpty())
        return -1;
    // Searched in the widget's own text, where a line break is one paragraph separator.
    // A character the widget holds as a stand-in is looked for as its stand-in.
    QString needle = toParagraphs(text);
    for (QChar& c : needle)
        if (mustBeHeld(c.unicode()))
            c = standInFor(c.unicode());
    needle.replace(QLatin1Char('\n'), QChar::ParagraphSeparator);
    const QString raw = m_virtual.empty() ? document()->toRawText()
                                          : withoutDisplayBreaks(document()->toRawText(), 0);
    // A position in `raw` as a position of the widget's own: every display-only break before
    // it adds one (m_virtual[i] - i is where the i-th one stands in `raw`).
    const auto widgetPosition = [this](qsizetype at) {
        qsizetype before = 0;
        qsizetype lo = 0;
        qsizetype hi = static_cast<qsizetype>(m_virtual.size());
        while (lo < hi) {
            const qsizetype mid = lo + (hi - lo) / 2;
            if (m_virtual[static_cast<std::size_t>(mid)] - mid < at)
                lo = mid + 1, before = lo;
            else
                hi = mid;
        }
        return static_cast<int>(at + before);
    };
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const auto isWordChar = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    for (qsizetype at = raw.indexOf(needle, 0, cs); at >= 0; at = raw.indexOf(needle, at + 1, cs)) {
        const qsizetype end = at + needle.size();
        if (wholeWord && ((at > 0 && isWordChar(raw.at(at - 1))) ||
                          (end < raw.size() && isWordChar(raw.at(end)))))
            continue;
        QTextCursor c = textCursor();
        c.setPosition(widgetPosition(at));
        c.setPosition(widgetPosition(end), QTextCursor::KeepAnchor);
        setTextCursor(c);
        return toCrlfPosition(c.selectionStart());
    }
    return -1;
}

namespace {

// Maps CR LF positions to document positions for positions given in ascending order, walking
// the blocks once instead of searching for each.
class AscendingMap {
public:
    explicit AscendingMap(const QTextDocument* doc) : m_block(doc->begin()) {}
    int operator()(int crlf)
    {
        for (QTextBlock next = m_block.next(); next.isValid(); next = m_block.next()) {
            if (next.position() + m_number + 1 > crlf)
                break;
            m_block = next;
            ++m_number;
        }
        const int offset = std::max(0, crlf - (m_block.position() + m_number));
        // A position between the CR and the LF of a break stays at the end of the line.
        return m_block.position() + std::min(offset, m_block.length() - 1);
    }

private:
    QTextBlock m_block;
    int m_number = 0;
};

// Appends the text of [from, to) to `text`, line breaks as "\r\n", and the looks of its runs
// to `looks`. Returns the format of the first character.
template <class IsDisplayBreak>
QTextCharFormat collectRange(const QTextDocument* doc, int from, int to, QString& text,
                             std::vector<SpliceSet::Look>& looks, IsDisplayBreak isDisplayBreak)
{
    QTextCharFormat first;
    bool haveFirst = false;
    visitRange(
        doc, from, to,
        [&](QStringView piece, const QTextFragment& f) {
            const QTextCharFormat format = unmarked(f.charFormat());
            if (!haveFirst) {
                first = format;
                haveFirst = true;
            }
            if (looks.empty() || looks.back().format != format)
                looks.push_back({static_cast<int>(text.size()), format});
            text += piece;
        },
        [&](int at) {
            if (!isDisplayBreak(at))
                text += QLatin1String("\r\n");
        });
    return first;
}

} // namespace

SpliceSet RichEdit::applySplices(const SpliceSet& set)
{
    SpliceSet back;
    if (set.empty())
        return back;
    QTextDocument* doc = document();
    const int length = textLength();
    const std::size_t n = set.splices.size();

    // Where each splice stands in the document, and what it takes out (the set that takes
    // the splices back, in the new text's positions) with its looks, in one forward pass.
    struct Span {
        int from;
        int to;
        int offset; // of its inserted run in set.text
        QTextCharFormat look;
    };
    std::vector<Span> spans;
    spans.reserve(n);
    back.splices.reserve(n);
    AscendingMap map(doc);
    int floor = 0;
    int offset = 0;
    qsizetype shift = 0;
    for (const SpliceSet::Splice& s : set.splices) {
        const int a = std::clamp(s.pos, floor, length);
        const int b = std::clamp(s.pos + s.removed, a, length);
        floor = b;
        Span span{0, 0, offset, {}};
        if (m_virtual.empty()) {
            span.from = map(a);
            span.to = map(b);
        } else {
            span.from = toDocumentPosition(a);
            span.to = toDocumentPosition(b);
        }
        const int before = static_cast<int>(back.text.size());
        span.look = collectRange(doc, span.from, span.to, back.text, back.looks,
                                 [this](int at) { return isDisplayBreakAt(at); });
        if (span.from == span.to) {
            QTextCursor at(doc);
            at.setPosition(span.from);
            span.look = unmarked(at.charFormat());
        }
        const int taken = static_cast<int>(back.text.size()) - before;
        back.splices.push_back({static_cast<int>(a + shift), s.inserted, taken});
        shift += s.inserted - taken;
        offset += s.inserted;
        spans.push_back(std::move(span));
    }

    // The edits from the last to the first, so that positions before them stay valid.
    QTextCursor c(doc);
    c.beginEditBlock();
    std::size_t look = set.looks.size();
    for (std::size_t i = n; i-- > 0;) {
        const Span& span = spans[i];
        const int runEnd = span.offset + set.splices[i].inserted;
        c.setPosition(span.from);
        c.setPosition(span.to, QTextCursor::KeepAnchor);
        if (runEnd == span.offset) {
            c.removeSelectedText();
            continue;
        }
        if (set.looks.empty()) {
            insertHolding(c, toParagraphs(set.text.mid(span.offset, runEnd - span.offset)), span.look,
                          m_holds);
            continue;
        }
        // The run in pieces of one look each, first to last.
        while (look > 0 && set.looks[look - 1].from >= runEnd)
            --look;
        std::size_t first = look;
        while (first > 0 && set.looks[first - 1].from > span.offset)
            --first;
        const std::size_t startLook = first == 0 ? 0 : first - 1;
        for (std::size_t k = startLook; k < look; ++k) {
            const int a = k == startLook ? span.offset : set.looks[k].from;
            const int e = k + 1 < set.looks.size() ? std::min(runEnd, set.looks[k + 1].from) : runEnd;
            if (e > a)
                insertHolding(c, toParagraphs(set.text.mid(a, e - a)),
                              unmarked(set.looks[k].format), m_holds);
        }
    }
    c.endEditBlock();
    reflow();
    return back;
}

void RichEdit::hideSelection(bool hide) { viewport()->setUpdatesEnabled(!hide); }

void RichEdit::setWholeText(const QString& text) { insertWhole({toParagraphs(text)}, {QTextCharFormat()}); }

void RichEdit::setWholeRuns(const platform::rtf::Runs& runs)
{
    QStringList parts;
    std::vector<QTextCharFormat> formats;
    parts.reserve(static_cast<qsizetype>(runs.size()));
    formats.reserve(runs.size());
    for (const platform::rtf::Run& run : runs) {
        parts.append(toParagraphs(run.text));
        QTextCharFormat format;
        format.setForeground(QColor::fromRgb(run.colour));
        formats.push_back(format);
    }
    insertWhole(parts, formats);
}

void RichEdit::insertWhole(const QStringList& parts, const std::vector<QTextCharFormat>& formats,
                           bool marksLineEnds)
{
    // Where the long lines are cut, as offsets in the parts taken one after another. Lines
    // are found with Qt's vectorised search; the parts are never joined (an editing file can
    // hold millions of runs).
    std::vector<qsizetype> cuts;
    {
        std::size_t part = 0;
        qsizetype partStart = 0;
        const auto charAt = [&](qsizetype at) {
            while (at < partStart) {
                --part;
                partStart -= parts.at(static_cast<qsizetype>(part)).size();
            }
            while (at >= partStart + parts.at(static_cast<qsizetype>(part)).size()) {
                partStart += parts.at(static_cast<qsizetype>(part)).size();
                ++part;
            }
            return parts.at(static_cast<qsizetype>(part)).at(at - partStart);
        };
        const auto cutLine = [&](qsizetype start, qsizetype end) {
            // As cutsOf(), over the parts.
            while (end - start > piece) {
                qsizetype at = -1;
                for (qsizetype i = start + piece; i > start + piece / 2; --i) {
                    const QChar c = charAt(i - 1);
                    if (c == QLatin1Char('>') || c == QLatin1Char(' ')) {
                        at = i;
                        break;
                    }
                }
                if (at < 0) {
                    at = start + piece;
                    if (charAt(at - 1).isHighSurrogate())
                        --at;
                }
                cuts.push_back(at);
                start = at;
            }
        };
        qsizetype lineStart = 0;
        qsizetype base = 0;
        for (const QString& text : parts) {
            for (qsizetype at = text.indexOf(QLatin1Char('\n')); at >= 0;
                 at = text.indexOf(QLatin1Char('\n'), at + 1)) {
                if (base + at - lineStart > splitAt)
                    cutLine(lineStart, base + at);
                lineStart = base + at + 1;
            }
            base += text.size();
        }
        if (base - lineStart > splitAt)
            cutLine(lineStart, base);
    }

    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.removeSelectedText(); // first, so that a change of wrapping does not lay out the old text
    // No display block is long enough to need wrapping anywhere (which Qt lays out in linear
    // time where word wrapping of a break-less line takes quadratic time).
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QTextBlockFormat blockFormat = c.blockFormat();
    const QTextCharFormat breakFormat = displayBreakFormat();
    m_loadedVirtual.clear();
    m_loadedVirtual.reserve(cuts.size());
    m_holds = false;
    m_marksLineEnds = marksLineEnds;
    std::size_t next = 0;
    qsizetype base = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& text = parts.at(i);
        const QTextCharFormat& format = formats[static_cast<std::size_t>(i)];
        qsizetype from = 0;
        for (; next < cuts.size() && cuts[next] < base + text.size(); ++next) {
            const qsizetype at = cuts[next] - base;
            if (at > from)
                insertHolding(c, text.mid(from, at - from), format, m_holds);
            m_loadedVirtual.push_back(static_cast<int>(cuts[next] + static_cast<qsizetype>(next)));
            c.insertBlock(blockFormat, breakFormat);
            from = at;
        }
        if (from == 0)
            insertHolding(c, text, format, m_holds);
        else if (from < text.size())
            insertHolding(c, text.mid(from), format, m_holds);
        base += text.size();
    }
    m_replacingAll = true;
    c.endEditBlock();
    m_replacingAll = false;
    m_dirtyFrom = m_dirtyTo = -1; // the blocks are cut as they should be
}

platform::rtf::Runs RichEdit::runs() const
{
    platform::rtf::Runs out;
    const QTextDocument* doc = document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat format = f.charFormat();
            const QBrush brush = format.foreground();
            const QRgb colour = brush.style() == Qt::NoBrush ? platform::rtf::defaultColour
                                                             : brush.color().rgb();
            QString text = f.text();
            if (m_holds && format.hasProperty(heldProperty)) {
                const auto held = static_cast<char16_t>(format.intProperty(heldProperty));
                text.replace(standInFor(held), QChar(held));
            }
            platform::rtf::append(out, text, colour);
        }
        if (b.next().isValid() && !isDisplayBreakAt(b.position() + b.length() - 1)) {
            if (out.empty())
                out.push_back({QStringLiteral("\r\n"), platform::rtf::defaultColour});
            else
                out.back().text += QLatin1String("\r\n");
        }
    }
    return out;
}

RichEdit::ColourCapture RichEdit::captureColours() const
{
    // One copy of the text and a walk over the fragments that reads only their length and
    // format number: no text or format object is made per fragment.
    const QTextDocument* doc = document();
    ColourCapture capture{m_virtual.empty() ? doc->toRawText()
                                            : withoutDisplayBreaks(doc->toRawText(), 0),
                          {}, {}};
    std::vector<QRgb> colourOfFormat;
    std::vector<char16_t> heldOfFormat; // the character a format's stand-ins hold, or 0
    const QList<QTextFormat> formats = doc->allFormats();
    colourOfFormat.reserve(static_cast<std::size_t>(formats.size()));
    for (const QTextFormat& f : formats) {
        const QBrush brush = f.foreground();
        colourOfFormat.push_back(brush.style() == Qt::NoBrush ? platform::rtf::defaultColour
                                                              : brush.color().rgb());
        if (m_holds)
            heldOfFormat.push_back(static_cast<char16_t>(f.intProperty(heldProperty)));
    }
    auto& spans = capture.spans;
    const auto add = [&spans](int length, QRgb colour) {
        if (!spans.empty() && spans.back().second == colour)
            spans.back().first += length;
        else
            spans.emplace_back(length, colour);
    };
    qsizetype rawAt = 0; // where the fragment stands in capture.raw
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int index = f.charFormatIndex();
            const bool known = index >= 0 && index < int(colourOfFormat.size());
            add(f.length(), known ? colourOfFormat[std::size_t(index)] : platform::rtf::defaultColour);
            if (const char16_t held = known && m_holds ? heldOfFormat[std::size_t(index)] : 0) {
                for (qsizetype k = rawAt; k < rawAt + f.length(); ++k)
                    if (capture.raw.at(k) == standInFor(held))
                        capture.held.emplace_back(k, held);
            }
            rawAt += f.length();
        }
        if (b.next().isValid() && !isDisplayBreakAt(b.position() + b.length() - 1)) {
            // A line break joins the stretch before it.
            if (spans.empty())
                spans.emplace_back(1, platform::rtf::defaultColour);
            else
                ++spans.back().first;
            ++rawAt;
        }
    }
    return capture;
}

platform::rtf::Runs RichEdit::runsOf(const ColourCapture& capture)
{
    platform::rtf::Runs out;
    qsizetype at = 0;
    auto held = capture.held.cbegin();
    for (const auto& [length, colour] : capture.spans) {
        const QStringView raw = QStringView(capture.raw).mid(at, length);
        QString text = toLineBreaks(raw);
        for (; held != capture.held.cend() && held->first < at + length; ++held) {
            // Each break before it in the stretch has become two characters.
            const qsizetype before = held->first - at;
            text[before + raw.first(before).count(QChar::ParagraphSeparator)] = QChar(held->second);
        }
        platform::rtf::append(out, text, colour);
        at += length;
    }
    return out;
}

void RichEdit::trackDisplayBreaks(int position, int charsRemoved, int charsAdded)
{
    if (m_replacingAll) {
        m_virtual.swap(m_loadedVirtual);
        m_loadedVirtual = std::vector<int>();
        m_addedVirtual = false;
        return;
    }
    if (m_virtual.empty() && !m_addedVirtual)
        return; // an ordinary page: nothing to follow
    // The breaks in the replaced range are gone; those after it moved. A change reported for
    // a range that was only partly edited (one edit block) keeps some: they are found again
    // by their mark, as are the breaks the change brought.
    const auto first = std::lower_bound(m_virtual.begin(), m_virtual.end(), position);
    const auto last = std::lower_bound(first, m_virtual.end(), position + charsRemoved);
    const bool lost = first != last;
    const auto kept = m_virtual.erase(first, last);
    const int shift = charsAdded - charsRemoved;
    for (auto it = kept; it != m_virtual.end(); ++it)
        *it += shift;
    if (!lost && !m_addedVirtual)
        return;
    m_addedVirtual = false;
    std::vector<int> found;
    const int end = position + charsAdded;
    for (QTextBlock b = document()->findBlock(position); b.isValid(); b = b.next()) {
        const int separator = b.position() + b.length() - 1;
        if (separator >= end)
            break;
        if (separator >= position && endsMarked(b))
            found.push_back(separator);
    }
    const auto at = std::lower_bound(m_virtual.begin(), m_virtual.end(), position);
    m_virtual.insert(at, found.begin(), found.end());
}

void RichEdit::noteDirty(int from, int to)
{
    if (m_dirtyFrom < 0) {
        m_dirtyFrom = from;
        m_dirtyTo = to;
    } else {
        m_dirtyFrom = std::min(m_dirtyFrom, from);
        m_dirtyTo = std::max(m_dirtyTo, to);
    }
    if (!m_reflowQueued) {
        // Edits made straight through the document (not through this class) are looked at
        // once control returns to the event loop.
        m_reflowQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_reflowQueued = false;
                reflow();
            },
            Qt::QueuedConnection);
    }
}

void RichEdit::reflow()
{
    if (m_dirtyFrom < 0 || m_reflowing > 0)
        return;
    QTextDocument* doc = document();
    const int to = std::min(m_dirtyTo, doc->characterCount() - 1);
    QTextBlock b = doc->findBlock(std::min(m_dirtyFrom, to));
    m_dirtyFrom = m_dirtyTo = -1;
    if (m_virtual.empty()) {
        // An ordinary page: only a line grown past splitAt needs cutting. Block lengths are
        // read as the blocks are walked (a block's position costs a search of the document).
        std::vector<int> cuts;
        for (int position = b.position(); b.isValid() && position <= to; b = b.next()) {
            const int length = b.length() - 1;
            if (length > splitAt)
                for (const qsizetype cut : cutsOf(b.text(), piece))
                    cuts.push_back(position + static_cast<int>(cut));
            position += length + 1;
        }
        if (cuts.empty())
            return;
        ++m_reflowing;
        QTextCursor c(doc);
        c.beginEditBlock();
        for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
            c.setPosition(*cut);
            c.insertBlock(c.blockFormat(), displayBreakFormat());
        }
        m_addedVirtual = true;
        c.endEditBlock();
        --m_reflowing;
        return;
    }
    if (continuesLine(b))
        b = b.previous();

    // First what to do, read from the blocks as they are: display-only breaks to remove
    // (merges, chained while the blocks fit one piece) and places to cut.
    std::vector<int> merges;
    std::vector<int> cuts;
    int run = b.length() - 1; // the block, with the ones merged into it
    for (; b.isValid() && b.position() <= to; b = b.next()) {
        const int length = b.length() - 1;
        const int separator = b.position() + length;
        const QTextBlock next = b.next();
        if (next.isValid() && isDisplayBreakAt(separator)) {
            const int nextLength = next.length() - 1;
            if (run == 0 || nextLength == 0 || run + nextLength <= piece) {
                merges.push_back(separator);
                run += nextLength;
                continue;
            }
        }
        const bool nearBreak = isDisplayBreakAt(separator) || continuesLine(b);
        if (run == length && (length > splitAt || (length > 2 * piece && nearBreak)))
            for (const qsizetype cut : cutsOf(b.text(), piece))
                cuts.push_back(b.position() + static_cast<int>(cut));
        run = next.isValid() ? next.length() - 1 : 0;
    }
    if (merges.empty() && cuts.empty())
        return;

    // Then the edits, from the last place to the first so that the places before stay valid.
    ++m_reflowing;
    QTextCursor c(doc);
    c.beginEditBlock();
    const QTextCharFormat breakFormat = displayBreakFormat();
    auto merge = merges.rbegin();
    auto cut = cuts.rbegin();
    while (merge != merges.rend() || cut != cuts.rend()) {
        if (cut == cuts.rend() || (merge != merges.rend() && *merge > *cut)) {
            c.setPosition(*merge);
            c.setPosition(*merge + 1, QTextCursor::KeepAnchor);
            c.removeSelectedText();
            ++merge;
        } else {
            c.setPosition(*cut);
            c.insertBlock(c.blockFormat(), breakFormat);
            ++cut;
        }
    }
    m_addedVirtual = m_addedVirtual || !cuts.empty();
    c.endEditBlock();
    --m_reflowing;
}

void RichEdit::onContentsChange(int position, int charsRemoved, int charsAdded)
{
    trackDisplayBreaks(position, charsRemoved, charsAdded);
    const int newLength = textLength();
    if (m_formatting > 0 || m_reflowing > 0) {
        m_lastLength = newLength;
        return;
    }
    if (m_dirtyFrom >= 0) {
        // Keep the range still to be looked at in step with the text.
        const auto moved = [&](int p) {
            return p >= position + charsRemoved ? p + charsAdded - charsRemoved
                                                : std::min(p, position + charsAdded);
        };
        m_dirtyFrom = moved(m_dirtyFrom);
        m_dirtyTo = moved(m_dirtyTo);
    }
    noteDirty(position, position + charsAdded);
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
    const Qt::KeyboardModifiers shiftState = e->modifiers() & shiftStateMask;
    if (!m_virtual.empty() && !textCursor().hasSelection()) {
        // At a display-only break the caret may stand at the end of the block before it or
        // at the start of the one after it: one place in the text. Deleting, typing and
        // Enter act there as they would in the middle of a line.
        QTextCursor c = textCursor();
        const int p = c.position();
        const bool afterBreak = p > 0 && c.atBlockStart() && isDisplayBreakAt(p - 1);
        const bool beforeBreak = c.atBlockEnd() && isDisplayBreakAt(p);
        const bool typing = !e->text().isEmpty() && e->text().front().isPrint();
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if (afterBreak && (e->key() == Qt::Key_Backspace || typing || enter)) {
            c.setPosition(p - 1);
            setTextCursor(c);
        } else if (beforeBreak && e->key() == Qt::Key_Delete) {
            c.setPosition(p + 1);
            setTextCursor(c);
        }
    }
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        (shiftState == Qt::NoModifier || shiftState == Qt::ShiftModifier) && !isReadOnly()) {
        // Enter puts a paragraph break in place of the selection, as one change, in the
        // insertion colour, which stays in force for what is typed next (also when the break
        // is made in front of text of another colour). The widget's own handling would make
        // Shift+Enter a line separator inside the paragraph, and on an empty line it first
        // reformats the line as a change of its own, which would be recorded as an extra
        // undo step.
        QTextCursor c = textCursor();
        const QTextCharFormat insertion = unmarked(c.charFormat());
        c.insertBlock(c.blockFormat(), insertion);
        setTextCursor(c);
        setCurrentCharFormat(insertion);
        reflow();
        ensureCursorVisible();
        e->accept();
        return;
    }
    const bool sideways = e->key() == Qt::Key_Left || e->key() == Qt::Key_Right;
    const int before = textCursor().position();
    const int beforeCrlf = sideways && !m_virtual.empty() ? toCrlfPosition(before) : -1;
    QPlainTextEdit::keyPressEvent(e);
    // Stepping over a display-only break moves the caret from one block to the next without
    // moving it in the text: take the step a character further.
    if (beforeCrlf >= 0 && textCursor().position() != before &&
        toCrlfPosition(textCursor().position()) == beforeCrlf)
        QPlainTextEdit::keyPressEvent(e);
    reflow();
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
