// The undo and redo history of a document window.
//
// Besides the named cases, a randomized test drives a real document window with keystrokes
// and runs, side by side, a plain reference of the history that keeps the whole text in
// every snapshot. The real history stores only the change of each snapshot, so the two must
// agree on the text, caret, list lengths and every recorded text after every step.

#include "support/TestKit.h"

#include "DocHarness.h"
#include "document/Inserter.h"
#include "document/PageTemplate.h"
#include "document/UndoHistory.h"
#include "document/UndoTarget.h"
#include "formatting/TagCommands.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextCursor>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <vector>

using doctest::Doc;

namespace {

QString visible(QString s)
{
    s.replace(QLatin1String("\r"), QLatin1String("\\r"));
    s.replace(QLatin1String("\n"), QLatin1String("\\n"));
    return s;
}

// ---- the reference ------------------------------------------------------------------------

// A string edit control with the document's rules: a line break is "\r\n", a position
// between its CR and LF falls back to the end of the line, positions are clamped to the text.
struct TextModel {
    QString text;
    int selStart = 0;
    int selLength = 0;

    int length() const { return static_cast<int>(text.size()); }
    int snap(int p) const
    {
        p = std::clamp(p, 0, length());
        if (p > 0 && p < length() && text.at(p - 1) == QLatin1Char('\r') &&
            text.at(p) == QLatin1Char('\n'))
            --p;
        return p;
    }
    void setSelStart(int p)
    {
        selStart = snap(p);
        selLength = 0;
    }
    void setSelLength(int l)
    {
        const int end = snap(std::clamp(selStart + std::max(0, l), 0, length()));
        selLength = end - selStart;
    }
    static QString normalise(const QString& s)
    {
        QString out = s;
        out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        out.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        return out;
    }
    // Returns whether the text changed (whether the control fires its change event).
    bool setSelText(const QString& s)
    {
        const QString n = normalise(s);
        if (n.isEmpty() && selLength == 0)
            return false;
        text.replace(selStart, selLength, n);
        selStart += static_cast<int>(n.size());
        selLength = 0;
        return true;
    }
    bool backspace()
    {
        if (selLength == 0) {
            if (selStart == 0)
                return false;
            const int n = selStart >= 2 && text.mid(selStart - 2, 2) == QLatin1String("\r\n") ? 2 : 1;
            selStart -= n;
            selLength = n;
        }
        return setSelText(QString());
    }
    bool deleteKey()
    {
        if (selLength == 0) {
            if (selStart == length())
                return false;
            selLength = text.mid(selStart, 2) == QLatin1String("\r\n") ? 2 : 1;
        }
        return setSelText(QString());
    }
};

struct Snapshot {
    int SelStart;
    int TextLen;
    QString Text;
};

// Where the history says a change was made: at pos, `removed` was replaced by `inserted`.
struct RecordedChange {
    int pos = 0;
    QString removed;
    QString inserted;
};

// The history with whole-text snapshots and Change on whole strings: the difference rule
// wherever it gives back exactly the neighbouring snapshot's text, else that text itself
// with the restored run selected. Where a change stands in the text is taken from the real
// history (a run in repeated characters can stand in several places), after checking that
// it turns the one text into the other.
struct ReferenceHistory {
    std::vector<Snapshot> undo;
    std::vector<Snapshot> redo;
    bool recording = false;
    int clampedRedos = 0;  // redos whose Change start fell below 1
    int restored = 0;      // undos and redos the rule would have scrambled
    QString failure;       // a recorded change that does not fit the texts

    static QString Change(QString lParam1, QString lParam2, const int& startSearch)
    {
        if (lParam1.size() > lParam2.size())
            std::swap(lParam1, lParam2);
        const int d = static_cast<int>(lParam2.size() - lParam1.size());
        if (d == 0)
            return QString();
        const int start = std::max(1, startSearch - d);
        return lParam2.mid(start - 1, d);
    }
    static bool caretAfter(const QString& r) { return r == QLatin1String("\r\n") || r.size() < 2; }
    static void selectRun(TextModel& m, int at, const QString& r)
    {
        m.setSelStart(at);
        if (caretAfter(r))
            m.setSelStart(at + static_cast<int>(r.size()));
        else
            m.setSelLength(static_cast<int>(r.size()));
    }
    // Gives `m` the text `want`: by the rule's result when that is it, else from the change.
    void settle(TextModel& m, const TextModel& byRule, const QString& want, int pos, const QString& out,
                const QString& in)
    {
        if (byRule.text == want) {
            m = byRule;
            return;
        }
        ++restored;
        if (m.text.left(pos) + in + m.text.mid(pos + out.size()) != want || m.text.mid(pos, out.size()) != out)
            failure = QStringLiteral("the change at %1 (\"%2\" for \"%3\") does not fit the texts")
                          .arg(pos)
                          .arg(visible(in), visible(out));
        m.text = want;
        selectRun(m, pos, in);
    }

    void changed(const TextModel& m)
    {
        if (!recording)
            return;
        redo.clear();
        undo.push_back({m.selStart, m.length(), m.text});
    }
    void Undo(TextModel& m, const RecordedChange& c)
    {
        if (undo.size() >= 2 && recording) {
            recording = false;
            const Snapshot L = undo.back();
            const Snapshot P = undo[undo.size() - 2];
            TextModel t = m;
            if (P.TextLen < L.TextLen) {
                const int d = L.TextLen - P.TextLen;
                t.setSelStart(L.SelStart - d);
                t.setSelLength(d);
                t.setSelText(QString());
            } else {
                const int d = static_cast<int>(std::abs(P.Text.size() - L.Text.size()));
                const QString r = Change(P.Text, L.Text, d + L.SelStart + 1);
                t.setSelStart(L.SelStart);
                t.setSelText(r);
                selectRun(t, L.SelStart, r);
            }
            settle(m, t, P.Text, c.pos, c.inserted, c.removed);
            redo.push_back(L);
            undo.pop_back();
        }
        recording = true;
    }
    void Redo(TextModel& m, const RecordedChange& c)
    {
        if (!redo.empty() && recording) {
            recording = false;
            const Snapshot R = redo.back();
            const int n = m.length();
            TextModel t = m;
            if (R.TextLen < n) {
                t.setSelStart(R.SelStart);
                t.setSelLength(n - R.TextLen);
                t.setSelText(QString());
            } else {
                if (R.SelStart + 1 - (R.TextLen - n) < 1)
                    ++clampedRedos;
                const QString r = Change(m.text, R.Text, R.SelStart + 1);
                const int at = std::max(0, R.SelStart - static_cast<int>(r.size()));
                t.setSelStart(at);
                t.setSelText(r);
                selectRun(t, at, r);
            }
            settle(m, t, R.Text, c.pos, c.removed, c.inserted);
            undo.push_back(R);
            redo.pop_back();
        }
        recording = true;
    }
};

// ---- the randomized comparison ------------------------------------------------------------

class Twin {
public:
    explicit Twin(const QString& page) : m_doc(page)
    {
        m_model.text = page;
        m_model.setSelStart(0);
        m_ref.recording = true;
        m_ref.changed(m_model);
    }

    const ReferenceHistory& reference() const { return m_ref; }
    const QStringList& log() const { return m_log; }

    // One random action on both; returns a description of it.
    void step(QRandomGenerator& rng)
    {
        const int roll = rng.bounded(100);
        const int len = m_model.length();
        if (roll < 26) {
            const QChar ch = QStringLiteral("ab ").at(rng.bounded(3));
            typeChar(ch);
        } else if (roll < 33) {
            pressReturn();
        } else if (roll < 42) {
            key(Qt::Key_Backspace);
        } else if (roll < 48) {
            key(Qt::Key_Delete);
        } else if (roll < 55) {
            const int p = nearABreak(rng, len + 2);
            note(QStringLiteral("caret %1").arg(p));
            m_doc.edit()->setSelStart(p);
            m_model.setSelStart(p);
        } else if (roll < 64) {
            select(nearABreak(rng, len + 1), rng.bounded(1, 6));
            switch (rng.bounded(4)) {
            case 0: typeChar(QLatin1Char('b')); break;
            case 1: pressReturn(); break;
            case 2: key(Qt::Key_Backspace); break;
            default: key(Qt::Key_Delete); break;
            }
        } else if (roll < 65) {
            // The whole page replaced, as Open does it in a window already in use.
            static const QStringList pages{QStringLiteral("<P>ab</P>\r\nba"), QStringLiteral("b"), QString()};
            select(0, len);
            assign(pages.at(rng.bounded(pages.size())));
        } else if (roll < 69) {
            // A program assignment, as the insertion steps make it.
            static const QStringList pieces{QStringLiteral("<P>"), QStringLiteral("x\r\ny"),
                                            QStringLiteral("\n"), QStringLiteral("ab"),
                                            QStringLiteral("a\rb\n"), QString()};
            if (rng.bounded(2))
                select(rng.bounded(len + 1), rng.bounded(0, 5));
            assign(pieces.at(rng.bounded(pieces.size())));
        } else if (roll < 72) {
            // Text put in after the caret by another cursor: the recorded caret then stands
            // before the inserted run.
            const int from = m_model.selStart + m_model.selLength;
            if (from < len) {
                const int p = m_model.snap(rng.bounded(from + 1, len + 1));
                if (p > from)
                    insertBehind(p, rng.bounded(2) ? QStringLiteral("ab\r\n") : QStringLiteral("bab"));
            }
        } else if (roll < 74) {
            select(rng.bounded(len + 1), rng.bounded(1, 6));
            note(QStringLiteral("colour the selection"));
            m_doc.edit()->setSelColor(QColor(0, 0, 255));
        } else if (roll < 89) {
            for (int i = rng.bounded(1, 5); i > 0; --i) {
                note(QStringLiteral("Undo"));
                const RecordedChange c = nextUndo();
                m_doc.doc()->Undo();
                m_ref.Undo(m_model, c);
            }
        } else {
            for (int i = rng.bounded(1, 4); i > 0; --i) {
                note(QStringLiteral("Redo"));
                const RecordedChange c = nextRedo();
                m_doc.doc()->Redo();
                m_ref.Redo(m_model, c);
            }
        }
    }

    // Empty when the real document and the reference agree; else what differs.
    QString mismatch(bool allSnapshots) const
    {
        const RichEdit* e = m_doc.edit();
        const UndoHistory& h = m_doc.history();
        if (!m_ref.failure.isEmpty())
            return m_ref.failure;
        if (e->text() != m_model.text)
            return QStringLiteral("text %1, expected %2").arg(visible(e->text()), visible(m_model.text));
        if (e->selStart() != m_model.selStart || e->selLength() != m_model.selLength)
            return QStringLiteral("selection %1+%2, expected %3+%4")
                .arg(e->selStart())
                .arg(e->selLength())
                .arg(m_model.selStart)
                .arg(m_model.selLength);
        if (!h.recording())
            return QStringLiteral("not recording");
        if (h.undoCount() != static_cast<int>(m_ref.undo.size()) ||
            h.redoCount() != static_cast<int>(m_ref.redo.size()))
            return QStringLiteral("lists %1/%2, expected %3/%4")
                .arg(h.undoCount())
                .arg(h.redoCount())
                .arg(m_ref.undo.size())
                .arg(m_ref.redo.size());
        auto compare = [](const char* list, int i, const UndoElement& got, const QString& text,
                          const Snapshot& want) -> QString {
            if (got.SelStart != want.SelStart || got.TextLen != want.TextLen || text != want.Text)
                return QStringLiteral("%1[%2]: %3/%4 \"%5\", expected %6/%7 \"%8\"")
                    .arg(QLatin1String(list))
                    .arg(i)
                    .arg(got.SelStart)
                    .arg(got.TextLen)
                    .arg(visible(text))
                    .arg(want.SelStart)
                    .arg(want.TextLen)
                    .arg(visible(want.Text));
            return QString();
        };
        const int undoCount = h.undoCount();
        for (int i = allSnapshots ? 0 : std::max(0, undoCount - 3); i < undoCount; ++i)
            if (QString m = compare("undo", i, h.undoAt(i), h.undoText(i), m_ref.undo[i]); !m.isEmpty())
                return m;
        const int redoCount = h.redoCount();
        for (int i = allSnapshots ? 0 : std::max(0, redoCount - 3); i < redoCount; ++i)
            if (QString m = compare("redo", i, h.redoAt(i), h.redoText(i), m_ref.redo[i]); !m.isEmpty())
                return m;
        return QString();
    }

private:
    // The change the next Undo or Redo takes back or makes again, as the real history has it.
    RecordedChange nextUndo() const
    {
        const UndoHistory& h = m_doc.history();
        if (h.undoCount() < 2)
            return {};
        const UndoElement& L = h.undoAt(h.undoCount() - 1);
        return {L.pos, L.removed.toString(), m_model.text.mid(L.pos, L.insertedLength)};
    }
    RecordedChange nextRedo() const
    {
        const UndoHistory& h = m_doc.history();
        if (h.redoCount() < 1)
            return {};
        const UndoElement& R = h.redoAt(h.redoCount() - 1);
        return {R.pos, R.removed.toString(), R.inserted.toString()};
    }

    // A random position below `bound`; on a page held with display-only breaks, half the
    // time one within two characters of such a break.
    int nearABreak(QRandomGenerator& rng, int bound) const
    {
        const RichEdit* e = m_doc.edit();
        if (e->displayBreakCount() == 0 || rng.bounded(2) == 0)
            return rng.bounded(bound);
        QTextBlock b = e->document()->findBlockByNumber(rng.bounded(e->document()->blockCount()));
        while (b.isValid() && !e->continuesLine(b))
            b = b.next();
        if (!b.isValid())
            return rng.bounded(bound);
        return std::clamp(e->toCrlfPosition(b.position()) + rng.bounded(-2, 3), 0, bound - 1);
    }
    void note(const QString& what)
    {
        m_log.append(what);
        if (m_log.size() > 12)
            m_log.removeFirst();
    }
    void changed(bool didChange)
    {
        if (didChange)
            m_ref.changed(m_model);
    }
    void typeChar(QChar ch)
    {
        note(QStringLiteral("type '%1'").arg(ch));
        QTest::keyClick(m_doc.edit(), ch.toLatin1());
        changed(m_model.setSelText(QString(ch)));
    }
    void pressReturn()
    {
        note(QStringLiteral("Return"));
        QTest::keyClick(m_doc.edit(), Qt::Key_Return);
        changed(m_model.setSelText(QStringLiteral("\r\n")));
    }
    void key(Qt::Key k)
    {
        note(k == Qt::Key_Backspace ? QStringLiteral("Backspace") : QStringLiteral("Delete"));
        QTest::keyClick(m_doc.edit(), k);
        changed(k == Qt::Key_Backspace ? m_model.backspace() : m_model.deleteKey());
    }
    void select(int start, int length)
    {
        note(QStringLiteral("select %1+%2").arg(start).arg(length));
        m_doc.select(start, length);
        m_model.setSelStart(start);
        m_model.setSelLength(length);
    }
    void assign(const QString& text)
    {
        note(QStringLiteral("assign \"%1\"").arg(visible(text)));
        m_doc.edit()->setSelText(text);
        changed(m_model.setSelText(text));
    }
    void insertBehind(int position, const QString& text)
    {
        note(QStringLiteral("insert \"%1\" at %2 behind the caret").arg(visible(text)).arg(position));
        QTextCursor c(m_doc.edit()->document());
        c.setPosition(m_doc.edit()->toDocumentPosition(position));
        c.insertText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        m_model.text.insert(position, text);
        changed(true);
    }

    Doc m_doc;
    TextModel m_model;
    ReferenceHistory m_ref;
    QStringList m_log;
};

// The history on a plain string control, without any widget: for long runs.
class StringTarget : public UndoTarget {
public:
    explicit StringTarget(UndoHistory& history) : m_history(history) {}
    TextModel model;

    int textLength() const override { return model.length(); }
    QString textRange(int start, int length) const override { return model.text.mid(start, length); }
    int selStart() const override { return model.selStart; }
    void setSelStart(int position) override { model.setSelStart(position); }
    void setSelLength(int length) override { model.setSelLength(length); }
    void setSelText(const QString& text) override
    {
        const int pos = model.selStart;
        const int removed = model.selLength;
        if (model.setSelText(text)) {
            m_history.noteEdit(pos, removed, model.selStart - pos, model.length());
            m_history.record(*this);
        }
    }
    void hideSelection(bool) override {}
    SpliceSet applySplices(const SpliceSet& set) override
    {
        SpliceSet back;
        QString out;
        qsizetype at = 0, offset = 0, shift = 0;
        for (const SpliceSet::Splice& s : set.splices) {
            out += model.text.mid(at, s.pos - at);
            const QString taken = model.text.mid(s.pos, s.removed);
            const int removed = static_cast<int>(taken.size());
            back.splices.push_back({static_cast<int>(s.pos + shift), s.inserted, removed});
            back.text += taken;
            out += set.text.mid(offset, s.inserted);
            offset += s.inserted;
            shift += s.inserted - removed;
            at = s.pos + removed;
        }
        out += model.text.mid(at);
        const SpliceSet::Splice& first = set.splices.front();
        const SpliceSet::Splice& last = set.splices.back();
        model.text = out;
        m_history.noteEdit(first.pos, last.pos + last.removed - first.pos,
                           static_cast<int>(last.pos + last.removed - first.pos + set.growth()),
                           model.length());
        return back;
    }

private:
    UndoHistory& m_history;
};

} // namespace

class UndoHistoryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testkit::isolate(); }

    // ---- Change -----------------------------------------------------------------------

    void change_data()
    {
        QTest::addColumn<QString>("lParam1");
        QTest::addColumn<QString>("lParam2");
        QTest::addColumn<int>("startSearch");
        QTest::addColumn<QString>("expected");
        QTest::newRow("run ending before the start") << "abc" << "abXYc" << 5 << "XY";
        QTest::newRow("longer first is swapped") << "abXYc" << "abc" << 5 << "XY";
        QTest::newRow("equal lengths") << "abc" << "xyz" << 2 << "";
        QTest::newRow("same text") << "abc" << "abc" << 4 << "";
        QTest::newRow("both empty") << "" << "" << 1 << "";
        QTest::newRow("from the first character") << "a" << "abcd" << 4 << "abc";
        QTest::newRow("start below 1 taken as 1") << "a" << "abcd" << 2 << "abc";
        QTest::newRow("start far below 1") << "a" << "abcd" << -50 << "abc";
        QTest::newRow("run reaching past the end") << "a" << "abcd" << 6 << "cd";
        QTest::newRow("start beyond the end") << "a" << "abcd" << 10 << "";
        QTest::newRow("a line break") << "ab" << "a\r\nb" << 4 << "\r\n";
        QTest::newRow("shorter is empty") << "" << "xy" << 3 << "xy";
    }
    void change()
    {
        QFETCH(QString, lParam1);
        QFETCH(QString, lParam2);
        QFETCH(int, startSearch);
        QFETCH(QString, expected);
        QCOMPARE(UndoHistory::Change(lParam1, lParam2, startSearch), expected);
        QCOMPARE(ReferenceHistory::Change(lParam1, lParam2, startSearch), expected);
        // The shorter text may come either way round; the document's Change is the history's.
        QCOMPARE(UndoHistory::Change(lParam2, lParam1, startSearch), expected);
        QCOMPARE(frmDocument::Change(lParam2, lParam1, startSearch), expected);
    }

    // ---- the named cases ----------------------------------------------------------------

    void eachTypedCharacterIsOneUndo()
    {
        Doc d;
        QCOMPARE(d.history().undoCount(), 1);
        d.type(QStringLiteral("xyz"));
        QCOMPARE(d.history().undoCount(), 4);
        const QString page = page::newPageTemplate();
        for (const QString& left : {QStringLiteral("xy"), QStringLiteral("x"), QString()}) {
            d.doc()->cmdUndo_Click();
            QCOMPARE(d.edit()->text(), left + page);
            QCOMPARE(d.edit()->selStart(), left.size());
            QCOMPARE(d.edit()->selLength(), 0);
        }
        QCOMPARE(d.history().undoCount(), 1);
        QCOMPARE(d.history().redoCount(), 3);
        QVERIFY(d.edit()->viewport()->updatesEnabled()); // the selection is shown again
        d.doc()->Undo(); // only the first snapshot is left
        QCOMPARE(d.edit()->text(), page);
        QCOMPARE(d.history().undoCount(), 1);
        QCOMPARE(d.history().redoCount(), 3);
        QVERIFY(d.history().recording());
        for (const QString& back : {QStringLiteral("x"), QStringLiteral("xy"), QStringLiteral("xyz")}) {
            d.doc()->cmdRedo_Click();
            QCOMPARE(d.edit()->text(), back + page);
            QCOMPARE(d.edit()->selStart(), back.size());
        }
        d.doc()->Redo(); // nothing left to redo
        QCOMPARE(d.edit()->text(), QStringLiteral("xyz") + page);
        QCOMPARE(d.history().undoCount(), 4);
        QCOMPARE(d.history().redoCount(), 0);
    }

    // Undo of a removal puts back the removed run at the recorded caret; a run longer than one
    // character (other than a lone line break) comes back selected, else the caret follows it.
    void undoOfARemoval_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("afterKey");
        QTest::addColumn<int>("undoSelStart");
        QTest::addColumn<int>("undoSelLength");
        QTest::newRow("Delete of a selected word") << "one two three" << 4 << 3 << int(Qt::Key_Delete)
                                                   << "one  three" << 4 << 3;
        QTest::newRow("Backspace of a selected word") << "one two three" << 4 << 3 << int(Qt::Key_Backspace)
                                                      << "one  three" << 4 << 3;
        QTest::newRow("Backspace of one character") << "abc" << 2 << 0 << int(Qt::Key_Backspace)
                                                    << "ac" << 2 << 0;
        QTest::newRow("Delete of one character") << "abc" << 1 << 0 << int(Qt::Key_Delete)
                                                 << "ac" << 2 << 0;
        QTest::newRow("Backspace of a line break") << "ab\r\ncd" << 4 << 0 << int(Qt::Key_Backspace)
                                                   << "abcd" << 4 << 0;
        QTest::newRow("Delete of a line break") << "ab\r\ncd" << 2 << 0 << int(Qt::Key_Delete)
                                                << "abcd" << 4 << 0;
        QTest::newRow("Delete of a selected line break and more") << "ab\r\ncd" << 2 << 3
                                                                  << int(Qt::Key_Delete) << "abd" << 2 << 3;
    }
    void undoOfARemoval()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(int, key);
        QFETCH(QString, afterKey);
        QFETCH(int, undoSelStart);
        QFETCH(int, undoSelLength);
        Doc d(text);
        d.select(selStart, selLength);
        d.key(static_cast<Qt::Key>(key));
        QCOMPARE(d.edit()->text(), afterKey);
        d.doc()->Undo();
        QCOMPARE(d.edit()->text(), text);
        QCOMPARE(d.edit()->selStart(), undoSelStart);
        QCOMPARE(d.edit()->selLength(), undoSelLength);
    }

    void typingAfterUndoEmptiesRedo()
    {
        Doc d(QStringLiteral("page"));
        d.edit()->setSelStart(4);
        d.type(QStringLiteral("ab"));
        d.doc()->Undo();
        d.doc()->Undo();
        QCOMPARE(d.history().redoCount(), 2);
        d.type(QStringLiteral("c"));
        QCOMPARE(d.history().redoCount(), 0);
        QCOMPARE(d.history().undoCount(), 2);
        d.doc()->Redo();
        QCOMPARE(d.edit()->text(), QStringLiteral("pagec"));
    }

    // A replacement comes back exactly, both ways: the run it replaced is restored and
    // selected (the caret follows a single character or a lone line break).
    void replacementsComeBackExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("typed"); // typed as keys; empty: `assigned` is assigned
        QTest::addColumn<QString>("assigned");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QList<int>>("undoSelection");
        QTest::addColumn<QList<int>>("redoSelection");
        using L = QList<int>;
        QTest::newRow("equal length") << "hello world" << 0 << 5 << "" << "HELLO" << "HELLO world" << L{0, 5}
                                      << L{0, 5};
        QTest::newRow("one character typed over one") << "hello world" << 6 << 1 << "W" << ""
                                                      << "hello World" << L{7, 0} << L{7, 0};
        QTest::newRow("shorter, typed") << "hello world" << 0 << 5 << "x" << "" << "x world" << L{0, 5}
                                        << L{1, 0};
        QTest::newRow("longer, assigned") << "ab cd" << 0 << 2 << "" << "wxyz" << "wxyz cd" << L{0, 2}
                                          << L{0, 4};
        QTest::newRow("a break typed over a word") << "ab cd" << 3 << 2 << "\n" << "" << "ab \r\n"
                                                   << L{3, 2} << L{5, 0};
        QTest::newRow("a word over a break") << "ab\r\ncd" << 2 << 2 << "" << "xyz" << "abxyzcd" << L{4, 0}
                                             << L{2, 3};
    }
    void replacementsComeBackExactly()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, typed);
        QFETCH(QString, assigned);
        QFETCH(QString, after);
        QFETCH(QList<int>, undoSelection);
        QFETCH(QList<int>, redoSelection);
        Doc d(text);
        d.select(selStart, selLength);
        if (typed.isEmpty())
            d.edit()->setSelText(assigned);
        else
            d.type(typed);
        QCOMPARE(visible(d.edit()->text()), visible(after));
        QCOMPARE(d.history().undoCount(), 2);
        d.doc()->Undo();
        QCOMPARE(visible(d.edit()->text()), visible(text));
        QCOMPARE((QList<int>{d.edit()->selStart(), d.edit()->selLength()}), undoSelection);
        d.doc()->Redo();
        QCOMPARE(visible(d.edit()->text()), visible(after));
        QCOMPARE((QList<int>{d.edit()->selStart(), d.edit()->selLength()}), redoSelection);
        QCOMPARE(d.history().undoText(1), after);
    }

    // A run put in behind the caret is recorded with the caret before its end; Undo and Redo
    // take it out and put it back where it stands.
    void runPutInBehindTheCaret()
    {
        Doc d(QStringLiteral("abcdef"));
        d.edit()->setSelStart(0);
        QTextCursor behind(d.edit()->document());
        behind.setPosition(6);
        behind.insertText(QStringLiteral("XYZ"));
        QCOMPARE(d.history().undoCount(), 2);
        QCOMPARE(d.history().undoAt(1).SelStart, 0);
        QCOMPARE(d.history().undoAt(1).TextLen, 9);
        d.doc()->Undo();
        QCOMPARE(d.edit()->text(), QStringLiteral("abcdef"));
        QCOMPARE(d.edit()->selStart(), 6);
        d.doc()->Redo();
        QCOMPARE(d.edit()->text(), QStringLiteral("abcdefXYZ"));
        QCOMPARE(d.edit()->selStart(), 6);
        QCOMPARE(d.edit()->selLength(), 3);
        QCOMPARE(d.history().undoCount(), 2);
        QCOMPARE(d.history().redoCount(), 0);
        QCOMPARE(d.history().undoText(1), QStringLiteral("abcdefXYZ"));
    }

    // More than 32767 snapshots on the redo list are still emptied by the next change.
    void aLongRedoListIsEmptied()
    {
        UndoHistory history;
        StringTarget target(history);
        history.setRecording(true);
        history.record(target);
        const int count = 33000;
        for (int i = 0; i < count; ++i)
            target.setSelText(QStringLiteral("a"));
        while (history.undo(target))
            history.setRecording(true);
        QCOMPARE(history.redoCount(), count);
        QCOMPARE(target.model.text, QString());
        history.setRecording(true);
        target.setSelText(QStringLiteral("b"));
        QCOMPARE(history.redoCount(), 0);
        QCOMPARE(history.undoCount(), 2);
        QCOMPARE(history.undoText(1), QStringLiteral("b"));
    }

    // Splices are one step whose Undo and Redo give back each text exactly, around ordinary
    // snapshots before and after, also after an undo that left the history's copy behind.
    void splicesAreOneExactStep()
    {
        UndoHistory history;
        StringTarget target(history);
        target.model.text = QStringLiteral("one two\r\none three");
        history.setRecording(true);
        history.record(target);
        target.setSelStart(3);
        target.setSelText(QStringLiteral("!"));
        const QString before = target.model.text; // "one! two\r\none three"
        SpliceSet set;
        set.splices = {{0, 3, 5}, {11, 2, 0}, {14, 3, 1}};
        set.text = QStringLiteral("ONE..x");
        QVERIFY(history.applySplices(target, set));
        const QString after = QStringLiteral("ONE..! two\r\no xee");
        QCOMPARE(target.model.text, after);
        QCOMPARE(history.undoCount(), 3);
        QCOMPARE(history.undoText(2), after);
        target.setSelStart(target.textLength());
        target.setSelText(QStringLiteral("?"));
        for (const QString& expected : {after, before}) {
            QVERIFY(history.undo(target));
            history.setRecording(true);
            QCOMPARE(target.model.text, expected);
        }
        QCOMPARE(history.undoText(1), before);
        QVERIFY(history.redo(target));
        history.setRecording(true);
        QCOMPARE(target.model.text, after);
        QCOMPARE(history.redoText(0), after + QLatin1Char('?'));
        QVERIFY(history.undo(target));
        history.setRecording(true);
        QVERIFY(history.undo(target));
        history.setRecording(true);
        QCOMPARE(target.model.text, QStringLiteral("one two\r\none three"));
        // After an edit made while nothing was recorded, the page the splices were made in
        // still comes back exactly, and the history keeps in step.
        history.setRecording(false);
        target.setSelStart(0);
        target.setSelLength(3);
        target.setSelText(QStringLiteral("abc"));
        history.setRecording(true);
        const QString odd = target.model.text;
        QVERIFY(history.applySplices(target, set));
        const QString spliced = target.model.text;
        QVERIFY(history.undo(target));
        history.setRecording(true);
        QCOMPARE(target.model.text, odd);
        QVERIFY(history.redo(target));
        history.setRecording(true);
        QCOMPARE(target.model.text, spliced);
        QCOMPARE(history.undoText(history.undoCount() - 1), spliced);
    }

    void colouringASelectionIsNotRecorded()
    {
        Doc d(QStringLiteral("abc def"));
        d.select(4, 3);
        d.edit()->setSelColor(QColor(255, 0, 0));
        QCOMPARE(d.history().undoCount(), 1);
        d.edit()->setSelStart(7);
        d.edit()->setSelColor(QColor(0, 0, 255)); // insertion colour only
        QCOMPARE(d.history().undoCount(), 1);
    }

    void nothingIsRecordedWhileTheFlagIsOff()
    {
        Doc d(QStringLiteral("abc"));
        d.history().setRecording(false);
        d.type(QStringLiteral("x"));
        QCOMPARE(d.history().undoCount(), 1);
        d.doc()->Undo(); // refused while not recording; the closing steps turn it back on
        QCOMPARE(d.edit()->text(), QStringLiteral("xabc"));
        QVERIFY(d.history().recording());
        d.type(QStringLiteral("y"));
        QCOMPARE(d.history().undoCount(), 2);
        QCOMPARE(d.history().undoText(1), QStringLiteral("xyabc"));
    }

    // A generator's pieces and its Enter are one snapshot each, undone one at a time.
    void generatorPiecesAreSeparateUndoSteps()
    {
        Doc d(QStringLiteral("Hello"));
        d.edit()->setSelStart(5);
        inserter::run(tags::menuWrap(tags::menuWraps[6])); // Bold, nothing selected
        const QString done = QStringLiteral("Hello<STRONG></STRONG>\r\n");
        QCOMPARE(d.edit()->text(), done);
        // Load, opening tag, closing tag, Enter: the empty capture changes nothing.
        QCOMPARE(d.history().undoCount(), 4);
        const QStringList states{QStringLiteral("Hello<STRONG></STRONG>"), QStringLiteral("Hello<STRONG>"),
                                 QStringLiteral("Hello")};
        for (const QString& s : states) {
            d.doc()->Undo();
            QCOMPARE(visible(d.edit()->text()), visible(s));
        }
    }

    // Bold over a selected word: each step comes back exactly, the word too, and Redo makes
    // every step again.
    void generatorOverASelection()
    {
        Doc d(QStringLiteral("Hello world"));
        d.select(0, 5);
        inserter::run(tags::menuWrap(tags::menuWraps[6]));
        const QString done = QStringLiteral("<STRONG>Hello</STRONG>\r\n world");
        QCOMPARE(d.edit()->text(), done);
        QCOMPARE(d.history().undoCount(), 5);
        const QStringList states{QStringLiteral("<STRONG>Hello</STRONG> world"),
                                 QStringLiteral("<STRONG>Hello world"), QStringLiteral("<STRONG> world"),
                                 QStringLiteral("Hello world")};
        for (const QString& s : states) {
            d.doc()->Undo();
            QCOMPARE(visible(d.edit()->text()), visible(s));
        }
        QCOMPARE(d.history().undoCount(), 1);
        QCOMPARE(d.edit()->selStart(), 0);
        QCOMPARE(d.edit()->selLength(), 5); // the word that came back
        for (qsizetype i = states.size() - 2; i >= -1; --i) {
            d.doc()->Redo();
            QCOMPARE(visible(d.edit()->text()), visible(i >= 0 ? states.at(i) : done));
        }
        QCOMPARE(d.history().redoCount(), 0);
    }

    // A page opened into a window of its own starts its history with its text.
    void startingOverLeavesNothingToUndo()
    {
        Doc d;
        d.type(QStringLiteral("ab"));
        d.edit()->setWholeText(QStringLiteral("the file"));
        d.doc()->Undo();
        QCOMPARE(d.edit()->text(), QStringLiteral("ab") + page::newPageTemplate()); // exactly
        d.doc()->Redo();
        d.doc()->startHistoryHere();
        QCOMPARE(d.history().undoCount(), 1);
        QCOMPARE(d.history().redoCount(), 0);
        d.doc()->Undo();
        QCOMPARE(d.edit()->text(), QStringLiteral("the file"));
        d.type(QStringLiteral("x"));
        d.doc()->Undo();
        QCOMPARE(d.edit()->text(), QStringLiteral("the file"));
        QCOMPARE(d.history().undoText(0), QStringLiteral("the file"));
    }

    // ---- the reference comparison -------------------------------------------------------

    void matchesTheReference_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<QString>("page");
        QTest::newRow("template 1") << 1u << page::newPageTemplate();
        QTest::newRow("template 2") << 2u << page::newPageTemplate();
        QTest::newRow("empty 3") << 3u << QString();
        QTest::newRow("tiny 4") << 4u << QStringLiteral("ab\r\nba");
        QTest::newRow("tiny 5") << 5u << QStringLiteral("a");
        QTest::newRow("breaks 6") << 6u << QStringLiteral("\r\n\r\n\r\n");
        QTest::newRow("tiny 7") << 7u << QStringLiteral("abba baab");
        QTest::newRow("template 8") << 8u << page::newPageTemplate();
        // One line of 200 KB, held as display blocks: the caret often goes next to a
        // display-only break (see step()).
        QString line;
        for (int i = 0; line.size() < 200 * 1024; ++i)
            line += QStringLiteral("<a href=x%1>ab</a> ").arg(i);
        QTest::newRow("one long line 9") << 9u << line;
        QTest::newRow("one long line 10") << 10u << line;
    }
    void matchesTheReference()
    {
        QFETCH(quint32, seed);
        QFETCH(QString, page);
        QRandomGenerator rng(seed);
        Twin twin(page);
        QString m = twin.mismatch(true);
        QVERIFY2(m.isEmpty(), qPrintable(QStringLiteral("after load: ") + m));
        const int steps = 300;
        for (int i = 1; i <= steps; ++i) {
            twin.step(rng);
            m = twin.mismatch(i % 25 == 0 || i == steps);
            if (!m.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1, step %2: %3\nlast actions: %4")
                                     .arg(seed)
                                     .arg(i)
                                     .arg(m, twin.log().join(QLatin1String("; ")))));
        }
        QVERIFY2(twin.reference().restored > 0, "no Undo or Redo took a replacement back");
    }
};

QTEST_MAIN(UndoHistoryTest)
#include "tst_undohistory.moc"
