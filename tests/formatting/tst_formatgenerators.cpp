// The heading and font-style dialogs and the Format palette against their output tables.
#include "formatting/FormatDialogs.h"
#include "support/StepsText.h"

#include <QTest>

using namespace formatdialogs;

namespace {

QStringList wrapTable(const QString& opening, const QString& joined, const QString& closing)
{
    return {"FocusEditor",  "CaptureSelection",      "Insert[255,0,0](" + opening + ")",
            joined,         "Insert[255,0,0](" + closing + ")", "SetColour[0,0,0]",
            "NewLine",      "RecordCaret",           "CloseDialog"};
}

} // namespace

class FormatGeneratorsTest : public QObject {
    Q_OBJECT
private slots:
    void heading_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("closing");
        QTest::addColumn<QString>("label");
        const char* labels[] = {"Size 1 (Largest)", "Size 2", "Size 3", "Size 4", "Size 5",
                                "Size 6 (Smallest)"};
        for (int n = 1; n <= 6; ++n)
            QTest::newRow(qPrintable(QStringLiteral("Option%1").arg(n)))
                << n << QStringLiteral("<H%1>").arg(n) << QStringLiteral("</H%1>").arg(n)
                << QString::fromLatin1(labels[n - 1]);
    }
    void heading()
    {
        QFETCH(int, option);
        QFETCH(QString, opening);
        QFETCH(QString, closing);
        QFETCH(QString, label);
        const TagChoice& choice = headingChoices.at(option - 1);
        QCOMPARE(QLatin1String(choice.label), label);
        // The typed text comes first, the captured selection after it, in one black piece.
        QCOMPARE(testkit::stepsText(applyHeading(&choice, QStringLiteral("typed \"<x>\""))),
                 wrapTable(opening, "Joined[0,0,0](typed \"<x>\"|)", closing));
    }

    void style_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("closing");
        QTest::newRow("Option1") << 1 << "Bold" << "<STRONG>" << "</STRONG>";
        QTest::newRow("Option2") << 2 << "Italic" << "<I>" << "</I>";
        QTest::newRow("Option3") << 3 << "UnderLine" << "<U>" << "</U>";
        QTest::newRow("Option4") << 4 << "StrikeThrough" << "<STRIKE>" << "</STRIKE>";
        QTest::newRow("Option5") << 5 << "SuperScript" << "<SUP>" << "</SUP>";
        QTest::newRow("Option6") << 6 << "SubScript" << "<SUB>" << "</SUB>";
        QTest::newRow("Option7") << 7 << "Teletype" << "<TT>" << "</TT>";
    }
    void style()
    {
        QFETCH(int, option);
        QFETCH(QString, label);
        QFETCH(QString, opening);
        QFETCH(QString, closing);
        const TagChoice& choice = styleChoices.at(option - 1);
        QCOMPARE(QLatin1String(choice.label), label);
        // The captured selection comes first, the typed text after it.
        QCOMPARE(testkit::stepsText(applyStyle(&choice, QStringLiteral("abc\r\ndef"))),
                 wrapTable(opening, "Joined[0,0,0](|abc\r\ndef)", closing));
    }

    void noOptionOnlyUnloads()
    {
        QCOMPARE(testkit::stepsText(applyHeading(nullptr, QStringLiteral("x"))), QStringList{"CloseDialog"});
        QCOMPARE(testkit::stepsText(applyStyle(nullptr, QString())), QStringList{"CloseDialog"});
    }

    void palette()
    {
        QCOMPARE(testkit::stepsText(paletteParagraph()),
                 (QStringList{"FocusEditor", "Insert[155,150,50](<P>)", "SetColour[0,0,0]",
                              "NewLine", "RecordCaret", "CloseDialog"}));
        QCOMPARE(testkit::stepsText(paletteCancel()), (QStringList{"CloseDialog", "FocusEditor"}));
    }
};

QTEST_GUILESS_MAIN(FormatGeneratorsTest)
#include "tst_formatgenerators.moc"
