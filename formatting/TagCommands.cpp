#include "formatting/TagCommands.h"

namespace tags {

using namespace step;

Steps menuWrap(const WrapCommand& command)
{
    return {FocusEditor{},
            CaptureSelection{},
            InsertPiece{QString::fromLatin1(command.opening), colours::red},
            InsertCaptured{colours::black},
            InsertPiece{QString::fromLatin1(command.closing), colours::red},
            SetColour{colours::black},
            NewLine{},
            RecordCaret{}};
}

Steps centreWrap()
{
    return {CaptureSelection{},
            InsertPiece{QStringLiteral("<CENTER>"), colours::red},
            InsertCaptured{colours::black},
            InsertPiece{QStringLiteral("</CENTER>"), colours::red},
            FocusEditor{},
            NewLine{},
            RecordCaret{}};
}

Steps singleTag(const QString& tag)
{
    return {InsertPiece{tag, colours::blue}, SetColour{colours::black}, FocusEditor{}, NewLine{},
            RecordCaret{}};
}

Steps paragraph()
{
    return {FocusEditor{}, InsertPiece{QStringLiteral("<P>"), colours::paragraph},
            SetColour{colours::black}, NewLine{}, RecordCaret{}};
}

} // namespace tags
