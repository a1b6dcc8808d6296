#pragma once

#include <QString>
#include <functional>
#include <span>

class frmMain;

// What each menu item and toolbar button does, by object name.
namespace commands {

using Handler = std::function<void(frmMain&)>;

struct HandlerEntry {
    const char* name;
    Handler run; // empty: the command exists but does nothing yet
};

std::span<const HandlerEntry> handlers();

// Names whose handler is still empty; kept in one list so the work that brings each of
// them only has to fill in its handler.
std::span<const char* const> pendingCommands();

// Gives the whole-site commands the main window's pages: opening one (or bringing an open
// one forward), whether a file is open, the active page's file.
void installSiteCommands(frmMain& main);

} // namespace commands
