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
        QTest::newRow("line separator") << QStringLiteral("a\u2028b") << QStringLiteral("a\r\nb") << 2;
        QTest::newRow("paragraph separator") << QStringLiteral("a\u2029b") << QStringLiteral("a\r\nb") << 2;
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
};

QTEST_MAIN(RichEditTextTest)
#include "tst_richedit_text.moc"
