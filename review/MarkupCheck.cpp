#include "review/MarkupCheck.h"

#include <QElapsedTimer>
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

} // namespace

CheckResult checkMarkup(const QString& text)
{
    QElapsedTimer clock;
    clock.start();
    CheckResult result;
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
