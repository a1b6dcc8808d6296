#include "platform/Browser.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace platform::browser;

// A fake desktop: a browser script registered for text/html through XDG folders of its own.
class BrowserTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_log;

    void write(const QString& path, const QString& text, bool executable = false)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
        f.close();
        if (executable)
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void registerBrowser(const QString& exec)
    {
        QDir(m_home.path()).mkpath("data/applications");
        QDir(m_home.path()).mkpath("config");
        write(m_home.filePath("data/applications/fake.desktop"),
              "[Desktop Entry]\nType=Application\nName=Fake\nExec=" + exec +
                  "\nMimeType=text/html;\n[Desktop Action new]\nExec=wrong %u\n");
        write(m_home.filePath("config/mimeapps.list"),
              "[Default Applications]\ntext/html=fake.desktop\n");
    }

    QString page()
    {
        const QString p = m_home.filePath("my page.htm");
        write(p, "<HTML></HTML>\r\n");
        return p;
    }

private slots:
    void init()
    {
        QDir(m_home.path()).removeRecursively();
        QDir().mkpath(m_home.path());
        qputenv("XDG_DATA_HOME", m_home.filePath("data").toUtf8());
        // The system's programs stay out of sight; its type database stays in view.
        QDir(m_home.path()).mkpath("sysdata");
        QFile::link("/usr/share/mime", m_home.filePath("sysdata/mime"));
        qputenv("XDG_DATA_DIRS", m_home.filePath("sysdata").toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath("config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", m_home.filePath("noconfig").toUtf8());
        m_log = m_home.filePath("args.log");
        write(m_home.filePath("fakebrowser"),
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + m_log + "'\n", true);
    }

    void noAssociationIsNotFound()
    {
        QCOMPARE(openWith(page(), page()), Launch::NotFound);
    }

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
        registerBrowser(m_home.filePath("fakebrowser") + " " + execArgs);
        const QString p = page();
        QCOMPARE(openWith(p, p), Launch::Started);
        QStringList want;
        for (const QString& e : expected)
            want << (e == "@path" ? p : e == "@url" ? QUrl::fromLocalFile(p).toString() : e);
        auto logged = [this] {
            QFile log(m_log);
            if (!log.open(QIODevice::ReadOnly))
                return QStringList();
            return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
        };
        QTRY_COMPARE(logged(), want);
    }

    void missingProgramFailsToStart()
    {
        registerBrowser(m_home.filePath("no-such-browser") + " %u");
        const QString p = page();
        QCOMPARE(openWith(p, p), Launch::Failed);
    }

    void programsDeclaringTheTypeAreTheFallback()
    {
        registerBrowser(m_home.filePath("fakebrowser") + " %f");
        QFile::remove(m_home.filePath("config/mimeapps.list"));
        QCOMPARE(associationFor(page()).desktopEntry, QString());
        write(m_home.filePath("data/applications/mimeinfo.cache"),
              "[MIME Cache]\ntext/html=gone.desktop;fake.desktop;\n");
        QCOMPARE(associationFor(page()).desktopEntry, QStringLiteral("fake.desktop"));
    }

    void lookupNeedsAnExistingFile()
    {
        registerBrowser(m_home.filePath("fakebrowser") + " %u");
        QVERIFY(associationFor(m_home.filePath("absent.htm")).program.isEmpty());
        QCOMPARE(associationFor(page()).desktopEntry, QStringLiteral("fake.desktop"));
    }
};

QTEST_GUILESS_MAIN(BrowserTest)
#include "tst_browser.moc"
