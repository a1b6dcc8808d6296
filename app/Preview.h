#pragma once

#include <QString>

class QAction;
class frmMain;

// Shows the active document in the desktop's web browser: the page is written as a plain
// page file first, then the browser associated with pages is started on that file.
namespace preview {

// The page file of a document that names no file of its own: Temp.htm in the user's data
// folder for this program.
QString previewFilePath();

void showInBrowser(frmMain& main);

// View > Preview Follows Caret: checkable, on unless the user turned it off (remembered).
void installFollowsCaret(QAction* item);
void toggleFollowsCaret(frmMain& main);

} // namespace preview
