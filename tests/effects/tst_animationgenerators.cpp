// The page-transition and dynamic-animation generators against their tables: the ten tags,
// the kept script, the element, and where each piece goes for the page Apply starts from.
#include "document/PageTemplate.h"
#include "effects/DynamicAnimation.h"
#include "effects/PageTransitions.h"
#include "support/StepsText.h"

#include <QCryptographicHash>
#include <QTest>

namespace {

const int templateLength = static_cast<int>(page::newPageTemplate().size());

} // namespace

class AnimationGeneratorsTest : public QObject {
    Q_OBJECT
private slots:
    void transitionTags()
    {
        QStringList labels;
        QStringList numbers;
        for (std::size_t i = 0; i < transitions::choices.size(); ++i) {
            const transitions::Choice& c = transitions::choices[i];
            QCOMPARE(QString::fromLatin1(c.option), QStringLiteral("Option%1").arg(i + 1));
            labels << QString::fromLatin1(c.label);
            numbers << QString::number(c.transition);
        }
        QCOMPARE(labels, (QStringList{"Vertical Load", "Circle Load", "Wipe Down Load", "Checkerboard Load",
                                      "Random Vertical Load", "Dissolve Load", "Strips Load",
                                      "Wipe Right Load", "Boxed In Load", "Random Load"}));
        QCOMPARE(numbers.join(QLatin1Char(',')), QStringLiteral("8,2,5,11,22,12,19,6,0,23"));
        QCOMPARE(transitions::tag(11),
                 QStringLiteral("<meta http-equiv=\"Page-Enter\" content=\"revealTrans(Duration=1,Transition=11)\">"));
        QVERIFY(transitions::tag(0).endsWith(QLatin1String("Transition=0)\">")));
        QCOMPARE(transitions::tag(0).size(), 77);
    }

    void transitionSteps_data()
    {
        QTest::addColumn<int>("savedCaret");
        QTest::addColumn<int>("textLength");
        QTest::addColumn<int>("caret"); // where Apply first puts the caret
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("after");
        const int n = static_cast<int>(transitions::tag(8).size());
        QTest::newRow("caret after the colour picker") << 122 << templateLength + 75 - 3 << 122 << 14 << 122 + n;
        QTest::newRow("caret at the head's end moves on") << 14 << templateLength << 14 << 14 << 14 + n;
        QTest::newRow("caret in front of the head stays") << 0 << templateLength << 0 << 14 << 0;
        QTest::newRow("saved caret past the end is taken as the end")
            << 500 << templateLength << templateLength << 14 << templateLength + n;
        QTest::newRow("page shorter than the head: at its end") << 5 << 5 << 5 << 5 << 5 + n;
    }
    void transitionSteps()
    {
        QFETCH(int, savedCaret);
        QFETCH(int, textLength);
        QFETCH(int, caret);
        QFETCH(int, at);
        QFETCH(int, after);
        const QString tag = transitions::tag(8);
        const QStringList expected{"FocusEditor",
                                   QStringLiteral("MoveCaret(%1)").arg(caret),
                                   QStringLiteral("MoveCaret(%1)").arg(at),
                                   "Insert[none](" + tag + ")",
                                   QStringLiteral("MoveCaret(%1)").arg(after),
                                   "RecordCaret",
                                   "CloseDialog"};
        QCOMPARE(testkit::stepsText(transitions::pageTransition(tag, {savedCaret, textLength})), expected);
    }

    void scriptResource()
    {
        const QStringList& pieces = dynanim::scriptPieces();
        QCOMPARE(pieces.size(), 243);
        QCOMPARE(pieces.first(), QStringLiteral("<script language=\"JavaScript\" fptype=\"dynamicanimation\">"));
        QCOMPARE(pieces.at(12), QStringLiteral("outString = \"\""));
        QCOMPARE(pieces.at(55),
                 QString::fromLatin1("outString = \"<SPAN \" + dynamicanimAttr + \"=\\\"\" + animation + "
                                   "\"\\\" style=\\\"position: relative; left: 10000;\\\">\""));
        QCOMPARE(pieces.at(241), QStringLiteral("//-->"));
        QCOMPARE(pieces.last(), QStringLiteral("</script>"));
        for (const QString& piece : pieces) {
            QVERIFY2(!piece.isEmpty() && piece == piece.trimmed(), qPrintable(piece));
            QVERIFY(!piece.contains(QLatin1Char('\r')) && !piece.contains(QLatin1Char('\n')));
        }
        // The whole script as it enters the page, every piece with its line break.
        const QString text = pieces.join(QLatin1String("\r\n")) + QLatin1String("\r\n");
        QCOMPARE(text.size(), 5862);
        QCOMPARE(dynanim::scriptLength(), 5862);
        QCOMPARE(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex(),
                 QByteArray("3e75b7904320c0d575560ec939af3b3ce28dccf48891945b7e75faf2a0bf3b8e"));
    }

    void element_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("piece");
        QTest::newRow("starting values") << "flyBottomRight" << "" << "50" << "50"
            << R"(<p dynamicanimation="flyBottomRight" Style = "position: relative !important; left: 10000 !important" ><img src="" width="50" height="50" alt=""></p>)";
        QTest::newRow("image named twice, sizes as shown") << "Spiral" << "a b.gif" << "0" << "500"
            << R"(<p dynamicanimation="Spiral" Style = "position: relative !important; left: 10000 !important" ><img src="a b.gif" width="0" height="500" alt="a b.gif"></p>)";
        QTest::newRow("quotes go in unescaped") << "flyTop" << "x\"y" << "10" << "20"
            << R"(<p dynamicanimation="flyTop" Style = "position: relative !important; left: 10000 !important" ><img src="x"y" width="10" height="20" alt="x"y"></p>)";
    }
    void element()
    {
        QFETCH(QString, effect);
        QFETCH(QString, image);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, piece);
        QCOMPARE(dynanim::element({effect, image, width, height}), piece);
        QCOMPARE(piece.size(), 130 + effect.size() + 2 * image.size() + width.size() + height.size());
    }

    // Where the attribute, the script and the element go, by the page Apply starts from.
    void animationSteps_data()
    {
        QTest::addColumn<int>("savedCaret");
        QTest::addColumn<int>("textLength");
        QTest::addColumn<int>("tagLength");
        QTest::addColumn<int>("caret"); // where Apply first puts the caret
        QTest::addColumn<int>("attributeAt");
        QTest::addColumn<int>("scriptAt");
        QTest::addColumn<int>("elementAt");
        const int script = 5862;
        const int attribute = 24;
        const int colours = templateLength + 72; // the body tag of the colour picker in place
        QTest::newRow("after the colour picker") << 122 << colours << 0 << 122 << 46 << 14
                                                 << 122 + attribute + script;
        QTest::newRow("after a page transition") << 122 + 77 << colours + 77 << 77 << 122 + 77 << 46 + 77 << 14
                                                 << 122 + 77 + attribute + script;
        QTest::newRow("caret at 0 stays") << 0 << templateLength << 0 << 0 << 46 << 14 << 0;
        QTest::newRow("caret at 14 moves past the script") << 14 << templateLength << 0 << 14 << 46 << 14
                                                           << 14 + script;
        QTest::newRow("caret between head and attribute: script only")
            << 30 << templateLength << 0 << 30 << 46 << 14 << 30 + script;
        QTest::newRow("caret at the attribute moves past both")
            << 46 << templateLength << 0 << 46 << 46 << 14 << 46 + attribute + script;
        QTest::newRow("saved caret past the end is the end")
            << 9999 << templateLength << 0 << templateLength << 46 << 14 << templateLength + attribute + script;
        QTest::newRow("short page: attribute at its end") << 3 << 10 << 0 << 3 << 10 << 14 << 3;
    }
    void animationSteps()
    {
        QFETCH(int, savedCaret);
        QFETCH(int, textLength);
        QFETCH(int, tagLength);
        QFETCH(int, caret);
        QFETCH(int, attributeAt);
        QFETCH(int, scriptAt);
        QFETCH(int, elementAt);
        const dynanim::Values v{"flyTop", "i.gif", "50", "60"};
        const QStringList steps =
            testkit::stepsText(dynanim::dynamicAnimation(v, {savedCaret, textLength, -1, tagLength}));
        QStringList expected{QStringLiteral("MoveCaret(%1)").arg(caret),
                             "FocusEditor",
                             QStringLiteral("MoveCaret(%1)").arg(attributeAt),
                             "Insert[none](onload=\"dynAnimation()\" )",
                             QStringLiteral("MoveCaret(%1)").arg(scriptAt)};
        for (const QString& piece : dynanim::scriptPieces())
            expected << "Insert[none](" + piece + ")" << "NewLine";
        expected << "FocusEditor" << QStringLiteral("MoveCaret(%1)").arg(elementAt)
                 << "Insert[none](" + dynanim::element(v) + ")" << "RecordCaret" << "CloseDialog"
                 << "FocusEditor" << "RecordCaret" << "FocusEditor";
        QCOMPARE(steps, expected);
    }

    void preparedPageGetsTheElementOnly()
    {
        const dynanim::Values v{"Spiral", "s.jpg", "40", "30"};
        const QStringList expected{"MoveCaret(300)", "Select(220,17)", "FocusEditor", "MoveCaret(300)",
                                   "Insert[none](" + dynanim::element(v) + ")", "RecordCaret",
                                   "CloseDialog", "FocusEditor", "RecordCaret", "FocusEditor"};
        QCOMPARE(testkit::stepsText(dynanim::dynamicAnimation(v, {300, 7000, 220, 77})), expected);
    }
};

QTEST_GUILESS_MAIN(AnimationGeneratorsTest)
#include "tst_animationgenerators.moc"
