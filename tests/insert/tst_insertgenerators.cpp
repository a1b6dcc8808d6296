// The insert generators against their output tables: every piece, its colour (or none), and
// every keystroke, in order.
#include "insert/LinkMarkup.h"
#include "insert/ListMarkup.h"
#include "insert/PageColours.h"
#include "insert/TableMarkup.h"
#include "insert/WebBotSearch.h"
#include "support/StepsText.h"

#include <QTest>

Q_DECLARE_METATYPE(Steps)
Q_DECLARE_METATYPE(pagecolours::Colours)


class InsertGeneratorsTest : public QObject {
    Q_OBJECT
private slots:
    void hexComponent_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("digits");
        QTest::newRow("0") << 0 << "00";
        QTest::newRow("9") << 9 << "09";
        QTest::newRow("10") << 10 << "0A";
        QTest::newRow("15") << 15 << "0F";
        QTest::newRow("16") << 16 << "10";
        QTest::newRow("171") << 171 << "AB";
        QTest::newRow("255") << 255 << "FF";
    }
    void hexComponent()
    {
        QFETCH(int, value);
        QFETCH(QString, digits);
        QCOMPARE(pagecolours::hexComponent(value), digits);
    }

    void bodyTag_data()
    {
        QTest::addColumn<pagecolours::Colours>("colours");
        QTest::addColumn<QString>("tag");
        QTest::newRow("starting colours")
            << pagecolours::Colours{}
            << R"(<BODY BGCOLOR="#FFFFFF" TEXT= "#000000" LINK= "#FF0000" VLINK= "#0000FF" > )";
        QTest::newRow("mixed values")
            << pagecolours::Colours{{10, 0, 255}, {1, 2, 3}, {171, 205, 239}, {16, 32, 48}}
            << R"(<BODY BGCOLOR="#0A00FF" TEXT= "#010203" LINK= "#ABCDEF" VLINK= "#102030" > )";
        QTest::newRow("three black colours take the defaults, whatever the visited link")
            << pagecolours::Colours{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {12, 200, 7}}
            << R"(<BODY BGCOLOR="#FFFFFF" TEXT= "#000000" LINK= "#FF0000" VLINK= "#0000FF" > )";
        QTest::newRow("black background and text with a coloured link stay as set")
            << pagecolours::Colours{{0, 0, 0}, {0, 0, 0}, {0, 0, 1}, {0, 0, 0}}
            << R"(<BODY BGCOLOR="#000000" TEXT= "#000000" LINK= "#000001" VLINK= "#000000" > )";
        QTest::newRow("all black visited link alone is no reason")
            << pagecolours::Colours{{255, 255, 255}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}
            << R"(<BODY BGCOLOR="#FFFFFF" TEXT= "#000000" LINK= "#000000" VLINK= "#000000" > )";
    }
    void bodyTag()
    {
        QFETCH(pagecolours::Colours, colours);
        QFETCH(QString, tag);
        QCOMPARE(pagecolours::bodyTag(colours), tag);
        QCOMPARE(tag.size(), 75);
        // Assembled in two halves: through the text colour, then the link colours.
        const auto [first, second] = pagecolours::bodyTagHalves(colours);
        QCOMPARE(first, tag.left(tag.indexOf(QLatin1String(" LINK="))));
        QCOMPARE(first + second, tag);
    }

    void pageColourSteps()
    {
        const QString tag = pagecolours::bodyTag({});
        const QStringList expected{
            "Select(40,6)",        "Insert[none](   )", "MoveCaret(40)",
            "Insert[none](" + tag + ")", "MoveCaret(122)", "CloseDialog",
            "FocusEditor",         "RecordCaret"};
        QCOMPARE(testkit::stepsText(pagecolours::applySteps(tag)), expected);
        QCOMPARE(pagecolours::caretAfter, 40 + 75 + 3 + 2 + 2);
    }

    void linkDialogs_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QStringList>("table");
        // Values go in exactly as typed: quotes, angle brackets and spaces included.
        const QString a = QStringLiteral(" http://x.test/?q=\"1\" ");
        const QString b = QStringLiteral("<b>Say \"hi\"</b>");
        QTest::newRow("hyperlink")
            << links::hyperlink(a, b)
            << QStringList{"ActivateDocument",
                           "Insert[0,255,255](<A HREF=\")", "Insert[0,0,0](" + a + ")",
                           "Insert[0,255,255](\">)",        "Insert[0,0,0](" + b + ")",
                           "Insert[0,255,255](</A>)",       "SetColour[0,0,0]",
                           "NewLine", "RecordCaret", "CloseDialog", "FocusEditor"};
        QTest::newRow("e-mail link")
            << links::mailLink(a, b)
            << QStringList{"FocusEditor",
                           "Insert[100,0,190](<A HREF=\")", "Insert[100,0,190](MAILTO:)",
                           "Insert[0,0,0](" + a + ")",     "Insert[100,0,190](\">)",
                           "Insert[0,0,0](" + b + ")",     "Insert[100,0,190](</A>)",
                           "SetColour[0,0,0]", "NewLine", "RecordCaret", "CloseDialog", "FocusEditor"};
        QTest::newRow("command button")
            << links::commandButton(a, b)
            << QStringList{"FocusEditor",
                           "Insert[100,20,150](<FORM METHOD=\"LINK\" ACTION=\")",
                           "Insert[0,0,0](" + a + ")",
                           "Insert[100,20,150](\"><INPUT TYPE=\"SUBMIT\" VALUE=\")",
                           "Insert[0,0,0](" + b + ")",
                           "Insert[100,20,150](\"></FORM>)",
                           "SetColour[0,0,0]", "NewLine", "CloseDialog", "FocusEditor", "RecordCaret"};
        QTest::newRow("empty values stay empty pieces")
            << links::hyperlink(QString(), QString())
            << QStringList{"ActivateDocument", "Insert[0,255,255](<A HREF=\")", "Insert[0,0,0]()",
                           "Insert[0,255,255](\">)", "Insert[0,0,0]()", "Insert[0,255,255](</A>)",
                           "SetColour[0,0,0]", "NewLine", "RecordCaret", "CloseDialog", "FocusEditor"};
    }
    void linkDialogs()
    {
        QFETCH(Steps, steps);
        QFETCH(QStringList, table);
        QCOMPARE(testkit::stepsText(steps), table);
    }

    void tableOpening_data()
    {
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("expected");
        table::Values v{2, 3, "1", "100", "50", "2", "3", "T"};
        QTest::newRow("all values")
            << table::openingString(v)
            << R"(<TABLE COLSPEC="L20 L20"BORDER=1 WIDTH=100 HEIGHT=50 CELLPADDING=2 CELLSPACING=3><CAPTION ALIGN=TOP>T</Caption >)";
        QTest::newRow("empty values leave bare equals signs")
            << table::openingString(table::Values{})
            << R"(<TABLE COLSPEC="L20 L20"BORDER= WIDTH= HEIGHT= CELLPADDING= CELLSPACING=><CAPTION ALIGN=TOP></Caption >)";
        table::Values odd;
        odd.caption = QStringLiteral("A \"q\" <b>");
        odd.width = QStringLiteral("5%");
        QTest::newRow("values as typed")
            << table::openingString(odd)
            << R"(<TABLE COLSPEC="L20 L20"BORDER= WIDTH=5% HEIGHT= CELLPADDING= CELLSPACING=><CAPTION ALIGN=TOP>A "q" <b></Caption >)";
    }
    void tableOpening()
    {
        QFETCH(QString, opening);
        QFETCH(QString, expected);
        QCOMPARE(opening, expected);
    }

    void tableSteps()
    {
        table::Values v{2, 3, "1", "100", "50", "2", "3", "T"};
        const QString row = "Insert[130,130,130](<TR>)";
        const QString cell = "Insert[130,130,130](<TH></TH>)";
        const QString rowEnd = "Insert[130,130,130](</TR>)";
        const QStringList expected{"FocusEditor", "Insert[130,130,130](" + table::openingString(v) + ")",
                                   "NewLine", "RecordCaret",
                                   row, cell, cell, cell, rowEnd, "NewLine",
                                   row, cell, cell, cell, rowEnd, "NewLine",
                                   "Insert[130,130,130](</TABLE>)", "SetColour[0,0,0]", "RecordCaret",
                                   "CloseDialog", "FocusEditor"};
        QCOMPARE(testkit::stepsText(table::insertTable(v)), expected);

        // The largest table: 15 rows of 10 cells.
        v.rows = table::maxRows;
        v.columns = table::maxColumns;
        const QStringList big = testkit::stepsText(table::insertTable(v));
        QCOMPARE(big.count(cell), 150);
        QCOMPARE(big.count(row), 15);
        QCOMPARE(big.count("NewLine"), 16);
    }

    void listString_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one") << 1 << "<UL><LI>&nbsp;A</LI></UL>";
        QTest::newRow("three") << 3 << "<UL><LI>&nbsp;A</LI><LI>&nbsp;B</LI><LI>&nbsp;C\r\nc</LI></UL>";
        QTest::newRow("eight")
            << 8
            << "<UL><LI>&nbsp;A</LI><LI>&nbsp;B</LI><LI>&nbsp;C\r\nc</LI><LI>&nbsp;</LI><LI>&nbsp;E"
               "</LI><LI>&nbsp;F</LI><LI>&nbsp;G</LI><LI>&nbsp;H</LI></UL>";
    }
    void listString()
    {
        QFETCH(int, n);
        QFETCH(QString, expected);
        // Item 4 is empty; item 3 holds a line break, kept as typed.
        const QStringList items{"A", "B", "C\r\nc", "", "E", "F", "G", "H"};
        QCOMPARE(bulleted::listString(n, items), expected);
    }

    void listSteps()
    {
        const QStringList items{"A", "B"};
        QCOMPARE(testkit::stepsText(bulleted::insertList(2, items)),
                 (QStringList{"FocusEditor", "Insert[none](" + bulleted::listString(2, items) + ")",
                              "NewLine", "RecordCaret", "CloseDialog", "FocusEditor", "RecordCaret"}));
        // No number of items chosen: nothing inserted, no Enter, still closes.
        QCOMPARE(testkit::stepsText(bulleted::insertList(0, items)),
                 (QStringList{"FocusEditor", "CloseDialog", "FocusEditor", "RecordCaret"}));
    }

    void webBotSearch()
    {
        const QString a = R"(<!--webbot bot= "Search" startspan s-index= "All" s-fields= "DocumentK," s-text= "Search for:" i-size= "20" s-submit= "Start Search" s-clear= "Reset" tag= "FORM" -->)";
        const QString b = R"(<input type= "text" name= "search" size=20></p> <p><input type= "submit" value= "Start Search">)";
        const QString c = R"(<input type= "reset" value= "Reset"></p> </form><!--webbot bot= "Search" i-checksum= "44572" endspan -->)";
        QCOMPARE(webbot::openingComment(), a);
        QCOMPARE(webbot::fieldAndSubmit(), b);
        QCOMPARE(webbot::resetAndClosing(), c);
        QCOMPARE(testkit::stepsText(webbot::searchForm()),
                 (QStringList{"FocusEditor", "Insert[0,200,0](" + a + ")", "NewLine",
                              "Insert[0,200,0](<form><p><b>Search for:</b>)", "NewLine",
                              "Insert[0,200,0](" + b + ")", "NewLine",
                              "Insert[0,200,0](" + c + ")", "SetColour[0,0,0]", "NewLine",
                              "RecordCaret"}));
    }
};

QTEST_GUILESS_MAIN(InsertGeneratorsTest)
#include "tst_insertgenerators.moc"
