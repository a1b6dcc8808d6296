#pragma once

// A desktop of the test's own: XDG folders in a temporary directory, and on request a fake
// web browser (a script that writes its arguments to a log) registered as the default
// program for pages. The system's type database stays in view; its programs do not.
// GLib reads the XDG folders once per process: a test that sets up more than one desktop
// runs each case in a process of its own (EachCaseApart.h).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace testkit {

class FakeDesktop {
public:
    FakeDesktop()
    {
        for (const char* name : variables)
            m_saved << qgetenv(name);
        QDir home(m_home.path());
        home.mkpath("data/applications");
        home.mkpath("config");
        home.mkpath("sysdata");
        QFile::link("/usr/share/mime", m_home.filePath("sysdata/mime"));
        qputenv("XDG_DATA_HOME", m_home.filePath("data").toUtf8());
        qputenv("XDG_DATA_DIRS", m_home.filePath("sysdata").toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath("config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", m_home.filePath("noconfig").toUtf8());
        write(m_home.filePath("fakebrowser"),
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + log() + "'\n", true);
        // A program that is there but cannot be started: its interpreter is missing.
        write(m_home.filePath("brokenbrowser"), "#!/no/such/interpreter\n", true);
    }
    ~FakeDesktop()
    {
        for (int i = 0; i < m_saved.size(); ++i)
            qputenv(variables[i], m_saved.at(i));
    }

    QString filePath(const QString& name) const { return m_home.filePath(name); }
    QString fakeBrowser() const { return filePath("fakebrowser"); }
    QString brokenBrowser() const { return filePath("brokenbrowser"); }
    QString log() const { return filePath("args.log"); }

    // Registers `exec` (a command line with its field codes) as the default for pages.
    void registerBrowser(const QString& exec)
    {
        addEntry("fake.desktop", exec, "text/html;");
        setDefaults({"text/html=fake.desktop"});
    }

    // A desktop entry of the user's, e.g. "halvane.desktop", declaring `types` ("a;b;").
    void addEntry(const QString& id, const QString& exec, const QString& types)
    {
        write(filePath("data/applications/" + id),
              "[Desktop Entry]\nType=Application\nName=" + id + "\nExec=" + exec +
                  "\nMimeType=" + types + "\n[Desktop Action new]\nExec=wrong %u\n");
    }

    // The user's default programs, lines such as "text/html=fake.desktop".
    void setDefaults(const QStringList& lines)
    {
        write(filePath("config/mimeapps.list"), "[Default Applications]\n" + lines.join('\n') + "\n");
    }

    // The arguments of the last start of the fake browser (empty until it has run).
    QStringList launched() const
    {
        QFile f(log());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    static void write(const QString& path, const QString& text, bool executable = false)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        f.write(text.toUtf8());
        f.close();
        if (executable)
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    static constexpr const char* variables[] = {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME",
                                                "XDG_CONFIG_DIRS"};
    QTemporaryDir m_home;
    QList<QByteArray> m_saved;
};

} // namespace testkit
