// One page carrying every script effect, built through the running program the way a user
// builds it: File > New with its colours, a page transition, a dynamic animation, the three
// VBScript snippets, the gradient rule, BackTrack View, a shadowed heading, image layering
// and the status-bar scrolly. Each effect must land on the page exactly once.
//
// When HALVANE_EFFECTS_PAGE names a file the page is saved there (with the pictures it
// refers to beside it); when HALVANE_FRAMESET_PAGE names a file, a 30/70 frameset page is
// written there pointing at two small frame pages beside it. tests/e2e/chromium_check.sh
// loads both in a browser.
#include "support/TestKit.h"

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/RichEdit.h"
#include "document/UpDown.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "effects/DhtmlEffects.h"
#include "effects/DynamicAnimation.h"
#include "effects/PageTransitions.h"
#include "effects/ScrollyScript.h"
#include "platform/FileChooser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using testkit::App;

namespace {

QLineEdit* box(const char* form, const char* name)
{
    return testkit::control<QLineEdit>(QLatin1String(form), QLatin1String(name));
}

// A small picture, so that the page loads without missing files.
void writePicture(const QString& path, QColor colour)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY2(image.save(path, "PNG"), qPrintable(path));
}

const QString message = QStringLiteral("Welcome to the effects page");
const QString heading = QStringLiteral("Shadowed Effects");

} // namespace

class EffectsPageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void everyEffectOnOnePage()
    {
        workspace::shared().pageTransitionTag.clear();
        App app;
        testkit::answerModal(QStringLiteral("color"), [](QWidget* dlg) {
            QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("FB1")), Qt::LeftButton);
        });
        app.newDocument();
        QVERIFY(app.doc());
        QVERIFY(app.edit()->text().contains(QLatin1String("<BODY BGCOLOR=")));

        // A checkerboard transition, from the Dynamic HTML palette's Page Load button.
        app.main().enableToolbar();
        app.click(QStringLiteral("FB20"));
        testkit::press(QStringLiteral("frmDyn"), QStringLiteral("FB5"));
        QVERIFY(testkit::form(QStringLiteral("frmLoader")));
        testkit::control<QRadioButton>(QStringLiteral("frmLoader"), QStringLiteral("Option4"))->click();
        testkit::press(QStringLiteral("frmLoader"), QStringLiteral("FB1"));
        QVERIFY(!testkit::form(QStringLiteral("frmLoader")));

        // A picture flying in from the bottom right.
        app.trigger(QStringLiteral("mnuEffDynAni"));
        QVERIFY(testkit::form(QStringLiteral("frmDynAnim")));
        testkit::control<QRadioButton>(QStringLiteral("frmDynAnim"), QStringLiteral("Option1"))->click();
        box("frmDynAnim", "Text1")->setText(QStringLiteral("fly.png"));
        testkit::press(QStringLiteral("frmDynAnim"), QStringLiteral("FB1"));
        QVERIFY(!testkit::form(QStringLiteral("frmDynAnim")));

        for (const char* item : {"mnuEffDate", "mnuEffMod", "mnuEffBGColor", "mnuEffGradHR"})
            app.trigger(QLatin1String(item));

        app.trigger(QStringLiteral("mnuEffBTV"));
        testkit::press(QStringLiteral("frmBTV"), QStringLiteral("Option4"));
        testkit::press(QStringLiteral("frmBTV"), QStringLiteral("FB1"));
        QVERIFY(!testkit::form(QStringLiteral("frmBTV")));

        app.trigger(QStringLiteral("mnuEffShad"));
        box("frmShadow", "Text1")->setText(heading);
        testkit::press(QStringLiteral("frmShadow"), QStringLiteral("Command1"));
        QVERIFY(!testkit::form(QStringLiteral("frmShadow")));

        app.trigger(QStringLiteral("mnuEffLayer"));
        const char* names[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9"};
        const char* values[] = {"one.png", "two.png", "40", "40", "40", "40", "200", "300", "300"};
        for (int i = 0; i < 9; ++i)
            box("frmLayer", names[i])->setText(QLatin1String(values[i]));
        testkit::press(QStringLiteral("frmLayer"), QStringLiteral("FB1"));
        QVERIFY(!testkit::form(QStringLiteral("frmLayer")));

        app.trigger(QStringLiteral("mnuEffScrolly"));
        box("frmScrolly", "Text1")->setText(message);
        testkit::press(QStringLiteral("frmScrolly"), QStringLiteral("FB1"));
        QVERIFY(!testkit::form(QStringLiteral("frmScrolly")));
        QCOMPARE(testkit::takeMessages(), QStringList());

        // Each effect's characteristic text, once.
        const QString page = app.edit()->text();
        const QString once[] = {
            transitions::tag(11),
            QString::fromLatin1(dynanim::onloadAttribute),
            dynanim::scriptPieces().join(QLatin1String("\r\n")),
            dynanim::element({QStringLiteral("flyBottomRight"), QStringLiteral("fly.png"),
                              QStringLiteral("50"), QStringLiteral("50")}),
            QStringLiteral("Sub PrintWelcome"),
            QStringLiteral("document.lastModified"),
            QStringLiteral("Random = Rnd * 7"),
            QStringLiteral("<TD WIDTH=\"10%\" BGCOLOR=#000097>"),
            QStringLiteral("var where = document.referrer"),
            QStringLiteral("<FONT COLOR=Blue>"),
            dhtml::shadowedHeadingPiece(heading, false),
            QStringLiteral("function slide_em() {"),
            QStringLiteral("<IMG SRC=\"two.png\" ID=graphic2"),
            scrolly::callPiece(message),
        };
        for (const QString& text : once)
            QVERIFY2(page.count(text) == 1, qPrintable(QStringLiteral("%1 times: %2").arg(page.count(text)).arg(text)));
        // The script goes into the head, the attribute into the one body tag.
        QVERIFY(page.indexOf(QLatin1String("</HEAD>")) > page.indexOf(dynanim::scriptPieces().constLast()));
        QVERIFY(page.contains(QLatin1String("<BODY onload=\"dynAnimation()\" BGCOLOR=")));

        const QString target = qEnvironmentVariable("HALVANE_EFFECTS_PAGE");
        if (!target.isEmpty()) {
            QString reason;
            QVERIFY2(files::writePage(*app.doc(), target, &reason), qPrintable(reason));
            const QDir dir = QFileInfo(target).absoluteDir();
            writePicture(dir.filePath(QStringLiteral("fly.png")), Qt::red);
            writePicture(dir.filePath(QStringLiteral("one.png")), Qt::green);
            writePicture(dir.filePath(QStringLiteral("two.png")), Qt::blue);
            QFile saved(target);
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromLatin1(saved.readAll()), page);
        }
    }

    void framesetPage()
    {
        const QString target = qEnvironmentVariable("HALVANE_FRAMESET_PAGE");
        if (target.isEmpty())
            QSKIP("HALVANE_FRAMESET_PAGE not set");
        const QDir dir = QFileInfo(target).absoluteDir();
        // Frame pages that say in the console that they loaded.
        for (const char* side : {"left", "right"})
            testkit::writeBytes(dir.filePath(QStringLiteral("%1.htm").arg(QLatin1String(side))),
                      QByteArray("<HTML><HEAD><SCRIPT>console.log(\"frame ") + side +
                          " loaded\")</SCRIPT></HEAD><BODY>" + side + " frame</BODY></HTML>");

        App app;
        platform::fileChooser() = [target](QWidget*, const platform::FileRequest& r) {
            return r.kind == platform::FileDialogKind::Save ? target : QString();
        };
        app.trigger(QStringLiteral("mnuFormatFrames"));
        QVERIFY(testkit::form(QStringLiteral("frmFrame")));
        QVERIFY(testkit::control<QRadioButton>(QStringLiteral("frmFrame"), QStringLiteral("Option1"))->isChecked());
        testkit::control<UpDown>(QStringLiteral("frmFrame"), QStringLiteral("UpDown1"))->setValue(30);
        box("frmFrame", "Text3")->setText(QStringLiteral("left.htm"));
        box("frmFrame", "Text4")->setText(QStringLiteral("right.htm"));
        testkit::press(QStringLiteral("frmFrame"), QStringLiteral("FB1"));
        platform::fileChooser() = [](QWidget*, const platform::FileRequest&) { return QString(); };
        QCOMPARE(testkit::takeMessages(), QStringList());

        QFile saved(target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(),
                 QByteArray(R"(<HTML><FRAMESET COLS="30%,70%"><FRAME SRC="left.htm"><FRAME SRC="right.htm"></FRAMESET><BODY></BODY></HTML>)"));
    }
};

QTEST_MAIN(EffectsPageTest)
#include "tst_effectspage.moc"
