#pragma once

class QMdiArea;

// The Edit menu's clipboard commands and the Window menu's arrangements.
namespace editing {

// Copy: the selected text onto the clipboard (plain text), then record the caret.
void copy();
// Cut: Copy, then remove the selection (an undoable change), then record the caret.
void cut();
// Paste: the clipboard's plain text in place of the selection, in the insertion colour.
void paste();

// The frame's standard arrangements of its child windows, the logo window included.
enum class Arrangement { Cascade = 0, TileHorizontal = 1, TileVertical = 2 };
void arrange(QMdiArea* area, Arrangement how);

} // namespace editing
