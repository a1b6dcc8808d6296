#pragma once

#include <QString>
#include <functional>

class frmDocument;

// What the commands share across the program: how to find the active document, and the
// values that live as long as the main window.
namespace workspace {

// The main window's active document window, looked up afresh on every call.
using ActiveLookup = std::function<frmDocument*()>;
void setActiveLookup(ActiveLookup lookup);
frmDocument* activeDocument();

struct SharedValues {
    QString pageTransitionTag; // the last page-transition tag generated
    int pageTransitionNumber = 0;
    QString dialogFileName;    // the file name of the common file dialog
    bool pageSaved = false;
};
SharedValues& shared();

} // namespace workspace
