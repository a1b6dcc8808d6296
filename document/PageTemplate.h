#pragma once

#include <QString>

namespace page {

// The text every new document window starts with. Line breaks are CR LF; "<BODY>" starts at
// position 40 and the head ends at position 14, offsets the page generators rely on.
QString newPageTemplate();

inline constexpr int headEndOffset = 14;
inline constexpr int bodyTagOffset = 40;

} // namespace page
