#pragma once

#include "document/Steps.h"

// What the marquee and background-sound dialogs write: tag pieces in their colours, the typed
// values in black, exactly as typed.
namespace marquee {

inline constexpr Rgb teal{35, 130, 130};

// <Marquee>text</Marquee>; the text keeps its line breaks.
Steps marquee(const QString& text);

} // namespace marquee

namespace bgsound {

inline constexpr Rgb dullRed{185, 80, 85};
inline constexpr char soundFilter[] = "Wave Files(*.wav)|*.wav|Midi Files(*.mid)|*.mid";
inline constexpr int maxLoops = 10;

// <bgsound src = "file" loop="loops" > ; the loop count is whatever its box holds.
Steps backgroundSound(const QString& file, const QString& loops);

} // namespace bgsound
