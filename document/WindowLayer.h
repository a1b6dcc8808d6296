#pragma once

#include <QAction>
#include <QMdiArea>
#include <QPointer>

// The program-wide state of a layer drawn over every page: the workspace whose editors it
// serves, its options, and the main window's menu items that show them.
template <class Options> struct WindowLayer {
    QPointer<QMdiArea> area;
    Options options{};

    QAction* item(const char* name) const {
        return area ? area->window()->findChild<QAction*>(QLatin1String(name)) : nullptr;
    }
    static WindowLayer& installed() {
        static WindowLayer state;
        return state;
    }
};
