#include "formatting/AnchorMarkup.h"

namespace anchors {

using namespace step;

Steps target(const QString& name)
{
    return {FocusEditor{},
            InsertPiece{QStringLiteral("<A NAME=\""), targetGreen},
            InsertPiece{name, colours::black},
            InsertPiece{QStringLiteral("\">") + QStringLiteral("</A>"), targetGreen},
            SetColour{colours::black},
            NewLine{},
            RecordCaret{},
            CloseDialog{}};
}

Steps jump(const QString& targetName, const QString& linkText)
{
    const QString link = QStringLiteral("<A Href=\"") + QStringLiteral("#") + targetName
                         + QStringLiteral("\">") + linkText + QStringLiteral("</A>");
    return {FocusEditor{}, InsertPiece{link, std::nullopt}, NewLine{}, CloseDialog{},
            FocusEditor{}, RecordCaret{}};
}

} // namespace anchors
