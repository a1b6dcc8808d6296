// The hyperlink, e-mail link and command button dialogs and the Links and Images palette,
// opened every way the user can open them and driven by their buttons.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using testkit::App;
using testkit::Run;

namespace {

const QColor black(0, 0, 0);
const QColor cyan(0, 255, 255);
const QColor purple(100, 0, 190);
const QColor violet(100, 20, 150);

struct DialogInfo {
    const char* name;
    const char* apply;
    const char* cancel;
};
DialogInfo info(const QString& dialog)
{
    if (dialog == QLatin1String("frmLink"))
        return {"frmLink", "Command1", "Command2"};
    if (dialog == QLatin1String("frmMail"))
        return {"frmMail", "Command1", "Command2"};
    return {"frmButton", "Apply", "Cancel"};
}

// Opens a dialog by a menu item ("mnu..."), a toolbar button ("FB..") or a palette button
// ("frmLnkImg.FBn", after FB11).
void open(App& app, const QString& how, const QString& dialog)
{
    app.main().enableToolbar();
    if (how.startsWith(QLatin1String("mnu"))) {
        app.trigger(how);
    } else if (how.startsWith(QLatin1String("frmLnkImg."))) {
        app.click(QStringLiteral("FB11"));
        QVERIFY(Forms::isVisible(QStringLiteral("frmLnkImg")));
        testkit::press(QStringLiteral("frmLnkImg"), how.mid(10));
        QVERIFY(!testkit::form(QStringLiteral("frmLnkImg")));
    } else {
        app.click(how);
    }
    QVERIFY2(Forms::isVisible(dialog), qPrintable(dialog));
}

void fill(const QString& dialog, const QString& first, const QString& second)
{
    testkit::control<QLineEdit>(dialog, QStringLiteral("Text1"))->setText(first);
    testkit::control<QLineEdit>(dialog, QStringLiteral("Text2"))->setText(second);
}

QList<Run> expectedRuns(const QString& dialog, const QString& first, const QString& second)
{
    const QString rest = page::newPageTemplate();
    if (dialog == QLatin1String("frmLink"))
        return {{"<A HREF=\"", cyan}, {first, black}, {"\">", cyan}, {second, black},
                {"</A>\r\n", cyan}, {rest, black}};
    if (dialog == QLatin1String("frmMail"))
        return {{"<A HREF=\"MAILTO:", purple}, {first, black}, {"\">", purple}, {second, black},
                {"</A>\r\n", purple}, {rest, black}};
    return {{"<FORM METHOD=\"LINK\" ACTION=\"", violet}, {first, black},
            {"\"><INPUT TYPE=\"SUBMIT\" VALUE=\"", violet}, {second, black},
            {"\"></FORM>\r\n", violet}, {rest, black}};
}

int changesPerInsert(const QString& dialog)
{
    // One change per piece and one for the Enter; the e-mail link has "MAILTO:" apart.
    return dialog == QLatin1String("frmMail") ? 7 : 6;
}

} // namespace

class LinkDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void opening_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Insert > Hyperlink") << "mnuInsHyper" << "frmLink" << "Hyperlink";
        QTest::newRow("palette Hyperlinks") << "frmLnkImg.FB1" << "frmLink" << "Hyperlink";
        QTest::newRow("Insert > E-Mail Link") << "mnuInsMail" << "frmMail" << "E-Mail Link";
        QTest::newRow("palette E-Mail Link") << "frmLnkImg.FB3" << "frmMail" << "E-Mail Link";
        QTest::newRow("Insert > Command Button") << "mnuInsButton" << "frmButton" << "Command Button";
        QTest::newRow("toolbar Command Button") << "FB16" << "frmButton" << "Command Button";
    }
    // Each way in opens the dialog; its button writes the pieces at the caret in the
    // dialog's colours and closes it.
    void opening()
    {
        QFETCH(QString, how);
        QFETCH(QString, dialog);
        QFETCH(QString, caption);
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        const int undoBefore = app.doc()->history().undoCount();
        open(app, how, dialog);
        QCOMPARE(testkit::form(dialog)->windowTitle(), caption);
        const QString first = QStringLiteral("http://example.test/a b");
        const QString second = QStringLiteral("Click \"here\" <now>");
        fill(dialog, first, second);
        testkit::press(dialog, QLatin1String(info(dialog).apply));

        const QList<Run> runs = testkit::colourRuns(app.edit());
        QVERIFY2(runs == expectedRuns(dialog, first, second), qPrintable(testkit::describe(runs)));
        const int lineEnd = app.edit()->text().indexOf(QLatin1String("\r\n")) + 2;
        QCOMPARE(app.edit()->selStart(), lineEnd);
        QCOMPARE(app.doc()->savedCaret(), lineEnd);
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + changesPerInsert(dialog));
        QVERIFY(!testkit::form(dialog));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
        app.type(QStringLiteral("z"));
        QCOMPARE(testkit::colourAt(app.edit(), lineEnd), black);
    }

    void labelsAndControls()
    {
        App app;
        app.trigger(QStringLiteral("mnuInsButton"));
        auto* label1 = testkit::control<QLabel>(QStringLiteral("frmButton"), QStringLiteral("Label1"));
        QVERIFY(label1->text().startsWith(QString(22, ' ') + QStringLiteral("URL to link button to  eg. ")));
        QCOMPARE(label1->parentWidget()->objectName(), QStringLiteral("Frame1"));
        QCOMPARE(testkit::control<QLabel>(QStringLiteral("frmButton"), QStringLiteral("Label2"))->text(),
                 QString(43, ' ') + QStringLiteral("Button Caption  eg. Click me"));
        QCOMPARE(testkit::control(QStringLiteral("frmButton"), QStringLiteral("Text1"))->accessibleName(),
                 label1->text().trimmed());
        app.trigger(QStringLiteral("mnuInsHyper"));
        QCOMPARE(testkit::control<QLabel>(QStringLiteral("frmLink"), QStringLiteral("Label2"))->text(),
                 QStringLiteral("Type Text To Highlight As Link Below...i.e   Microsoft"));
        QVERIFY(testkit::control<QLabel>(QStringLiteral("frmLink"), QStringLiteral("Label1"))
                    ->text().startsWith(QStringLiteral("Type URL Below...i.e.  ")));
        app.trigger(QStringLiteral("mnuInsMail"));
        const QString mailLabel =
            testkit::control<QLabel>(QStringLiteral("frmMail"), QStringLiteral("Label1"))->text();
        QVERIFY(mailLabel.startsWith(QStringLiteral("Type the E-Mail address to link to below  (eg. ... ")));
        QVERIFY(mailLabel.endsWith(QLatin1Char(')')));
        QCOMPARE(testkit::control<QPushButton>(QStringLiteral("frmLink"), QStringLiteral("Command1"))->text(),
                 QStringLiteral("Continue"));
    }

    void cancel_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("button");
        QTest::newRow("frmLink") << "frmLink" << "Command2";
        QTest::newRow("frmMail") << "frmMail" << "Command2";
        QTest::newRow("frmButton") << "frmButton" << "Cancel";
        QTest::newRow("frmLnkImg") << "frmLnkImg" << "FB4";
    }
    // The common cancel: nothing inserted, closed, focus back, caret recorded.
    void cancel()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, button);
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        Forms::show(dialog);
        if (dialog != QLatin1String("frmLnkImg"))
            fill(dialog, QStringLiteral("a"), QStringLiteral("b"));
        app.edit()->setSelStart(33);
        testkit::press(dialog, button);
        QVERIFY(!testkit::form(dialog));
        QCOMPARE(app.edit()->text(), before);
        QCOMPARE(app.doc()->savedCaret(), 33);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    // Images and Video close the palette before their dialogs would come up.
    void paletteClosesFirst()
    {
        for (const char* button : {"FB2", "FB5"}) {
            App app;
            app.newDocument();
            Forms::show(QStringLiteral("frmLnkImg"));
            QCOMPARE(testkit::form(QStringLiteral("frmLnkImg"))->windowTitle(), QStringLiteral("Links and Images"));
            testkit::press(QStringLiteral("frmLnkImg"), QLatin1String(button));
            QVERIFY(!testkit::form(QStringLiteral("frmLnkImg")));
        }
    }

    // Showing a loaded dialog again brings it up with what was typed.
    void menuKeepsTypedValues()
    {
        App app;
        app.trigger(QStringLiteral("mnuInsMail"));
        fill(QStringLiteral("frmMail"), QStringLiteral("me@example.test"), QString());
        QWidget* first = testkit::form(QStringLiteral("frmMail"));
        app.trigger(QStringLiteral("mnuInsMail"));
        QCOMPARE(testkit::form(QStringLiteral("frmMail")), first);
        QCOMPARE(testkit::control<QLineEdit>(QStringLiteral("frmMail"), QStringLiteral("Text1"))->text(),
                 QStringLiteral("me@example.test"));
    }

    void bigValuesAndDoublePress()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuInsHyper"));
        const QString big(100 * 1024, QLatin1Char('u'));
        fill(QStringLiteral("frmLink"), big, QStringLiteral("t"));
        auto* apply = testkit::control<QPushButton>(QStringLiteral("frmLink"), QStringLiteral("Command1"));
        QTest::mouseClick(apply, Qt::LeftButton);
        QTest::mouseClick(apply, Qt::LeftButton); // second press while it is being unloaded
        QCOMPARE(app.edit()->text(),
                 QStringLiteral("<A HREF=\"") + big + QStringLiteral("\">t</A>\r\n") + page::newPageTemplate());
    }

    void keyboardOnly()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuInsButton"));
        QWidget* dlg = testkit::form(QStringLiteral("frmButton"));
        QTRY_COMPARE(QApplication::activeWindow(), dlg);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Text1"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("go.htm"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Text2"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Go"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // Apply is the default
        QVERIFY(app.edit()->text().startsWith(
            QStringLiteral("<FORM METHOD=\"LINK\" ACTION=\"go.htm\"><INPUT TYPE=\"SUBMIT\" VALUE=\"Go\"></FORM>\r\n<HTML>")));
    }

    // With no document open every button closes its dialog and nothing breaks.
    void noDocumentOpen()
    {
        App app;
        const char* const presses[][2] = {{"frmLink", "Command1"}, {"frmLink", "Command2"},
                                          {"frmMail", "Command1"}, {"frmMail", "Command2"},
                                          {"frmButton", "Apply"},  {"frmButton", "Cancel"},
                                          {"frmLnkImg", "FB4"},    {"frmLnkImg", "FB1"}};
        for (const auto& p : presses) {
            Forms::show(QLatin1String(p[0]));
            testkit::press(QLatin1String(p[0]), QLatin1String(p[1]));
            QVERIFY(!testkit::form(QLatin1String(p[0])));
        }
        QVERIFY(!app.doc());
    }
};

QTEST_MAIN(LinkDialogsTest)
#include "tst_linkdialogs.moc"
