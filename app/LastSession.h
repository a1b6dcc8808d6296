#pragma once

#include <QString>
#include <QStringList>

class frmMain;

// The pages open when the program last ended normally (closed, or asked to stop by the desktop
// session), in window order with the one that was active: File > Recent Pages > Reopen Last
// Session opens them again, and with "Reopen pages at start" on, every start does. A crash or
// a kill leaves the list of the last normal end (the recovery copies keep unsaved work).
namespace session {

struct Pages {
    QStringList paths; // pages that have a file, in window order
    int active = -1;   // index into paths, -1 when no page with a file was active
};

Pages lastSession();
// Called as the main window ends normally: its pages with a file become the last session.
void record(const frmMain& main);
// Opens the last session's pages (one a file no longer holds is reported, the rest open) and
// activates the page that was active.
void reopen(frmMain& main);

bool reopensAtStart();
void setReopensAtStart(bool on);
// The start-up's part: the last session, when the option is on.
void reopenAtStart(frmMain& main);

} // namespace session
