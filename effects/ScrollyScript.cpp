#include "effects/ScrollyScript.h"

#include <QStringList>

namespace scrolly {

using namespace step;

QString callPiece(const QString& message)
{
    return QStringLiteral("scrolly (\"") + message + QStringLiteral("\")");
}

QStringList pieces(const QString& message)
{
    // The leading blanks are part of the page's text: one before the three if-lines, five
    // before the lines inside them.
    return {
        QStringLiteral("<script>"),
        callPiece(message),
        QStringLiteral("function scrolly(tx)"),
        QStringLiteral("{"),
        QStringLiteral(" if (document.scrollText == null) {"),
        QStringLiteral("     document.scrollText = \"\";"),
        QStringLiteral("     for (i = 0; i < 200; i++) {"),
        QStringLiteral("     document.scrollText = document.scrollText + \" \";"),
        QStringLiteral("     }"),
        QStringLiteral("     document.scrollText = document.scrollText + tx;"),
        QStringLiteral("     document.scrollNum = 0;"),
        QStringLiteral("     document.scrollMsg = \"\";"),
        QStringLiteral("     document.scrollGo =\"1\";"),
        QStringLiteral("     }"),
        QStringLiteral(" if (document.scrollText != null && document.scrollGo == \"1\") {"),
        QStringLiteral("     for (k = document.scrollNum; k < document.scrollText.length; k++) {"),
        QStringLiteral("     document.scrollMsg = document.scrollMsg + document.scrollText.charAt(k);"),
        QStringLiteral("     }"),
        QStringLiteral("     window.status = document.scrollMsg;"),
        QStringLiteral("     document.scrollNum++;"),
        QStringLiteral("     document.scrollMsg = \"\";"),
        QStringLiteral("     }"),
        QStringLiteral(" if (document.scrollNum == document.scrollText.length) {"),
        QStringLiteral("     document.scrollText = null;"),
        QStringLiteral("     }"),
        QStringLiteral("     ab1 = window.setTimeout(\"scrolly('\"+ tx +\"');\", 50);"),
        QStringLiteral("}"),
        QStringLiteral("</script>"),
    };
}

Steps apply(const QString& message)
{
    Steps s{FocusEditor{}};
    for (const QString& p : pieces(message)) {
        s.push_back(InsertPiece{p, colour});
        s.push_back(NewLine{});
    }
    s.insert(s.end(), {SetColour{colours::black}, RecordCaret{}, CloseDialog{}});
    return s;
}

} // namespace scrolly
