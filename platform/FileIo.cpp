#include "platform/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform::files {

namespace {
WriteFault& fault()
{
    static WriteFault current;
    return current;
}
} // namespace

void setWriteFault(WriteFault f) { fault() = std::move(f); }

QString saveFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("The file \"%1\" could not be saved.\n%2").arg(path, reason);
}

bool readFile(const QString& path, QByteArray* bytes, QString* reason, qint64 maxBytes)
{
    QFile file(path);
    const QFileInfo info(path);
    if (info.isDir()) {
        *reason = QStringLiteral("It is a folder, not a file.");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    if (file.size() > maxBytes) {
        *reason = QStringLiteral("The file is too large (more than %1 MB).").arg(maxBytes / (1024 * 1024));
        return false;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return false;
    }
    *bytes = std::move(data);
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* reason)
{
    const QFileInfo info(path);
    if (info.exists()) {
        if (info.isDir()) {
            *reason = QStringLiteral("It is a folder, not a file.");
            return false;
        }
        constexpr QFile::Permissions anyWrite =
            QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther; // the mode bits, whoever we are
        if (!(info.permissions() & anyWrite) || !info.isWritable()) {
            *reason = QStringLiteral("The file is read-only.");
            return false;
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
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
        return false;
    }
    if (fault()) {
        if (const QString injected = fault()(path); !injected.isEmpty()) {
            file.cancelWriting();
            *reason = injected;
            return false;
        }
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace platform::files
