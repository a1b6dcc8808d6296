#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

class QApplication;

// The program's own pictures (logo, splash, window icon) and the toolkit's stock icons, made
// without the toolkit's image reader at start. That reader loads every picture-format plug-in
// it has (with their libraries: WebP, TIFF, JPEG, SVG, MNG...) at its first use, whatever the
// format asked for; a start shows only PNG pictures of its own and needs none of them.
namespace platform {

// One of the program's pictures by name ("logo", "splash@2x", "icon"); a null pixmap when the
// program has none of that name.
QPixmap picture(const QString& name);

// Makes the application's style hand out its stock icons (title bar buttons and the like)
// as icons that read their picture when first drawn, not when asked for; a title bar's menu
// button shows the program's icon.
void deferStockIcons(QApplication& app);

} // namespace platform
