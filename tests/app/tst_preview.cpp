#include "support/EachCaseApart.h"
#include "support/FakeDesktop.h"
#include "support/TestKit.h"

#include "app/Preview.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/FileChooser.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <memory>

using testkit::App;

namespace {

QByteArray bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList probes()
{
    return QDir(QDir::tempPath()).entryList({"temphtm-*"}, QDir::Files);
}

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testkit::FakeDesktop> m_desktop;

private slots:
    void initTestCase() { testkit::isolate(); }
    void init()
    {
        m_desktop = std::make_unique<testkit::FakeDesktop>();
        workspace::shared().pageSaved = false;
        workspace::shared().dialogFileName.clear();
        testkit::takeMessages();
    }
    void cleanup()
    {
        platform::fileChooser() = [](QWidget*, const platform::FileRequest&) { return QString(); };
        m_desktop.reset();
    }

    void noBrowserIsReportedAndTheProbeIsGone()
    {
        App app;
        app.click("FB3");
        const QStringList before = probes();
        app.click("FB23");
        QCOMPARE(testkit::takeMessages(),
                 QStringList{"Browser Not Found: Could not find associated Browser"});
        QCOMPARE(probes(), before);
        // The page was written and the document now bears the preview file's name.
        const QString page = preview::previewFilePath();
        QCOMPARE(app.doc()->windowTitle(), page);
        QCOMPARE(bytes(page), app.edit()->text().toUtf8());
    }

    void previewTwiceReusesThePreviewFile()
    {
        m_desktop->registerBrowser(m_desktop->fakeBrowser() + " %f");
        App app;
        app.click("FB3");
        app.click("FB23");
        QTRY_COMPARE(m_desktop->launched(), QStringList{preview::previewFilePath()});
        QFile::remove(m_desktop->log());
        app.type("changed ");
        app.click("FB23");
        QTRY_COMPARE(m_desktop->launched(), QStringList{preview::previewFilePath()});
        QVERIFY(bytes(preview::previewFilePath()).startsWith("changed "));
        QVERIFY(testkit::takeMessages().isEmpty());
    }

    void aSavedPagePreviewsThroughItsOwnFile()
    {
        m_desktop->registerBrowser(m_desktop->fakeBrowser() + " %u");
        const QString saved = m_desktop->filePath("site/index.htm");
        QDir().mkpath(m_desktop->filePath("site"));
        platform::fileChooser() = [saved](QWidget*, const platform::FileRequest&) { return saved; };
        App app;
        app.click("FB3");
        frmDocument* first = app.doc();
        app.trigger("mnuFileSave"); // the first Save goes through the dialog
        QVERIFY(workspace::shared().pageSaved);
        QCOMPARE(first->windowTitle(), saved);
        app.type("more ");
        app.click("FB23");
        // A local page goes to the browser as its path, also where the entry takes URLs.
        QTRY_COMPARE(m_desktop->launched(), QStringList{saved});
        QVERIFY(bytes(saved).startsWith("more "));

        // Another page, never saved, must not be written over the saved one.
        QFile::remove(m_desktop->log());
        app.main().LoadANewDoc();
        app.type("other ");
        app.click("FB23");
        QTRY_COMPARE(m_desktop->launched(), QStringList{preview::previewFilePath()});
        QVERIFY(bytes(saved).startsWith("more "));
        QVERIFY(bytes(preview::previewFilePath()).startsWith("other "));
    }

    // Only a page file is ever written for the browser: a document named after any other file
    // previews through the preview file and leaves its own file as it was.
    void otherFilesAreNeverWrittenForThePreview_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("editing file") << "page.hted";
        QTest::newRow("editing file, upper case") << "PAGE.HTED";
        QTest::newRow("text file") << "notes.txt";
    }
    void otherFilesAreNeverWrittenForThePreview()
    {
        QFETCH(QString, name);
        m_desktop->registerBrowser(m_desktop->fakeBrowser() + " %f");
        const QString own = m_desktop->filePath(name);
        {
            QFile f(own);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("{\\rtf1 kept}");
        }
        App app;
        app.click("FB3");
        app.doc()->setWindowTitle(own);
        workspace::shared().pageSaved = true;
        app.click("FB23");
        QTRY_COMPARE(m_desktop->launched(), QStringList{preview::previewFilePath()});
        QCOMPARE(bytes(own), QByteArray("{\\rtf1 kept}"));
        QVERIFY(testkit::takeMessages().isEmpty());
    }

    void browserThatCannotStartIsReported()
    {
        m_desktop->registerBrowser(m_desktop->brokenBrowser() + " %f");
        App app;
        app.click("FB3");
        app.click("FB23");
        // The desktop's launcher reports a program it cannot execute a moment after the start.
        QStringList shown;
        QTRY_VERIFY((shown << testkit::takeMessages(), !shown.isEmpty()));
        QTest::qWait(100);
        QCOMPARE(shown << testkit::takeMessages(), QStringList{"URL Failed: Web Page not Opened"});
    }

    void unwritablePreviewFileIsReportedAndNothingChanges()
    {
        // The data folder is a plain file: the preview file cannot be made.
        testkit::FakeDesktop::write(m_desktop->filePath("blocked"), "x");
        qputenv("XDG_DATA_HOME", m_desktop->filePath("blocked").toUtf8());
        App app;
        app.click("FB3");
        const QString caption = app.doc()->windowTitle();
        app.click("FB23");
        const QStringList shown = testkit::takeMessages();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains("Temp.htm"), qPrintable(shown.first()));
        QCOMPARE(app.doc()->windowTitle(), caption);
    }

    void nothingHappensWithNoDocument()
    {
        App app;
        app.main().enableToolbar();
        app.click("FB23");
        QVERIFY(testkit::takeMessages().isEmpty());
        QVERIFY(!QFile::exists(preview::previewFilePath()));
    }
};

HALVANE_TEST_MAIN_EACH_CASE_APART(PreviewTest, QApplication)
#include "tst_preview.moc"
