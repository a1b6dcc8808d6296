#pragma once

#include <functional>

class QApplication;
class frmMain;

namespace startup {

// The whole program: reads the command line (help, version and misuse need no display),
// hands the files to the program already running on this display when there is one, and
// otherwise starts: splash, main window, the files, then the event loop until the main window
// closes. `whenShown`, when given, runs once the main window is shown (benchmarks use it).
int main(int argc, char* argv[], std::function<void(frmMain&)> whenShown = {});

// Logout and the termination signals end the program without a question: unsaved pages go
// to their recovery copies first.
void endWithSession(QApplication& app, frmMain& main);

} // namespace startup
