#include "effects/VBScripts.h"

namespace vbscripts {

namespace {

using effects::ScriptLine;

// Greetings end in two blanks, "It's " in one; two blanks stand after Date().
constexpr ScriptLine welcomeLines[] = {
    {R"(<H2>)", 1},
    {R"(<SCRIPT LANGUAGE="VBSCRIPT">)", 1},
    {R"(Call PrintWelcome)", 2},
    {R"(Sub PrintWelcome)", 1},
    {R"(Dim h)", 1},
    {R"(h = Hour(Now))", 1},
    {R"(If h < 12 then)", 1},
    {R"(Document.Write "Good morning!  ")", 1},
    {R"(ElseIf h < 17 then)", 1},
    {R"(Document.Write "Good afternoon!  ")", 1},
    {R"(Else)", 1},
    {R"(Document.Write "Good evening!  ")", 1},
    {R"(End If)", 1},
    {R"(Document.Write "Welcome to my world.  ")", 1},
    {R"(Document.Write "It's ")", 1},
    {R"(Document.Write Time() & " on " & Date()  & ".")", 1},
    {R"(End Sub)", 1},
    {R"(</SCRIPT></H2>)", 0},
};

constexpr ScriptLine lastModifiedLines[] = {
    {R"(<CENTER><SCRIPT language="VBScript">)", 1},
    {R"(document.write ("This document was last modified: " & document.lastModified))", 1},
    {R"(</SCRIPT></CENTER>)", 0},
};

// Seven open intervals (k-1, k): a draw that falls on a whole number changes nothing.
constexpr ScriptLine randomBackgroundLines[] = {
    {R"(<SCRIPT language="VBScript">)", 1},
    {R"(Dim Random)", 1},
    {R"(Randomize)", 1},
    {R"(Random = Rnd * 7)", 1},
    {R"(If Random < 1 AND Random > 0 Then)", 1},
    {R"(window.document.bgColor = "#FF0000")", 1},
    {R"(End If)", 1},
    {R"(If Random < 2 AND Random > 1 Then)", 1},
    {R"(window.document.bgColor = "#00FFFF")", 1},
    {R"(End If)", 1},
    {R"(If Random < 3 AND Random > 2 Then)", 1},
    {R"(window.document.bgColor = "#FF80FF")", 1},
    {R"(End If)", 1},
    {R"(If Random < 4 AND Random > 3 Then)", 1},
    {R"(window.document.bgColor = "#00FF00")", 1},
    {R"(End If)", 1},
    {R"(If Random < 5 AND Random > 4 Then)", 1},
    {R"(window.document.bgColor = "#FFFFFF")", 1},
    {R"(End If)", 1},
    {R"(If Random < 6 AND Random > 5 Then)", 1},
    {R"(window.document.bgColor = "#CCCFFF")", 1},
    {R"(End If)", 1},
    {R"(If Random < 7 AND Random > 6 Then)", 1},
    {R"(window.document.bgColor = "#FFFCCC")", 1},
    {R"(End If)", 1},
    {R"(</SCRIPT>)", 0},
};

} // namespace

std::span<const effects::ScriptLine> lines(Snippet snippet)
{
    switch (snippet) {
    case Snippet::Welcome:
        return welcomeLines;
    case Snippet::LastModified:
        return lastModifiedLines;
    case Snippet::RandomBackground:
        break;
    }
    return randomBackgroundLines;
}

Steps snippet(Snippet which, effects::Producer producer)
{
    using namespace step;
    Steps steps{FocusEditor{}, SetColour{snippetColour}};
    effects::appendLines(steps, lines(which), snippetColour);
    steps.insert(steps.end(), {SetColour{colours::black}, NewLine{}, NewLine{}, RecordCaret{}});
    if (producer == effects::Producer::Palette)
        steps.insert(steps.end(), {CloseDialog{}, FocusEditor{}});
    return steps;
}

} // namespace vbscripts
