// The markup check through a real main window: where findings point and where activating
// one puts the caret, the old-style filter, out-of-date results, and no page at all; and the
// preview's refusal to start its engine where the engine would end the program.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "review/FindingsModel.h"
#include "review/MarkupApart.h"
#include "review/MarkupPanel.h"
#include "review/PreviewDock.h"
#include "review/ReviewCommands.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <unistd.h>

using testkit::App;
using review::FindingsModel;
using review::MarkupPanel;
using review::Severity;

namespace {

MarkupPanel* panel() { return review::markupPanel(); }

// F12 on the active page, then the result.
void runCheck(App& app)
{
    QSignalSpy finished(panel(), &MarkupPanel::checkFinished);
    app.shortcut(Qt::Key_F12, Qt::NoModifier);
    QVERIFY(finished.count() == 1 || finished.wait(10000));
    QVERIFY(!panel()->isRunning());
}

int rowWith(const QString& text)
{
    for (int row = 0; row < panel()->model()->rowCount(); ++row)
        if (panel()->model()->findingAt(row)->message.contains(text))
            return row;
    return -1;
}

QString listing()
{
    QStringList lines;
    for (const review::Finding& f : panel()->model()->result().findings)
        lines << QStringLiteral("%1:%2 %3").arg(f.line).arg(f.column).arg(f.message);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class MarkupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    // Each page has one fault; the finding about it must name the line and column of the
    // element it concerns (counted in characters: a tab and a character outside the basic
    // plane count one each), and activating it puts the caret just before `at`.
    void findingsPointAtTheFault_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("at");
        QTest::addColumn<bool>("error");
        QTest::newRow("unclosed element")
            << "<HTML>\r\n<HEAD><TITLE>t</TITLE></HEAD>\r\n<BODY>\r\n<P>a <B>bold\r\n</BODY>\r\n</HTML>\r\n"
            << "<b> opened at line 4 is not closed before </body>" << 4 << 6 << "<B>bold" << true;
        QTest::newRow("unknown element")
            << "<HTML>\r\n<HEAD><TITLE>t</TITLE></HEAD>\r\n<BODY>\r\n<P>x</P>\r\n  <BLAH>y</BLAH>\r\n</BODY>\r\n</HTML>\r\n"
            << "<blah> is not an HTML element" << 5 << 3 << "<BLAH>" << true;
        QTest::newRow("unterminated attribute quote")
            << "<HTML>\r\n<HEAD><TITLE>t</TITLE></HEAD>\r\n<BODY>\r\n<P>text <A HREF=\"page.htm>link</A> more\r\n<P>next</P>\r\n</BODY>\r\n</HTML>\r\n"
            << "<a> opened at line 4 is" << 4 << 9 << "<A HREF" << true;
        QTest::newRow("missing </TABLE>, after a tab and an emoji")
            << QString::fromUtf8("<HTML>\r\n<HEAD><TITLE>t</TITLE></HEAD>\r\n<BODY>\r\n\t\xf0\x9f\x98\x80<TABLE BORDER=1>\r\n<TR><TD>cell</TD></TR>\r\n</BODY>\r\n</HTML>\r\n")
            << "<table> opened at line 4 is" << 4 << 3 << "<TABLE" << true;
    }
    void findingsPointAtTheFault()
    {
        QFETCH(QString, page);
        QFETCH(QString, message);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, at);
        QFETCH(bool, error);
        App app;
        app.newDocument();
        app.edit()->setWholeText(page);
        app.edit()->setSelStart(0);
        runCheck(app);
        const int row = rowWith(message);
        QVERIFY2(row >= 0, qPrintable(listing()));
        const review::Finding* f = panel()->model()->findingAt(row);
        QCOMPARE(f->line, line);
        QCOMPARE(f->column, column);
        QCOMPARE(f->severity == Severity::Error, error);
        QCOMPARE(panel()->model()->result().errors > 0, error);
        QVERIFY2(panel()->windowTitle().startsWith(error ? "Markup: 1 error, " : "Markup: 0 errors, "),
                 qPrintable(panel()->windowTitle()));
        QCOMPARE(QApplication::focusWidget(), panel()->view()); // F12 focuses the list
        // Errors come first.
        if (error)
            QCOMPARE(panel()->model()->findingAt(0)->severity, Severity::Error);

        // Return on the finding: caret at the element, the page unchanged.
        panel()->view()->setCurrentIndex(panel()->model()->index(row, 0));
        QTest::keyClick(panel()->view(), Qt::Key_Return);
        QCOMPARE(app.edit()->selStart(), page.indexOf(at));
        QCOMPARE(app.edit()->selLength(), 0);
        QCOMPARE(QApplication::focusWidget(), app.edit());
        QCOMPARE(app.edit()->text(), page);
    }

    // Old-style markup the page commands write is hidden unless asked for; the title counts
    // everything and says how much is hidden.
    void oldStyleWarningsAreFiltered()
    {
        App app;
        app.newDocument();
        app.edit()->setWholeText("<HTML><HEAD><TITLE>t</TITLE></HEAD><BODY>\r\n<CENTER><FONT "
                                 "SIZE=3>x</FONT></CENTER>\r\n<MARQUEE>m</MARQUEE>\r\n</BODY></HTML>\r\n");
        auto* box = panel()->findChild<QAbstractButton*>("chkMarkupOldStyle");
        QVERIFY(box);
        box->setChecked(false);
        runCheck(app);
        const int all = panel()->model()->result().findings.size();
        QCOMPARE(rowWith("<center>"), -1);
        QCOMPARE(rowWith("<marquee>"), -1);
        QVERIFY(panel()->model()->hiddenCount() >= 3);
        QVERIFY2(panel()->windowTitle().contains("old-style hidden"), qPrintable(panel()->windowTitle()));
        box->setChecked(true);
        QCOMPARE(panel()->model()->rowCount(), all);
        QVERIFY(rowWith("<center>") >= 0 && rowWith("<marquee>") >= 0);
        box->setChecked(false);
    }

    // The page the effect commands build has no error that our generators caused. What is
    // left are warnings about the page as the template makes it (no doctype, the title
    // after the head) and about old-style markup.
    void effectsPageHasNoErrors()
    {
        QFile file(QStringLiteral(HALVANE_EFFECTS_PAGE));
        QVERIFY2(file.open(QIODevice::ReadOnly), HALVANE_EFFECTS_PAGE);
        App app;
        app.newDocument();
        app.edit()->setWholeText(QString::fromUtf8(file.readAll()));
        runCheck(app);
        QVERIFY(panel()->model()->result().findings.size() > 0);
        QVERIFY2(panel()->model()->result().errors == 0, qPrintable(listing()));
        qInfo().noquote() << "remaining findings:\n" + listing();
    }

    // A result for text that changed after the copy was taken is out of date: whether the
    // change came while the check ran or after it ended.
    void changedPagesMarkTheResultOutOfDate()
    {
        App app;
        app.newDocument();
        runCheck(app);
        QVERIFY(!panel()->isStale());
        app.edit()->setFocus();
        app.type("x");
        QVERIFY(panel()->isStale());
        QVERIFY(panel()->windowTitle().contains("out of date"));

        QSignalSpy finished(panel(), &MarkupPanel::checkFinished);
        panel()->check();
        app.edit()->setFocus();
        app.type("y"); // before the worker's result is delivered
        QVERIFY(finished.wait(10000));
        QVERIFY(panel()->isStale());
        // A change while the page is still being copied starts the copy again: the result is
        // of the changed text, and current.
        QString longPage;
        for (int i = 0; i < 60000; ++i)
            longPage += QStringLiteral("<P>line %1</P>\r\n").arg(i);
        app.edit()->setWholeText(longPage);
        app.edit()->setSelStart(0);
        panel()->check();
        app.edit()->setFocus();
        app.type("<BLAH>");
        QVERIFY(finished.wait(30000));
        QVERIFY(!panel()->isStale());
        QVERIFY(rowWith("<blah> is not an HTML element") >= 0);
        // A fresh check is current again.
        runCheck(app);
        QVERIFY(!panel()->isStale());
        QVERIFY(!panel()->windowTitle().contains("out of date"));
    }

    // Nesting far deeper than tidy's recursion survives on a thread's stack: the editor
    // stays up and the finding says why the page was not read, at the line it got too deep.
    void deeplyNestedPagesEndInAFinding()
    {
        App app;
        app.newDocument();
        app.edit()->setWholeText("<HTML><BODY>\r\n" + QStringLiteral("<DIV>").repeated(200000));
        runCheck(app);
        QCOMPARE(panel()->model()->result().errors, 1);
        QVERIFY2(rowWith("nested up to 10000 deep") >= 0, qPrintable(listing()));
        QCOMPARE(panel()->model()->findingAt(0)->line, 2);
        // Self-closing elements and unclosed paragraphs, list items and cells do not nest.
        QString flat;
        for (int i = 0; i < 12000; ++i)
            flat += QStringLiteral("<P>p<BR><UL><LI>a<LI>b</UL><TABLE><TR><TD>a<TD>b<TR><TD>c</TABLE><IMG SRC=x />\r\n");
        QCOMPARE(review::lineOverNesting(flat), 0);
        QCOMPARE(review::lineOverNesting(QStringLiteral("<B>x\n").repeated(10001)), 10001);
    }

    // The helper process answers as the check in this process would; a helper that fails
    // (here: a stack too small for the page) gives one error, and the program goes on.
    void helperProcessAnswersOrFailsAlone()
    {
        const QString page = QStringLiteral("<HTML><BODY>\n<P>a <B>bold\n<BLAH>x</BLAH>\n</BODY></HTML>\n");
        const review::CheckResult here = review::checkMarkup(page);
        const review::CheckResult apart = review::apart::checkMarkup(page);
        QCOMPARE(apart.errors, here.errors);
        QCOMPARE(apart.warnings, here.warnings);
        QCOMPARE(apart.findings.size(), here.findings.size());
        for (int i = 0; i < here.findings.size(); ++i) {
            QCOMPARE(apart.findings[i].message, here.findings[i].message);
            QCOMPARE(apart.findings[i].line, here.findings[i].line);
            QCOMPARE(apart.findings[i].column, here.findings[i].column);
        }
        const review::CheckResult crashed =
            review::apart::checkMarkup(QStringLiteral("<DIV>").repeated(9000), 64 * 1024);
        QCOMPARE(crashed.errors, 1);
        QVERIFY(crashed.findings.value(0).message.contains("stopped before the end of the page"));
    }

    // The first 10,000 findings are kept and the rest only counted, the result saying so; the
    // helper process hands the flag over. One finding fewer than the cap is no cut.
    void findingsAreCappedAndFlagged_data()
    {
        QTest::addColumn<int>("faults");
        QTest::addColumn<bool>("truncated");
        QTest::newRow("one under the cap") << review::maxFindings - 1 << false;
        QTest::newRow("over the cap") << review::maxFindings + 500 << true;
    }
    void findingsAreCappedAndFlagged()
    {
        QFETCH(int, faults);
        QFETCH(bool, truncated);
        const QString page = QStringLiteral("<HTML><HEAD><TITLE>t</TITLE></HEAD><BODY>\n") +
                             QStringLiteral("<BLAH>x</BLAH>\n").repeated(faults) + QStringLiteral("</BODY></HTML>\n");
        for (const review::CheckResult& r : {review::checkMarkup(page), review::apart::checkMarkup(page)}) {
            QCOMPARE(r.truncated, truncated);
            QCOMPARE(r.findings.size(), std::min(r.errors + r.warnings + r.accessibility, review::maxFindings));
            QVERIFY2(r.errors + r.warnings + r.accessibility >= faults, qPrintable(QString::number(r.errors)));
        }
    }

    // No page: nothing to check and nothing to go to; a closed page's findings go nowhere.
    void noPageToCheck()
    {
        App app;
        runCheck(app);
        QCOMPARE(panel()->windowTitle(), QStringLiteral("Markup: no page to check"));
        QCOMPARE(panel()->model()->rowCount(), 0);
        panel()->activate(0);

        app.newDocument();
        app.edit()->setWholeText("<P><BLAH>");
        runCheck(app);
        QVERIFY(panel()->model()->rowCount() > 0);
        // Escape goes back to the page.
        QTest::keyClick(panel()->view(), Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), app.edit());
        app.doc()->parentWidget()->close();
        QTRY_VERIFY(!panel()->checkedDocument());
        panel()->activate(0); // nothing to go to, no crash
        QVERIFY(!app.doc());
    }

    // As the administrator the web engine would end the whole program for want of its
    // sandbox: the preview says why it cannot run instead, and nothing is loaded.
    void previewAsRootWithoutSandboxVariable()
    {
        if (geteuid() != 0)
            QSKIP("only the administrator is refused");
        const QByteArray saved = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        App app;
        app.newDocument();
        app.main().action("mnuViewLivePreview")->trigger();
        QVERIFY(review::previewDock()->isVisible());
        QVERIFY(!review::previewDock()->renderer());
        QVERIFY(review::previewDock()->loadError().contains("QTWEBENGINE_DISABLE_SANDBOX"));
        if (!saved.isNull())
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", saved);
    }
};

QTEST_MAIN(MarkupTest)
#include "tst_markup.moc"
