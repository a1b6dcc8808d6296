#pragma once

class QWidget;
class frmMain;

// Files dragged from a file manager onto a window open as pages, each in a document window of
// its own; anything else dropped (text) keeps the target's own handling.
namespace drops {

void openFilesDroppedOn(QWidget* target, frmMain& main);

} // namespace drops
