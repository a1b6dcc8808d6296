#pragma once

#include "document/Steps.h"

// Named anchors (targets) and links that jump to them within the page.
namespace anchors {

inline constexpr Rgb targetGreen{0, 150, 0};

// Apply of frmTarget: the anchor replaces the selection, its name in black between green
// pieces, the element left empty; black again, Enter, record the caret, unload.
Steps target(const QString& name);

// Apply of frmJump: the whole link as one piece with no colour set (it takes the colour in
// force at the caret), Enter, unload, focus the editor again, record the caret.
Steps jump(const QString& targetName, const QString& linkText);

} // namespace anchors
