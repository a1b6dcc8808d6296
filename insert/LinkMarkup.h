#pragma once

#include "document/Steps.h"

// What the hyperlink, e-mail link and command button dialogs write: tag pieces in the
// dialog's colour, the typed values in black, exactly as typed.
namespace links {

// <A HREF="url">text</A> in cyan; the document window itself gets the focus first.
Steps hyperlink(const QString& url, const QString& text);

// <A HREF="MAILTO:address">text</A> in purple; "MAILTO:" is a piece of its own.
Steps mailLink(const QString& address, const QString& text);

// A one-button form in violet whose action is the address and whose button shows the
// caption; the unload comes before the caret is recorded.
Steps commandButton(const QString& url, const QString& caption);

} // namespace links
