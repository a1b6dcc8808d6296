#include "site/SiteCheck.h"
#include "site/SiteFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace site;

namespace {

void put(const QDir& dir, const QString& rel, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(dir.filePath(rel)).absolutePath());
    QFile f(dir.filePath(rel));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A small site with one of each fault: a link to a missing file, a link whose case differs
// from the file's, a fragment the target does not have, a CSS url() to a missing picture,
// and a page nothing links to. Everything else resolves.
void makeSite(const QDir& d)
{
    put(d, "index.html",
        "<!DOCTYPE html>\n<html><head><title>Home</title>\n"
        "<link rel=\"stylesheet\" href=\"css/site.css\"></head>\n<body>\n"
        "<p><a href=\"about.html#team\">About</a> <a href=\"gone.html\">Gone</a>\n"
        "<a href=\"Pages/Contact.html\">Contact</a> <a href=\"about.html#nowhere\">X</a>\n"
        "<a href=\"http://example.com/missing.html\">Remote</a> <a href=\"mailto:a@b.c\">Mail</a>\n"
        "<a href=\"#top\">Top</a> <a href=\"sub/\">Sub</a> <img src=\"img/logo.png\" alt=\"logo\">\n"
        "<!-- <a href=\"commented.html\">old</a> -->\n"
        "<script>var s = '<a href=\"script.html\">';</script>\n"
        "</body></html>\n");
    put(d, "about.html",
        "<!DOCTYPE html>\n<html><head><title>About</title></head><body>\n"
        "<h2 id=\"team\">Team</h2><a href=\"/index.html?x=1\">Home</a> <a href=\"pages/contact.html\">C</a>\n"
        "<div style=\"background: url('img/logo.png')\"></div></body></html>\n");
    put(d, "pages/contact.html",
        "<!DOCTYPE html>\n<html><head><title>C</title></head><body><a href=\"../index.html\">Home</a></body></html>\n");
    put(d, "sub/index.html",
        "<!DOCTYPE html>\n<html><head><title>S</title></head><body><a href=\"../about.html#team\">A</a></body></html>\n");
    put(d, "orphan.htm",
        "<!DOCTYPE html>\n<html><head><title>O</title></head><body><a href=\"index.html\">Home</a></body></html>\n");
    put(d, "css/site.css", "/* url(commented.png) */\nbody { background: url(\"../img/logo.png\"); }\n"
                           "h1 { background: url( ../img/missing.png ); }\n");
    put(d, "img/logo.png", "png");
    put(d, ".hidden/secret.html", "<a href=\"nothing.html\">x</a>");
}

} // namespace

class tst_SiteCheck : public QObject {
    Q_OBJECT
private slots:
    void eachFaultFoundOnce();
    void resolvesReferences_data();
    void resolvesReferences();
    void summaryCountsAndSingular();
};

void tst_SiteCheck::eachFaultFoundOnce()
{
    QTemporaryDir tmp;
    const QDir d(tmp.path());
    makeSite(d);
    for (int threads : {1, 3}) {
        CheckOptions options;
        options.markup = false;
        options.threads = threads;
        const SiteReport r = checkSite(tmp.path(), options);
        QCOMPARE(r.pages, 5); // the hidden folder is not part of the site
        QStringList found;
        for (const FileReport& f : r.files)
            for (const BrokenLink& b : f.brokenLinks)
                found << QStringLiteral("%1:%2:%3:%4").arg(f.path).arg(int(b.problem))
                             .arg(b.reference.line).arg(b.reference.column);
        found.sort();
        QCOMPARE(found, (QStringList{
                            "css/site.css:0:3:23",   // url() to a missing picture
                            "index.html:0:5:49",     // missing file
                            "index.html:1:6:10",     // wrong case
                            "index.html:2:6:51",     // missing fragment
                        }));
        QCOMPARE(r.brokenLinks, 4);
        QCOMPARE(r.orphans, QStringList{"orphan.htm"});
    }
}

void tst_SiteCheck::resolvesReferences_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("path"); // "<external>", "<outside>"
    QTest::addColumn<QString>("fragment");
    QTest::newRow("relative") << "a/b.html" << "c.html" << "a/c.html" << "";
    QTest::newRow("parent") << "a/b.html" << "../c.html#x" << "c.html" << "x";
    QTest::newRow("root") << "a/b.html" << "/d/e.css?v=2" << "d/e.css" << "";
    QTest::newRow("escaped") << "b.html" << "my%20page.html#a%20b" << "my page.html" << "a b";
    QTest::newRow("self") << "a/b.html" << "#top" << "a/b.html" << "top";
    QTest::newRow("folder") << "b.html" << "./sub/" << "sub/" << "";
    QTest::newRow("scheme") << "b.html" << "HTTPS://x.org/" << "<external>" << "";
    QTest::newRow("script") << "b.html" << "javascript:void(0)" << "<external>" << "";
    QTest::newRow("host") << "b.html" << "//cdn.org/x.js" << "<external>" << "";
    QTest::newRow("above root") << "b.html" << "../x.html" << "<outside>" << "";
}

void tst_SiteCheck::resolvesReferences()
{
    QFETCH(QString, from);
    QFETCH(QString, url);
    QFETCH(QString, path);
    QFETCH(QString, fragment);
    const Target t = resolveReference(from, url);
    const QString got = t.external ? "<external>" : t.outside ? "<outside>" : t.path;
    QCOMPARE(got, path);
    QCOMPARE(t.fragment, fragment);
}

void tst_SiteCheck::summaryCountsAndSingular()
{
    SiteReport r;
    r.pages = 183, r.brokenLinks = 2, r.errors = 5, r.warnings = 41;
    QCOMPARE(summaryText(r), QString("183 pages, 2 broken links, 5 errors, 41 warnings"));
    r.pages = 1, r.brokenLinks = 1, r.errors = 1, r.warnings = 0;
    QCOMPARE(summaryText(r), QString("1 page, 1 broken link, 1 error, 0 warnings"));
}

QTEST_GUILESS_MAIN(tst_SiteCheck)
#include "tst_sitecheck.moc"
