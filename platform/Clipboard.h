#pragma once

#include <QString>

// The system clipboard, plain text only: the wrapping commands park the selection there.
namespace platform::clipboard {

void clear();
void setText(const QString& text);
QString text();

} // namespace platform::clipboard
