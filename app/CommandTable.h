#pragma once

#include <span>

// The menu tree and the toolbar, declared once; frmMain builds its actions and buttons
// from these tables and wires each entry to its handler by name (see CommandHandlers).
namespace commands {

struct MenuEntry {
    const char* name;     // object name of the action or menu
    const char* caption;  // "&" marks the access key; "-" is a separator line
    const char* shortcut; // in QKeySequence's portable text, or nullptr
    int depth;            // 0 = menu bar; an entry followed by a deeper one is a submenu
};

struct ToolButton {
    const char* name;
    const char* caption;
    int row;   // 1 or 2
    int left;  // twips
    int width; // twips
    const char* tooltip;
};

std::span<const MenuEntry> menuTree();
std::span<const ToolButton> toolbar();

// Toolbar strip geometry, twips.
inline constexpr int stripHeight = 850;
inline constexpr int buttonHeight = 300;
inline constexpr int secondRowTop = 435;
inline constexpr int separatorLeft = 0, separatorTop = 300, separatorWidth = 11895,
                     separatorHeight = 135;

} // namespace commands
