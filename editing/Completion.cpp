#include "editing/Completion.h"

#include "markup/Tables.h"
#include "markup/tables/AttributeValues.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <set>

namespace editing {

namespace {

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':';
}

QStringList valuesOf(const QString& element, const QString& attribute) {
    QStringList out;
    for (const char* v : markup::valuesOf(element, attribute))
        out << QLatin1String(v);
    return out;
}

QString characterOf(const markup::NamedReference& r) {
    QString s = QString::fromUcs4(&r.first, 1);
    if (r.second)
        s += QString::fromUcs4(&r.second, 1);
    return s;
}

} // namespace

CompletionContext completionContext(QStringView line, int caret, markup::State state) {
    CompletionContext c;
    caret = std::clamp<int>(caret, 0, int(line.size()));
    int start = caret;
    while (start > 0 && isNameChar(line[start - 1]))
        --start;
    std::vector<markup::Span> spans;
    const markup::State at = markup::lex(line.left(caret), state, false, spans);
    const markup::Span* last = spans.empty() ? nullptr : &spans.back();
    const auto ends = [&](const markup::Span* s) { return s && s->start + s->length == caret; };
    const QStringView typed = line.mid(start, caret - start);

    // A reference: "&" and the letters after it, in text or an attribute value.
    if (start > 0 && line[start - 1] == u'&') {
        markup::Token kind = markup::Token::Text;
        for (const markup::Span& s : spans)
            if (start - 1 >= s.start && start - 1 < s.start + s.length)
                kind = s.kind;
        if (kind == markup::Token::Text || kind == markup::Token::CharacterReference ||
            kind == markup::Token::AttributeValue) {
            c.kind = CompletionKind::Entity;
            c.start = start;
            c.prefix = typed.toString();
            return c;
        }
    }
    if (start > 0 && line[start - 1] == u'<') {
        // A lone "<" is text to the lexer until a letter follows it.
        markup::Token kind = markup::Token::Text;
        for (const markup::Span& s : spans)
            if (start - 1 >= s.start && start - 1 < s.start + s.length)
                kind = s.kind;
        if (kind == markup::Token::Text || kind == markup::Token::TagDelimiter) {
            c.kind = CompletionKind::Element;
            c.start = start;
            c.prefix = typed.toString();
        }
        return c;
    }
    if (!markup::insideTag(at))
        return c;
    // The element of the tag: the last tag name lexed on this line.
    for (auto s = spans.rbegin(); s != spans.rend(); ++s)
        if (s->kind == markup::Token::TagName) {
            c.element = line.mid(s->start, s->length).toString().toLower();
            break;
        }
    if (last && last->kind == markup::Token::AttributeValue && ends(last)) {
        const QStringView value = line.mid(last->start, last->length);
        const QChar quote = value.front();
        const bool open =
            (quote == u'"' || quote == u'\'') && (value.size() == 1 || value.back() != quote);
        if (!open)
            return c;
        for (auto s = spans.rbegin(); s != spans.rend(); ++s)
            if (s->kind == markup::Token::AttributeName) {
                c.attribute = line.mid(s->start, s->length).toString().toLower();
                break;
            }
        c.kind = CompletionKind::Value;
        c.start = last->start + 1;
        c.prefix = value.mid(1).toString();
        const QString& a = c.attribute;
        if (a == QLatin1String("class")) {
            // One class of several: the word being typed.
            c.kind = CompletionKind::ClassName;
            const int space = int(c.prefix.lastIndexOf(u' '));
            c.start += space + 1;
            c.prefix = c.prefix.mid(space + 1);
        } else if (a == QLatin1String("for") || a == QLatin1String("headers") ||
                   (a == QLatin1String("href") && c.prefix.startsWith(u'#'))) {
            c.kind = CompletionKind::Id;
            if (a == QLatin1String("href")) {
                c.start += 1;
                c.prefix = c.prefix.mid(1);
            }
            if (a == QLatin1String("headers")) {
                const int space = int(c.prefix.lastIndexOf(u' '));
                c.start += space + 1;
                c.prefix = c.prefix.mid(space + 1);
            }
        } else if (a == QLatin1String("href") || a == QLatin1String("src") ||
                   a == QLatin1String("action")) {
            c.kind = CompletionKind::Path;
        }
        return c;
    }
    if (start > 0 && (line[start - 1] == u' ' || line[start - 1] == u'\t') &&
        !c.element.isEmpty()) {
        c.kind = CompletionKind::Attribute;
    } else {
        return c;
    }
    c.start = start;
    c.prefix = typed.toString();
    return c;
}

QStringList classNames(QStringView css) {
    static const QRegularExpression comment(QStringLiteral(R"re(/\*.*?\*/)re"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression block(QStringLiteral(R"re(\{[^{}]*\})re"));
    static const QRegularExpression selector(QStringLiteral(R"re(\.(-?[A-Za-z_][\w-]*))re"));
    QString text = css.toString();
    text.remove(comment);
    text.replace(block, QStringLiteral("{}")); // declarations hold no selectors (".5em")
    std::set<QString> names;
    for (auto it = selector.globalMatch(text); it.hasNext();)
        names.insert(it.next().captured(1));
    return {names.begin(), names.end()};
}

QStringList idsOf(QStringView page) {
    static const QRegularExpression id(QStringLiteral(R"re(\sid\s*=\s*["']?([^"'\s>]+))re"),
                                       QRegularExpression::CaseInsensitiveOption);
    std::set<QString> names;
    for (auto it = id.globalMatch(page); it.hasNext();)
        names.insert(it.next().captured(1));
    return {names.begin(), names.end()};
}

QStringList styleSheetsOf(QStringView page) {
    static const QRegularExpression link(QStringLiteral(R"re(<link\b[^>]*>)re"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression sheet(QStringLiteral(R"re(\srel\s*=\s*["']?stylesheet)re"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression href(
        QStringLiteral(R"re(\shref\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    for (auto it = link.globalMatch(page); it.hasNext();) {
        const QString tag = it.next().captured();
        const QRegularExpressionMatch h = href.match(tag);
        if (sheet.match(tag).hasMatch() && h.hasMatch())
            out << h.captured(1) + h.captured(2) + h.captured(3);
    }
    return out;
}

QString pageStyle(QStringView page) {
    static const QRegularExpression style(QStringLiteral(R"re(<style\b[^>]*>(.*?)</style)re"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    QString out;
    for (auto it = style.globalMatch(page); it.hasNext();)
        out += it.next().captured(1) + u'\n';
    return out;
}

std::vector<Suggestion> suggestions(const CompletionContext& c, const PageNames& page) {
    std::vector<Suggestion> out;
    const auto fromList = [&](const QStringList& names) {
        for (const QString& n : names)
            if (n.startsWith(c.prefix) && n != c.prefix)
                out.push_back({n, n});
    };
    switch (c.kind) {
    case CompletionKind::None:
        break;
    case CompletionKind::ClassName:
        fromList(page.classes);
        break;
    case CompletionKind::Id:
        fromList(page.ids);
        break;
    case CompletionKind::Path: {
        if (page.folder.isEmpty())
            break;
        const int slash = int(c.prefix.lastIndexOf(u'/'));
        const QString sub = c.prefix.left(slash + 1);
        const QString rest = c.prefix.mid(slash + 1);
        const QDir dir(QDir(page.folder).filePath(sub.isEmpty() ? QStringLiteral(".") : sub));
        static const QStringList images{"png", "jpg", "jpeg", "gif", "webp", "svg", "ico", "avif"};
        std::vector<Suggestion> first, later;
        for (const QFileInfo& f :
             dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot,
                               QDir::DirsFirst | QDir::Name | QDir::IgnoreCase)) {
            if (!f.fileName().startsWith(rest, Qt::CaseInsensitive))
                continue;
            const QString name = sub + f.fileName() + (f.isDir() ? QStringLiteral("/") : QString());
            const bool image =
                c.attribute == QLatin1String("src") && images.contains(f.suffix().toLower());
            if (image) {
                // The pixel size beside the name, read from the file's header.
                const QSize size = QImageReader(f.absoluteFilePath()).size();
                first.push_back(
                    {name,
                     size.isValid()
                         ? name + QStringLiteral("   %1 × %2").arg(size.width()).arg(size.height())
                         : name});
            } else {
                later.push_back({name, name});
            }
        }
        out = std::move(first);
        out.insert(out.end(), later.begin(), later.end());
        break;
    }
    case CompletionKind::Element:
        for (const markup::Element& e : markup::elements()) {
            const QString name = QLatin1String(e.name);
            if (name.startsWith(c.prefix, Qt::CaseInsensitive))
                out.push_back({name, e.obsolete ? name + QLatin1String("   (old-style)") : name});
        }
        break;
    case CompletionKind::Attribute: {
        std::set<QString> names;
        if (const markup::Element* e = markup::findElement(c.element))
            for (const char* a : e->attributes)
                names.insert(QLatin1String(a));
        for (const char* a : markup::globalAttributes())
            names.insert(QLatin1String(a));
        std::vector<Suggestion> events;
        for (const QString& n : names)
            if (n.startsWith(c.prefix, Qt::CaseInsensitive))
                out.push_back({n, n});
        // Event handlers last: they are many and seldom wanted.
        for (const char* a : markup::eventHandlerAttributes()) {
            const QString n = QLatin1String(a);
            if (!names.count(n) && n.startsWith(c.prefix, Qt::CaseInsensitive))
                out.push_back({n, n});
        }
        break;
    }
    case CompletionKind::Value:
        for (const QString& v : valuesOf(c.element, c.attribute))
            if (v.startsWith(c.prefix, Qt::CaseInsensitive))
                out.push_back({v, v});
        break;
    case CompletionKind::Entity:
        for (const markup::NamedReference& r : markup::namedReferences()) {
            const QString name = QLatin1String(r.name);
            if (name.startsWith(c.prefix))
                out.push_back({name + u';', name + QLatin1String("   ") + characterOf(r)});
        }
        break;
    }
    return out;
}

} // namespace editing
