#include "document/RichEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// Both conversions run in one pass with one allocation. QString::replace of one character by
// two grows the string in many steps, which made these the costliest part of opening a page.
QString toLineBreaks(QStringView text)
{
    // This runs over whole pages on every open and save: count and find the breaks with Qt's
    // vectorised searches and copy the text between them a line at a time. A line separator
    // (never made by the editor itself) is a break too.
    const QChar paragraph = QChar::ParagraphSeparator;
    const QChar line = QChar::LineSeparator;
    const qsizetype lineSeparators = text.count(line);
    const qsizetype breaks = text.count(paragraph) + lineSeparators;
    if (breaks == 0)
        return text.toString();
    QString out(text.size() + breaks, Qt::Uninitialized);
    QChar* dst = out.data();
    const auto nextBreak = [&](qsizetype from) {
        const qsizetype p = text.indexOf(paragraph, from);
        if (lineSeparators == 0)
            return p;
        const qsizetype l = text.indexOf(line, from);
        return p < 0 ? l : (l < 0 ? p : std::min(p, l));
    };
    qsizetype from = 0;
    for (qsizetype at = nextBreak(0); at >= 0; at = nextBreak(from)) {
        dst = std::copy(text.begin() + from, text.begin() + at, dst);
        *dst++ = QLatin1Char('\r');
        *dst++ = QLatin1Char('\n');
        from = at + 1;
    }
    std::copy(text.begin() + from, text.end(), dst);
    return out;
}

QString toParagraphs(const QString& text)
{
    const auto needsWork = [](QChar c) {
        return c == QLatin1Char('\r') || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    };
    if (std::none_of(text.cbegin(), text.cend(), needsWork))
        return text;
    // "\r\n", a lone "\r", and the Unicode line and paragraph separators each become "\n".
    QString out(text.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    const QChar* src = text.constData();
    const QChar* const end = src + text.size();
    for (; src != end; ++src) {
        if (!needsWork(*src)) {
            *dst++ = *src;
            continue;
        }
        if (*src == QLatin1Char('\r') && src + 1 != end && src[1] == QLatin1Char('\n'))
            ++src;
        *dst++ = QLatin1Char('\n');
    }
    out.truncate(dst - out.constData());
    return out;
}

// Calls piece(text, fragment) for each stretch of [from, to) that lies in one fragment, and
// lineBreak() for each line break in the range, in the order of the text.
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
            lineBreak();
    }
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
    return out;
}

QString RichEdit::rawRange(int from, int to) const
{
    const QTextDocument* doc = document();
    if (2 * (to - from) >= doc->characterCount()) {
        // Most of the page (a load, a snapshot of a replaced page): one copy of the raw text
        // is several times quicker than gathering it fragment by fragment through a cursor.
        const QString raw = doc->toRawText();
        return toLineBreaks(QStringView(raw).mid(from, to - from));
    }
    // Gathered from the fragments that overlap the range. A cursor placed there would lay its
    // block out again just to compute its x position, which after an edit costs a full
    // re-shaping of the line: per keystroke, and on a long line, far more than the keystroke.
    QString raw;
    raw.reserve(to - from);
    visitRange(
        doc, from, to, [&](QStringView piece, const QTextFragment&) { raw += piece; },
        [&] { raw += QChar::ParagraphSeparator; });
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

int RichEdit::find(const QString& text, bool wholeWord, bool matchCase)
{
    if (text.isEmpty())
        return -1;
    // Searched in the widget's own text, where a line break is one paragraph separator.
    const QString needle = toParagraphs(text).replace(QLatin1Char('\n'), QChar::ParagraphSeparator);
    const QString raw = document()->toRawText();
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const auto isWordChar = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    for (qsizetype at = raw.indexOf(needle, 0, cs); at >= 0; at = raw.indexOf(needle, at + 1, cs)) {
        const qsizetype end = at + needle.size();
        if (wholeWord && ((at > 0 && isWordChar(raw.at(at - 1))) ||
                          (end < raw.size() && isWordChar(raw.at(end)))))
            continue;
        QTextCursor c = textCursor();
        c.setPosition(static_cast<int>(at));
        c.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
        setTextCursor(c);
        return toCrlfPosition(static_cast<int>(at));
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
QTextCharFormat collectRange(const QTextDocument* doc, int from, int to, QString& text,
                             std::vector<SpliceSet::Look>& looks)
{
    QTextCharFormat first;
    bool haveFirst = false;
    visitRange(
        doc, from, to,
        [&](QStringView piece, const QTextFragment& f) {
            const QTextCharFormat format = f.charFormat();
            if (!haveFirst) {
                first = format;
                haveFirst = true;
            }
            if (looks.empty() || looks.back().format != format)
                looks.push_back({static_cast<int>(text.size()), format});
            text += piece;
        },
        [&] { text += QLatin1String("\r\n"); });
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
        Span span{map(a), map(b), offset, {}};
        const int before = static_cast<int>(back.text.size());
        span.look = collectRange(doc, span.from, span.to, back.text, back.looks);
        if (span.from == span.to) {
            QTextCursor at(doc);
            at.setPosition(span.from);
            span.look = at.charFormat();
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
            c.insertText(toParagraphs(set.text.mid(span.offset, runEnd - span.offset)), span.look);
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
                c.insertText(toParagraphs(set.text.mid(a, e - a)), set.looks[k].format);
        }
    }
    c.endEditBlock();
    return back;
}

void RichEdit::hideSelection(bool hide) { viewport()->setUpdatesEnabled(!hide); }

void RichEdit::setWholeText(const QString& text)
{
    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    const QString paragraphs = toParagraphs(text);
    fitWrapToLongestLine({paragraphs});
    c.insertText(paragraphs, QTextCharFormat());
    c.endEditBlock();
}

void RichEdit::setWholeRuns(const platform::rtf::Runs& runs)
{
    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.removeSelectedText(); // first, so that a change of wrapping does not lay out the old text
    QStringList paragraphs;
    paragraphs.reserve(static_cast<qsizetype>(runs.size()));
    for (const platform::rtf::Run& run : runs)
        paragraphs.append(toParagraphs(run.text));
    fitWrapToLongestLine(paragraphs);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        QTextCharFormat format;
        format.setForeground(QColor::fromRgb(runs[i].colour));
        c.insertText(paragraphs.at(static_cast<qsizetype>(i)), format);
    }
    c.endEditBlock();
}

void RichEdit::fitWrapToLongestLine(const QStringList& paragraphs)
{
    // Qt lays out a line that has no break opportunity at word-boundary wrapping in time that
    // grows with the square of its length (a 512 KiB line takes many seconds, and again at
    // every keystroke in it); wrapping anywhere lays it out in linear time. The mode must be
    // set before the text goes in: the control lays out as the text is inserted.
    qsizetype longest = 0;
    qsizetype current = 0;
    for (const QString& text : paragraphs) {
        for (const QChar c : text) {
            if (c == QLatin1Char('\n'))
                current = 0;
            else
                longest = std::max(longest, ++current);
        }
    }
    setWordWrapMode(longest > longLine ? QTextOption::WrapAnywhere
                                       : QTextOption::WrapAtWordBoundaryOrAnywhere);
}
platform::rtf::Runs RichEdit::runs() const
{
    platform::rtf::Runs out;
    const QTextDocument* doc = document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QBrush brush = f.charFormat().foreground();
            const QRgb colour = brush.style() == Qt::NoBrush ? platform::rtf::defaultColour
                                                             : brush.color().rgb();
            platform::rtf::append(out, toLineBreaks(f.text()), colour);
        }
        if (b.next().isValid()) {
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
    ColourCapture capture{doc->toRawText(), {}};
    std::vector<QRgb> colourOfFormat;
    const QList<QTextFormat> formats = doc->allFormats();
    colourOfFormat.reserve(static_cast<std::size_t>(formats.size()));
    for (const QTextFormat& f : formats) {
        const QBrush brush = f.foreground();
        colourOfFormat.push_back(brush.style() == Qt::NoBrush ? platform::rtf::defaultColour
                                                              : brush.color().rgb());
    }
    auto& spans = capture.spans;
    const auto add = [&spans](int length, QRgb colour) {
        if (!spans.empty() && spans.back().second == colour)
            spans.back().first += length;
        else
            spans.emplace_back(length, colour);
    };
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int index = f.charFormatIndex();
            add(f.length(), index >= 0 && index < int(colourOfFormat.size())
                                ? colourOfFormat[std::size_t(index)]
                                : platform::rtf::defaultColour);
        }
        if (b.next().isValid()) {
            // A line break joins the stretch before it.
            if (spans.empty())
                spans.emplace_back(1, platform::rtf::defaultColour);
            else
                ++spans.back().first;
        }
    }
    return capture;
}

platform::rtf::Runs RichEdit::runsOf(const ColourCapture& capture)
{
    platform::rtf::Runs out;
    qsizetype at = 0;
    for (const auto& [length, colour] : capture.spans) {
        platform::rtf::append(out, toLineBreaks(QStringView(capture.raw).mid(at, length)), colour);
        at += length;
    }
    return out;
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
    const Qt::KeyboardModifiers shiftState = e->modifiers() & shiftStateMask;
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        (shiftState == Qt::NoModifier || shiftState == Qt::ShiftModifier) && !isReadOnly()) {
        // Enter puts a paragraph break in place of the selection, as one change, in the
        // insertion colour, which stays in force for what is typed next (also when the break
        // is made in front of text of another colour). The widget's own handling would make
        // Shift+Enter a line separator inside the paragraph, and on an empty line it first
        // reformats the line as a change of its own, which would be recorded as an extra
        // undo step.
        QTextCursor c = textCursor();
        const QTextCharFormat insertion = c.charFormat();
        c.insertBlock(c.blockFormat(), insertion);
        setTextCursor(c);
        setCurrentCharFormat(insertion);
        ensureCursorVisible();
        e->accept();
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
