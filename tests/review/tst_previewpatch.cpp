// What the live preview changes in place and what makes it load the whole page again.
#include "review/PreviewPatch.h"

#include <QTest>

using review::ShownSource;
using review::UpdatePlan;

class PreviewPatchTest : public QObject {
    Q_OBJECT
private slots:
    void plans_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("detail"); // the tag patched, or a word of the reason
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("countAfter");
        const QString head = "<!DOCTYPE html>\n<HTML><HEAD><TITLE>t</TITLE></HEAD>\n<BODY class=x>\n";
        const QString tail = "\n</BODY></HTML>\n";
        auto page = [&](const QString& body) { return head + body + tail; };
        const QString body = "<P>one</P>\n<P>two <B>b</B></P>\n<DIV><P>in</P></DIV>\n"
                             "<TABLE><TR><TD>a<TD>b</TABLE>\n<SCRIPT>var s = 1;</SCRIPT>\n<UL><LI>x<LI>y</UL>";
        const QString before = page(body);
        auto with = [&](const QString& from, const QString& to) {
            QString b = body;
            b.replace(b.indexOf(from), from.size(), to);
            return page(b);
        };
        QTest::newRow("same text") << before << before << int(UpdatePlan::Nothing) << "" << 0 << 0;
        QTest::newRow("word in a paragraph") << before << with("two", "two words") << int(UpdatePlan::Patch) << "p" << 1 << 3;
        QTest::newRow("new element in a paragraph") << before << with("two", "<I>2</I>") << int(UpdatePlan::Patch) << "p" << 1 << 3;
        QTest::newRow("new paragraph in a division") << before << with("<P>in</P>", "<P>in</P><P>more</P>")
                                                     << int(UpdatePlan::Patch) << "div" << 0 << 1;
        QTest::newRow("cell of a table without end tags") << before << with("a<TD>", "aa<TD>") << int(UpdatePlan::Patch) << "td" << 0 << 2;
        QTest::newRow("item whose end tag is left out") << before << with("y</UL>", "yz</UL>") << int(UpdatePlan::Patch) << "li" << 1 << 2;
        QTest::newRow("attribute of a paragraph") << before << with("<P>one", "<P id=n>one") << int(UpdatePlan::Patch) << "p" << 0 << 3;
        QTest::newRow("title") << before << QString(before).replace("<TITLE>t", "<TITLE>tt") << int(UpdatePlan::Reload) << "head" << 0 << 0;
        QTest::newRow("doctype") << before << QString(before).replace("html>", "HTML>") << int(UpdatePlan::Reload) << "doctype" << 0 << 0;
        QTest::newRow("body tag") << before << QString(before).replace("class=x", "class=y") << int(UpdatePlan::Reload) << "body" << 0 << 0;
        QTest::newRow("script") << before << with("s = 1", "s = 2") << int(UpdatePlan::Reload) << "script" << 0 << 0;
        QTest::newRow("script typed into a paragraph") << before << with("one", "<script>x()</script>")
                                                       << int(UpdatePlan::Reload) << "script" << 0 << 0;
        QTest::newRow("style sheet link typed") << before << with("in", "<link rel=stylesheet href=a.css>")
                                                << int(UpdatePlan::Reload) << "link" << 0 << 0;
        QTest::newRow("text of the body itself") << before << with("\n<DIV>", "\nloose\n<DIV>") << int(UpdatePlan::Reload) << "not inside" << 0 << 0;
        QTest::newRow("end of the body") << before << QString(before).replace("</BODY>", "</BODY>x") << int(UpdatePlan::Reload) << "" << 0 << 0;
        // The body tag ends at its own ">": not at one inside a quoted value, nor at its line's end.
        const QString quoted = "<HTML><BODY onload=\"if (a>b) c()\">\n<P>x</P>\n</BODY></HTML>";
        QTest::newRow("body tag with > in a value") << quoted << QString(quoted).replace("c()", "d()") << int(UpdatePlan::Reload) << "body" << 0 << 0;
        QTest::newRow("paragraph after such a body tag") << quoted << QString(quoted).replace("<P>x", "<P>xy") << int(UpdatePlan::Patch) << "p" << 0 << 1;
        const QString split = "<HTML><BODY\nclass=x>\n<P>x</P>\n</BODY></HTML>";
        QTest::newRow("body tag over two lines") << split << QString(split).replace("class=x", "class=y") << int(UpdatePlan::Reload) << "body" << 0 << 0;
        QTest::newRow("no body tag") << "<P>a</P>" << "<P>ab</P>" << int(UpdatePlan::Reload) << "no <body>" << 0 << 0;
    }

    void plans()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, kind);
        QFETCH(QString, detail);
        const UpdatePlan plan = review::planUpdate(ShownSource(before), ShownSource(after));
        QCOMPARE(int(plan.kind), kind);
        if (kind == UpdatePlan::Reload) {
            QVERIFY2(plan.reason.contains(detail), qPrintable(plan.reason));
            return;
        }
        if (kind == UpdatePlan::Nothing)
            return;
        QFETCH(int, index);
        QFETCH(int, countAfter);
        QCOMPARE(plan.tag, detail);
        QCOMPARE(plan.index, index);
        QCOMPARE(plan.countAfter, countAfter);
        // What goes into the page is the element's whole new source, start tag first.
        QVERIFY(plan.html.startsWith(QLatin1Char('<')));
        QVERIFY(after.contains(plan.html));
    }
};

QTEST_GUILESS_MAIN(PreviewPatchTest)
#include "tst_previewpatch.moc"
