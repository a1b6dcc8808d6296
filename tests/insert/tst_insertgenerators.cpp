// The insert generators against their output tables: every piece, its colour (or none), and
// every keystroke, in order.
#include "insert/PageColours.h"
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
};

QTEST_GUILESS_MAIN(InsertGeneratorsTest)
#include "tst_insertgenerators.moc"
