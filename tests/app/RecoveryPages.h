#pragma once

// The two pages the recovery child types before it is killed, and what comes back.

#include <QColor>
#include <QString>

namespace recoverypages {

inline const QString openedFileText = QStringLiteral("<HTML>\r\n<BODY>\r\nfrom the file\r\n</BODY>\r\n</HTML>\r\n");
inline const QColor red(255, 0, 0);
inline const QString tag = QStringLiteral("<STRONG>");
inline const QString typed = QStringLiteral("caf\u00e9 typed \u65e5\r\n");

} // namespace recoverypages
