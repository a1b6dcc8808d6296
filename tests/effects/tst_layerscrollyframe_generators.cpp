// The image-layering, scrolly and frameset generators against their output tables, and the
// number conversion of the layering positions.
#include "effects/FramesetPage.h"
#include "effects/LayerScript.h"
#include "effects/ScrollyScript.h"
#include "support/StepsText.h"

#include <QTest>
#include <limits>

Q_DECLARE_METATYPE(std::optional<qint32>)
Q_DECLARE_METATYPE(frameset::Values)

namespace {

const QString olive = QStringLiteral("130,130,55");

// Each line: inserted in the layering colour, then Enter.
QStringList olivePieces(const QStringList& texts)
{
    QStringList out;
    for (const QString& t : texts)
        out << QStringLiteral("Insert[%1](%2)").arg(olive, t) << QStringLiteral("NewLine");
    return out;
}

layering::Values sample(const QString& left, const QString& top1, const QString& top2)
{
    layering::Values v;
    v.image1 = QStringLiteral("a.gif");
    v.image2 = QStringLiteral("b.jpg");
    v.height1 = QStringLiteral("40");
    v.width1 = QStringLiteral("41");
    v.height2 = QStringLiteral("50");
    v.width2 = QStringLiteral("51");
    v.left = left;
    v.top1 = top1;
    v.top2 = top2;
    return v;
}

// The five pieces that go in before 2L is needed.
QStringList firstFive(const QString& top1, const QString& top2, const QString& left)
{
    return {
        R"(<IMG SRC="a.gif" ID=graphic1 STYLE="container:positioned; position:absolute; top:)" + top1 +
            R"(; left:0; height:40; width:41; zIndex:1" > )",
        R"(<IMG SRC="b.jpg" ID=graphic2 STYLE="container:positioned; position:absolute; top:)" + top2 +
            "; left:" + left + R"(; height:50; width:51; zIndex:2">)",
        R"(<SCRIPT LANGUAGE="JavaScript">)",
        "function slide_em() {",
        "where++;",
    };
}

} // namespace

class LayerScrollyFrameGeneratorsTest : public QObject {
    Q_OBJECT
private slots:
    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::optional<qint32>>("number");
        const std::optional<qint32> none;
        auto n = [](qint32 v) { return std::optional<qint32>(v); };
        QTest::newRow("plain") << "100" << n(100);
        QTest::newRow("blanks around") << " \t7 " << n(7);
        QTest::newRow("12.5 to even 12") << "12.5" << n(12);
        QTest::newRow("13.5 to even 14") << "13.5" << n(14);
        QTest::newRow("-2.5 to -2") << "-2.5" << n(-2);
        QTest::newRow("just above half") << "12.5000000000000000000001" << n(13);
        QTest::newRow("fraction without whole") << ".7" << n(1);
        QTest::newRow("negative exponent to a half") << "125E-1" << n(12);
        QTest::newRow("largest") << "2147483647" << n(std::numeric_limits<qint32>::max());
        QTest::newRow("smallest half goes to even") << "-2147483648.5" << n(std::numeric_limits<qint32>::min());
        QTest::newRow("half over the top rounds out") << "2147483647.5" << none;
        QTest::newRow("one over") << "2147483648" << none;
        QTest::newRow("eleven digits") << "99999999999" << none;
        QTest::newRow("huge exponent") << "1e999999999999" << none;
        QTest::newRow("empty") << "" << none;
        QTest::newRow("blanks only") << "   " << none;
        QTest::newRow("trailing text") << "12px" << none;
        QTest::newRow("blank inside") << "1 2" << none;
        QTest::newRow("hex") << "0x10" << none;
    }
    void wholeNumbers()
    {
        QFETCH(QString, typed);
        QFETCH(std::optional<qint32>, number);
        QCOMPARE(layering::toWholeNumber(typed), number);
    }

    void layeringPieces_data()
    {
        QTest::addColumn<layering::Values>("values");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("L 100") << sample(" 100 ", "10", "20")
                               << (firstFive("10", "20", "100") + QStringList{
                                      "if (where<200) {", "place=where;",
                                      "if (place>100) {place=(200-where);}",
                                      "graphic1.style.left=place;", "graphic2.style.left=(100-place);",
                                      "if (where==100) {", "graphic2.style.zIndex=1;",
                                      "graphic1.style.zIndex=2;", "}",
                                      R"x(timer=setTimeout("slide_em()", 20);)x", "}", "}",
                                      "var where=0;", "slide_em();", "</SCRIPT>"});
        layering::Values empty;
        empty.left = "1073741823"; // the largest L whose double fits
        empty.top1 = "0";
        empty.top2 = "0";
        QTest::newRow("empty names and sizes")
            << empty
            << QStringList{
                   R"(<IMG SRC="" ID=graphic1 STYLE="container:positioned; position:absolute; top:0; left:0; height:; width:; zIndex:1" > )",
                   R"(<IMG SRC="" ID=graphic2 STYLE="container:positioned; position:absolute; top:0; left:1073741823; height:; width:; zIndex:2">)",
                   R"(<SCRIPT LANGUAGE="JavaScript">)", "function slide_em() {", "where++;",
                   "if (where<2147483646) {", "place=where;",
                   "if (place>1073741823) {place=(2147483646-where);}",
                   "graphic1.style.left=place;", "graphic2.style.left=(1073741823-place);",
                   "if (where==1073741823) {", "graphic2.style.zIndex=1;",
                   "graphic1.style.zIndex=2;", "}", R"x(timer=setTimeout("slide_em()", 20);)x", "}",
                   "}", "var where=0;", "slide_em();", "</SCRIPT>"};
    }
    void layeringPieces()
    {
        QFETCH(layering::Values, values);
        QFETCH(QStringList, texts);
        QCOMPARE(texts.size(), 20);
        const layering::Outcome out = layering::apply(values);
        QVERIFY(!out.failed);
        const QStringList expected = QStringList{"FocusEditor"} + olivePieces(texts) +
                                     QStringList{"SetColour[0,0,0]", "CloseDialog", "RecordCaret"};
        QCOMPARE(testkit::stepsText(out.steps), expected);
    }

    void layeringErrors_data()
    {
        QTest::addColumn<layering::Values>("values");
        QTest::addColumn<QStringList>("before"); // what goes in before the error
        QTest::newRow("empty L") << sample("", "0", "0") << QStringList();
        QTest::newRow("blank top 1") << sample("5", " ", "0") << QStringList();
        QTest::newRow("text in top 2") << sample("5", "0", "ten") << QStringList();
        QTest::newRow("top out of range") << sample("5", "3000000000", "0") << QStringList();
        QTest::newRow("2L over the top")
            << sample("1073741824", "1", "2")
            << QStringList{"FocusEditor"} + olivePieces(firstFive("1", "2", "1073741824"));
        QTest::newRow("2L under the bottom")
            << sample("-1073741825", "1", "2")
            << QStringList{"FocusEditor"} + olivePieces(firstFive("1", "2", "-1073741825"));
    }
    void layeringErrors()
    {
        QFETCH(layering::Values, values);
        QFETCH(QStringList, before);
        const layering::Outcome out = layering::apply(values);
        QVERIFY(out.failed);
        QCOMPARE(testkit::stepsText(out.steps), before);
        QCOMPARE(testkit::stepsText(layering::unloadSteps()), (QStringList{"CloseDialog", "RecordCaret"}));
        QVERIFY(layering::errorMessage.startsWith(QLatin1String(" You have encountered an unspecified error(")));
    }

    void scrollyPieces_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("call");
        QTest::newRow("five letters") << "Hello" << R"(scrolly ("Hello"))";
        QTest::newRow("empty") << "" << R"(scrolly (""))";
        QTest::newRow("quotes as typed") << "it's \"x\"" << "scrolly (\"it's \"x\"\")";
    }
    void scrollyPieces()
    {
        QFETCH(QString, message);
        QFETCH(QString, call);
        const QStringList texts{
            "<script>",
            call,
            "function scrolly(tx)",
            "{",
            " if (document.scrollText == null) {",
            "     document.scrollText = \"\";",
            "     for (i = 0; i < 200; i++) {",
            "     document.scrollText = document.scrollText + \" \";",
            "     }",
            "     document.scrollText = document.scrollText + tx;",
            "     document.scrollNum = 0;",
            "     document.scrollMsg = \"\";",
            "     document.scrollGo =\"1\";",
            "     }",
            " if (document.scrollText != null && document.scrollGo == \"1\") {",
            "     for (k = document.scrollNum; k < document.scrollText.length; k++) {",
            "     document.scrollMsg = document.scrollMsg + document.scrollText.charAt(k);",
            "     }",
            "     window.status = document.scrollMsg;",
            "     document.scrollNum++;",
            "     document.scrollMsg = \"\";",
            "     }",
            " if (document.scrollNum == document.scrollText.length) {",
            "     document.scrollText = null;",
            "     }",
            "     ab1 = window.setTimeout(\"scrolly('\"+ tx +\"');\", 50);",
            "}",
            "</script>",
        };
        QCOMPARE(texts.size(), 28);
        QStringList expected{"FocusEditor"};
        for (const QString& t : texts)
            expected << "Insert[0,100,90](" + t + ")" << "NewLine";
        expected << "SetColour[0,0,0]" << "RecordCaret" << "CloseDialog";
        QCOMPARE(testkit::stepsText(scrolly::apply(message)), expected);
    }

    void framesetPage_data()
    {
        using frameset::Layout;
        QTest::addColumn<frameset::Values>("values");
        QTest::addColumn<QString>("page");
        QTest::newRow("vertical 30/70")
            << frameset::Values{Layout::Vertical, false, "30", "70", "index.htm", "main.htm"}
            << R"(<HTML><FRAMESET COLS="30%,70%"><FRAME SRC="index.htm"><FRAME SRC="main.htm"></FRAMESET><BODY></BODY></HTML>)";
        QTest::newRow("vertical, no border")
            << frameset::Values{Layout::Vertical, true, "50", "50", "a.htm", "b.htm"}
            << R"(<HTML><FRAMESET COLS="50%,50%"FRAMEBORDER=NO BORDER=0 FRAMESPACING=0><FRAME SRC="a.htm"><FRAME SRC="b.htm"></FRAMESET><BODY></BODY></HTML>)";
        QTest::newRow("horizontal")
            << frameset::Values{Layout::Horizontal, false, "20", "80", "top.htm", "rest.htm"}
            << R"(<HTML><FRAMESET ROWS="20%,80%"><FRAME SRC="top.htm"><FRAME SRC="rest.htm"></FRAMESET><BODY></BODY></HTML>)";
        QTest::newRow("horizontal, no border keeps BORDER=1")
            << frameset::Values{Layout::Horizontal, true, "20", "80", "top.htm", "rest.htm"}
            << R"(<HTML><FRAMESET ROWS="20%,80%"FRAMEBORDER=NO BORDER=1 FRAMESPACING=0><FRAME SRC="top.htm"><FRAME SRC="rest.htm"></FRAMESET><BODY></BODY></HTML>)";
        QTest::newRow("empty values as typed")
            << frameset::Values{Layout::Vertical, false, "", "", "", ""}
            << R"(<HTML><FRAMESET COLS="%,%"><FRAME SRC=""><FRAME SRC=""></FRAMESET><BODY></BODY></HTML>)";
    }
    void framesetPage()
    {
        QFETCH(frameset::Values, values);
        QFETCH(QString, page);
        QCOMPARE(frameset::page(values), page);
    }
};

QTEST_GUILESS_MAIN(LayerScrollyFrameGeneratorsTest)
#include "tst_layerscrollyframe_generators.moc"
