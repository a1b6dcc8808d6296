#include "platform/Keystrokes.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace platform {

void sendReturn(QWidget* target)
{
    if (!target)
        return;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(target, &release);
}

} // namespace platform
