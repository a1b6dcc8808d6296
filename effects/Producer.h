#pragma once

// Who writes a fixed effect: a command of the Effects menu, or a palette button. The text is
// the same either way; a palette also closes itself and hands the focus back to the editor.
namespace effects {

enum class Producer { Menu, Palette };

} // namespace effects
