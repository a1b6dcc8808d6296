// The Marquee & Sound palette, the marquee and the background-sound dialogs, opened every way
// the user can open them and driven by their buttons.
#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/UpDown.h"
#include "document/frmDocument.h"
#include "platform/FileChooser.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using testkit::App;
using testkit::Run;

namespace {

const QColor black(0, 0, 0);
const QColor teal(35, 130, 130);
const QColor dullRed(185, 80, 85);

QLineEdit* box(const char* name) { return testkit::control<QLineEdit>(QStringLiteral("sound"), QLatin1String(name)); }
UpDown* loopCount() { return testkit::control<UpDown>(QStringLiteral("sound"), QStringLiteral("UpDown1")); }

// Opens a dialog by a menu item or by the toolbar's FB12 and a palette button ("frmMrqSnd.FBn").
void open(App& app, const QString& how, const QString& dialog)
{
    app.main().enableToolbar();
    if (how.startsWith(QLatin1String("frmMrqSnd."))) {
        app.click(QStringLiteral("FB12"));
        QVERIFY(Forms::isVisible(QStringLiteral("frmMrqSnd")));
        testkit::press(QStringLiteral("frmMrqSnd"), how.mid(10));
        QVERIFY(!testkit::form(QStringLiteral("frmMrqSnd")));
    } else if (how.startsWith(QLatin1String("FB"))) {
        app.click(how);
    } else {
        app.trigger(how);
    }
    QVERIFY2(Forms::isVisible(dialog), qPrintable(dialog));
}

QList<Run> soundRuns(const QString& file, const QString& loops)
{
    const QList<Run> pieces{{QStringLiteral("<bgsound src = \""), dullRed}, {file, black},
                            {QStringLiteral("\" loop=\""), dullRed},        {loops, black},
                            {QStringLiteral("\" > \r\n"), dullRed},         {page::newPageTemplate(), black}};
    // An empty value leaves no run of its own: the tag pieces around it read as one.
    QList<Run> runs;
    for (const Run& r : pieces) {
        if (r.text.isEmpty())
            continue;
        if (!runs.isEmpty() && runs.last().colour == r.colour)
            runs.last().text += r.text;
        else
            runs << r;
    }
    return runs;
}

} // namespace

class MarqueeSoundTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void opening_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("caption");
        QTest::newRow("toolbar Marquees & Sounds") << "FB12" << "frmMrqSnd" << "Marquee & Sound";
        QTest::newRow("palette Marquee") << "frmMrqSnd.FB1" << "frmMarquee" << "Marquee";
        QTest::newRow("Effects > Marquee") << "mnuEffMarq" << "frmMarquee" << "Marquee";
        QTest::newRow("palette Sound") << "frmMrqSnd.FB2" << "sound" << "Insert Background Sound";
        QTest::newRow("Insert > Sound") << "mnuInsSnd" << "sound" << "Insert Background Sound";
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

    void labels()
    {
        App app;
        app.trigger(QStringLiteral("mnuEffMarq"));
        auto* label = testkit::control<QLabel>(QStringLiteral("frmMarquee"), QStringLiteral("Label1"));
        QCOMPARE(label->text(), QStringLiteral("     Whatever you type below will scroll as a Marquee in an "
                                               "Internet Explorer Browser"));
        QCOMPARE(label->parentWidget()->objectName(), QStringLiteral("Frame1"));
        app.trigger(QStringLiteral("mnuInsSnd"));
        QCOMPARE(testkit::control<QLabel>(QStringLiteral("sound"), QStringLiteral("Label1"))->text(),
                 QString(29, QLatin1Char(' ')) + QStringLiteral("Sound File Name"));
        QCOMPARE(testkit::control<QLabel>(QStringLiteral("sound"), QStringLiteral("Label2"))->text(),
                 QStringLiteral("Number of Loops"));
    }

    void marquee_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Effects menu") << "mnuEffMarq";
        QTest::newRow("palette") << "frmMrqSnd.FB1";
    }
    // Typed with real keys: Enter makes line breaks in the box, Tab leaves it. Both ways in
    // give the same result.
    void marquee()
    {
        QFETCH(QString, how);
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        const int undoBefore = app.doc()->history().undoCount();
        open(app, how, QStringLiteral("frmMarquee"));
        QWidget* dlg = testkit::form(QStringLiteral("frmMarquee"));
        QTRY_COMPARE(QApplication::activeWindow(), dlg);
        QWidget* text = QApplication::focusWidget();
        QCOMPARE(text->objectName(), QStringLiteral("Text1"));
        QTest::keyClicks(text, QStringLiteral("Big <b>\"sale\"</b>"));
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, QStringLiteral("  today"));
        QTest::keyClick(text, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Apply"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);

        const QList<Run> expected{{QStringLiteral("<Marquee>"), teal},
                                  {QStringLiteral("Big <b>\"sale\"</b>\r\n  today"), black},
                                  {QStringLiteral("</Marquee>\r\n"), teal},
                                  {page::newPageTemplate(), black}};
        const QList<Run> runs = testkit::colourRuns(app.edit());
        QVERIFY2(runs == expected, qPrintable(testkit::describe(runs)));
        const int lineEnd = app.edit()->text().indexOf(QLatin1String("</Marquee>")) + 12;
        QCOMPARE(app.doc()->savedCaret(), lineEnd);
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 4);
        QVERIFY(!testkit::form(QStringLiteral("frmMarquee")));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    // The loop box reads "0" from the start, and Apply straight away writes a count of 0.
    void soundStraightAway()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        const int undoBefore = app.doc()->history().undoCount();
        open(app, QStringLiteral("frmMrqSnd.FB2"), QStringLiteral("sound"));
        QCOMPARE(box("Text2")->text(), QStringLiteral("0"));
        QCOMPARE(loopCount()->value(), 0);
        QVERIFY(box("Text1")->text().isEmpty());
        testkit::press(QStringLiteral("sound"), QStringLiteral("cmdApply"));
        const QList<Run> runs = testkit::colourRuns(app.edit());
        QVERIFY2(runs == soundRuns(QString(), QStringLiteral("0")), qPrintable(testkit::describe(runs)));
        const int lineEnd = app.edit()->text().indexOf(QLatin1String("\r\n")) + 2;
        QCOMPARE(app.doc()->savedCaret(), lineEnd);
        // One change per piece that has text (the empty file name changes nothing), one for Enter.
        QCOMPARE(app.doc()->history().undoCount(), undoBefore + 5);
        QVERIFY(!testkit::form(QStringLiteral("sound")));
        // The next showing starts fresh.
        app.trigger(QStringLiteral("mnuInsSnd"));
        QCOMPARE(box("Text2")->text(), QStringLiteral("0"));
    }

    // The up-down stays within 0 to 10 and shows its value; a count typed into the box is
    // written as typed, even beyond the up-down's range.
    void loopCounts()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuInsSnd"));
        UpDown* upDown = loopCount();
        upDown->setFocus();
        for (int i = 0; i < 14; ++i)
            QTest::keyClick(upDown, Qt::Key_Up);
        QCOMPARE(upDown->value(), 10);
        QCOMPARE(box("Text2")->text(), QStringLiteral("10"));
        QTest::keyClick(upDown, Qt::Key_Home);
        QTest::keyClick(upDown, Qt::Key_Down);
        QCOMPARE(upDown->value(), 0);
        QCOMPARE(box("Text2")->text(), QStringLiteral("0"));
        QTest::mouseClick(upDown->findChild<QWidget*>(QStringLiteral("up")), Qt::LeftButton);
        QCOMPARE(box("Text2")->text(), QStringLiteral("1"));

        const QString file = QStringLiteral(" songs/My \"tune\" <1>.mid ");
        box("Text1")->setText(file);
        box("Text2")->setText(QStringLiteral("25 "));
        testkit::press(QStringLiteral("sound"), QStringLiteral("cmdApply"));
        const QList<Run> runs = testkit::colourRuns(app.edit());
        QVERIFY2(runs == soundRuns(file, QStringLiteral("25 ")), qPrintable(testkit::describe(runs)));
    }

    // A chosen file's own name replaces the box; a cancelled Open dialog leaves it alone.
    void soundBrowse()
    {
        App app;
        app.newDocument();
        app.trigger(QStringLiteral("mnuInsSnd"));
        box("Text1")->setText(QStringLiteral("typed.wav"));
        QList<platform::FileRequest> requests;
        QString answer = QStringLiteral("/home/u/Music/old/Fanfare.WAV");
        platform::fileChooser() = [&](QWidget*, const platform::FileRequest& r) {
            requests << r;
            return answer;
        };
        testkit::press(QStringLiteral("sound"), QStringLiteral("cmdBrowse"));
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].kind, platform::FileDialogKind::Open);
        QCOMPARE(requests[0].filter, QStringLiteral("Wave Files(*.wav)|*.wav|Midi Files(*.mid)|*.mid"));
        QCOMPARE(box("Text1")->text(), QStringLiteral("Fanfare.WAV"));
        answer.clear();
        testkit::press(QStringLiteral("sound"), QStringLiteral("cmdBrowse"));
        QCOMPARE(requests.size(), 2);
        QCOMPARE(box("Text1")->text(), QStringLiteral("Fanfare.WAV"));
        QCOMPARE(box("Text2")->text(), QStringLiteral("0"));
        platform::fileChooser() = [](QWidget*, const platform::FileRequest&) { return QString(); };
    }

    void cancel_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("button");
        QTest::newRow("frmMrqSnd") << "frmMrqSnd" << "FB3";
        QTest::newRow("frmMarquee") << "frmMarquee" << "Cancel";
        QTest::newRow("sound") << "sound" << "cmdCancel";
        QTest::newRow("sound by Escape") << "sound" << "";
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
        app.edit()->setSelStart(33);
        if (button.isEmpty()) {
            QWidget* dlg = testkit::form(dialog);
            QTRY_COMPARE(QApplication::activeWindow(), dlg);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        } else {
            testkit::press(dialog, button);
        }
        QVERIFY(!testkit::form(dialog));
        QCOMPARE(app.edit()->text(), before);
        QCOMPARE(app.doc()->savedCaret(), 33);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.edit()));
    }

    // A second press while the dialog unloads inserts nothing more.
    void applyTwice()
    {
        App app;
        app.newDocument();
        app.edit()->setSelStart(0);
        app.trigger(QStringLiteral("mnuEffMarq"));
        testkit::control<QPlainTextEdit>(QStringLiteral("frmMarquee"), QStringLiteral("Text1"))->setPlainText(QStringLiteral("m"));
        auto* apply = testkit::control<QPushButton>(QStringLiteral("frmMarquee"), QStringLiteral("Apply"));
        QTest::mouseClick(apply, Qt::LeftButton);
        QTest::mouseClick(apply, Qt::LeftButton);
        app.trigger(QStringLiteral("mnuInsSnd"));
        auto* soundApply = testkit::control<QPushButton>(QStringLiteral("sound"), QStringLiteral("cmdApply"));
        QTest::mouseClick(soundApply, Qt::LeftButton);
        QTest::mouseClick(soundApply, Qt::LeftButton);
        QCOMPARE(app.edit()->text(), QStringLiteral("<Marquee>m</Marquee>\r\n<bgsound src = \"\" loop=\"0\" > \r\n") +
                                         page::newPageTemplate());
    }

    // With no document open every button does what it does to its own window; nothing breaks.
    void noDocumentOpen()
    {
        App app;
        platform::fileChooser() = [](QWidget*, const platform::FileRequest&) { return QStringLiteral("/x/y.wav"); };
        struct Press {
            const char* form;
            const char* button;
            bool closes;
        };
        const Press presses[] = {
            {"frmMrqSnd", "FB3", true},      {"frmMrqSnd", "FB1", true},   {"frmMrqSnd", "FB2", true},
            {"frmMarquee", "Apply", true},   {"frmMarquee", "Cancel", true},
            {"sound", "cmdBrowse", false},   {"sound", "cmdApply", true},  {"sound", "cmdCancel", true},
        };
        for (const Press& p : presses) {
            const QString form = QLatin1String(p.form);
            Forms::show(form);
            testkit::press(form, QLatin1String(p.button));
            QCOMPARE(testkit::form(form) != nullptr, !p.closes);
        }
        platform::fileChooser() = [](QWidget*, const platform::FileRequest&) { return QString(); };
        QVERIFY(!app.doc());
    }
};

QTEST_MAIN(MarqueeSoundTest)
#include "tst_marqueesound.moc"
