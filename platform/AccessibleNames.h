#pragma once

#include <QString>

class QMdiSubWindow;

namespace platform {

// Screen readers announce a window inside the main window's work area by its caption. A
// window whose caption is not meant for people (the logo window's "Form2") is announced by
// `name` instead; its caption stays as it is.
void announceSubWindowAs(QMdiSubWindow* window, const QString& name);

} // namespace platform
