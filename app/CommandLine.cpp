#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace cli {

namespace {

const QString versionText = QStringLiteral("Halvane 1.2.1\n");

const QString description = QStringLiteral(
    "Halvane, an editor for writing HTML pages by hand.\n"
    "Each FILE opens in a document window of its own: a plain page (.htm, .html) in its\n"
    "encoding, or an editing page (.hted) with its colours; \"-\" reads a page from the\n"
    "standard input. When Halvane already runs on this display, the files open there.");

// The toolkit's own options that take a value; they are accepted here and read by it.
const char* const toolkitValueOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "display", "style",
    "stylesheet", "session", "qwindowgeometry", "geometry", "qwindowtitle", "title",
    "qwindowicon", "icon", "name", "widgetcount"};
const char* const toolkitFlagOptions[] = {"reverse", "sync", "nograb", "dograb"};

QString absolutePath(const QString& argument, const QDir& folder)
{
    if (argument == standardInput)
        return argument;
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        if (url.isValid() && url.isLocalFile())
            return QFileInfo(url.toLocalFile()).absoluteFilePath();
    }
    return QFileInfo(folder, argument).absoluteFilePath();
}

} // namespace

QStringList fromArgv(int argc, char* argv[])
{
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

Request parse(const QStringList& arguments, const QString& workingFolder)
{
    QCommandLineParser parser;
    // Single-dash words are the toolkit's options (-platform offscreen), not letter groups.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(description);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and end."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and end."));
    const QCommandLineOption newInstance(
        QStringLiteral("new-instance"),
        QStringLiteral("Open the files in a program of their own, even when Halvane already "
                       "runs on this display."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(newInstance);
    for (const char* name : toolkitValueOptions) {
        QCommandLineOption o(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }
    for (const char* name : toolkitFlagOptions) {
        QCommandLineOption o(QString::fromLatin1(name));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A page to open (\"-\": the standard input)."),
                                 QStringLiteral("[FILE...]"));

    Request request;
    const QString usage =
        QStringLiteral("Usage: halvane [--new-instance] [FILE...]\n"
                       "Try 'halvane --help' for more information.\n");
    if (!parser.parse(arguments)) {
        request.action = Request::Action::Misuse;
        request.output = QStringLiteral("halvane: ") + parser.errorText() + QLatin1Char('\n') + usage;
        return request;
    }
    if (parser.isSet(help)) {
        request.action = Request::Action::Help;
        // The parser's help names the program by its path; name it as it is installed.
        QString text = parser.helpText();
        const qsizetype end = text.indexOf(QLatin1Char('\n'));
        request.output = QStringLiteral("Usage: halvane [options] [FILE...]") + text.mid(end);
        return request;
    }
    if (parser.isSet(version)) {
        request.action = Request::Action::Version;
        request.output = versionText;
        return request;
    }
    request.newInstance = parser.isSet(newInstance);
    const QDir folder(workingFolder);
    for (const QString& argument : parser.positionalArguments())
        request.files << absolutePath(argument, folder);
    return request;
}

} // namespace cli
