// The document window on its own: new-page text, load state, layout, clicks and the
// recording flag around Undo and Redo.

#include "support/TestKit.h"

#include "DocHarness.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "platform/Twips.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

using doctest::Doc;

namespace {

// The page a new document window starts with, written out line by line.
QString expectedPage()
{
    const QStringList lines{QStringLiteral("<HTML>"),
                            QStringLiteral("<HEAD></HEAD>"),
                            QStringLiteral("<TITLE></TITLE>"),
                            QStringLiteral("<BODY>"),
                            QString(37, QLatin1Char(' ')),
                            QString(21, QLatin1Char(' ')),
                            QStringLiteral("  </BODY>"),
                            QStringLiteral("</HTML>"),
                            QString()};
    return lines.join(QLatin1String("\r\n"));
}

QPoint pointOf(RichEdit* edit, int position)
{
    QTextCursor c(edit->document());
    c.setPosition(edit->toDocumentPosition(position));
    return edit->cursorRect(c).center();
}

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    void newWindowHoldsThePageTemplate()
    {
        Doc d;
        const QString page = expectedPage();
        QCOMPARE(d.edit()->text(), page);
        QCOMPARE(page::newPageTemplate(), page);
        QCOMPARE(d.edit()->textLength(), page.size());
        QCOMPARE(d.edit()->textRange(40, 6), QStringLiteral("<BODY>"));
        QCOMPARE(page::bodyTagOffset, 40);
        QCOMPARE(d.edit()->textRange(8, 6), QStringLiteral("<HEAD>"));
        QCOMPARE(page::headEndOffset, 14);
        QCOMPARE(d.edit()->selStart(), 0);
        QCOMPARE(d.edit()->selLength(), 0);
        QCOMPARE(d.doc()->savedCaret(), 0);
        const QList<testkit::Run> runs = testkit::colourRuns(d.edit());
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs.first().colour, QColor(Qt::black));
        const QFont font = d.edit()->document()->defaultFont();
        QCOMPARE(font.family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(font.pointSizeF(), 8.5);
        QCOMPARE(qRound(d.edit()->tabStopDistance()), platform::twipsToPixels(720));
    }

    void loadTakesTheFirstSnapshot()
    {
        frmDocument fresh;
        QVERIFY(!fresh.history().recording());
        QCOMPARE(fresh.history().undoCount(), 0);
        QTest::keyClick(fresh.editor(), Qt::Key_X); // before the load nothing is recorded
        QCOMPARE(fresh.history().undoCount(), 0);

        Doc d;
        const UndoHistory& h = d.history();
        QVERIFY(h.recording());
        QCOMPARE(h.undoCount(), 1);
        QCOMPARE(h.redoCount(), 0);
        QCOMPARE(h.undoAt(0).SelStart, 0);
        QCOMPARE(h.undoAt(0).TextLen, expectedPage().size());
        QCOMPARE(h.undoText(0), expectedPage());
        QVERIFY(d.doc()->isVisible());
    }

    void everyChangeIsASnapshot()
    {
        Doc d;
        d.edit()->setSelStart(40);
        d.type(QStringLiteral("a\nb"));
        d.edit()->setSelText(QStringLiteral("<P>"));
        const UndoHistory& h = d.history();
        QCOMPARE(h.undoCount(), 5);
        QCOMPARE(h.undoAt(2).SelStart, 43);
        QCOMPARE(h.undoAt(2).TextLen, expectedPage().size() + 3);
        QCOMPARE(h.undoAt(4).SelStart, 47);
        QCOMPARE(h.undoText(4), d.edit()->text());
    }

    // Undo and Redo edit with the flag off, so their own changes are not recorded.
    void undoAndRedoEditWithRecordingOff()
    {
        Doc d(QStringLiteral("one two"));
        d.select(4, 3);
        d.key(Qt::Key_Delete);
        d.type(QStringLiteral("xy"));
        QList<bool> flags;
        connect(d.edit(), &RichEdit::edited, this,
                [&flags, &d](int, int, int, int) { flags.append(d.history().recording()); });
        d.doc()->Undo();
        d.doc()->Undo();
        d.doc()->Undo();
        d.doc()->Redo();
        QCOMPARE(flags.size(), 4); // each Undo and the Redo edit once
        QVERIFY(!flags.contains(true));
        QVERIFY(d.history().recording());
        QCOMPARE(d.history().undoCount(), 2);
        QCOMPARE(d.history().redoCount(), 2);
    }

    void layoutLeavesMarginsOf100Twips()
    {
        Doc d;
        const int m = platform::twipsToPixels(100);
        d.doc()->resize(500, 300);
        QCOMPARE(d.edit()->geometry(), QRect(m, m, 500 - 2 * m, 300 - 2 * m));
        d.doc()->resize(2 * m, 300); // no room: the control keeps its size
        QCOMPARE(d.edit()->geometry(), QRect(m, m, 500 - 2 * m, 300 - 2 * m));
        d.doc()->resize(400, m);
        QCOMPARE(d.edit()->geometry(), QRect(m, m, 500 - 2 * m, 300 - 2 * m));
        d.doc()->resize(2 * m + 1, 2 * m + 1);
        QCOMPARE(d.edit()->geometry(), QRect(m, m, 1, 1));
    }

    void clickSetsBlackAndRecordsTheCaret()
    {
        Doc d(QStringLiteral("plain <H1> tag"));
        d.edit()->setSelStart(6);
        d.edit()->setSelLength(4);
        d.edit()->setSelColor(QColor(255, 0, 0)); // a red tag
        d.edit()->setSelStart(14);
        d.edit()->setSelColor(QColor(255, 0, 0)); // and red typing
        QTest::mouseClick(d.edit()->viewport(), Qt::LeftButton, {}, pointOf(d.edit(), 8));
        QCOMPARE(d.edit()->selStart(), 8);
        QCOMPARE(d.doc()->savedCaret(), 8);
        QCOMPARE(d.edit()->selColor(), QColor(Qt::black));
        d.type(QStringLiteral("z"));
        QCOMPARE(d.edit()->text(), QStringLiteral("plain <Hz1> tag"));
        QCOMPARE(testkit::colourAt(d.edit(), 8), QColor(Qt::black));
        QCOMPARE(testkit::colourAt(d.edit(), 7), QColor(255, 0, 0));
        QCOMPARE(d.history().undoCount(), 2); // the click itself changes no text
    }

    void closesWithoutAQuestion()
    {
        QPointer<frmDocument> doc = new frmDocument;
        workspace::setActiveLookup([p = doc.data()] { return p; });
        doc->load();
        QTest::keyClick(doc->editor(), Qt::Key_X);
        workspace::setActiveLookup({});
        QVERIFY(doc->close());
        QTRY_VERIFY(doc.isNull());
    }
};

QTEST_MAIN(DocumentTest)
#include "tst_document.moc"
