#pragma once

#include <QString>

// A whole two-frame frameset page, written to a file of its own (not into a document).
namespace frameset {

enum class Layout { Vertical, Horizontal }; // frames side by side (COLS) or stacked (ROWS)

struct Values {
    Layout layout = Layout::Vertical;
    bool noBorder = false;
    QString firstShare;  // percentages, as typed
    QString secondShare;
    QString firstSource; // frame file names, as typed
    QString secondSource;
};

// The page text: one line, the pieces run together after "<HTML>".
QString page(const Values& v);

inline const QString saveFilter = QStringLiteral("HTM Files (*.htm)|*.htm|HTML Files (*.html)|*.html");

} // namespace frameset
