#include "platform/SystemInfo.h"

#include <QProcess>
#include <QStandardPaths>

namespace platform {

QStringList systemInfoPrograms()
{
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("mate-system-monitor"),
            QStringLiteral("xfce4-taskmanager")};
}

bool startSystemInfo()
{
    for (const QString& name : systemInfoPrograms()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return QProcess::startDetached(path, {});
    }
    return false;
}

} // namespace platform
