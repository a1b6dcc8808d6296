// The Format palette and the heading and font-style dialogs, driven as the user drives them:
// toolbar button, palette buttons, options, typed text, Apply and Cancel.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/Clipboard.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

using testkit::App;
using testkit::Run;

namespace {

const QColor red(255, 0, 0);
const QColor black(0, 0, 0);
const QColor olive(155, 150, 50);

// A new page whose first line starts with the word, the word selected.
void pageWithSelectedWord(App& app, const QString& word)
{
    app.newDocument();
    app.edit()->setSelStart(0);
    app.type(word);
    app.select(0, word.size());
}

void openPalette(App& app)
{
    app.main().enableToolbar();
    app.click(QStringLiteral("FB7"));
    QVERIFY(Forms::isVisible(QStringLiteral("frmFormat")));
}

QRadioButton* option(const char* form, int n)
{
    return testkit::control<QRadioButton>(QLatin1String(form), QStringLiteral("Option%1").arg(n));
}
QPlainTextEdit* textBox(const char* form)
{
    return testkit::control<QPlainTextEdit>(QLatin1String(form), QStringLiteral("Text1"));
}

// Opens a dialog from the palette; the palette is gone afterwards.
void fromPalette(App& app, const char* button, const char* dialog)
{
    openPalette(app);
    testkit::press(QStringLiteral("frmFormat"), QLatin1String(button));
    QVERIFY(Forms::isVisible(QLatin1String(dialog)));
    QVERIFY(!testkit::form(QStringLiteral("frmFormat")));
}

void compareRuns(const RichEdit* edit, const QList<Run>& expected)
{
    const QList<Run> runs = testkit::colourRuns(edit);
    QVERIFY2(runs == expected, qPrintable(testkit::describe(runs)));
}

QList<Run> wrapped(const QString& opening, const QString& inner, const QString& closing, const QString& rest)
{
    if (inner.isEmpty())
        return {{opening + closing + QStringLiteral("\r\n"), red}, {rest, black}};
    QList<Run> runs{{opening, red}, {inner, black}, {closing + QStringLiteral("\r\n"), red}};
    runs.append({rest, black});
    return runs;
}

} // namespace

class FormatDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void headingWrapsSelection()
    {
        App app;
        pageWithSelectedWord(app, QStringLiteral("Title"));
        platform::clipboard::setText(QStringLiteral("old"));
        const int undoBefore = app.doc()->history().undoCount();
        fromPalette(app, "FB1", "frmHeading");
        QCOMPARE(testkit::form(QStringLiteral("frmHeading"))->windowTitle(), QStringLiteral("Headings"));
        QVERIFY(!textBox("frmHeading")->isEnabled()); // a selection: only it can be wrapped
        option("frmHeading", 2)->click();
        testkit::press(QStringLiteral("frmHeading"), QStringLiteral("FB1"));

        compareRuns(app.edit(), wrapped("<H2>", "Title", "</H2>", page::newPageTemplate()));
        QCOMPARE(platform::clipboard::text(), QStringLiteral("Title"));
        QCOMPARE(app.doc()->savedCaret(), 16); // right after the line break
        QCOMPARE(app.edit()->selStart(), 16);
        // Opening tag, joined text, closing tag and Enter: four changes.
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 4);
        QVERIFY(!testkit::form(QStringLiteral("frmHeading")));
        app.type(QStringLiteral("z"));
        QCOMPARE(testkit::colourAt(app.edit(), 16), black);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    void styleWithTypedText()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        fromPalette(app, "FB2", "frmStyle");
        QCOMPARE(testkit::form(QStringLiteral("frmStyle"))->windowTitle(), QStringLiteral("Font Style"));
        QVERIFY(textBox("frmStyle")->isEnabled());
        option("frmStyle", 2)->click();
        QTest::keyClicks(textBox("frmStyle"), QStringLiteral("abc"));
        testkit::press(QStringLiteral("frmStyle"), QStringLiteral("FB1"));
        compareRuns(app.edit(), wrapped("<I>", "abc", "</I>", page::newPageTemplate()));
        QCOMPARE(platform::clipboard::text(), QString());
    }

    void emptyHeadingGivesAdjacentTags()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        fromPalette(app, "FB1", "frmHeading");
        option("frmHeading", 1)->click();
        testkit::press(QStringLiteral("frmHeading"), QStringLiteral("FB1"));
        compareRuns(app.edit(), wrapped("<H1>", QString(), "</H1>", page::newPageTemplate()));
    }

    // Text typed first, selection made in the document afterwards: headings put the typed
    // text first, font styles the selection first.
    void joinOrder_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("expected");
        QTest::newRow("heading") << "FB1" << "frmHeading" << "<H1>typedSel</H1>";
        QTest::newRow("style") << "FB2" << "frmStyle" << "<STRONG>Seltyped</STRONG>";
    }
    void joinOrder()
    {
        QFETCH(QString, button);
        QFETCH(QString, dialog);
        QFETCH(QString, expected);
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.type(QStringLiteral("Sel"));
        fromPalette(app, qPrintable(button), qPrintable(dialog));
        QTest::keyClicks(textBox(qPrintable(dialog)), QStringLiteral("typed"));
        option(qPrintable(dialog), 1)->click();
        app.select(0, 3);
        testkit::press(dialog, QStringLiteral("FB1"));
        QVERIFY(app.edit()->text().startsWith(expected + QStringLiteral("\r\n<HTML>")));
    }

    void typedTextKeptExactly()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        fromPalette(app, "FB2", "frmStyle");
        // Line breaks, a non-breaking space, quotes and angle brackets, and 100 KB of text.
        const QString big = QString(100 * 1024, QLatin1Char('x'));
        const QString typed = QStringLiteral("a\"<b>&\u00A0c\nsecond line\n") + big;
        textBox("frmStyle")->setPlainText(typed);
        option("frmStyle", 7)->click();
        testkit::press(QStringLiteral("frmStyle"), QStringLiteral("FB1"));
        QString expected = QStringLiteral("<TT>") + typed + QStringLiteral("</TT>\r\n");
        expected.replace(QLatin1String("\n"), QLatin1String("\r\n")).replace(QLatin1String("\r\r\n"), QLatin1String("\r\n"));
        QCOMPARE(app.edit()->text(), expected + page::newPageTemplate());
    }

    void noOptionOnlyCloses()
    {
        App app;
        pageWithSelectedWord(app, QStringLiteral("Keep"));
        platform::clipboard::setText(QStringLiteral("clip"));
        const QString before = app.edit()->text();
        fromPalette(app, "FB1", "frmHeading");
        testkit::press(QStringLiteral("frmHeading"), QStringLiteral("FB1"));
        QVERIFY(!testkit::form(QStringLiteral("frmHeading")));
        QCOMPARE(app.edit()->text(), before);
        QCOMPARE(platform::clipboard::text(), QStringLiteral("clip"));
    }

    void cancelLeavesDocument_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("escape");
        QTest::newRow("heading Cancel") << "FB1" << "frmHeading" << false;
        QTest::newRow("style Cancel") << "FB2" << "frmStyle" << false;
        QTest::newRow("heading Escape") << "FB1" << "frmHeading" << true;
    }
    void cancelLeavesDocument()
    {
        QFETCH(QString, button);
        QFETCH(QString, dialog);
        QFETCH(bool, escape);
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        fromPalette(app, qPrintable(button), qPrintable(dialog));
        option(qPrintable(dialog), 1)->click();
        app.edit()->setSelStart(20);
        if (escape)
            QTest::keyClick(testkit::form(dialog), Qt::Key_Escape);
        else
            testkit::press(dialog, QStringLiteral("FB2"));
        QVERIFY(!testkit::form(dialog));
        QCOMPARE(app.edit()->text(), before);
        QCOMPARE(app.doc()->savedCaret(), 20);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    void paletteParagraphAndCancel()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        openPalette(app);
        testkit::press(QStringLiteral("frmFormat"), QStringLiteral("FB3"));
        QVERIFY(!testkit::form(QStringLiteral("frmFormat")));
        compareRuns(app.edit(), {{QStringLiteral("<P>\r\n"), olive}, {page::newPageTemplate(), black}});
        QCOMPARE(app.doc()->savedCaret(), 5);

        // Cancel gives the focus back without touching the saved caret.
        app.edit()->setSelStart(30);
        openPalette(app);
        testkit::press(QStringLiteral("frmFormat"), QStringLiteral("FB4"));
        QVERIFY(!testkit::form(QStringLiteral("frmFormat")));
        QCOMPARE(app.doc()->savedCaret(), 5);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    void paletteButtonsAllClose_data()
    {
        QTest::addColumn<QString>("button");
        for (const char* b : {"FB1", "FB2", "FB3", "FB4", "FB5", "FB6", "FB7"})
            QTest::newRow(b) << QString::fromLatin1(b);
    }
    // Every palette button unloads the palette, with a document open or none.
    void paletteButtonsAllClose()
    {
        QFETCH(QString, button);
        for (bool withDocument : {true, false}) {
            App app;
            if (withDocument)
                app.newDocument();
            openPalette(app);
            QCOMPARE(testkit::form(QStringLiteral("frmFormat"))->windowTitle(), QStringLiteral("Format"));
            testkit::press(QStringLiteral("frmFormat"), button);
            QVERIFY(!testkit::form(QStringLiteral("frmFormat")));
        }
    }

    // With no document open, the dialogs take typed text and every button closes as usual.
    void noDocumentOpen()
    {
        App app;
        for (const char* dialog : {"frmHeading", "frmStyle"}) {
            for (const char* button : {"FB1", "FB2"}) {
                fromPalette(app, dialog == QLatin1String("frmHeading") ? "FB1" : "FB2", dialog);
                QVERIFY(textBox(dialog)->isEnabled());
                option(dialog, 3)->click();
                QTest::keyClicks(textBox(dialog), QStringLiteral("x"));
                testkit::press(QLatin1String(dialog), QLatin1String(button));
                QVERIFY(!testkit::form(QLatin1String(dialog)));
            }
        }
        QVERIFY(!app.doc());
    }

    void applyTwiceInsertsOnce()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        fromPalette(app, "FB1", "frmHeading");
        option("frmHeading", 4)->click();
        auto* apply = testkit::control<QAbstractButton>(QStringLiteral("frmHeading"), QStringLiteral("FB1"));
        QTest::mouseClick(apply, Qt::LeftButton);
        QTest::mouseClick(apply, Qt::LeftButton); // still there until deleted
        QCOMPARE(app.edit()->text(), QStringLiteral("<H4></H4>\r\n") + page::newPageTemplate());
    }

    void freshAfterUnload()
    {
        App app;
        app.newDocument();
        fromPalette(app, "FB1", "frmHeading");
        option("frmHeading", 5)->click();
        QTest::keyClicks(textBox("frmHeading"), QStringLiteral("left over"));
        testkit::press(QStringLiteral("frmHeading"), QStringLiteral("FB2"));
        fromPalette(app, "FB1", "frmHeading");
        QCOMPARE(textBox("frmHeading")->toPlainText(), QString());
        for (int n = 1; n <= 6; ++n)
            QVERIFY(!option("frmHeading", n)->isChecked());
    }

    // The insertion colour survives an Enter: after Center the break and what is typed next
    // stay red, at the start of a line whose first character is black.
    void insertionColourOutlivesEnter()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.main().enableToolbar();
        app.click(QStringLiteral("FB10"));
        app.type(QStringLiteral("r"));
        compareRuns(app.edit(), {{QStringLiteral("<CENTER></CENTER>\r\nr"), red}, {page::newPageTemplate(), black}});
    }

    void keyboardOnly()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        fromPalette(app, "FB2", "frmStyle");
        QWidget* dlg = testkit::form(QStringLiteral("frmStyle"));
        // Focus order: the options (one tab stop, arrows move inside the group), the text
        // box, Apply, Cancel.
        QStringList chain;
        for (QWidget* w = dlg->nextInFocusChain(); w != dlg; w = w->nextInFocusChain())
            if (w->focusPolicy() != Qt::NoFocus)
                chain << w->objectName();
        QCOMPARE(chain, (QStringList{"Option1", "Option2", "Option3", "Option4", "Option5", "Option6",
                                     "Option7", "Text1", "FB1", "FB2"}));
        QVERIFY(textBox("frmStyle")->tabChangesFocus());
        QCOMPARE(option("frmStyle", 3)->accessibleName(), QStringLiteral("UnderLine"));

        QTRY_COMPARE(QApplication::activeWindow(), dlg);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(option("frmStyle", 1)));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(option("frmStyle", 1)->isChecked());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QVERIFY(option("frmStyle", 2)->isChecked());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // Apply is the default button
        QVERIFY(app.edit()->text().startsWith(QStringLiteral("<I></I>\r\n<HTML>")));
    }
};

QTEST_MAIN(FormatDialogsTest)
#include "tst_formatdialogs.moc"
