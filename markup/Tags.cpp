#include "markup/Tags.h"

#include "markup/LexerTags.h"
#include "markup/Tables.h"

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <vector>

namespace markup {

namespace {

constexpr int maxName = 32;

// One tag of the page as the lexer sees it.
struct Tag {
    Range range;
    bool isEnd = false;
    bool selfClosing = false;
    int nameLength = 0;  // up to maxName characters are kept, lower case
    char16_t name[maxName] = {};
    std::uint8_t traits = 0;  // of its element, see Trait

    QStringView nameView() const { return QStringView(name, std::min(nameLength, maxName)); }
    bool is(const char* n) const
    {
        int i = 0;
        for (; n[i]; ++i)
            if (i >= nameLength || name[i] != char16_t(n[i]))
                return false;
        return i == nameLength;
    }
    bool isAny(std::initializer_list<const char*> names) const
    {
        for (const char* n : names)
            if (is(n))
                return true;
        return false;
    }
    bool sameName(const Tag& other) const
    {
        if (nameLength != other.nameLength)
            return false;
        for (int k = 0, n = std::min(nameLength, maxName); k < n; ++k)
            if (name[k] != other.name[k])
                return false;
        return true;
    }
};

enum Trait : std::uint8_t { VoidElement = 1, Special = 2, OptionalEnd = 4 };

bool isVoid(const Tag& t) { return t.traits & VoidElement; }

// A start tag that has no end tag to wait for.
bool standsAlone(const Tag& t) { return !t.isEnd && (t.selfClosing || isVoid(t)); }

// The elements the HTML parser treats as "special": a tag that closes an element with an
// omitted end looks for it past phrasing elements (b, span, ...) but not past these.
bool isSpecialName(const Tag& t)
{
    return t.isAny({"address", "applet", "area", "article", "aside", "base", "basefont",
                    "bgsound", "blockquote", "body", "br", "button", "caption", "center", "col",
                    "colgroup", "dd", "details", "dir", "div", "dl", "dt", "embed", "fieldset",
                    "figcaption", "figure", "footer", "form", "frame", "frameset", "h1", "h2",
                    "h3", "h4", "h5", "h6", "head", "header", "hgroup", "hr", "html", "iframe",
                    "img", "input", "keygen", "li", "link", "listing", "main", "marquee", "menu",
                    "meta", "nav", "noembed", "noframes", "noscript", "object", "ol", "p",
                    "param", "plaintext", "pre", "script", "search", "section", "select",
                    "source", "style", "summary", "table", "tbody", "td", "template",
                    "textarea", "tfoot", "th", "thead", "title", "tr", "track", "ul", "wbr",
                    "xmp"});
}

// Elements whose end tag may be left out: they end where the rules below say, or where the
// element that holds them ends.
bool endMayBeOmittedName(const Tag& t)
{
    return t.isAny({"li", "dt", "dd", "p", "rb", "rt", "rtc", "rp", "optgroup", "option",
                    "colgroup", "caption", "thead", "tbody", "tfoot", "tr", "td", "th", "head",
                    "body", "html"});
}

bool isSpecial(const Tag& t) { return t.traits & Special; }
bool endMayBeOmitted(const Tag& t) { return t.traits & OptionalEnd; }

// Looks the traits of a tag's element up once, when the tag is read: a table per element of
// the generated element table, made on first use.
void classify(Tag& t)
{
    static const std::vector<std::uint8_t> traits = [] {
        std::vector<std::uint8_t> v;
        for (const Element& e : elements()) {
            Tag probe;
            for (const char* c = e.name; *c && probe.nameLength < maxName; ++c)
                probe.name[probe.nameLength++] = char16_t(*c);
            v.push_back(std::uint8_t((e.isVoid ? VoidElement : 0) |
                                     (isSpecialName(probe) ? Special : 0) |
                                     (endMayBeOmittedName(probe) ? OptionalEnd : 0)));
        }
        return v;
    }();
    // Pages repeat a few names: a small cache of the last looked up, by a hash of the name.
    struct Cached {
        int length = -1;
        char16_t name[maxName];
        std::uint8_t traits;
    };
    static thread_local Cached cache[256];
    unsigned hash = unsigned(t.nameLength);
    for (int k = 0; k < std::min(t.nameLength, maxName); ++k)
        hash = hash * 31 + t.name[k];
    Cached& c = cache[(hash ^ hash >> 8) & 255];
    if (c.length == t.nameLength &&
        std::equal(t.name, t.name + std::min(t.nameLength, maxName), c.name)) {
        t.traits = c.traits;
        return;
    }
    const Element* e = t.nameLength <= maxName ? findElement(t.nameView()) : nullptr;
    t.traits = e ? traits[std::size_t(e - elements().data())] : 0;
    c.length = t.nameLength;
    std::copy(t.name, t.name + std::min(t.nameLength, maxName), c.name);
    c.traits = t.traits;
}

// The HTML standard's optional end tags: whether the start tag `next` ends the open element
// `open` whose end tag was left out.
//   li        before li                     dt, dd     before dt, dd
//   p         before a block: address, article, aside, blockquote, details, dialog, div, dl,
//             fieldset, figcaption, figure, footer, form, h1-h6, header, hgroup, hr, main,
//             menu, nav, ol, p, pre, search, section, table, ul
//   rb        before rb, rt, rtc, rp        rt, rp     before rb, rt, rtc, rp
//   rtc       before rb, rtc, rp            optgroup   before optgroup, hr
//   option    before option, optgroup, hr   colgroup   before anything but col
//   caption   before the parts of a table: caption, col, colgroup, thead, tbody, tfoot, tr,
//             td, th
//   thead, tbody, tfoot   before thead, tbody, tfoot (a new section)
//   tr        before tr and a new section   td, th     before td, th, tr and a new section
//   head      before anything that is no head element (base, link, meta, noscript, script,
//             style, template, title)
bool startTagCloses(const Tag& open, const Tag& next)
{
    if (!endMayBeOmitted(open))
        return false;
    if (open.is("li"))
        return next.is("li");
    if (open.isAny({"dt", "dd"}))
        return next.isAny({"dt", "dd"});
    if (open.is("p"))
        return next.isAny({"address", "article", "aside", "blockquote", "details", "dialog",
                           "div", "dl", "fieldset", "figcaption", "figure", "footer", "form",
                           "h1", "h2", "h3", "h4", "h5", "h6", "header", "hgroup", "hr", "main",
                           "menu", "nav", "ol", "p", "pre", "search", "section", "table",
                           "ul"});
    if (open.is("rb"))
        return next.isAny({"rb", "rt", "rtc", "rp"});
    if (open.isAny({"rt", "rp"}))
        return next.isAny({"rb", "rt", "rtc", "rp"});
    if (open.is("rtc"))
        return next.isAny({"rb", "rtc", "rp"});
    if (open.is("optgroup"))
        return next.isAny({"optgroup", "hr"});
    if (open.is("option"))
        return next.isAny({"option", "optgroup", "hr"});
    if (open.is("colgroup"))
        return !next.is("col");
    if (open.is("caption"))
        return next.isAny({"caption", "col", "colgroup", "thead", "tbody", "tfoot", "tr", "td",
                           "th"});
    if (open.isAny({"thead", "tbody", "tfoot"}))
        return next.isAny({"thead", "tbody", "tfoot"});
    if (open.is("tr"))
        return next.isAny({"tr", "thead", "tbody", "tfoot"});
    if (open.isAny({"td", "th"}))
        return next.isAny({"td", "th", "tr", "thead", "tbody", "tfoot"});
    if (open.is("head"))
        return !next.isAny({"base", "link", "meta", "noscript", "script", "style", "template",
                            "title"});
    return false;
}

// Reads the tags of the page forward from a piece, from the marks of each piece.
class Scanner {
public:
    Scanner(const PageView& page, int piece) : m_page(page), m_count(page.pieceCount())
    {
        restart(piece);
    }

    // Reads on from the start of another piece.
    void restart(int piece)
    {
        const int wanted = std::clamp(piece, 0, std::max(0, m_count - 1));
        m_piece = wanted;
        m_active = false;
        m_skip = false;
        if (m_count > 0) {
            m_skip = insideTag(m_page.stateBefore(m_piece));
            load();
        }
    }

    // Whether the whole tags of the pieces before piece `until` may be read as their unpaired
    // ones (see PieceTags): the reader's open elements are such that the pairs change nothing
    // for it.
    void readUnpaired(bool on, int until = INT_MAX)
    {
        m_unpairedOn = on;
        m_unpairedUntil = until;
    }

    // The next tag that starts in a piece up to `last` (completed in later pieces if it runs
    // on), or false. A tag cut off by the page's end is none.
    bool next(Tag& out, int last = INT_MAX)
    {
        while (m_count > 0) {
            const PieceTags& p = *m_tags;
            if (m_phase == 0) {  // the end of a tag begun in an earlier piece
                if (m_mark < p.head.size()) {
                    if (mark(p, p.head[m_mark], out, last) == Read::Tag)
                        return true;
                    continue;
                }
                m_phase = 1;
                m_mark = 0;
            }
            if (m_phase == 1) {  // whole tags: each begins with a "<" that ends all before
                if (m_mark == 0 && m_unpaired && !p.tags.empty() && m_piece <= last) {
                    m_active = false;  // as the first whole tag would
                    m_skip = false;
                }
                if (m_mark < (m_unpaired ? p.unpaired.size() : p.tags.size())) {
                    if (m_piece > last)
                        return false;  // read again by a later call with a larger limit
                    const PieceTags::Whole& w =
                        p.tags[m_unpaired ? std::size_t(p.unpaired[m_mark++]) : m_mark++];
                    m_active = false;
                    m_skip = false;
                    out.range = {m_start + w.start, m_start + w.end};
                    out.isEnd = w.isEnd;
                    out.selfClosing = w.selfClosing;
                    out.traits = w.traits;
                    out.nameLength = w.nameLength;
                    std::copy_n(p.names.data() + w.name, std::min(w.nameLength, maxName), out.name);
                    return true;
                }
                m_phase = 2;
                m_mark = 0;
            }
            if (m_mark < p.tail.size()) {
                const Read r = mark(p, p.tail[m_mark], out, last);
                if (r == Read::Stop)
                    return false;
                if (r == Read::Tag)
                    return true;
                continue;
            }
            if (m_piece >= last && !m_active)
                return false;
            if (m_piece + 1 >= m_count)
                return false;
            ++m_piece;
            load();
        }
        return false;
    }

private:
    enum class Read { On, Tag, Stop };

    // Reads one mark and steps past it: Tag when it ends a tag, given in `out`; Stop, not
    // stepping past it, for a "<" in a piece beyond `last` (read again by a later call with a
    // larger limit).
    Read mark(const PieceTags& p, const PieceTags::Mark& k, Tag& out, int last)
    {
        if (k.length >= 0) {  // a piece of a tag name
            if (m_active && !m_skip) {
                const int kept = std::min(k.length, std::max(0, maxName - m_tag.nameLength));
                if (kept > 0)
                    std::copy_n(p.names.data() + k.name, kept, m_tag.name + m_tag.nameLength);
                m_tag.nameLength += k.length;
            }
            ++m_mark;
            return Read::On;
        }
        const int position = m_start + k.at;
        const char16_t c = char16_t(-k.length);
        if (c == u'<') {
            if (m_piece > last)
                return Read::Stop;
            m_skip = false;
            m_active = true;
            m_tag = Tag{};
            m_tag.range.start = position;
            m_slash = -2;
        } else if (c == u'/') {
            if (m_active && position == m_tag.range.start + 1)
                m_tag.isEnd = true;
            else
                m_slash = position;
        } else if (c == u'>') {
            if (m_skip) {
                m_skip = false;
            } else if (m_active) {
                m_active = false;
                m_tag.range.end = position + 1;
                m_tag.selfClosing = !m_tag.isEnd && m_slash == position - 1;
                if (m_tag.nameLength != 0) {
                    ++m_mark;
                    classify(m_tag);
                    out = m_tag;
                    return Read::Tag;
                }
            }
        }
        ++m_mark;
        return Read::On;
    }

    void load()
    {
        m_tags = m_page.tagsOf(m_piece);
        m_unpaired = m_unpairedOn && m_tags->paired && m_piece < m_unpairedUntil;
        m_start = m_page.pieceStart(m_piece);
        m_mark = 0;
        m_phase = 0;
    }

    const PageView& m_page;
    int m_count;
    int m_piece = 0;
    std::shared_ptr<const PieceTags> m_tags;
    int m_phase = 0;  // reading the head, the whole tags or the tail of the piece
    std::size_t m_mark = 0;
    int m_start = 0;
    bool m_skip = false;    // the piece started inside a tag whose "<" lies before the scan
    bool m_active = false;  // between a "<" and its ">"
    int m_slash = -2;       // position of the last "/" in the tag
    Tag m_tag;
    bool m_unpairedOn = false;
    int m_unpairedUntil = INT_MAX;
    bool m_unpaired = false;  // the whole tags of this piece are read as its unpaired ones
};

int pageEnd(const PageView& page)
{
    const int n = page.pieceCount();
    return n == 0 ? 0 : page.pieceStart(n - 1) + int(page.piece(n - 1).size());
}

// The tags that start in pieces first to last, in page order.
void tagsStartingIn(Scanner& scanner, int first, int last, std::vector<Tag>& tags)
{
    tags.clear();
    scanner.restart(first);
    Tag t;
    while (scanner.next(t, last))
        tags.push_back(t);
}

// The tag holding `position` ("<" up to and with ">", or just after it), preferring one that
// starts at the position over one that ends there.
std::optional<Tag> tagAt(const PageView& page, int position)
{
    const int n = page.pieceCount();
    if (n == 0)
        return std::nullopt;
    const int last = std::clamp(page.pieceAt(position), 0, n - 1);
    int first = last;
    // A position where a piece continues the one before is also that one's end: a tag
    // ending there is read from it.
    if (first > 0 && position == page.pieceStart(first) && !page.pieceEndsLine(first - 1))
        --first;
    while (first > 0 && insideTag(page.stateBefore(first)))
        --first;
    Scanner scanner(page, first);
    std::optional<Tag> endingHere;
    Tag t;
    while (scanner.next(t, last)) {
        if (t.range.start > position)
            break;
        if (position < t.range.end)
            return t;
        if (position == t.range.end)
            endingHere = t;
    }
    return endingHere;
}

// Where the element of start tag `start` ends, found by reading on from it.
struct Forward {
    TagStatus status = TagStatus::Unmatched;
    std::optional<Range> partner;
    int end = 0;
};

Forward forwardFrom(const PageView& page, const Tag& start)
{
    Forward result;
    if (standsAlone(start)) {
        result.status = TagStatus::Void;
        result.end = start.range.end;
        return result;
    }
    std::vector<Tag> open{start};
    Scanner scanner(page, page.pieceAt(start.range.start));
    // Open elements whose end may be left out: while there are none, the tags that pair off
    // inside a later piece change nothing and are passed over.
    bool endingEarly = false;
    const auto recount = [&] {
        endingEarly = std::any_of(open.begin(), open.end(),
                                  [](const Tag& o) { return endMayBeOmitted(o); });
        scanner.readUnpaired(!endingEarly);
    };
    recount();
    Tag t;
    bool past = false;
    auto closeImplicitly = [&](const Tag& by, bool before) {
        result.status = endMayBeOmitted(start) ? TagStatus::ImplicitlyClosed
                                               : TagStatus::Unmatched;
        if (result.status == TagStatus::ImplicitlyClosed)
            result.partner = by.range;
        result.end = before ? by.range.start : by.range.end;
    };
    while (scanner.next(t)) {
        if (!past) {
            past = t.range.start >= start.range.end;
            if (!past)
                continue;
        }
        if (!t.isEnd) {
            if (standsAlone(t))
                continue;
            // A start tag closes open elements whose end may be left out before it.
            for (int k = int(open.size()) - 1; k >= 0; --k) {
                if (startTagCloses(open[k], t)) {
                    if (k == 0) {
                        closeImplicitly(t, true);
                        return result;
                    }
                    open.resize(k);
                    k = int(open.size());  // look again from the new top
                    continue;
                }
                if (isSpecial(open[k]))
                    break;
            }
            open.push_back(t);
            if (endingEarly || endMayBeOmitted(t))
                recount();
            continue;
        }
        if (isVoid(t))
            continue;
        int k = int(open.size()) - 1;
        while (k >= 0 && !open[k].sameName(t))
            --k;
        if (k == 0) {
            result.status = TagStatus::Matched;
            result.partner = t.range;
            result.end = t.range.end;
            return result;
        }
        if (k > 0) {
            open.resize(k);
            if (endingEarly)
                recount();
            continue;
        }
        // An end tag of no element opened since the start tag: the end of an element that
        // holds it (block elements and table parts), or a stray end tag that the parser
        // ignores when a block element is open.
        const bool strayInside =
            !isSpecial(t) &&
            std::any_of(open.begin(), open.end(), [](const Tag& o) { return isSpecial(o); });
        if (!strayInside) {
            closeImplicitly(t, true);
            return result;
        }
    }
    result.status = endMayBeOmitted(start) ? TagStatus::ImplicitlyClosed : TagStatus::Unmatched;
    result.end = pageEnd(page);
    return result;
}

// Reads tags backward from `position` (tags that end at or before it), last first.
template <typename Visit>
void backwardFrom(const PageView& page, int position, Visit visit)
{
    const int n = page.pieceCount();
    if (n == 0)
        return;
    // A few pieces at a time, read forward, then visited last first: each piece is lexed
    // about once, and a tag cut by a piece's end is read on once per group, not per piece.
    // Read backward, the tags that pair off inside a piece meet their partners among
    // themselves: before the piece holding the position, only the unpaired ones are read.
    int last = std::clamp(page.pieceAt(position), 0, n - 1);
    Scanner scanner(page, last);
    scanner.readUnpaired(true, last);
    std::vector<Tag> tags;
    for (int group = 1; last >= 0; group = std::min(group * 2, 256)) {
        const int first = std::max(0, last - group + 1);
        tagsStartingIn(scanner, first, last, tags);
        last = first - 1;
        for (auto it = tags.rbegin(); it != tags.rend(); ++it)
            if (it->range.end <= position && !visit(*it))
                return;
    }
}

// Reading backward: whether `t` is passed over (an end tag, kept in `pending`, innermost
// last; a tag that stands alone; or the start tag of an end tag met on the way).
bool passedBackward(std::vector<Tag>& pending, const Tag& t)
{
    if (t.isEnd) {
        if (!isVoid(t))
            pending.push_back(t);
        return true;
    }
    if (standsAlone(t))
        return true;
    for (int k = int(pending.size()) - 1; k >= 0; --k)
        if (pending[k].sameName(t)) {
            pending.resize(k);
            return true;
        }
    return false;
}

// The start tag of end tag `end`, read backward from it.
std::optional<Tag> startOf(const PageView& page, const Tag& end)
{
    std::vector<Tag> pending;  // end tags met on the way, innermost last
    std::optional<Tag> found;
    backwardFrom(page, end.range.start, [&](const Tag& t) {
        if (passedBackward(pending, t))
            return true;
        if (pending.empty() && t.sameName(end)) {
            found = t;
            return false;
        }
        return true;  // an element whose end was left out, or never closed
    });
    return found;
}

bool contains(const Range& outer, int from, int to)
{
    return outer.start <= from && to <= outer.end && !(outer.start == from && outer.end == to);
}

// The unpaired whole tags of a piece (see PieceTags), when its tags pair off as a stack does.
void pairOff(PieceTags& p)
{
    std::vector<std::int32_t> open;  // start tags not closed yet, innermost last
    const auto sameName = [&](const PieceTags::Whole& a, const PieceTags::Whole& b) {
        const int n = std::min(a.nameLength, maxName);
        return a.nameLength == b.nameLength &&
               std::equal(p.names.begin() + a.name, p.names.begin() + a.name + n,
                          p.names.begin() + b.name);
    };
    std::vector<std::int32_t> unpaired;
    for (std::int32_t i = 0; i < std::int32_t(p.tags.size()); ++i) {
        const PieceTags::Whole& w = p.tags[std::size_t(i)];
        if (w.traits & OptionalEnd)
            return;
        if (w.traits & VoidElement || (!w.isEnd && w.selfClosing))
            continue;  // no element, or one that stands alone
        if (!w.isEnd)
            open.push_back(i);
        else if (open.empty())
            unpaired.push_back(i);  // the end of an element opened before the piece
        else if (sameName(p.tags[std::size_t(open.back())], w))
            open.pop_back();
        else
            return;  // closes elements opened inside as well: read whole
    }
    unpaired.insert(unpaired.end(), open.begin(), open.end());
    if (unpaired.size() == p.tags.size())
        return;  // nothing pairs off
    p.unpaired = std::move(unpaired);
    p.paired = true;
}

} // namespace

PieceTags readPieceTags(const PageView& page, int i)
{
    PieceTags out;
    const int count = page.pieceCount();
    if (i < 0 || i >= count)
        return out;
    const QString text = page.piece(i);
    std::vector<Span> spans;
    if (page.pieceEndsLine(i) || i + 1 >= count) {
        lexTags(text, page.stateBefore(i), true, spans);
    } else {
        // A continued piece: the lexer reads on into the line's next pieces.
        QString following = page.piece(i + 1);
        for (int j = i + 2; j < count && following.size() < lookahead; ++j) {
            if (page.pieceEndsLine(j - 1))
                break;
            following += page.piece(j);
        }
        lexTags(text, page.stateBefore(i), false, spans, following);
    }
    // The marks in order, then those from the first "<" on read into whole tags: a "<" ends
    // whatever came before it, so from there on they read alike whatever the piece began in.
    std::vector<PieceTags::Mark> marks;
    for (const Span& s : spans) {
        if (s.kind == Token::TagName) {
            const int kept = std::min(s.length, maxName);
            marks.push_back({s.start, s.length, int(out.names.size())});
            for (int k = 0; k < kept; ++k) {
                char16_t c = text[s.start + k].unicode();
                if (c >= 'A' && c <= 'Z')
                    c = char16_t(c | 0x20);
                out.names.push_back(c);
            }
        } else if (s.kind == Token::TagDelimiter) {
            for (int k = 0; k < s.length; ++k) {
                const char16_t c = text[s.start + k].unicode();
                if (c == u'<' || c == u'/' || c == u'>')
                    marks.push_back({s.start + k, -int(c), 0});
            }
        }
    }
    std::size_t k = 0;
    while (k < marks.size() && marks[k].length != -int(u'<'))
        ++k;
    out.head.assign(marks.begin(), marks.begin() + std::ptrdiff_t(k));
    std::size_t open = marks.size();  // the "<" of the tag being read
    Tag tag;
    int slash = -2;
    for (; k < marks.size(); ++k) {
        const PieceTags::Mark& m = marks[k];
        if (m.length >= 0) {
            if (open < marks.size()) {
                if (tag.nameLength == 0)
                    tag.range.end = m.name;  // where its name starts in `names`
                tag.nameLength += m.length;
            }
            continue;
        }
        const char16_t c = char16_t(-m.length);
        if (c == u'<') {
            open = k;
            tag = Tag{};
            tag.range.start = m.at;
            slash = -2;
        } else if (c == u'/') {
            if (open < marks.size() && m.at == tag.range.start + 1)
                tag.isEnd = true;
            else
                slash = m.at;
        } else if (open < marks.size()) {
            open = marks.size();
            if (tag.nameLength == 0)
                continue;
            // The name may come in several spans: its kept characters are read from where
            // the first one starts, as they were stored one after another.
            const int name = tag.range.end;
            const int kept = std::min(tag.nameLength, maxName);
            std::copy_n(out.names.data() + name, kept, tag.name);
            classify(tag);
            PieceTags::Whole w{tag.range.start, m.at + 1, tag.nameLength, name, tag.isEnd,
                               !tag.isEnd && slash == m.at - 1, tag.traits};
            out.tags.push_back(w);
        }
    }
    if (open < marks.size())
        out.tail.assign(marks.begin() + std::ptrdiff_t(open), marks.end());
    pairOff(out);
    out.head.shrink_to_fit();
    out.unpaired.shrink_to_fit();
    out.tags.shrink_to_fit();
    out.names.shrink_to_fit();
    return out;
}

std::shared_ptr<const PieceTags> PageView::tagsOf(int i) const
{
    return std::make_shared<const PieceTags>(readPieceTags(*this, i));
}

std::optional<TagMatch> matchingTag(const PageView& page, int position)
{
    const std::optional<Tag> tag = tagAt(page, position);
    if (!tag)
        return std::nullopt;
    TagMatch match;
    match.tag = tag->range;
    match.isEndTag = tag->isEnd;
    if (tag->isEnd) {
        const std::optional<Tag> start = isVoid(*tag) ? std::nullopt : startOf(page, *tag);
        if (start) {
            match.status = TagStatus::Matched;
            match.partner = start->range;
            match.element = {start->range.start, tag->range.end};
        } else {
            match.status = TagStatus::Unmatched;
            match.element = tag->range;
        }
        return match;
    }
    const Forward f = forwardFrom(page, *tag);
    match.status = f.status;
    match.partner = f.partner;
    match.element = {tag->range.start, f.end};
    return match;
}

std::optional<Range> enclosingElement(const PageView& page, int from, int to)
{
    if (to < from)
        std::swap(from, to);
    int walkFrom = from;
    if (const std::optional<Tag> tag = tagAt(page, from);
        tag && tag->range.start <= from && from < tag->range.end) {
        if (const std::optional<TagMatch> m = matchingTag(page, tag->range.start)) {
            const bool element = m->status == TagStatus::Matched ||
                                 m->status == TagStatus::ImplicitlyClosed ||
                                 m->status == TagStatus::Void;
            if (element && contains(m->element, from, to))
                return m->element;
            walkFrom = element ? m->element.start : tag->range.start;
        }
    }
    std::optional<Range> result;
    std::vector<Tag> pending;
    backwardFrom(page, walkFrom, [&](const Tag& t) {
        if (passedBackward(pending, t))
            return true;
        const Forward f = forwardFrom(page, t);
        if (f.status == TagStatus::Unmatched)
            return true;
        const Range element{t.range.start, f.end};
        if (contains(element, from, to)) {
            result = element;
            return false;
        }
        return true;
    });
    return result;
}

} // namespace markup
