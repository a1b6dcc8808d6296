#include "spelling/Words.h"

#include "markup/Tables.h"

#include <algorithm>

namespace spelling {

using markup::Token;

namespace {

bool isOneOf(QStringView name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* n) { return name.compare(QLatin1StringView(n)) == 0; });
}

// Elements whose content is code or program text, never prose.
bool skipsContent(QStringView element) {
    return isOneOf(element, {"script", "style", "code", "pre", "kbd", "samp"});
}

// An attribute whose value is kept while the tag is read: readable text, or what decides it.
bool heldAttribute(QStringView attribute) {
    return isOneOf(attribute, {"alt", "title", "placeholder", "aria-label", "label", "summary",
                               "value", "content"});
}

QString trimmedValue(const QString& value) {
    QString v = value.trimmed();
    if (!v.isEmpty() && (v.front() == u'"' || v.front() == u'\''))
        v.remove(0, 1);
    if (!v.isEmpty() && (v.back() == u'"' || v.back() == u'\''))
        v.chop(1);
    return v.trimmed().toLower();
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c.isMark();
}
bool isApostrophe(QChar c) {
    return c == u'\'' || c == QChar(0x2019);
}

// A whitespace-free stretch that is an address rather than words.
bool isAddress(QStringView chunk) {
    if (chunk.contains(u"://") || chunk.startsWith(u"www.", Qt::CaseInsensitive) ||
        chunk.startsWith(u"mailto:", Qt::CaseInsensitive))
        return true;
    const qsizetype at = chunk.indexOf(u'@');
    return at > 0 && chunk.indexOf(u'.', at) > at + 1;
}

// Decodes the reference starting at source[i] ('&'); returns its length, 0 when it is none.
int decodeReference(QStringView source, qsizetype i, QString& into) {
    const qsizetype semicolon = source.indexOf(u';', i + 1);
    if (semicolon < 0 || semicolon - i > 40 || semicolon == i + 1)
        return 0;
    const QStringView body = source.sliced(i + 1, semicolon - i - 1);
    if (body.front() == u'#') {
        bool ok = false;
        const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
        const uint code = hex ? body.sliced(2).toUInt(&ok, 16) : body.sliced(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF)
            return 0;
        const char32_t c = code;
        into += QString::fromUcs4(&c, 1);
        return int(semicolon - i + 1);
    }
    const markup::NamedReference* ref = markup::findNamedReference(body);
    if (!ref)
        return 0;
    into += QString::fromUcs4(&ref->first, 1);
    if (ref->second)
        into += QString::fromUcs4(&ref->second, 1);
    return int(semicolon - i + 1);
}

} // namespace

bool readableAttribute(QStringView element, QStringView attribute, QStringView metaName,
                       QStringView inputType) {
    if (isOneOf(attribute, {"alt", "title", "placeholder", "aria-label", "label", "summary"}))
        return true;
    if (attribute == u"value")
        return element == u"button" ||
               (element == u"input" && isOneOf(inputType, {"button", "submit", "reset"}));
    if (attribute == u"content")
        return element == u"meta" && isOneOf(metaName, {"description", "keywords"});
    return false;
}

QString Scanner::language() const {
    return context.open.empty() ? QString() : context.open.back().language;
}

bool Scanner::skipping() const {
    return !context.open.empty() && context.open.back().skipped;
}

void Scanner::addRun(QStringView source, int piece, int column, bool decode) {
    Context::Value& run = context.inTag ? context.values.back() : context.current;
    // A value is held whole until its tag ends, and the context goes with every piece: a quote
    // left open would carry the rest of the page. Its first 64 K characters are checked.
    const bool held = context.inTag;
    for (qsizetype i = 0; i < source.size() && !(held && run.text.size() >= Context::longestValue);
         ++i) {
        int length = 0;
        if (decode && source[i] == u'&')
            length = decodeReference(source, i, run.text);
        if (length == 0) {
            run.text += source[i];
            length = 1;
        }
        while (run.chars.size() < size_t(run.text.size()))
            run.chars.push_back({piece, column + int(i), length});
        i += length - 1;
    }
}

void Scanner::emitWords(const Context::Value& run, const QString& language,
                        std::vector<Word>& out) const {
    const QString& t = run.text;
    const qsizetype n = t.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && t[i].isSpace())
            ++i;
        qsizetype chunkEnd = i;
        while (chunkEnd < n && !t[chunkEnd].isSpace())
            ++chunkEnd;
        if (isAddress(QStringView(t).sliced(i, chunkEnd - i))) {
            i = chunkEnd;
            continue;
        }
        while (i < chunkEnd) {
            if (!isWordChar(t[i])) {
                ++i;
                continue;
            }
            qsizetype j = i;
            bool digits = false, lower = false;
            while (j < chunkEnd && (isWordChar(t[j]) || (isApostrophe(t[j]) && j + 1 < chunkEnd &&
                                                         t[j + 1].isLetter()))) {
                digits = digits || t[j].isDigit();
                lower = lower || t[j].isLower();
                ++j;
            }
            const bool capitals = !lower && j - i > 1;
            if (!digits && !(capitals && m_options.skipCapitals)) {
                const Context::Char& first = run.chars[i];
                const Context::Char& last = run.chars[j - 1];
                out.push_back({first.piece, first.column, last.piece, last.column + last.length,
                               t.sliced(i, j - i), language});
            }
            i = j;
        }
    }
}

void Scanner::flushCompleteWords(std::vector<Word>& out) {
    Context::Value& run = context.current;
    qsizetype cut = run.text.size();
    while (cut > 0 && !run.text[cut - 1].isSpace())
        --cut;
    if (cut == 0)
        return;
    const Context::Value head{{}, run.text.first(cut), {run.chars.begin(), run.chars.begin() + cut}};
    emitWords(head, language(), out);
    run.text.remove(0, cut);
    run.chars.erase(run.chars.begin(), run.chars.begin() + cut);
}

void Scanner::flushText(std::vector<Word>& out) {
    if (!context.current.text.isEmpty())
        emitWords(context.current, language(), out);
    context.current = {};
}

void Scanner::endOfTag(std::vector<Word>& out) {
    Context& c = context;
    const QString name = c.tagName.toLower();
    if (c.endTag) {
        const auto it = std::find_if(c.open.rbegin(), c.open.rend(),
                                     [&](const Context::Open& o) { return o.name == name; });
        if (it != c.open.rend())
            c.open.erase(std::prev(it.base()), c.open.end());
    } else if (!name.isEmpty()) {
        const QString lang = c.hasTagLanguage ? trimmedValue(c.tagLanguage) : language();
        const QString metaName = trimmedValue(c.metaName), inputType = trimmedValue(c.inputType);
        if (!skipping())
            for (const Context::Value& v : c.values)
                if (readableAttribute(name, v.attribute, metaName, inputType))
                    emitWords(v, lang, out);
        const markup::Element* element = markup::findElement(name);
        // Nesting is followed to a depth of 512, as browsers build their trees: deeper
        // elements belong to the innermost one kept. The context is copied at every piece,
        // and a page of 200,000 unclosed <div>s made that copy the whole cost of its check.
        if (!(element && element->isVoid) && !c.selfClosing &&
            c.open.size() < Context::deepest)
            c.open.push_back({name, lang, skipping() || skipsContent(name)});
    }
    c.inTag = c.endTag = c.selfClosing = c.hasTagLanguage = false;
    c.tagName.clear();
    c.attributeName.clear();
    c.tagLanguage.clear();
    c.metaName.clear();
    c.inputType.clear();
    c.values.clear();
}

void Scanner::scan(QStringView text, int piece, bool endsLine, std::vector<Word>& out) {
    Context& c = context;
    m_spans.clear();
    c.lexer = markup::lex(text, c.lexer, endsLine, m_spans);
    const auto separate = [&](int column) {
        Context::Value& run =
            c.inTag ? (c.values.empty() ? c.current : c.values.back()) : c.current;
        run.text += u' ';
        run.chars.push_back({piece, column, 0});
    };
    const auto segment = [&](int from, int to, Token kind) {
        const QStringView s = text.sliced(from, to - from);
        const bool continues = c.last == kind;
        c.last = kind;
        switch (kind) {
        case Token::Text:
        case Token::CharacterReference:
            if (c.inTag || skipping())
                return;
            addRun(s, piece, from, true);
            return;
        case Token::Comment:
            if (!c.inTag && !skipping() && m_options.comments)
                addRun(s, piece, from, false);
            else if (!c.inTag)
                separate(from);
            return;
        case Token::TagDelimiter:
            for (qsizetype k = 0; k < s.size(); ++k) {
                if (s[k] == u'<') {
                    flushText(out);
                    c.inTag = true;
                    c.endTag = k + 1 < s.size() && s[k + 1] == u'/';
                    if (c.endTag)
                        ++k;
                } else if (s[k] == u'/' && c.inTag) {
                    c.selfClosing = true;
                } else if (s[k] == u'>' && c.inTag) {
                    endOfTag(out);
                }
            }
            return;
        case Token::TagName:
            c.tagName += s;
            return;
        case Token::AttributeName:
            c.selfClosing = false;
            if (continues)
                c.attributeName += s.toString().toLower();
            else
                c.attributeName = s.toString().toLower();
            return;
        case Token::AttributeValue: {
            const QString& a = c.attributeName;
            if (a == u"lang" || a == u"xml:lang") {
                c.tagLanguage = (continues ? c.tagLanguage : QString()) + s.toString();
                c.hasTagLanguage = true;
            } else if (a == u"name") {
                c.metaName = (continues ? c.metaName : QString()) + s.toString();
            } else if (a == u"type") {
                c.inputType = (continues ? c.inputType : QString()) + s.toString();
            } else if (heldAttribute(a)) {
                if (!continues)
                    c.values.push_back({a, {}, {}});
                addRun(s, piece, from, true);
            }
            return;
        }
        default:
            if (!c.inTag)
                separate(from);
            return;
        }
    };
    int at = 0;
    for (const markup::Span& span : m_spans) {
        if (span.start > at)
            segment(at, span.start, Token::Text);
        segment(span.start, span.start + span.length, span.kind);
        at = span.start + span.length;
    }
    if (at < text.size())
        segment(at, int(text.size()), Token::Text);
    if (endsLine && !(c.inTag && c.values.empty()))
        separate(int(text.size()));
    if (endsLine)
        c.last = Token::Text;
    if (!c.inTag)
        flushCompleteWords(out);
}

void Scanner::finish(std::vector<Word>& out) {
    if (context.inTag)
        context.values.clear();
    flushText(out);
}

std::vector<Word> pageWords(QStringView page, Options options) {
    Scanner scanner(options);
    std::vector<Word> words;
    std::vector<int> starts;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = page.indexOf(u'\n', start);
        const qsizetype stop = end < 0 ? page.size() : end;
        starts.push_back(int(start));
        scanner.scan(page.sliced(start, stop - start), int(starts.size() - 1), true, words);
        if (end < 0)
            break;
        start = end + 1;
    }
    scanner.finish(words);
    for (Word& w : words) {
        w.column += starts[w.piece];
        w.endColumn += starts[w.endPiece];
        w.piece = w.endPiece = 0;
    }
    return words;
}

} // namespace spelling
