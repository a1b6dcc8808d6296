#include "effects/DhtmlEffects.h"

namespace dhtml {

using namespace step;
using effects::ScriptLine;

namespace {

// The colour word goes between the fourth and the fifth line, which with the two after it
// make one line of the page; the browser name and version stand side by side.
constexpr ScriptLine backTrackHead[] = {
    {R"(<center><script language="javascript">)", 1},
    {R"(var where = document.referrer)", 1},
    {R"(var name = navigator.appName)", 1},
    {R"(var vers = navigator.appVersion)", 1},
    {R"(document.write("<FONT COLOR=)", 0},
};
constexpr ScriptLine backTrackTail[] = {
    {R"(><FONT SIZE=4>)", 0},
    {R"(you came here via <BR>"+where+" <BR> "+name+")", 0},
    {R"("+vers+"<BR></FONT></FONT>"))", 1},
    {R"(</script></center>)", 0},
};

// The cells are left open; only the first holds anything: an A in its own colour.
constexpr ScriptLine gradient[] = {
    {R"(<TABLE CELLSPACING=0 BORDERWIDTH=0 WIDTH="100%"><TR>)", 1},
    {R"(<TD WIDTH="10%" BGCOLOR=#0000F7>)", 1},
    {R"(<DIV STYLE="font-size: 5; fontsize: 5; color=#0000F7">A</DIV>)", 1},
    {R"(<TD WIDTH="10%" BGCOLOR=#0000FF>)", 1},
    {R"(<TD WIDTH="10%" BGCOLOR=#0000F7>)", 1},
    {R"(<TD WIDTH="10%" BGCOLOR=#0000EF>)", 1},
    {R"(<TD WIDTH="10%" BGCOLOR=#0000E7>)", 1},
    {R"(<TD WIDTH="10%" BGCOLOR=#0000D7>)", 1},
    {R"(<TD WIDTH="10%" BGCOLOR=#0000C7>)", 1},
    {R"(<TD WIDTH="10%" BGCOLOR=#0000B7>)", 1},
    {R"(<TD WIDTH="10%" BGCOLOR=#0000A7>)", 1},
    {R"(<TD WIDTH="10%" BGCOLOR=#000097>)", 1},
    {R"(</TR>)", 1},
    {R"(</TABLE>)", 0},
};

// Note the blank before the semicolon in "margin-top: -48px ;".
constexpr const char* greyCopy =
    R"(<DIV STYLE="margin-left: 0px; margin-top: 0px; font-family: Arial; font-size: 30pt; fontsize: 30pt; font-weight: medium; font-style: normal; color: #C0C0C0;">)";
constexpr const char* copyEnd = R"(</DIV>)";
constexpr const char* blueCopy =
    R"(<DIV STYLE="margin-left: 2px; margin-top: -48px ; font-family: Arial; font-size: 30pt; fontsize: 30pt; font-weight: medium; font-style: normal; color: #0000C0;">)";
constexpr const char* centredStart = R"(<CENTER>)";
constexpr const char* centredEnd = R"(</DIV></CENTER><BR>)";
constexpr const char* plainEnd = R"(</DIV><BR>)";

} // namespace

Steps backTrackView(const QString& colourWord)
{
    const Rgb c = backTrackColour;
    Steps steps{SetColour{c}, FocusEditor{}, NewLine{}};
    effects::appendLines(steps, backTrackHead, c);
    steps.push_back(InsertPiece{colourWord, c});
    effects::appendLines(steps, backTrackTail, c);
    steps.insert(steps.end(),
                 {SetColour{colours::black}, NewLine{}, CloseDialog{}, FocusEditor{}, RecordCaret{}});
    return steps;
}

Steps backTrackCancel() { return {CloseDialog{}, FocusEditor{}}; }

std::span<const ScriptLine> gradientLines() { return gradient; }

Steps gradientRule(effects::Producer producer)
{
    const bool palette = producer == effects::Producer::Palette;
    Steps steps{FocusEditor{}, SetColour{colours::blue}};
    effects::appendLines(steps, gradient, colours::blue);
    steps.insert(steps.end(), {SetColour{colours::black}, NewLine{}});
    if (palette)
        steps.push_back(CloseDialog{});
    steps.push_back(RecordCaret{});
    if (palette)
        steps.push_back(FocusEditor{});
    return steps;
}

QString shadowedHeadingPiece(const QString& text, bool centred)
{
    QString piece;
    if (centred)
        piece += QLatin1String(centredStart);
    piece += QLatin1String(greyCopy) + text + QLatin1String(copyEnd) + QLatin1String(blueCopy) + text;
    piece += QLatin1String(centred ? centredEnd : plainEnd);
    return piece;
}

Steps shadowedHeading(const QString& text, bool centred)
{
    Steps steps{FocusEditor{},
                SetColour{colours::blue},
                InsertPiece{shadowedHeadingPiece(text, centred), colours::blue},
                SetColour{colours::black},
                NewLine{},
                RecordCaret{},
                CloseDialog{}};
    if (centred)
        steps.push_back(FocusEditor{});
    return steps;
}

} // namespace dhtml
