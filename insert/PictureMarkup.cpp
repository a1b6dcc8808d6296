#include "insert/PictureMarkup.h"

namespace pictures {

using namespace step;

Steps image(const QString& name, bool centre, bool lineBreak)
{
    const QString opening = centre ? QStringLiteral("<CENTER><IMG SRC=\"") : QStringLiteral("<IMG SRC=\"");
    QString closing = QStringLiteral("\">");
    if (centre)
        closing += QStringLiteral("</CENTER>");
    if (lineBreak)
        closing += QStringLiteral("<BR>");
    Steps steps{ActivateDocument{},
                InsertPiece{opening, magenta},
                InsertPiece{name, colours::black},
                InsertPiece{closing, magenta},
                SetColour{colours::black},
                NewLine{},
                RecordCaret{},
                CloseDialog{}};
    if (lineBreak)
        steps.push_back(FocusEditor{});
    return steps;
}

QString videoElement(const QString& name)
{
    const QString quote = QStringLiteral("\"");
    return QStringLiteral("<p><img dynsrc=") + quote + name + quote + QStringLiteral(" start=") + quote +
           QStringLiteral("fileopen") + quote + QStringLiteral(" width=") + quote + QStringLiteral("382") +
           quote + QStringLiteral(" height=") + quote + QStringLiteral("65") + quote +
           QStringLiteral(" alt=") + quote + name + quote + QStringLiteral("></p>");
}

Steps video(const QString& name)
{
    return {FocusEditor{}, InsertPiece{videoElement(name), std::nullopt}, NewLine{}, CloseDialog{}};
}

Steps backgroundImage(const QString& name)
{
    return {ActivateDocument{},
            InsertPiece{QStringLiteral("<BODY BACKGROUND=\""), magenta},
            InsertPiece{name, colours::black},
            InsertPiece{QStringLiteral("\">"), magenta},
            SetColour{colours::black},
            NewLine{},
            RecordCaret{},
            CloseDialog{}};
}

} // namespace pictures
