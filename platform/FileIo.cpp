#include "platform/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform::files {

namespace {

WriteFault& fault()
{
    static WriteFault current;
    return current;
}

// Whether a fault is injected for this write; its reason then goes to `reason`.
bool injectedFault(const QString& path, QString* reason)
{
    if (!fault())
        return false;
    *reason = fault()(path);
    return !reason->isEmpty();
}

QString errorText(int error) { return qt_error_string(error); }

// The reason for refusing something on disk that is not a regular file.
QString notAFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("It is a folder, not a file.");
    if (S_ISFIFO(mode))
        return QStringLiteral("It is a named pipe (FIFO), not a file.");
    if (S_ISSOCK(mode))
        return QStringLiteral("It is a socket, not a file.");
    if (S_ISCHR(mode))
        return QStringLiteral("It is a character device, not a file.");
    if (S_ISBLK(mode))
        return QStringLiteral("It is a block device, not a file.");
    return QStringLiteral("It is not a regular file.");
}

QString tooLarge(qint64 maxBytes)
{
    return QStringLiteral("The file is too large (more than %1 MB).").arg(maxBytes / (1024 * 1024));
}

// A file descriptor, closed when it goes out of scope.
struct Descriptor {
    int fd;
    explicit Descriptor(int opened) : fd(opened) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    // Closes now, for the error a late write-back can report.
    bool close()
    {
        return ::close(std::exchange(fd, -1)) == 0;
    }
};

// Gives a new file the old one's owner and group as far as the process may: only the
// superuser can give a file away, and other users only to a group of their own. Where it may
// not, the file keeps the process's owner and group, as any new file would.
void keepOwner(int fd, const struct stat& old)
{
    struct stat now;
    if (fd < 0 || ::fstat(fd, &now) != 0 || (now.st_uid == old.st_uid && now.st_gid == old.st_gid))
        return;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0)
        return;
    // A change of owner clears the set-id bits: the old mode again (failing that, the file
    // keeps the permissions it was given on creation).
    ::fchmod(fd, old.st_mode & 07777);
}

enum class Written { Yes, No, NoNewFile };

// Writes a new file beside the old one and puts it in the old one's place once complete.
// NoNewFile: the new file could not be made (nothing was touched).
Written writeReplacing(const QString& path, const QByteArray& bytes, const struct stat* old,
                       QString* reason)
{
    QSaveFile file(path);
    // Never the direct write: it empties the file before the new content is in.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return Written::NoNewFile;
    }
    if (old)
        keepOwner(file.handle(), *old);
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written != bytes.size()) {
        *reason = file.errorString();
        file.cancelWriting();
        return Written::No;
    }
    if (injectedFault(path, reason)) {
        file.cancelWriting();
        return Written::No;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return Written::No;
    }
    return Written::Yes;
}

// Writes over the file itself, for a file whose every name must go on seeing the new content
// or one in a folder where no new file can be made. The content is complete in memory before
// the old is touched, and the room it needs is claimed first, so that a full disk fails
// before anything is overwritten. `touched` says whether a failure came after that.
bool writeInPlace(const QString& path, const QByteArray& bytes, qint64 oldSize, QString* reason,
                  bool* touched)
{
    *touched = false;
    Descriptor d{::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC)};
    if (d.fd < 0) {
        *reason = errorText(errno);
        return false;
    }
    if (bytes.size() > oldSize) {
        const int error = ::posix_fallocate(d.fd, 0, bytes.size());
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) { // EINVAL: not supported here
            *reason = errorText(error);
            return false;
        }
    }
    if (injectedFault(path, reason))
        return false;
    *touched = true;
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(d.fd, bytes.constData() + done,
                                   static_cast<size_t>(bytes.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *reason = errorText(n < 0 ? errno : ENOSPC);
            return false;
        }
        done += n;
    }
    if (::ftruncate(d.fd, bytes.size()) != 0 || ::fsync(d.fd) != 0 || !d.close()) {
        *reason = errorText(errno);
        return false;
    }
    return true;
}

// Writes in place, and says so in the reason of a failure: why that way was taken, and whether
// the old content is still whole.
bool writeInPlaceSaying(const QString& path, const QByteArray& bytes, qint64 oldSize,
                        const QString& why, QString* reason)
{
    bool touched = false;
    if (writeInPlace(path, bytes, oldSize, reason, &touched))
        return true;
    *reason = QStringLiteral("It was written in place, %1: %2. %3")
                  .arg(why, *reason,
                       touched ? QStringLiteral("Part of the file may have been overwritten.")
                               : QStringLiteral("The file was not changed."));
    return false;
}

} // namespace

void setWriteFault(WriteFault f) { fault() = std::move(f); }

QString saveFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("The file \"%1\" could not be saved.\n%2").arg(path, reason);
}

bool readFile(const QString& path, QByteArray* bytes, QString* reason, qint64 maxBytes,
              FileIdentity* identity)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    // Look before opening: opening a pipe can wait for a writer, opening a device can act on it.
    if (::stat(name.constData(), &st) != 0) {
        *reason = errorText(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *reason = notAFile(st.st_mode);
        return false;
    }
    // Without waiting, and looked at again once open: the name may have changed hands between.
    Descriptor d{::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (d.fd < 0 || ::fstat(d.fd, &st) != 0) {
        *reason = errorText(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *reason = notAFile(st.st_mode);
        return false;
    }
    if (st.st_size > maxBytes) {
        *reason = tooLarge(maxBytes);
        return false;
    }
    // The size is a hint (a file can grow while it is read, some report none): never more
    // than one byte past the limit is read.
    QByteArray data(static_cast<qsizetype>(st.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == data.size()) {
            if (filled > maxBytes)
                break;
            data.resize(std::min<qint64>(maxBytes + 1, std::max<qint64>(filled * 2, 65536)));
        }
        const ssize_t n = ::read(d.fd, data.data() + filled, static_cast<size_t>(data.size() - filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *reason = errorText(errno);
            return false;
        }
        if (n == 0)
            break;
        filled += n;
    }
    if (filled > maxBytes) {
        *reason = tooLarge(maxBytes);
        return false;
    }
    data.resize(filled);
    if (identity)
        *identity = {QFileInfo(path).absoluteFilePath(), filled, modifiedNs(st), contentHash(data)};
    *bytes = std::move(data);
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* reason,
                         FileIdentity* identity)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    const bool exists = ::stat(name.constData(), &st) == 0;
    if (exists) {
        if (!S_ISREG(st.st_mode)) {
            *reason = notAFile(st.st_mode);
            return false;
        }
        // The mode bits, whoever we are (the superuser may write anything), then our access.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(name.constData(), W_OK) != 0) {
            *reason = QStringLiteral("The file is read-only.");
            return false;
        }
    }
    bool written = false;
    if (exists && st.st_nlink > 1) {
        written = writeInPlaceSaying(path, bytes, st.st_size,
                                     QStringLiteral("as it has more than one name (hard links)"), reason);
    } else {
        const Written replaced = writeReplacing(path, bytes, exists ? &st : nullptr, reason);
        written = replaced == Written::Yes;
        // No new file beside it (a folder of someone else's): the file itself, room first.
        if (replaced == Written::NoNewFile && exists)
            written = writeInPlaceSaying(
                path, bytes, st.st_size,
                QStringLiteral("as no new file could be made beside it (%1)").arg(*reason), reason);
    }
    if (written && identity)
        *identity = identityOf(path, bytes);
    return written;
}

} // namespace platform::files
