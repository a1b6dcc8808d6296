#include "review/MarkupCheck.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <tuple>
#include <vector>
#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

namespace review {

namespace {

// Messages about markup that browsers of every age still show as meant, but that newer HTML
// dropped or never had: the pages our generators write are full of them on purpose.
bool isOldStyle(uint code)
{
    switch (code) {
    case PROPRIETARY_ELEMENT:
    case PROPRIETARY_ATTRIBUTE:
    case PROPRIETARY_ATTR_VALUE:
    case OBSOLETE_ELEMENT:
    case REMOVED_HTML5:
    case MISMATCHED_ATTRIBUTE_WARN:
    case BAD_SUMMARY_HTML5:
        return true;
    default:
        return false;
    }
}

// The page as the checker read it, to read the markup a message points at.
class PageLines {
public:
    explicit PageLines(const QString& text) : m_text(text)
    {
        m_starts.push_back(0);
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QChar c = text.at(i);
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                continue; // CR LF: the LF ends the line
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                m_starts.push_back(i + 1);
        }
    }
    // Offset of a 1-based line and column in the text (-1 when there is no such line).
    qsizetype offset(int line, int column) const
    {
        if (line < 1 || line > static_cast<int>(m_starts.size()))
            return -1;
        const qsizetype from = m_starts[static_cast<std::size_t>(line - 1)];
        const qsizetype to = line < static_cast<int>(m_starts.size())
                                 ? m_starts[static_cast<std::size_t>(line)]
                                 : m_text.size();
        return from + columnToOffset(QStringView(m_text).mid(from, to - from), column);
    }
    // The 1-based line and column of an offset.
    std::pair<int, int> place(qsizetype offset) const
    {
        const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
        const int line = static_cast<int>(it - m_starts.begin());
        const qsizetype from = m_starts[static_cast<std::size_t>(line - 1)];
        int column = 1;
        for (qsizetype i = from; i < offset; ++i)
            column += !m_text.at(i).isLowSurrogate();
        return {line, column};
    }
    // The element name of the start or end tag at an offset, lower case ("" when none is there).
    QString tagNameAt(qsizetype at) const
    {
        if (at < 0 || at >= m_text.size() || m_text.at(at) != QLatin1Char('<'))
            return {};
        qsizetype k = at + 1;
        if (k < m_text.size() && m_text.at(k) == QLatin1Char('/'))
            ++k;
        const qsizetype from = k;
        while (k < m_text.size() && (m_text.at(k).isLetterOrNumber() || m_text.at(k) == QLatin1Char('-') ||
                                     m_text.at(k) == QLatin1Char(':')))
            ++k;
        return m_text.mid(from, k - from).toLower();
    }
    bool endTagAt(qsizetype at, const QString& name) const
    {
        return at >= 0 && QStringView(m_text).mid(at, 2) == QLatin1String("</") && tagNameAt(at) == name;
    }
    // The first end tag `</name` at or after an offset, or -1.
    qsizetype nextEndTag(qsizetype from, const QString& name) const
    {
        const QString needle = QStringLiteral("</") + name;
        for (qsizetype at = m_text.indexOf(needle, from, Qt::CaseInsensitive); at >= 0;
             at = m_text.indexOf(needle, at + 1, Qt::CaseInsensitive))
            if (tagNameAt(at) == name)
                return at;
        return -1;
    }

private:
    const QString& m_text;
    std::vector<qsizetype> m_starts;
};

struct Collector {
    CheckResult* result;
    const PageLines* page;
    QSet<QString> unknown; // elements already reported as not HTML ("<blah>")
    // Elements closed by an end tag of another (name: that end tag and its line), whose own
    // end tag then comes with nothing open to close.
    QHash<QString, QString> closedByOther;
    QSet<QString> implied; // "line:column:name" where tidy implied a start tag of its own
};

QStringList argumentsOf(TidyMessage message)
{
    QStringList out;
    for (TidyIterator it = tidyGetMessageArguments(message); it;) {
        TidyMessageArgument arg = tidyGetNextMessageArgument(message, &it);
        switch (tidyGetArgType(message, &arg)) {
        case tidyFormatType_STRING:
            out << QString::fromUtf8(tidyGetArgValueString(message, &arg));
            break;
        case tidyFormatType_INT:
            out << QString::number(tidyGetArgValueInt(message, &arg));
            break;
        case tidyFormatType_UINT:
            out << QString::number(tidyGetArgValueUInt(message, &arg));
            break;
        default:
            out << QString();
        }
    }
    return out;
}

QString arg(const QStringList& args, int i) { return i < args.size() ? args.at(i) : QString(); }
QString startTag(const QString& name) { return QStringLiteral("<%1>").arg(name); }
QString endTag(const QString& name) { return QStringLiteral("</%1>").arg(name); }

// An accessibility message reads "[1.1.1.1]: <img> missing 'alt' text.": the check's number
// goes to the end, where it does not stand in the way of reading.
QString accessibilityMessage(uint code, const QString& text)
{
    QString body = text.trimmed();
    QString checkpoint;
    if (body.startsWith(QLatin1Char('['))) {
        const qsizetype close = body.indexOf(QLatin1String("]:"));
        if (close > 0) {
            checkpoint = body.mid(1, close - 1);
            body = body.mid(close + 2).trimmed();
        }
    }
    switch (code) {
    case IMG_MISSING_ALT:
        body = QStringLiteral("<img> has no alt text");
        break;
    case LANGUAGE_NOT_IDENTIFIED:
        body = QStringLiteral("The page does not say its language (lang attribute of <html>)");
        break;
    case DATA_TABLE_MISSING_HEADERS:
        body = QStringLiteral("Data table without row or column headers (<th>)");
        break;
    default:
        if (body.endsWith(QLatin1Char('.')))
            body.chop(1);
        if (!body.isEmpty() && body.at(0).isLower())
            body[0] = body.at(0).toUpper();
    }
    return checkpoint.isEmpty() ? body : QStringLiteral("%1 (checkpoint %2)").arg(body, checkpoint);
}

// Tidy's messages describe the repair it would make ("replacing unexpected i with </i>",
// "discarding unexpected </span>"); the common ones are said here as what is wrong with the
// page. Elements not closed, or closed by the wrong end tag, are errors whatever tidy's level.
// May move the finding to the markup the message is about. Messages not listed stay tidy's.
// Returns false for a message that only repeats an earlier one.
bool describe(uint code, const QStringList& args, Collector& c, Finding& f)
{
    const PageLines& page = *c.page;
    const qsizetype at = page.offset(f.line, f.column);
    const QString a0 = arg(args, 0), a1 = arg(args, 1);
    auto error = [&f](QString text) {
        f.severity = Severity::Error;
        f.message = std::move(text);
    };
    // An end tag with nothing to close; said with what closed its element, where that is known.
    auto noStart = [&](const QString& name) {
        if (c.closedByOther.contains(name))
            error(QStringLiteral("%1 has no start tag: %2 was closed by %3")
                      .arg(endTag(name), startTag(name), c.closedByOther.value(name)));
        else
            error(QStringLiteral("%1 has no start tag").arg(endTag(name)));
    };
    switch (code) {
    case NON_MATCHING_ENDTAG: {
        // Tidy points at the element that is open; the end tag that does not match it follows.
        const QString open = page.tagNameAt(at);
        const int openLine = f.line;
        if (const qsizetype end = at >= 0 ? page.nextEndTag(at, a0) : -1; end >= 0)
            std::tie(f.line, f.column) = page.place(end);
        if (!open.isEmpty())
            c.closedByOther.insert(open, QStringLiteral("%1 at line %2").arg(endTag(a0)).arg(f.line));
        error(open.isEmpty() ? QStringLiteral("%1 does not match the element open here").arg(endTag(a0))
                             : QStringLiteral("%1 does not match %2 opened at line %3")
                                   .arg(endTag(a0), startTag(open))
                                   .arg(openLine));
        break;
    }
    case MISSING_ENDTAG_FOR:
        error(QStringLiteral("%1 opened at line %2 is never closed").arg(startTag(a0)).arg(f.line));
        break;
    case MISSING_ENDTAG_BEFORE:
        error(QStringLiteral("%1 opened at line %2 is not closed before %3")
                  .arg(startTag(a0))
                  .arg(f.line)
                  .arg(a1));
        break;
    case DISCARDING_UNEXPECTED:
        // The tags of an element already reported as unknown are dropped with it.
        if (QString name = a0; name.remove(QLatin1Char('/')), c.unknown.contains(name))
            return false;
        if (a0.startsWith(QLatin1String("</")))
            noStart(a0.mid(2, a0.size() - 3));
        else
            f.message = QStringLiteral("%1 is not allowed here").arg(a0);
        break;
    case INSERTING_TAG:
        // An end tag without its start makes tidy imply the start tag there.
        c.implied.insert(QStringLiteral("%1:%2:%3").arg(f.line).arg(f.column).arg(a0));
        if (page.endTagAt(at, a0))
            noStart(a0);
        else
            f.message = QStringLiteral("%1 is missing here: the markup that follows needs one").arg(startTag(a0));
        break;
    case UNEXPECTED_ENDTAG:
    case UNEXPECTED_ENDTAG_ERR:
        noStart(a0);
        break;
    case UNEXPECTED_ENDTAG_IN:
        error(QStringLiteral("%1 has no start tag inside %2").arg(endTag(a0), startTag(a1)));
        break;
    case COERCE_TO_ENDTAG:
        error(QStringLiteral("%1 inside %1 is probably meant as %2").arg(startTag(a0), endTag(a0)));
        break;
    case UNEXPECTED_END_OF_FILE:
        error(QStringLiteral("The page ends inside %1").arg(a0));
        break;
    case MISSING_ATTRIBUTE:
        f.message = QStringLiteral("%1 lacks the %2 attribute").arg(a0, a1);
        break;
    case MISSING_ATTR_VALUE:
        f.message = QStringLiteral("The %1 attribute of %2 has no value").arg(a1, a0);
        break;
    case REPEATED_ATTRIBUTE:
        f.message = QStringLiteral("%1 has the %2 attribute more than once").arg(a0, arg(args, 2));
        break;
    case TRIM_EMPTY_ELEMENT:
        // An element tidy implied itself, for an end tag already reported.
        if (QString name = a0; name.remove(QLatin1Char('<')).remove(QLatin1Char('>')),
            c.implied.contains(QStringLiteral("%1:%2:%3").arg(f.line).arg(f.column).arg(name)))
            return false;
        f.message = QStringLiteral("%1 is empty").arg(a0);
        break;
    case TAG_NOT_ALLOWED_IN:
        f.message = QStringLiteral("%1 is not allowed inside %2").arg(a0, startTag(a1));
        break;
    case MISSING_TITLE_ELEMENT:
        f.message = QStringLiteral("The page has no <title>");
        break;
    case MISSING_DOCTYPE:
        f.message = QStringLiteral("The page has no <!DOCTYPE> declaration");
        break;
    case UNKNOWN_ENTITY:
        f.message = QStringLiteral("%1 is not a known character reference (a plain & is written &amp;)").arg(a0);
        break;
    case UNESCAPED_AMPERSAND:
        f.message = QStringLiteral("A plain & is written &amp;");
        break;
    case MISSING_SEMICOLON:
        f.message = QStringLiteral("The character reference %1 lacks its closing ;").arg(a0);
        break;
    case UNKNOWN_ELEMENT:
        c.unknown.insert(a0);
        error(QStringLiteral("%1 is not an HTML element").arg(a0));
        break;
    default:
        break;
    }
    return true;
}

Bool TIDY_CALL onMessage(TidyMessage message)
{
    auto* collector = static_cast<Collector*>(tidyGetAppData(tidyGetMessageDoc(message)));
    CheckResult& r = *collector->result;
    const TidyReportLevel level = tidyGetMessageLevel(message);
    Finding f;
    if (level == TidyWarning)
        f.severity = Severity::Warning;
    else if (level == TidyError || level == TidyBadDocument || level == TidyFatal)
        f.severity = Severity::Error;
    else if (level == TidyAccess)
        f.severity = Severity::Accessibility;
    else
        return no; // information, configuration and summary lines: not about the page's markup
    const uint code = tidyGetMessageCode(message);
    f.line = tidyGetMessageLine(message);
    f.column = tidyGetMessageColumn(message);
    f.message = QString::fromUtf8(tidyGetMessage(message));
    if (f.severity == Severity::Accessibility)
        f.message = accessibilityMessage(code, f.message);
    else if (!describe(code, argumentsOf(message), *collector, f))
        return no;
    f.oldStyle = f.severity == Severity::Warning && isOldStyle(code);
    (f.severity == Severity::Error         ? r.errors
     : f.severity == Severity::Warning     ? r.warnings
                                           : r.accessibility)++;
    if (r.findings.size() >= maxFindings) {
        r.truncated = true;
        return no;
    }
    r.findings.append(std::move(f));
    return no; // collected here; tidy writes nothing of its own
}

bool isTagChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char(':'); }

const QSet<QString>& voidElements()
{
    static const QSet<QString> names{
        "area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "img", "input",
        "isindex", "keygen", "link", "meta", "nextid", "param", "source", "spacer", "track", "wbr"};
    return names;
}

// Block elements, whose start closes a paragraph left open just before them.
const QSet<QString>& closesParagraph()
{
    static const QSet<QString> names{
        "address", "blockquote", "center", "dir", "div", "dl", "fieldset", "form", "h1", "h2",
        "h3", "h4", "h5", "h6", "hr", "listing", "menu", "ol", "p", "pre", "table", "ul", "xmp"};
    return names;
}

// Elements whose text is not markup: skipped up to their end tag.
bool isRawText(const QString& name)
{
    return name == QLatin1String("script") || name == QLatin1String("style") ||
           name == QLatin1String("textarea") || name == QLatin1String("xmp") ||
           name == QLatin1String("plaintext");
}

} // namespace

int lineOverNesting(const QString& text, int bound)
{
    std::vector<QString> open;
    QHash<QString, int> openCount;
    auto push = [&](const QString& name) {
        open.push_back(name);
        ++openCount[name];
    };
    auto pop = [&] {
        --openCount[open.back()];
        open.pop_back();
    };
    // An element that a start tag closes implicitly, only where it is the innermost one:
    // counting too deep is safe, too shallow is not.
    auto closeIfInnermost = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (!open.empty() && open.back() == QLatin1String(n)) {
                pop();
                return;
            }
    };
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    int line = 1;
    auto skipTo = [&](qsizetype from, QStringView end) {
        const qsizetype at = text.indexOf(end, from, Qt::CaseInsensitive);
        const qsizetype stop = at < 0 ? n : at + end.size();
        for (qsizetype k = from; k < stop; ++k)
            line += s[k] == QLatin1Char('\n');
        return stop;
    };
    for (qsizetype i = 0; i < n;) {
        if (s[i] == QLatin1Char('\n'))
            ++line;
        if (s[i] != QLatin1Char('<') || i + 1 >= n) {
            ++i;
            continue;
        }
        const QChar next = s[i + 1];
        if (QStringView(text).mid(i, 4) == QLatin1String("<!--")) {
            i = skipTo(i + 4, u"-->");
            continue;
        }
        if (next == QLatin1Char('!') || next == QLatin1Char('?')) {
            i = skipTo(i + 2, u">");
            continue;
        }
        const bool end = next == QLatin1Char('/');
        qsizetype k = i + (end ? 2 : 1);
        const qsizetype nameStart = k;
        while (k < n && isTagChar(s[k]))
            ++k;
        if (k == nameStart || !s[nameStart].isLetter()) {
            ++i; // a "<" that begins no tag
            continue;
        }
        const QString name = QStringView(text).mid(nameStart, k - nameStart).toString().toLower();
        // To the tag's end, across quoted attribute values.
        QChar quote;
        bool selfClosing = false;
        for (; k < n; ++k) {
            const QChar c = s[k];
            if (c == QLatin1Char('\n'))
                ++line;
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('>')) {
                selfClosing = s[k - 1] == QLatin1Char('/');
                break;
            }
        }
        i = k + 1;
        if (end) {
            if (openCount.value(name) > 0) {
                while (open.back() != name)
                    pop();
                pop();
            }
            continue;
        }
        if (closesParagraph().contains(name))
            closeIfInnermost({"p"});
        if (name == QLatin1String("li"))
            closeIfInnermost({"li"});
        else if (name == QLatin1String("dt") || name == QLatin1String("dd"))
            closeIfInnermost({"dt", "dd"});
        else if (name == QLatin1String("option"))
            closeIfInnermost({"option"});
        else if (name == QLatin1String("td") || name == QLatin1String("th"))
            closeIfInnermost({"td", "th"});
        else if (name == QLatin1String("tr")) {
            closeIfInnermost({"td", "th"});
            closeIfInnermost({"tr"});
        }
        if (selfClosing || voidElements().contains(name))
            continue;
        if (isRawText(name)) {
            i = skipTo(i, QString(QStringLiteral("</") + name));
            continue;
        }
        push(name);
        if (static_cast<int>(open.size()) > bound)
            return line;
    }
    return 0;
}

int columnToOffset(QStringView line, int column)
{
    qsizetype offset = 0;
    for (int c = 1; c < column && offset < line.size(); ++c)
        offset += line.at(offset).isHighSurrogate() && offset + 1 < line.size() &&
                          line.at(offset + 1).isLowSurrogate()
                      ? 2
                      : 1;
    return static_cast<int>(offset);
}

CheckResult checkMarkup(const QString& text, int accessibility)
{
    QElapsedTimer clock;
    clock.start();
    CheckResult result;
    if (const int line = lineOverNesting(text)) {
        Finding f;
        f.severity = Severity::Error;
        f.line = line;
        f.column = 1;
        f.message = QStringLiteral("elements are left open inside each other more than %1 deep "
                                   "here: the markup check reads pages nested up to %1 deep. "
                                   "Close the elements left open and check again.")
                        .arg(maxNesting);
        result.findings.append(f);
        result.errors = 1;
        result.workerMs = clock.elapsed();
        return result;
    }
    const PageLines page(text);
    Collector collector{&result, &page, {}, {}, {}};

    TidyDoc doc = tidyCreate();
    tidySetAppData(doc, &collector);
    tidySetMessageCallback(doc, onMessage);
    // Tidy's own error output goes to a buffer that is thrown away.
    TidyBuffer errors;
    tidyBufInit(&errors);
    tidySetErrorBuffer(doc, &errors);
    tidySetCharEncoding(doc, "utf8");
    tidyOptSetInt(doc, TidyShowErrors, maxFindings);
    tidyOptSetBool(doc, TidyShowWarnings, yes);
    tidyOptSetBool(doc, TidyShowInfo, no);
    tidyOptSetBool(doc, TidyQuiet, yes);
    // Tabs count one column, as the editor counts them.
    tidyOptSetInt(doc, TidyTabSize, 1);
    if (accessibility >= 1 && accessibility <= 3)
        tidyOptSetInt(doc, TidyAccessibilityCheckLevel, static_cast<ulong>(accessibility));

    const QByteArray utf8 = text.toUtf8();
    TidyBuffer input;
    tidyBufInit(&input);
    tidyBufAttach(&input, reinterpret_cast<byte*>(const_cast<char*>(utf8.constData())),
                  static_cast<uint>(utf8.size()));
    if (tidyParseBuffer(doc, &input) >= 0)
        if (tidyCleanAndRepair(doc) >= 0) tidyRunDiagnostics(doc);
    tidyBufDetach(&input);
    tidyBufFree(&errors);
    tidyRelease(doc);

    result.workerMs = clock.elapsed();
    return result;
}

} // namespace review
