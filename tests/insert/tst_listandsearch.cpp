// The bulleted-list dialog and the WebBot search button.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "insert/WebBotSearch.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using testkit::App;
using testkit::Run;

namespace {

const QString form = QStringLiteral("frmItem");

QRadioButton* option(int n) { return testkit::control<QRadioButton>(form, QStringLiteral("Option%1").arg(n)); }
QPlainTextEdit* text(int n) { return testkit::control<QPlainTextEdit>(form, QStringLiteral("Text%1").arg(n)); }

} // namespace

class ListAndSearchTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void listOpening_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("toolbar") << "FB9";
        QTest::newRow("Insert > Bulleted List") << "mnuInsList";
    }
    // The list goes in on one line in the colour in force at the caret, here the red that
    // the Center button leaves behind.
    void listOpening()
    {
        QFETCH(QString, how);
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.main().enableToolbar();
        app.click(QStringLiteral("FB10")); // "<CENTER></CENTER>" and a red line break
        const int start = app.edit()->selStart();
        if (how.startsWith(QLatin1String("FB")))
            app.click(how);
        else
            app.trigger(how);
        QVERIFY(Forms::isVisible(form));
        QCOMPARE(testkit::form(form)->windowTitle(), QStringLiteral("List Items"));
        for (int n = 1; n <= 8; ++n) {
            QVERIFY(!option(n)->isChecked());
            QVERIFY(text(n)->isEnabled());
        }
        option(3)->click();
        text(1)->setPlainText(QStringLiteral("A"));
        text(2)->setPlainText(QStringLiteral("B \"<x>\""));
        text(3)->setPlainText(QStringLiteral("C"));
        const int undoBefore = app.doc()->history().undoCount();
        testkit::press(form, QStringLiteral("Command1"));

        const QString list = QStringLiteral("<UL><LI>&nbsp;A</LI><LI>&nbsp;B \"<x>\"</LI><LI>&nbsp;C</LI></UL>\r\n");
        QCOMPARE(app.edit()->text().mid(start, list.size()), list);
        QCOMPARE(testkit::colourAt(app.edit(), start), QColor(255, 0, 0));
        QCOMPARE(testkit::colourAt(app.edit(), start + list.size() - 3), QColor(255, 0, 0));
        QCOMPARE(app.doc()->savedCaret(), start + list.size());
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 2);
        QVERIFY(!testkit::form(form));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    void optionsEnableRows()
    {
        App app;
        app.trigger(QStringLiteral("mnuInsList"));
        for (int n = 1; n <= 8; ++n) {
            option(n)->click();
            for (int row = 1; row <= 8; ++row) {
                QCOMPARE(text(row)->isEnabled(), row <= n);
                QCOMPARE(option(row)->isChecked(), row == n);
            }
        }
        // A disabled box keeps its text.
        text(6)->setPlainText(QStringLiteral("kept"));
        option(2)->click();
        QCOMPARE(text(6)->toPlainText(), QStringLiteral("kept"));
        QVERIFY(text(1)->tabChangesFocus());
    }

    void onlyChosenRowsUsed()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuInsList"));
        for (int n = 1; n <= 5; ++n)
            text(n)->setPlainText(QStringLiteral("i%1").arg(n));
        option(4)->click();
        // A line break inside an item and a 100 KB item go in as typed.
        text(2)->setPlainText(QStringLiteral("two\nlines"));
        const QString big(100 * 1024, QLatin1Char('b'));
        text(3)->setPlainText(big);
        testkit::press(form, QStringLiteral("Command1"));
        QCOMPARE(app.edit()->text(),
                 QStringLiteral("<UL><LI>&nbsp;i1</LI><LI>&nbsp;two\r\nlines</LI><LI>&nbsp;") + big +
                     QStringLiteral("</LI><LI>&nbsp;i4</LI></UL>\r\n") + page::newPageTemplate());
    }

    void noChoiceOrCancelInsertsNothing()
    {
        for (const char* button : {"Command1", "Command2"}) {
            App app;
            app.newDocument();
            const QString before = app.edit()->text();
            app.trigger(QStringLiteral("mnuInsList"));
            text(1)->setPlainText(QStringLiteral("x"));
            app.edit()->setSelStart(25);
            testkit::press(form, QLatin1String(button));
            QVERIFY(!testkit::form(form));
            QCOMPARE(app.edit()->text(), before);
            QCOMPARE(app.doc()->savedCaret(), 25);
        }
    }

    void listWithoutDocumentAndTwice()
    {
        {
            App app;
            for (const char* button : {"Command1", "Command2"}) {
                app.trigger(QStringLiteral("mnuInsList"));
                option(8)->click();
                testkit::press(form, QLatin1String(button));
                QVERIFY(!testkit::form(form));
            }
        }
        App app;
        app.newDocument();
        app.trigger(QStringLiteral("mnuInsList"));
        option(1)->click();
        auto* apply = testkit::control<QPushButton>(form, QStringLiteral("Command1"));
        QTest::mouseClick(apply, Qt::LeftButton);
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(app.edit()->text().count(QLatin1String("<UL>")), 1);
    }

    void keyboardOnly()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuInsList"));
        QTRY_COMPARE(QApplication::activeWindow(), testkit::form(form));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(option(1)));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); // two items
        QVERIFY(option(2)->isChecked());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(text(1)));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("a"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("b"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // disabled rows are skipped
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(app.edit()->text().startsWith(QStringLiteral("<UL><LI>&nbsp;a</LI><LI>&nbsp;b</LI></UL>\r\n<HTML>")));
    }

    // Two presses give two identical green four-line forms; typing afterwards is black.
    void webBotTwice()
    {
        App app;
        app.click(QStringLiteral("FB3"));
        app.edit()->setSelStart(0);
        app.type(QStringLiteral("x"));
        const int undoBefore = app.doc()->history().undoCount();
        app.click(QStringLiteral("FB18"));
        app.click(QStringLiteral("FB18"));
        const QString form = webbot::openingComment() + QStringLiteral("\r\n<form><p><b>Search for:</b>\r\n") +
                             webbot::fieldAndSubmit() + QStringLiteral("\r\n") + webbot::resetAndClosing() +
                             QStringLiteral("\r\n");
        QCOMPARE(app.edit()->text(), QStringLiteral("x") + form + form + page::newPageTemplate());
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 2 * 8);
        const QList<Run> runs = testkit::colourRuns(app.edit());
        QCOMPARE(runs.size(), 3);
        QCOMPARE(runs[1], (Run{form + form, QColor(0, 200, 0)}));
        QCOMPARE(app.doc()->savedCaret(), 1 + 2 * form.size());
        app.type(QStringLiteral("y"));
        QCOMPARE(testkit::colourAt(app.edit(), 1 + 2 * form.size()), QColor(Qt::black));
    }

    void webBotWithoutDocument()
    {
        App app;
        app.main().enableToolbar();
        app.click(QStringLiteral("FB18"));
        QVERIFY(!app.doc());
    }
};

QTEST_MAIN(ListAndSearchTest)
#include "tst_listandsearch.moc"
