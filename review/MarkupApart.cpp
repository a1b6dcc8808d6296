#include "review/MarkupApart.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFileInfo>
#include <QProcess>

namespace review::apart {

namespace {

const char* const helperName = "halvane-markup";
constexpr quint32 answerMark = 0x484d4b32; // "HMK2"

CheckResult failed(const QString& why)
{
    CheckResult r;
    Finding f;
    f.severity = Severity::Error;
    f.message = why;
    r.findings.append(f);
    r.errors = 1;
    return r;
}

} // namespace

QStringList besideProgram(const QString& name, const QString& buildTreePath)
{
    const QString dir = QCoreApplication::applicationDirPath();
    QStringList paths{dir + QLatin1Char('/') + name, dir + QStringLiteral("/../lib/halvane/") + name};
    if (!buildTreePath.isEmpty())
        paths << buildTreePath;
    return paths;
}

QStringList helperCandidates()
{
#ifdef HALVANE_MARKUP_HELPER
    return besideProgram(QLatin1String(helperName), QStringLiteral(HALVANE_MARKUP_HELPER));
#else
    return besideProgram(QLatin1String(helperName));
#endif
}

QByteArray encode(const CheckResult& result)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s << answerMark << qint32(result.errors) << qint32(result.warnings)
      << qint32(result.accessibility) << result.truncated << result.workerMs
      << qint32(result.findings.size());
    for (const Finding& f : result.findings)
        s << qint32(f.severity) << qint32(f.line) << qint32(f.column) << f.message
          << f.oldStyle;
    s << answerMark;
    return bytes;
}

bool decode(const QByteArray& bytes, CheckResult* result)
{
    QDataStream s(bytes);
    quint32 mark = 0;
    qint32 errors = 0, warnings = 0, accessibility = 0, count = 0;
    CheckResult r;
    s >> mark >> errors >> warnings >> accessibility >> r.truncated >> r.workerMs >> count;
    if (mark != answerMark || count < 0 || count > maxFindings || s.status() != QDataStream::Ok)
        return false;
    r.errors = errors;
    r.warnings = warnings;
    r.accessibility = accessibility;
    r.findings.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        qint32 severity = 0, line = 0, column = 0;
        Finding f;
        s >> severity >> line >> column >> f.message >> f.oldStyle;
        if (severity < 0 || severity > qint32(Severity::Accessibility))
            return false;
        f.severity = static_cast<Severity>(severity);
        f.line = line;
        f.column = column;
        r.findings.append(std::move(f));
    }
    mark = 0;
    s >> mark;
    if (mark != answerMark || s.status() != QDataStream::Ok || !s.atEnd())
        return false;
    *result = std::move(r);
    return true;
}

CheckResult checkMarkup(const QString& text, qint64 stackBytes, int accessibility)
{
    QString program;
    for (const QString& path : helperCandidates())
        if (QFileInfo(path).isExecutable()) {
            program = path;
            break;
        }
    if (program.isEmpty())
        return failed(QCoreApplication::translate("review", "The markup check cannot run: its helper program "
                                                            "%1 was not found beside Halvane.")
                          .arg(QLatin1String(helperName)));
    QProcess helper;
    helper.setProcessChannelMode(QProcess::SeparateChannels);
    helper.setStandardErrorFile(QProcess::nullDevice());
    helper.start(program, {QString::number(stackBytes > 0 ? stackBytes : defaultStackBytes),
                           QString::number(accessibility)});
    if (!helper.waitForStarted(-1))
        return failed(QCoreApplication::translate("review", "The markup check cannot run: %1 did not start (%2).")
                          .arg(program, helper.errorString()));
    // No event loop runs on this thread: the page goes out, and the answer comes in, while
    // waiting for the helper to end.
    helper.write(text.toUtf8());
    helper.closeWriteChannel();
    helper.waitForFinished(-1);
    CheckResult result;
    if (helper.exitStatus() != QProcess::NormalExit || helper.exitCode() != 0 ||
        !decode(helper.readAllStandardOutput(), &result))
        return failed(QCoreApplication::translate(
            "review", "The markup check stopped before the end of the page: HTML Tidy failed on it. "
                      "This happens when elements are nested too deeply (hundreds of thousands of "
                      "elements left open inside each other); close some of them and check again."));
    return result;
}

} // namespace review::apart
