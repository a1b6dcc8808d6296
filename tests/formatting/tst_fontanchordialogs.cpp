// The font-size and font-colour dialogs, the jumps-and-targets chooser and the target and
// jump dialogs, driven as the user drives them: menu items, toolbar, palette, options,
// typed names, Apply and Cancel.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/UndoHistory.h"
#include "document/frmDocument.h"
#include "platform/Clipboard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using testkit::App;
using testkit::Run;

namespace {

const QColor red(255, 0, 0);
const QColor black(0, 0, 0);
const QColor brown(165, 115, 30);
const QColor green(0, 150, 0);
const QString crlf = QStringLiteral("\r\n");

QRadioButton* option(const QString& form, int n)
{
    return testkit::control<QRadioButton>(form, QStringLiteral("Option%1").arg(n));
}
QLineEdit* box(const QString& form, const char* name)
{
    return testkit::control<QLineEdit>(form, QLatin1String(name));
}
QString applyOf(const QString& form) { return form == QLatin1String("frmJump") ? "Apply" : "FB1"; }
QString cancelOf(const QString& form) { return form == QLatin1String("frmJump") ? "Cancel" : "FB2"; }

// A new page whose first line is the text, with the caret at its end.
void pageStartingWith(App& app, const QString& text)
{
    app.newDocument();
    app.edit()->setSelStart(0);
    app.type(text);
}

void compareRuns(const RichEdit* edit, const QList<Run>& expected)
{
    const QList<Run> runs = testkit::colourRuns(edit);
    QVERIFY2(runs == expected, qPrintable(testkit::describe(runs)));
}

// Every way into a dialog: a menu item, the Format palette, or the toolbar's chooser.
void open(App& app, const QString& way)
{
    const QStringList parts = way.split(QLatin1Char(' '));
    if (parts[0].startsWith(QLatin1String("mnu"))) {
        app.trigger(parts[0]);
        return;
    }
    app.main().enableToolbar();
    if (parts[0] == QLatin1String("FB7")) {
        app.click(QStringLiteral("FB7"));
        testkit::press(QStringLiteral("frmFormat"), parts[1]);
        QVERIFY(!testkit::form(QStringLiteral("frmFormat")));
    } else {
        app.click(QStringLiteral("FB17"));
        QWidget* chooser = testkit::form(QStringLiteral("frmTrgLnk"));
        QVERIFY(chooser && chooser->isVisible());
        QCOMPARE(chooser->windowTitle(), QStringLiteral("Jumps & Targets"));
        testkit::press(QStringLiteral("frmTrgLnk"), parts[1]);
        QVERIFY(!testkit::form(QStringLiteral("frmTrgLnk")));
    }
}

const struct {
    const char* form;
    const char* caption;
    const char* ways[2];
} dialogs[] = {
    {"frmFontSize", "FontSize", {"mnuFormatFontSize", "FB7 FB5"}},
    {"frmFColor", "Font Color", {"mnuFormatFontColor", "FB7 FB6"}},
    {"frmTarget", "Target", {"mnuFormatTarget", "FB17 FB1"}},
    {"frmJump", "Insert Jump", {"mnuFormatJump", "FB17 FB2"}},
};

QString menuOf(const QString& form)
{
    for (const auto& d : dialogs)
        if (form == QLatin1String(d.form))
            return QLatin1String(d.ways[0]);
    return {};
}

// Makes the dialog's Apply insert something: a colour for Font Color, names for the others.
void fillIn(const QString& form)
{
    if (form == QLatin1String("frmFColor"))
        option(form, 2)->click();
    if (QLineEdit* t = box(form, "Text1"))
        t->setText(QStringLiteral("top"));
    if (QLineEdit* t = box(form, "Text2"))
        t->setText(QStringLiteral("Back"));
}

} // namespace

class FontAnchorDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void waysIn_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("way");
        for (const auto& d : dialogs)
            for (const char* way : d.ways)
                QTest::newRow(qPrintable(QStringLiteral("%1 via %2").arg(d.form, way)))
                    << d.form << d.caption << way;
    }
    void waysIn()
    {
        QFETCH(QString, form);
        QFETCH(QString, caption);
        QFETCH(QString, way);
        App app;
        app.newDocument();
        open(app, way);
        QWidget* dlg = testkit::form(form);
        QVERIFY(dlg && dlg->isVisible());
        QVERIFY(!dlg->isModal());
        QCOMPARE(dlg->windowTitle(), caption);
        // Showing it again brings the same instance forward.
        app.trigger(menuOf(form));
        QCOMPARE(testkit::form(form), dlg);
    }

    void fontSizeDefaultsWrapSelection()
    {
        App app;
        pageStartingWith(app, QStringLiteral("Hi"));
        app.select(0, 2);
        platform::clipboard::setText(QStringLiteral("clip"));
        const int undoBefore = app.doc()->history().undoCount();
        app.trigger(QStringLiteral("mnuFormatFontSize"));
        const QString form = QStringLiteral("frmFontSize");
        QVERIFY(option(form, 1)->isChecked());
        QVERIFY(option(form, 7)->isChecked());
        testkit::press(form, QStringLiteral("FB1"));

        compareRuns(app.edit(), {{QStringLiteral("<FONT SIZE=+1 COLOR=BLACK>"), brown},
                                 {QStringLiteral("Hi"), black},
                                 {QStringLiteral("</FONT>") + crlf, brown},
                                 {page::newPageTemplate(), black}});
        QCOMPARE(platform::clipboard::text(), QStringLiteral("clip"));
        QCOMPARE(app.doc()->savedCaret(), 37);
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 4);
        QVERIFY(!testkit::form(form));
        app.type(QStringLiteral("z"));
        QCOMPARE(testkit::colourAt(app.edit(), 37), black);
    }

    // Apply wraps the selection of its own moment, line breaks kept, not the one at load.
    void selectionTakenAtApply_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("opening");
        QTest::newRow("font size +6 White") << "frmFontSize" << 6 << "<FONT SIZE=+6 COLOR=WHITE>";
        QTest::newRow("font colour Red") << "frmFColor" << 4 << "<FONT COLOR=RED>";
    }
    void selectionTakenAtApply()
    {
        QFETCH(QString, form);
        QFETCH(int, choice);
        QFETCH(QString, opening);
        App app;
        pageStartingWith(app, QStringLiteral("one"));
        app.key(Qt::Key_Return);
        app.type(QStringLiteral("two"));
        app.select(0, 3);
        app.trigger(menuOf(form));
        option(form, choice)->click();
        if (form == QLatin1String("frmFontSize"))
            option(form, 12)->click();
        app.select(1, 7); // "ne\r\ntwo"
        testkit::press(form, QStringLiteral("FB1"));
        QVERIFY2(app.edit()->text().startsWith(QStringLiteral("o") + opening + QStringLiteral("ne\r\ntwo</FONT>\r\n")),
                 qPrintable(app.edit()->text().left(80)));
        QVERIFY(!testkit::form(form));
    }

    // With no colour chosen Apply inserts nothing and the dialog stays, however often it is
    // pressed; the document gets the focus.
    void fontColourWithoutChoiceStaysOpen()
    {
        App app;
        pageStartingWith(app, QStringLiteral("Keep"));
        app.select(0, 4);
        const QString before = app.edit()->text();
        app.trigger(QStringLiteral("mnuFormatFontColor"));
        const QString form = QStringLiteral("frmFColor");
        for (int n = 1; n <= 6; ++n)
            QVERIFY(!option(form, n)->isChecked());
        testkit::press(form, QStringLiteral("FB1"));
        testkit::press(form, QStringLiteral("FB1"));
        QVERIFY(testkit::form(form) && testkit::form(form)->isVisible());
        QCOMPARE(app.edit()->text(), before);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
        // Choosing a colour afterwards still works, on the selection of that moment.
        option(form, 3)->click();
        testkit::press(form, QStringLiteral("FB1"));
        QVERIFY(!testkit::form(form));
        QCOMPARE(app.edit()->text(), QStringLiteral("<FONT COLOR=GREEN>Keep</FONT>\r\n") + page::newPageTemplate());
    }

    // A button pressed twice in quick succession inserts once.
    void applyTwiceInsertsOnce_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("expected");
        QTest::newRow("frmFontSize") << "frmFontSize" << "<FONT SIZE=+1 COLOR=BLACK></FONT>\r\n";
        QTest::newRow("frmFColor") << "frmFColor" << "<FONT COLOR=BLUE></FONT>\r\n";
        QTest::newRow("frmTarget") << "frmTarget" << "<A NAME=\"top\"></A>\r\n";
        QTest::newRow("frmJump") << "frmJump" << "<A Href=\"#top\">Back</A>\r\n";
    }
    void applyTwiceInsertsOnce()
    {
        QFETCH(QString, form);
        QFETCH(QString, expected);
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(menuOf(form));
        fillIn(form);
        auto* apply = testkit::control<QAbstractButton>(form, applyOf(form));
        QTest::mouseClick(apply, Qt::LeftButton);
        QTest::mouseClick(apply, Qt::LeftButton); // still there until deleted
        QCOMPARE(app.edit()->text(), expected + page::newPageTemplate());
        QVERIFY(!testkit::form(form));
    }

    // Cancel and Escape insert nothing and record the caret; the target and jump dialogs
    // also give the editor the focus back.
    void cancelLeavesDocument_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<bool>("escape");
        for (const auto& d : dialogs)
            QTest::newRow(d.form) << d.form << false;
        QTest::newRow("frmFColor Escape") << "frmFColor" << true;
        QTest::newRow("frmJump Escape") << "frmJump" << true;
    }
    void cancelLeavesDocument()
    {
        QFETCH(QString, form);
        QFETCH(bool, escape);
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        app.trigger(menuOf(form));
        fillIn(form);
        app.edit()->setSelStart(20);
        if (escape)
            QTest::keyClick(testkit::form(form), Qt::Key_Escape);
        else
            testkit::press(form, cancelOf(form));
        QVERIFY(!testkit::form(form));
        QCOMPARE(app.edit()->text(), before);
        QCOMPARE(app.doc()->savedCaret(), 20);
        if (form == QLatin1String("frmTarget") || form == QLatin1String("frmJump"))
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    void targetReplacesSelectedWord()
    {
        App app;
        pageStartingWith(app, QStringLiteral("word"));
        app.select(0, 4);
        platform::clipboard::setText(QStringLiteral("clip"));
        app.trigger(QStringLiteral("mnuFormatTarget"));
        QTest::keyClicks(box(QStringLiteral("frmTarget"), "Text1"), QStringLiteral("top"));
        testkit::press(QStringLiteral("frmTarget"), QStringLiteral("FB1"));
        compareRuns(app.edit(), {{QStringLiteral("<A NAME=\""), green},
                                 {QStringLiteral("top"), black},
                                 {QStringLiteral("\"></A>") + crlf, green},
                                 {page::newPageTemplate(), black}});
        QCOMPARE(app.doc()->savedCaret(), 20);
        QCOMPARE(platform::clipboard::text(), QStringLiteral("clip"));
        app.type(QStringLiteral("z"));
        QCOMPARE(testkit::colourAt(app.edit(), 20), black);
    }

    // The jump sets no colour: right after Center the insertion colour is red, and so is the
    // whole link. Its Enter comes before the dialog closes; the editor has the focus after.
    void jumpTakesColourInForce()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.main().enableToolbar();
        app.click(QStringLiteral("FB10"));
        app.trigger(QStringLiteral("mnuFormatJump"));
        box(QStringLiteral("frmJump"), "Text1")->setText(QStringLiteral("top"));
        box(QStringLiteral("frmJump"), "Text2")->setText(QStringLiteral("Back to top"));
        testkit::press(QStringLiteral("frmJump"), QStringLiteral("Apply"));
        const QString link = QStringLiteral("<A Href=\"#top\">Back to top</A>\r\n");
        compareRuns(app.edit(), {{QStringLiteral("<CENTER></CENTER>\r\n") + link, red},
                                 {page::newPageTemplate(), black}});
        QCOMPARE(app.doc()->savedCaret(), 19 + link.size());
        QVERIFY(!testkit::form(QStringLiteral("frmJump")));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    // Names and link texts go in exactly as typed: quotes, brackets, non-ASCII, and more
    // than a one-line box holds by default.
    void valuesInsertedAsTyped()
    {
        const QString odd = QStringLiteral("a \"b\" <c>&amp; \u00E9\u00A0\u4E2D ") + QString(40000, QLatin1Char('x'));
        for (const char* form : {"frmTarget", "frmJump"}) {
            App app;
            app.newDocument();
            app.edit()->setSelStart(0);
            app.trigger(menuOf(QLatin1String(form)));
            box(QLatin1String(form), "Text1")->setText(odd);
            if (QLineEdit* text = box(QLatin1String(form), "Text2"))
                text->setText(odd);
            testkit::press(QLatin1String(form), applyOf(QLatin1String(form)));
            const QString expected = form == QLatin1String("frmTarget")
                                         ? QStringLiteral("<A NAME=\"") + odd + QStringLiteral("\"></A>\r\n")
                                         : QStringLiteral("<A Href=\"#") + odd + QStringLiteral("\">") + odd
                                               + QStringLiteral("</A>\r\n");
            QCOMPARE(app.edit()->text(), expected + page::newPageTemplate());
        }
    }

    // With no document open every button works as usual on the dialogs and nothing fails.
    void noDocumentOpen()
    {
        App app;
        for (const auto& d : dialogs) {
            const QString form = QLatin1String(d.form);
            for (const QString& button : {applyOf(form), cancelOf(form)}) {
                app.trigger(menuOf(form));
                QVERIFY(testkit::form(form));
                fillIn(form);
                testkit::press(form, button);
                QVERIFY2(!testkit::form(form), qPrintable(form + QLatin1Char(' ') + button));
            }
        }
        // Font Color with nothing chosen stays open.
        app.trigger(QStringLiteral("mnuFormatFontColor"));
        testkit::press(QStringLiteral("frmFColor"), QStringLiteral("FB1"));
        QVERIFY(testkit::form(QStringLiteral("frmFColor")));
        testkit::press(QStringLiteral("frmFColor"), QStringLiteral("FB2"));
        // The chooser's buttons and its close box.
        app.main().enableToolbar();
        for (const QString& form : {QStringLiteral("frmTarget"), QStringLiteral("frmJump")}) {
            app.click(QStringLiteral("FB17"));
            testkit::press(QStringLiteral("frmTrgLnk"), form == QLatin1String("frmTarget") ? "FB1" : "FB2");
            QVERIFY(!testkit::form(QStringLiteral("frmTrgLnk")));
            QVERIFY(Forms::isVisible(form));
            testkit::press(form, cancelOf(form));
        }
        // Escape only unloads the chooser: it has no Cancel of its own.
        app.click(QStringLiteral("FB17"));
        QTest::keyClick(testkit::form(QStringLiteral("frmTrgLnk")), Qt::Key_Escape);
        QVERIFY(!testkit::form(QStringLiteral("frmTrgLnk")));
        QVERIFY(!testkit::form(QStringLiteral("frmTarget")) && !testkit::form(QStringLiteral("frmJump")));
        QVERIFY(!app.doc());
    }

    // The two groups of the font-size dialog choose independently; the tab order follows
    // the controls, and arrows move within a group.
    void fontSizeKeyboard()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuFormatFontSize"));
        const QString form = QStringLiteral("frmFontSize");
        QWidget* dlg = testkit::form(form);
        QStringList chain;
        for (QWidget* w = dlg->nextInFocusChain(); w != dlg; w = w->nextInFocusChain())
            if (w->focusPolicy() != Qt::NoFocus)
                chain << w->objectName();
        QStringList expected;
        for (int n = 1; n <= 12; ++n)
            expected << QStringLiteral("Option%1").arg(n);
        QCOMPARE(chain, expected + QStringList({"FB1", "FB2"}));
        QCOMPARE(option(form, 10)->accessibleName(), QStringLiteral("Red"));

        QTRY_COMPARE(QApplication::activeWindow(), dlg);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(option(form, 1)));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QVERIFY(option(form, 2)->isChecked());
        option(form, 9)->setFocus();
        option(form, 9)->click();
        QVERIFY(option(form, 2)->isChecked()); // the size stays
        QVERIFY(!option(form, 7)->isChecked());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // Apply is the default button
        QVERIFY2(app.edit()->text().startsWith(QStringLiteral("<FONT SIZE=+2 COLOR=GREEN></FONT>\r\n<HTML>")),
                 qPrintable(app.edit()->text().left(60)));
    }

};

QTEST_MAIN(FontAnchorDialogsTest)
#include "tst_fontanchordialogs.moc"
