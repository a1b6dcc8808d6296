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
        QCOMPARE(encodePage(d.text, d.encoding), bytes);
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
        // A UTF-8 mark on bytes that are not UTF-8: all of them, mark included, as
        // Windows-1252, so that saving gives every byte back.
        QTest::newRow("utf-8 bom, not utf-8") << QByteArray("\xEF\xBB\xBF" "caf\xE9")
                                              << PageEncoding{Encoding::Windows1252, false}
                                              << QStringLiteral("\u00ef\u00bb\u00bfcaf\u00e9");
        // UTF-16 cut short inside its last unit: the whole units, the stray byte kept aside.
        QTest::newRow("utf-16le odd length")
            << QByteArray("\xFF\xFE<\x00\r\x00\n\x00!", 9)
            << PageEncoding{Encoding::Utf16LE, true, LineEnd::CrLf, '!'} << QStringLiteral("<\r\n");
        QTest::newRow("utf-16be only a stray byte") << QByteArray("\xFE\xFF\x00", 3)
                                                    << PageEncoding{Encoding::Utf16BE, true, LineEnd::CrLf, 0}
                                                    << QString();
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
        QCOMPARE(encode(d.text, d.encoding), bytes);
    }

    // Where UTF-8 stops being valid, which made the page Windows-1252 (said to the user).
    void invalidUtf8IsLocated()
    {
        QCOMPARE(decode("<P>caf\xC3\xA9</P>").invalidUtf8At, -1);
        QCOMPARE(decode("<P>\xC3\xA9\r\n\xE9t\xC3\xA9").invalidUtf8At, 7);
        QCOMPARE(decode("ab\xE2\x82").invalidUtf8At, 2);
        QCOMPARE(decode("\xEF\xBB\xBF" "caf\xE9").invalidUtf8At, -1); // the mark's mismatch instead
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

    // A page keeps its encoding on saving: what Windows-1252 lacks is written as numeric
    // character references, nothing as '?', and the count is given for the user's note.
    void saveKeepsTheEncoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<PageEncoding>("encoding");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("references");
        const PageEncoding legacy{Encoding::Windows1252, false};
        QTest::newRow("held by the code page") << QStringLiteral("\u20ac caf\u00e9") << legacy
                                               << QByteArray("\x80 caf\xE9") << 0;
        QTest::newRow("arrow") << QStringLiteral("caf\u00e9 \u2192 \u65e5") << legacy
                               << QByteArray("caf\xE9 &#8594; &#26085;") << 2;
        QTest::newRow("surrogate pair is one character")
            << QStringLiteral("a\U0001F600b") << legacy << QByteArray("a&#128512;b") << 1;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << legacy
                                        << QByteArray("&#65533;") << 1;
        QTest::newRow("utf-8 holds everything") << QStringLiteral("\u2192") << PageEncoding{Encoding::Utf8, true}
                                                << QByteArray("\xEF\xBB\xBF\xE2\x86\x92") << 0;
        QTest::newRow("utf-8 lone surrogate") << QString(QChar(0xD800)) << newPageEncoding
                                              << QByteArray("\xEF\xBF\xBD") << 0;
    }
    void saveKeepsTheEncoding()
    {
        QFETCH(QString, text);
        QFETCH(PageEncoding, encoding);
        QFETCH(QByteArray, bytes);
        QFETCH(int, references);
        qsizetype written = -1;
        QCOMPARE(encode(text, encoding, &written), bytes);
        QCOMPARE(written, references);
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
