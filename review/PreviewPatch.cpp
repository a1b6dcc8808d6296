#include "review/PreviewPatch.h"

#include "markup/Lexer.h"
#include "markup/TextPage.h"

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

// One pass of the lexer gives both the page's pieces (lines, long ones cut every 128
// characters, as the matching-tag functions read them) and the start tags: a tag name right
// after a "<" delimiter (neighbouring delimiters come as one span: "><"), ending at the next
// ">" delimiter.
void ShownSource::lex() const
{
    std::size_t open = 0; // the start tag not yet ended (none while it is m_tags.size())
    const auto collect = [&](int from, QStringView piece, const std::vector<markup::Span>& spans) {
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
                if (name.kind == markup::Token::TagName && span.start + span.length == name.start &&
                    name.start > 0 && piece.at(name.start - 1) == u'<') {
                    open = m_tags.size();
                    m_tags.push_back(
                        {from + name.start - 1, piece.mid(name.start, name.length).toString().toLower()});
                }
            }
        }
    };
    m_page = std::make_unique<markup::TextPage>(m_text, 128, collect);
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
