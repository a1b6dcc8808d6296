// A very long line is held in the editor as several display blocks joined by display-only
// breaks. Everything that reads the text through the editor must see the text alone: these
// tests put such breaks under every reading and editing path and compare with plain strings.

#include "DocHarness.h"
#include "document/RichEdit.h"
#include "editing/Finder.h"
#include "editing/SearchPattern.h"
#include "platform/RtfCodec.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using doctest::Doc;

namespace {

// Minified markup: tags, words and spaces, no line break; `hard` adds stretches with nowhere
// to cut but anywhere, and a character outside the first plane.
QString oneLine(int chars, bool hard = false)
{
    QString s;
    for (int i = 0; s.size() < chars; ++i) {
        s += QStringLiteral("<td class=c%1>cell %1</td>").arg(i);
        if (hard && i % 50 == 0)
            s += QString(1500, QLatin1Char('x')) + QStringLiteral("\U0001F600");
    }
    return s.left(chars);
}

// Model positions where display-only breaks stand.
QList<int> breakPositions(const RichEdit& e)
{
    QList<int> out;
    for (QTextBlock b = e.document()->begin(); b.isValid(); b = b.next())
        if (e.continuesLine(b))
            out.append(e.toCrlfPosition(b.position()));
    return out;
}

} // namespace

class LongLineTest : public QObject {
    Q_OBJECT
private slots:
    // Every reading path gives the page back exactly, around every display-only break.
    void readsTheTextOnly_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("one line of tags") << oneLine(20000);
        QTest::newRow("no place to cut, surrogates") << oneLine(20000, true);
        QTest::newRow("long line between short ones")
            << QStringLiteral("<html>\r\n") + oneLine(12000) + QStringLiteral("\r\n\r\nend");
    }
    void readsTheTextOnly()
    {
        QFETCH(QString, page);
        Doc d(page);
        RichEdit* e = d.edit();
        const QList<int> breaks = breakPositions(*e);
        QVERIFY(breaks.size() >= 10);
        QCOMPARE(e->text(), page);
        QCOMPARE(e->textLength(), page.size());
        QCOMPARE(e->lineCount(), page.count(QLatin1String("\r\n")) + 1);
        // Each line starts where Go to Line puts the caret, whatever display blocks it holds.
        for (qsizetype line = 0, at = 0; at >= 0; ++line) {
            QCOMPARE(e->toCrlfPosition(e->lineStart(int(line))), int(at));
            at = page.indexOf(QLatin1String("\r\n"), at);
            at = at < 0 ? at : at + 2;
        }
        QCOMPARE(platform::rtf::plainText(e->runs()), page);
        QCOMPARE(RichEdit::runsOf(e->captureColours()), e->runs());
        QCOMPARE(platform::rtf::plainText(platform::rtf::read(platform::rtf::write(e->runs()))), page);
        for (const int at : breaks) {
            QVERIFY(!page.at(at - 1).isHighSurrogate());
            for (int p = at - 2; p <= at + 2; ++p)
                QCOMPARE(e->toCrlfPosition(e->toDocumentPosition(p)), p);
            QCOMPARE(e->textRange(at - 3, 7), page.mid(at - 3, 7));
            d.select(at - 5, 9);
            QCOMPARE(e->selStart(), at - 5);
            QCOMPARE(e->selLength(), 9);
            QCOMPARE(e->selText(), page.mid(at - 5, 9));
            const int line = static_cast<int>(page.left(at).count(QLatin1String("\r\n")));
            const qsizetype lineBreak = page.lastIndexOf(QLatin1String("\r\n"), at - 1);
            const int col = at - static_cast<int>(lineBreak < 0 ? 0 : lineBreak + 2);
            QCOMPARE(e->lineOf(e->toDocumentPosition(at + 1)), line);
            QCOMPARE(e->columnOf(e->toDocumentPosition(at + 1)), col + 1);
        }
        // The clipboard, and find across a break.
        const int at = breaks.at(breaks.size() / 2);
        d.select(at - 40, 80);
        e->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), page.mid(at - 40, 80));
        e->setSelStart(0);
        const QString needle = page.mid(at - 6, 12);
        QCOMPARE(e->find(needle, false, true), page.indexOf(needle));
        QCOMPARE(e->selText(), needle);
    }

    // An editing file's coloured runs on one long line: cut across runs, read back the same.
    void colouredRunsAcrossBreaks()
    {
        platform::rtf::Runs runs;
        const QString line = oneLine(9000, true);
        for (qsizetype at = 0; at < line.size(); at += 7)
            platform::rtf::append(runs, QStringView(line).mid(at, 7), at % 14 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
        Doc d;
        d.edit()->setWholeRuns(runs);
        QVERIFY(d.edit()->displayBreakCount() > 20);
        QCOMPARE(d.edit()->runs(), runs);
        QCOMPARE(d.edit()->text(), line);
    }

    // Edits at a display-only break act on the text as they would in the middle of a line,
    // and Undo / Redo take them back and make them again exactly.
    void editsAtABreak_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("offset"); // caret from the break, in the widget: -0 end, 1 start
        QTest::newRow("backspace after the break") << 0 << 1;
        QTest::newRow("delete before the break") << 1 << 0;
        QTest::newRow("typing after the break") << 2 << 1;
        QTest::newRow("enter after the break") << 3 << 1;
        QTest::newRow("paste of 100 KB at the break") << 4 << 0;
        QTest::newRow("typing over a selection across it") << 5 << 0;
        QTest::newRow("right arrow over the break") << 6 << 0;
        QTest::newRow("left arrow over the break") << 7 << 1;
    }
    void editsAtABreak()
    {
        QFETCH(int, action);
        QFETCH(int, offset);
        const QString page = oneLine(30000);
        Doc d(page);
        RichEdit* e = d.edit();
        const int at = breakPositions(*e).at(5);
        QTextCursor c = e->textCursor();
        c.setPosition(e->toDocumentPosition(at) + offset); // the end of a block or the next start
        e->setTextCursor(c);
        QCOMPARE(e->selStart(), at);
        QString expected = page;
        int caret = at;
        const QString big = oneLine(100 * 1024);
        switch (action) {
        case 0: d.key(Qt::Key_Backspace); expected.remove(at - 1, 1); caret = at - 1; break;
        case 1: d.key(Qt::Key_Delete); expected.remove(at, 1); break;
        case 2: d.type(QStringLiteral("q")); expected.insert(at, QLatin1Char('q')); caret = at + 1; break;
        case 3: d.key(Qt::Key_Return); expected.insert(at, QLatin1String("\r\n")); caret = at + 2; break;
        case 4:
            QGuiApplication::clipboard()->setText(big);
            e->paste();
            expected.insert(at, big);
            caret = at + static_cast<int>(big.size());
            break;
        case 5:
            d.select(at - 3, 6);
            d.type(QStringLiteral("q"));
            expected.replace(at - 3, 6, QStringLiteral("q"));
            caret = at - 2;
            break;
        case 6: d.key(Qt::Key_Right); caret = at + 1; break;
        case 7: d.key(Qt::Key_Left); caret = at - 1; break;
        }
        QCOMPARE(e->text(), expected);
        QCOMPARE(e->selStart(), caret);
        QCOMPARE(e->runs().size(), std::size_t(1)); // typed text took the colour beside it
        for (QTextBlock b = e->document()->begin(); b.isValid(); b = b.next())
            // Display blocks are cut at 128 characters and split again past twice that.
            QVERIFY2(b.length() - 1 <= 2 * 128,
                     qPrintable(QStringLiteral("a display block of %1 characters").arg(b.length() - 1)));
        if (expected == page)
            return;
        d.doc()->Undo();
        QCOMPARE(e->text(), page);
        d.doc()->Redo();
        QCOMPARE(e->text(), expected);
    }

    // Find, Replace All and the match marks take a match that a display-only break cuts as
    // one piece of text.
    void findReplaceAndMarksAcrossABreak()
    {
        QString page = oneLine(30000, true);
        Doc d(page);
        RichEdit* e = d.edit();
        d.doc()->show();
        // A word planted across a break within a stretch with nowhere better to cut, so that
        // the break stays where it is; found nowhere else.
        const QList<int> breaks = breakPositions(*e);
        const int at = *std::find_if(breaks.begin(), breaks.end(),
                                     [&](int b) { return page.mid(b - 10, 20) == QString(20, QLatin1Char('x')); });
        const QString word = QStringLiteral("zebra");
        page.replace(at - 2, word.size(), word);
        e->setWholeText(page);
        QVERIFY(breakPositions(*e).contains(at));
        const editing::SearchPattern pattern(word, {});
        e->setSelStart(0);
        QCOMPARE(editing::find(*e, pattern, editing::Direction::Forward), editing::Outcome::Found);
        QCOMPARE(e->selStart(), at - 2);
        QCOMPARE(e->selText(), word);
        // The marks on screen cover the word, across the break, and nothing else.
        QTextCharFormat look;
        look.setBackground(Qt::yellow);
        int marked = 0;
        for (const QTextEdit::ExtraSelection& mark : editing::visibleMatches(*e, pattern, look, 100)) {
            QVERIFY(e->toCrlfPosition(mark.cursor.selectionStart()) >= at - 2);
            QVERIFY(e->toCrlfPosition(mark.cursor.selectionEnd()) <= at + 3);
            marked += e->toCrlfPosition(mark.cursor.selectionEnd()) - e->toCrlfPosition(mark.cursor.selectionStart());
        }
        QCOMPARE(marked, word.size());
        QCOMPARE(editing::replaceAll(*d.doc(), pattern, QStringLiteral("ox")), 1);
        QCOMPARE(e->text(), QString(page).replace(word, QStringLiteral("ox")));
        d.doc()->Undo();
        QCOMPARE(e->text(), page);
    }

    // Typing the line long, then deleting it back: blocks are cut and joined again, the text
    // never sees it.
    void growsAndShrinks()
    {
        Doc d(QStringLiteral("<p>"));
        RichEdit* e = d.edit();
        QString expected = QStringLiteral("<p>");
        e->setSelStart(3);
        for (int i = 0; i < 700; ++i) {
            e->setSelText(QStringLiteral("<b>w</b> "));
            expected += QStringLiteral("<b>w</b> ");
        }
        QVERIFY(e->displayBreakCount() > 0);
        QCOMPARE(e->text(), expected);
        for (int i = 0; i < 6200; ++i) // down to 103 characters: one block again
            d.key(Qt::Key_Backspace);
        QCOMPARE(e->text(), expected.left(expected.size() - 6200));
        QCOMPARE(e->displayBreakCount(), 0);
    }
};

QTEST_MAIN(LongLineTest)
#include "tst_longline.moc"
