// The picture, video and background image dialogs and the Menu Items palette, opened every
// way the user can open them and driven by their buttons.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/FileChooser.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using testkit::App;
using testkit::Run;

namespace {

const QColor black(0, 0, 0);
const QColor magenta(255, 0, 255);

QLineEdit* text1(const QString& dialog) { return testkit::control<QLineEdit>(dialog, QStringLiteral("Text1")); }

void check(const char* box, bool on)
{
    testkit::control<QCheckBox>(QStringLiteral("frmImg"), QLatin1String(box))->setChecked(on);
}

// Opens a dialog by a menu item ("mnu..."/"filMnuItems") or a palette button: "frmLnkImg.FBn"
// after the toolbar's FB11, "mnu1.btnBkg" after Edit > Menu Items. The palette is gone after.
void open(App& app, const QString& how, const QString& dialog)
{
    app.main().enableToolbar();
    const qsizetype dot = how.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        app.trigger(how);
    } else {
        const QString palette = how.left(dot);
        if (palette == QLatin1String("frmLnkImg"))
            app.click(QStringLiteral("FB11"));
        else
            app.trigger(QStringLiteral("filMnuItems"));
        QVERIFY(Forms::isVisible(palette));
        testkit::press(palette, how.mid(dot + 1));
        QVERIFY(!testkit::form(palette));
    }
    QVERIFY2(Forms::isVisible(dialog), qPrintable(dialog));
}

// A file chooser that answers with a path and keeps what it was asked.
struct ScriptedChooser {
    QString answer;
    QList<platform::FileRequest> requests;
    QList<QWidget*> parents;
    void install()
    {
        platform::fileChooser() = [this](QWidget* parent, const platform::FileRequest& r) {
            parents << parent;
            requests << r;
            return answer;
        };
    }
    ~ScriptedChooser() { platform::fileChooser() = [](QWidget*, const platform::FileRequest&) { return QString(); }; }
};

} // namespace

class PictureDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void opening_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Insert > Image") << "mnuInsIMg" << "frmImg" << "Insert Picture";
        QTest::newRow("palette Images") << "frmLnkImg.FB2" << "frmImg" << "Insert Picture";
        QTest::newRow("palette Video") << "frmLnkImg.FB5" << "frmVideo" << "Video";
        QTest::newRow("Edit > Menu Items") << "filMnuItems" << "mnu1" << "";
        QTest::newRow("Menu Items > Background Image") << "mnu1.btnBkg" << "bgImg" << "Background Image";
    }
    void opening()
    {
        QFETCH(QString, how);
        QFETCH(QString, dialog);
        QFETCH(QString, caption);
        App app;
        open(app, how, dialog);
        QCOMPARE(testkit::form(dialog)->windowTitle(), caption);
    }

    void labelsAndStart()
    {
        App app;
        app.trigger(QStringLiteral("mnuInsIMg"));
        const QString img = QStringLiteral("frmImg");
        QCOMPARE(testkit::control<QLabel>(img, QStringLiteral("Label1"))->text(),
                 QStringLiteral("Type Name Of Picture Below...i.e. Picture.jpg"));
        QCOMPARE(testkit::control<QLabel>(img, QStringLiteral("Label2"))->text(), QStringLiteral("Center"));
        QCOMPARE(testkit::control<QLabel>(img, QStringLiteral("Label3"))->text(), QStringLiteral("Add Line Break"));
        QVERIFY(!testkit::control<QCheckBox>(img, QStringLiteral("Check1"))->isChecked());
        QVERIFY(!testkit::control<QCheckBox>(img, QStringLiteral("Check2"))->isChecked());
        QVERIFY(text1(img)->text().isEmpty());
        QVERIFY(testkit::control(img, QStringLiteral("picCont")));
        // The label beside a check box ticks it.
        QTest::mouseClick(testkit::control(img, QStringLiteral("Label2")), Qt::LeftButton);
        QVERIFY(testkit::control<QCheckBox>(img, QStringLiteral("Check1"))->isChecked());

        Forms::show(QStringLiteral("frmVideo"));
        QCOMPARE(testkit::control<QLabel>(QStringLiteral("frmVideo"), QStringLiteral("Label1"))->text(),
                 QStringLiteral("FileName (*.avi)"));
        Forms::show(QStringLiteral("bgImg"));
        QCOMPARE(testkit::control<QLabel>(QStringLiteral("bgImg"), QStringLiteral("Label1"))->text(),
                 QStringLiteral("Image Name"));
        for (const char* name : {"frmVideo", "bgImg"}) {
            const QString d = QLatin1String(name);
            QCOMPARE(testkit::control<QPushButton>(d, QStringLiteral("FB1"))->text(), QStringLiteral("Apply"));
            QCOMPARE(testkit::control<QPushButton>(d, QStringLiteral("FB2"))->text(), QStringLiteral("Cancel"));
            QCOMPARE(testkit::control<QPushButton>(d, QStringLiteral("FB3"))->text(), QStringLiteral("Browse"));
        }
    }

    void image_data()
    {
        QTest::addColumn<bool>("centre");
        QTest::addColumn<bool>("lineBreak");
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("closing");
        QTest::newRow("centred, line break") << true << true << "<CENTER><IMG SRC=\"" << "\"></CENTER><BR>";
        QTest::newRow("centred") << true << false << "<CENTER><IMG SRC=\"" << "\"></CENTER>";
        QTest::newRow("line break") << false << true << "<IMG SRC=\"" << "\"><BR>";
        QTest::newRow("plain") << false << false << "<IMG SRC=\"" << "\">";
    }
    // Each variant writes its three pieces at the caret, then the line break, and closes.
    void image()
    {
        QFETCH(bool, centre);
        QFETCH(bool, lineBreak);
        QFETCH(QString, opening);
        QFETCH(QString, closing);
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        const int undoBefore = app.doc()->history().undoCount();
        app.trigger(QStringLiteral("mnuInsIMg"));
        const QString name = QStringLiteral(" pics/My \"best\" <1>.jpg ");
        text1(QStringLiteral("frmImg"))->setText(name);
        check("Check1", centre);
        check("Check2", lineBreak);
        testkit::press(QStringLiteral("frmImg"), QStringLiteral("Command1"));

        const QList<Run> runs = testkit::colourRuns(app.edit());
        const QList<Run> expected{{opening, magenta}, {name, black}, {closing + "\r\n", magenta},
                                  {page::newPageTemplate(), black}};
        QVERIFY2(runs == expected, qPrintable(testkit::describe(runs)));
        const int lineEnd = app.edit()->text().indexOf(QLatin1String("\r\n")) + 2;
        QCOMPARE(app.doc()->savedCaret(), lineEnd);
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 4);
        QVERIFY(!testkit::form(QStringLiteral("frmImg")));
        app.type(QStringLiteral("z"));
        QCOMPARE(testkit::colourAt(app.edit(), lineEnd), black);
    }

    // The video clip is one piece in the colour in force at the caret; the caret is not
    // recorded; an empty name still gives the whole element.
    void video()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.doc()->recordCaret();
        const int savedBefore = app.doc()->savedCaret();
        const int undoBefore = app.doc()->history().undoCount();
        open(app, QStringLiteral("frmLnkImg.FB5"), QStringLiteral("frmVideo"));
        const QColor inForce(10, 20, 30);
        app.edit()->setSelColor(inForce);
        testkit::press(QStringLiteral("frmVideo"), QStringLiteral("FB1"));
        const QString element = QStringLiteral(
            R"(<p><img dynsrc="" start="fileopen" width="382" height="65" alt=""></p>)");
        const QList<Run> runs = testkit::colourRuns(app.edit());
        const QList<Run> expected{{element + "\r\n", inForce}, {page::newPageTemplate(), black}};
        QVERIFY2(runs == expected, qPrintable(testkit::describe(runs)));
        QCOMPARE(app.doc()->savedCaret(), savedBefore);
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 2);
        QVERIFY(!testkit::form(QStringLiteral("frmVideo")));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    // The body tag goes in at the caret even though the page has one already.
    void backgroundImage()
    {
        App app;
        app.newDocument();
        const int caret = 40; // the template's own <BODY>
        app.edit()->setSelStart(caret);
        open(app, QStringLiteral("mnu1.btnBkg"), QStringLiteral("bgImg"));
        text1(QStringLiteral("bgImg"))->setText(QStringLiteral("tiles/back ground.gif"));
        testkit::press(QStringLiteral("bgImg"), QStringLiteral("FB1"));
        const QString tpl = page::newPageTemplate();
        const QList<Run> expected{{tpl.left(caret), black},
                                  {QStringLiteral("<BODY BACKGROUND=\""), magenta},
                                  {QStringLiteral("tiles/back ground.gif"), black},
                                  {QStringLiteral("\">\r\n"), magenta},
                                  {tpl.mid(caret), black}};
        const QList<Run> runs = testkit::colourRuns(app.edit());
        QVERIFY2(runs == expected, qPrintable(testkit::describe(runs)));
        QCOMPARE(app.edit()->text().count(QLatin1String("<BODY")), 2);
        QCOMPARE(app.doc()->savedCaret(), app.edit()->selStart());
        QVERIFY(!testkit::form(QStringLiteral("bgImg")));
    }

    // Reader format names -> the patterns of "All Pictures", in a fixed order.
    void allPicturesPatterns_data()
    {
        QTest::addColumn<QList<QByteArray>>("formats");
        QTest::addColumn<QStringList>("patterns");
        QTest::newRow("built-in readers") << QList<QByteArray>{"bmp", "gif", "jpeg", "jpg", "png"}
                                          << QStringList{"*.png", "*.jpg", "*.jpeg", "*.gif"};
        QTest::newRow("every kind") << QList<QByteArray>{"avif", "svg", "webp", "gif", "jpeg", "png", "svgz"}
                                    << QStringList{"*.png", "*.jpg", "*.jpeg", "*.gif", "*.webp", "*.svg", "*.avif"};
        QTest::newRow("no reader") << QList<QByteArray>{} << QStringList{};
    }
    void allPicturesPatterns()
    {
        QFETCH(QList<QByteArray>, formats);
        QFETCH(QStringList, patterns);
        QCOMPARE(platform::picturePatterns(formats), patterns);
        // The readers the program's packages bring (scripts/deps installs them).
        const QStringList here = platform::picturePatterns();
        QVERIFY2(here.contains("*.webp") && here.contains("*.svg"), qPrintable(here.join(' ')));
    }

    void browse_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("filter");
        // The given filter first, then every picture an installed reader can read.
        const QString pictures = QStringLiteral("Jpeg Files(*.jpg, *.jpeg)|*.jpg;*.jpeg|Gif Files(*.gif)|*.gif"
                                                "|All Pictures|") +
                                 platform::picturePatterns().join(QLatin1Char(';'));
        QTest::newRow("frmImg") << "frmImg" << "Command3" << pictures;
        QTest::newRow("frmVideo") << "frmVideo" << "FB3" << "Video Files(*.avi)|*.avi";
        QTest::newRow("bgImg") << "bgImg" << "FB3" << pictures;
    }
    // A chosen file's own name replaces the box; a cancelled Open dialog leaves it alone.
    void browse()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, button);
        QFETCH(QString, filter);
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        Forms::show(dialog);
        text1(dialog)->setText(QStringLiteral("typed.jpg"));
        ScriptedChooser chooser;
        chooser.install();
        chooser.answer = QStringLiteral("/srv/other folder/sub/Holiday Pic.JPG");
        testkit::press(dialog, button);
        QCOMPARE(chooser.requests.size(), 1);
        QCOMPARE(chooser.requests[0].kind, platform::FileDialogKind::Open);
        QCOMPARE(chooser.requests[0].filter, filter);
        QCOMPARE(chooser.parents[0], testkit::form(dialog));
        QCOMPARE(text1(dialog)->text(), QStringLiteral("Holiday Pic.JPG"));

        chooser.answer.clear(); // cancelled
        testkit::press(dialog, button);
        QCOMPARE(chooser.requests.size(), 2);
        QCOMPARE(text1(dialog)->text(), QStringLiteral("Holiday Pic.JPG"));
        QVERIFY(Forms::isVisible(dialog));
        QCOMPARE(app.edit()->text(), before);
        QTRY_COMPARE(QApplication::activeWindow(), testkit::form(dialog));
    }

    // The real Open dialog, called from a red dialog, keeps the platform's look rather than
    // the caller's yellow captions; cancelling it leaves the box as it was.
    void openDialogKeepsItsLook()
    {
        App app;
        platform::resetFileChooser();
        platform::setUseNativeFileDialog(false);
        app.trigger(QStringLiteral("mnuInsIMg"));
        text1(QStringLiteral("frmImg"))->setText(QStringLiteral("keep.gif"));
        const auto chooser = testkit::answerNextModal([](QWidget* window) {
            auto* dialog = qobject_cast<QDialog*>(window);
            QVERIFY(dialog);
            QCOMPARE(dialog->objectName(), QStringLiteral("dlgCommonDialog"));
            const bool ownWindow = !dialog->parentWidget();
            bool yellow = false;
            for (const QLabel* l : dialog->findChildren<QLabel*>())
                yellow = yellow || l->palette().color(l->foregroundRole()) == QColor(255, 255, 0);
            dialog->reject();
            QVERIFY(!yellow);
            QVERIFY(ownWindow);
        });
        testkit::press(QStringLiteral("frmImg"), QStringLiteral("Command3"));
        platform::fileChooser() = [](QWidget*, const platform::FileRequest&) { return QString(); };
        QVERIFY(chooser.shown());
        QCOMPARE(text1(QStringLiteral("frmImg"))->text(), QStringLiteral("keep.gif"));
    }

    // frmImg's Cancel is the common cancel; the video and background Cancels only close.
    void cancel_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("recordsCaret");
        QTest::newRow("frmImg") << "frmImg" << "Command2" << true;
        QTest::newRow("frmVideo") << "frmVideo" << "FB2" << false;
        QTest::newRow("bgImg") << "bgImg" << "FB2" << false;
        QTest::newRow("frmVideo close box") << "frmVideo" << "" << false;
    }
    void cancel()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, button);
        QFETCH(bool, recordsCaret);
        App app;
        app.newDocument();
        app.edit()->setSelStart(5);
        app.doc()->recordCaret();
        const QString before = app.edit()->text();
        Forms::show(dialog);
        text1(dialog)->setText(QStringLiteral("x.gif"));
        app.edit()->setSelStart(33);
        if (button.isEmpty())
            testkit::form(dialog)->close();
        else
            testkit::press(dialog, button);
        QVERIFY(!testkit::form(dialog));
        QCOMPARE(app.edit()->text(), before);
        QCOMPARE(app.doc()->savedCaret(), recordsCaret ? 33 : 5);
        if (recordsCaret)
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    // Menu Items sits at the second toolbar button's left and 250 twips below the first
    // button's top, both in the buttons' own coordinates. Font does nothing; Exit closes it.
    void menuItemsPalette()
    {
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        app.trigger(QStringLiteral("filMnuItems"));
        QWidget* palette = testkit::form(QStringLiteral("mnu1"));
        QVERIFY(palette && palette->isVisible());
        const QWidget* fb1 = app.main().findChild<QWidget*>(QStringLiteral("FB1"));
        const QWidget* fb2 = app.main().findChild<QWidget*>(QStringLiteral("FB2"));
        QCOMPARE(palette->pos().x(), fb2->x());
        QCOMPARE(palette->pos().y(), platform::twipsToPixels(platform::pixelsToTwips(fb1->y()) + 250));
        QCOMPARE(testkit::control<QPushButton>(QStringLiteral("mnu1"), QStringLiteral("btnBkg"))->text(),
                 QStringLiteral("Background Image"));

        testkit::press(QStringLiteral("mnu1"), QStringLiteral("btnFont"));
        QCOMPARE(testkit::form(QStringLiteral("mnu1")), palette);
        QVERIFY(palette->isVisible());
        testkit::press(QStringLiteral("mnu1"), QStringLiteral("btnExit"));
        QVERIFY(!testkit::form(QStringLiteral("mnu1")));
        QVERIFY(!testkit::form(QStringLiteral("bgImg")));
        QCOMPARE(app.edit()->text(), before);
    }

    // A second press while the dialog unloads inserts nothing more.
    void applyTwice()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        for (const char* dialog : {"frmImg", "frmVideo", "bgImg"}) {
            const QString d = QLatin1String(dialog);
            Forms::show(d);
            text1(d)->setText(QStringLiteral("a.gif"));
            auto* apply = testkit::control<QPushButton>(d, QLatin1String(d == "frmImg" ? "Command1" : "FB1"));
            QTest::mouseClick(apply, Qt::LeftButton);
            QTest::mouseClick(apply, Qt::LeftButton);
        }
        QCOMPARE(app.edit()->text(),
                 QStringLiteral("<IMG SRC=\"a.gif\">\r\n"
                                R"(<p><img dynsrc="a.gif" start="fileopen" width="382" height="65" alt="a.gif"></p>)"
                                "\r\n<BODY BACKGROUND=\"a.gif\">\r\n") + page::newPageTemplate());
    }

    void keyboardOnly()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuInsIMg"));
        QWidget* dlg = testkit::form(QStringLiteral("frmImg"));
        QTRY_COMPARE(QApplication::activeWindow(), dlg);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Text1"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("k.gif"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Check1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // Apply is the default
        QVERIFY(app.edit()->text().startsWith(QStringLiteral("<CENTER><IMG SRC=\"k.gif\"></CENTER>\r\n<HTML>")));
    }

    // With no document open every button does what it does to its own window and nothing
    // else; nothing breaks.
    void noDocumentOpen()
    {
        App app;
        ScriptedChooser chooser;
        chooser.install();
        chooser.answer = QStringLiteral("/tmp/some/pic.gif");
        struct Press {
            const char* form;
            const char* button;
            bool closes;
        };
        const Press presses[] = {
            {"frmImg", "Command3", false}, {"frmImg", "Command1", true},  {"frmImg", "Command2", true},
            {"frmVideo", "FB3", false},    {"frmVideo", "FB1", true},     {"frmVideo", "FB2", true},
            {"bgImg", "FB3", false},       {"bgImg", "FB1", true},        {"bgImg", "FB2", true},
            {"mnu1", "btnFont", false},    {"mnu1", "btnExit", true},     {"mnu1", "btnBkg", true},
        };
        for (const Press& p : presses) {
            const QString form = QLatin1String(p.form);
            Forms::show(form);
            if (form == QLatin1String("frmImg"))
                check("Check2", true); // the variant that gives the editor the focus at the end
            testkit::press(form, QLatin1String(p.button));
            QCOMPARE(testkit::form(form) != nullptr, !p.closes);
        }
        QVERIFY(Forms::isVisible(QStringLiteral("bgImg"))); // Background Image led on to it
        QVERIFY(!app.doc());
    }
};

QTEST_MAIN(PictureDialogsTest)
#include "tst_picturedialogs.moc"
