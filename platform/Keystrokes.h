#pragma once

class QWidget;

namespace platform {

// Delivers one Enter keystroke to the widget and returns once it has been handled, so the
// widget's key and change handlers have run before the caller goes on.
void sendReturn(QWidget* target);

} // namespace platform
