#pragma once

class QApplication;

namespace startup {

// The start routine: splash, main window loaded and placed, splash gone, main window shown;
// then the event loop until the main window closes.
int run(QApplication& app);

} // namespace startup
