#pragma once

#include <QString>
#include <QStringList>

// The files of a site: everything under its root folder, hidden files and folders left out,
// named by their path relative to the root with '/' between folders.
namespace site {

// Relative paths of the regular files under `root`, sorted; hidden entries (a name starting
// with '.') and symbolic links to folders are not followed.
QStringList siteFiles(const QString& root);

// Whether a file name matches one of the patterns ("*.htm;*.html;*.css;*.js"), case
// insensitively as authors expect of ".HTM" pages.
bool matchesPatterns(const QString& fileName, const QStringList& patterns);
QStringList splitPatterns(const QString& patterns);

// Pages (.htm, .html, any case) and style sheets (.css).
bool isPage(const QString& path);
bool isStyleSheet(const QString& path);

} // namespace site
