#include "insert/LinkMarkup.h"

namespace links {

using namespace step;

Steps hyperlink(const QString& url, const QString& text)
{
    const Rgb tag = colours::cyan;
    return {ActivateDocument{},
            InsertPiece{QStringLiteral("<A HREF=\""), tag},
            InsertPiece{url, colours::black},
            InsertPiece{QStringLiteral("\">"), tag},
            InsertPiece{text, colours::black},
            InsertPiece{QStringLiteral("</A>"), tag},
            SetColour{colours::black},
            NewLine{},
            RecordCaret{},
            CloseDialog{},
            FocusEditor{}};
}

Steps mailLink(const QString& address, const QString& text)
{
    const Rgb tag = colours::mailPurple;
    return {FocusEditor{},
            InsertPiece{QStringLiteral("<A HREF=\""), tag},
            InsertPiece{QStringLiteral("MAILTO:"), tag},
            InsertPiece{address, colours::black},
            InsertPiece{QStringLiteral("\">"), tag},
            InsertPiece{text, colours::black},
            InsertPiece{QStringLiteral("</A>"), tag},
            SetColour{colours::black},
            NewLine{},
            RecordCaret{},
            CloseDialog{},
            FocusEditor{}};
}

Steps commandButton(const QString& url, const QString& caption)
{
    const Rgb tag = colours::buttonViolet;
    return {FocusEditor{},
            InsertPiece{QStringLiteral("<FORM METHOD=\"LINK\" ACTION=\""), tag},
            InsertPiece{url, colours::black},
            InsertPiece{QStringLiteral("\">") + QStringLiteral("<INPUT TYPE=\"SUBMIT\" VALUE=\""), tag},
            InsertPiece{caption, colours::black},
            InsertPiece{QStringLiteral("\"></FORM>"), tag},
            SetColour{colours::black},
            NewLine{},
            CloseDialog{},
            FocusEditor{},
            RecordCaret{}};
}

} // namespace links
