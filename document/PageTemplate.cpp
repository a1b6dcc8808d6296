#include "document/PageTemplate.h"

namespace page {

QString newPageTemplate()
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("<HTML>") + crlf + QStringLiteral("<HEAD></HEAD>") + crlf +
           QStringLiteral("<TITLE></TITLE>") + crlf + QStringLiteral("<BODY>") + crlf +
           QString(37, QLatin1Char(' ')) + crlf + QString(21, QLatin1Char(' ')) + crlf +
           QStringLiteral("  </BODY>") + crlf + QStringLiteral("</HTML>") + crlf;
}

} // namespace page
