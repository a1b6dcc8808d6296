#include "effects/ScriptLines.h"

namespace effects {

void appendLines(Steps& steps, std::span<const ScriptLine> lines, Rgb colour)
{
    for (const ScriptLine& line : lines) {
        steps.push_back(step::InsertPiece{QString::fromUtf8(line.text), colour});
        for (int i = 0; i < line.entersAfter; ++i)
            steps.push_back(step::NewLine{});
    }
}

} // namespace effects
