#pragma once

#include "review/MarkupCheck.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

// The whole-site check: every page's markup, and every local link of the site's pages and
// style sheets. Reads files only; nothing is written. Remote links are never fetched.
namespace site {

// One reference a page or style sheet makes: the value of an href, src or action attribute,
// or of a CSS url(); where it stands (1-based line and column).
struct Reference {
    QString url;
    int line = 0;
    int column = 0;
};

struct PageScan {
    QList<Reference> references;
    QSet<QString> anchors; // the page's id and name values: what #fragments may name
};

// The references and anchors of a page (HTML: attributes, <style> blocks and style
// attributes; comments and script text skipped).
PageScan scanPage(QStringView text);
// The url() references of a style sheet.
QList<Reference> scanStyleSheet(QStringView text);

enum class LinkProblem { MissingFile, WrongCase, MissingFragment };

struct BrokenLink {
    LinkProblem problem = LinkProblem::MissingFile;
    Reference reference;
    QString message;
};

// What the check found in one file of the site (a page or a style sheet).
struct FileReport {
    QString path; // relative to the site root
    QList<BrokenLink> brokenLinks;
    review::CheckResult markup; // pages only
    QString readError;          // the file could not be read: why
};

struct SiteReport {
    int pages = 0;
    QList<FileReport> files; // only files with something to report, in path order
    QStringList orphans;     // pages no other page links to
    int brokenLinks = 0;
    int errors = 0;
    int warnings = 0; // accessibility findings included
    bool stopped = false;
};

struct CheckOptions {
    int accessibility = 0; // as review::checkMarkup's
    bool markup = true;
    int threads = 0; // 0: one per core
    // Called on each worker thread (the calling thread is one) as it takes up its share of the
    // files and as it is done with it: for measuring how the work spreads over the cores.
    std::function<void(bool done)> onWorker;
};

// Checks the site under `root`. `progress`, when given, is called (from worker threads)
// with the files done and the total; setting `stop` ends the check early.
SiteReport checkSite(const QString& root, const CheckOptions& options = {},
                     const std::function<void(int done, int total)>& progress = {},
                     const std::atomic_bool* stop = nullptr);

// "183 pages, 2 broken links, 5 errors, 41 warnings".
QString summaryText(const SiteReport& report);

// Where a local reference points: its path relative to the site root (cleaned, '..' resolved,
// percent-escapes decoded) and its fragment; `external` for links with a scheme ("http:",
// "mailto:") or a host ("//host/"), which are never checked; `outside` when it leaves the root.
struct Target {
    bool external = false;
    bool outside = false;
    QString path; // empty: the page itself
    QString fragment;
    bool hasFragment = false;
};
Target resolveReference(const QString& fromFile, const QString& url);

} // namespace site
