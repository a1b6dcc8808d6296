#include "site/SiteCheck.h"

#include "platform/FileIo.h"
#include "platform/TextCodec.h"
#include "site/SiteFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <thread>
#include <vector>

namespace site {

namespace {

// Offsets to 1-based lines and columns. A page's references are found in the order they stand,
// so the lines are counted forward only as far as the last reference asked for.
class LineIndex {
public:
    explicit LineIndex(QStringView text) : m_text(text) {}
    Reference at(qsizetype offset, QString url)
    {
        if (offset < m_pos) {
            m_pos = m_lineStart = 0;
            m_line = 1;
        }
        const QChar* s = m_text.data();
        const qsizetype n = m_text.size();
        for (; m_pos < offset; ++m_pos) {
            const char16_t c = s[m_pos].unicode();
            if (c == u'\n' || (c == u'\r' && (m_pos + 1 >= n || s[m_pos + 1] != u'\n'))) {
                ++m_line;
                m_lineStart = m_pos + 1;
            }
        }
        return {std::move(url), m_line, int(offset - m_lineStart + 1)};
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
    qsizetype m_lineStart = 0;
    int m_line = 1;
};

// An element or attribute name, in any case.
bool is(QStringView name, QStringView lower)
{
    return name.size() == lower.size() && name.compare(lower, Qt::CaseInsensitive) == 0;
}

bool isSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

qsizetype findCi(QStringView text, QLatin1StringView what, qsizetype from)
{
    const qsizetype at = text.indexOf(what, from, Qt::CaseInsensitive);
    return at < 0 ? text.size() : at;
}

QString decodeEntities(QStringView value)
{
    QString out = value.toString();
    if (out.contains(u'&')) {
        out.replace(QLatin1String("&amp;"), QLatin1String("&"), Qt::CaseInsensitive);
        out.replace(QLatin1String("&#38;"), QLatin1String("&"));
    }
    return out;
}

// url(...) and @import "..." of CSS text from `from` to `to`, skipping comments.
void scanCss(QStringView text, qsizetype from, qsizetype to, LineIndex& lines,
             QList<Reference>& out)
{
    qsizetype i = from;
    while (i < to) {
        const QChar c = text[i];
        if (c == u'/' && i + 1 < to && text[i + 1] == u'*') {
            const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 || end >= to ? to : end + 2;
            continue;
        }
        const bool url = (c == u'u' || c == u'U') && i + 4 <= to
                         && text.mid(i, 4).compare(QLatin1String("url("), Qt::CaseInsensitive) == 0
                         && (i == from || !text[i - 1].isLetterOrNumber());
        const bool import = c == u'@' && i + 7 <= to
                            && text.mid(i, 7).compare(QLatin1String("@import"), Qt::CaseInsensitive) == 0;
        if (!url && !import) {
            ++i;
            continue;
        }
        qsizetype j = i + (url ? 4 : 7);
        while (j < to && isSpace(text[j]))
            ++j;
        if (j < to && (text[j] == u'"' || text[j] == u'\'')) {
            const QChar quote = text[j];
            qsizetype end = j + 1;
            while (end < to && text[end] != quote && text[end] != u'\n')
                ++end;
            out << lines.at(j + 1, text.mid(j + 1, end - j - 1).toString());
            i = end + 1;
        } else if (url) {
            qsizetype end = j;
            while (end < to && text[end] != u')')
                ++end;
            out << lines.at(j, text.mid(j, end - j).trimmed().toString());
            i = end + 1;
        } else {
            i = j; // @import url(...): the url() is read on the next turn
        }
    }
}

} // namespace

PageScan scanPage(QStringView text)
{
    PageScan scan;
    LineIndex lines(text);
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = text.indexOf(u'<', i);
        if (lt < 0)
            break;
        if (text.mid(lt, 4) == QLatin1String("<!--")) {
            const qsizetype end = text.indexOf(QLatin1String("-->"), lt + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        if (lt + 1 >= n || !text[lt + 1].isLetter()) {
            i = lt + 1;
            continue;
        }
        qsizetype j = lt + 1;
        while (j < n && !isSpace(text[j]) && text[j] != u'>' && text[j] != u'/')
            ++j;
        const QStringView tag = text.mid(lt + 1, j - lt - 1);
        // The attributes, up to the tag's '>' (quoted values may hold '>').
        while (j < n && text[j] != u'>') {
            if (isSpace(text[j]) || text[j] == u'/') {
                ++j;
                continue;
            }
            const qsizetype nameStart = j;
            while (j < n && !isSpace(text[j]) && text[j] != u'=' && text[j] != u'>')
                ++j;
            const QStringView name = text.mid(nameStart, j - nameStart);
            qsizetype k = j;
            while (k < n && isSpace(text[k]))
                ++k;
            if (k >= n || text[k] != u'=')
                continue;
            ++k;
            while (k < n && isSpace(text[k]))
                ++k;
            qsizetype valueStart = k;
            qsizetype valueEnd = k;
            if (k < n && (text[k] == u'"' || text[k] == u'\'')) {
                const QChar quote = text[k];
                valueStart = k + 1;
                valueEnd = text.indexOf(quote, valueStart);
                if (valueEnd < 0)
                    valueEnd = n;
                j = std::min(n, valueEnd + 1);
            } else {
                while (valueEnd < n && !isSpace(text[valueEnd]) && text[valueEnd] != u'>')
                    ++valueEnd;
                j = valueEnd;
            }
            const QStringView value = text.mid(valueStart, valueEnd - valueStart);
            if (is(name, u"href") || is(name, u"src") || is(name, u"action"))
                scan.references << lines.at(valueStart, decodeEntities(value).trimmed());
            else if (is(name, u"id") || is(name, u"name"))
                scan.anchors.insert(decodeEntities(value));
            else if (is(name, u"style"))
                scanCss(text, valueStart, valueEnd, lines, scan.references);
        }
        i = j + 1;
        if (is(tag, u"script")) {
            i = findCi(text, QLatin1StringView("</script"), i);
        } else if (is(tag, u"style")) {
            const qsizetype end = findCi(text, QLatin1StringView("</style"), i);
            scanCss(text, std::min(i, n), end, lines, scan.references);
            i = end;
        }
    }
    return scan;
}

QList<Reference> scanStyleSheet(QStringView text)
{
    QList<Reference> out;
    LineIndex lines(text);
    scanCss(text, 0, text.size(), lines, out);
    return out;
}

namespace {

// "http:", "mailto:", "javascript:": a letter, then letters, digits, '+', '-' or '.', then ':'.
// Checked by hand: the workers resolve references at the same time.
bool hasScheme(QStringView url)
{
    auto letter = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
    if (url.isEmpty() || !letter(url[0]))
        return false;
    for (qsizetype i = 1; i < url.size(); ++i) {
        const QChar c = url[i];
        if (c == u':')
            return true;
        if (!letter(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.')
            return false;
    }
    return false;
}

} // namespace

Target resolveReference(const QString& fromFile, const QString& url)
{
    Target t;
    if (url.startsWith(QLatin1String("//")) || hasScheme(url)) {
        t.external = true;
        return t;
    }
    QString rest = url;
    const qsizetype hash = rest.indexOf(u'#');
    if (hash >= 0) {
        t.hasFragment = true;
        t.fragment = QUrl::fromPercentEncoding(rest.mid(hash + 1).toUtf8());
        rest.truncate(hash);
    }
    const qsizetype query = rest.indexOf(u'?');
    if (query >= 0)
        rest.truncate(query);
    rest = QUrl::fromPercentEncoding(rest.toUtf8());
    if (rest.isEmpty()) {
        t.path = fromFile;
        return t;
    }
    QStringList parts;
    if (!rest.startsWith(u'/')) {
        parts = fromFile.split(u'/');
        parts.removeLast();
    }
    const bool folder = rest.endsWith(u'/');
    for (const QString& seg : rest.split(u'/', Qt::SkipEmptyParts)) {
        if (seg == u".")
            continue;
        if (seg == u"..") {
            if (parts.isEmpty())
                t.outside = true;
            else
                parts.removeLast();
            continue;
        }
        parts << seg;
    }
    t.path = parts.join(u'/');
    if (folder && !t.path.isEmpty())
        t.path += u'/';
    return t;
}

namespace {

struct Scanned {
    QString path;
    bool page = false;
    PageScan scan;
    review::CheckResult markup;
    QString readError;
    std::vector<Target> targets; // where each reference points, in their order
};

QString quoted(const QString& s) { return u'\u201c' + s + u'\u201d'; }

} // namespace

SiteReport checkSite(const QString& root, const CheckOptions& options,
                     const std::function<void(int, int)>& progress, const std::atomic_bool* stop)
{
    SiteReport report;
    const QStringList files = siteFiles(root);
    QSet<QString> exact;
    QHash<QString, QString> byLowerCase;
    QSet<QString> folders;
    for (const QString& f : files) {
        exact.insert(f);
        byLowerCase.insert(f.toLower(), f);
        for (qsizetype s = f.indexOf(u'/'); s >= 0; s = f.indexOf(u'/', s + 1))
            folders.insert(f.left(s + 1));
    }

    std::vector<Scanned> items;
    for (const QString& f : files)
        if (isPage(f) || isStyleSheet(f))
            items.push_back({f, isPage(f), {}, {}, {}, {}});
    const int total = int(items.size());
    const QDir base(root);

    // Each worker takes the next file until none is left, the largest first: pages differ in
    // size by orders of magnitude, and a large page taken last would leave the other workers
    // idle while it is checked.
    std::vector<std::pair<qint64, int>> order;
    order.reserve(items.size());
    for (int i = 0; i < total; ++i)
        order.emplace_back(QFileInfo(base.filePath(items[size_t(i)].path)).size(), i);
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::atomic_int next{0};
    std::atomic_int done{0};
    auto share = [&] {
        for (int k; (k = next.fetch_add(1)) < total;) {
            if (stop && stop->load())
                return;
            Scanned& item = items[size_t(order[size_t(k)].second)];
            QByteArray bytes;
            if (!platform::files::readFile(base.filePath(item.path), &bytes, &item.readError)) {
                if (item.readError.isEmpty())
                    item.readError = QStringLiteral("The file could not be read.");
            } else {
                const QString text = platform::text::decode(bytes).text;
                if (item.page) {
                    item.scan = scanPage(text);
                    if (options.markup)
                        item.markup = review::checkMarkup(text, options.accessibility);
                } else {
                    item.scan.references = scanStyleSheet(text);
                }
                // Resolved here, on the worker: only the look-ups in the site's files are left
                // for after the workers.
                item.targets.reserve(size_t(item.scan.references.size()));
                for (const Reference& ref : std::as_const(item.scan.references))
                    item.targets.push_back(resolveReference(item.path, ref.url));
            }
            const int d = done.fetch_add(1) + 1;
            if (progress)
                progress(d, total);
        }
    };
    auto work = [&] {
        if (options.onWorker)
            options.onWorker(false);
        share();
        if (options.onWorker)
            options.onWorker(true);
    };
    int threads = options.threads > 0 ? options.threads
                                      : int(std::max(1u, std::thread::hardware_concurrency()));
    threads = std::max(1, std::min(threads, total));
    {
        std::vector<std::jthread> pool;
        for (int t = 1; t < threads; ++t)
            pool.emplace_back(work);
        work();
    }
    report.stopped = stop && stop->load();

    QHash<QString, int> pageIndex;
    for (int i = 0; i < total; ++i)
        if (items[size_t(i)].page)
            pageIndex.insert(items[size_t(i)].path, i);
    report.pages = int(pageIndex.size());

    QSet<QString> linked;
    for (const Scanned& item : items) {
        FileReport fr;
        fr.path = item.path;
        fr.readError = item.readError;
        fr.markup = item.markup;
        for (qsizetype r = 0; r < item.scan.references.size(); ++r) {
            const Reference& ref = item.scan.references[r];
            const Target& t = item.targets[size_t(r)];
            if (t.external || (ref.url.isEmpty()))
                continue;
            QString found;
            BrokenLink broken{LinkProblem::MissingFile, ref, {}};
            if (t.outside) {
                const QString abs = QDir::cleanPath(base.absoluteFilePath(ref.url.section(u'#', 0, 0).section(u'?', 0, 0)));
                if (!QFileInfo::exists(abs))
                    broken.message = QStringLiteral("Broken link: %1 leaves the site and names no file there.").arg(quoted(ref.url));
            } else if (t.path.endsWith(u'/') || folders.contains(t.path + u'/')) {
                const QString folder = t.path.endsWith(u'/') ? t.path : t.path + u'/';
                for (const char* index : {"index.html", "index.htm"})
                    if (exact.contains(folder + QLatin1String(index)))
                        found = folder + QLatin1String(index);
                if (found.isEmpty())
                    broken.message = QStringLiteral("Broken link: %1 names a folder without an index page.").arg(quoted(ref.url));
            } else if (exact.contains(t.path)) {
                found = t.path;
            } else if (const auto it = byLowerCase.constFind(t.path.toLower()); it != byLowerCase.cend()) {
                broken.problem = LinkProblem::WrongCase;
                broken.message = QStringLiteral("Broken link: %1 differs in case from the file %2 (a web server tells them apart).")
                                     .arg(quoted(ref.url), quoted(*it));
            } else {
                broken.message = QStringLiteral("Broken link: there is no file %1.").arg(quoted(t.path));
            }
            if (!found.isEmpty()) {
                const auto target = pageIndex.constFind(found);
                if (target != pageIndex.cend()) {
                    if (found != item.path)
                        linked.insert(found);
                    const QString& frag = t.fragment;
                    if (t.hasFragment && !frag.isEmpty()
                        && frag.compare(QLatin1String("top"), Qt::CaseInsensitive) != 0
                        && !items[size_t(*target)].scan.anchors.contains(frag)
                        && items[size_t(*target)].readError.isEmpty()) {
                        broken.problem = LinkProblem::MissingFragment;
                        broken.message = QStringLiteral("Broken link: %1 has no id or name %2.")
                                             .arg(quoted(found), quoted(frag));
                    }
                }
            }
            if (!broken.message.isEmpty())
                fr.brokenLinks << broken;
        }
        report.brokenLinks += int(fr.brokenLinks.size());
        report.errors += fr.markup.errors + (fr.readError.isEmpty() ? 0 : 1);
        report.warnings += fr.markup.warnings + fr.markup.accessibility;
        if (!fr.brokenLinks.isEmpty() || !fr.markup.findings.isEmpty() || !fr.readError.isEmpty())
            report.files << fr;
    }
    // The site's home page is where visitors come in: no link to it is expected.
    for (const Scanned& item : items) {
        if (!item.page || linked.contains(item.path))
            continue;
        const QString lower = item.path.toLower();
        if (lower == u"index.html" || lower == u"index.htm" || lower == u"default.htm"
            || lower == u"default.html")
            continue;
        report.orphans << item.path;
    }
    return report;
}

QString summaryText(const SiteReport& report)
{
    auto count = [](int n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    return QStringList{count(report.pages, "page", "pages"),
                       count(report.brokenLinks, "broken link", "broken links"),
                       count(report.errors, "error", "errors"),
                       count(report.warnings, "warning", "warnings")}
        .join(QLatin1String(", "));
}

} // namespace site
