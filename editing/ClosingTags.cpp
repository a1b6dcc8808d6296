#include "editing/ClosingTags.h"

#include "markup/Lexer.h"
#include "markup/LexerTags.h"
#include "markup/Tables.h"

#include <QStringList>
#include <vector>

namespace editing {

namespace {

// The kind of token at `position`, lexed from its piece's state (Text when none covers it).
markup::Token tokenAt(const markup::PageView& page, int position) {
    const int i = page.pieceAt(position);
    if (i < 0 || i >= page.pieceCount())
        return markup::Token::Text;
    const QString text = page.piece(i);
    const QString following = !page.pieceEndsLine(i) && i + 1 < page.pieceCount()
                                  ? page.piece(i + 1).left(markup::lookahead)
                                  : QString();
    std::vector<markup::Span> spans;
    markup::lex(text, page.stateBefore(i), page.pieceEndsLine(i), spans, following);
    const int at = position - page.pieceStart(i);
    for (const markup::Span& s : spans)
        if (at >= s.start && at < s.start + s.length)
            return s.kind;
    return markup::Token::Text;
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':' || c == u'.';
}

// The name of the tag starting at `start` ("<" or "</" then the name).
QString tagName(const markup::PageView& page, int start, int end) {
    const QString tag = pageText(page, start, end);
    int from = tag.startsWith(QLatin1String("</")) ? 2 : 1;
    int to = from;
    while (to < tag.size() && isNameChar(tag[to]))
        ++to;
    return tag.mid(from, to - from).toLower();
}

} // namespace

QString pageText(const markup::PageView& page, int from, int to) {
    QString out;
    if (from >= to)
        return out;
    for (int i = std::max(0, page.pieceAt(from)); i < page.pieceCount(); ++i) {
        const int start = page.pieceStart(i);
        if (start >= to)
            break;
        QString piece = page.piece(i);
        if (page.pieceEndsLine(i) && i + 1 < page.pieceCount())
            piece += u'\n';
        const int a = std::max(from - start, 0);
        const int b = std::min<int>(to - start, piece.size());
        if (b > a)
            out += QStringView(piece).mid(a, b - a);
    }
    return out;
}

QString elementToClose(const markup::PageView& page, int position) {
    using markup::Token;
    // What holds the "<": the token just before it (a lone "</" lexes as a bogus comment).
    switch (position > 0 ? tokenAt(page, position - 1) : Token::Text) {
    case Token::Text:
    case Token::TagDelimiter:
    case Token::JsText:
    case Token::CssSelector:
    case Token::CssProperty:
    case Token::CssValue:
        break;
    default:
        return {};
    }
    // The elements open at the "<": the page's tags up to it, read in order. A start tag of
    // an element whose end may be left out closes an open one it follows in the HTML rules
    // (a <li> the <li> before it, a <td> a <th>, ...).
    static const QStringList optionalEnd{
        "li", "dt", "dd",       "p",     "option", "tr",    "td",       "th",
        "rt", "rp", "optgroup", "thead", "tbody",  "tfoot", "colgroup", "caption"};
    const auto closesOpen = [](const QString& next, const QString& open) {
        if (next == open)
            return optionalEnd.contains(open);
        const auto pair = [&](const char* a, const char* b) {
            return (next == QLatin1String(a) && open == QLatin1String(b)) ||
                   (next == QLatin1String(b) && open == QLatin1String(a));
        };
        return pair("dt", "dd") || pair("td", "th") || pair("rt", "rp");
    };
    QStringList open;
    bool lastWasStart = false;
    std::vector<markup::Span> spans;
    const int last = page.pieceAt(position);
    for (int i = 0; i <= last && i < page.pieceCount(); ++i) {
        const QString text = page.piece(i);
        const bool ends = page.pieceEndsLine(i);
        const QString following = !ends && i + 1 < page.pieceCount()
                                      ? page.piece(i + 1).left(markup::lookahead)
                                      : QString();
        spans.clear();
        markup::lexTags(text, page.stateBefore(i), ends, spans, following);
        const int base = page.pieceStart(i);
        bool endTag = false;
        for (const markup::Span& s : spans) {
            if (base + s.start >= position)
                break;
            const QStringView t = QStringView(text).mid(s.start, s.length);
            if (s.kind == markup::Token::TagDelimiter) {
                if (t == u"</")
                    endTag = true;
                else if (t == u"<")
                    endTag = false;
                else if (t == u"/>" && lastWasStart && !open.isEmpty())
                    open.removeLast();
                if (t != u"<" && t != u"</")
                    lastWasStart = false;
                continue;
            }
            if (s.kind != markup::Token::TagName)
                continue;
            const QString name = t.toString().toLower();
            if (endTag) {
                const int at = int(open.lastIndexOf(name));
                if (at >= 0)
                    open.erase(open.begin() + at, open.end());
                lastWasStart = false;
                continue;
            }
            while (!open.isEmpty() && closesOpen(name, open.back()))
                open.removeLast();
            const markup::Element* e = markup::findElement(name);
            lastWasStart = !(e && e->isVoid);
            if (lastWasStart)
                open.append(name);
        }
    }
    return open.isEmpty() ? QString() : open.back();
}

QString endTagWanted(const markup::PageView& page, int position, QStringView following) {
    if (position < 1 || tokenAt(page, position - 1) != markup::Token::TagDelimiter)
        return {};
    // At the ">" itself: just past it a tag that starts there would be taken instead.
    const auto match = markup::matchingTag(page, position - 1);
    if (!match || match->isEndTag || match->tag.end != position ||
        match->status == markup::TagStatus::Void)
        return {};
    const QString name = tagName(page, match->tag.start, match->tag.end);
    if (name.isEmpty() || !name.front().isLetter())
        return {};
    if (const markup::Element* e = markup::findElement(name); e && e->isVoid)
        return {};
    if (pageText(page, match->tag.end - 2, match->tag.end) == QLatin1String("/>"))
        return {};
    const QString end = QLatin1String("</") + name;
    if (following.startsWith(end, Qt::CaseInsensitive) &&
        (following.size() == end.size() || following[end.size()] == u'>' ||
         following[end.size()].isSpace()))
        return {};
    return name;
}

} // namespace editing
