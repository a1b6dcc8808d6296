// Unsaved pages are never dropped silently: closing a changed document window or the main
// window asks first, and every answer does what it says.

#include "support/TestKit.h"

#include "app/OpenPages.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/FileChooser.h"
#include "platform/FileIo.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QFile>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using testkit::App;

namespace {

enum Answer { Save, Discard, Cancel };

bool placementStored() { return testkit::settings().contains(QStringLiteral("Settings/MainLeft")); }

void clearPlacement() { testkit::settings().remove(QStringLiteral("Settings")); }

// Answers every question with one button; the real keys are pressed in the real box below.
void answerWith(Answer a)
{
    testkit::answerQuestions([a](const QString&, const QStringList&) { return int(a); });
}

// A changed page of its own: "Document n" with typed text.
frmDocument* changedPage(App& app, const QString& typed = QStringLiteral("typed"))
{
    frmDocument* doc = app.main().LoadANewDoc();
    app.type(typed);
    return doc;
}

// Runs `act` while the real message box is up, pressing `key` in it; the test fails within
// seconds if no box shows.
void pressInRealQuestion(int key, const std::function<void()>& act, QString* shownText)
{
    const auto box = testkit::answerNextModal([&](QWidget* window) {
        auto* question = qobject_cast<QMessageBox*>(window);
        QVERIFY(question);
        *shownText = question->text();
        QTest::keyClick(question, static_cast<Qt::Key>(key));
    });
    act();
}

} // namespace

class ClosingTest : public QObject {
    Q_OBJECT
    QTemporaryDir* m_dir = nullptr;
    QStringList m_dialogAnswers;

private slots:
    void init()
    {
        testkit::isolate(); // also brings back the recording prompts after the real box
        m_dir = new QTemporaryDir;
        m_dialogAnswers.clear();
        platform::fileChooser() = [this](QWidget*, const platform::FileRequest&) {
            return m_dialogAnswers.isEmpty() ? QString() : m_dialogAnswers.takeFirst();
        };
        workspace::shared().dialogFileName.clear();
        answerWith(Discard);
        testkit::takeQuestions();
        testkit::takeMessages();
        clearPlacement();
    }
    void cleanup()
    {
        platform::files::setWriteFault({});
        testkit::answerQuestions({});
        delete m_dir;
    }

    void saveAfterAnEditStillSavesSilently()
    {
        App app;
        const QString page = m_dir->filePath("page.htm");
        m_dialogAnswers << page;
        frmDocument* doc = changedPage(app, QStringLiteral("ab"));
        app.trigger("mnuFileSave"); // asks for the name
        QVERIFY(!doc->isModified());
        app.type(QStringLiteral("c"));
        QVERIFY(doc->isModified());
        auto* frame = qobject_cast<QMdiSubWindow*>(doc->parentWidget());
        QVERIFY(frame->isWindowModified());
        QCOMPARE(doc->windowTitle(), page);
        app.trigger("mnuFileSave"); // the caption still equals the dialog's name: no dialog
        QVERIFY(m_dialogAnswers.isEmpty());
        QVERIFY(testkit::readBytes(page).startsWith("abc<HTML>"));
        QVERIFY(!doc->isModified());
        QVERIFY(!frame->isWindowModified());
        QCOMPARE(testkit::takeQuestions(), QStringList());
    }

    void closingAChangedPage_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("dialog"); // the save dialog's answer, "" = cancelled
        QTest::addColumn<bool>("failWrite");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        QTest::newRow("Save") << int(Save) << "page.htm" << false << true << true;
        QTest::newRow("Save, dialog cancelled") << int(Save) << "" << false << false << false;
        QTest::newRow("Save, write fails") << int(Save) << "page.htm" << true << false << false;
        QTest::newRow("Discard") << int(Discard) << "" << false << true << false;
        QTest::newRow("Cancel") << int(Cancel) << "" << false << false << false;
    }
    void closingAChangedPage()
    {
        QFETCH(int, answer);
        QFETCH(QString, dialog);
        QFETCH(bool, failWrite);
        QFETCH(bool, closes);
        QFETCH(bool, written);
        App app;
        changedPage(app);
        const QString page = m_dir->filePath("page.htm");
        if (!dialog.isEmpty())
            m_dialogAnswers << m_dir->filePath(dialog);
        if (failWrite)
            platform::files::setWriteFault([](const QString&) { return QStringLiteral("disk full"); });
        answerWith(Answer(answer));
        const QString caption = app.doc()->windowTitle();
        app.shortcut(Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(testkit::takeQuestions(),
                 QStringList{QStringLiteral("Save changes to \u201c%1\u201d before closing?").arg(caption)});
        QCOMPARE(app.main().documents().isEmpty(), closes);
        QCOMPARE(QFile::exists(page), written);
        QCOMPARE(testkit::takeMessages().size(), failWrite ? 1 : 0);
        if (!closes)
            QVERIFY(app.doc()->isModified());
    }

    void unchangedPagesCloseWithoutAQuestion()
    {
        App app;
        frmDocument* doc = changedPage(app, QStringLiteral("x"));
        app.key(Qt::Key_Backspace); // back to the template
        QVERIFY(!doc->isModified());
        app.trigger("mnuFileClose");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(app.main().documents().isEmpty());
        app.trigger("mnuFileClose"); // no document: nothing happens
        QCOMPARE(testkit::takeQuestions(), QStringList());
    }

    // The real box: Return presses Save, Escape presses Cancel.
    void realQuestionKeys()
    {
        App app;
        const QString caption = changedPage(app)->windowTitle();
        platform::resetPrompts();
        QString text;
        pressInRealQuestion(Qt::Key_Escape, [&] { app.trigger("mnuFileClose"); }, &text);
        QCOMPARE(text, QStringLiteral("Save changes to \u201c%1\u201d before closing?").arg(caption));
        QCOMPARE(app.main().documents().size(), 1);
        m_dialogAnswers << m_dir->filePath("saved.htm");
        pressInRealQuestion(Qt::Key_Return, [&] { app.trigger("mnuFileClose"); }, &text);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(app.main().documents().isEmpty());
        QVERIFY(QFile::exists(m_dir->filePath("saved.htm")));
    }

    // The real quit question: Escape keeps every page, Return saves them all and ends.
    void realQuitQuestionKeys()
    {
        App app;
        changedPage(app, QStringLiteral("one"));
        changedPage(app, QStringLiteral("two"));
        platform::resetPrompts();
        QString text;
        pressInRealQuestion(Qt::Key_Escape, [&] { app.trigger("mnuFileExit"); }, &text);
        QCOMPARE(text, QStringLiteral("These 2 pages have changes that are not saved:"));
        QVERIFY(app.main().isVisible());
        QCOMPARE(app.main().documents().size(), 2);
        QVERIFY(!placementStored());
        m_dialogAnswers << m_dir->filePath("a.htm") << m_dir->filePath("b.htm");
        pressInRealQuestion(Qt::Key_Return, [&] { app.trigger("mnuFileExit"); }, &text);
        QVERIFY(!app.main().isVisible());
        QVERIFY(QFile::exists(m_dir->filePath("a.htm")));
        QVERIFY(QFile::exists(m_dir->filePath("b.htm")));
    }

    void endingTheProgram_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("dialog");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<int>("filesWritten");
        QTest::newRow("Save All") << int(Save) << QStringList{"a.htm", "b.htm"} << true << 2;
        QTest::newRow("Save All, second dialog cancelled")
            << int(Save) << QStringList{"a.htm", ""} << false << 1;
        QTest::newRow("Discard All") << int(Discard) << QStringList{} << true << 0;
        QTest::newRow("Cancel") << int(Cancel) << QStringList{} << false << 0;
    }
    void endingTheProgram()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, dialog);
        QFETCH(bool, ends);
        QFETCH(int, filesWritten);
        App app;
        const QString first = changedPage(app, QStringLiteral("one"))->windowTitle();
        const QString second = changedPage(app, QStringLiteral("two"))->windowTitle();
        app.main().LoadANewDoc(); // unchanged: not listed
        for (const QString& name : dialog)
            m_dialogAnswers << (name.isEmpty() ? QString() : m_dir->filePath(name));
        answerWith(Answer(answer));
        app.shortcut(Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(testkit::takeQuestions(),
                 QStringList{QStringLiteral("These 2 pages have changes that are not saved:\n%1\n%2")
                                 .arg(first, second)});
        QCOMPARE(app.main().isVisible(), !ends);
        QCOMPARE(placementStored(), ends);
        QCOMPARE(int(QFile::exists(m_dir->filePath("a.htm"))) +
                     int(QFile::exists(m_dir->filePath("b.htm"))),
                 filesWritten);
        if (!ends)
            QCOMPARE(app.main().documents().size(), 3);
    }

    // The questions save each page to its own file, whatever the shared dialog name holds
    // (the last file opened is another page's); only a page without a file asks for a name.
    void questionsSaveEachPageToItsOwnFile()
    {
        App app;
        const QString a = m_dir->filePath("a.htm");
        const QString b = m_dir->filePath("b.htm");
        testkit::writeBytes(a, "a");
        testkit::writeBytes(b, "b");
        QList<platform::FileRequest> shown;
        platform::fileChooser() = [&](QWidget*, const platform::FileRequest& r) {
            shown.append(r);
            return m_dir->filePath("new.htm");
        };
        QString reason;
        for (const QString& file : {a, b}) {
            QVERIFY(files::openPage(app.main(), file, &reason));
            app.type(QStringLiteral("changed "));
        }
        changedPage(app, QStringLiteral("fresh "));
        // Closing one page alone: its own file, no dialog.
        QVERIFY(files::openPage(app.main(), a, &reason)); // brings a.htm forward
        answerWith(Save);
        app.shortcut(Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(testkit::readBytes(a), QByteArray("changed a"));
        QCOMPARE(app.main().documents().size(), 2);
        QVERIFY(shown.isEmpty());
        // Quitting: b.htm to its file, the new page under the name asked for.
        app.shortcut(Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!app.main().isVisible());
        QCOMPARE(testkit::readBytes(a), QByteArray("changed a"));
        QCOMPARE(testkit::readBytes(b), QByteArray("changed b"));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].fileName, QString());
        QVERIFY(testkit::readBytes(m_dir->filePath("new.htm")).startsWith("fresh <HTML>"));
    }
};

QTEST_MAIN(ClosingTest)
#include "tst_closing.moc"
