// The font-size, font-colour, target and jump generators against their output tables.
#include "formatting/AnchorMarkup.h"
#include "formatting/FontMarkup.h"
#include "support/StepsText.h"

#include <QTest>

using namespace fontmarkup;

namespace {

// The FONT element around a saved selection and the ending both font dialogs share.
QStringList fontWrap(const QString& opening, const QString& saved)
{
    return {"Insert[165,115,30](" + opening + ")", "Insert[0,0,0](" + saved + ")",
            "Insert[165,115,30](</FONT>)", "SetColour[0,0,0]", "NewLine", "RecordCaret", "CloseDialog"};
}

} // namespace

class FontAnchorMarkupTest : public QObject {
    Q_OBJECT
private slots:
    void fontSize_data()
    {
        QTest::addColumn<int>("size");   // 1..6, 0: none
        QTest::addColumn<int>("colour"); // 1..6, 0: none
        QTest::addColumn<QString>("opening");
        QTest::newRow("load defaults") << 1 << 1 << "<FONT SIZE=+1 COLOR=BLACK>";
        QTest::newRow("+2 Blue") << 2 << 2 << "<FONT SIZE=+2 COLOR=BLUE>";
        QTest::newRow("+3 Red") << 3 << 4 << "<FONT SIZE=+3 COLOR=RED>";
        QTest::newRow("+4 Green") << 4 << 3 << "<FONT SIZE=+4 COLOR=GREEN>";
        QTest::newRow("+5 Yellow") << 5 << 5 << "<FONT SIZE=+5 COLOR=YELLOW>";
        QTest::newRow("+6 White") << 6 << 6 << "<FONT SIZE=+6 COLOR=WHITE>";
        // No colour: the size literal keeps its space before the bracket.
        QTest::newRow("no colour") << 2 << 0 << "<FONT SIZE=+2 >";
    }
    void fontSize()
    {
        QFETCH(int, size);
        QFETCH(int, colour);
        QFETCH(QString, opening);
        const Choice* c = colour ? &sizeColourChoices.at(colour - 1) : nullptr;
        const QString saved = QStringLiteral("Hi \"<b>\"\r\nthere");
        QCOMPARE(testkit::stepsText(applyFontSize(&sizeChoices.at(size - 1), c, saved)),
                 QStringList({"FocusEditor", "RecordCaret"}) + fontWrap(opening, saved));
    }

    void fontColour_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("opening");
        QTest::newRow("Option1") << 1 << "<FONT COLOR=BLACK>";
        QTest::newRow("Option2") << 2 << "<FONT COLOR=BLUE>";
        QTest::newRow("Option3") << 3 << "<FONT COLOR=GREEN>";
        QTest::newRow("Option4") << 4 << "<FONT COLOR=RED>";
        QTest::newRow("Option5") << 5 << "<FONT COLOR=YELLOW>";
        QTest::newRow("Option6") << 6 << "<FONT COLOR=WHITE>";
    }
    void fontColour()
    {
        QFETCH(int, option);
        QFETCH(QString, opening);
        QCOMPARE(testkit::stepsText(applyFontColour(&colourChoices.at(option - 1), QString())),
                 QStringList{"FocusEditor"} + fontWrap(opening, QString()));
    }

    // Nothing chosen: the font dialogs insert nothing and stay open. Their Cancel records
    // the caret but leaves the focus where it is.
    void nothingChosenAndCancel()
    {
        QCOMPARE(testkit::stepsText(applyFontSize(nullptr, &sizeColourChoices[0], QStringLiteral("x"))),
                 (QStringList{"FocusEditor", "RecordCaret"}));
        QCOMPARE(testkit::stepsText(applyFontColour(nullptr, QStringLiteral("x"))), QStringList{"FocusEditor"});
        QCOMPARE(testkit::stepsText(cancelFontDialog()), (QStringList{"CloseDialog", "RecordCaret"}));
    }

    void target_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("top") << "top";
        QTest::newRow("empty") << "";
        QTest::newRow("spaces and quotes") << "my \"top\" <place>";
    }
    void target()
    {
        QFETCH(QString, name);
        QCOMPARE(testkit::stepsText(anchors::target(name)),
                 (QStringList{"FocusEditor", "Insert[0,150,0](<A NAME=\")", "Insert[0,0,0](" + name + ")",
                              "Insert[0,150,0](\"></A>)", "SetColour[0,0,0]", "NewLine", "RecordCaret",
                              "CloseDialog"}));
    }

    void jump_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("link");
        QTest::newRow("top") << "top" << "Back to top" << "<A Href=\"#top\">Back to top</A>";
        QTest::newRow("both empty") << "" << "" << "<A Href=\"#\"></A>";
        QTest::newRow("quotes kept") << "a \"b\"" << "<i>x</i>" << "<A Href=\"#a \"b\"\"><i>x</i></A>";
    }
    // One piece with no colour set; Enter before the unload, then focus and record.
    void jump()
    {
        QFETCH(QString, target);
        QFETCH(QString, text);
        QFETCH(QString, link);
        QCOMPARE(testkit::stepsText(anchors::jump(target, text)),
                 (QStringList{"FocusEditor", "Insert[none](" + link + ")", "NewLine", "CloseDialog",
                              "FocusEditor", "RecordCaret"}));
    }
};

QTEST_GUILESS_MAIN(FontAnchorMarkupTest)
#include "tst_fontanchormarkup.moc"
