#include "app/Pictures.h"

#include <QGuiApplication>

namespace pictures {

namespace {
QString twiceAsLarge(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? path + QStringLiteral("@2x") : QString(path).insert(dot, QStringLiteral("@2x"));
}
} // namespace

QPixmap load(const QString& path, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1.0) {
        QPixmap sharp(twiceAsLarge(path));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return QPixmap(path);
}

QPixmap load(const QString& path) { return load(path, qApp ? qApp->devicePixelRatio() : 1.0); }

QIcon windowIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon.png"));
    icon.addFile(QStringLiteral(":/icon@2x.png"));
    return icon;
}

} // namespace pictures
