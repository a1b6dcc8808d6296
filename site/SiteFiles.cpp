#include "site/SiteFiles.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace site {

QStringList siteFiles(const QString& root)
{
    QStringList out;
    const QString base = QDir(root).absolutePath();
    // Without QDir::Hidden, hidden files and folders are left out; NoSymLinks keeps a link to a
    // folder above the root from making the walk endless.
    QDirIterator it(base, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = path.mid(base.size() + 1);
        if (rel.startsWith(u'.') || rel.contains(QLatin1String("/.")))
            continue;
        out << rel;
    }
    std::sort(out.begin(), out.end());
    return out;
}

QStringList splitPatterns(const QString& patterns)
{
    QStringList out;
    for (const QString& p : patterns.split(QRegularExpression(QStringLiteral("[;,\\s]+")),
                                           Qt::SkipEmptyParts))
        out << p;
    return out;
}

bool matchesPatterns(const QString& fileName, const QStringList& patterns)
{
    const QString name = fileName.section(u'/', -1);
    for (const QString& p : patterns) {
        const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(p),
                                    QRegularExpression::CaseInsensitiveOption);
        if (re.match(name).hasMatch())
            return true;
    }
    return false;
}

bool isPage(const QString& path)
{
    return path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive)
           || path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
}

bool isStyleSheet(const QString& path)
{
    return path.endsWith(QLatin1String(".css"), Qt::CaseInsensitive);
}

} // namespace site
