#pragma once

class frmDocument;
class frmMain;

// The questions before unsaved changes could be lost: closing one document window, ending
// the program, opening another page over a changed one. Each returns whether it may go on.
// Save writes each page to the file its caption names, without a dialog; only a page that
// has no file yet asks for a name. A page that is not written (the name dialog was
// cancelled, the write failed) stops what was asked for.
namespace closing {

// "Save changes to “<caption>” before closing?" with Save (default), Discard and Cancel
// (Escape).
bool mayCloseDocument(frmMain& main, frmDocument& doc);

// One question listing every page with unsaved changes: Save All (default), Discard All,
// Cancel (Escape). Save All saves them in turn and stops at the first that is not written.
bool mayEnd(frmMain& main);

// Before Open replaces the page's text: "Save changes to “<caption>” before opening another
// page?" with Save (default), Discard and Cancel (Escape). An unchanged page is replaced
// without a question.
bool mayReplace(frmMain& main, frmDocument& doc);

} // namespace closing
