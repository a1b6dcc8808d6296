// The markup check's findings as the author reads them: messages that say what is wrong,
// marks in the page at the right characters (long lines held as display blocks too), the
// panel following the active page, Next/Previous Finding, and a page the marks leave as it was.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "editing/FindingMarks.h"
#include "editing/SelectionLayers.h"
#include "platform/SettingsStore.h"
#include "review/FindingsModel.h"
#include "review/MarkupCheck.h"
#include "review/MarkupPanel.h"
#include "review/ReviewCommands.h"

#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

using review::Severity;
using testkit::App;

namespace {

review::MarkupPanel* panel() {
    return review::markupPanel();
}

const QString head =
    QStringLiteral("<!DOCTYPE html>\r\n<html lang=\"en\"><head><title>t</title></head><body>\r\n");
const QString tail = QStringLiteral("\r\n</body></html>\r\n");

void waitForCheck(bool start) {
    QSignalSpy finished(panel(), &review::MarkupPanel::checkFinished);
    if (start)
        panel()->check();
    QVERIFY(finished.count() > 0 || finished.wait(10000));
    QVERIFY(!panel()->isRunning());
}

// The text each finding marked in the page covers.
QStringList markedTexts(RichEdit* edit) {
    QStringList out;
    for (const editing::PageFinding& f : editing::findingsIn(edit)) {
        QTextCursor c(edit->document());
        c.setPosition(f.start);
        c.setPosition(f.start + f.length, QTextCursor::KeepAnchor);
        out << c.selectedText();
    }
    return out;
}

} // namespace

class FindingsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { testkit::isolate(); }

    // The common checker messages, said as problems; mismatched and unclosed elements are errors.
    void messages_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("severity");
        const int error = int(Severity::Error), warning = int(Severity::Warning);
        QTest::newRow("wrong end tag")
            << "<p>\r\n<b>x</i></b></p>"
            << "</i> does not match <b> opened at line 4" << 4 << 5 << error;
        QTest::newRow("never closed")
            << "<div><p>x</p>"
            << "<div> opened at line 3 is never closed" << 3 << 1 << error;
        QTest::newRow("not closed before")
            << "<p>a <b>bold</p>"
            << "<b> opened at line 3 is not closed before </p>" << 3 << 6 << error;
        QTest::newRow("overlapping")
            << "<b>x<i>y</b></i>"
            << "</i> has no start tag: <i> was closed by </b> at line 3" << 3 << 13 << error;
        QTest::newRow("end tag alone") << "<p>x</span></p>"
                                       << "</span> has no start tag" << 3 << 5 << error;
        QTest::newRow("missing alt") << "<p><img src=\"a.png\"></p>"
                                     << "<img> lacks the alt attribute" << 3 << 4 << warning;
        QTest::newRow("unknown element, said once")
            << "<blah>y</blah>"
            << "<blah> is not an HTML element" << 3 << 1 << error;
        QTest::newRow("unknown entity")
            << "<p>a &foo; b</p>"
            << "&foo is not a known character reference" << 3 << 6 << warning;
        QTest::newRow("clear as it was") << "<a name=\"x\"></a>\r\n<a name=\"x\"></a>"
                                         << "<a> anchor \"x\" already defined" << 4 << 1 << warning;
    }
    void messages() {
        QFETCH(QString, body);
        QFETCH(QString, message);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(int, severity);
        const review::CheckResult r = review::checkMarkup(head + body + tail);
        QStringList all;
        const review::Finding* hit = nullptr;
        for (const review::Finding& f : r.findings) {
            all << QStringLiteral("%1:%2 %3").arg(f.line).arg(f.column).arg(f.message);
            if (f.message.startsWith(message))
                hit = &f;
            QVERIFY2(!f.message.contains(QLatin1String("discarding")) &&
                         !f.message.contains(QLatin1String("replacing")),
                     qPrintable(f.message));
        }
        QVERIFY2(hit, qPrintable(all.join('\n')));
        QCOMPARE(hit->line, line);
        QCOMPARE(hit->column, column);
        QCOMPARE(int(hit->severity), severity);
        QCOMPARE(r.errors > 0, severity == int(Severity::Error));
        if (QByteArray(QTest::currentDataTag()).startsWith("unknown element"))
            QCOMPARE(r.errors, 1);
    }

    // Accessibility checks only when asked for, as findings of their own.
    void accessibilityFindings() {
        const QString page =
            QStringLiteral("<!DOCTYPE html>\r\n<html><head><title>t</title></head><body>\r\n"
                           "<p><img src=\"a.png\"></p>") +
            tail;
        QCOMPARE(review::checkMarkup(page).accessibility, 0);
        const review::CheckResult r = review::checkMarkup(page, 1);
        QVERIFY(r.accessibility > 0);
        QStringList messages;
        for (const review::Finding& f : r.findings)
            if (f.severity == Severity::Accessibility)
                messages << f.message;
        QVERIFY2(messages.contains("<img> has no alt text (checkpoint 1.1.1.1)"),
                 qPrintable(messages.join('\n')));

        // The panel's option: remembered, listed with their own kind, hidden again when off.
        App app;
        app.newDocument();
        app.edit()->setWholeText(page);
        panel()->setAccessibilityLevel(1);
        QCOMPARE(platform::SettingsStore().readNumber("MarkupAccessibility", 0), 1);
        waitForCheck(true);
        QVERIFY2(panel()->windowTitle().contains("accessibility finding"),
                 qPrintable(panel()->windowTitle()));
        const int rows = panel()->model()->rowCount();
        QCOMPARE(panel()
                     ->model()
                     ->data(panel()->model()->index(rows - 1, 0), Qt::DisplayRole)
                     .toString(),
                 QStringLiteral("Accessibility"));
        panel()->setAccessibilityLevel(0);
        QCOMPARE(panel()->model()->rowCount(), rows - r.accessibility);
    }

    // Two pages; the first checked. Switching to the second never shows the first's findings.
    void panelFollowsTheActivePage() {
        App app;
        frmDocument* first = app.newDocument();
        app.edit()->setWholeText(head + "<p>a <b>b</p>\r\n<p>&foo;</p>\r\n<p>x</span></p>" + tail);
        waitForCheck(true);
        const int firstCount = panel()->model()->rowCount();
        QVERIFY(firstCount >= 3);
        frmDocument* second = app.newDocument();
        app.edit()->setWholeText(head + "<p>clean</p>" + tail);
        QCOMPARE(app.doc(), second);
        QTRY_COMPARE(panel()->checkedDocument(), second);
        QTRY_VERIFY(!panel()->isRunning() && !panel()->isStale());
        QCOMPARE(panel()->model()->rowCount(), 0);
        QVERIFY2(panel()->windowTitle().startsWith("Markup: 0 errors, 0 warnings"),
                 qPrintable(panel()->windowTitle()));
        // Back to the first: its own findings again, and the marks only in the page checked.
        app.main().mdiArea()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(first->parentWidget()));
        QTRY_COMPARE(panel()->checkedDocument(), first);
        QTRY_COMPARE(panel()->model()->rowCount(), firstCount);
        QTRY_VERIFY(!editing::findingsIn(first->editor()).empty());
        QVERIFY(editing::findingsIn(second->editor()).empty());
    }

    // A finding far along a long line (held as display blocks) marks the markup it is about,
    // and activating it in the list puts the caret there.
    void marksOnALongLine() {
        App app;
        app.newDocument();
        const QString filler = QString(9000, QLatin1Char('x'));
        const QString page = head + "<p>" + filler + " <blah>y</blah> &foo; z</p>" + tail;
        app.edit()->setWholeText(page);
        QVERIFY(app.edit()->displayBreakCount() > 50);
        waitForCheck(true);
        const QStringList marked = markedTexts(app.edit());
        QVERIFY2(marked.contains("<blah>") && marked.contains("&foo;"),
                 qPrintable(marked.join(' ')));
        int row = 0;
        while (!panel()->model()->findingAt(row)->message.startsWith("<blah>"))
            ++row;
        panel()->activate(row);
        QCOMPARE(app.edit()->selStart(), page.indexOf("<blah>"));
    }

    // Marks follow typing, the check runs again once typing pauses; the page stays as it was.
    void marksFollowTheTextAndLeaveItAlone() {
        App app;
        app.newDocument();
        app.edit()->setWholeText(head + "<p>x</span></p>" + tail);
        const auto runs = testkit::colourRuns(app.edit());
        const bool modified = app.doc()->isModified();
        waitForCheck(true);
        QCOMPARE(markedTexts(app.edit()), QStringList{"</span>"});
        QVERIFY(!editing::layer(app.edit(), editing::Layer::Findings).isEmpty());
        QCOMPARE(app.edit()->text(), head + "<p>x</span></p>" + tail);
        QCOMPARE(testkit::colourRuns(app.edit()), runs);
        QCOMPARE(app.doc()->isModified(), modified);

        app.edit()->setFocus();
        app.edit()->setSelStart(head.size() + 3);
        QSignalSpy finished(panel(), &review::MarkupPanel::checkFinished);
        app.type("&foo;");
        QCOMPARE(markedTexts(app.edit()), QStringList{"</span>"}); // moved with the text
        QVERIFY(finished.wait(10000));
        QTRY_COMPARE(markedTexts(app.edit()), QStringList({"&foo;", "</span>"}));

        panel()->close();
        QVERIFY(editing::findingsIn(app.edit()).empty());
        QVERIFY(editing::layer(app.edit(), editing::Layer::Findings).isEmpty());
    }

    // A page with thousands of findings draws only those in view.
    void onlyTheFindingsInViewAreDrawn() {
        App app;
        app.newDocument();
        QString body;
        for (int i = 0; i < 3000; ++i)
            body += QStringLiteral("<p>a &foo; b</p>\r\n");
        app.edit()->setWholeText(head + body + tail);
        waitForCheck(true);
        QTRY_COMPARE(editing::findingsIn(app.edit()).size(), std::size_t(3000)); // placed in slices
        const qsizetype drawn = editing::layer(app.edit(), editing::Layer::Findings).size();
        QVERIFY2(drawn > 0 && drawn < 200, qPrintable(QString::number(drawn)));
    }

    // Ctrl+. and Shift+Ctrl+. in page order, wrapping round; nothing happens without findings.
    void nextAndPreviousFinding() {
        App app;
        app.newDocument();
        const QString page = head + "<p>a</span> &foo; <blah>b</blah></p>" + tail;
        app.edit()->setWholeText(page);
        app.edit()->setSelStart(0);
        app.shortcut(Qt::Key_Period, Qt::ControlModifier);
        QCOMPARE(app.edit()->selStart(), 0);
        waitForCheck(true);
        app.main().activateWindow();
        app.edit()->setFocus();
        app.edit()->setSelStart(head.size());
        QList<int> forward, backward;
        for (int i = 0; i < 4; ++i) {
            app.shortcut(Qt::Key_Period, Qt::ControlModifier);
            forward << app.edit()->selStart();
        }
        for (int i = 0; i < 4; ++i) {
            app.shortcut(Qt::Key_Period, Qt::ControlModifier | Qt::ShiftModifier);
            backward << app.edit()->selStart();
        }
        const int span = page.indexOf("</span>"), amp = page.indexOf("&foo"),
                  blah = page.indexOf("<blah>");
        QCOMPARE(forward, QList<int>({span, amp, blah, span}));
        QCOMPARE(backward, QList<int>({blah, amp, span, blah}));
    }
};

QTEST_MAIN(FindingsTest)
#include "tst_findings.moc"
