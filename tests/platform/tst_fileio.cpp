#include "support/TestKit.h"

#include "platform/FileIo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform::files;
using testkit::readBytes;
using testkit::writeBytes;

namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

const uid_t nobody = 65534;

// Runs `write` in a child process as the user nobody; returns whether it succeeded, and what
// it said in `reason`.
bool writeAsNobody(const std::function<bool(QString*)>& write, QString* reason)
{
    int out[2];
    if (::pipe(out) != 0)
        return false;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        QString why;
        const bool ok = ::setgid(nobody) == 0 && ::setuid(nobody) == 0 && write(&why);
        const QByteArray said = why.toUtf8();
        [[maybe_unused]] const ssize_t n = ::write(out[1], said.constData(), size_t(said.size()));
        ::_exit(ok ? 0 : 1);
    }
    ::close(out[1]);
    QByteArray said;
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, n);
    ::close(out[0]);
    *reason = QString::fromUtf8(said);
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

class FileIoTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    // The limit counts the bytes actually there, whatever size the file claims.
    void sizeLimit_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<bool>("read");
        QTest::newRow("at the limit") << "ten" << qint64(10) << true;
        QTest::newRow("one past") << "ten" << qint64(9) << false;
        QTest::newRow("claims no size") << "/proc/self/status" << maxReadBytes << true;
        QTest::newRow("claims no size, over") << "/proc/self/status" << qint64(8) << false;
    }
    void sizeLimit()
    {
        QFETCH(QString, file);
        QFETCH(qint64, limit);
        QFETCH(bool, read);
        writeBytes(path("ten"), "0123456789");
        const QString target = file.startsWith(QLatin1Char('/')) ? file : path(file);
        QByteArray bytes;
        QString why;
        QCOMPARE(readFile(target, &bytes, &why, limit), read);
        if (read)
            QVERIFY(!bytes.isEmpty() && bytes.size() <= limit);
        else
            QVERIFY2(why.contains(QLatin1String("too large")), qPrintable(why));
    }

    // A file with two names is written in place: both names see the new bytes.
    void hardLinksStayJoined()
    {
        const QString a = path("a.htm"), b = path("b.htm");
        writeBytes(a, "old content, longer than the new");
        QCOMPARE(::link(native(a).constData(), native(b).constData()), 0);
        QString why;
        QVERIFY2(writeFileAtomically(a, "new", &why), qPrintable(why));
        QCOMPARE(readBytes(b), QByteArray("new"));
        QVERIFY2(writeFileAtomically(b, "newer and longer", &why), qPrintable(why));
        QCOMPARE(readBytes(a), QByteArray("newer and longer"));
        struct stat st;
        QCOMPARE(::stat(native(a).constData(), &st), 0);
        QCOMPARE(int(st.st_nlink), 2);
    }

    // A failure injected before an in-place write leaves the old bytes.
    void inPlaceFailureLeavesTheFile()
    {
        const QString a = path("c.htm"), b = path("d.htm");
        writeBytes(a, "old");
        QCOMPARE(::link(native(a).constData(), native(b).constData()), 0);
        setWriteFault([](const QString&) { return QStringLiteral("No space left on device"); });
        QString why;
        QVERIFY(!writeFileAtomically(a, "new", &why));
        setWriteFault({});
        QVERIFY2(why.contains(QLatin1String("No space left on device")) && why.contains(QLatin1String("in place")) &&
                     why.contains(QLatin1String("not changed")),
                 qPrintable(why));
        QCOMPARE(readBytes(b), QByteArray("old"));
    }

    // Saved by the superuser, a user's file stays the user's.
    void ownerAndGroupAreKept()
    {
        if (::geteuid() != 0)
            QSKIP("only the superuser can give a file to another user");
        const QString file = path("owned.htm");
        writeBytes(file, "old");
        QCOMPARE(::chown(native(file).constData(), 4321, 4322), 0);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QString why;
        QVERIFY2(writeFileAtomically(file, "new", &why), qPrintable(why));
        struct stat st;
        QCOMPARE(::stat(native(file).constData(), &st), 0);
        QCOMPARE(int(st.st_uid), 4321);
        QCOMPARE(int(st.st_gid), 4322);
        QCOMPARE(int(st.st_mode & 0777), 0640);
        QCOMPARE(readBytes(file), QByteArray("new"));
    }

    // A writable file in a folder where no new file can be made is written in place, its room
    // claimed first: a full disk leaves it whole, and the reason says how it was written. The
    // superuser can make files anywhere, so as root the write runs as another user.
    void writableFileInReadOnlyFolder_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("written") << QString() << QByteArray("new");
        QTest::newRow("full disk") << QStringLiteral("No space left on device") << QByteArray("old");
    }
    void writableFileInReadOnlyFolder()
    {
        QFETCH(QString, fault);
        QFETCH(QByteArray, after);
        QTemporaryDir outer;
        QVERIFY(QFile::setPermissions(outer.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ExeOther));
        const QString folder = QDir(outer.path()).filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString file = QDir(folder).filePath(QStringLiteral("page.htm"));
        writeBytes(file, "old");
        if (::geteuid() == 0) {
            QCOMPARE(::chown(native(file).constData(), nobody, nobody), 0);
            QCOMPARE(::chown(native(folder).constData(), nobody, nobody), 0);
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        const auto write = [&file](QString* why) { return writeFileAtomically(file, "new", why); };
        setWriteFault([fault](const QString&) { return fault; });
        QString why;
        const bool written = ::geteuid() == 0 ? writeAsNobody(write, &why) : write(&why);
        setWriteFault({});
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readBytes(file), after);
        QVERIFY2(written == fault.isEmpty(), qPrintable(why));
        if (!fault.isEmpty())
            QVERIFY2(why.contains(fault) && why.contains(QLatin1String("in place")), qPrintable(why));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"page.htm"});
    }
};

QTEST_GUILESS_MAIN(FileIoTest)
#include "tst_fileio.moc"
