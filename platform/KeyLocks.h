#pragma once

namespace platform {

struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;
    bool known = false; // false when the windowing system cannot tell
};

// Current Caps, Num and Scroll Lock states, read from the X keyboard extension when the
// program runs on X11 (libX11 is looked up at run time, so nothing extra is linked).
LockKeys lockKeys();

} // namespace platform
