#pragma once

#include "document/Steps.h"

// The skeleton of an HTML table: the opening tag with the typed attributes and caption, one
// line per row of empty header cells, the closing tag; all in grey.
namespace table {

struct Values {
    int rows = 1;
    int columns = 1;
    QString borderWidth;
    QString width;
    QString height;
    QString padding;
    QString spacing;
    QString caption;
};

// The opening tag and the caption, one string. The COLSPEC value is always the fixed
// "L20 L20" and the attribute values go in unquoted, as typed.
QString openingString(const Values& v);

Steps insertTable(const Values& v);

inline constexpr int maxRows = 15;
inline constexpr int maxColumns = 10;

} // namespace table
