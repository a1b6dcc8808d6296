#include "platform/KeyLocks.h"

#include <QGuiApplication>
#include <dlfcn.h>

namespace platform {

namespace {
using OpenDisplay = void* (*)(const char*);
using GetIndicatorState = int (*)(void*, unsigned int, unsigned int*);

struct XkbAccess {
    void* display = nullptr;
    GetIndicatorState getState = nullptr;

    XkbAccess()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return;
        void* lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        if (!lib)
            return;
        auto open = reinterpret_cast<OpenDisplay>(dlsym(lib, "XOpenDisplay"));
        getState = reinterpret_cast<GetIndicatorState>(dlsym(lib, "XkbGetIndicatorState"));
        if (open && getState)
            display = open(nullptr);
    }
};
} // namespace

LockKeys lockKeys()
{
    static XkbAccess xkb;
    LockKeys keys;
    if (!xkb.display)
        return keys;
    unsigned int state = 0;
    constexpr unsigned int useCoreKeyboard = 0x0100;
    if (xkb.getState(xkb.display, useCoreKeyboard, &state) != 0)
        return keys;
    // The standard keymaps number the indicators Caps Lock, Num Lock, Scroll Lock.
    keys.caps = state & 0x1;
    keys.num = state & 0x2;
    keys.scroll = state & 0x4;
    keys.known = true;
    return keys;
}

} // namespace platform
