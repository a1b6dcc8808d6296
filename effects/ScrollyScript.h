#pragma once

#include "document/Steps.h"

// The script scrolly(tx), which runs a message through the browser's status bar: the call
// comes first, then the function; every piece on a line of its own.
namespace scrolly {

inline constexpr Rgb colour{0, 100, 90};

// The call of scrolly with the message between double quotes, inserted as typed.
QString callPiece(const QString& message);

// The 28 pieces in order; the second is the call.
QStringList pieces(const QString& message);

// Apply: focus the editor, each piece followed by Enter, black again, record the caret,
// unload the dialog.
Steps apply(const QString& message);

} // namespace scrolly
