// GapText against a plain QString given the same edits: the gap may move and grow anywhere,
// the text read back must not change.

#include "document/GapText.h"

#include <QTest>

class GapTextTest : public QObject {
    Q_OBJECT
private slots:
    void followsPlainString()
    {
        QString expected = QStringLiteral("0123456789");
        GapText text(expected);
        // A deterministic mix of edits: typing runs, deletions, replacements far apart and
        // one large insertion that outgrows the gap.
        unsigned state = 7;
        auto next = [&state](unsigned bound) {
            state = state * 1664525u + 1013904223u;
            return static_cast<qsizetype>((state >> 8) % bound);
        };
        for (int i = 0; i < 3000; ++i) {
            const qsizetype pos = next(static_cast<unsigned>(expected.size() + 1));
            const qsizetype cut = i % 7 == 0 ? next(5) : 0;
            // Latin-1 text is held one byte per character until the first wider character.
            QString piece = i == 1500   ? QString(5000, QLatin1Char('L'))
                            : i == 2000 ? QStringLiteral("\u20ac\U0001F600")
                                        : QString(next(4), QChar(u'a' + i % 26));
            const qsizetype clampedCut = std::min(cut, expected.size() - pos);
            expected.replace(pos, clampedCut, piece);
            text.replace(pos, cut, piece);
            QCOMPARE(text.size(), expected.size());
            if (i % 97 == 0)
                QCOMPARE(text.toString(), expected);
            QCOMPARE(text.isCompact(), i < 2000);
        }
        QCOMPARE(text.toString(), expected);
        QCOMPARE(text.mid(100, 50), expected.mid(100, 50));
        QCOMPARE(text.mid(-5, 10), expected.mid(0, 10));
        QCOMPARE(text.mid(expected.size() - 3, 10), expected.right(3));
    }

    void packedRunsGiveTheirText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("latin-1") << QStringLiteral("caf\u00e9 <b>\u00ff</b>");
        QTest::newRow("wide") << QStringLiteral("a\u20ac\U0001F600b");
        QTest::newRow("long") << QString(3000, QChar(0xe9));
    }
    void packedRunsGiveTheirText()
    {
        QFETCH(QString, text);
        const PackedText run(text);
        QCOMPARE(run.size(), text.size());
        QCOMPARE(run.toString(), text);
        QCOMPARE(run.mid(1, 2), text.mid(1, 2));
        // Spliced into a compact buffer, wide or not.
        GapText buffer(QStringLiteral("[]"));
        buffer.replace(1, 0, run);
        QCOMPARE(buffer.toString(), QStringLiteral("[") + text + QStringLiteral("]"));
    }

    void replacedWholeLeavesRoomToType()
    {
        GapText text(QStringLiteral("template"));
        const QString page(1 << 20, QLatin1Char('p'));
        text.replace(0, text.size(), page);
        const std::size_t afterLoad = text.capacityBytes();
        for (int i = 0; i < 1000; ++i)
            text.replace(1 << 19, 0, QStringLiteral("k"));
        QCOMPARE(text.capacityBytes(), afterLoad); // typing after a load needs no new buffer
        QCOMPARE(text.size(), (1 << 20) + 1000);
    }
};

QTEST_MAIN(GapTextTest)
#include "tst_gaptext.moc"
