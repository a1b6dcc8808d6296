#pragma once

#include <QByteArrayView>
#include <QString>

struct stat;

// What a document knows of its file as it last read or wrote it, so that a save can tell
// whether another program has changed the file since.
namespace platform::files {

struct FileIdentity {
    QString path;          // absolute; empty while nothing has been read or written
    qint64 size = -1;
    qint64 modifiedNs = 0; // modification time, nanoseconds since the epoch
    quint64 hash = 0;      // contentHash() of the bytes

    // Whether this is what is known of the file at `path`.
    bool isOf(const QString& path) const;
};

// A fast hash of a file's bytes: it tells changed content from a mere new time stamp. Not
// cryptographic, and only comparable within one run of the program.
quint64 contentHash(QByteArrayView bytes);

// The modification time of a stat() result, in nanoseconds since the epoch.
qint64 modifiedNs(const struct ::stat& st);

// The identity of `bytes` just read from or written to `path`, with the size and time stamp
// the file system gives for it now.
FileIdentity identityOf(const QString& path, QByteArrayView bytes);

enum class DiskState { AsKnown, Changed, Gone };

// The file as it is now against what was known of it. A different size means changed; a
// different time stamp with the same size means changed only when the bytes hash differently
// (a file touched, or written again with the same bytes, is as known). A file that is no
// longer there is Gone.
DiskState diskState(const FileIdentity& known);

} // namespace platform::files
