#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Reading and writing whole files, with the reason of every failure in words.
namespace platform::files {

// Pages larger than this are refused rather than loaded into the editor.
inline constexpr qint64 maxReadBytes = qint64(256) * 1024 * 1024;

// Reads a whole file. On failure returns false and says why in `reason`.
bool readFile(const QString& path, QByteArray* bytes, QString* reason,
              qint64 maxBytes = maxReadBytes);

// Writes a file atomically: the bytes go to a new file beside it that replaces the old one
// only once complete, so a failed or interrupted save leaves the old file as it was. A file
// marked read-only is not replaced. On failure returns false and says why in `reason`.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* reason);

// The message for a file that could not be saved: its name and the reason.
QString saveFailureText(const QString& path, const QString& reason);

// Fault injection for tests: when set, it is asked before a written file is committed; a
// non-empty answer makes the write fail with that reason (as a full disk would).
using WriteFault = std::function<QString(const QString& path)>;
void setWriteFault(WriteFault fault);

} // namespace platform::files
