#include "support/TestKit.h"

#include "app/CommandTable.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "editing/EditingCommands.h"
#include "editing/LineNumberGutter.h"
#include "editing/SelectionLayers.h"
#include "platform/RtfCodec.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSet>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <functional>

using testkit::App;
using testkit::Run;

namespace {

const QColor red(255, 0, 0);
const QColor black(0, 0, 0);
const QColor blue(0, 0, 255);

using testkit::settings;

// A new page holding these coloured runs (one change of the text).
void fill(App& app, const QList<Run>& runs)
{
    app.newDocument();
    platform::rtf::Runs page;
    for (const Run& r : runs)
        page.push_back({r.text, r.colour.rgb()});
    app.edit()->setWholeRuns(page);
    app.edit()->setSelStart(0);
}

QString message(App& app) { return app.main().statusBar()->currentMessage(); }
QString caretPanel(App& app)
{
    return app.main().findChild<QLabel*>(QStringLiteral("sbCaretPanel"))->text();
}

// The find dialog, shown by the command and ready for the keyboard.
QWidget* openFind(App& app, const char* command = "mnuEditFind")
{
    app.trigger(QLatin1String(command));
    QWidget* dialog = testkit::form(QStringLiteral("frmFind"));
    if (dialog)
        [&] { QTRY_COMPARE(QApplication::activeWindow(), dialog); }();
    return dialog;
}

void setSearch(const QString& text, const QString& with = QString(), bool matchCase = false,
               bool wholeWords = false, bool regex = false)
{
    const QString f = QStringLiteral("frmFind");
    testkit::control<QLineEdit>(f, QStringLiteral("txtFind"))->setText(text);
    testkit::control<QLineEdit>(f, QStringLiteral("txtReplace"))->setText(with);
    testkit::control<QCheckBox>(f, QStringLiteral("chkMatchCase"))->setChecked(matchCase);
    testkit::control<QCheckBox>(f, QStringLiteral("chkWholeWords"))->setChecked(wholeWords);
    testkit::control<QCheckBox>(f, QStringLiteral("chkRegex"))->setChecked(regex);
}

void backToMain(App& app)
{
    app.main().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&app.main()));
    app.edit()->setFocus();
}

using Selection = std::pair<int, int>;
Selection selection(App& app) { return {app.edit()->selStart(), app.edit()->selLength()}; }

} // namespace

class EditingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }
    void init()
    {
        settings().remove(QStringLiteral("Settings"));
        editing::searchState() = {};
    }

    // The additions stand after the Edit and View menus' own entries, behind a separator,
    // and take no key the menus already use.
    void menuEntries()
    {
        const auto tree = commands::menuTree();
        QSet<QString> keys;
        for (const commands::MenuEntry& e : tree) {
            if (!e.shortcut)
                continue;
            const QString key = QKeySequence(QLatin1String(e.shortcut)).toString();
            QVERIFY2(!keys.contains(key), qPrintable(key));
            keys.insert(key);
        }
        App app;
        const auto names = [&](const char* menu) {
            QStringList out;
            for (QAction* a : app.main().findChild<QMenu*>(QLatin1String(menu))->actions())
                out << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
            return out;
        };
        const QStringList edit = names("mnuEdit");
        QCOMPARE(edit.mid(edit.indexOf(QStringLiteral("filMnuItems"))),
                 QStringList({"filMnuItems", "-", "mnuEditFind", "mnuEditFindNext",
                              "mnuEditFindPrevious", "mnuEditReplace", "mnuEditGoToLine",
                              "mnuEditSelectAll", "-", "mnuEditGoToMatchingTag",
                              "mnuEditSelectElement", "-", "mnuEditNextFinding", "mnuEditPreviousFinding",
                              "-", "mnuEditCloseTags", "mnuEditSuggest", "mnuEditKeepIndent",
                              "mnuEditInsertImageSize",
                              "-", "mnuEditNextMisspelling", "mnuEditPreviousMisspelling",
                              "-", "mnuEditFindInFiles", "mnuEditCheckSite"}));
        QCOMPARE(names("mnuView"),
                 QStringList({"mnuViewToolbar", "mnuViewStatusBar", "-", "mnuViewLineNumbers", "-",
                              "mnuViewCheckMarkup", "mnuViewLivePreview", "mnuViewPreviewRemote",
                              "mnuViewPreviewFollowsCaret", "-",
                              "mnuViewColourMarkup", "mnuViewCaretLine", "mnuViewFixedWidthFont", "-",
                              "mnuViewZoomIn", "mnuViewZoomOut", "mnuViewActualSize", "-",
                              "mnuViewCheckSpelling", "-", "mnuViewSite"}));
        QAction* numbers = app.main().action(QStringLiteral("mnuViewLineNumbers"));
        QVERIFY(numbers->isCheckable() && !numbers->isChecked());
    }

    // Every command by its key and by its menu item.
    void commands_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("form");
        QTest::addColumn<Selection>("selection");
        const int ctrl = Qt::ControlModifier;
        const int shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
        // The page is "one two one two" with the caret after the first "one"; "two" searched last.
        QTest::newRow("find") << "mnuEditFind" << int(Qt::Key_F) << ctrl << "frmFind" << Selection{3, 0};
        QTest::newRow("replace") << "mnuEditReplace" << int(Qt::Key_H) << ctrl << "frmFind" << Selection{3, 0};
        QTest::newRow("go to line") << "mnuEditGoToLine" << int(Qt::Key_L) << ctrl << "frmGoToLine"
                                    << Selection{3, 0};
        QTest::newRow("find next") << "mnuEditFindNext" << int(Qt::Key_G) << ctrl << "" << Selection{4, 3};
        QTest::newRow("find previous") << "mnuEditFindPrevious" << int(Qt::Key_G) << shiftCtrl << ""
                                       << Selection{12, 3};
        QTest::newRow("select all") << "mnuEditSelectAll" << int(Qt::Key_A) << shiftCtrl << ""
                                    << Selection{0, 15};
    }
    void commands()
    {
        QFETCH(QString, item);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, form);
        QFETCH(Selection, selection);
        for (const bool byKey : {true, false}) {
            App app;
            fill(app, {{QStringLiteral("one two one two"), black}});
            editing::searchState().text = QStringLiteral("two");
            app.edit()->setSelStart(3);
            app.edit()->setFocus();
            if (byKey)
                app.shortcut(key, Qt::KeyboardModifiers(modifiers));
            else
                app.trigger(item);
            QCOMPARE(::selection(app), selection);
            QCOMPARE(app.edit()->text(), QStringLiteral("one two one two"));
            if (!form.isEmpty())
                QTRY_VERIFY(testkit::form(form) && testkit::form(form)->isVisible());
            if (item == QLatin1String("mnuEditReplace"))
                QVERIFY(testkit::control(form, QStringLiteral("txtReplace"))->isVisible());
            if (item == QLatin1String("mnuEditFind"))
                QVERIFY(!testkit::control(form, QStringLiteral("txtReplace"))->isVisible());
        }
    }

    void commandsWithoutADocument()
    {
        App app;
        editing::searchState().text = QStringLiteral("x");
        for (const char* item : {"mnuEditFind", "mnuEditFindNext", "mnuEditFindPrevious",
                                 "mnuEditReplace", "mnuEditGoToLine", "mnuEditSelectAll",
                                 "mnuViewLineNumbers"})
            app.trigger(QLatin1String(item));
        QVERIFY(!testkit::form(QStringLiteral("frmFind")));
        QVERIFY(!testkit::form(QStringLiteral("frmGoToLine")));
        QCOMPARE(caretPanel(app), QString());
        // A dialog left open when the last page closes does nothing either.
        app.newDocument();
        openFind(app, "mnuEditReplace");
        setSearch(QStringLiteral("BODY"), QStringLiteral("x"));
        app.doc()->parentWidget()->close();
        QTRY_VERIFY(!app.doc());
        for (const char* button : {"cmdFindNext", "cmdReplace", "cmdReplaceAll"})
            testkit::press(QStringLiteral("frmFind"), QLatin1String(button));
        QTRY_COMPARE(caretPanel(app), QString());
    }

    // Find Next and Previous walk the matches, wrap once at the end and at the start with a
    // notice, and leave the page alone when there is nothing to find.
    void wrapsAround()
    {
        App app;
        fill(app, {{QStringLiteral("ab\r\nxab ab"), black}});
        openFind(app);
        setSearch(QStringLiteral("ab"));
        QTest::keyClick(testkit::control(QStringLiteral("frmFind"), QStringLiteral("txtFind")),
                        Qt::Key_Return);
        QCOMPARE(selection(app), Selection(0, 2));
        backToMain(app);
        const QList<std::pair<Qt::KeyboardModifiers, Selection>> walk{
            {Qt::ControlModifier, {5, 2}},
            {Qt::ControlModifier, {8, 2}},
            {Qt::ControlModifier, {0, 2}},
            {Qt::ShiftModifier | Qt::ControlModifier, {8, 2}},
            {Qt::ShiftModifier | Qt::ControlModifier, {5, 2}}};
        const QStringList notices{"", "", "Search wrapped", "Search wrapped", ""};
        for (int i = 0; i < walk.size(); ++i) {
            app.shortcut(Qt::Key_G, walk.at(i).first);
            QCOMPARE(selection(app), walk.at(i).second);
            QCOMPARE(message(app), notices.at(i));
        }
        editing::searchState().text = QStringLiteral("zz");
        app.shortcut(Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(selection(app), Selection(5, 2));
        QCOMPARE(message(app), QStringLiteral("Cannot find \"zz\""));
    }

    // Options through the dialog's own boxes.
    void options_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWords");
        QTest::addColumn<bool>("regex");
        QTest::addColumn<Selection>("found");
        // Page: "Cat cat concat cat9 cat"
        QTest::newRow("any case") << "cat" << false << false << false << Selection{0, 3};
        QTest::newRow("match case") << "cat" << true << false << false << Selection{4, 3};
        QTest::newRow("whole words") << "CAT" << false << true << false << Selection{0, 3};
        QTest::newRow("whole words and case") << "cat" << true << true << false << Selection{4, 3};
        QTest::newRow("regex") << "c.t\\d" << false << false << true << Selection{15, 4};
        QTest::newRow("regex whole words") << "con\\w+" << false << true << true << Selection{8, 6};
    }
    void options()
    {
        QFETCH(QString, text);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWords);
        QFETCH(bool, regex);
        App app;
        fill(app, {{QStringLiteral("Cat cat concat cat9 cat"), black}});
        openFind(app);
        setSearch(text, QString(), matchCase, wholeWords, regex);
        testkit::press(QStringLiteral("frmFind"), QStringLiteral("cmdFindNext"));
        QTEST(selection(app), "found");
    }

    void searchTextFromOneLineSelection()
    {
        App app;
        fill(app, {{QStringLiteral("alpha beta\r\ngamma"), black}});
        app.select(6, 4);
        openFind(app);
        QCOMPARE(testkit::control<QLineEdit>(QStringLiteral("frmFind"), QStringLiteral("txtFind"))->text(),
                 QStringLiteral("beta"));
        backToMain(app);
        app.select(0, 14);
        app.trigger(QStringLiteral("mnuEditFind"));
        QCOMPARE(testkit::control<QLineEdit>(QStringLiteral("frmFind"), QStringLiteral("txtFind"))->text(),
                 QStringLiteral("beta"));
    }

    void invalidRegexDoesNothing()
    {
        App app;
        fill(app, {{QStringLiteral("a(b a(b"), black}});
        openFind(app, "mnuEditReplace");
        setSearch(QStringLiteral("a(b"), QStringLiteral("x"), false, false, true);
        auto* error = testkit::control<QLabel>(QStringLiteral("frmFind"), QStringLiteral("lblFindError"));
        QVERIFY(error->isVisible() && !error->text().isEmpty());
        const int steps = app.doc()->history().undoCount();
        for (const char* button : {"cmdFindNext", "cmdReplace", "cmdReplaceAll"})
            testkit::press(QStringLiteral("frmFind"), QLatin1String(button));
        QCOMPARE(selection(app), Selection(0, 0));
        QCOMPARE(app.edit()->text(), QStringLiteral("a(b a(b"));
        QCOMPARE(app.doc()->history().undoCount(), steps);
        testkit::control<QCheckBox>(QStringLiteral("frmFind"), QStringLiteral("chkRegex"))->setChecked(false);
        QVERIFY(!error->isVisible());
    }

    // Replace takes the selected match only, in the colour of what it replaces, as one undo
    // step, and goes on to the next match.
    void replaceOne()
    {
        App app;
        fill(app, {{QStringLiteral("<B>"), red}, {QStringLiteral("word "), black},
                   {QStringLiteral("word"), blue}});
        openFind(app, "mnuEditReplace");
        setSearch(QStringLiteral("word"), QStringLiteral("text!"));
        const int steps = app.doc()->history().undoCount();
        testkit::press(QStringLiteral("frmFind"), QStringLiteral("cmdReplace")); // finds first
        QCOMPARE(selection(app), Selection(3, 4));
        QCOMPARE(app.doc()->history().undoCount(), steps);
        testkit::press(QStringLiteral("frmFind"), QStringLiteral("cmdReplace"));
        const QList<Run> once{{QStringLiteral("<B>"), red}, {QStringLiteral("text! "), black},
                              {QStringLiteral("word"), blue}};
        QCOMPARE(testkit::colourRuns(app.edit()), once);
        QCOMPARE(selection(app), Selection(9, 4));
        testkit::press(QStringLiteral("frmFind"), QStringLiteral("cmdReplace"));
        const QList<Run> twice{{QStringLiteral("<B>"), red}, {QStringLiteral("text! "), black},
                               {QStringLiteral("text!"), blue}};
        QCOMPARE(testkit::colourRuns(app.edit()), twice);
        QCOMPARE(app.doc()->history().undoCount(), steps + 2);
        app.doc()->Undo();
        QCOMPARE(testkit::colourRuns(app.edit()), once);
    }

    // Replace All is one undo step; Undo gives back the page exactly, text and colours, and
    // Redo makes it again.
    void replaceAllIsOneExactStep()
    {
        App app;
        const QList<Run> page{{QStringLiteral("<P>"), red},   {QStringLiteral("key=1 "), black},
                              {QStringLiteral("key"), blue},  {QStringLiteral("=22\r\n"), red},
                              {QStringLiteral("ke"), black},  {QStringLiteral("y=3 keys"), blue}};
        fill(app, page);
        openFind(app, "mnuEditReplace");
        setSearch(QStringLiteral("(\\w+)=(\\d+)"), QStringLiteral("\\2:\\1"), false, true, true);
        const int steps = app.doc()->history().undoCount();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
        const QList<Run> replaced{{QStringLiteral("<P>"), red},  {QStringLiteral("1:key "), black},
                                  {QStringLiteral("22:key\r\n"), blue},
                                  {QStringLiteral("3:key"), black}, {QStringLiteral(" keys"), blue}};
        QTRY_COMPARE(testkit::colourRuns(app.edit()), replaced); // the key clicks the button after a moment
        QCOMPARE(message(app), QStringLiteral("3 replacements"));
        QCOMPARE(app.doc()->history().undoCount(), steps + 1);
        app.doc()->Undo();
        QCOMPARE(testkit::colourRuns(app.edit()), page);
        app.doc()->Redo();
        QCOMPARE(testkit::colourRuns(app.edit()), replaced);
        // Typing after it is undone on its own; the history's text stays the page's.
        app.edit()->setSelStart(0);
        app.type(QStringLiteral("z"));
        app.doc()->Undo();
        app.doc()->Undo();
        QCOMPARE(testkit::colourRuns(app.edit()), page);
        QCOMPARE(app.doc()->history().undoText(app.doc()->history().undoCount() - 1),
                 app.edit()->text());
    }

    // Marks for the matches in view are extra selections: the page's colours stay.
    void marksLeaveColoursAlone()
    {
        App app;
        const QList<Run> page{{QStringLiteral("ab "), red}, {QStringLiteral("ab ab"), black}};
        fill(app, page);
        openFind(app);
        setSearch(QStringLiteral("ab"));
        const auto matches = [&] { return editing::layer(app.edit(), editing::Layer::SearchMatches).size(); };
        QTRY_COMPARE(matches(), 3);
        QCOMPARE(testkit::colourRuns(app.edit()), page);
        QTest::keyClick(testkit::form(QStringLiteral("frmFind")), Qt::Key_Escape);
        QTRY_COMPARE(matches(), 0);
    }

    void goToLine_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("caret"); // -1: stays, with a message
        QTest::newRow("first") << "1" << 0;
        QTest::newRow("middle") << "2" << 5;
        QTest::newRow("last") << " 3 " << 12;
        QTest::newRow("zero") << "0" << -1;
        QTest::newRow("past the end") << "4" << -1;
        QTest::newRow("not a number") << "two" << -1;
    }
    void goToLine()
    {
        QFETCH(QString, typed);
        QFETCH(int, caret);
        App app;
        fill(app, {{QStringLiteral("abc\r\ndefgh\r\nij"), black}});
        app.edit()->setSelStart(1);
        app.trigger(QStringLiteral("mnuEditGoToLine"));
        const QString f = QStringLiteral("frmGoToLine");
        QTRY_COMPARE(QApplication::activeWindow(), testkit::form(f));
        QCOMPARE(testkit::control<QLabel>(f, QStringLiteral("lblLine"))->text(),
                 QStringLiteral("&Line number (1 to 3):"));
        QTest::keyClicks(testkit::control(f, QStringLiteral("txtLine")), typed);
        QTest::keyClick(testkit::control(f, QStringLiteral("txtLine")), Qt::Key_Return);
        if (caret >= 0) {
            QTRY_VERIFY(!testkit::form(f));
            QCOMPARE(selection(app), Selection(caret, 0));
        } else {
            QVERIFY(testkit::control<QLabel>(f, QStringLiteral("lblLineError"))->text().contains(
                QLatin1String("1 to 3")));
            QCOMPARE(selection(app), Selection(1, 0));
        }
    }

    void caretPanelFollowsTheCaret()
    {
        App app;
        fill(app, {{QStringLiteral("ab\r\n\tcd"), black}});
        QTRY_COMPARE(caretPanel(app), QStringLiteral("Ln 1, Col 1"));
        app.edit()->setSelStart(8);
        QTRY_COMPARE(caretPanel(app), QStringLiteral("Ln 2, Col 4"));
        app.key(Qt::Key_Left);
        QTRY_COMPARE(caretPanel(app), QStringLiteral("Ln 2, Col 3"));
        app.key(Qt::Key_Home);
        QTRY_COMPARE(caretPanel(app), QStringLiteral("Ln 2, Col 1"));
        QMdiSubWindow* first = app.main().mdiArea()->currentSubWindow();
        app.newDocument();
        QTRY_COMPARE(caretPanel(app), QStringLiteral("Ln 1, Col 1"));
        app.main().mdiArea()->setActiveSubWindow(first);
        QTRY_COMPARE(caretPanel(app), QStringLiteral("Ln 2, Col 1"));
        for (frmDocument* doc : app.main().documents())
            doc->parentWidget()->close();
        QTRY_COMPARE(caretPanel(app), QString());
        // Between the fixed text and the CAPS panel.
        QList<QWidget*> order;
        for (QLabel* l : app.main().statusBar()->findChildren<QLabel*>())
            if (l->objectName().startsWith(QLatin1String("sb")))
                order.append(l);
        std::sort(order.begin(), order.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
        QCOMPARE(order.at(1)->objectName(), QStringLiteral("sbCaretPanel"));
        QCOMPARE(order.at(2)->objectName(), QStringLiteral("sbPanel2"));
    }

    // Line numbers: off at the first start, on for every page once chosen, remembered; off
    // again leaves the text area as it was.
    void lineNumbers()
    {
        QRect plain;
        {
            App app;
            app.newDocument();
            plain = app.edit()->viewport()->geometry();
            QVERIFY(!editing::LineNumberGutter::of(app.edit()));
            app.trigger(QStringLiteral("mnuViewLineNumbers"));
            QVERIFY(app.main().action(QStringLiteral("mnuViewLineNumbers"))->isChecked());
            QVERIFY(editing::LineNumberGutter::of(app.edit()));
            QVERIFY(app.edit()->viewport()->geometry().left() > plain.left());
            app.newDocument();
            QVERIFY(editing::LineNumberGutter::of(app.edit()));
        }
        QCOMPARE(settings().value(QStringLiteral("Settings/LineNumbers")).toString(), QStringLiteral("1"));
        App again;
        QVERIFY(again.main().action(QStringLiteral("mnuViewLineNumbers"))->isChecked());
        again.newDocument();
        QVERIFY(editing::LineNumberGutter::of(again.edit()));
        // The gutter is as wide as the largest number needs, and narrows again.
        const auto width = [&] { return editing::LineNumberGutter::of(again.edit())->sizeHint().width(); };
        again.edit()->setWholeText(QStringLiteral("x\r\n").repeated(8));
        const int nine = width();
        again.edit()->setWholeText(QStringLiteral("x\r\n").repeated(10000));
        QTRY_VERIFY(width() > nine);
        again.edit()->setWholeText(QStringLiteral("x\r\n").repeated(8));
        QTRY_COMPARE(width(), nine);
        again.trigger(QStringLiteral("mnuViewLineNumbers"));
        QVERIFY(!editing::LineNumberGutter::of(again.edit()));
        QCOMPARE(again.edit()->viewport()->geometry(), plain);
    }

    // The numbers count lines of the text, also where the view starts inside a long line
    // (several display blocks): each stands at its line's first block.
    void lineNumbersAroundALongLine_data()
    {
        QTest::addColumn<bool>("atEnd");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("view starts at the top") << false << QList<int>{1, 2};
        QTest::newRow("view starts inside the long line") << true << QList<int>{3, 4};
    }
    void lineNumbersAroundALongLine()
    {
        QFETCH(bool, atEnd);
        QFETCH(QList<int>, numbers);
        RichEdit edit;
        edit.resize(400, 200);
        edit.show();
        QString line;
        while (line.size() < 20000)
            line += QStringLiteral("<td class=c>cell</td>");
        edit.setWholeText(QStringLiteral("<html>\r\n") + line + QStringLiteral("\r\n<p>after</p>\r\nend"));
        QVERIFY(edit.displayBreakCount() > 0);
        editing::LineNumberGutter::showFor(&edit, true);
        edit.moveCursor(atEnd ? QTextCursor::End : QTextCursor::Start);
        edit.ensureCursorVisible();
        QCoreApplication::processEvents();
        QCOMPARE(edit.continuesLine(edit.firstVisibleBlock()), atEnd);
        QList<int> shown;
        for (const auto& label : editing::LineNumberGutter::of(&edit)->labels(edit.viewport()->rect())) {
            const QTextBlock block = edit.cursorForPosition(QPoint(1, label.top + 1)).block();
            QCOMPARE(edit.lineOf(block.position()) + 1, label.number);
            shown << label.number;
        }
        QCOMPARE(shown, numbers);
    }
};

QTEST_MAIN(EditingTest)
#include "tst_editing.moc"
