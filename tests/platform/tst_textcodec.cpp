#include "platform/TextCodec.h"

#include <QFile>
#include <QTest>

using namespace platform::text;

namespace {
QByteArray readData(const QString& name)
{
    QFile f(QStringLiteral(HALVANE_TEST_DATA "/") + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", qPrintable(name));
    return f.readAll();
}
} // namespace

Q_DECLARE_METATYPE(platform::text::PageEncoding)

class TextCodecTest : public QObject {
    Q_OBJECT
private slots:
    // Opening a page and saving it unchanged gives back the very same bytes.
    void goldenRoundTrip_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<PageEncoding>("expected");
        QTest::newRow("utf-8") << "utf8.htm" << PageEncoding{Encoding::Utf8, false};
        QTest::newRow("utf-8 bom") << "utf8-bom.htm" << PageEncoding{Encoding::Utf8, true};
        QTest::newRow("utf-16le bom") << "utf16le-bom.htm" << PageEncoding{Encoding::Utf16LE, true};
        QTest::newRow("windows-1252") << "cp1252.htm" << PageEncoding{Encoding::Windows1252, false};
    }
    void goldenRoundTrip()
    {
        QFETCH(QString, file);
        QFETCH(PageEncoding, expected);
        const QByteArray bytes = readData(file);
        const Decoded d = decode(bytes);
        QVERIFY(d.encoding == expected);
        QVERIFY(d.text.startsWith(QLatin1String("<HTML>\r\n")));
        PageEncoding used;
        QCOMPARE(encodePage(d.text, d.encoding, &used), bytes);
        QVERIFY(used == expected);
    }

    void windows1252Table()
    {
        QCOMPARE(fromWindows1252(0x80), QChar(0x20AC));
        QCOMPARE(fromWindows1252(0x9F), QChar(0x0178));
        QCOMPARE(fromWindows1252(0x92), QChar(0x2019));
        QCOMPARE(fromWindows1252(0xE9), QChar(0x00E9));
        // Every byte maps to a distinct character and back, the undefined five included.
        for (int b = 0; b < 256; ++b)
            QCOMPARE(toWindows1252(fromWindows1252(static_cast<unsigned char>(b)).unicode()), b);
        for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
            QCOMPARE(fromWindows1252(static_cast<unsigned char>(b)).unicode(), char16_t(b));
        QCOMPARE(toWindows1252(0x0080), -1); // a C1 control the code page puts elsewhere
        QCOMPARE(toWindows1252(0x0100), -1);
    }

    void detection_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<PageEncoding>("expected");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << PageEncoding{Encoding::Utf8, false} << QString();
        QTest::newRow("ascii") << QByteArray("<P>") << PageEncoding{Encoding::Utf8, false}
                               << QStringLiteral("<P>");
        QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9") << PageEncoding{Encoding::Utf8, false}
                               << QStringLiteral("caf\u00e9");
        QTest::newRow("latin byte") << QByteArray("caf\xE9") << PageEncoding{Encoding::Windows1252, false}
                                    << QStringLiteral("caf\u00e9");
        QTest::newRow("truncated sequence")
            << QByteArray("ab\xE2\x82") << PageEncoding{Encoding::Windows1252, false}
            << QStringLiteral("ab\u00e2\u201a");
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << PageEncoding{Encoding::Windows1252, false}
                                        << QStringLiteral("\u00c0\u00af");
        QTest::newRow("encoded surrogate")
            << QByteArray("\xED\xA0\x80") << PageEncoding{Encoding::Windows1252, false}
            << QStringLiteral("\u00ed\u00a0\u20ac");
        QTest::newRow("above U+10FFFF")
            << QByteArray("\xF4\x90\x80\x80") << PageEncoding{Encoding::Windows1252, false}
            << QStringLiteral("\u00f4\u0090\u20ac\u20ac");
        QTest::newRow("four-byte utf-8") << QByteArray("\xF0\x9F\x98\x80") << PageEncoding{Encoding::Utf8, false}
                                         << QStringLiteral("\U0001F600");
        QTest::newRow("utf-16be bom") << QByteArray("\xFE\xFF\x00<\x00\xE9", 6)
                                      << PageEncoding{Encoding::Utf16BE, true} << QStringLiteral("<\u00e9");
        // Bytes that are not what their mark claims: all of them, mark included, as
        // Windows-1252, so that saving gives every byte back.
        QTest::newRow("utf-16le odd length") << QByteArray("\xFF\xFE<\x00!", 5)
                                             << PageEncoding{Encoding::Windows1252, false}
                                             << QString::fromUtf16(u"\u00ff\u00fe<\0!", 5);
        QTest::newRow("nul bytes") << QByteArray("a\0b\0", 4) << PageEncoding{Encoding::Utf8, false}
                                   << QString::fromUtf16(u"a\0b\0", 4);
    }
    void detection()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(PageEncoding, expected);
        QFETCH(QString, text);
        const Decoded d = decode(bytes);
        QVERIFY(d.encoding == expected);
        QCOMPARE(d.text, text);
    }

    // Every byte string that is not UTF-8 survives reading and writing as Windows-1252.
    void binaryRoundTrip()
    {
        QByteArray all;
        for (int i = 0; i < 4; ++i)
            for (int b = 0; b < 256; ++b)
                all.append(static_cast<char>(b));
        const Decoded d = decode(all);
        QVERIFY(d.encoding.encoding == Encoding::Windows1252);
        QCOMPARE(d.text.size(), all.size());
        QCOMPARE(encode(d.text, d.encoding), all);
    }

    void saveFallsBackToUtf8()
    {
        const PageEncoding legacy{Encoding::Windows1252, false};
        // Representable: stays in the legacy code page.
        QCOMPARE(encodePage(QStringLiteral("\u20ac caf\u00e9"), legacy), QByteArray("\x80 caf\xE9"));
        // A character the code page lacks: the whole page goes out as UTF-8, nothing as '?'.
        PageEncoding used;
        const QByteArray bytes = encodePage(QStringLiteral("caf\u00e9 \u65e5"), legacy, &used);
        QVERIFY(used == newPageEncoding);
        QCOMPARE(bytes, QByteArray("caf\xC3\xA9 \xE6\x97\xA5"));
        QVERIFY(!bytes.contains('?'));
        // Unicode forms hold everything, keeping the byte-order mark.
        const PageEncoding bomUtf8{Encoding::Utf8, true};
        QCOMPARE(encodePage(QStringLiteral("\u65e5"), bomUtf8), QByteArray("\xEF\xBB\xBF\xE6\x97\xA5"));
        // A lone surrogate cannot be UTF-8: U+FFFD, still no '?'.
        QCOMPARE(encode(QString(QChar(0xD800)), newPageEncoding), QByteArray("\xEF\xBF\xBD"));
    }

    void lineBreaks_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("crlf kept") << "a\r\nb\r\n" << "a\r\nb\r\n";
        QTest::newRow("lf") << "a\nb\n" << "a\r\nb\r\n";
        QTest::newRow("lone cr") << "a\rb\r" << "a\r\nb\r\n";
        QTest::newRow("cr cr lf") << "a\r\r\nb" << "a\r\n\r\nb";
        QTest::newRow("lf cr") << "a\n\rb" << "a\r\n\r\nb";
    }
    void lineBreaks()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(withCrlfBreaks(in), out);
    }

    void hugeLine()
    {
        QByteArray line(8 * 1024 * 1024, 'x');
        line.append("\xE9"); // not UTF-8 at the very end
        const Decoded d = decode(line);
        QVERIFY(d.encoding.encoding == Encoding::Windows1252);
        QCOMPARE(d.text.size(), line.size());
        QCOMPARE(encodePage(d.text, d.encoding), line);
    }
};

QTEST_GUILESS_MAIN(TextCodecTest)
#include "tst_textcodec.moc"
