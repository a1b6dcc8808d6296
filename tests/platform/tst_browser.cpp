#include "platform/Browser.h"

#include "support/FakeDesktop.h"

#include <QCoreApplication>
#include <QTest>
#include <QUrl>
#include <memory>

using namespace platform::browser;

class BrowserTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testkit::FakeDesktop> m_desktop;

    QString page()
    {
        const QString p = m_desktop->filePath("my page.htm");
        testkit::FakeDesktop::write(p, "<HTML></HTML>\r\n");
        return p;
    }

private slots:
    void init() { m_desktop = std::make_unique<testkit::FakeDesktop>(); }
    void cleanup() { m_desktop.reset(); }

    void noAssociationIsNotFound() { QCOMPARE(openWith(page(), page()), Launch::NotFound); }

    void startsTheAssociatedProgramWithThePage_data()
    {
        QTest::addColumn<QString>("execArgs");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("file") << "%f" << QStringList{"@path"};
        QTest::newRow("url") << "--new-window %U" << QStringList{"--new-window", "@url"};
        QTest::newRow("no field code") << "-x" << QStringList{"-x", "@path"};
        QTest::newRow("icon code dropped, %% kept") << "%i 100%% %u" << QStringList{"100%", "@url"};
    }
    void startsTheAssociatedProgramWithThePage()
    {
        QFETCH(QString, execArgs);
        QFETCH(QStringList, expected);
        m_desktop->registerBrowser(m_desktop->fakeBrowser() + " " + execArgs);
        const QString p = page();
        QCOMPARE(openWith(p, p), Launch::Started);
        QStringList want;
        for (const QString& e : expected)
            want << (e == "@path" ? p : e == "@url" ? QUrl::fromLocalFile(p).toString() : e);
        QTRY_COMPARE(m_desktop->launched(), want);
    }

    void missingProgramFailsToStart()
    {
        m_desktop->registerBrowser(m_desktop->filePath("no-such-browser") + " %u");
        QCOMPARE(openWith(page(), page()), Launch::Failed);
    }

    void programsDeclaringTheTypeAreTheFallback()
    {
        m_desktop->registerBrowser(m_desktop->fakeBrowser() + " %f");
        QFile::remove(m_desktop->filePath("config/mimeapps.list"));
        QCOMPARE(associationFor(page()).desktopEntry, QString());
        testkit::FakeDesktop::write(m_desktop->filePath("data/applications/mimeinfo.cache"),
                                    "[MIME Cache]\ntext/html=gone.desktop;fake.desktop;\n");
        QCOMPARE(associationFor(page()).desktopEntry, QStringLiteral("fake.desktop"));
    }

    void lookupNeedsAnExistingFile()
    {
        m_desktop->registerBrowser(m_desktop->fakeBrowser() + " %u");
        QVERIFY(associationFor(m_desktop->filePath("absent.htm")).program.isEmpty());
        QCOMPARE(associationFor(page()).desktopEntry, QStringLiteral("fake.desktop"));
    }
};

QTEST_GUILESS_MAIN(BrowserTest)
#include "tst_browser.moc"
