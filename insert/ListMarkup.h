#pragma once

#include "document/Steps.h"

#include <QStringList>

// A bulleted list of one to eight items on one line, in the colour in force at the caret.
namespace bulleted {

inline constexpr int maxItems = 8;

// "<UL><LI>&nbsp;" item 1, then per further item "</LI>" "<LI>&nbsp;" item, then
// "</LI></UL>"; the first n texts are used, exactly as typed.
QString listString(int n, const QStringList& items);

// Apply: with n items chosen (0 = none) the list, Enter and the caret recorded; then, in
// every case, unload, focus the editor and record the caret.
Steps insertList(int n, const QStringList& items);

} // namespace bulleted
