// The effect generators against their output tables: every piece, its colour and every
// Enter, in order; and the menu and palette producers of one effect writing the same.
#include "effects/DhtmlEffects.h"
#include "effects/VBScripts.h"
#include "support/StepsText.h"

#include <QTest>
#include <utility>
#include <vector>

Q_DECLARE_METATYPE(Steps)

using effects::Producer;
using vbscripts::Snippet;

namespace {

// The scripts below are fixed texts the product writes, word for word: these tables are their
// golden copies, kept apart from the product's own on purpose.

// A table row: the piece and the Enters after it.
using Row = std::pair<QString, int>;

QStringList lines(const std::vector<Row>& rows, const QString& colour)
{
    QStringList out;
    for (const auto& [text, enters] : rows) {
        out << QStringLiteral("Insert[%1](%2)").arg(colour, text);
        for (int i = 0; i < enters; ++i)
            out << QStringLiteral("NewLine");
    }
    return out;
}

const std::vector<Row> welcomeTable{
    {"<H2>", 1},
    {"<SCRIPT LANGUAGE=\"VBSCRIPT\">", 1},
    {"Call PrintWelcome", 2},
    {"Sub PrintWelcome", 1},
    {"Dim h", 1},
    {"h = Hour(Now)", 1},
    {"If h < 12 then", 1},
    {"Document.Write \"Good morning!  \"", 1},
    {"ElseIf h < 17 then", 1},
    {"Document.Write \"Good afternoon!  \"", 1},
    {"Else", 1},
    {"Document.Write \"Good evening!  \"", 1},
    {"End If", 1},
    {"Document.Write \"Welcome to my world.  \"", 1},
    {"Document.Write \"It's \"", 1},
    {"Document.Write Time() & \" on \" & Date()  & \".\"", 1},
    {"End Sub", 1},
    {"</SCRIPT></H2>", 0},
};

const std::vector<Row> lastModifiedTable{
    {"<CENTER><SCRIPT language=\"VBScript\">", 1},
    {"document.write (\"This document was last modified: \" & document.lastModified)", 1},
    {"</SCRIPT></CENTER>", 0},
};

std::vector<Row> randomBackgroundTable()
{
    std::vector<Row> rows{{"<SCRIPT language=\"VBScript\">", 1},
                          {"Dim Random", 1},
                          {"Randomize", 1},
                          {"Random = Rnd * 7", 1}};
    const char* colours[] = {"#FF0000", "#00FFFF", "#FF80FF", "#00FF00",
                             "#FFFFFF", "#CCCFFF", "#FFFCCC"};
    for (int k = 1; k <= 7; ++k) {
        rows.push_back({QStringLiteral("If Random < %1 AND Random > %2 Then").arg(k).arg(k - 1), 1});
        rows.push_back({QStringLiteral("window.document.bgColor = \"%1\"").arg(QLatin1String(colours[k - 1])), 1});
        rows.push_back({QStringLiteral("End If"), 1});
    }
    rows.push_back({QStringLiteral("</SCRIPT>"), 0});
    return rows;
}

const std::vector<Row> gradientTable{
    {"<TABLE CELLSPACING=0 BORDERWIDTH=0 WIDTH=\"100%\"><TR>", 1},
    {"<TD WIDTH=\"10%\" BGCOLOR=#0000F7>", 1},
    {"<DIV STYLE=\"font-size: 5; fontsize: 5; color=#0000F7\">A</DIV>", 1},
    {"<TD WIDTH=\"10%\" BGCOLOR=#0000FF>", 1},
    {"<TD WIDTH=\"10%\" BGCOLOR=#0000F7>", 1},
    {"<TD WIDTH=\"10%\" BGCOLOR=#0000EF>", 1},
    {"<TD WIDTH=\"10%\" BGCOLOR=#0000E7>", 1},
    {"<TD WIDTH=\"10%\" BGCOLOR=#0000D7>", 1},
    {"<TD WIDTH=\"10%\" BGCOLOR=#0000C7>", 1},
    {"<TD WIDTH=\"10%\" BGCOLOR=#0000B7>", 1},
    {"<TD WIDTH=\"10%\" BGCOLOR=#0000A7>", 1},
    {"<TD WIDTH=\"10%\" BGCOLOR=#000097>", 1},
    {"</TR>", 1},
    {"</TABLE>", 0},
};

const QString grey = QStringLiteral(
    "<DIV STYLE=\"margin-left: 0px; margin-top: 0px; font-family: Arial; font-size: 30pt; "
    "fontsize: 30pt; font-weight: medium; font-style: normal; color: #C0C0C0;\">");
const QString blue = QStringLiteral(
    "<DIV STYLE=\"margin-left: 2px; margin-top: -48px ; font-family: Arial; font-size: 30pt; "
    "fontsize: 30pt; font-weight: medium; font-style: normal; color: #0000C0;\">");

// Everything but the palette's own closing steps.
Steps withoutClosing(Steps steps)
{
    std::erase_if(steps, [](const Step& s) { return std::holds_alternative<step::CloseDialog>(s); });
    if (!steps.empty() && std::holds_alternative<step::FocusEditor>(steps.back()))
        steps.pop_back();
    return steps;
}

} // namespace

class EffectGeneratorsTest : public QObject {
    Q_OBJECT
private slots:
    void vbScripts_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QStringList>("table");
        const QString c = QStringLiteral("185,80,85");
        const QStringList menuEnd{"SetColour[0,0,0]", "NewLine", "NewLine", "RecordCaret"};
        const QStringList paletteEnd = menuEnd + QStringList{"CloseDialog", "FocusEditor"};
        const QStringList start{"FocusEditor", "SetColour[" + c + "]"};
        const std::pair<Snippet, std::vector<Row>> snippets[] = {
            {Snippet::Welcome, welcomeTable},
            {Snippet::LastModified, lastModifiedTable},
            {Snippet::RandomBackground, randomBackgroundTable()},
        };
        const char* names[] = {"welcome", "last modified", "random background"};
        int i = 0;
        for (const auto& [snippet, rows] : snippets) {
            QTest::addRow("%s from the menu", names[i])
                << vbscripts::snippet(snippet, Producer::Menu) << start + lines(rows, c) + menuEnd;
            QTest::addRow("%s from the palette", names[i])
                << vbscripts::snippet(snippet, Producer::Palette) << start + lines(rows, c) + paletteEnd;
            ++i;
        }
    }
    void vbScripts()
    {
        QFETCH(Steps, steps);
        QFETCH(QStringList, table);
        QCOMPARE(testkit::stepsText(steps), table);
    }

    void menuAndPaletteWriteTheSame_data()
    {
        QTest::addColumn<Steps>("menu");
        QTest::addColumn<Steps>("palette");
        for (Snippet s : {Snippet::Welcome, Snippet::LastModified, Snippet::RandomBackground})
            QTest::addRow("snippet %d", int(s))
                << vbscripts::snippet(s, Producer::Menu) << vbscripts::snippet(s, Producer::Palette);
        QTest::newRow("gradient rule")
            << dhtml::gradientRule(Producer::Menu) << dhtml::gradientRule(Producer::Palette);
    }
    void menuAndPaletteWriteTheSame()
    {
        QFETCH(Steps, menu);
        QFETCH(Steps, palette);
        QCOMPARE(testkit::stepsText(withoutClosing(palette)), testkit::stepsText(menu));
        QVERIFY(palette.size() > menu.size()); // only the palette closes itself
    }

    void gradientRule_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QStringList>("table");
        const QStringList body = QStringList{"FocusEditor", "SetColour[0,0,255]"}
                                 + lines(gradientTable, QStringLiteral("0,0,255"))
                                 + QStringList{"SetColour[0,0,0]", "NewLine"};
        QTest::newRow("menu") << dhtml::gradientRule(Producer::Menu) << body + QStringList{"RecordCaret"};
        QTest::newRow("palette") << dhtml::gradientRule(Producer::Palette)
                                 << body + QStringList{"CloseDialog", "RecordCaret", "FocusEditor"};
    }
    void gradientRule()
    {
        QFETCH(Steps, steps);
        QFETCH(QStringList, table);
        QCOMPARE(testkit::stepsText(steps), table);
    }

    void backTrackView_data()
    {
        QTest::addColumn<QString>("word");
        QTest::newRow("Black") << "Black";
        QTest::newRow("White") << "White";
        QTest::newRow("Red") << "Red";
        QTest::newRow("Blue") << "Blue";
        QTest::newRow("no option: empty word") << "";
    }
    void backTrackView()
    {
        QFETCH(QString, word);
        const QString v = QStringLiteral("100,20,150");
        const std::vector<Row> rows{
            {"<center><script language=\"javascript\">", 1},
            {"var where = document.referrer", 1},
            {"var name = navigator.appName", 1},
            {"var vers = navigator.appVersion", 1},
            {"document.write(\"<FONT COLOR=", 0},
            {word, 0},
            {"><FONT SIZE=4>", 0},
            {"you came here via <BR>\"+where+\" <BR> \"+name+\"", 0},
            {"\"+vers+\"<BR></FONT></FONT>\")", 1},
            {"</script></center>", 0},
        };
        const QStringList expected = QStringList{"SetColour[" + v + "]", "FocusEditor", "NewLine"}
                                     + lines(rows, v)
                                     + QStringList{"SetColour[0,0,0]", "NewLine", "CloseDialog",
                                                   "FocusEditor", "RecordCaret"};
        QCOMPARE(testkit::stepsText(dhtml::backTrackView(word)), expected);
    }

    void shadowedHeading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<QString>("piece");
        const QString t = QStringLiteral("My \"Page\" <i>");
        QTest::newRow("centred") << t << true
            << "<CENTER>" + grey + t + "</DIV>" + blue + t + "</DIV></CENTER><BR>";
        QTest::newRow("not centred") << t << false
            << grey + t + "</DIV>" + blue + t + "</DIV><BR>";
        QTest::newRow("empty heading keeps both DIVs") << QString() << false
            << grey + "</DIV>" + blue + "</DIV><BR>";
    }
    void shadowedHeading()
    {
        QFETCH(QString, text);
        QFETCH(bool, centred);
        QFETCH(QString, piece);
        QCOMPARE(dhtml::shadowedHeadingPiece(text, centred), piece);
        QStringList expected{"FocusEditor", "SetColour[0,0,255]", "Insert[0,0,255](" + piece + ")",
                             "SetColour[0,0,0]", "NewLine", "RecordCaret", "CloseDialog"};
        if (centred)
            expected << "FocusEditor";
        QCOMPARE(testkit::stepsText(dhtml::shadowedHeading(text, centred)), expected);
    }
};

QTEST_MAIN(EffectGeneratorsTest)
#include "tst_effectgenerators.moc"
