#include "platform/Browser.h"

#include "support/EachCaseApart.h"
#include "support/FakeDesktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <memory>

using namespace platform::browser;
Q_DECLARE_METATYPE(platform::browser::Launch)

class BrowserTest : public QObject {
    Q_OBJECT

    std::unique_ptr<testkit::FakeDesktop> m_desktop;

    // Children of this process, running or ended and not yet reaped. Waiting for none to be
    // left waits on the started program's actual end and fails when it is never reaped.
    static int children()
    {
        int count = 0;
        const QString me = QString::number(QCoreApplication::applicationPid());
        for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
            QFile stat("/proc/" + pid + "/stat");
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            // "pid (name) state ppid ...": the name may hold spaces, so read after its ')'.
            const QString line = QString::fromLatin1(stat.readAll());
            const QStringList fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            count += fields.size() > 1 && fields[1] == me;
        }
        return count;
    }

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
        // A local page goes as its path, also to a program that takes URLs (%u %U): the
        // desktop opens a local file with such a program the same way.
        QTest::newRow("file") << "%f" << QStringList{"@path"};
        QTest::newRow("url") << "--new-window %U" << QStringList{"--new-window", "@path"};
        QTest::newRow("no field code") << "-x" << QStringList{"-x", "@path"};
        QTest::newRow("icon code dropped, %% kept") << "%i 100%% %u" << QStringList{"100%", "@path"};
        // Desktop-entry quoting: the file's own \\ escape, then quotes with \" \$ \\ inside.
        QTest::newRow("quotes and escapes")
            << R"("two  words" "say \\"hi\\"" "cost \\$5" "back\\\\slash" %f)"
            << QStringList{"two  words", R"(say "hi")", "cost $5", R"(back\slash)", "@path"};
        QTest::newRow("url inside a word") << "--url=%u" << QStringList{"--url=@path"};
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
            want << QString(e).replace("@path", p);
        QTRY_COMPARE(m_desktop->launched(), want);
        // The browser runs on its own: nothing is left for this process to reap.
        QTRY_COMPARE_WITH_TIMEOUT(children(), 0, 10000);
    }

    // A registered program that is not installed is no association (the desktop offers it
    // nowhere). One that is there but cannot be executed is found and handed to the desktop's
    // launcher, which then reports the failure; a receiver gone by then hears nothing.
    void unusableProgram_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<Launch>("result");
        QTest::addColumn<bool>("keepReceiver");
        QTest::addColumn<int>("failuresReported");
        QTest::newRow("not installed") << "no-such-browser" << Launch::NotFound << true << 0;
        QTest::newRow("cannot start") << "brokenbrowser" << Launch::Started << true << 1;
        QTest::newRow("cannot start, receiver gone") << "brokenbrowser" << Launch::Started << false << 0;
    }
    void unusableProgram()
    {
        QFETCH(QString, program);
        QFETCH(Launch, result);
        QFETCH(bool, keepReceiver);
        QFETCH(int, failuresReported);
        m_desktop->registerBrowser(m_desktop->filePath(program) + " %u");
        int reported = 0;
        auto receiver = std::make_unique<QObject>();
        QCOMPARE(openWith(page(), page(), receiver.get(), [&reported] { ++reported; }), result);
        if (!keepReceiver)
            receiver.reset();
        if (failuresReported)
            QTRY_COMPARE(reported, failuresReported);
        QTRY_COMPARE_WITH_TIMEOUT(children(), 0, 10000);
        QCOMPARE(reported, failuresReported);
    }

    // A program that runs and ends on its own, even with a failure of its own, was started.
    void aProgramThatRanIsNoFailure()
    {
        m_desktop->registerBrowser("/bin/false %u");
        int reported = 0;
        QObject receiver;
        QCOMPARE(openWith(page(), page(), &receiver, [&reported] { ++reported; }), Launch::Started);
        QTRY_COMPARE_WITH_TIMEOUT(children(), 0, 10000);
        QCOMPARE(reported, 0);
    }

    // With no default chosen, the programs the desktop lists for the type (its cache of their
    // declarations) are the fallback, the first one installed. One set-up per row: the desktop
    // is read once per process.
    void programsDeclaringTheTypeAreTheFallback_data()
    {
        QTest::addColumn<QString>("cache");
        QTest::addColumn<QString>("entry");
        QTest::newRow("no list, no cache") << QString() << QString();
        QTest::newRow("cache") << "[MIME Cache]\ntext/html=gone.desktop;fake.desktop;\n"
                               << "fake.desktop";
    }
    void programsDeclaringTheTypeAreTheFallback()
    {
        QFETCH(QString, cache);
        QFETCH(QString, entry);
        m_desktop->registerBrowser(m_desktop->fakeBrowser() + " %f");
        QFile::remove(m_desktop->filePath("config/mimeapps.list"));
        if (!cache.isEmpty())
            testkit::FakeDesktop::write(m_desktop->filePath("data/applications/mimeinfo.cache"), cache);
        QCOMPARE(associationFor(page()).desktopEntry, entry);
    }

    // An association the user removed is no association, even while a program declares it.
    void removedAssociationIsNotFound()
    {
        m_desktop->registerBrowser(m_desktop->fakeBrowser() + " %f");
        testkit::FakeDesktop::write(m_desktop->filePath("data/applications/mimeinfo.cache"),
                                    "[MIME Cache]\ntext/html=fake.desktop;\n");
        testkit::FakeDesktop::write(m_desktop->filePath("config/mimeapps.list"),
                                    "[Removed Associations]\ntext/html=fake.desktop;\n");
        QCOMPARE(openWith(page(), page()), Launch::NotFound);
    }

    // Halvane is never its own browser, even where it is the default program for pages (by
    // its entry, or by an entry that starts this very program): the default web browser is
    // taken, else the next program listed for pages, else there is none.
    void neverStartsItself_data()
    {
        QTest::addColumn<bool>("byProgram");
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("found");
        QTest::newRow("our entry, a web browser") << false << "web" << true;
        QTest::newRow("this program, a web browser") << true << "web" << true;
        QTest::newRow("our entry, another program for pages") << false << "listed" << true;
        QTest::newRow("our entry alone") << false << "" << false;
    }
    void neverStartsItself()
    {
        QFETCH(bool, byProgram);
        QFETCH(QString, other);
        QFETCH(bool, found);
        const QString own = byProgram ? "my-editor.desktop" : "halvane.desktop";
        m_desktop->addEntry(own, (byProgram ? QCoreApplication::applicationFilePath() : m_desktop->fakeBrowser() + " self") + " %F",
                            "text/html;");
        QStringList defaults{"text/html=" + own};
        if (other == "web") {
            m_desktop->addEntry("fake.desktop", m_desktop->fakeBrowser() + " %u",
                                "x-scheme-handler/http;x-scheme-handler/https;");
            defaults << "x-scheme-handler/http=fake.desktop";
        } else if (other == "listed") {
            m_desktop->addEntry("fake.desktop", m_desktop->fakeBrowser() + " %u", "text/html;");
            testkit::FakeDesktop::write(m_desktop->filePath("data/applications/mimeinfo.cache"),
                                        "[MIME Cache]\ntext/html=" + own + ";fake.desktop;\n");
        }
        m_desktop->setDefaults(defaults);
        const QString p = page();
        QCOMPARE(associationFor(p).desktopEntry, found ? QStringLiteral("fake.desktop") : QString());
        QCOMPARE(openWith(p, p), found ? Launch::Started : Launch::NotFound);
        if (found)
            QTRY_COMPARE(m_desktop->launched(), QStringList{p});
    }

    void lookupNeedsAnExistingFile()
    {
        m_desktop->registerBrowser(m_desktop->fakeBrowser() + " %u");
        QVERIFY(associationFor(m_desktop->filePath("absent.htm")).program.isEmpty());
        QCOMPARE(associationFor(page()).desktopEntry, QStringLiteral("fake.desktop"));
    }
};

HALVANE_TEST_MAIN_EACH_CASE_APART(BrowserTest, QCoreApplication)
#include "tst_browser.moc"
