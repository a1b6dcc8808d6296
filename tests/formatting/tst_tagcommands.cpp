// The one-click tag commands: their step lists against the command records, and what they
// leave in a real document (text, colours, clipboard, insertion colour, saved caret, undo).

#include "support/StepsText.h"
#include "support/TestKit.h"

#include "../document/DocHarness.h"
#include "document/Inserter.h"
#include "formatting/TagCommands.h"
#include "platform/Clipboard.h"

#include <QTest>

using doctest::Doc;
using testkit::Run;

namespace {

const Rgb red{255, 0, 0};
const Rgb black{0, 0, 0};
const Rgb blue{0, 0, 255};
const Rgb olive{155, 150, 50};

// One line per step, for readable comparisons.
QStringList describe(const Steps& steps) { return testkit::stepsText(steps); }

const tags::WrapCommand* wrapCommand(const QString& menuItem)
{
    for (const tags::WrapCommand& c : tags::menuWraps)
        if (menuItem == QLatin1String(c.menuItem))
            return &c;
    return nullptr;
}

// The commands of this family by trigger name.
Steps commandSteps(const QString& trigger)
{
    if (trigger == QLatin1String("FB10"))
        return tags::centreWrap();
    if (trigger == QLatin1String("FB14"))
        return tags::singleTag(tags::lineBreakTag);
    if (trigger == QLatin1String("FB15"))
        return tags::singleTag(tags::horizontalRuleTag);
    if (trigger == QLatin1String("mnuFPara"))
        return tags::paragraph();
    const tags::WrapCommand* c = wrapCommand(trigger);
    return c ? tags::menuWrap(*c) : Steps{};
}

QString visible(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String("\\r\\n"));
    return s;
}

} // namespace

Q_DECLARE_METATYPE(QList<Run>)

class TagCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }
    void cleanup() { workspace::setActiveLookup({}); }

    // ---- the step lists -----------------------------------------------------------------

    void menuWrapSteps_data()
    {
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("closing");
        QTest::newRow("H1") << "mnuFrmtHdingH1" << "<H1>" << "</H1>";
        QTest::newRow("H2") << "mnuFrmtHdingH2" << "<H2>" << "</H2>";
        QTest::newRow("H3") << "mnuFrmtHdingH3" << "<H3>" << "</H3>";
        QTest::newRow("H4") << "mnuFrmtHdingH4" << "<H4>" << "</H4>";
        QTest::newRow("H5") << "mnuFrmtHdingH5" << "<H5>" << "</H5>";
        QTest::newRow("H6") << "mnuFrmtHdingH6" << "<H6>" << "</H6>";
        QTest::newRow("Bold") << "mnuFSBold" << "<STRONG>" << "</STRONG>";
        QTest::newRow("Italic") << "mnuFSItalic" << "<I>" << "</I>";
        QTest::newRow("Underline") << "mnuFSUline" << "<U>" << "</U>";
        QTest::newRow("StrikeThrough") << "mnuFSSThru" << "<STRIKE>" << "</STRIKE>";
        QTest::newRow("Superscript") << "mnuFSSuper" << "<SUP>" << "</SUP>";
        QTest::newRow("Subscript") << "mnuFSSub" << "<SUB>" << "</SUB>";
        QTest::newRow("Teletype") << "mnuFSTeletype" << "<TT>" << "</TT>";
    }
    void menuWrapSteps()
    {
        QFETCH(QString, menuItem);
        QFETCH(QString, opening);
        QFETCH(QString, closing);
        const tags::WrapCommand* c = wrapCommand(menuItem);
        QVERIFY2(c, qPrintable(menuItem));
        const Steps expected{step::FocusEditor{},
                             step::CaptureSelection{},
                             step::InsertPiece{opening, red},
                             step::InsertCaptured{black},
                             step::InsertPiece{closing, red},
                             step::SetColour{black},
                             step::NewLine{},
                             step::RecordCaret{}};
        QCOMPARE(describe(tags::menuWrap(*c)), describe(expected));

        Doc d(QStringLiteral("word"));
        d.select(0, 4);
        inserter::run(tags::menuWrap(*c));
        QCOMPARE(visible(d.edit()->text()),
                 visible(opening + QStringLiteral("word") + closing + QStringLiteral("\r\n")));
        const QColor r(255, 0, 0), k(0, 0, 0);
        const QList<Run> runs{{opening, r}, {QStringLiteral("word"), k}, {closing + QStringLiteral("\r\n"), r}};
        QCOMPARE(testkit::describe(testkit::colourRuns(d.edit())), testkit::describe(runs));
    }

    void otherCommandSteps_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Center (FB10)") << "FB10"
                                       << describe({step::CaptureSelection{},
                                                    step::InsertPiece{QStringLiteral("<CENTER>"), red},
                                                    step::InsertCaptured{black},
                                                    step::InsertPiece{QStringLiteral("</CENTER>"), red},
                                                    step::FocusEditor{}, step::NewLine{},
                                                    step::RecordCaret{}});
        QTest::newRow("Break (FB14)") << "FB14"
                                      << describe({step::InsertPiece{QStringLiteral("<BR>"), blue},
                                                   step::SetColour{black}, step::FocusEditor{},
                                                   step::NewLine{}, step::RecordCaret{}});
        QTest::newRow("Horizontal rule (FB15)")
            << "FB15"
            << describe({step::InsertPiece{QStringLiteral("<HR><BR>"), blue}, step::SetColour{black},
                         step::FocusEditor{}, step::NewLine{}, step::RecordCaret{}});
        QTest::newRow("Paragraph") << "mnuFPara"
                                   << describe({step::FocusEditor{},
                                                step::InsertPiece{QStringLiteral("<P>"), olive},
                                                step::SetColour{black}, step::NewLine{},
                                                step::RecordCaret{}});
    }
    void otherCommandSteps()
    {
        QFETCH(QString, trigger);
        QFETCH(QStringList, expected);
        QCOMPARE(describe(commandSteps(trigger)), expected);
    }

    // ---- running them on a document -----------------------------------------------------

    void runOnADocument_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("expectedText");
        QTest::addColumn<QList<Run>>("expectedRuns");
        QTest::addColumn<QString>("clipboard"); // what the clipboard holds afterwards
        QTest::addColumn<QColor>("typingColour");
        QTest::addColumn<int>("snapshots"); // undo steps the command added
        QTest::addColumn<int>("caret");     // right after the command's line break

        const QColor r(255, 0, 0), k(0, 0, 0), b(0, 0, 255), o(155, 150, 50);
        const QString untouched = QStringLiteral("(untouched)");

        QTest::newRow("Bold, nothing selected")
            << "mnuFSBold" << "Hello" << 5 << 0 << "Hello<STRONG></STRONG>\r\n"
            << QList<Run>{{"Hello", k}, {"<STRONG></STRONG>\r\n", r}} << "" << k << 3 << 24;
        QTest::newRow("Bold, a word selected")
            << "mnuFSBold" << "Hello world" << 0 << 5 << "<STRONG>Hello</STRONG>\r\n world"
            << QList<Run>{{"<STRONG>", r}, {"Hello", k}, {"</STRONG>\r\n", r}, {" world", k}} << "Hello"
            << k << 4 << 24;
        QTest::newRow("H1, a selection over lines")
            << "mnuFrmtHdingH1" << "one\r\ntwo\r\nthree" << 2 << 6
            << "on<H1>e\r\ntwo</H1>\r\n\r\nthree"
            << QList<Run>{{"on", k}, {"<H1>", r}, {"e\r\ntwo", k}, {"</H1>\r\n\r\n", r}, {"three", k}}
            << "e\r\ntwo" << k << 4 << 19;
        QTest::newRow("Subscript at the end of a line")
            << "mnuFSSub" << "x\r\ny" << 1 << 0 << "x<SUB></SUB>\r\n\r\ny"
            << QList<Run>{{"x", k}, {"<SUB></SUB>\r\n\r\n", r}, {"y", k}} << "" << k << 3 << 14;
        QTest::newRow("Center, nothing selected")
            << "FB10" << "ab" << 1 << 0 << "a<CENTER></CENTER>\r\nb"
            << QList<Run>{{"a", k}, {"<CENTER></CENTER>\r\n", r}, {"b", k}} << "" << r << 3 << 20;
        QTest::newRow("Center, a selection")
            << "FB10" << "ab cd" << 3 << 2 << "ab <CENTER>cd</CENTER>\r\n"
            << QList<Run>{{"ab ", k}, {"<CENTER>", r}, {"cd", k}, {"</CENTER>\r\n", r}} << "cd" << r << 4 << 24;
        QTest::newRow("Break replaces the selection")
            << "FB14" << "Hello world" << 6 << 5 << "Hello <BR>\r\n"
            << QList<Run>{{"Hello ", k}, {"<BR>\r\n", b}} << untouched << k << 2 << 12;
        QTest::newRow("Break at the caret")
            << "FB14" << "ab" << 0 << 0 << "<BR>\r\nab"
            << QList<Run>{{"<BR>\r\n", b}, {"ab", k}} << untouched << k << 2 << 6;
        QTest::newRow("Horizontal rule at the caret")
            << "FB15" << "ab" << 2 << 0 << "ab<HR><BR>\r\n"
            << QList<Run>{{"ab", k}, {"<HR><BR>\r\n", b}} << untouched << k << 2 << 12;
        QTest::newRow("Paragraph replaces the selection")
            << "mnuFPara" << "a\r\nbc" << 1 << 3 << "a<P>\r\nc"
            << QList<Run>{{"a", k}, {"<P>\r\n", o}, {"c", k}} << untouched << k << 2 << 6;
    }
    void runOnADocument()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, expectedText);
        QFETCH(QList<Run>, expectedRuns);
        QFETCH(QString, clipboard);
        QFETCH(QColor, typingColour);
        QFETCH(int, snapshots);
        QFETCH(int, caret);

        Doc d(text);
        d.select(selStart, selLength);
        platform::clipboard::setText(QStringLiteral("(untouched)"));
        const int before = d.history().undoCount();

        inserter::run(commandSteps(trigger));

        QCOMPARE(visible(d.edit()->text()), visible(expectedText));
        const QList<Run> runs = testkit::colourRuns(d.edit());
        QVERIFY2(runs == expectedRuns, qPrintable(testkit::describe(runs)));
        QCOMPARE(platform::clipboard::text(), clipboard);
        QCOMPARE(d.history().undoCount() - before, snapshots);

        // The caret stands right after the line break, and that is the saved caret.
        QCOMPARE(d.edit()->selStart(), caret);
        QCOMPARE(d.edit()->selLength(), 0);
        QCOMPARE(d.doc()->savedCaret(), caret);

        // What the user types next.
        QCOMPARE(d.edit()->selColor(), typingColour);
        d.type(QStringLiteral("q"));
        QCOMPARE(testkit::colourAt(d.edit(), caret), typingColour);
    }

    // A selection that was coloured comes back black: the clipboard carries plain text.
    void colouredSelectionComesBackBlack()
    {
        Doc d(QStringLiteral("x"));
        d.edit()->setSelStart(0);
        inserter::run(tags::paragraph()); // "<P>" in olive, then a break
        d.select(0, 3);
        inserter::run(tags::menuWrap(tags::menuWraps[7])); // Italic
        QCOMPARE(visible(d.edit()->text()), visible(QStringLiteral("<I><P></I>\r\n\r\nx")));
        const QList<Run> expected{{QStringLiteral("<I>"), QColor(255, 0, 0)},
                                  {QStringLiteral("<P>"), QColor(0, 0, 0)},
                                  {QStringLiteral("</I>\r\n\r\n"), QColor(255, 0, 0)},
                                  {QStringLiteral("x"), QColor(0, 0, 0)}};
        const QList<Run> runs = testkit::colourRuns(d.edit());
        QVERIFY2(runs == expected, qPrintable(testkit::describe(runs)));
        QCOMPARE(platform::clipboard::text(), QStringLiteral("<P>"));
    }

    void twoParagraphsInARow()
    {
        Doc d{QString()};
        inserter::run(tags::paragraph());
        inserter::run(tags::paragraph());
        QCOMPARE(visible(d.edit()->text()), visible(QStringLiteral("<P>\r\n<P>\r\n")));
        QCOMPARE(d.doc()->savedCaret(), 10);
    }

    // The active document is looked up for every step: when another document becomes active
    // during a command, the remaining steps go there.
    void everyStepFindsTheActiveDocumentAgain()
    {
        Doc second(QStringLiteral("2nd"));
        Doc first(QStringLiteral("Hello"));
        first.select(0, 5);
        frmDocument* other = second.doc();
        bool switched = false;
        connect(first.edit(), &RichEdit::changed, this, [&switched, other] {
            if (!switched) {
                switched = true;
                workspace::setActiveLookup([other] { return other; });
            }
        });
        second.edit()->setSelStart(3);
        inserter::run(tags::menuWrap(tags::menuWraps[6])); // Bold
        QCOMPARE(first.edit()->text(), QStringLiteral("<STRONG>"));
        QCOMPARE(visible(second.edit()->text()), visible(QStringLiteral("2ndHello</STRONG>\r\n")));
        QCOMPARE(second.doc()->savedCaret(), 19);
        QCOMPARE(first.doc()->savedCaret(), 0);
    }

    // With no document open every command runs through without touching anything.
    void noDocumentOpen()
    {
        workspace::setActiveLookup({});
        platform::clipboard::setText(QStringLiteral("keep"));
        for (const QString& trigger : {QStringLiteral("mnuFSBold"), QStringLiteral("FB10"),
                                       QStringLiteral("FB14"), QStringLiteral("FB15"),
                                       QStringLiteral("mnuFPara")})
            inserter::run(commandSteps(trigger));
        QCOMPARE(platform::clipboard::text(), QStringLiteral("keep"));
        workspace::setActiveLookup([] { return static_cast<frmDocument*>(nullptr); });
        inserter::run(tags::menuWrap(tags::menuWraps[0]));
        QCOMPARE(platform::clipboard::text(), QStringLiteral("keep"));
    }
};

QTEST_MAIN(TagCommandsTest)
#include "tst_tagcommands.moc"
