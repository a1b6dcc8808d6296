#pragma once

class frmDocument;
class frmMain;

// The questions before unsaved changes could be lost: closing one document window, and
// ending the program. Each returns whether the closing may go on.
namespace closing {

// "Save changes to “<caption>” before closing?" with Save (default), Discard and Cancel
// (Escape). Save runs the Save command on that page; if the page is not written (the dialog
// was cancelled, the write failed) the window stays open.
bool mayCloseDocument(frmMain& main, frmDocument& doc);

// One question listing every page with unsaved changes: Save All (default), Discard All,
// Cancel (Escape). Save All saves them in turn and stops at the first that is not written.
bool mayEnd(frmMain& main);

} // namespace closing
