#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's own pictures (logo window, splash, icon) are kept at 1x and 2x
// (name.png, name@2x.png, drawn by resources/pictures.sh): on a screen above 100 % the 2x one
// is used at the same size in the window, so the pictures stay sharp instead of blown up. They
// are shown from their raw pixels (see platform/Pictures.h), without the image reader.
namespace pictures {

// The resource picture `path` (":/logo.png") for `devicePixelRatio`; its deviceIndependentSize()
// is that of the 1x picture.
QPixmap load(const QString& path, qreal devicePixelRatio);
// For the screens the program shows on (the largest ratio of them).
QPixmap load(const QString& path);
// The window icon: both sizes of icon.png.
QIcon windowIcon();

} // namespace pictures
