#pragma once

#include "effects/Producer.h"
#include "effects/ScriptLines.h"

#include <span>

// The three fixed VBScript snippets: a greeting by the visitor's time of day, the page's
// last-modified date, and a random background colour on every load. The Effects menu and the
// VB Scripts palette write exactly the same text.
namespace vbscripts {

inline constexpr Rgb snippetColour{185, 80, 85};

enum class Snippet { Welcome, LastModified, RandomBackground };

std::span<const effects::ScriptLine> lines(Snippet snippet);

// Focus, every line in the snippet colour with its Enters, black, two Enters, record the
// caret; from the palette, then unload it and focus the editor again.
Steps snippet(Snippet snippet, effects::Producer producer);

} // namespace vbscripts
