// The Page Loads and Dynamic Animation dialogs on real pages: where the tag, the attribute,
// the script and the element land, the saved caret, the shared transition tag, and every
// button with no page open.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/UpDown.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "effects/DynamicAnimation.h"
#include "effects/PageTransitions.h"
#include "platform/FileChooser.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using testkit::App;

namespace {

const QString loader = QStringLiteral("frmLoader");
const QString dynAnim = QStringLiteral("frmDynAnim");

// File > New with the colour picker applied as it comes up: the page has its coloured body
// tag and the caret is at 122.
void newColouredPage(App& app)
{
    testkit::answerModal(QStringLiteral("color"), [](QWidget* dlg) {
        QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("FB1")), Qt::LeftButton);
    });
    app.newDocument();
    QCOMPARE(app.doc()->savedCaret(), 122);
}

QString script()
{
    return dynanim::scriptPieces().join(QLatin1String("\r\n")) + QLatin1String("\r\n");
}

const QString attribute = QString::fromLatin1(dynanim::onloadAttribute);

void applyTransition(const char* option)
{
    Forms::show(loader);
    testkit::control<QRadioButton>(loader, QLatin1String(option))->click();
    testkit::press(loader, QStringLiteral("FB1"));
    QVERIFY(!testkit::form(loader));
}

// Shows the dynamic-animation dialog, fills it and applies it.
void applyAnimation(App& app, const char* option, const QString& image)
{
    app.trigger(QStringLiteral("mnuEffDynAni"));
    QVERIFY(testkit::form(dynAnim));
    testkit::control<QRadioButton>(dynAnim, QLatin1String(option))->click();
    testkit::control<QLineEdit>(dynAnim, QStringLiteral("Text1"))->setText(image);
    testkit::press(dynAnim, QStringLiteral("FB1"));
    QVERIFY(!testkit::form(dynAnim));
}

QString element(const char* effect, const QString& image, int width = 50, int height = 50)
{
    return dynanim::element({QLatin1String(effect), image, QString::number(width), QString::number(height)});
}

} // namespace

class AnimationDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }
    void init() { workspace::shared().pageTransitionTag.clear(); }

    void animationDialogStartsFresh()
    {
        App app;
        newColouredPage(app);
        app.trigger(QStringLiteral("mnuEffDynAni"));
        QWidget* dlg = testkit::form(dynAnim);
        QVERIFY(dlg && dlg->isVisible() && !dlg->isModal());
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Dynamic Animation"));
        QVERIFY(testkit::control<QRadioButton>(dynAnim, QStringLiteral("Option1"))->isChecked());
        QCOMPARE(testkit::control<QLineEdit>(dynAnim, QStringLiteral("Text1"))->text(), QString());
        for (const char* box : {"Text2", "Text3"}) {
            QCOMPARE(testkit::control<QLineEdit>(dynAnim, QLatin1String(box))->text(), QStringLiteral("50"));
            QVERIFY(!testkit::control<QLineEdit>(dynAnim, QLatin1String(box))->isEnabled());
        }
        // Up-downs: 0 to 500 in tens; each drives its own box.
        auto* width = testkit::control<UpDown>(dynAnim, QStringLiteral("UpDown2"));
        auto* height = testkit::control<UpDown>(dynAnim, QStringLiteral("UpDown1"));
        QTest::keyClick(width, Qt::Key_Up);
        QCOMPARE(testkit::control<QLineEdit>(dynAnim, QStringLiteral("Text3"))->text(), QStringLiteral("60"));
        QTest::keyClick(width, Qt::Key_End);
        QTest::keyClick(width, Qt::Key_Up);
        QCOMPARE(testkit::control<QLineEdit>(dynAnim, QStringLiteral("Text3"))->text(), QStringLiteral("500"));
        QTest::keyClick(height, Qt::Key_Home);
        QTest::keyClick(height, Qt::Key_Down);
        QCOMPARE(testkit::control<QLineEdit>(dynAnim, QStringLiteral("Text2"))->text(), QStringLiteral("0"));
        QCOMPARE(testkit::control<QLineEdit>(dynAnim, QStringLiteral("Text3"))->text(), QStringLiteral("500"));
        // Labels name the options, in the order the dialog lists them top to bottom.
        QStringList captions;
        for (const char* label : {"Label6", "Label7", "Label4", "Label5", "Label3", "Label2", "Label8"})
            captions << dlg->findChild<QWidget*>(QLatin1String(label))->property("text").toString();
        QCOMPARE(captions, (QStringList{"Bottom", "Top", "Top Right", "Top Left", "Bottom Left",
                                        "Bottom Right", "Swirl"}));
        testkit::press(dynAnim, QStringLiteral("FB1"));
        QVERIFY(app.edit()->text().contains(element("flyBottomRight", QString(), 500, 0)));
    }

    void firstAndSecondApply_data()
    {
        QTest::addColumn<bool>("transitionFirst");
        QTest::newRow("fresh page") << false;
        QTest::newRow("after a page transition") << true;
    }
    void firstAndSecondApply()
    {
        QFETCH(bool, transitionFirst);
        App app;
        newColouredPage(app);
        QString tag;
        if (transitionFirst) {
            applyTransition("Option4");
            tag = transitions::tag(11);
            QCOMPARE(workspace::shared().pageTransitionTag, tag);
        }
        const QString before = app.edit()->text();
        const int caret = app.doc()->savedCaret();
        QCOMPARE(caret, 122 + tag.size());
        const int undoBefore = app.doc()->history().undoCount();

        applyAnimation(app, "Option7", QStringLiteral("cat.gif"));
        const QString first = element("Spiral", QStringLiteral("cat.gif"));
        QString expected = before;
        expected.insert(caret, first);
        expected.insert(46 + tag.size(), attribute);
        expected.insert(14, script());
        QCOMPARE(app.edit()->text(), expected);
        // The attribute lands just after "<BODY " whether or not a transition tag came first.
        QVERIFY(expected.contains(QStringLiteral("\r\n<BODY onload=\"dynAnimation()\" BGCOLOR=")));
        QVERIFY(expected.startsWith(QStringLiteral("<HTML>\r\n<HEAD>") + script() + tag + QStringLiteral("</HEAD>")));
        const int afterFirst = caret + attribute.size() + script().size() + first.size();
        QCOMPARE(app.edit()->selStart(), afterFirst);
        QCOMPARE(app.doc()->savedCaret(), afterFirst);
        // Attribute, 243 pieces with their Enters, the element: each one change.
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 1 + 2 * 243 + 1);
        // No colour is set: everything takes the black in force there.
        QCOMPARE(testkit::colourRuns(app.edit()).size(), 1);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));

        // The page is prepared now: the second Apply puts only its element at the caret.
        applyAnimation(app, "Option6", QStringLiteral("dog.jpg"));
        const QString second = element("flyTop", QStringLiteral("dog.jpg"));
        expected.insert(afterFirst, second);
        QCOMPARE(app.edit()->text(), expected);
        QCOMPARE(app.doc()->savedCaret(), afterFirst + second.size());
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 1 + 2 * 243 + 2);
    }

    void markerInAnyCaseCountsAsPrepared()
    {
        App app;
        newColouredPage(app);
        app.edit()->setSelStart(122);
        app.edit()->setSelText(QStringLiteral("<p DynamicAnimation=\"flyTop\"></p>"));
        app.doc()->recordCaret();
        const QString before = app.edit()->text();
        applyAnimation(app, "Option1", QStringLiteral("a.gif"));
        QCOMPARE(app.edit()->text(), QString(before).insert(122 + 33, element("flyBottomRight", "a.gif")));
    }

    void caretBeforeTheHead()
    {
        App app;
        app.newDocument(); // the colour picker closed unapplied: the plain template
        app.edit()->setSelStart(3);
        app.doc()->recordCaret();
        applyAnimation(app, "Option2", QStringLiteral("b.gif"));
        const QString el = element("flyBottomLeft", QStringLiteral("b.gif"));
        QString expected = page::newPageTemplate();
        expected.insert(46, attribute);
        expected.insert(14, script());
        expected.insert(3, el);
        QCOMPARE(app.edit()->text(), expected);
        QCOMPARE(app.doc()->savedCaret(), 3 + el.size());
    }

    void animationCancel()
    {
        App app;
        newColouredPage(app);
        const QString before = app.edit()->text();
        app.trigger(QStringLiteral("mnuEffDynAni"));
        app.edit()->setSelStart(20);
        QTest::keyClick(testkit::form(dynAnim), Qt::Key_Escape);
        QVERIFY(!testkit::form(dynAnim));
        QCOMPARE(app.edit()->text(), before);
        QCOMPARE(app.doc()->savedCaret(), 20);
    }

    void browse()
    {
        App app;
        QList<platform::FileRequest> asked;
        QString answer = QStringLiteral("/some/folder/sun rise.jpeg");
        platform::fileChooser() = [&](QWidget*, const platform::FileRequest& r) {
            asked << r;
            return answer;
        };
        app.trigger(QStringLiteral("mnuEffDynAni"));
        testkit::press(dynAnim, QStringLiteral("FB3"));
        QCOMPARE(testkit::control<QLineEdit>(dynAnim, QStringLiteral("Text1"))->text(), QStringLiteral("sun rise.jpeg"));
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].kind, platform::FileDialogKind::Open);
        QCOMPARE(asked[0].filter, platform::withAllPictures(QStringLiteral("Jpeg Files(*.jpg, *.jpeg)|*.jpg;*.jpeg|Gif Files(*.gif)|*.gif")));
        answer.clear(); // cancelled: the name stays
        testkit::press(dynAnim, QStringLiteral("FB3"));
        QCOMPARE(testkit::control<QLineEdit>(dynAnim, QStringLiteral("Text1"))->text(), QStringLiteral("sun rise.jpeg"));
        testkit::isolate();
    }

    void transitionDialog()
    {
        App app;
        newColouredPage(app);
        QWidget* dlg = Forms::show(loader);
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Page Loads"));
        QVERIFY(testkit::control<QRadioButton>(loader, QStringLiteral("Option1"))->isChecked());
        for (std::size_t i = 0; i < transitions::choices.size(); ++i) {
            const auto& c = transitions::choices[i];
            QCOMPARE(dlg->findChild<QWidget*>(QStringLiteral("Label%1").arg(i + 1))->property("text").toString(),
                     QLatin1String(c.label));
        }
        // Cancel leaves page, caret and saved caret alone.
        const QString before = app.edit()->text();
        app.edit()->setSelStart(30);
        testkit::press(loader, QStringLiteral("FB2"));
        QVERIFY(!testkit::form(loader));
        QCOMPARE(app.edit()->text(), before);
        QCOMPARE(app.edit()->selStart(), 30);
        QCOMPARE(app.doc()->savedCaret(), 122);
        QVERIFY(workspace::shared().pageTransitionTag.isEmpty());
    }

    void transitionTwice()
    {
        App app;
        newColouredPage(app);
        const QString before = app.edit()->text();
        app.edit()->setSelStart(0); // the caret itself does not matter, the saved one does
        applyTransition("Option1");
        applyTransition("Option9");
        const QString vertical = transitions::tag(8);
        const QString boxedIn = transitions::tag(0);
        // The later one first, both right after "<HEAD>", no line break after either.
        QCOMPARE(app.edit()->text(), QString(before).insert(14, boxedIn + vertical));
        QCOMPARE(app.doc()->savedCaret(), 122 + vertical.size() + boxedIn.size());
        QCOMPARE(app.edit()->selStart(), app.doc()->savedCaret());
        QCOMPARE(workspace::shared().pageTransitionTag, boxedIn);
        QCOMPARE(testkit::colourRuns(app.edit()).size(), 1);
    }

    void transitionWithCaretInFront()
    {
        App app;
        app.newDocument();
        QCOMPARE(app.doc()->savedCaret(), 0);
        applyTransition("Option10");
        QCOMPARE(app.edit()->text(), QString(page::newPageTemplate()).insert(14, transitions::tag(23)));
        // The caret stays in front of the head instead of landing inside the new tag.
        QCOMPARE(app.doc()->savedCaret(), 0);
    }

    void noDocumentOpen()
    {
        App app;
        QVERIFY(!app.doc());
        for (const char* button : {"FB1", "FB2"}) {
            Forms::show(loader);
            testkit::press(loader, QLatin1String(button));
            QVERIFY(!testkit::form(loader));
        }
        // With no page to take it, no tag is kept for later pages either.
        QVERIFY(workspace::shared().pageTransitionTag.isEmpty());
        platform::fileChooser() = [](QWidget*, const platform::FileRequest&) { return QStringLiteral("/x/y.gif"); };
        for (const char* button : {"FB3", "FB1", "FB2"}) {
            app.trigger(QStringLiteral("mnuEffDynAni"));
            testkit::press(dynAnim, QLatin1String(button));
            QCOMPARE(testkit::form(dynAnim) != nullptr, QByteArray(button) == "FB3");
        }
        QTest::keyClick(testkit::form(dynAnim) ? testkit::form(dynAnim) : Forms::show(dynAnim), Qt::Key_Escape);
        QVERIFY(!testkit::form(dynAnim));
        testkit::isolate();
        QVERIFY(!app.doc());
    }
};

QTEST_MAIN(AnimationDialogsTest)
#include "tst_animationdialogs.moc"
