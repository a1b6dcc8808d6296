#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform::clipboard {

void clear()
{
    if (QClipboard* c = QGuiApplication::clipboard())
        c->clear();
}

void setText(const QString& text)
{
    if (QClipboard* c = QGuiApplication::clipboard())
        c->setText(text);
}

QString text()
{
    if (QClipboard* c = QGuiApplication::clipboard())
        return c->text();
    return {};
}

} // namespace platform::clipboard
