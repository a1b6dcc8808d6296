#include "insert/TableMarkup.h"

namespace table {

using namespace step;

QString openingString(const Values& v)
{
    return QStringLiteral("<TABLE COLSPEC=") + QStringLiteral("\"L20 L20") +
           QStringLiteral("\"BORDER=") + v.borderWidth + QStringLiteral(" WIDTH=") + v.width +
           QStringLiteral(" HEIGHT=") + v.height + QStringLiteral(" CELLPADDING=") + v.padding +
           QStringLiteral(" CELLSPACING=") + v.spacing + QStringLiteral("><CAPTION ALIGN=TOP>") +
           v.caption + QStringLiteral("</Caption >");
}

Steps insertTable(const Values& v)
{
    const Rgb grey = colours::tableGrey;
    Steps steps{FocusEditor{}, InsertPiece{openingString(v), grey}, NewLine{}, RecordCaret{}};
    for (int r = 0; r < v.rows; ++r) {
        steps.push_back(InsertPiece{QStringLiteral("<TR>"), grey});
        for (int c = 0; c < v.columns; ++c)
            steps.push_back(InsertPiece{QStringLiteral("<TH></TH>"), grey});
        steps.push_back(InsertPiece{QStringLiteral("</TR>"), grey});
        steps.push_back(NewLine{});
    }
    steps.insert(steps.end(), {InsertPiece{QStringLiteral("</TABLE>"), grey}, SetColour{colours::black},
                               RecordCaret{}, CloseDialog{}, FocusEditor{}});
    return steps;
}

} // namespace table
