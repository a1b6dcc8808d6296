#include "effects/FramesetPage.h"

namespace frameset {

namespace {

// Follows the frameset tag's closing quote directly. The stacked layout's border-free
// ending keeps BORDER=1.
QString ending(const Values& v)
{
    if (!v.noBorder)
        return QStringLiteral(">");
    return v.layout == Layout::Vertical ? QStringLiteral("FRAMEBORDER=NO BORDER=0 FRAMESPACING=0>")
                                        : QStringLiteral("FRAMEBORDER=NO BORDER=1 FRAMESPACING=0>");
}

QString frameTag(const QString& source)
{
    return QStringLiteral("<FRAME SRC=\"") + source + QStringLiteral("\">");
}

} // namespace

QString page(const Values& v)
{
    const QString opening = v.layout == Layout::Vertical ? QStringLiteral("<FRAMESET COLS=\"")
                                                         : QStringLiteral("<FRAMESET ROWS=\"");
    return QStringLiteral("<HTML>") + opening + v.firstShare + QStringLiteral("%,") + v.secondShare +
           QStringLiteral("%\"") + ending(v) + frameTag(v.firstSource) + frameTag(v.secondSource) +
           QStringLiteral("</FRAMESET>") + QStringLiteral("<BODY></BODY></HTML>");
}

} // namespace frameset
