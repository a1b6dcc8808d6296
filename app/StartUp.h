#pragma once

class QApplication;
class frmMain;

namespace startup {

// The start routine: splash, main window loaded and placed, splash gone, main window shown;
// then the event loop until the main window closes.
int run(QApplication& app);

// Logout and the termination signals end the program without a question: unsaved pages go
// to their recovery copies first.
void endWithSession(QApplication& app, frmMain& main);

} // namespace startup
