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

FilePatterns::FilePatterns(const QString& patterns)
{
    const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    auto wildcard = [](QChar c) { return c == u'*' || c == u'?' || c == u'[' || c == u']' || c == u'\\'; };
    for (const QString& p : patterns.split(separators, Qt::SkipEmptyParts)) {
        // "*.ext" is a plain suffix; anything else goes through the wildcard expression.
        if (p.startsWith(QLatin1String("*.")) && p.size() > 2
            && std::none_of(p.begin() + 1, p.end(), wildcard))
            m_suffixes << p.mid(1);
        else
            m_others << QRegularExpression(QRegularExpression::wildcardToRegularExpression(p),
                                           QRegularExpression::CaseInsensitiveOption);
    }
}

bool FilePatterns::matches(const QString& path) const
{
    const QStringView name = QStringView(path).mid(path.lastIndexOf(u'/') + 1);
    for (const QString& suffix : m_suffixes)
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    for (const QRegularExpression& re : m_others)
        if (re.match(name).hasMatch())
            return true;
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
