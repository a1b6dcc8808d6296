// Reading and writing text through RichEdit in its CR LF units: ranges gathered from the
// document's fragments must give exactly that range of the whole text, and the
// line-break conversions on the way in and out must agree with the editor's paragraph model.

#include "document/RichEdit.h"

#include <QKeyEvent>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The same range cut out of the whole text. A range may start or end between the CR and
// the LF of a break; it then holds just the half of the break inside it.
QString selectedRange(RichEdit& edit, int start, int length)
{
    const QString all = edit.text();
    const qsizetype end = std::min<qsizetype>(qsizetype(start) + length, all.size());
    const qsizetype from = std::max(start, 0);
    return from >= end ? QString() : all.mid(from, end - from);
}

void typeText(RichEdit& edit, const QString& text)
{
    for (const QChar ch : text) {
        const int key = ch == QLatin1Char('\r') ? Qt::Key_Return : Qt::Key_A;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(&edit, &press);
    }
}

// A page cut into many fragments: coloured insertions, typed runs and breaks in between.
void fillWithFragments(RichEdit& edit)
{
    QString page;
    for (int i = 0; i < 40; ++i)
        page += QStringLiteral("<P>line %1 of the page, some words</P>\r\n").arg(i);
    page += QStringLiteral("last line without a break");
    edit.setWholeText(page);
    const QColor colours[] = {Qt::red, Qt::blue, Qt::black, QColor(155, 150, 50)};
    for (int i = 0; i < 30; ++i) {
        edit.setSelStart((i * 97) % edit.textLength());
        edit.setSelColor(colours[i % 4]);
        if (i % 3 == 0)
            edit.setSelText(QStringLiteral("<B>x\r\ny</B>"));
        else if (i % 3 == 1)
            typeText(edit, QStringLiteral("ab\rc"));
        else
            edit.setSelText(QStringLiteral("z"));
    }
}

} // namespace

Q_DECLARE_METATYPE(platform::text::LineEnd)

class RichEditTextTest : public QObject {
    Q_OBJECT
private slots:
    void rangesMatchSelections_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::newRow("first character") << 0 << 1;
        QTest::newRow("first line and its break") << 0 << 40;
        QTest::newRow("starting on a CR") << 36 << 5;
        QTest::newRow("starting between CR and LF") << 37 << 5;
        QTest::newRow("ending between CR and LF") << 30 << 7;
        QTest::newRow("across many lines") << 100 << 900;
        QTest::newRow("just under half the page") << 10 << 800;
        QTest::newRow("most of the page") << 5 << 1500;
        QTest::newRow("whole page") << 0 << 1000000;
        QTest::newRow("past the end") << 1000000 << 10;
        QTest::newRow("empty") << 50 << 0;
        QTest::newRow("negative length") << 50 << -3;
    }
    void rangesMatchSelections()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        RichEdit edit;
        fillWithFragments(edit);
        QCOMPARE(edit.textRange(start, length), selectedRange(edit, start, length));
    }

    void everyShortRangeMatchesSelection()
    {
        RichEdit edit;
        fillWithFragments(edit);
        const int n = edit.textLength();
        QCOMPARE(edit.textRange(0, n), edit.text());
        for (int start = 0; start <= n; start += 3)
            for (int length : {1, 2, 3, 17, 64})
                QCOMPARE(edit.textRange(start, length), selectedRange(edit, start, length));
    }

    // The quick capture taken for recovery copies gives the same runs as the direct walk.
    void captureGivesTheSameRuns()
    {
        RichEdit edit;
        fillWithFragments(edit);
        edit.setSelStart(0);
        edit.setSelText(QStringLiteral("\r\n")); // a first line that is only a break
        QVERIFY(edit.runs().size() > 20);
        QVERIFY(RichEdit::runsOf(edit.captureColours()) == edit.runs());
        RichEdit empty;
        empty.setWholeText(QString());
        QVERIFY(RichEdit::runsOf(empty.captureColours()) == empty.runs());
    }

    void rangeOnOneLongLine()
    {
        RichEdit edit;
        edit.setWholeText(QString(200000, QLatin1Char('q')));
        edit.setSelStart(100000);
        typeText(edit, QStringLiteral("abc"));
        QCOMPARE(edit.textRange(99999, 5), QStringLiteral("qabcq"));
        QCOMPARE(edit.textLength(), 200003);
    }

    void lineBreaksInAndOut_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("blocks");
        QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb") << 2;
        QTest::newRow("LF") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb") << 2;
        QTest::newRow("lone CR") << QStringLiteral("a\rb") << QStringLiteral("a\r\nb") << 2;
        QTest::newRow("CR CR LF") << QStringLiteral("a\r\r\nb") << QStringLiteral("a\r\n\r\nb") << 3;
        QTest::newRow("LF CR") << QStringLiteral("a\n\rb") << QStringLiteral("a\r\n\r\nb") << 3;
        // The Unicode separators are characters of the text (a script string's), not breaks.
        QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QStringLiteral("a\u2028b") << 1;
        QTest::newRow("paragraph separator") << QStringLiteral("a\u2029b") << QStringLiteral("a\u2029b") << 1;
        QTest::newRow("trailing CR") << QStringLiteral("ab\r") << QStringLiteral("ab\r\n") << 2;
        QTest::newRow("only breaks") << QStringLiteral("\r\n\r\n") << QStringLiteral("\r\n\r\n") << 3;
        QTest::newRow("no break") << QStringLiteral("plain") << QStringLiteral("plain") << 1;
        QTest::newRow("empty") << QString() << QString() << 1;
    }
    void lineBreaksInAndOut()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(int, blocks);
        RichEdit whole;
        whole.setWholeText(in);
        QCOMPARE(whole.text(), out);
        QCOMPARE(whole.document()->blockCount(), blocks);
        QCOMPARE(whole.textLength(), out.size());

        RichEdit inserted;
        inserted.setWholeText(QStringLiteral("[]"));
        inserted.setSelStart(1);
        inserted.setSelText(in);
        QCOMPARE(inserted.text(), QLatin1Char('[') + out + QLatin1Char(']'));
    }

    // --- a page's own characters and line ends ------------------------------------------

    // A page's U+2028 and U+2029 (and the two code points the widget keeps for frames) stay
    // characters of one unit each, through every way text leaves the editor: the whole text,
    // ranges, the selection, the colour runs of editing files and recovery
    // copies, and a removal put back as the undo history does.
    void pageCharactersTheWidgetCannotHold_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("character");
        const QString script = QStringLiteral("<SCRIPT>\r\nvar s = \"a%1b\";\r\n</SCRIPT>\r\n<P>%1</P>");
        QTest::newRow("line separator") << script.arg(QChar(0x2028)) << QStringLiteral("\u2028");
        QTest::newRow("paragraph separator") << script.arg(QChar(0x2029)) << QStringLiteral("\u2029");
        QTest::newRow("frame code point") << script.arg(QChar(0xFDD0)) << QStringLiteral("\uFDD0");
        QTest::newRow("on a long line") << QString(5000, QLatin1Char('x')) + script.arg(QChar(0x2029)) +
                                               QString(5000, QLatin1Char('y'))
                                        << QStringLiteral("\u2029");
    }
    void pageCharactersTheWidgetCannotHold()
    {
        QFETCH(QString, page);
        QFETCH(QString, character);
        RichEdit edit;
        edit.setWholePage(page, platform::text::LineEnd::CrLf);
        QCOMPARE(edit.text(), page);
        QCOMPARE(edit.textLength(), page.size());
        QCOMPARE(edit.lineCount(), page.count(QLatin1String("\r\n")) + 1);
        QString joined;
        for (const platform::rtf::Run& run : edit.runs())
            joined += run.text;
        QCOMPARE(joined, page);
        QVERIFY(RichEdit::runsOf(edit.captureColours()) == edit.runs());

        const int at = static_cast<int>(page.indexOf(character));
        QCOMPARE(edit.textRange(at - 1, 3), page.mid(at - 1, 3));
        edit.setSelStart(at + 1);
        QCOMPARE(edit.selStart(), at + 1);
        edit.setSelStart(at - 1);
        edit.setSelLength(3);
        QCOMPARE(edit.selText(), page.mid(at - 1, 3));
        const QString taken = edit.selText();
        edit.setSelText(QString());
        edit.setSelText(taken);
        QCOMPARE(edit.text(), page);
        QCOMPARE(edit.find(character, false, true), at);
    }

    // Every line break of a page read from a file keeps the line end it had, whatever the
    // other lines end with; a break made in the editor takes the page's most frequent one.
    void lineEndsOfAPage_data()
    {
        using platform::text::LineEnd;
        QTest::addColumn<QString>("page");
        QTest::addColumn<LineEnd>("common");
        QTest::newRow("lf among cr lf") << QStringLiteral("a\r\nb\nc\r\nd\r\n") << LineEnd::CrLf;
        QTest::newRow("every kind") << QStringLiteral("a\rb\r\n\n\r\n\r\rc\n") << LineEnd::Lf;
        QTest::newRow("cr lf among lf") << QStringLiteral("a\nb\r\nc\n") << LineEnd::Lf;
        QTest::newRow("trailing cr") << QStringLiteral("a\r\nb\r") << LineEnd::CrLf;
        QTest::newRow("all alike") << QStringLiteral("a\nb\n") << LineEnd::Lf;
        QTest::newRow("long lines") << QString(9000, QLatin1Char('x')) + QStringLiteral("\n") +
                                           QString(9000, QLatin1Char('y')) + QStringLiteral("\r\nz\r")
                                    << LineEnd::CrLf;
    }
    void lineEndsOfAPage()
    {
        using platform::text::LineEnd;
        QFETCH(QString, page);
        QFETCH(LineEnd, common);
        RichEdit edit;
        edit.setWholePage(page, common);
        QCOMPARE(edit.pageText(common), page);
        QCOMPARE(edit.text(), platform::text::withCrlfBreaks(page));
        // A break typed at the start and one pasted at the end take the common line end.
        const QString end = common == LineEnd::Lf ? QStringLiteral("\n") : QStringLiteral("\r\n");
        edit.setSelStart(0);
        typeText(edit, QStringLiteral("N\r"));
        edit.setSelStart(edit.textLength());
        edit.setSelText(QStringLiteral("P\nQ"));
        QCOMPARE(edit.pageText(common), QStringLiteral("N") + end + page + QStringLiteral("P") + end +
                                            QStringLiteral("Q"));
    }

    // Splitting a line keeps its own end on its second half; joining two lines drops the end
    // between them and keeps the other's.
    void lineEndsFollowEdits()
    {
        using platform::text::LineEnd;
        RichEdit edit;
        edit.setWholePage(QStringLiteral("one\ntwo\r\nthree\rfour"), LineEnd::CrLf);
        edit.setSelStart(1);
        typeText(edit, QStringLiteral("\r"));
        QCOMPARE(edit.pageText(LineEnd::CrLf), QStringLiteral("o\r\nne\ntwo\r\nthree\rfour"));
        edit.setSelStart(edit.text().indexOf(QLatin1String("three")) + 5);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.pageText(LineEnd::CrLf), QStringLiteral("o\r\nne\ntwo\r\nthreefour"));
        edit.setSelStart(edit.text().indexOf(QLatin1String("two")));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.pageText(LineEnd::CrLf), QStringLiteral("o\r\nnetwo\r\nthreefour"));
    }
};

QTEST_MAIN(RichEditTextTest)
#include "tst_richedit_text.moc"
