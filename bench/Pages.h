#pragma once

#include "platform/RtfCodec.h"

#include <QString>

// Deterministic page sources for the benchmarks: HTML-like lines of 60 to 100 characters
// joined by CR LF, as pages read from disk arrive.
namespace benchpages {

// About `chars` characters of page source (never more), the same text for the same seed.
QString page(qsizetype chars, unsigned seed = 1);

// The same kind of text with no line break at all: one very long line.
QString singleLine(qsizetype chars, unsigned seed = 1);

// A page of about `chars` characters coloured the way commands leave it: tags in their
// colours, text in black.
platform::rtf::Runs colouredRuns(qsizetype chars);

} // namespace benchpages
