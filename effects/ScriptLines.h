#pragma once

#include "document/Steps.h"

#include <span>

namespace effects {

// One fixed line of a script and the Enter keystrokes sent after it.
struct ScriptLine {
    const char* text;
    int entersAfter;
};

// Each line in the colour, followed by its Enter keystrokes.
void appendLines(Steps& steps, std::span<const ScriptLine> lines, Rgb colour);

} // namespace effects
