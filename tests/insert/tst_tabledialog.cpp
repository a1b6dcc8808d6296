// The Insert Table dialog: up-downs, the size-limited boxes, the grey skeleton it writes.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/UpDown.h"
#include "document/frmDocument.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using testkit::App;
using testkit::Run;

namespace {

const QString form = QStringLiteral("frmTable");

QLineEdit* box(const char* name) { return testkit::control<QLineEdit>(form, QLatin1String(name)); }
UpDown* upDown(const char* name) { return testkit::control<UpDown>(form, QLatin1String(name)); }

void fillAttributes(const QStringList& values)
{
    const char* names[] = {"txtBwidth", "txtWidth", "txtHeight", "txtPadding", "txtSpacing", "txtCaption"};
    for (int i = 0; i < 6; ++i)
        box(names[i])->setText(values.at(i));
}

QString skeleton(int rows, int columns, const QString& opening)
{
    QString text = opening + QStringLiteral("\r\n");
    for (int r = 0; r < rows; ++r)
        text += QStringLiteral("<TR>") + QStringLiteral("<TH></TH>").repeated(columns) + QStringLiteral("</TR>\r\n");
    return text + QStringLiteral("</TABLE>");
}

} // namespace

class TableDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void opening_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("toolbar") << "FB13";
        QTest::newRow("Insert > Table") << "mnuInsTable";
    }
    void opening()
    {
        QFETCH(QString, how);
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        const int undoBefore = app.doc()->history().undoCount();
        app.main().enableToolbar();
        if (how.startsWith(QLatin1String("FB")))
            app.click(how);
        else
            app.trigger(how);
        QVERIFY(Forms::isVisible(form));
        QCOMPARE(testkit::form(form)->windowTitle(), QStringLiteral("Insert Table"));
        // Starting state: one row, one column, shown; attribute boxes empty.
        QCOMPARE(box("txtRows")->text(), QStringLiteral("1"));
        QCOMPARE(box("txtColumns")->text(), QStringLiteral("1"));
        QCOMPARE(upDown("VScroll2")->value(), 1);
        QCOMPARE(upDown("VScroll1")->value(), 1);
        QCOMPARE(box("txtCaption")->text(), QString());

        upDown("VScroll2")->setValue(2);
        upDown("VScroll1")->setValue(3);
        QCOMPARE(box("txtRows")->text(), QStringLiteral("2"));
        QCOMPARE(box("txtColumns")->text(), QStringLiteral("3"));
        fillAttributes({"1", "100", "50", "2", "3", "T"});
        testkit::press(form, QStringLiteral("cmdApply"));

        const QString table = skeleton(
            2, 3,
            R"(<TABLE COLSPEC="L20 L20"BORDER=1 WIDTH=100 HEIGHT=50 CELLPADDING=2 CELLSPACING=3><CAPTION ALIGN=TOP>T</Caption >)");
        // "</TABLE>" gets no Enter: the page's first line continues right after it.
        const QList<Run> runs = testkit::colourRuns(app.edit());
        const QList<Run> expected{{table, QColor(130, 130, 130)}, {page::newPageTemplate(), Qt::black}};
        QVERIFY2(runs == expected, qPrintable(testkit::describe(runs)));
        QCOMPARE(app.edit()->selStart(), table.size());
        QCOMPARE(app.doc()->savedCaret(), table.size());
        // Opening string, its Enter, per row <TR>, 3 cells, </TR> and Enter, then </TABLE>.
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 2 + 2 * 6 + 1);
        QVERIFY(!testkit::form(form));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
        app.type(QStringLiteral("z"));
        QCOMPARE(testkit::colourAt(app.edit(), table.size()), QColor(Qt::black));
    }

    void typedCountIgnored()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuInsTable"));
        box("txtRows")->setText(QStringLiteral("9"));
        box("txtColumns")->setText(QStringLiteral("9"));
        testkit::press(form, QStringLiteral("cmdApply"));
        QVERIFY(app.edit()->text().startsWith(
            skeleton(1, 1, R"(<TABLE COLSPEC="L20 L20"BORDER= WIDTH= HEIGHT= CELLPADDING= CELLSPACING=><CAPTION ALIGN=TOP></Caption >)")
            + QStringLiteral("<HTML>")));
    }

    void limits()
    {
        App app;
        app.trigger(QStringLiteral("mnuInsTable"));
        // The up-downs stop at 15 rows and 10 columns, and at 1 going down.
        UpDown* rows = upDown("VScroll2");
        QToolButton* up = rows->findChild<QToolButton*>(QStringLiteral("up"));
        for (int i = 0; i < 20; ++i)
            QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(rows->value(), 15);
        QCOMPARE(box("txtRows")->text(), QStringLiteral("15"));
        QTest::mouseClick(rows->findChild<QToolButton*>(QStringLiteral("down")), Qt::LeftButton);
        QCOMPARE(box("txtRows")->text(), QStringLiteral("14"));
        UpDown* columns = upDown("VScroll1");
        QTest::keyClick(columns, Qt::Key_End);
        QCOMPARE(columns->value(), 10);
        QTest::keyClick(columns, Qt::Key_Up);
        QCOMPARE(box("txtColumns")->text(), QStringLiteral("10"));
        QTest::keyClick(columns, Qt::Key_Home);
        QTest::keyClick(columns, Qt::Key_Down);
        QCOMPARE(box("txtColumns")->text(), QStringLiteral("1"));
        QTest::keyClick(columns, Qt::Key_Up);
        QCOMPARE(box("txtColumns")->text(), QStringLiteral("2"));

        // Five attribute boxes take three characters at most; the caption is not limited.
        for (const char* name : {"txtBwidth", "txtWidth", "txtHeight", "txtPadding", "txtSpacing"}) {
            QTest::keyClicks(box(name), QStringLiteral("1234"));
            QCOMPARE(box(name)->text(), QStringLiteral("123"));
        }
        const QString longCaption(100 * 1024, QLatin1Char('c'));
        box("txtCaption")->setText(longCaption);
        QCOMPARE(box("txtCaption")->text(), longCaption);
    }

    void keyboardOnly()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuInsTable"));
        QWidget* dlg = testkit::form(form);
        QTRY_COMPARE(QApplication::activeWindow(), dlg);
        QStringList order;
        for (int i = 0; i < 12; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, (QStringList{"txtRows", "VScroll2", "txtColumns", "VScroll1", "txtBwidth",
                                     "txtWidth", "txtHeight", "txtPadding", "txtSpacing",
                                     "txtCaption", "cmdApply", "cmdCancel"}));
        upDown("VScroll2")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // Apply is the default
        QVERIFY(app.edit()->text().contains(QStringLiteral("<TR><TH></TH></TR>\r\n<TR><TH></TH></TR>\r\n</TABLE><HTML>")));
    }

    void cancelAndNoDocument()
    {
        {
            App app;
            app.newDocument();
            const QString before = app.edit()->text();
            app.trigger(QStringLiteral("mnuInsTable"));
            app.edit()->setSelStart(12);
            testkit::press(form, QStringLiteral("cmdCancel"));
            QVERIFY(!testkit::form(form));
            QCOMPARE(app.edit()->text(), before);
            QCOMPARE(app.doc()->savedCaret(), 12);
        }
        App app;
        for (const char* button : {"cmdApply", "cmdCancel"}) {
            app.trigger(QStringLiteral("mnuInsTable"));
            upDown("VScroll2")->setValue(15);
            testkit::press(form, QLatin1String(button));
            QVERIFY(!testkit::form(form));
        }
        QVERIFY(!app.doc());
    }

    void applyTwiceInsertsOnce()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuInsTable"));
        auto* apply = testkit::control<QPushButton>(form, QStringLiteral("cmdApply"));
        QTest::mouseClick(apply, Qt::LeftButton);
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(app.edit()->text().count(QLatin1String("<TABLE")), 1);
    }
};

QTEST_MAIN(TableDialogTest)
#include "tst_tabledialog.moc"
