#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// The files of a site: everything under its root folder, hidden files and folders left out,
// named by their path relative to the root with '/' between folders.
namespace site {

// Relative paths of the regular files under `root`, sorted; hidden entries (a name starting
// with '.') and symbolic links to folders are not followed.
QStringList siteFiles(const QString& root);

// File name patterns ("*.htm;*.html;*.css;*.js"), matched case insensitively as authors expect
// of ".HTM" pages. Each pattern is turned into its expression once, not once per file.
class FilePatterns {
public:
    explicit FilePatterns(const QString& patterns);
    // Whether the name of the file (a relative path's last part) matches one of the patterns.
    bool matches(const QString& path) const;

private:
    QStringList m_suffixes; // "*.ext" patterns, as ".ext"
    QList<QRegularExpression> m_others;
};

// Pages (.htm, .html, any case) and style sheets (.css).
bool isPage(const QString& path);
bool isStyleSheet(const QString& path);

} // namespace site
