#pragma once

#include "platform/RtfCodec.h"

// Editing files past the page limits of the reader: the check that keeps them from being
// written, and the reading of the program's own recovery copies.
namespace platform::rtf {

// The limit that reading what write() makes of these runs would pass (None: read() gives
// them back whole), so that no editing file is written that Open turns away.
Overflow overflowOf(const Runs& runs);

// The page of an editing file this program wrote for itself (a recovery copy, in a folder
// only the user can reach), read without the page limits: the page was in the editor when it
// was written. Everything else is read as read() does. Returns false when the file ends before
// its outermost group closes (a copy cut short); `runs` then holds what was there.
bool readWhole(QByteArrayView rtf, Runs* runs);

} // namespace platform::rtf
