// The effect palettes, their dialogs and the Effects menu commands, reached every way the
// user can reach them, with and without a document open.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/UndoHistory.h"
#include "document/frmDocument.h"
#include "effects/DhtmlEffects.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using testkit::App;
using testkit::Run;

namespace {

const QColor black(0, 0, 0);
const QColor blue(0, 0, 255);
const QColor vbs(185, 80, 85);
const QColor violet(100, 20, 150);

// Inside "<HTML>" on the template's first line.
constexpr int midLine = 3;

// Opens a palette from its toolbar button and presses one of its buttons; a name without a
// dot is a menu item.
void produce(App& app, const QString& how)
{
    app.main().enableToolbar();
    const int dot = how.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        app.trigger(how);
        return;
    }
    const QString palette = how.left(dot);
    const char* toolbar = palette == QLatin1String("frmVBS")    ? "FB19"
                          : palette == QLatin1String("frmJava") ? "FB8"
                                                                 : "FB20";
    app.click(QLatin1String(toolbar));
    QVERIFY2(Forms::isVisible(palette), qPrintable(palette));
    testkit::press(palette, how.mid(dot + 1));
}

struct Outcome {
    QString text;
    QList<Run> runs;
    int savedCaret = -1;
    int caret = -1;
    int changes = 0;
    QColor typed; // what the user types next
};

void writeVia(const QString& how, Outcome& o)
{
    App app;
    app.newDocument();
    app.edit()->setSelStart(midLine);
    const int before = app.doc()->history().undoCount();
    produce(app, how);
    o = {app.edit()->text(), testkit::colourRuns(app.edit()), app.doc()->savedCaret(),
         app.edit()->selStart(), app.doc()->history().undoCount() - before, QColor()};
    if (how.contains(QLatin1Char('.'))) {
        QVERIFY(!testkit::form(how.left(how.indexOf(QLatin1Char('.')))));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }
    app.type(QStringLiteral("z"));
    o.typed = testkit::colourAt(app.edit(), o.caret);
}

QString backTrackScript(const QString& word)
{
    return QStringLiteral("\r\n<center><script language=\"javascript\">\r\n"
                          "var where = document.referrer\r\n"
                          "var name = navigator.appName\r\n"
                          "var vers = navigator.appVersion\r\n"
                          "document.write(\"<FONT COLOR=")
           + word
           + QStringLiteral("><FONT SIZE=4>you came here via <BR>\"+where+\" <BR> \"+name+\"\"+vers+"
                            "\"<BR></FONT></FONT>\")\r\n</script></center>");
}

} // namespace

class EffectDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void waysIn_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("caption");
        QTest::newRow("toolbar VB Script") << "FB19" << "frmVBS" << "VB Scripts";
        QTest::newRow("toolbar Java") << "FB8" << "frmJava" << "Java";
        QTest::newRow("toolbar Dynamic HTML") << "FB20" << "frmDyn" << "Dynamic HTML";
        QTest::newRow("Effects > Shadow") << "mnuEffShad" << "frmShadow" << "Shadowed Heading";
        QTest::newRow("Effects > BackTrack View") << "mnuEffBTV" << "frmBTV" << "BackTrack View";
        QTest::newRow("Java palette BackTrack View") << "frmJava.FB1" << "frmBTV" << "BackTrack View";
        QTest::newRow("Dynamic HTML palette Shadowed Heading") << "frmDyn.FB1" << "frmShadow"
                                                               << "Shadowed Heading";
    }
    void waysIn()
    {
        QFETCH(QString, how);
        QFETCH(QString, form);
        QFETCH(QString, caption);
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        if (how.startsWith(QLatin1String("FB"))) {
            app.main().enableToolbar();
            app.click(how);
        } else {
            produce(app, how);
        }
        QVERIFY(Forms::isVisible(form));
        QCOMPARE(testkit::form(form)->windowTitle(), caption);
        QCOMPARE(app.edit()->text(), before);
        if (how.contains(QLatin1Char('.')))
            QVERIFY(!testkit::form(how.left(how.indexOf(QLatin1Char('.')))));
    }

    void paletteButtons()
    {
        App app;
        struct Expect {
            const char* palette;
            QStringList captions;
        };
        const Expect palettes[] = {
            {"frmVBS", {"FB1:Date & Time", "FB2:Last Modified", "FB3:Random BG Color", "FB4:Cancel"}},
            {"frmJava", {"FB1:BackTrack View", "ARFlatBttn1:StatusBar Scrolly", "FB3:Layer Images", "FB2:Cancel"}},
            {"frmDyn", {"FB1:Shadowed Heading", "FB2:Gradient HR", "FB4:Dynamic Animation", "FB5:Page Load",
                        "FB3:Cancel"}},
        };
        for (const Expect& p : palettes) {
            QWidget* w = Forms::show(QLatin1String(p.palette));
            QStringList seen;
            // In tab order, from the focused first button.
            QWidget* b = w->findChild<QPushButton*>(p.captions.first().section(':', 0, 0));
            for (int i = 0; i < p.captions.size(); ++i, b = b->nextInFocusChain())
                seen << b->objectName() + ':' + static_cast<QPushButton*>(b)->text().replace("&&", "&");
            QCOMPARE(seen, p.captions);
        }
        QCOMPARE(testkit::control(QStringLiteral("frmVBS"), QStringLiteral("FB1"))->toolTip(),
                 QStringLiteral("Place a welcome based on date and time"));
        QCOMPARE(testkit::control(QStringLiteral("frmVBS"), QStringLiteral("FB2"))->toolTip(),
                 QStringLiteral("Show document last modified info."));
        QCOMPARE(testkit::control(QStringLiteral("frmVBS"), QStringLiteral("FB3"))->toolTip(),
                 QStringLiteral("Generate random background colors with each load of the page"));
    }

    void menuAndPaletteAgree_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("palette");
        QTest::newRow("Date Time") << "mnuEffDate" << "frmVBS.FB1";
        QTest::newRow("Last Modified") << "mnuEffMod" << "frmVBS.FB2";
        QTest::newRow("Random BG Color") << "mnuEffBGColor" << "frmVBS.FB3";
        QTest::newRow("Gradient HR") << "mnuEffGradHR" << "frmDyn.FB2";
    }
    // Same text, colours, undo steps and saved caret; only the palette closes itself.
    void menuAndPaletteAgree()
    {
        QFETCH(QString, menu);
        QFETCH(QString, palette);
        Outcome m, p;
        writeVia(menu, m);
        writeVia(palette, p);
        QVERIFY(m.text != page::newPageTemplate());
        QCOMPARE(p.text, m.text);
        QVERIFY2(p.runs == m.runs, qPrintable(testkit::describe(p.runs)));
        QCOMPARE(p.changes, m.changes);
        QCOMPARE(p.savedCaret, m.savedCaret);
        QCOMPARE(m.savedCaret, m.caret);
        QCOMPARE(m.typed, black);
        QCOMPARE(p.typed, black);
    }

    // The welcome continues the line the caret is on; every later piece starts a line of its
    // own, with one empty line after the call; two empty black lines end it.
    void welcomeMidLine()
    {
        Outcome o;
        writeVia(QStringLiteral("frmVBS.FB1"), o);
        const QString t = page::newPageTemplate();
        QVERIFY(o.text.startsWith(t.left(midLine) + "<H2>\r\n<SCRIPT LANGUAGE=\"VBSCRIPT\">\r\n"
                                  "Call PrintWelcome\r\n\r\nSub PrintWelcome\r\n"));
        const QString end = QStringLiteral("End Sub\r\n</SCRIPT></H2>\r\n\r\n");
        QVERIFY(o.text.endsWith(end + t.mid(midLine)));
        const QString inserted = o.text.mid(midLine, o.text.size() - t.size());
        QCOMPARE(inserted.count(QLatin1String("\r\n")), 17 + 1 + 2);
        QCOMPARE(o.savedCaret, midLine + inserted.size());
        QCOMPARE(o.runs.size(), 3);
        QCOMPARE(o.runs.at(1).colour, vbs);
        QVERIFY(o.runs.at(1).text.endsWith(QLatin1String("</SCRIPT></H2>\r\n\r\n")));
        QCOMPARE(o.typed, black);
    }

    void paletteLeadsOn_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("Java: StatusBar Scrolly") << "frmJava.ARFlatBttn1" << "frmScrolly";
        QTest::newRow("Java: Layer Images") << "frmJava.FB3" << "frmLayer";
        QTest::newRow("Dynamic HTML: Dynamic Animation") << "frmDyn.FB4" << "frmDynAnim";
        QTest::newRow("Dynamic HTML: Page Load") << "frmDyn.FB5" << "frmLoader";
    }
    // The palette closes and its dialog comes up.
    void paletteLeadsOn()
    {
        QFETCH(QString, how);
        QFETCH(QString, dialog);
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        produce(app, how);
        QVERIFY(!testkit::form(how.left(how.indexOf(QLatin1Char('.')))));
        QVERIFY2(Forms::isVisible(dialog), qPrintable(dialog + QStringLiteral(" did not come up")));
        QCOMPARE(app.edit()->text(), before);
        Forms::unloadAll();
    }

    void backTrackView_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("word");
        QTest::newRow("Black Font") << 1 << "Black";
        QTest::newRow("White Font") << 2 << "White";
        QTest::newRow("Red Font") << 3 << "Red";
        QTest::newRow("Blue Font") << 4 << "Blue";
        QTest::newRow("none chosen") << 0 << "";
    }
    // A leading Enter puts the script on lines of its own even mid-line; the chosen word goes
    // into the font tag.
    void backTrackView()
    {
        QFETCH(int, option);
        QFETCH(QString, word);
        App app;
        app.newDocument();
        app.edit()->setSelStart(midLine);
        app.trigger(QStringLiteral("mnuEffBTV"));
        const QString f = QStringLiteral("frmBTV");
        for (int n = 1; n <= 4; ++n) {
            auto* o = testkit::control<QRadioButton>(f, QStringLiteral("Option%1").arg(n));
            QVERIFY(!o->isChecked());
            QCOMPARE(o->text(), QStringList({"Black Font", "White Font", "Red Font", "Blue Font"})[n - 1]);
        }
        if (option)
            testkit::press(f, QStringLiteral("Option%1").arg(option));
        testkit::press(f, QStringLiteral("FB1"));

        const QString t = page::newPageTemplate();
        const QString script = backTrackScript(word);
        QCOMPARE(app.edit()->text(), t.left(midLine) + script + "\r\n" + t.mid(midLine));
        // Line breaks join the run they end.
        const QList<Run> expected{
            {t.left(midLine) + "\r\n", black}, {script.mid(2) + "\r\n", violet}, {t.mid(midLine), black}};
        const QList<Run> runs = testkit::colourRuns(app.edit());
        QVERIFY2(runs == expected, qPrintable(testkit::describe(runs)));
        QCOMPARE(app.doc()->savedCaret(), midLine + script.size() + 2);
        QVERIFY(!testkit::form(f));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
        app.type(QStringLiteral("z"));
        QCOMPARE(testkit::colourAt(app.edit(), app.doc()->savedCaret()), black);
    }

    void shadowedHeading_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<bool>("centred");
        QTest::newRow("centred") << "Welcome \"home\"" << true;
        QTest::newRow("not centred") << "Welcome" << false;
        QTest::newRow("empty") << "" << false;
    }
    void shadowedHeading()
    {
        QFETCH(QString, heading);
        QFETCH(bool, centred);
        App app;
        app.newDocument();
        app.edit()->setSelStart(page::bodyTagOffset);
        app.main().enableToolbar();
        produce(app, QStringLiteral("frmDyn.FB1"));
        const QString f = QStringLiteral("frmShadow");
        QCOMPARE(testkit::control<QLabel>(f, QStringLiteral("Label1"))->text(),
                 QStringLiteral("Type Your Shadowed Heading Below"));
        QCOMPARE(testkit::control<QLabel>(f, QStringLiteral("Label2"))->text(), QStringLiteral("Center"));
        auto* check = testkit::control<QCheckBox>(f, QStringLiteral("Check1"));
        QVERIFY(!check->isChecked());
        testkit::control<QLineEdit>(f, QStringLiteral("Text1"))->setText(heading);
        if (centred)
            QTest::mouseClick(testkit::control(f, QStringLiteral("Label2")), Qt::LeftButton); // ticks its box
        QCOMPARE(check->isChecked(), centred);
        testkit::press(f, QStringLiteral("Command1"));

        const QString t = page::newPageTemplate();
        const QString inserted = app.edit()->text().mid(page::bodyTagOffset,
                                                        app.edit()->textLength() - t.size());
        QCOMPARE(inserted, dhtml::shadowedHeadingPiece(heading, centred) + "\r\n");
        const QList<Run> runs = testkit::colourRuns(app.edit());
        const QList<Run> expected{
            {t.left(page::bodyTagOffset), black}, {inserted, blue}, {t.mid(page::bodyTagOffset), black}};
        QVERIFY2(runs == expected, qPrintable(testkit::describe(runs)));
        QCOMPARE(app.doc()->savedCaret(), page::bodyTagOffset + inserted.size());
        QVERIFY(!testkit::form(f));
    }

    // Cancel closes the dialog and leaves the page alone. The palettes record the caret as
    // they close; BackTrack View keeps the one recorded before it opened.
    void cancelLeavesThePage_data()
    {
        QTest::addColumn<QString>("open"); // a menu item, a toolbar button, or "=form" shown
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("first"); // buttons pressed or "box=text" typed before the caret moves
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<int>("savedCaret"); // afterwards; 5 before the dialog opened
        QTest::newRow("VB Script") << "FB19" << "frmVBS" << QStringList{} << 21 << "FB4" << 21;
        QTest::newRow("Java") << "=frmJava" << "frmJava" << QStringList{} << 17 << "FB2" << 17;
        QTest::newRow("Dynamic HTML") << "=frmDyn" << "frmDyn" << QStringList{} << 17 << "FB3" << 17;
        QTest::newRow("BackTrack View") << "mnuEffBTV" << "frmBTV" << QStringList{"Option2"} << 30 << "FB2" << 5;
        QTest::newRow("Shadow") << "mnuEffShad" << "frmShadow" << QStringList{"Text1=x"} << 12 << "Command2" << 12;
    }
    void cancelLeavesThePage()
    {
        QFETCH(QString, open);
        QFETCH(QString, form);
        QFETCH(QStringList, first);
        QFETCH(int, caret);
        QFETCH(QString, cancel);
        QFETCH(int, savedCaret);
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        app.doc()->setSavedCaret(5);
        app.main().enableToolbar();
        if (open.startsWith(QLatin1Char('=')))
            Forms::show(open.mid(1));
        else if (open.startsWith(QLatin1String("FB")))
            app.click(open);
        else
            app.trigger(open);
        for (const QString& step : first) {
            const qsizetype typed = step.indexOf(QLatin1Char('='));
            if (typed < 0)
                testkit::press(form, step);
            else
                testkit::control<QLineEdit>(form, step.left(typed))->setText(step.mid(typed + 1));
        }
        app.edit()->setSelStart(caret);
        testkit::press(form, cancel);
        QVERIFY(!testkit::form(form));
        QCOMPARE(app.edit()->text(), before);
        QCOMPARE(app.doc()->savedCaret(), savedCaret);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    void noDocument_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("presses");
        for (const char* b : {"FB1", "FB2", "FB3", "FB4"})
            QTest::addRow("frmVBS %s", b) << "frmVBS" << QStringList{b};
        for (const char* b : {"FB1", "ARFlatBttn1", "FB3", "FB2"})
            QTest::addRow("frmJava %s", b) << "frmJava" << QStringList{b};
        for (const char* b : {"FB1", "FB2", "FB4", "FB5", "FB3"})
            QTest::addRow("frmDyn %s", b) << "frmDyn" << QStringList{b};
        QTest::newRow("frmBTV Apply") << "frmBTV" << QStringList{"Option4", "FB1"};
        QTest::newRow("frmBTV Apply, none") << "frmBTV" << QStringList{"FB1"};
        QTest::newRow("frmBTV Cancel") << "frmBTV" << QStringList{"FB2"};
        QTest::newRow("frmShadow Continue") << "frmShadow" << QStringList{"Check1", "Command1"};
        QTest::newRow("frmShadow Cancel") << "frmShadow" << QStringList{"Command2"};
    }
    // Every button does what it would do to a dialog, and nothing to any document.
    void noDocument()
    {
        QFETCH(QString, form);
        QFETCH(QStringList, presses);
        App app;
        Forms::show(form);
        for (const QString& p : presses)
            testkit::press(form, p);
        QVERIFY(!testkit::form(form));
        QVERIFY(app.main().documents().isEmpty());
        Forms::unloadAll();
    }

    void menuCommandsWithNoDocument()
    {
        App app;
        for (const char* m : {"mnuEffDate", "mnuEffMod", "mnuEffBGColor", "mnuEffGradHR"})
            app.trigger(QLatin1String(m));
        QVERIFY(app.main().documents().isEmpty());
    }
};

QTEST_MAIN(EffectDialogsTest)
#include "tst_effectdialogs.moc"
