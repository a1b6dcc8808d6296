#include "editing/SyntaxColours.h"

#include "document/RichEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QEvent>
#include <QGlyphRun>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <array>

namespace editing {

namespace {

const QString layerName = QStringLiteral("halvaneSyntaxColours");

// Calm shades that read well on the white page and stay apart from the colours the commands
// write (pure red, blue, cyan, greens, teal, ochre, olive, violet, grey).
constexpr QRgb slate = qRgb(110, 130, 155);    // < > of tags
constexpr QRgb steel = qRgb(40, 90, 140);      // tag names, CSS selectors, script keywords
constexpr QRgb copper = qRgb(150, 85, 40);     // attribute and CSS property names, numbers
constexpr QRgb seaGreen = qRgb(50, 115, 75);   // attribute values, strings, CSS values
constexpr QRgb warmGrey = qRgb(150, 140, 125); // comments, CDATA
constexpr QRgb lavender = qRgb(110, 95, 145);  // the doctype
constexpr QRgb plum = qRgb(160, 60, 120);      // character references

constexpr int tokenKinds = static_cast<int>(markup::Token::JsText) + 1;

// One shared format per kind of token: the layouts hold references, not copies.
const std::array<QTextCharFormat, tokenKinds>& formats() {
    static const std::array<QTextCharFormat, tokenKinds> all = [] {
        std::array<QTextCharFormat, tokenKinds> out;
        for (int i = 0; i < tokenKinds; ++i) {
            const QColor c = markupColour(static_cast<markup::Token>(i));
            if (c.isValid())
                out[i].setForeground(c);
        }
        return out;
    }();
    return all;
}

// Text whose characters each have a glyph of their own, in order, once shaped (no joining,
// reordering or combining scripts, no surrogates).
bool simpleText(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x0300)
            return false;
    return true;
}

// Text drawn unseen: the colour layer draws it itself.
const QTextCharFormat& unseen() {
    static const QTextCharFormat format = [] {
        QTextCharFormat f;
        f.setForeground(QColor(Qt::transparent));
        return f;
    }();
    return format;
}

// Whether text of this format is stored in black (text with no colour of its own is drawn in
// the page's black too).
bool storedBlack(const QTextCharFormat& f) {
    if (!f.hasProperty(QTextFormat::ForegroundBrush))
        return true;
    const QBrush brush = f.foreground();
    return brush.style() == Qt::NoBrush || (brush.color().rgb() & 0xFFFFFF) == 0;
}

} // namespace

QColor markupColour(markup::Token kind) {
    using markup::Token;
    switch (kind) {
    case Token::TagDelimiter:
        return QColor(slate);
    case Token::TagName:
    case Token::CssSelector:
    case Token::JsKeyword:
        return QColor(steel);
    case Token::AttributeName:
    case Token::CssProperty:
    case Token::JsNumber:
        return QColor(copper);
    case Token::AttributeValue:
    case Token::CssValue:
    case Token::CssString:
    case Token::JsString:
        return QColor(seaGreen);
    case Token::Comment:
    case Token::CData:
    case Token::CssComment:
    case Token::JsComment:
        return QColor(warmGrey);
    case Token::Doctype:
        return QColor(lavender);
    case Token::CharacterReference:
        return QColor(plum);
    case Token::Text:
    case Token::JsText:
        break;
    }
    return {};
}

namespace {

// Keeps the block numbers of a stretch of blocks in step with an edit in block `k` that
// changed the block count by `delta`.
void shiftStretch(int& first, int& last, int k, int delta, int count) {
    const int size = last - first;
    if (delta != 0 && k <= last) {
        if (k < first)
            first = std::max(first + delta, k);
        last = std::max(last + delta, first - 1);
        last = std::min({last, first + std::max(size, 0), count - 1});
    }
    last = std::min(last, count - 1);
}

} // namespace

SyntaxColours* SyntaxColours::of(const RichEdit* edit) {
    return edit ? edit->findChild<SyntaxColours*>(layerName, Qt::FindDirectChildrenOnly) : nullptr;
}

void SyntaxColours::showFor(RichEdit* edit, bool on) {
    if (!edit)
        return;
    if (SyntaxColours* layer = of(edit))
        layer->setPainting(on);
    else
        new SyntaxColours(edit, on);
}

void SyntaxColours::setPainting(bool on) {
    if (on == m_painting)
        return;
    if (!on) {
        takeColoursAway();
        m_painting = false;
        m_first = m_keptFirst = 0;
        m_last = m_keptLast = -1;
        return;
    }
    m_painting = true;
    followView();
}

void SyntaxColours::lexThrough(int blockNumber) {
    if (!m_pending.empty())
        work(blockNumber, -1);
    schedule();
}

SyntaxColours::SyntaxColours(RichEdit* edit, bool painting)
    : QObject(edit), m_edit(edit), m_painting(painting) {
    setObjectName(layerName);
    QTextDocument* doc = edit->document();
    m_blockCount = doc->blockCount();
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &SyntaxColours::slice);
    connect(doc, &QTextDocument::contentsChange, this, &SyntaxColours::onContentsChange);
    connect(edit->verticalScrollBar(), &QScrollBar::valueChanged, this, &SyntaxColours::followView);
    m_hooked = edit;
    edit->setBeforeLayout(
        [this](int from, int removed, int added) { beforeLayout(from, removed, added); });
    edit->setTextPaint(
        [this](QPainter& painter, const QRect& area, int caret) { paintText(painter, area, caret); });
    m_viewport = edit->viewport();
    m_viewport->installEventFilter(this);
    edit->installEventFilter(this);

    // States left in the blocks by an earlier layer may be out of date: lex the whole page,
    // the blocks near the view at once.
    if (painting)
        std::tie(m_first, m_last) = nearView();
    addRegion(0, doc->characterCount() - 1);
    work(std::max(m_last, 0), 12.0);
    schedule();
}

SyntaxColours::~SyntaxColours() {
    // Checked by its class, not cast: while the editor is being destroyed it is no longer one.
    if (auto* edit = qobject_cast<RichEdit*>(m_hooked.data())) {
        edit->setBeforeLayout({});
        edit->setTextPaint({});
    }
}

void SyntaxColours::beforeLayout(int from, int removed, int added) {
    if (m_pendingFrom.isNull())
        return;
    m_layingOutFrom = from;
    m_layingOutTo = from + std::max(0, removed + added - 1);
    paintPending();
    m_layingOutFrom = m_layingOutTo = -1;
}

void SyntaxColours::takeColoursAway() {
    QTextDocument* doc = m_edit->document();
    for (const auto& [first, last] : {std::pair{m_first, m_last}, std::pair{m_keptFirst, m_keptLast}}) {
        QTextBlock b = doc->findBlockByNumber(first);
        for (int n = first; b.isValid() && n <= std::min(last, doc->blockCount() - 1); ++n, b = b.next())
            clearColours(b);
        flushRepaint();
    }
}

bool SyntaxColours::eventFilter(QObject* watched, QEvent* event) {
    // Compared by address only: events reach the filter while the editor is being destroyed.
    if (watched == m_viewport && event->type() == QEvent::Paint && m_painting) {
        // The widget moves its view without a word from the scroll bar when it brings the
        // caret into view: the blocks now on screen get their colours here, before they are
        // drawn, so that they are laid out once, with them.
        m_paintRegion = static_cast<QPaintEvent*>(event)->region();
        m_inPaint = true;
        followView();
        m_inPaint = false;
        m_paintRegion = {};
        return QObject::eventFilter(watched, event);
    }
    if ((watched == m_viewport && event->type() == QEvent::Resize) ||
        (watched == m_edit && event->type() == QEvent::FontChange))
        queueFollowView();
    return QObject::eventFilter(watched, event);
}

void SyntaxColours::queueFollowView() {
    if (m_followQueued)
        return;
    m_followQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_followQueued = false;
            paintPending();
            followView();
            flushRepaint();
        },
        Qt::QueuedConnection);
}

void SyntaxColours::addRegion(int from, int to) {
    QTextDocument* doc = m_edit->document();
    Region r{QTextCursor(doc), QTextCursor(doc)};
    r.from.setPosition(std::clamp(from, 0, doc->characterCount() - 1));
    r.to.setPosition(std::clamp(to, 0, doc->characterCount() - 1));
    const auto at = std::find_if(m_pending.begin(), m_pending.end(), [&](const Region& other) {
        return other.from.position() > r.from.position();
    });
    m_pending.insert(at, std::move(r));
}

void SyntaxColours::onContentsChange(int position, int removed, int added) {
    Q_UNUSED(removed);
    QTextDocument* doc = m_edit->document();
    const QTextBlock first = doc->findBlock(position);
    const int k = first.blockNumber();
    const int count = doc->blockCount();
    const int delta = count - m_blockCount;
    m_blockCount = count;
    if (!m_tags.empty()) {
        const QTextBlock last =
            doc->findBlock(std::min(position + added, doc->characterCount() - 1));
        forgetTags(first, last.isValid() ? last : doc->lastBlock());
    }
    // Keep the numbers of the blocks that carry colours in step with the text: the blocks after
    // the edited one moved by the change in block count. New blocks are coloured as they are
    // lexed below; a stretch grown past the view's size is cut back (the blocks beyond keep
    // colours that are given afresh should they come near the view again).
    shiftStretch(m_first, m_last, k, delta, count);
    shiftStretch(m_keptFirst, m_keptLast, k, delta, count);

    // Lexed again from the first block whose lookahead reads what changed.
    addRegion(std::min(position, readingInto(first).position()), position + added);
    // The states at once; the colours of the blocks near the view just before the widget lays
    // out the change (beforeLayout), as formats set from here would widen the change the
    // widget hears of and have it draw the whole view again at every keystroke.
    m_inEdit = true;
    work(std::max(m_last, k), 12.0);
    m_inEdit = false;
    schedule();
    queueFollowView(); // the colours, and the edit may have moved the view
}

std::shared_ptr<const markup::PieceTags> SyntaxColours::keptTags(const QTextBlock& block,
                                                                 markup::State in) const {
    const auto i = static_cast<std::size_t>(block.fragmentIndex());
    if (!block.isValid() || i >= m_tags.size())
        return {};
    const KeptTags& kept = m_tags[i];
    return kept.in == in ? kept.tags : nullptr;
}

void SyntaxColours::keepTags(const QTextBlock& block, markup::State in,
                             std::shared_ptr<const markup::PieceTags> tags) {
    if (!block.isValid())
        return;
    const auto i = static_cast<std::size_t>(block.fragmentIndex());
    if (i >= m_tags.size())
        m_tags.resize(std::max(i + 1, m_tags.size() * 2));
    m_tags[i] = {std::move(tags), in};
}

void SyntaxColours::forgetTags(const QTextBlock& first, const QTextBlock& last) {
    if (!first.isValid())
        return;
    if (!first.previous().isValid() && !last.next().isValid()) { // the whole page changed
        m_tags = {};
        return;
    }
    const auto forget = [this](const QTextBlock& b) {
        const auto i = static_cast<std::size_t>(b.fragmentIndex());
        if (i < m_tags.size())
            m_tags[i] = {};
    };
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        forget(b);
        if (b == last)
            break;
    }
    // Blocks before the change whose lookahead read into it: their marks go too.
    for (QTextBlock b = readingInto(first); b.isValid() && b != first; b = b.next())
        forget(b);
}

QTextBlock SyntaxColours::readingInto(const QTextBlock& block) const {
    // A display block of a long line is lexed with the start of the blocks after it, up to
    // the lookahead. (Whether a block continues the one before changes only by an edit at
    // the end of that one.)
    QTextBlock from = block;
    for (int between = 0; m_edit->continuesLine(from) && between < markup::lookahead;) {
        from = from.previous();
        between += from.length() - 1; // the text read on the way to `block`
    }
    return from;
}

void SyntaxColours::notePending(const QTextBlock& block) {
    if (m_pendingFrom.isNull()) {
        m_pendingFrom = QTextCursor(m_edit->document());
        m_pendingTo = QTextCursor(m_edit->document());
        m_pendingFrom.setPosition(block.position());
        m_pendingTo.setPosition(block.position());
        return;
    }
    m_pendingFrom.setPosition(std::min(m_pendingFrom.position(), block.position()));
    m_pendingTo.setPosition(std::max(m_pendingTo.position(), block.position()));
}

void SyntaxColours::paintPending() {
    if (m_pendingFrom.isNull())
        return;
    QTextDocument* doc = m_edit->document();
    QTextBlock b = doc->findBlock(m_pendingFrom.position());
    const int to = m_pendingTo.position();
    m_pendingFrom = m_pendingTo = QTextCursor();
    for (int n = b.blockNumber(); b.isValid() && b.position() <= to; b = b.next(), ++n) {
        const QTextBlock before = b.previous();
        if (!inView(n) || (before.isValid() && before.userState() < 0))
            continue;
        lexBlock(b, stateBefore(b));
        applyColours(b, m_spans);
    }
}

void SyntaxColours::schedule() {
    if (!m_pending.empty() && !m_timer.isActive())
        m_timer.start();
}

void SyntaxColours::slice() {
    QElapsedTimer clock;
    clock.start();
    work(-1, sliceMs * 0.85);
    m_longestSliceMs = std::max(m_longestSliceMs, clock.nsecsElapsed() / 1e6);
    if (m_pending.empty())
        emit completed();
    else
        schedule();
}

markup::State SyntaxColours::stateBefore(const QTextBlock& block) const {
    const QTextBlock before = block.previous();
    return before.isValid() ? before.userState() : markup::startState;
}

bool SyntaxColours::endsLine(const QTextBlock& block) const {
    const QTextBlock next = block.next();
    return !next.isValid() || !m_edit->continuesLine(next);
}

markup::State SyntaxColours::lexBlock(const QTextBlock& block, markup::State in) {
    m_spans.clear();
    if (endsLine(block))
        return markup::lex(block.text(), in, true, m_spans, {});
    // A display block of a long line: the lexer reads on into the line's next blocks to
    // decide a token cut by the block's end.
    QString following;
    for (QTextBlock b = block.next();
         b.isValid() && m_edit->continuesLine(b) && following.size() < markup::lookahead;
         b = b.next())
        following += b.text();
    return markup::lex(block.text(), in, false, m_spans, following);
}

void SyntaxColours::work(int until, double budgetMs) {
    QTextDocument* doc = m_edit->document();
    QElapsedTimer clock;
    clock.start();
    const qint64 budget = budgetMs < 0 ? -1 : static_cast<qint64>(budgetMs * 1e6);
    while (!m_pending.empty()) {
        QTextBlock b = doc->findBlock(m_pending.front().from.position());
        if (until >= 0 && b.blockNumber() > until)
            break;
        Region region = std::move(m_pending.front());
        m_pending.erase(m_pending.begin());
        // Lexing starts from a known state: go back over blocks not lexed yet (none, as long
        // as the regions are worked in order).
        while (b.previous().isValid() && b.previous().userState() < 0)
            b = b.previous();
        int number = b.blockNumber();
        int stopAt = doc->findBlock(region.to.position()).blockNumber();
        markup::State in = stateBefore(b);
        bool settled = false;
        bool outOfTime = false;
        while (b.isValid()) {
            // Regions that begin in the blocks reached are worked as part of this one.
            while (!m_pending.empty() &&
                   m_pending.front().from.position() < b.position() + b.length()) {
                stopAt =
                    std::max(stopAt, doc->findBlock(m_pending.front().to.position()).blockNumber());
                m_pending.erase(m_pending.begin());
            }
            const markup::State out = lexBlock(b, in);
            if (inView(number)) {
                if (m_inEdit)
                    notePending(b);
                else
                    applyColours(b, m_spans);
            }
            const int old = b.userState();
            if (old != out)
                b.setUserState(out);
            in = out;
            const bool done = number >= stopAt && old == out;
            b = b.next();
            ++number;
            if (done) {
                settled = true;
                break;
            }
            if ((until >= 0 && number > until) || (budget >= 0 && clock.nsecsElapsed() > budget)) {
                outOfTime = b.isValid();
                break;
            }
        }
        if (outOfTime && !settled) {
            // The rest later: from the next block through the region's end.
            QTextCursor from(doc);
            from.setPosition(b.position());
            QTextCursor to(doc);
            to.setPosition(
                std::max(b.position(), doc->findBlockByNumber(std::max(stopAt, 0)).position()));
            m_pending.insert(m_pending.begin(), Region{from, to});
            break;
        }
    }
    flushRepaint();
}

int SyntaxColours::viewLines() const {
    const int lineHeight = std::max(1, m_edit->fontMetrics().lineSpacing());
    return m_edit->viewport()->height() / lineHeight + 2;
}

std::pair<int, int> SyntaxColours::nearView() const {
    const int count = m_edit->document()->blockCount();
    const QTextBlock top = m_edit->firstVisibleBlock();
    const int first = top.isValid() ? top.blockNumber() : 0;
    const int lines = viewLines();
    return {first, std::min(count - 1, first + lines)};
}

void SyntaxColours::followView() {
    if (!m_painting)
        return;
    const auto [from, to] = nearView();
    colourStretch(from, to);
}

void SyntaxColours::showAround(int position) {
    if (!m_painting)
        return;
    const int n = m_edit->document()->findBlock(position).blockNumber();
    if (n < 0 || (n >= m_first && n <= m_last))
        return; // the view moves a little, if at all: it is followed as it is drawn
    // The widget brings a block below the view to its bottom and one above to its top.
    const int lines = viewLines();
    const bool below = n > m_last;
    colourStretch(std::max(0, below ? n - lines : n),
                  std::min(m_edit->document()->blockCount() - 1, below ? n : n + lines));
}

void SyntaxColours::colourStretch(int from, int to) {
    if (from == m_first && to == m_last)
        return;
    QTextDocument* doc = m_edit->document();
    const int count = doc->blockCount();
    // A jump away from the view keeps the stretch it leaves coloured and laid out, so that
    // going back (from a matching tag to its partner and back) draws it at once; one such
    // stretch is kept, the one kept before goes.
    const bool jump = m_first <= m_last && (to < m_first || from > m_last);
    const int keptFirst = jump ? m_first : m_keptFirst;
    const int keptLast = std::min(jump ? m_last : m_keptLast, count - 1);
    const auto within = [](int n, int first, int last) { return n >= first && n <= last; };
    const auto stays = [&](int n) {
        return within(n, from, to) || within(n, keptFirst, keptLast);
    };
    for (const auto& [first, last] : {std::pair{m_first, std::min(m_last, count - 1)},
                                      std::pair{m_keptFirst, std::min(m_keptLast, count - 1)}}) {
        QTextBlock b = doc->findBlockByNumber(first);
        for (int n = first; b.isValid() && n <= last; ++n, b = b.next())
            if (!stays(n))
                clearColours(b);
    }
    QTextBlock b = doc->findBlockByNumber(from);
    for (int n = from; b.isValid() && n <= to; ++n, b = b.next()) {
        if (inView(n))
            continue; // already coloured
        const QTextBlock before = b.previous();
        if (before.isValid() && before.userState() < 0)
            continue; // not lexed yet: coloured when the background work gets here
        lexBlock(b, stateBefore(b));
        applyColours(b, m_spans);
    }
    m_first = from;
    m_last = to;
    m_keptFirst = keptFirst;
    m_keptLast = keptLast;
    flushRepaint();
}

void SyntaxColours::applyColours(const QTextBlock& block, const std::vector<markup::Span>& spans) {
    // Stretches stored in a colour of their own keep it: no lexer colour goes over them.
    std::vector<std::pair<int, int>> own;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.isValid() && !storedBlack(f.charFormat())) {
            const int start = f.position() - block.position();
            own.emplace_back(start, start + f.length());
        }
    }
    QList<QTextLayout::FormatRange> ranges;
    const auto& kinds = formats();
    const auto add = [&](int start, int end, const QTextCharFormat& format) {
        if (end <= start)
            return;
        if (!ranges.isEmpty() && ranges.last().start + ranges.last().length == start &&
            ranges.last().format == format) {
            ranges.last().length += end - start;
            return;
        }
        ranges.append({start, end - start, format});
    };
    for (const markup::Span& s : spans) {
        const QTextCharFormat& format = kinds[static_cast<int>(s.kind)];
        if (!format.hasProperty(QTextFormat::ForegroundBrush) || s.length <= 0)
            continue;
        int at = s.start;
        const int end = s.start + s.length;
        for (const auto& [ownStart, ownEnd] : own) {
            if (ownEnd <= at)
                continue;
            if (ownStart >= end)
                break;
            add(at, ownStart, format);
            at = std::max(at, ownEnd);
        }
        add(at, end, format);
    }
    // Each range is drawn as a piece of its own: a range runs on over the spaces after it up
    // to the next one (spaces show no colour), so that they are no piece of their own, and
    // two ranges of one colour with only spaces between become one.
    if (ranges.size() > 1) {
        const QString text = block.text();
        const auto blank = [&](int from, int to) {
            for (int i = from; i < to; ++i)
                if (text[i] != u' ' && text[i] != u'\t')
                    return false;
            return true;
        };
        const auto owned = [&](int from, int to) {
            return std::any_of(own.begin(), own.end(),
                               [&](const auto& o) { return o.first < to && o.second > from; });
        };
        int kept = 0;
        for (int i = 1; i < ranges.size(); ++i) {
            QTextLayout::FormatRange& last = ranges[kept];
            const QTextLayout::FormatRange& next = ranges[i];
            const int gapFrom = last.start + last.length;
            if (next.start > gapFrom && blank(gapFrom, next.start) && !owned(gapFrom, next.start))
                last.length = next.start - gapFrom + last.length;
            if (last.start + last.length == next.start && last.format == next.format)
                last.length += next.length;
            else
                ranges[++kept] = next;
        }
        ranges.resize(kept + 1);
    }
    // The runs: the colours over the text stored in black, the page's black between them.
    std::vector<Run> runs;
    QList<QTextLayout::FormatRange> hidden;
    const QRgb black = m_edit->palette().text().color().rgba();
    {
        const int length = block.length() - 1;
        int at = 0;
        int r = 0;
        std::size_t o = 0;
        const auto addRun = [&](int from, int to, QRgb colour) {
            if (to <= from)
                return;
            if (!runs.empty() && runs.back().start + runs.back().length == from &&
                runs.back().colour == colour)
                runs.back().length += to - from;
            else
                runs.push_back({from, to - from, colour});
        };
        while (at < length) {
            // The stretch stored in black from `at`, up to the next one of a colour of its own.
            while (o < own.size() && own[o].second <= at)
                ++o;
            if (o < own.size() && own[o].first <= at) {
                at = own[o].second;
                continue;
            }
            const int end = o < own.size() ? std::min(length, own[o].first) : length;
            hidden.append({at, end - at, unseen()});
            while (at < end) {
                while (r < ranges.size() && ranges[r].start + ranges[r].length <= at)
                    ++r;
                if (r < ranges.size() && ranges[r].start <= at) {
                    const int to = std::min(end, ranges[r].start + ranges[r].length);
                    addRun(at, to, ranges[r].format.foreground().color().rgba());
                    at = to;
                } else {
                    const int to = r < ranges.size() ? std::min(end, ranges[r].start) : end;
                    addRun(at, to, black);
                    at = to;
                }
            }
        }
    }
    QTextLayout* layout = block.layout();
    const int key = block.fragmentIndex();
    const auto kept = m_runs.find(key);
    if (layout->formats() == hidden && kept != m_runs.end() && kept->second == runs)
        return;
    if (layout->formats() != hidden) {
        // A layout drops its glyphs once laid out and shapes its text again at every paint;
        // the few blocks near the view keep theirs, to draw the runs from.
        beforeNewColours(block);
        layout->setCacheEnabled(true);
        layout->setFormats(hidden);
    }
    m_runs[key] = std::move(runs);
    noteRepaint(block);
}

void SyntaxColours::paintText(QPainter& painter, const QRect& area, int caret) {
    if (m_runs.empty())
        return;
    // What the widget drew in a selection's own colours is left as it is.
    std::vector<std::pair<int, int>> selected;
    const QTextCursor cursor = m_edit->textCursor();
    if (cursor.hasSelection())
        selected.emplace_back(cursor.selectionStart(), cursor.selectionEnd());
    for (const QTextEdit::ExtraSelection& s : m_edit->extraSelections())
        if (s.format.hasProperty(QTextFormat::ForegroundBrush) && s.cursor.hasSelection())
            selected.emplace_back(s.cursor.selectionStart(), s.cursor.selectionEnd());
    std::sort(selected.begin(), selected.end());
    QTextBlock b = m_edit->firstVisibleBlock();
    if (!b.isValid())
        return;
    const QRectF first = m_edit->blockGeometry(b);
    qreal y = first.top();
    const QAbstractTextDocumentLayout* blocks = m_edit->document()->documentLayout();
    for (; b.isValid() && y <= area.bottom(); b = b.next()) {
        const qreal top = y;
        y += blocks->blockBoundingRect(b).height();
        if (!b.isVisible() || y < area.top())
            continue;
        QTextLayout* layout = b.layout();
        if (layout->formats().isEmpty())
            continue;
        const auto found = m_runs.find(b.fragmentIndex());
        const QPointF at(first.left(), top);
        const int base = b.position();
        // A line of simple text in one font has a glyph for each character, in order: its
        // glyphs are sorted by colour and each colour drawn at once. Other text has the
        // layout find the glyphs of each run.
        const QList<QGlyphRun> all = layout->glyphRuns(0, b.length() - 1);
        const bool byCharacter = all.size() == 1 && all.front().glyphIndexes().size() == b.length() - 1 &&
                                 simpleText(b.text());
        std::vector<Bucket>& buckets = m_buckets;
        for (Bucket& k : buckets) {
            k.indexes.clear();
            k.positions.clear();
        }
        const QList<quint32> indexes = byCharacter ? all.front().glyphIndexes() : QList<quint32>();
        const QList<QPointF> positions = byCharacter ? all.front().positions() : QList<QPointF>();
        const auto draw = [&](int from, int length, QRgb colour) {
            if (byCharacter) {
                auto k = std::find_if(buckets.begin(), buckets.end(),
                                      [&](const Bucket& x) { return x.colour == colour; });
                if (k == buckets.end()) {
                    buckets.push_back({colour, {}, {}});
                    k = buckets.end() - 1;
                }
                // Runs are those of the text the block had when coloured; it may have
                // changed since.
                for (int i = from, end = std::min(from + length, int(indexes.size())); i < end;
                     ++i) {
                    k->indexes.append(indexes[i]);
                    k->positions.append(positions[i]);
                }
                return;
            }
            const QList<QGlyphRun> glyphs = layout->glyphRuns(from, length);
            painter.setPen(QColor::fromRgba(colour));
            for (const QGlyphRun& g : glyphs)
                painter.drawGlyphRun(at, g);
        };
        // A block drawn unseen always has its runs; should it not, it is drawn in black
        // rather than not at all.
        std::vector<Run> blackRun;
        if (found == m_runs.end())
            blackRun.push_back({0, b.length() - 1, m_edit->palette().text().color().rgba()});
        for (const Run& run : found != m_runs.end() ? found->second : blackRun) {
            int from = run.start;
            const int end = run.start + run.length;
            for (const auto& [selFrom, selTo] : selected) {
                if (selTo - base <= from || selFrom - base >= end)
                    continue;
                if (selFrom - base > from)
                    draw(from, selFrom - base - from, run.colour);
                from = std::max(from, selTo - base);
            }
            if (from < end)
                draw(from, end - from, run.colour);
        }
        if (byCharacter) {
            QGlyphRun g = all.front();
            for (const Bucket& k : buckets) {
                if (k.indexes.isEmpty())
                    continue;
                g.setGlyphIndexes(k.indexes);
                g.setPositions(k.positions);
                painter.setPen(QColor::fromRgba(k.colour));
                painter.drawGlyphRun(at, g);
            }
        }
        // The caret is drawn after the text: again, over the runs.
        if (caret >= base && caret < base + b.length() && !m_edit->overwriteMode()) {
            painter.setPen(m_edit->palette().text().color());
            layout->drawCursor(&painter, at, caret - base, m_edit->cursorWidth());
        }
    }
}

void SyntaxColours::clearColours(const QTextBlock& block) {
    QTextLayout* layout = block.layout();
    m_runs.erase(block.fragmentIndex());
    if (layout->formats().isEmpty())
        return;
    beforeNewColours(block);
    layout->setCacheEnabled(false);
    layout->clearFormats();
    noteRepaint(block);
}

void SyntaxColours::beforeNewColours(const QTextBlock& block) {
    // The document notes the blocks given new formats as one stretch, laid out again as a
    // whole: a block away from those noted so far (the view's neighbourhood moved, a block
    // leaves at the top and one comes at the bottom) starts a stretch of its own, or every
    // block between would be laid out again.
    const int from = block.position();
    const int to = from + block.length();
    if (m_dirtyFrom >= 0 && (from > m_dirtyTo || to < m_dirtyFrom) && m_layingOutFrom < 0 &&
        !m_inEdit)
        flushRepaint();
}

void SyntaxColours::noteRepaint(const QTextBlock& block) {
    const int from = block.position();
    const int to = from + block.length();
    if (m_layingOutFrom >= 0 && from <= m_layingOutTo && to > m_layingOutFrom)
        return; // laid out and drawn again by the widget's layout itself
    m_dirtyFrom = m_dirtyFrom < 0 ? from : std::min(m_dirtyFrom, from);
    m_dirtyTo = std::max(m_dirtyTo, to);
}

void SyntaxColours::flushRepaint() {
    if (m_dirtyFrom < 0)
        return;
    QTextDocument* doc = m_edit->document();
    const int from = m_dirtyFrom;
    const int to = std::min(m_dirtyTo, doc->characterCount());
    m_dirtyFrom = m_dirtyTo = -1;
    // New formats are noted as a change of the layout only (markContentsDirty): no listener
    // of the text hears of it, the history included. The widget's layout would then draw the
    // whole view again; the colours change no geometry, so it is told nothing and only the
    // blocks on screen whose colours changed are drawn again.
    {
        const QSignalBlocker quiet(doc->documentLayout());
        doc->markContentsDirty(from, std::max(0, to - from));
    }
    // The blocks on screen, walked down from the top one: the geometry of a block below the
    // view would have the widget lay out every block between.
    const QTextBlock top = m_edit->firstVisibleBlock();
    const int height = m_edit->viewport()->height();
    QRect area;
    if (top.isValid() && to > top.position()) {
        const QAbstractTextDocumentLayout* layout = doc->documentLayout();
        qreal y = m_edit->blockGeometry(top).top();
        for (QTextBlock b = top; b.isValid() && y <= height && b.position() < to; b = b.next()) {
            const qreal h = layout->blockBoundingRect(b).height();
            if (b.position() + b.length() > from && y + h >= 0)
                area |= QRect(0, int(y), m_edit->viewport()->width(), int(h) + 1);
            y += h;
        }
    }
    // While the view is being drawn, what it draws now needs no second paint.
    const QRegion rest = m_inPaint ? QRegion(area).subtracted(m_paintRegion) : QRegion(area);
    if (!rest.isEmpty())
        m_edit->viewport()->update(rest);
}

} // namespace editing
