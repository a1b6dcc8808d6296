#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace platform {

double twipsPerPixel()
{
    double dpi = 96.0;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const double logical = screen->logicalDotsPerInchX();
        if (logical > 0.0)
            dpi = logical;
    }
    return 1440.0 / dpi;
}

int twipsToPixels(double twips) { return static_cast<int>(std::lround(twips / twipsPerPixel())); }

double pixelsToTwips(int pixels) { return pixels * twipsPerPixel(); }

} // namespace platform
