#include "platform/Browser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

namespace platform::browser {

namespace {

// Reads one group of an INI-like desktop file (keys as written, values unescaped minimally).
QHash<QString, QString> readGroup(const QString& path, const QString& group)
{
    QHash<QString, QString> values;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    QTextStream in(&f);
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inGroup && eq > 0)
            values.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return values;
}

QStringList mimeappsLists()
{
    // In the order of precedence: user config, system config, user data, system data.
    QStringList lists;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        lists << dir + QStringLiteral("/mimeapps.list");
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        lists << dir + QStringLiteral("/mimeapps.list");
    return lists;
}

QString firstInstalled(const QString& ids)
{
    for (const QString& id : ids.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id).isEmpty())
            return id;
    return {};
}

QString defaultEntryFor(const QString& mimeType)
{
    // The user's and the system's chosen defaults first, then any installed program that
    // declares the type (the desktop's cache of those declarations).
    for (const QString& list : mimeappsLists())
        for (const char* group : {"Default Applications", "Added Associations"})
            if (QString id = firstInstalled(readGroup(list, QString::fromLatin1(group)).value(mimeType));
                !id.isEmpty())
                return id;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        if (QString id = firstInstalled(readGroup(dir + QStringLiteral("/mimeinfo.cache"),
                                                  QStringLiteral("MIME Cache"))
                                            .value(mimeType));
            !id.isEmpty())
            return id;
    return {};
}

} // namespace

Association associationFor(const QString& existingFile)
{
    Association a;
    if (!QFileInfo(existingFile).isFile())
        return a;
    const QString mime = QMimeDatabase().mimeTypeForFile(existingFile, QMimeDatabase::MatchExtension).name();
    const QString id = defaultEntryFor(mime);
    if (id.isEmpty())
        return a;
    const QString entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
    const QString exec = readGroup(entry, QStringLiteral("Desktop Entry")).value(QStringLiteral("Exec"));
    QStringList words = QProcess::splitCommand(exec);
    if (words.isEmpty())
        return a;
    a.desktopEntry = id;
    a.program = words.takeFirst();
    bool placed = false;
    for (QString w : std::as_const(words)) {
        if (w == QLatin1String("%u") || w == QLatin1String("%U") || w == QLatin1String("%f") ||
            w == QLatin1String("%F")) {
            if (!placed)
                a.arguments << (w.at(1).toLower() == QLatin1Char('u') ? fileArgument + QLatin1Char('u')
                                                                       : fileArgument);
            placed = true;
            continue;
        }
        // Other field codes (%i %c %k ...) carry nothing we provide.
        if (w.size() == 2 && w.at(0) == QLatin1Char('%') && w.at(1) != QLatin1Char('%'))
            continue;
        a.arguments << w.replace(QLatin1String("%%"), QLatin1String("%"));
    }
    if (!placed)
        a.arguments << fileArgument;
    return a;
}

Launch openWith(const QString& lookupFile, const QString& page)
{
    const Association a = associationFor(lookupFile);
    if (a.program.isEmpty())
        return Launch::NotFound;
    QStringList args;
    for (const QString& arg : a.arguments) {
        if (arg == fileArgument)
            args << QFileInfo(page).absoluteFilePath();
        else if (arg == fileArgument + QLatin1Char('u'))
            args << QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath()).toString();
        else
            args << arg;
    }
    const QString program = QStandardPaths::findExecutable(a.program).isEmpty() &&
                                    !QFileInfo(a.program).isExecutable()
                                ? QString()
                                : a.program;
    if (program.isEmpty())
        return Launch::Failed;
    return QProcess::startDetached(program, args) ? Launch::Started : Launch::Failed;
}

} // namespace platform::browser
