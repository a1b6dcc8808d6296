// The image-layering, scrolly and frameset dialogs in the running program: what they write
// into the document or into a file, their cancels, failures, and every button with no
// document open.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/UpDown.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "effects/LayerScript.h"
#include "effects/ScrollyScript.h"
#include "platform/FileChooser.h"
#include "platform/FileIo.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using platform::FileDialogKind;
using platform::FileRequest;
using testkit::App;
using testkit::Run;

namespace {

const QColor olive(130, 130, 55);
const QColor teal(0, 100, 90);
const QColor black(0, 0, 0);

QLineEdit* box(const char* form, const char* name)
{
    return testkit::control<QLineEdit>(QLatin1String(form), QLatin1String(name));
}

// The file dialog answered as a user would: one scripted answer per showing ("" = Cancel).
struct ScriptedDialog {
    QStringList answers;
    QList<FileRequest> shown;
};
ScriptedDialog scripted;

void compareRuns(const RichEdit* edit, const QList<Run>& expected)
{
    const QList<Run> runs = testkit::colourRuns(edit);
    QVERIFY2(runs == expected, qPrintable(testkit::describe(runs)));
}

QString lines(const QStringList& pieces) { return pieces.join(QLatin1String("\r\n")) + QLatin1String("\r\n"); }

void fillLayering(const QString& left, const QString& top1, const QString& top2)
{
    const char* names[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
    const char* values[] = {"a.gif", "b.gif", "40", "41", "50", "51"};
    for (int i = 0; i < 6; ++i)
        box("frmLayer", names[i])->setText(QLatin1String(values[i]));
    box("frmLayer", "Text7")->setText(left);
    box("frmLayer", "Text8")->setText(top1);
    box("frmLayer", "Text9")->setText(top2);
}

layering::Values values(const char* left, const char* top1, const char* top2)
{
    return {"a.gif", "b.gif", "40", "41", "50", "51", left, top1, top2};
}

// What the insert steps put into a page: each piece, a line break for each Enter.
QString typedLines(const Steps& steps)
{
    QString text;
    for (const Step& s : steps) {
        if (const auto* piece = std::get_if<step::InsertPiece>(&s))
            text += piece->text;
        else if (std::holds_alternative<step::NewLine>(s))
            text += QLatin1String("\r\n");
    }
    return text;
}

QStringList layeringHead(const QString& top1, const QString& top2, const QString& left)
{
    return {
        R"(<IMG SRC="a.gif" ID=graphic1 STYLE="container:positioned; position:absolute; top:)" + top1 +
            R"(; left:0; height:40; width:41; zIndex:1" > )",
        R"(<IMG SRC="b.gif" ID=graphic2 STYLE="container:positioned; position:absolute; top:)" + top2 +
            "; left:" + left + R"(; height:50; width:51; zIndex:2">)",
        R"(<SCRIPT LANGUAGE="JavaScript">)", "function slide_em() {", "where++;"};
}

} // namespace

class LayerScrollyFrameDialogsTest : public QObject {
    Q_OBJECT
    QTemporaryDir* m_dir = nullptr;

    QString path(const char* name) const { return m_dir->filePath(QLatin1String(name)); }

private slots:
    void initTestCase() { testkit::isolate(); }

    void init()
    {
        m_dir = new QTemporaryDir;
        scripted = {};
        platform::fileChooser() = [](QWidget*, const FileRequest& r) {
            scripted.shown.append(r);
            return scripted.answers.isEmpty() ? QString() : scripted.answers.takeFirst();
        };
        workspace::shared().dialogFileName.clear();
        testkit::takeMessages();
    }

    void cleanup()
    {
        platform::files::setWriteFault({});
        QVERIFY2(scripted.answers.isEmpty(), "a scripted dialog answer was not used");
        delete m_dir;
        QCOMPARE(testkit::takeMessages(), QStringList());
    }

    // ---- Image layering ----

    void layeringInsertsRoundedPositions()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuEffLayer"));
        QWidget* dlg = testkit::form(QStringLiteral("frmLayer"));
        QVERIFY(dlg && dlg->isVisible());
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Image Layering"));
        for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9"})
            QCOMPARE(box("frmLayer", name)->text(), QString());

        fillLayering(QStringLiteral(" 100 "), QStringLiteral("12.5"), QStringLiteral(" 13.5"));
        testkit::press(QStringLiteral("frmLayer"), QStringLiteral("FB1"));

        // The generator's pieces are checked against their table elsewhere; here they must
        // reach the page as lines in the layering colour, with the positions rounded.
        const QString inserted = typedLines(layering::apply(values("100", "12", "14")).steps);
        QVERIFY(inserted.startsWith(lines(layeringHead("12", "14", "100"))));
        QCOMPARE(inserted.count(QLatin1String("\r\n")), 20);
        compareRuns(app.edit(), {{inserted, olive}, {page::newPageTemplate(), black}});
        QCOMPARE(app.doc()->savedCaret(), inserted.size());
        QVERIFY(!testkit::form(QStringLiteral("frmLayer")));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
        app.type(QStringLiteral("z"));
        QCOMPARE(testkit::colourAt(app.edit(), inserted.size()), black);
    }

    void layeringErrors_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top1");
        QTest::addColumn<QString>("inserted"); // what stays in the document
        QTest::newRow("empty L") << "" << "0" << "";
        QTest::newRow("blank top") << "10" << "  " << "";
        QTest::newRow("text for a number") << "ten" << "0" << "";
        QTest::newRow("2L does not fit: the first five pieces stay")
            << "1073741824" << "1" << lines(layeringHead("1", "2", "1073741824"));
    }
    void layeringErrors()
    {
        QFETCH(QString, left);
        QFETCH(QString, top1);
        QFETCH(QString, inserted);
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuEffLayer"));
        fillLayering(left, top1, QStringLiteral("2"));
        app.edit()->setSelStart(0);
        testkit::press(QStringLiteral("frmLayer"), QStringLiteral("FB1"));

        QCOMPARE(testkit::takeMessages(), QStringList{layering::errorMessage});
        QVERIFY(!testkit::form(QStringLiteral("frmLayer")));
        if (inserted.isEmpty())
            compareRuns(app.edit(), {{page::newPageTemplate(), black}});
        else
            compareRuns(app.edit(), {{inserted, olive}, {page::newPageTemplate(), black}});
        QCOMPARE(app.doc()->savedCaret(), inserted.size());
    }

    void layeringCancelAndBrowse()
    {
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        app.trigger(QStringLiteral("mnuEffLayer"));

        scripted.answers = {QStringLiteral("/pictures/holiday/sea.jpg"), QString(), QStringLiteral("/x/sky.gif")};
        testkit::press(QStringLiteral("frmLayer"), QStringLiteral("FB3"));
        QCOMPARE(box("frmLayer", "Text1")->text(), QStringLiteral("sea.jpg"));
        testkit::press(QStringLiteral("frmLayer"), QStringLiteral("FB3")); // cancelled: kept
        QCOMPARE(box("frmLayer", "Text1")->text(), QStringLiteral("sea.jpg"));
        testkit::press(QStringLiteral("frmLayer"), QStringLiteral("FB4"));
        QCOMPARE(box("frmLayer", "Text2")->text(), QStringLiteral("sky.gif"));
        QCOMPARE(scripted.shown.size(), 3);
        for (const FileRequest& r : scripted.shown) {
            QCOMPARE(r.kind, FileDialogKind::Open);
            QCOMPARE(r.filter, platform::withAllPictures(QStringLiteral("Jpeg Files(*.jpg, *.jpeg)|*.jpg;*.jpeg|Gif Files(*.gif)|*.gif")));
        }

        app.edit()->setSelStart(12);
        testkit::press(QStringLiteral("frmLayer"), QStringLiteral("FB2"));
        QVERIFY(!testkit::form(QStringLiteral("frmLayer")));
        QCOMPARE(app.edit()->text(), before);
        QCOMPARE(app.doc()->savedCaret(), 12);
    }

    // ---- Scrolly ----

    void scrollyInsertsTheScript()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuEffScrolly"));
        QWidget* dlg = testkit::form(QStringLiteral("frmScrolly"));
        QVERIFY(dlg && dlg->isVisible());
        QCOMPARE(dlg->windowTitle(), QStringLiteral("StatusBar Scrolly"));
        QCOMPARE(box("frmScrolly", "Text1")->text(), QString());
        QTest::keyClicks(box("frmScrolly", "Text1"), QStringLiteral("Hello"));
        testkit::press(QStringLiteral("frmScrolly"), QStringLiteral("FB1"));

        const QString inserted = typedLines(scrolly::apply(QStringLiteral("Hello")));
        QVERIFY(inserted.startsWith(QLatin1String("<script>\r\nscrolly (\"Hello\")\r\n")));
        compareRuns(app.edit(), {{inserted, teal}, {page::newPageTemplate(), black}});
        QCOMPARE(app.doc()->savedCaret(), inserted.size());
        QVERIFY(!testkit::form(QStringLiteral("frmScrolly")));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    void scrollyCancel()
    {
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        app.trigger(QStringLiteral("mnuEffScrolly"));
        box("frmScrolly", "Text1")->setText(QStringLiteral("unused"));
        app.edit()->setSelStart(20);
        testkit::press(QStringLiteral("frmScrolly"), QStringLiteral("FB2"));
        QVERIFY(!testkit::form(QStringLiteral("frmScrolly")));
        QCOMPARE(app.edit()->text(), before);
        QCOMPARE(app.doc()->savedCaret(), 20);
    }

    // ---- Frameset page ----

    void framesetStartsAtHalfAndHalf()
    {
        App app;
        app.trigger(QStringLiteral("mnuFormatFrames"));
        QWidget* dlg = testkit::form(QStringLiteral("frmFrame"));
        QVERIFY(dlg && dlg->isVisible());
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Create A Frameset Page"));
        QVERIFY(testkit::control<QRadioButton>("frmFrame", "Option1")->isChecked());
        QVERIFY(!testkit::control<QRadioButton>("frmFrame", "Option2")->isChecked());
        QVERIFY(!testkit::control<QCheckBox>("frmFrame", "Check1")->isChecked());
        QCOMPARE(box("frmFrame", "Text1")->text(), QStringLiteral("50"));
        QCOMPARE(box("frmFrame", "Text2")->text(), QStringLiteral("50"));
        QCOMPARE(box("frmFrame", "Text3")->text(), QString());
        QCOMPARE(box("frmFrame", "Text4")->text(), QString());
        UpDown* up1 = testkit::control<UpDown>("frmFrame", "UpDown1");
        UpDown* up2 = testkit::control<UpDown>("frmFrame", "UpDown2");
        QCOMPARE(up1->value(), 50);
        QCOMPARE(up1->minimum(), 0);
        QCOMPARE(up1->maximum(), 100);
        QCOMPARE(up2->value(), 50);
        QWidget* hidden = testkit::control("frmFrame", "txtText");
        QVERIFY(hidden && !hidden->isVisible());

        // The up-downs keep the shares at 100 between them.
        up1->setValue(70);
        QCOMPARE(box("frmFrame", "Text1")->text(), QStringLiteral("70"));
        QCOMPARE(box("frmFrame", "Text2")->text(), QStringLiteral("30"));
        QCOMPARE(up2->value(), 30);
        QTest::mouseClick(up2->findChild<QToolButton*>(QStringLiteral("up")), Qt::LeftButton);
        QCOMPARE(box("frmFrame", "Text1")->text(), QStringLiteral("69"));
        QCOMPARE(box("frmFrame", "Text2")->text(), QStringLiteral("31"));
        QTest::keyClick(up1, Qt::Key_End);
        QCOMPARE(box("frmFrame", "Text1")->text(), QStringLiteral("100"));
        QCOMPARE(box("frmFrame", "Text2")->text(), QStringLiteral("0"));

        // A typed share moves nothing else.
        box("frmFrame", "Text1")->setText(QStringLiteral("80"));
        QCOMPARE(box("frmFrame", "Text2")->text(), QStringLiteral("0"));
        QCOMPARE(up1->value(), 100);
    }

    void framesetSavedExactly()
    {
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        app.trigger(QStringLiteral("mnuFormatFrames"));
        testkit::control<UpDown>("frmFrame", "UpDown1")->setValue(30);
        box("frmFrame", "Text3")->setText(QStringLiteral("index.htm"));
        box("frmFrame", "Text4")->setText(QStringLiteral("main.htm"));
        workspace::shared().dialogFileName = path("earlier.htm");
        scripted.answers = {path("frames.htm")};
        testkit::press(QStringLiteral("frmFrame"), QStringLiteral("FB1"));

        QCOMPARE(testkit::readBytes(path("frames.htm")),
                 QByteArray(R"(<HTML><FRAMESET COLS="30%,70%"><FRAME SRC="index.htm"><FRAME SRC="main.htm"></FRAMESET><BODY></BODY></HTML>)"));
        QCOMPARE(scripted.shown.size(), 1);
        QCOMPARE(scripted.shown[0].kind, FileDialogKind::Save);
        QCOMPARE(scripted.shown[0].filter, QStringLiteral("HTM Files (*.htm)|*.htm|HTML Files (*.html)|*.html"));
        QCOMPARE(scripted.shown[0].fileName, path("earlier.htm"));
        QCOMPARE(workspace::shared().dialogFileName, path("frames.htm"));
        QVERIFY(!testkit::form(QStringLiteral("frmFrame")));
        QCOMPARE(app.edit()->text(), before); // the document is not touched
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    void framesetHorizontalWithoutBorder()
    {
        App app;
        app.newDocument();
        app.main().enableToolbar();
        // From the Format palette's Frames button.
        app.click(QStringLiteral("FB7"));
        testkit::press(QStringLiteral("frmFormat"), QStringLiteral("FB7"));
        QVERIFY(!testkit::form(QStringLiteral("frmFormat")));
        QVERIFY(testkit::form(QStringLiteral("frmFrame")));
        testkit::control<QRadioButton>("frmFrame", "Option2")->click();
        testkit::control<QCheckBox>("frmFrame", "Check1")->click();
        box("frmFrame", "Text1")->setText(QStringLiteral("80")); // typed: Text2 stays 50
        box("frmFrame", "Text3")->setText(QStringLiteral("top.htm"));
        writeExisting(path("frames.html"), "old page");
        scripted.answers = {path("frames.html")};
        testkit::press(QStringLiteral("frmFrame"), QStringLiteral("FB1"));
        QCOMPARE(testkit::readBytes(path("frames.html")),
                 QByteArray(R"(<HTML><FRAMESET ROWS="80%,50%"FRAMEBORDER=NO BORDER=1 FRAMESPACING=0><FRAME SRC="top.htm"><FRAME SRC=""></FRAMESET><BODY></BODY></HTML>)"));
    }

    void framesetSaveCancelled()
    {
        App app;
        app.newDocument();
        app.trigger(QStringLiteral("mnuFormatFrames"));
        workspace::shared().dialogFileName = path("earlier.htm");
        scripted.answers = {QString()};
        testkit::press(QStringLiteral("frmFrame"), QStringLiteral("FB1"));
        QCOMPARE(scripted.shown.size(), 1);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(workspace::shared().dialogFileName, path("earlier.htm"));
        QVERIFY(!testkit::form(QStringLiteral("frmFrame")));
    }

    void framesetWriteFailureIsReported()
    {
        App app;
        app.newDocument();
        app.trigger(QStringLiteral("mnuFormatFrames"));
        writeExisting(path("full.htm"), "old page");
        platform::files::setWriteFault([](const QString&) { return QStringLiteral("No space left on device"); });
        workspace::shared().dialogFileName = path("earlier.htm");
        scripted.answers = {path("full.htm")};
        testkit::press(QStringLiteral("frmFrame"), QStringLiteral("FB1"));

        const QStringList messages = testkit::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(path("full.htm")), qPrintable(messages[0]));
        QVERIFY2(messages[0].contains(QLatin1String("No space left on device")), qPrintable(messages[0]));
        QCOMPARE(testkit::readBytes(path("full.htm")), QByteArray("old page"));
        QCOMPARE(workspace::shared().dialogFileName, path("earlier.htm"));
        QVERIFY(!testkit::form(QStringLiteral("frmFrame")));
    }

    void framesetCancelGivesTheEditorTheFocus()
    {
        App app;
        app.newDocument();
        const QString before = app.edit()->text();
        app.trigger(QStringLiteral("mnuFormatFrames"));
        QTRY_COMPARE(QApplication::activeWindow(), testkit::form(QStringLiteral("frmFrame")));
        testkit::press(QStringLiteral("frmFrame"), QStringLiteral("FB2"));
        QVERIFY(!testkit::form(QStringLiteral("frmFrame")));
        QCOMPARE(scripted.shown.size(), 0);
        QCOMPARE(app.edit()->text(), before);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    // ---- No document open ----

    void everyButtonWithNoDocument()
    {
        App app;
        struct Press {
            const char* menu;
            const char* form;
            const char* button;
            bool closes;
        };
        const Press presses[] = {
            {"mnuEffLayer", "frmLayer", "FB3", false}, {"mnuEffLayer", "frmLayer", "FB4", false},
            {"mnuEffLayer", "frmLayer", "FB1", true},  {"mnuEffLayer", "frmLayer", "FB2", true},
            {"mnuEffScrolly", "frmScrolly", "FB1", true}, {"mnuEffScrolly", "frmScrolly", "FB2", true},
            {"mnuFormatFrames", "frmFrame", "FB1", true}, {"mnuFormatFrames", "frmFrame", "FB2", true},
        };
        for (const Press& p : presses) {
            app.trigger(QLatin1String(p.menu));
            if (QLatin1String(p.form) == QLatin1String("frmLayer"))
                fillLayering(QStringLiteral("5"), QStringLiteral("1"), QStringLiteral("2"));
            testkit::press(QLatin1String(p.form), QLatin1String(p.button));
            QCOMPARE(testkit::form(QLatin1String(p.form)) == nullptr, p.closes);
        }
        // Apply with a number missing still reports and closes; the frameset page is written
        // even with no document, since it never touches one.
        app.trigger(QStringLiteral("mnuEffLayer"));
        testkit::press(QStringLiteral("frmLayer"), QStringLiteral("FB1"));
        QCOMPARE(testkit::takeMessages(), QStringList{layering::errorMessage});
        QVERIFY(!testkit::form(QStringLiteral("frmLayer")));
        app.trigger(QStringLiteral("mnuFormatFrames"));
        scripted.answers = {path("alone.htm")};
        testkit::press(QStringLiteral("frmFrame"), QStringLiteral("FB1"));
        QVERIFY(QFile::exists(path("alone.htm")));
        QVERIFY(!app.doc());
    }

private:
    static void writeExisting(const QString& file, const QByteArray& bytes)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
};

QTEST_MAIN(LayerScrollyFrameDialogsTest)
#include "tst_layerscrollyframe_dialogs.moc"
