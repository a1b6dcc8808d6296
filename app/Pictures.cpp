#include "app/Pictures.h"

#include "platform/Pictures.h"

#include <QGuiApplication>

namespace pictures {

namespace {
// ":/logo.png" -> "logo": the name the raw picture is kept under.
QString nameOf(const QString& path)
{
    QString name = path;
    if (name.startsWith(QStringLiteral(":/")))
        name.remove(0, 2);
    if (name.endsWith(QStringLiteral(".png")))
        name.chop(4);
    return name;
}
} // namespace

QPixmap load(const QString& path, qreal devicePixelRatio)
{
    const QString name = nameOf(path);
    if (devicePixelRatio > 1.0) {
        QPixmap sharp = platform::picture(name + QStringLiteral("@2x"));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    QPixmap normal = platform::picture(name);
    return normal.isNull() ? QPixmap(path) : normal;
}

QPixmap load(const QString& path) { return load(path, qApp ? qApp->devicePixelRatio() : 1.0); }

QIcon windowIcon()
{
    QIcon icon;
    icon.addPixmap(platform::picture(QStringLiteral("icon")));
    icon.addPixmap(platform::picture(QStringLiteral("icon@2x")));
    return icon;
}

} // namespace pictures
