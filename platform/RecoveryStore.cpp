#include "platform/RecoveryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::recovery {

namespace {

const char pageSuffix[] = ".hted";
const char infoSuffix[] = ".json";
const char lockSuffix[] = ".lock";

// A new file and its replacement are readable by the user alone.
bool writePrivately(const QString& path, const QByteArray& bytes, QString* reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    ::fchmod(file.handle(), S_IRUSR | S_IWUSR);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

QByteArray infoBytes(const PageInfo& info)
{
    QJsonObject o;
    o.insert(QStringLiteral("caption"), info.caption);
    o.insert(QStringLiteral("file"), info.sourceFile);
    o.insert(QStringLiteral("encoding"), info.encoding);
    o.insert(QStringLiteral("time"), info.time.toString(Qt::ISODateWithMs));
    return QJsonDocument(o).toJson();
}

bool parseInfo(const QByteArray& bytes, PageInfo* info)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    if (!o.value(QStringLiteral("caption")).isString())
        return false;
    info->caption = o.value(QStringLiteral("caption")).toString();
    info->sourceFile = o.value(QStringLiteral("file")).toString();
    info->encoding = o.value(QStringLiteral("encoding")).toString();
    info->time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    return true;
}

// The program a copy belongs to: the part of its id before the page number.
QString instanceOf(const QString& id) { return id.section(QLatin1Char('-'), 0, 0); }

} // namespace

QString defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QLatin1String("/recovery");
}

Store::Store(const QString& folder) : m_folder(folder)
{
    m_instance = QString::number(QRandomGenerator::system()->generate64(), 36);
    const QByteArray name = QFile::encodeName(m_folder);
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("The folder could not be made: %1").arg(qt_error_string(errno));
        return;
    }
    // Only a folder of the user's own, never one reached through a link someone planted.
    struct stat st;
    if (::lstat(name.constData(), &st) != 0) {
        m_error = qt_error_string(errno);
        return;
    }
    if (S_ISLNK(st.st_mode)) {
        m_error = QStringLiteral("It is a link to another place, not a folder of its own.");
        return;
    }
    if (!S_ISDIR(st.st_mode)) {
        m_error = QStringLiteral("It is not a folder.");
        return;
    }
    if (st.st_uid != ::geteuid()) {
        m_error = QStringLiteral("The folder belongs to another user.");
        return;
    }
    if (::chmod(name.constData(), S_IRWXU) != 0) {
        m_error = QStringLiteral("The folder could not be made private: %1").arg(qt_error_string(errno));
        return;
    }
    // This program's lock is taken with its first copy (see write()): a lock file is written
    // through to the disk, which a start need not wait for, and no other program can take
    // this program's copies for orphans before there are any.
    m_ready = true;
}

bool Store::holdLock(QString* reason) const
{
    const std::lock_guard<std::mutex> guard(m_lockMutex);
    if (m_lock)
        return true;
    auto lock = std::make_unique<QLockFile>(path(m_instance, lockSuffix));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        QString why;
        if (!QFileInfo(m_folder).isDir())
            why = qt_error_string(ENOENT);
        else if (lock->error() == QLockFile::PermissionError)
            why = qt_error_string(EACCES);
        else if (lock->error() == QLockFile::LockFailedError)
            why = QStringLiteral("another program holds it");
        else
            why = QStringLiteral("unknown error");
        *reason = QStringLiteral("The lock file \"%1\" could not be made: %2.").arg(lock->fileName(), why);
        return false;
    }
    m_lock = std::move(lock);
    return true;
}

Store::~Store() = default;

QString Store::path(const QString& id, const char* suffix) const
{
    return m_folder + QLatin1Char('/') + id + QLatin1String(suffix);
}

QString Store::copyId(int n) const { return m_instance + QLatin1Char('-') + QString::number(n); }

bool Store::write(const QString& id, const QByteArray& page, const PageInfo& info,
                  QString* reason) const
{
    if (!m_ready) {
        *reason = m_error;
        return false;
    }
    if (!holdLock(reason))
        return false;
    // The page first: a side file always names a complete page.
    return writePrivately(path(id, pageSuffix), page, reason) &&
           writePrivately(path(id, infoSuffix), infoBytes(info), reason);
}

void Store::remove(const QString& id) const
{
    QFile::remove(path(id, infoSuffix));
    QFile::remove(path(id, pageSuffix));
}

QList<Copy> Store::claimOrphans(QStringList* damaged)
{
    QList<Copy> found;
    if (!m_ready)
        return found;
    const QDir dir(m_folder);
    QSet<QString> claimed;
    QSet<QString> running;
    const QStringList pages =
        dir.entryList({QLatin1String("*") + QLatin1String(pageSuffix)}, QDir::Files, QDir::Name);
    for (const QString& name : pages) {
        const QString id = name.chopped(int(sizeof(pageSuffix)) - 1);
        const QString instance = instanceOf(id);
        if (instance == m_instance || running.contains(instance))
            continue;
        if (!claimed.contains(instance)) {
            auto lock = std::make_unique<QLockFile>(path(instance, lockSuffix));
            lock->setStaleLockTime(0); // only a program that is gone leaves a stale lock
            if (!lock->tryLock(0)) {
                running.insert(instance);
                continue;
            }
            m_claims.push_back(std::move(lock));
            claimed.insert(instance);
        }
        Copy copy{id, path(id, pageSuffix), path(id, infoSuffix), {}};
        QFile info(copy.infoPath);
        if (!info.open(QIODevice::ReadOnly) || !parseInfo(info.read(64 * 1024), &copy.info)) {
            if (damaged)
                damaged->append(name);
            continue;
        }
        found.append(copy);
    }
    return found;
}

void Store::releaseClaims() { m_claims.clear(); }

bool Store::readPage(const Copy& copy, QByteArray* page, QString* reason)
{
    QFile file(copy.pagePath);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    *page = file.readAll();
    return true;
}

void Store::discard(const Copy& copy) const
{
    QFile::remove(copy.infoPath);
    QFile::remove(copy.pagePath);
}

void Store::setAside(const QString& fileName) const
{
    const QString from = m_folder + QLatin1Char('/') + fileName;
    QFile::remove(from + QLatin1String(".damaged"));
    QFile::rename(from, from + QLatin1String(".damaged"));
    const QString id = QFileInfo(fileName).completeBaseName();
    if (QFile::exists(path(id, infoSuffix)))
        QFile::rename(path(id, infoSuffix), path(id, infoSuffix) + QLatin1String(".damaged"));
}

} // namespace platform::recovery
