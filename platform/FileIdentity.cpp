#include "platform/FileIdentity.h"

#include "platform/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <sys/stat.h>

namespace platform::files {

namespace {

QString absolute(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

} // namespace

qint64 modifiedNs(const struct stat& st)
{
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool FileIdentity::isOf(const QString& other) const
{
    return !path.isEmpty() && path == absolute(other);
}

quint64 contentHash(QByteArrayView bytes)
{
    // A fixed non-zero seed: Qt then hashes with the processor's AES instructions where it has
    // them, at several GB/s, so even a page at the size limit costs a fraction of its reading.
    constexpr size_t seed = 0x9E3779B97F4A7C15ull;
    return qHashBits(bytes.data(), static_cast<size_t>(bytes.size()), seed);
}

FileIdentity identityOf(const QString& path, QByteArrayView bytes)
{
    FileIdentity id{absolute(path), bytes.size(), 0, contentHash(bytes)};
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        id.size = st.st_size;
        id.modifiedNs = modifiedNs(st);
    }
    return id;
}

DiskState diskState(const FileIdentity& known)
{
    struct stat st;
    if (::stat(QFile::encodeName(known.path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? DiskState::Gone : DiskState::Changed;
    if (st.st_size != known.size)
        return DiskState::Changed;
    if (modifiedNs(st) == known.modifiedNs)
        return DiskState::AsKnown;
    QByteArray bytes;
    QString reason;
    if (!readFile(known.path, &bytes, &reason))
        return DiskState::Changed;
    return bytes.size() == known.size && contentHash(bytes) == known.hash ? DiskState::AsKnown
                                                                          : DiskState::Changed;
}

} // namespace platform::files
