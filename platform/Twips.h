#pragma once

// Window geometry is expressed in twips (1440 per logical inch), the unit of the stored
// placement and of the toolbar layout. These helpers convert at the primary screen's
// logical resolution (96 dpi when there is no screen, i.e. 15 twips per pixel).
namespace platform {

double twipsPerPixel();
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);

} // namespace platform
