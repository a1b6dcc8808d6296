// Whether a page differs from its saved text, followed edit by edit: checked against the
// plain answer (compare the whole texts) on random edits, and on a real document window
// through typing, undo and the frame's mark.

#include "document/SaveTracker.h"
#include "document/UndoTarget.h"
#include "DocHarness.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRandomGenerator>
#include <QTest>

namespace {

// A page as a plain string, with the edit notifications a document gives.
class PlainPage : public UndoTarget {
public:
    QString text;
    int textLength() const override { return int(text.size()); }
    QString textRange(int start, int length) const override { return text.mid(start, length); }
    int selStart() const override { return 0; }
    void setSelStart(int) override {}
    void setSelLength(int) override {}
    void setSelText(const QString&) override {}
    void hideSelection(bool) override {}
    SpliceSet applySplices(const SpliceSet&) override { return {}; }

    void replace(SaveTracker& tracker, int pos, int removed, const QString& inserted)
    {
        text.replace(pos, removed, inserted);
        tracker.noteEdit(pos, removed, int(inserted.size()), int(text.size()));
    }
};

} // namespace

class SaveTrackerTest : public QObject {
    Q_OBJECT
private slots:
    // Random edits that often put back what they took out (undo-like), over pages that span
    // several chunks, compared with the whole-text answer after every edit.
    void followsTheWholeTextCompare()
    {
        for (quint32 seed = 1; seed <= 6; ++seed) {
            QRandomGenerator rng(seed);
            PlainPage page;
            for (int i = 0; i < 3 * SaveTracker::chunkLength + 123; ++i)
                page.text += QChar(u'a' + rng.bounded(3));
            SaveTracker tracker;
            tracker.setBaseline(page.text);
            QString saved = page.text;
            for (int step = 0; step < 400; ++step) {
                const int pos = rng.bounded(page.textLength() + 1);
                const int removed = std::min(int(rng.bounded(4)), page.textLength() - pos);
                const QString old = page.text.mid(pos, removed);
                switch (rng.bounded(4)) {
                case 0: // an edit and its exact reversal
                    page.replace(tracker, pos, removed, QStringLiteral("xy"));
                    QCOMPARE(tracker.isModified(page), page.text != saved);
                    page.replace(tracker, pos, 2, old);
                    break;
                case 1: // same length, maybe the same characters
                    page.replace(tracker, pos, removed, QString(removed, QChar(u'a' + rng.bounded(3))));
                    break;
                case 2:
                    page.replace(tracker, pos, removed, QString());
                    break;
                default:
                    if (rng.bounded(10) == 0) { // a save
                        tracker.setBaseline(page.text);
                        saved = page.text;
                    }
                }
                QVERIFY2(tracker.isModified(page) == (page.text != saved),
                         qPrintable(QStringLiteral("seed %1 step %2").arg(seed).arg(step)));
            }
        }
    }

    void unsavedUntilTheNextBaseline()
    {
        PlainPage page;
        page.text = QStringLiteral("recovered");
        SaveTracker tracker;
        tracker.setUnsaved();
        QVERIFY(tracker.isModified(page));
        tracker.setBaseline(page);
        QVERIFY(!tracker.isModified(page));
    }

    // The real window: the template is the baseline, undo back to it clears the mark, and
    // the mark lives on the frame, never in the caption.
    void documentWindowMarksItsFrame()
    {
        QMdiArea area;
        auto* doc = new frmDocument;
        doc->setWindowTitle(QStringLiteral("Document 1"));
        QMdiSubWindow* frame = area.addSubWindow(doc);
        workspace::setActiveLookup([doc] { return doc; });
        doc->load();
        QVERIFY(!doc->isModified());
        QTest::keyClicks(doc->editor(), QStringLiteral("ab"));
        QVERIFY(doc->isModified());
        QCOMPARE(doc->windowTitle(), QStringLiteral("Document 1"));
        QCOMPARE(frame->windowTitle(), QStringLiteral("Document 1[*]"));
        QVERIFY(frame->isWindowModified());
        doc->Undo();
        QVERIFY(doc->isModified());
        doc->Undo();
        QVERIFY(!doc->isModified());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Document 1"));
        QVERIFY(!frame->isWindowModified());
        doc->Redo();
        QVERIFY(doc->isModified());
        doc->markSaved();
        QVERIFY(!doc->isModified());
        workspace::setActiveLookup({});
    }
};

QTEST_MAIN(SaveTrackerTest)
#include "tst_savetracker.moc"
