#pragma once

#include <QString>

class QWidget;

namespace platform {

// Shows a page of the program's help. The help file is a set of HTML pages compiled into the
// program under ":/help/"; the help file name selects that set, as a help viewer would.
inline constexpr int helpContents = 3;

// Opens (or brings forward) the help window on the contents page. Returns false, after
// telling the user, when the help file is not there.
bool showHelp(QWidget* parent, const QString& helpFile, int command);

// The help window, if it is open.
QWidget* helpWindow();

} // namespace platform
