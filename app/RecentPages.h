#pragma once

#include <QString>
#include <QStringList>

class frmMain;

// The pages opened or saved last: File > Recent Pages, newest first, kept in the settings
// file; each is also put on the desktop's recently used list.
namespace recent {

inline constexpr int maxPages = 10;

QStringList pages();
// Puts a page first (once), dropping the oldest beyond maxPages. The lists are written in the
// background; pages() waits for that.
void remember(const QString& path);
void forget(const QString& path);
void clear();

// Adds the "Recent Pages" submenu to the main window's File menu, after mnuFileBar4.
void install(frmMain& main);

} // namespace recent
