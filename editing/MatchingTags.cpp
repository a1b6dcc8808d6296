#include "editing/MatchingTags.h"

#include "document/RichEdit.h"
#include "editing/SelectionLayers.h"
#include "editing/SyntaxColours.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

namespace editing {

namespace {

// Soft backgrounds: a pale green behind a tag and its partner, a pale orange behind a tag
// that has none.
const QColor matchedColour(214, 236, 204);
const QColor unmatchedColour(250, 214, 190);
// The marks follow the caret once it rests this long (a match across a big element reads
// much of the page).
constexpr int restMs = 40;

class TagMarker : public QObject {
  public:
    static constexpr const char* name = "halvaneMatchingTags";

    explicit TagMarker(RichEdit* edit) : QObject(edit), m_edit(edit) {
        setObjectName(QLatin1String(name));
        m_timer.setSingleShot(true);
        m_timer.setInterval(restMs);
        connect(&m_timer, &QTimer::timeout, this, &TagMarker::mark);
        connect(edit, &QPlainTextEdit::cursorPositionChanged, &m_timer,
                qOverload<>(&QTimer::start));
        connect(edit, &RichEdit::changed, &m_timer, qOverload<>(&QTimer::start));
        m_timer.start();
    }

  private:
    void mark() {
        QList<QTextEdit::ExtraSelection> marks;
        const BlockPage page(m_edit);
        const QTextCursor caret = m_edit->textCursor();
        if (!caret.hasSelection()) {
            if (const auto match = markup::matchingTag(page, page.toPage(caret.position()))) {
                const bool matched = match->status != markup::TagStatus::Unmatched;
                const auto add = [&](const markup::Range& r) {
                    QTextEdit::ExtraSelection s;
                    s.cursor = QTextCursor(m_edit->document());
                    s.cursor.setPosition(page.toDocument(r.start));
                    s.cursor.setPosition(page.toDocument(r.end), QTextCursor::KeepAnchor);
                    s.format.setBackground(matched ? matchedColour : unmatchedColour);
                    marks.append(s);
                };
                // A void element has no partner to show: nothing to mark.
                if (match->status != markup::TagStatus::Void) {
                    add(match->tag);
                    if (match->partner)
                        add(*match->partner);
                }
            }
        }
        if (!marks.isEmpty() || !layer(m_edit, Layer::MatchingTag).isEmpty())
            setLayer(m_edit, Layer::MatchingTag, marks);
    }

    RichEdit* m_edit;
    QTimer m_timer;
};

} // namespace

BlockPage::BlockPage(const RichEdit* edit)
    : m_edit(edit), m_layer(SyntaxColours::of(edit)), m_plain(edit->displayBreakCount() == 0) {}

int BlockPage::pieceCount() const {
    return m_edit->document()->blockCount();
}

QTextBlock BlockPage::block(int i) const {
    if (m_lastNumber >= 0 && m_last.isValid()) {
        if (i == m_lastNumber)
            return m_last;
        if (i == m_lastNumber + 1 || i == m_lastNumber - 1) {
            const bool forward = i > m_lastNumber;
            const QTextBlock b = forward ? m_last.next() : m_last.previous();
            // Stepping on, the state before the next block is the one the last one ends in;
            // the states stay as they are while every block is lexed.
            m_beforeKnown = forward && m_layer && m_layer->isComplete();
            if (m_beforeKnown)
                m_before = m_last.userState();
            if (b.isValid()) {
                // Between the two blocks: their text, and a line break unless the later one
                // continues the line.
                const int laterPosition =
                    forward ? m_lastPosition + m_last.length() : m_lastPosition;
                const int earlierLength = forward ? m_last.length() : b.length();
                const int step = earlierLength - 1 + (!m_plain && breakAt(laterPosition - 1) ? 0 : 1);
                m_lastPosition += forward ? m_last.length() : -b.length();
                m_lastPage += forward ? step : -step;
            }
            m_last = b;
            m_lastNumber = b.isValid() ? i : -1;
            return b;
        }
    }
    m_last = m_edit->document()->findBlockByNumber(i);
    m_beforeKnown = false;
    m_lastNumber = m_last.isValid() ? i : -1;
    m_lastPosition = m_last.isValid() ? m_last.position() : 0;
    m_lastPage = toPage(m_lastPosition);
    return m_last;
}

bool BlockPage::breakAt(int documentPosition) const {
    // The blocks are read in order: the break looked for is next to the one found last.
    const std::vector<int>& breaks = m_edit->displayBreaks();
    const auto n = breaks.size();
    if (m_break > n || (m_break > 0 && breaks[m_break - 1] >= documentPosition) ||
        (m_break + 8 < n && breaks[m_break + 8] < documentPosition))
        m_break = static_cast<std::size_t>(
            std::lower_bound(breaks.begin(), breaks.end(), documentPosition) - breaks.begin());
    while (m_break < n && breaks[m_break] < documentPosition)
        ++m_break;
    return m_break < n && breaks[m_break] == documentPosition;
}

QString BlockPage::piece(int i) const {
    if (i != m_textNumber) {
        m_text = block(i).text();
        m_textNumber = i;
    }
    return m_text;
}

int BlockPage::toPage(int documentPosition) const {
    if (m_plain)
        return documentPosition;
    // CR LF positions count two for each line break, the widget's own one for each block
    // break: what is left after one per line is the page's count.
    return m_edit->toCrlfPosition(documentPosition) - m_edit->lineOf(documentPosition);
}

int BlockPage::toDocument(int pagePosition) const {
    if (m_plain)
        return std::clamp(pagePosition, 0, m_edit->document()->characterCount() - 1);
    const QTextBlock b = m_edit->document()->findBlockByNumber(pieceAt(pagePosition));
    return b.position() + std::clamp(pagePosition - pieceStart(b.blockNumber()), 0, b.length() - 1);
}

int BlockPage::pieceStart(int i) const {
    return block(i).isValid() ? m_lastPage : toPage(m_edit->document()->characterCount() - 1);
}

bool BlockPage::pieceEndsLine(int i) const {
    const QTextBlock next = block(i).next();
    return !next.isValid() || !m_edit->continuesLine(next);
}

markup::State BlockPage::stateBefore(int i) const {
    if (i <= 0)
        return markup::startState;
    if (m_layer) {
        const bool complete = m_layer->isComplete();
        if (!complete)
            m_layer->lexThrough(i - 1);
        const QTextBlock b = block(i);
        const int state = complete && m_beforeKnown ? m_before : b.previous().userState();
        if (state >= 0)
            return state;
    }
    // No layer keeps the states (an editor outside a document window): lex from the top.
    markup::State state = markup::startState;
    std::vector<markup::Span> spans;
    QTextBlock b = m_edit->document()->begin();
    for (int n = 0; n < i && b.isValid(); ++n, b = b.next()) {
        spans.clear();
        state = markup::lex(b.text(), state, pieceEndsLine(n), spans, b.next().text());
    }
    return state;
}

std::shared_ptr<const markup::PieceTags> BlockPage::tagsOf(int i) const {
    if (!m_layer)
        return PageView::tagsOf(i);
    const markup::State in = stateBefore(i);
    const QTextBlock b = block(i);
    if (auto kept = m_layer->keptTags(b, in))
        return kept;
    auto tags = PageView::tagsOf(i);
    m_layer->keepTags(b, in, tags);
    return tags;
}

int BlockPage::pieceAt(int position) const {
    const QTextDocument* doc = m_edit->document();
    if (m_plain) {
        position = std::clamp(position, 0, doc->characterCount() - 1);
        // Near the block asked for last, as the matcher reads on: a step, not a search.
        for (int tries = 0; tries < 2 && m_lastNumber >= 0 && m_last.isValid(); ++tries) {
            if (position < m_lastPosition)
                break;
            if (position < m_lastPosition + m_last.length())
                return m_lastNumber;
            block(m_lastNumber + 1);
        }
        const QTextBlock b = doc->findBlock(position);
        m_beforeKnown = false;
        m_last = b;
        m_lastNumber = b.blockNumber();
        m_lastPosition = b.position();
        m_lastPage = m_lastPosition;
        return m_lastNumber;
    }
    // The last block that starts at or before the position.
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (pieceStart(mid) <= position)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

void markMatchingTags(RichEdit* edit) {
    if (edit &&
        !edit->findChild<QObject*>(QLatin1String(TagMarker::name), Qt::FindDirectChildrenOnly))
        new TagMarker(edit);
}

bool goToMatchingTag(RichEdit* edit) {
    if (!edit)
        return false;
    const BlockPage page(edit);
    QTextCursor c = edit->textCursor();
    const auto match = markup::matchingTag(page, page.toPage(c.position()));
    if (!match || !match->partner)
        return false;
    c.setPosition(page.toDocument(match->partner->start));
    if (SyntaxColours* colours = SyntaxColours::of(edit))
        colours->showAround(c.position());
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
    return true;
}

bool selectElement(RichEdit* edit) {
    if (!edit)
        return false;
    const BlockPage page(edit);
    QTextCursor c = edit->textCursor();
    const auto element = markup::enclosingElement(page, page.toPage(c.selectionStart()),
                                                  page.toPage(c.selectionEnd()));
    if (!element)
        return false;
    c.setPosition(page.toDocument(element->start));
    c.setPosition(page.toDocument(element->end), QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
    return true;
}

} // namespace editing
