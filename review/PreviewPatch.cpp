#include "review/PreviewPatch.h"

#include "markup/Lexer.h"

#include <algorithm>

namespace review {

namespace {

// Elements whose replacement would not behave as in a fresh load: scripts do not run again
// when inserted this way, and style sheets, the base address and meta data belong to the page.
const char* const pageWideTags[] = {"script", "style", "link", "meta", "base", "noscript",
                                     "template", "frameset"};

} // namespace

bool isPageWideName(const QString& name)
{
    return std::any_of(std::begin(pageWideTags), std::end(pageWideTags),
                       [&](const char* tag) { return name == QLatin1String(tag); });
}

// The page in pieces as the matching-tag functions read it: lines, long ones cut every 128
// characters, each with the lexer's state at its start (positions are offsets in the text,
// whose line breaks are one "\n" each).
class ShownSource::Pieces : public markup::PageView {
public:
    struct Piece {
        int offset;
        int length;
        bool endsLine;
        markup::State state;
    };
    explicit Pieces(const QString& text) : m_text(text) {}

    int pieceCount() const override { return int(pieces.size()); }
    QString piece(int i) const override { return m_text.mid(pieces[i].offset, pieces[i].length); }
    int pieceStart(int i) const override { return pieces[i].offset; }
    bool pieceEndsLine(int i) const override { return pieces[i].endsLine; }
    markup::State stateBefore(int i) const override { return pieces[i].state; }
    int pieceAt(int position) const override
    {
        const auto it = std::upper_bound(
            pieces.begin(), pieces.end(), position,
            [](int p, const Piece& piece) { return p < piece.offset; });
        return it == pieces.begin() ? 0 : int(it - pieces.begin()) - 1;
    }

    std::vector<Piece> pieces;

private:
    const QString& m_text;
};

ShownSource::ShownSource(QString text) : m_text(std::move(text)) {}

ShownSource::~ShownSource() = default;

const markup::PageView& ShownSource::page() const
{
    if (!m_page)
        lex();
    return *m_page;
}

const std::vector<ShownSource::StartTag>& ShownSource::startTags() const
{
    if (!m_page)
        lex();
    return m_tags;
}

// One pass of the lexer gives both the pieces' states and the start tags: a tag name right
// after a "<" delimiter (neighbouring delimiters come as one span: "><"), ending at the next
// ">" delimiter.
void ShownSource::lex() const
{
    constexpr int pieceWidth = 128;
    m_page = std::make_unique<Pieces>(m_text);
    std::vector<Pieces::Piece>& pieces = m_page->pieces;
    const QStringView text(m_text);
    std::vector<markup::Span> spans;
    markup::State state = markup::startState;
    std::size_t open = 0; // the start tag not yet ended (none while it is m_tags.size())
    for (int lineStart = 0;;) {
        int lineEnd = int(text.indexOf(u'\n', lineStart));
        const bool last = lineEnd < 0;
        if (last)
            lineEnd = int(text.size());
        int from = lineStart;
        do {
            const int to = std::min(from + pieceWidth, lineEnd);
            const bool endsLine = to == lineEnd;
            pieces.push_back({from, to - from, endsLine, state});
            const QStringView piece = text.mid(from, to - from);
            spans.clear();
            if (endsLine) {
                state = markup::lex(piece, state, true, spans);
            } else {
                QStringView following = text.mid(to, markup::lookahead);
                following = following.left(following.indexOf(u'\n') < 0 ? following.size()
                                                                       : following.indexOf(u'\n'));
                state = markup::lex(piece, state, false, spans, following);
            }
            for (std::size_t s = 0; s < spans.size(); ++s) {
                const markup::Span& span = spans[s];
                if (span.kind != markup::Token::TagDelimiter)
                    continue;
                if (open < m_tags.size()) {
                    const int close = int(piece.mid(span.start, span.length).indexOf(u'>'));
                    if (close >= 0) {
                        m_tags[open].end = from + span.start + close + 1;
                        open = m_tags.size();
                    }
                }
                if (s + 1 < spans.size()) {
                    const markup::Span& name = spans[s + 1];
                    if (name.kind == markup::Token::TagName &&
                        span.start + span.length == name.start && name.start > 0 &&
                        piece.at(name.start - 1) == u'<') {
                        open = m_tags.size();
                        m_tags.push_back({from + name.start - 1,
                                          piece.mid(name.start, name.length).toString().toLower()});
                    }
                }
            }
            from = to;
        } while (from < lineEnd);
        if (last)
            break;
        lineStart = lineEnd + 1;
    }
}

const ShownSource::StartTag* ShownSource::startTagAt(int position) const
{
    startTags();
    const auto it = std::lower_bound(m_tags.begin(), m_tags.end(), position,
                                     [](const StartTag& t, int p) { return t.position < p; });
    return it != m_tags.end() && it->position == position ? &*it : nullptr;
}

int ShownSource::countOf(const QString& name, int from, int to) const
{
    int n = 0;
    for (const StartTag& t : startTags())
        if (t.position >= from && t.position < to && t.name == name)
            ++n;
    return n;
}

int ShownSource::positionOf(const QString& name, int index) const
{
    for (const StartTag& t : startTags())
        if (t.name == name && index-- == 0)
            return t.position;
    return -1;
}

UpdatePlan planUpdate(const ShownSource& shown, const ShownSource& now)
{
    UpdatePlan plan;
    auto reload = [&plan](QString reason) {
        plan.kind = UpdatePlan::Reload;
        plan.reason = std::move(reason);
        return plan;
    };
    const QString& a = shown.text();
    const QString& b = now.text();
    if (a == b)
        return plan;
    // The changed run: [first, aEnd) of the old text became [first, bEnd) of the new.
    const int shorter = int(std::min(a.size(), b.size()));
    int first = 0;
    while (first < shorter && a.at(first) == b.at(first))
        ++first;
    int common = 0;
    while (common < shorter - first && a.at(a.size() - 1 - common) == b.at(b.size() - 1 - common))
        ++common;
    const int aEnd = int(a.size()) - common;
    const int bEnd = int(b.size()) - common;
    const int delta = bEnd - aEnd;

    // Everything up to the end of the <body> start tag is the page's own: doctype, head.
    const auto body = std::find_if(shown.startTags().begin(), shown.startTags().end(),
                                   [](const ShownSource::StartTag& t) { return t.name == QLatin1String("body"); });
    if (body == shown.startTags().end())
        return reload(QStringLiteral("the page has no <body> start tag"));
    if (body->end < 0 || first < body->end)
        return reload(QStringLiteral("the doctype, the <head> or the <body> tag changed"));

    // The smallest element of the new text around the change that is the same element, ending
    // as far from the page's end, in the old text.
    std::optional<markup::Range> element = markup::enclosingElement(now.page(), first, bEnd);
    while (element) {
        const ShownSource::StartTag* tag = now.startTagAt(element->start);
        if (!tag || tag->name == QLatin1String("body") || tag->name == QLatin1String("html"))
            return reload(QStringLiteral("the change is not inside one element of the body"));
        const auto before = markup::matchingTag(shown.page(), element->start);
        if (element->end - delta >= aEnd && before && before->element.start == element->start &&
            before->element.end == element->end - delta) {
            const QString html = b.mid(element->start, element->end - element->start);
            const QString old = a.mid(element->start, element->end - delta - element->start);
            const auto isWide = [](const ShownSource& s, int from, int to) {
                for (const ShownSource::StartTag& t : s.startTags())
                    if (t.position >= from && t.position < to && isPageWideName(t.name))
                        return t.name;
                return QString();
            };
            QString wide = isWide(shown, element->start, element->end - delta);
            if (wide.isEmpty())
                wide = isWide(now, element->start, element->end);
            if (!wide.isEmpty())
                return reload(QStringLiteral("a <%1> changed").arg(wide));
            if (old.contains(QLatin1String("</body"), Qt::CaseInsensitive) ||
                html.contains(QLatin1String("</body"), Qt::CaseInsensitive))
                return reload(QStringLiteral("the end of the body changed"));
            plan.kind = UpdatePlan::Patch;
            plan.tag = tag->name;
            plan.index = shown.countOf(tag->name, 0, element->start);
            plan.countBefore = shown.countOf(tag->name, 0, int(a.size()));
            plan.countAfter = now.countOf(tag->name, 0, int(b.size()));
            plan.html = html;
            return plan;
        }
        element = markup::enclosingElement(now.page(), element->start, element->end);
    }
    return reload(QStringLiteral("the change is not inside one element of the body"));
}

} // namespace review
