#include "review/MarkupCheck.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
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

struct Collector {
    CheckResult* result;
};

Bool TIDY_CALL onMessage(TidyMessage message)
{
    auto* collector = static_cast<Collector*>(tidyGetAppData(tidyGetMessageDoc(message)));
    CheckResult& r = *collector->result;
    const TidyReportLevel level = tidyGetMessageLevel(message);
    Severity severity;
    if (level == TidyWarning)
        severity = Severity::Warning;
    else if (level == TidyError || level == TidyBadDocument || level == TidyFatal)
        severity = Severity::Error;
    else
        return no; // information, configuration and summary lines: not about the page's markup
    (severity == Severity::Error ? r.errors : r.warnings)++;
    if (r.findings.size() >= maxFindings) {
        r.truncated = true;
        return no;
    }
    Finding f;
    f.severity = severity;
    f.line = tidyGetMessageLine(message);
    f.column = tidyGetMessageColumn(message);
    f.message = QString::fromUtf8(tidyGetMessage(message));
    f.oldStyle = severity == Severity::Warning && isOldStyle(tidyGetMessageCode(message));
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

CheckResult checkMarkup(const QString& text)
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
    Collector collector{&result};

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
