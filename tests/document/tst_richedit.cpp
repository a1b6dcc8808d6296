// The edit control facade: CR LF positions, text access, assignment, colour and keys.

#include "support/TestKit.h"

#include "document/RichEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

const QColor red(255, 0, 0);
const QColor green(0, 160, 0);

QString describeEdits(const QSignalSpy& spy)
{
    QStringList out;
    for (const QList<QVariant>& args : spy)
        out << QStringLiteral("%1,%2,%3,%4")
                   .arg(args.at(0).toInt())
                   .arg(args.at(1).toInt())
                   .arg(args.at(2).toInt())
                   .arg(args.at(3).toInt());
    return out.join(QLatin1Char(' '));
}

QString visible(QString s)
{
    s.replace(QLatin1String("\r"), QLatin1String("\\r"));
    s.replace(QLatin1String("\n"), QLatin1String("\\n"));
    return s;
}

} // namespace

class RichEditTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RichEdit> m_edit;

    RichEdit* edit() { return m_edit.get(); }
    void load(const QString& text, int selStart = 0, int selLength = 0)
    {
        edit()->setWholeText(text);
        edit()->setSelStart(selStart);
        edit()->setSelLength(selLength);
    }

private slots:
    void initTestCase() { testkit::isolate(); }

    void init()
    {
        m_edit = std::make_unique<RichEdit>();
        m_edit->resize(400, 300);
        m_edit->show();
    }
    void cleanup() { m_edit.reset(); }

    // --- positions -----------------------------------------------------------------------

    void positionToDocument_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("crlf");
        QTest::addColumn<int>("expected");
        const QString two = QStringLiteral("ab\r\ncd");
        QTest::newRow("empty, 0") << QString() << 0 << 0;
        QTest::newRow("empty, beyond") << QString() << 3 << 0;
        QTest::newRow("empty, negative") << QString() << -1 << 0;
        QTest::newRow("start") << two << 0 << 0;
        QTest::newRow("end of first line") << two << 2 << 2;
        QTest::newRow("between CR and LF") << two << 3 << 2;
        QTest::newRow("start of second line") << two << 4 << 3;
        QTest::newRow("inside second line") << two << 5 << 4;
        QTest::newRow("end") << two << 6 << 5;
        QTest::newRow("beyond the end") << two << 9 << 5;
        QTest::newRow("only breaks, 1") << QStringLiteral("\r\n\r\n") << 1 << 0;
        QTest::newRow("only breaks, 2") << QStringLiteral("\r\n\r\n") << 2 << 1;
        QTest::newRow("only breaks, 3") << QStringLiteral("\r\n\r\n") << 3 << 1;
        QTest::newRow("only breaks, end") << QStringLiteral("\r\n\r\n") << 4 << 2;
        QTest::newRow("trailing break, end") << QStringLiteral("x\r\n") << 3 << 2;
        QTest::newRow("trailing break, inside") << QStringLiteral("x\r\n") << 2 << 1;
    }
    void positionToDocument()
    {
        QFETCH(QString, text);
        QFETCH(int, crlf);
        QFETCH(int, expected);
        load(text);
        QCOMPARE(edit()->toDocumentPosition(crlf), expected);
    }

    void positionToCrlf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("expected");
        const QString three = QStringLiteral("ab\r\n\r\ncd");
        QTest::newRow("empty") << QString() << 0 << 0;
        QTest::newRow("start") << three << 0 << 0;
        QTest::newRow("before first break") << three << 2 << 2;
        QTest::newRow("empty middle line") << three << 3 << 4;
        QTest::newRow("start of last line") << three << 4 << 6;
        QTest::newRow("end") << three << 6 << 8;
        QTest::newRow("beyond the end") << three << 50 << 8;
    }
    void positionToCrlf()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(int, expected);
        load(text);
        QCOMPARE(edit()->toCrlfPosition(position), expected);
    }

    // Many blocks of different lengths: every position maps back and forth, and the mapping
    // agrees with counting the characters of text().
    void positionsOnManyBlocks()
    {
        QString page;
        for (int line = 0; line < 300; ++line)
            page += QString(line % 7, QLatin1Char('x')) + QLatin1String("\r\n");
        load(page);
        QCOMPARE(edit()->textLength(), page.size());
        QCOMPARE(edit()->text(), page);
        const QString raw = edit()->document()->toRawText();
        int crlf = 0;
        for (int p = 0; p <= raw.size(); ++p) {
            QCOMPARE(edit()->toCrlfPosition(p), crlf);
            QCOMPARE(edit()->toDocumentPosition(crlf), p);
            if (p < raw.size() && raw.at(p) == QChar::ParagraphSeparator) {
                QCOMPARE(edit()->toDocumentPosition(crlf + 1), p); // between CR and LF
                crlf += 2;
            } else {
                crlf += 1;
            }
        }
    }

    void caretRoundTrip()
    {
        load(QStringLiteral("ab\r\n\r\ncd"));
        for (int p : {0, 1, 2, 4, 6, 7, 8}) {
            edit()->setSelStart(p);
            QCOMPARE(edit()->selStart(), p);
            QCOMPARE(edit()->selLength(), 0);
        }
        edit()->setSelStart(3); // between CR and LF: end of the line
        QCOMPARE(edit()->selStart(), 2);
        edit()->setSelStart(99);
        QCOMPARE(edit()->selStart(), 8);
        edit()->setSelStart(-5);
        QCOMPARE(edit()->selStart(), 0);
        edit()->setSelStart(1);
        edit()->setSelLength(99);
        QCOMPARE(edit()->selLength(), 7);
        QCOMPARE(edit()->selText(), QStringLiteral("b\r\n\r\ncd"));
    }

    // --- text access ---------------------------------------------------------------------

    void textAccess_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("range");
        QTest::newRow("empty") << QString() << 0 << 0 << QString();
        QTest::newRow("one line") << QStringLiteral("hello") << 1 << 3 << QStringLiteral("ell");
        QTest::newRow("across a break") << QStringLiteral("ab\r\ncd") << 1 << 4
                                        << QStringLiteral("b\r\nc");
        QTest::newRow("a break alone") << QStringLiteral("ab\r\ncd") << 2 << 2
                                       << QStringLiteral("\r\n");
        QTest::newRow("to the end") << QStringLiteral("ab\r\n") << 0 << 4 << QStringLiteral("ab\r\n");
        QTest::newRow("past the end") << QStringLiteral("ab") << 1 << 10 << QStringLiteral("b");
        QTest::newRow("zero length") << QStringLiteral("ab") << 1 << 0 << QString();
    }
    void textAccess()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, range);
        load(text);
        QCOMPARE(edit()->text(), text);
        QCOMPARE(edit()->textLength(), text.size());
        QCOMPARE(edit()->textRange(start, length), range);
    }

    // --- assigning text ------------------------------------------------------------------

    void setSelTextBreaks_data()
    {
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("expected");
        QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("LF") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("CR") << QStringLiteral("a\rb") << QStringLiteral("a\r\nb");
        QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QStringLiteral("a\u2028b");
        QTest::newRow("paragraph separator") << QStringLiteral("a\u2029b") << QStringLiteral("a\u2029b");
        QTest::newRow("LF CR is two breaks") << QStringLiteral("a\n\rb") << QStringLiteral("a\r\n\r\nb");
        QTest::newRow("two CR LF") << QStringLiteral("\r\n\r\n") << QStringLiteral("\r\n\r\n");
        QTest::newRow("break at the end") << QStringLiteral("a\n") << QStringLiteral("a\r\n");
    }
    void setSelTextBreaks()
    {
        QFETCH(QString, inserted);
        QFETCH(QString, expected);
        load(QString());
        QSignalSpy edits(edit(), &RichEdit::edited);
        QSignalSpy changes(edit(), &RichEdit::changed);
        edit()->setSelText(inserted);
        QCOMPARE(visible(edit()->text()), visible(expected));
        QCOMPARE(edit()->textLength(), expected.size());
        QCOMPARE(edit()->document()->blockCount(), expected.count(QLatin1String("\r\n")) + 1);
        QCOMPARE(edit()->selStart(), expected.size()); // caret right after the text
        QCOMPARE(edit()->selLength(), 0);
        QCOMPARE(describeEdits(edits), QStringLiteral("0,0,%1,%1").arg(expected.size()));
        QCOMPARE(changes.count(), 1);
    }

    void setSelTextReplacesSelection()
    {
        load(QStringLiteral("one\r\ntwo\r\nthree"), 2, 7); // "e\r\ntwo\r"... clamps to "e\r\ntwo"
        QCOMPARE(edit()->selText(), QStringLiteral("e\r\ntwo"));
        QSignalSpy edits(edit(), &RichEdit::edited);
        edit()->setSelText(QStringLiteral("X"));
        QCOMPARE(edit()->text(), QStringLiteral("onX\r\nthree"));
        QCOMPARE(edit()->selStart(), 3);
        QCOMPARE(describeEdits(edits), QStringLiteral("2,6,1,10"));
    }

    void setSelTextEmptyWithoutSelectionChangesNothing()
    {
        load(QStringLiteral("abc"), 1);
        QSignalSpy edits(edit(), &RichEdit::edited);
        QSignalSpy changes(edit(), &RichEdit::changed);
        edit()->setSelText(QString());
        QCOMPARE(edit()->text(), QStringLiteral("abc"));
        QCOMPARE(edits.count(), 0);
        QCOMPARE(changes.count(), 0);
    }

    void wholeTextIsOneEdit()
    {
        load(QStringLiteral("old\r\ntext"));
        QSignalSpy edits(edit(), &RichEdit::edited);
        QSignalSpy changes(edit(), &RichEdit::changed);
        edit()->setWholeText(QStringLiteral("a\r\nb\r\nc"));
        QCOMPARE(describeEdits(edits), QStringLiteral("0,9,7,7"));
        QCOMPARE(changes.count(), 1);
    }

    // --- find ----------------------------------------------------------------------------

    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<int>("found");
        const QString page = QStringLiteral("<HTML>\r\n<p DynamicAnimation=\"x\">");
        QTest::newRow("any case, after a line break") << page << "dynamicanimation=" << true << false << 11;
        QTest::newRow("case must match") << page << "dynamicanimation=" << true << true << -1;
        QTest::newRow("letter before: not a whole word")
            << "xdynamicanimation=1 dynamicanimation=" << "dynamicanimation=" << true << false << 20;
        QTest::newRow("underscore after: not a whole word") << "ab_ ab" << "ab" << true << false << 4;
        QTest::newRow("part of a word when words do not matter") << "xab" << "ab" << false << false << 1;
        QTest::newRow("at the very start and end") << "ab" << "ab" << true << true << 0;
        QTest::newRow("across a line break") << "a\r\nb\r\ncd" << "b\r\nc" << false << false << 3;
        QTest::newRow("not there") << page << "Transition=" << true << false << -1;
        QTest::newRow("empty text finds nothing") << page << "" << false << false << -1;
    }
    void find()
    {
        QFETCH(QString, text);
        QFETCH(QString, needle);
        QFETCH(bool, wholeWord);
        QFETCH(bool, matchCase);
        QFETCH(int, found);
        load(text, 1, 1);
        QCOMPARE(edit()->find(needle, wholeWord, matchCase), found);
        if (found < 0) {
            QCOMPARE(edit()->selStart(), 1); // the selection stays as it was
            QCOMPARE(edit()->selLength(), 1);
        } else {
            QCOMPARE(edit()->selStart(), found);
            QCOMPARE(edit()->selText().compare(needle, Qt::CaseInsensitive), 0);
        }
    }

    // --- colour --------------------------------------------------------------------------

    void insertionColourWithoutSelection()
    {
        load(QStringLiteral("abc"), 1);
        QSignalSpy edits(edit(), &RichEdit::edited);
        QSignalSpy changes(edit(), &RichEdit::changed);
        edit()->setSelColor(red);
        QCOMPARE(edit()->selColor(), red);
        QCOMPARE(edits.count(), 0);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(testkit::colourAt(edit(), 1), QColor(Qt::black)); // existing text untouched
        edit()->setSelText(QStringLiteral("X\r\nY"));
        QCOMPARE(edit()->text(), QStringLiteral("aX\r\nYbc"));
        for (int p : {1, 4})
            QCOMPARE(testkit::colourAt(edit(), p), red);
        QCOMPARE(testkit::colourAt(edit(), 0), QColor(Qt::black));
        QCOMPARE(testkit::colourAt(edit(), 5), QColor(Qt::black));
        // The insertion colour stays for what comes next at the caret.
        QTest::keyClick(edit(), Qt::Key_Z);
        QCOMPARE(testkit::colourAt(edit(), 5), red);
    }

    void colouringSelectionIsNotAnEdit()
    {
        load(QStringLiteral("ab\r\ncd"), 1, 4);
        QSignalSpy edits(edit(), &RichEdit::edited);
        QSignalSpy changes(edit(), &RichEdit::changed);
        edit()->setSelColor(green);
        QCOMPARE(edits.count(), 0);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(edit()->text(), QStringLiteral("ab\r\ncd"));
        QCOMPARE(edit()->selStart(), 1);
        QCOMPARE(edit()->selLength(), 4);
        QCOMPARE(edit()->selColor(), green);
        QCOMPARE(testkit::colourAt(edit(), 0), QColor(Qt::black));
        QCOMPARE(testkit::colourAt(edit(), 1), green);
        QCOMPARE(testkit::colourAt(edit(), 4), green);
        QCOMPARE(testkit::colourAt(edit(), 5), QColor(Qt::black));
        // Later edits are still reported with the right counts.
        edit()->setSelText(QStringLiteral("Q"));
        QCOMPARE(describeEdits(edits), QStringLiteral("1,4,1,3"));
        QCOMPARE(testkit::colourAt(edit(), 1), green); // the replacement takes the new colour
    }

    // --- keys ----------------------------------------------------------------------------

    // One key or assignment on a given text and selection is one edit with CR LF counts.
    void editCounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<int>("key"); // 0: assign `assigned` with setSelText
        QTest::addColumn<QString>("assigned");
        QTest::addColumn<QString>("expectedText");
        QTest::addColumn<QString>("expectedEdit");
        const QString two = QStringLiteral("ab\r\ncd");
        QTest::newRow("type on first line") << two << 1 << 0 << int(Qt::Key_X) << QString()
                                            << QStringLiteral("axb\r\ncd") << QStringLiteral("1,0,1,7");
        QTest::newRow("type on second line") << two << 5 << 0 << int(Qt::Key_X) << QString()
                                             << QStringLiteral("ab\r\ncxd") << QStringLiteral("5,0,1,7");
        QTest::newRow("type at the end") << two << 6 << 0 << int(Qt::Key_X) << QString()
                                         << QStringLiteral("ab\r\ncdx") << QStringLiteral("6,0,1,7");
        QTest::newRow("Return mid-line") << two << 1 << 0 << int(Qt::Key_Return) << QString()
                                         << QStringLiteral("a\r\nb\r\ncd") << QStringLiteral("1,0,2,8");
        QTest::newRow("Return at the end") << two << 6 << 0 << int(Qt::Key_Return) << QString()
                                           << QStringLiteral("ab\r\ncd\r\n") << QStringLiteral("6,0,2,8");
        QTest::newRow("Return on an empty line") << QStringLiteral("ab\r\n\r\ncd") << 4 << 0
                                                 << int(Qt::Key_Return) << QString()
                                                 << QStringLiteral("ab\r\n\r\n\r\ncd")
                                                 << QStringLiteral("4,0,2,10");
        QTest::newRow("Return in an empty text") << QString() << 0 << 0 << int(Qt::Key_Return) << QString()
                                                 << QStringLiteral("\r\n") << QStringLiteral("0,0,2,2");
        QTest::newRow("Enter (keypad)") << two << 0 << 0 << int(Qt::Key_Enter) << QString()
                                        << QStringLiteral("\r\nab\r\ncd") << QStringLiteral("0,0,2,8");
        QTest::newRow("Backspace across a break") << two << 4 << 0 << int(Qt::Key_Backspace) << QString()
                                                  << QStringLiteral("abcd") << QStringLiteral("2,2,0,4");
        QTest::newRow("Backspace a char") << two << 5 << 0 << int(Qt::Key_Backspace) << QString()
                                          << QStringLiteral("ab\r\nd") << QStringLiteral("4,1,0,5");
        QTest::newRow("Backspace the last break") << QStringLiteral("ab\r\n") << 4 << 0
                                                  << int(Qt::Key_Backspace) << QString()
                                                  << QStringLiteral("ab") << QStringLiteral("2,2,0,2");
        QTest::newRow("Delete a break") << two << 2 << 0 << int(Qt::Key_Delete) << QString()
                                        << QStringLiteral("abcd") << QStringLiteral("2,2,0,4");
        QTest::newRow("type over a multi-line selection")
            << QStringLiteral("ab\r\n\r\ncd") << 1 << 6 << int(Qt::Key_X) << QString()
            << QStringLiteral("axd") << QStringLiteral("1,6,1,3");
        QTest::newRow("Return over a multi-line selection")
            << two << 1 << 4 << int(Qt::Key_Return) << QString()
            << QStringLiteral("a\r\nd") << QStringLiteral("1,4,2,4");
        QTest::newRow("Backspace a multi-line selection")
            << two << 0 << 6 << int(Qt::Key_Backspace) << QString() << QString()
            << QStringLiteral("0,6,0,0");
        QTest::newRow("assign lines over a selection")
            << two << 2 << 2 << 0 << QStringLiteral("1\n2\r3") << QStringLiteral("ab1\r\n2\r\n3cd")
            << QStringLiteral("2,2,7,11");
        QTest::newRow("assign into an empty text") << QString() << 0 << 0 << 0 << QStringLiteral("\r\n")
                                                   << QStringLiteral("\r\n") << QStringLiteral("0,0,2,2");
    }
    void editCounts()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(int, key);
        QFETCH(QString, assigned);
        QFETCH(QString, expectedText);
        QFETCH(QString, expectedEdit);
        load(text, selStart, selLength);
        QSignalSpy edits(edit(), &RichEdit::edited);
        QSignalSpy changes(edit(), &RichEdit::changed);
        if (key == 0)
            edit()->setSelText(assigned);
        else
            QTest::keyClick(edit(), static_cast<Qt::Key>(key));
        QCOMPARE(visible(edit()->text()), visible(expectedText));
        QCOMPARE(describeEdits(edits), expectedEdit);
        QCOMPARE(changes.count(), 1);
    }

    // The break and what is typed after it take the insertion colour, on an empty line too.
    void returnKeepsTheInsertionColour_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("expected");
        QTest::newRow("end of a line") << QStringLiteral("ab") << 2 << QStringLiteral("ab\r\nx");
        QTest::newRow("empty line") << QStringLiteral("ab\r\n") << 4 << QStringLiteral("ab\r\n\r\nx");
        QTest::newRow("before black text") << QStringLiteral("ab") << 1 << QStringLiteral("a\r\nxb");
    }
    void returnKeepsTheInsertionColour()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QString, expected);
        load(text, caret);
        edit()->setSelColor(red);
        QTest::keyClick(edit(), Qt::Key_Return);
        QCOMPARE(edit()->selColor(), red);
        QTest::keyClick(edit(), Qt::Key_X);
        QCOMPARE(visible(edit()->text()), visible(expected));
        QCOMPARE(testkit::colourAt(edit(), caret + 2), red);
        QTextCursor c(edit()->document());
        c.setPosition(edit()->toDocumentPosition(caret));
        c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        QCOMPARE(c.charFormat().foreground().color(), red); // the break itself
    }

    void keysThatChangeNothingAreNoEdit()
    {
        load(QStringLiteral("ab"), 0);
        QSignalSpy edits(edit(), &RichEdit::edited);
        QSignalSpy changes(edit(), &RichEdit::changed);
        QTest::keyClick(edit(), Qt::Key_Backspace);
        edit()->setSelStart(2);
        QTest::keyClick(edit(), Qt::Key_Delete);
        QTest::keyClick(edit(), Qt::Key_Left);
        QCOMPARE(edit()->text(), QStringLiteral("ab"));
        QCOMPARE(edits.count(), 0);
        QCOMPARE(changes.count(), 0);
    }

    void shiftReturnIsAPlainBreak()
    {
        load(QStringLiteral("abcd"), 2);
        QSignalSpy edits(edit(), &RichEdit::edited);
        QTest::keyClick(edit(), Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(edit(), Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
        QCOMPARE(visible(edit()->text()), visible(QStringLiteral("ab\r\n\r\ncd")));
        QVERIFY(!edit()->document()->toRawText().contains(QChar::LineSeparator));
        QCOMPARE(edit()->document()->blockCount(), 3);
        QCOMPARE(edit()->selStart(), 6);
        QCOMPARE(describeEdits(edits), QStringLiteral("2,0,2,6 4,0,2,8"));
    }

    // Keys with Ctrl alone do nothing in the text, and are left to the menus.
    void ctrlOnlyKeysDiscarded_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Ctrl+Home") << int(Qt::Key_Home);
        QTest::newRow("Ctrl+End") << int(Qt::Key_End);
        QTest::newRow("Ctrl+Left") << int(Qt::Key_Left);
        QTest::newRow("Ctrl+Right") << int(Qt::Key_Right);
        QTest::newRow("Ctrl+Backspace") << int(Qt::Key_Backspace);
        QTest::newRow("Ctrl+Delete") << int(Qt::Key_Delete);
        QTest::newRow("Ctrl+B") << int(Qt::Key_B);
        QTest::newRow("Ctrl+I") << int(Qt::Key_I);
        QTest::newRow("Ctrl+L") << int(Qt::Key_L);
        QTest::newRow("Ctrl+A") << int(Qt::Key_A);
        QTest::newRow("Ctrl+V") << int(Qt::Key_V);
        QTest::newRow("Ctrl+X") << int(Qt::Key_X);
        QTest::newRow("Ctrl+Return") << int(Qt::Key_Return);
    }
    void ctrlOnlyKeysDiscarded()
    {
        QFETCH(int, key);
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        load(QStringLiteral("one two\r\nthree four"), 4, 3); // "two" selected
        QSignalSpy edits(edit(), &RichEdit::edited);
        QSignalSpy changes(edit(), &RichEdit::changed);
        QKeyEvent override(QEvent::ShortcutOverride, key, Qt::ControlModifier);
        QApplication::sendEvent(edit(), &override);
        QVERIFY2(!override.isAccepted(), "the control must leave Ctrl keys to the menus");
        QTest::keyClick(edit(), static_cast<Qt::Key>(key), Qt::ControlModifier);
        QCOMPARE(edit()->text(), QStringLiteral("one two\r\nthree four"));
        QCOMPARE(edit()->selStart(), 4);
        QCOMPARE(edit()->selLength(), 3);
        QCOMPARE(edits.count(), 0);
        QCOMPARE(changes.count(), 0);
        const QTextCharFormat f = edit()->textCursor().charFormat();
        QVERIFY(f.fontWeight() <= QFont::Normal);
        QVERIFY(!f.fontItalic());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("pasted"));
    }

    void ctrlShiftReachesTheControl()
    {
        load(QStringLiteral("one\r\ntwo"), 2);
        QTest::keyClick(edit(), Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(edit()->selStart(), 2);
        QCOMPARE(edit()->selLength(), 6);
        QCOMPARE(edit()->selText(), QStringLiteral("e\r\ntwo"));
        QTest::keyClick(edit(), Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(edit()->selStart(), 0);
        QCOMPARE(edit()->selLength(), 2);
        // Ctrl+Alt is how some keyboards type characters such as "@".
        edit()->setSelStart(1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier,
                        QStringLiteral("@"));
        QApplication::sendEvent(edit(), &press);
        QCOMPARE(edit()->text(), QStringLiteral("o@ne\r\ntwo"));
    }

    // --- paste and drop ------------------------------------------------------------------

    void pasteInsertsPlainText()
    {
        load(QStringLiteral("ab"), 1);
        edit()->setSelColor(Qt::black);
        auto* data = new QMimeData;
        data->setHtml(QStringLiteral("<b style=\"color:#ff0000\">X</b><br>Y"));
        data->setText(QStringLiteral("X\nY"));
        QApplication::clipboard()->setMimeData(data);
        QSignalSpy edits(edit(), &RichEdit::edited);
        edit()->paste();
        QCOMPARE(visible(edit()->text()), visible(QStringLiteral("aX\r\nYb")));
        QCOMPARE(describeEdits(edits), QStringLiteral("1,0,4,6"));
        const QList<testkit::Run> runs = testkit::colourRuns(edit());
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs.first().colour, QColor(Qt::black));
        QVERIFY(!edit()->document()->toHtml().contains(QLatin1String("font-weight:700"))); // not bold
    }

    void dropInsertsPlainText()
    {
        load(QStringLiteral("ab"), 0);
        QMimeData data;
        data.setHtml(QStringLiteral("<i style=\"color:#00ff00\">Z</i>"));
        data.setText(QStringLiteral("Z\r\n"));
        const QPoint at = edit()->cursorRect(edit()->textCursor()).center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit()->viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit()->viewport(), &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit()->viewport(), &drop);
        QVERIFY2(edit()->text().contains(QLatin1String("Z\r\n")), qPrintable(visible(edit()->text())));
        QCOMPARE(edit()->textLength(), 5);
        const QList<testkit::Run> runs = testkit::colourRuns(edit());
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs.first().colour, QColor(Qt::black));
    }

    void leftClickIsReported()
    {
        load(QStringLiteral("abc"));
        QSignalSpy clicks(edit(), &RichEdit::clicked);
        QTest::mouseClick(edit()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 1);
    }
};

QTEST_MAIN(RichEditTest)
#include "tst_richedit.moc"
