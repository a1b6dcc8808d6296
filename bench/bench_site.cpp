// Benchmarks of the whole-site commands on a generated site of 500 pages (5 MiB in all, 2,000
// links, 20 of them broken): find in files beside `grep -rn` on the same folder (its floor),
// and the site check beside the markup library's time on each page divided by the cores used.

#include "review/MarkupCheck.h"
#include "site/FindInFiles.h"
#include "site/SiteCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <thread>

namespace {

constexpr int pages = 500;
constexpr int linksPerPage = 4;
constexpr qsizetype pageBytes = 5 * 1024 * 1024 / pages;

QString pageName(int n) { return QStringLiteral("section%1/page%2.html").arg(n % 10).arg(n); }

// Every page links to the next four pages; twenty of the links name pages that do not exist.
QString page(int n)
{
    QString text = QStringLiteral("<!DOCTYPE html>\n<html><head><title>Page %1</title></head>\n<body>\n"
                                  "<h1 id=\"top%1\">Garden notes %1</h1>\n").arg(n);
    for (int k = 1; k <= linksPerPage; ++k) {
        const int to = (n + k) % pages;
        const bool broken = k == 1 && n % 25 == 0;
        text += QStringLiteral("<p><a href=\"../%1%2\">Next</a></p>\n")
                    .arg(broken ? QStringLiteral("section0/missing%1.html").arg(n) : pageName(to))
                    .arg(k == 2 ? QStringLiteral("#top%1").arg(to) : QString());
    }
    for (int p = 0; text.size() < pageBytes - 20; ++p)
        text += QStringLiteral("<p>The roses in bed %1 are in bloom; the beans are up and the "
                               "<em>marigolds</em> keep the pests away.</p>\n").arg(p);
    return text + QStringLiteral("</body></html>\n");
}

void line(const char* name, double value) { std::printf("%s: %.1f ms\n", name, value); }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    QStringList texts;
    for (int n = 0; n < pages; ++n) {
        const QString path = tmp.filePath(pageName(n));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        texts << page(n);
        f.write(texts.last().toUtf8());
    }
    const QString word = QStringLiteral("marigolds");

    QElapsedTimer t;
    t.start();
    QProcess grep;
    grep.start(QStringLiteral("grep"), {QStringLiteral("-rn"), word, tmp.path()});
    grep.waitForFinished(-1);
    const qsizetype grepLines = grep.readAllStandardOutput().count('\n');
    line("floor.grep_ms_500_pages", double(t.nsecsElapsed()) / 1e6);

    site::FindInFilesRun run;
    int matches = 0;
    QEventLoop loop;
    QObject::connect(&run, &site::FindInFilesRun::finished, &loop,
                     [&](int, int m, bool) { matches = m; loop.quit(); });
    t.restart();
    run.start(tmp.path(), {word});
    loop.exec();
    line("site.find_ms_500_pages", double(t.nsecsElapsed()) / 1e6);
    if (matches != grepLines)
        std::fprintf(stderr, "find in files listed %d matches, grep %lld\n", matches,
                     static_cast<long long>(grepLines));

    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    t.restart();
    for (const QString& text : texts)
        review::checkMarkup(text);
    line("floor.markup_per_core_ms_500_pages", double(t.nsecsElapsed()) / 1e6 / cores);

    t.restart();
    const site::SiteReport report = site::checkSite(tmp.path());
    line("site.check_ms_500_pages", double(t.nsecsElapsed()) / 1e6);
    std::printf("site.broken_links_500_pages: %d count\n", report.brokenLinks);
    return 0;
}
