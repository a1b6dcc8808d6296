#pragma once

#include "platform/FileIdentity.h"

#include <QByteArray>
#include <QString>
#include <functional>

// Reading and writing whole files, with the reason of every failure in words.
namespace platform::files {

// Pages larger than this are refused rather than loaded into the editor.
inline constexpr qint64 maxReadBytes = qint64(256) * 1024 * 1024;

// Reads a whole regular file. Anything else (a folder, a named pipe, a socket, a device) is
// refused before it is opened, and the file is opened without waiting for a writer, so that
// nothing blocks; no more than maxBytes + 1 bytes are read. On failure returns false and says
// why in `reason`. `identity`, when given, receives the identity of the bytes read.
bool readFile(const QString& path, QByteArray* bytes, QString* reason,
              qint64 maxBytes = maxReadBytes, FileIdentity* identity = nullptr);

// Writes a file so that a failure never leaves it half written where that can be avoided: the
// bytes go to a new file beside it that replaces the old one only once complete (with the old
// one's permissions, and its owner and group where the process may set them). A file with
// more than one name (a hard link) is written in place instead, so that every name keeps
// seeing it, as is a writable file in a folder where no new file can be made. A file marked
// read-only is not replaced; a folder or any other thing that is not a file is refused. On
// failure returns false and says why in `reason`; `identity`, when given, receives the
// identity of the file written.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* reason,
                         FileIdentity* identity = nullptr);

// The message for a file that could not be saved: its name and the reason.
QString saveFailureText(const QString& path, const QString& reason);

// Fault injection for tests: when set, it is asked before a written file is committed; a
// non-empty answer makes the write fail with that reason (as a full disk would).
using WriteFault = std::function<QString(const QString& path)>;
void setWriteFault(WriteFault fault);

} // namespace platform::files
