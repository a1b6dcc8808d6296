// The page-colours picker that follows File > New: live preview, the body tag it writes into
// the new page, the caret it leaves, and how it closes.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using testkit::App;

namespace {

const QString startingTag =
    QStringLiteral(R"(<BODY BGCOLOR="#FFFFFF" TEXT= "#000000" LINK= "#FF0000" VLINK= "#0000FF" > )");

// The template with its "<BODY>" line replaced as the picker does it.
QString pageWith(const QString& tag)
{
    QString page = page::newPageTemplate();
    return page.replace(page::bodyTagOffset, 6, tag + QStringLiteral("   "));
}

QScrollBar* bar(QWidget* dlg, int n) { return dlg->findChild<QScrollBar*>(QStringLiteral("HS%1").arg(n)); }
QString valueBox(QWidget* dlg, int n)
{
    return dlg->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n))->text();
}
QColor back(QWidget* dlg, const char* box)
{
    auto* p = dlg->findChild<QPlainTextEdit*>(QLatin1String(box));
    p->ensurePolished();
    return p->palette().color(QPalette::Base);
}
QColor fore(QWidget* dlg, const char* box)
{
    auto* p = dlg->findChild<QPlainTextEdit*>(QLatin1String(box));
    p->ensurePolished();
    return p->palette().color(QPalette::Text);
}
void clickApply(QWidget* dlg) { QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("FB1")), Qt::LeftButton); }

} // namespace

class ColorPickerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void applyWithStartingColours()
    {
        App app;
        bool seen = false;
        testkit::answerModal(QStringLiteral("color"), [&](QWidget* dlg) {
            seen = true;
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Color Picker"));
            QVERIFY(dlg->isModal());
            QVERIFY(app.doc()); // the new page is already there and active
            for (int n = 5; n <= 16; ++n) {
                static const char* const initial[12] = {"255", "255", "255", "0", "0", "0",
                                                        "255", "0",   "0",   "0", "0", "255"};
                QCOMPARE(valueBox(dlg, n), QLatin1String(initial[n - 5]));
                QCOMPARE(bar(dlg, n - 4)->minimum(), 0);
                QCOMPARE(bar(dlg, n - 4)->maximum(), 255);
            }
            QCOMPARE(dlg->findChild<QPlainTextEdit*>(QStringLiteral("Text2"))->toPlainText(),
                     QString(33, ' ') + "\n" + QString(33, ' ') + "\n" + QString(9, ' ') + "Link Color\n");
            QCOMPARE(dlg->findChild<QPlainTextEdit*>(QStringLiteral("Text4"))->toPlainText(),
                     QString(30, ' ') + "\n" + QString(25, ' ') + "\n Visited Link Color\n");
            clickApply(dlg);
        });
        const int undoBefore = 1; // the template's own snapshot
        app.newDocument();
        QVERIFY(seen);
        QCOMPARE(app.edit()->text(), pageWith(startingTag));
        QCOMPARE(app.edit()->selStart(), 122);
        QCOMPARE(app.doc()->savedCaret(), 122);
        QCOMPARE(app.edit()->text().mid(120, 2), QString(2, ' ')); // two characters into line 5
        QVERIFY(!testkit::form(QStringLiteral("color")));
        // Taken in the colour in force there: the whole page stays black.
        const auto runs = testkit::colourRuns(app.edit());
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].colour, QColor(Qt::black));
        // Two changes: "<BODY>" replaced by three spaces, then the tag; undone one by one.
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 2);
        QCOMPARE(app.doc()->history().undoText(1),
                 QString(page::newPageTemplate()).replace(40, 6, QStringLiteral("   ")));
        // The editor has the focus again, so typing goes into the page.
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    void barsDrivePreviewAndTag()
    {
        App app;
        testkit::answerModal(QStringLiteral("color"), [&](QWidget* dlg) {
            bar(dlg, 1)->setValue(10);  // background red
            bar(dlg, 6)->setValue(200); // text blue
            bar(dlg, 8)->setValue(171); // link green
            bar(dlg, 12)->setValue(0);  // visited blue
            QCOMPARE(valueBox(dlg, 5), QStringLiteral("10"));
            QCOMPARE(valueBox(dlg, 10), QStringLiteral("200"));
            QCOMPARE(valueBox(dlg, 12), QStringLiteral("171"));
            QCOMPARE(valueBox(dlg, 16), QStringLiteral("0"));
            for (const char* box : {"Text1", "Text2", "Text3", "Text4"})
                QCOMPARE(back(dlg, box), QColor(10, 255, 255));
            QCOMPARE(fore(dlg, "Text3"), QColor(0, 0, 200));
            QCOMPARE(fore(dlg, "Text2"), QColor(255, 171, 0));
            QCOMPARE(fore(dlg, "Text4"), QColor(0, 0, 0));
            // A link bar changes only the words "Link Color".
            bar(dlg, 9)->setValue(1);
            QCOMPARE(fore(dlg, "Text2"), QColor(255, 171, 1));
            QCOMPARE(fore(dlg, "Text3"), QColor(0, 0, 200));
            QCOMPARE(back(dlg, "Text2"), QColor(10, 255, 255));
            clickApply(dlg);
        });
        app.newDocument();
        QCOMPARE(app.edit()->text(),
                 pageWith(R"(<BODY BGCOLOR="#0AFFFF" TEXT= "#0000C8" LINK= "#FFAB01" VLINK= "#000000" > )"));
    }

    void allBlackGivesStartingColours()
    {
        App app;
        testkit::answerModal(QStringLiteral("color"), [&](QWidget* dlg) {
            for (int n : {1, 2, 3, 7})
                bar(dlg, n)->setValue(0);
            bar(dlg, 10)->setValue(99); // the visited-link bars do not count
            clickApply(dlg);
        });
        app.newDocument();
        QCOMPARE(app.edit()->text(), pageWith(startingTag));
    }

    void keyboardMovesBars()
    {
        App app;
        testkit::answerModal(QStringLiteral("color"), [&](QWidget* dlg) {
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bar(dlg, 1)));
            QTest::keyClick(bar(dlg, 1), Qt::Key_Left);
            QCOMPARE(valueBox(dlg, 5), QStringLiteral("254"));
            QTest::keyClick(bar(dlg, 1), Qt::Key_Home);
            QCOMPARE(valueBox(dlg, 5), QStringLiteral("0"));
            QTest::keyClick(dlg, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(bar(dlg, 2)));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // Apply is the default
        });
        app.newDocument();
        QCOMPARE(app.edit()->text(),
                 pageWith(R"(<BODY BGCOLOR="#00FFFF" TEXT= "#000000" LINK= "#FF0000" VLINK= "#0000FF" > )"));
    }

    void toolbarNewShowsPicker()
    {
        App app;
        bool seen = false;
        testkit::answerModal(QStringLiteral("color"), [&](QWidget* dlg) {
            seen = true;
            clickApply(dlg);
        });
        app.click(QStringLiteral("FB3"));
        QVERIFY(seen);
        QCOMPARE(app.edit()->text(), pageWith(startingTag));
    }

    void escapeClosesWithoutWriting()
    {
        App app;
        testkit::answerModal(QStringLiteral("color"), [](QWidget* dlg) { QTest::keyClick(dlg, Qt::Key_Escape); });
        app.newDocument();
        QCOMPARE(app.edit()->text(), page::newPageTemplate());
        QVERIFY(!testkit::form(QStringLiteral("color")));
    }

    void freshEveryShowing()
    {
        App app;
        testkit::answerModal(QStringLiteral("color"), [](QWidget* dlg) {
            bar(dlg, 4)->setValue(50);
            clickApply(dlg);
        });
        app.newDocument();
        testkit::answerModal(QStringLiteral("color"), [](QWidget* dlg) {
            QCOMPARE(valueBox(dlg, 8), QStringLiteral("0"));
            clickApply(dlg);
        });
        app.newDocument();
        QCOMPARE(app.edit()->text(), pageWith(startingTag));
    }

    void noDocumentOpen()
    {
        App app;
        bool seen = false;
        testkit::answerModal(QStringLiteral("color"), [&](QWidget* dlg) {
            seen = true;
            clickApply(dlg);
            clickApply(dlg); // a second press while it closes does nothing
        });
        Forms::showModal(QStringLiteral("color"));
        QVERIFY(seen);
        QVERIFY(!app.doc());
        QVERIFY(!testkit::form(QStringLiteral("color")));
    }
};

QTEST_MAIN(ColorPickerTest)
#include "tst_colorpicker.moc"
