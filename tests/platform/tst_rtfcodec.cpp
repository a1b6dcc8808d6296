#include "platform/RtfCodec.h"
#include "platform/RtfWhole.h"

#include <QFile>
#include <QTest>

using platform::rtf::Run;
using platform::rtf::Runs;
namespace rtf = platform::rtf;

Q_DECLARE_METATYPE(platform::rtf::Runs)
Q_DECLARE_METATYPE(platform::rtf::Overflow)

namespace {
constexpr QRgb black = 0xFF000000;
constexpr QRgb red = 0xFFFF0000;
constexpr QRgb cyan = 0xFF00FFFF;

QString describe(const Runs& runs)
{
    QStringList parts;
    for (const Run& r : runs) {
        QString t = r.text;
        t.replace(QLatin1String("\r\n"), QLatin1String("\\r\\n"));
        parts << QStringLiteral("[%1,%2,%3]\"%4\"")
                     .arg(qRed(r.colour))
                     .arg(qGreen(r.colour))
                     .arg(qBlue(r.colour))
                     .arg(t);
    }
    return parts.join(QLatin1Char(' '));
}

#define COMPARE_RUNS(actual, expected)                                                             \
    QVERIFY2((actual) == (expected),                                                               \
             qPrintable(QStringLiteral("\n   got: ") + describe(actual) +                         \
                        QStringLiteral("\n  want: ") + describe(expected)))
} // namespace

class RtfCodecTest : public QObject {
    Q_OBJECT
private slots:
    void writerOutput()
    {
        const Runs runs{{QStringLiteral("<B>"), red}, {QStringLiteral("caf\u00e9 {x}\\\r\n\t"), black}};
        const QByteArray expected =
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans "
            "Serif;}}\r\n"
            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue0;}\r\n"
            "\\viewkind4\\uc1\\pard\\f0\\fs17 \\cf1 <B>\\cf2 caf\\u233\\'e9 \\{x\\}\\\\\\par\r\n"
            "\\tab }\r\n";
        QCOMPARE(rtf::write(runs), expected);
        QVERIFY(rtf::looksLikeRtf(expected));
        QVERIFY(!rtf::looksLikeRtf("<HTML>{\\rtf1"));
    }

    void roundTrip_data()
    {
        QTest::addColumn<Runs>("runs");
        QTest::newRow("empty") << Runs{};
        QTest::newRow("template-like")
            << Runs{{QStringLiteral("<HTML>\r\n<HEAD></HEAD>\r\n"), black},
                    {QStringLiteral("<STRONG>"), red},
                    {QStringLiteral("word"), black},
                    {QStringLiteral("</STRONG>\r\n"), red},
                    {QStringLiteral("  </BODY>\r\n</HTML>\r\n"), black}};
        QTest::newRow("specials") << Runs{{QStringLiteral("\\par {\\b} \\'41 \\u65? ;"), cyan}};
        QTest::newRow("breaks only") << Runs{{QStringLiteral("\r\n\r\n\r\n"), red}};
        QTest::newRow("digits after colour") << Runs{{QStringLiteral("1"), red}, {QStringLiteral("23"), cyan}};
        QTest::newRow("non-ascii")
            << Runs{{QStringLiteral("\u20ac \u00e9 \u0081 \u0100 \u65e5\u672c \U0001F600 \uffff"), black}};
        QTest::newRow("controls") << Runs{{QString::fromUtf16(u"a\0b\x01\x1f\x7f", 6), black}};
        Runs many;
        for (int i = 0; i < 300; ++i)
            many.push_back({QString::number(i), qRgb(i % 256, (i * 7) % 256, 255 - i % 256)});
        QTest::newRow("many colours") << many;
    }
    void roundTrip()
    {
        QFETCH(Runs, runs);
        const Runs back = rtf::read(rtf::write(runs));
        COMPARE_RUNS(back, runs);
    }

    // RTF as word processors write it.
    void reader_data()
    {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<Runs>("expected");
        const QByteArray table = "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}";
        QTest::newRow("unknown words and \\* destinations")
            << QByteArray("{\\rtf1\\ansi{\\*\\generator Foo 1.0;}{\\*\\unknowndest {nested} text}"
                          "\\widowctrl\\fooBar-12 Hello{\\info{\\title T}{\\author A}}\\par World}")
            << Runs{{QStringLiteral("Hello\r\nWorld"), black}};
        QTest::newRow("\\'hh is code page 1252")
            << QByteArray("{\\rtf1 caf\\'e9 \\'80\\'93\\'81\\'zz!}")
            << Runs{{QStringLiteral("caf\u00e9 \u20ac\u201c\u0081zz!"), black}};
        QTest::newRow("\\uN skips one fallback")
            << QByteArray("{\\rtf1 \\u233\\'e9 \\u8212? \\u-3913?x\\u26085 ?y}")
            << Runs{{QStringLiteral("\u00e9 \u2014 \uf0b7x\u65e5y"), black}};
        QTest::newRow("\\ucN")
            << QByteArray("{\\rtf1 {\\uc2\\u8212\\'97\\'97a}\\u8212\\'97b{\\uc0\\u8220 c}}")
            << Runs{{QStringLiteral("\u2014a\u2014b\u201cc"), black}};
        QTest::newRow("fallback ends with the group")
            << QByteArray("{\\rtf1 {\\uc3\\u8212}xyz}") << Runs{{QStringLiteral("\u2014xyz"), black}};
        QTest::newRow("surrogate pair") << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}")
                                        << Runs{{QStringLiteral("\U0001F600"), black}};
        QTest::newRow("lone surrogate") << QByteArray("{\\rtf1 a\\u-10179?b}")
                                        << Runs{{QStringLiteral("a\ufffdb"), black}};
        QTest::newRow("\\line \\tab \\par and raw line breaks are not text")
            << QByteArray("{\\rtf1 a\\line b\\tab c\r\n\\par\r\nd\\\ne}")
            << Runs{{QStringLiteral("a\r\nb\tc\r\nd\r\ne"), black}};
        QTest::newRow("colours, auto first entry")
            << QByteArray("{\\rtf1") + table + "\\cf2 red\\cf0 auto\\cf1 black\\cf9 none}"
            << Runs{{QStringLiteral("red"), red}, {QStringLiteral("autoblacknone"), black}};
        QTest::newRow("colours, no auto entry")
            << QByteArray("{\\rtf1{\\colortbl\\red255\\green0\\blue0;\\red0\\green255\\blue255;}\\cf0 r\\cf1 c}")
            << Runs{{QStringLiteral("r"), red}, {QStringLiteral("c"), cyan}};
        QTest::newRow("groups restore colour, \\plain resets it")
            << QByteArray("{\\rtf1") + table + "\\cf2 a{\\cf1 b{\\cf2 c}d}e\\pard f\\plain g}"
            << Runs{{QStringLiteral("a"), red}, {QStringLiteral("b"), black}, {QStringLiteral("c"), red},
                    {QStringLiteral("d"), black}, {QStringLiteral("ef"), red}, {QStringLiteral("g"), black}};
        QTest::newRow("\\chcbpat and \\highlight are ignored")
            << QByteArray("{\\rtf1") + table + "\\chcbpat1\\highlight2\\cf2 x}"
            << Runs{{QStringLiteral("x"), red}};
        QTest::newRow("field result kept, instruction skipped")
            << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}} after}")
            << Runs{{QStringLiteral("link after"), black}};
        QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v hidden}b\\v c\\v0 d}")
                                     << Runs{{QStringLiteral("abd"), black}};
        QTest::newRow("\\bin data skipped") << QByteArray("{\\rtf1 a\\bin3 {}\\b}")
                                            << Runs{{QStringLiteral("ab"), black}};
        QTest::newRow("pictures and list text skipped")
            << QByteArray("{\\rtf1{\\pict\\pngblip 89504e47}{\\listtext\\'b7\\tab}item}")
            << Runs{{QStringLiteral("item"), black}};
        QTest::newRow("escaped symbols") << QByteArray("{\\rtf1 \\{\\}\\\\\\~\\-\\_}")
                                         << Runs{{QStringLiteral("{}\\\u00a0-"), black}};
    }
    void reader()
    {
        QFETCH(QByteArray, in);
        QFETCH(Runs, expected);
        COMPARE_RUNS(rtf::read(in), expected);
    }

    // Nothing in the input can crash the reader, make it hang or make it allocate without bound.
    void malformed_data()
    {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("lone backslash") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
        QTest::newRow("cut \\'") << QByteArray("{\\rtf1 a\\'4") << QStringLiteral("a4");
        QTest::newRow("unbalanced closing") << QByteArray("}}}{\\rtf1 a}}}b") << QStringLiteral("ab");
        QTest::newRow("never closed") << QByteArray("{\\rtf1{{{a") << QStringLiteral("a");
        QTest::newRow("absurd \\bin") << QByteArray("{\\rtf1 a\\bin99999999999999999999 b}")
                                      << QStringLiteral("a");
        QTest::newRow("negative \\bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << QStringLiteral("ab");
        QTest::newRow("absurd \\uc") << QByteArray("{\\rtf1 \\uc2147483647\\u65 bcd}")
                                     << QStringLiteral("A");
        // Numbers saturate at the 32-bit range; \\u keeps the low 16 bits and skips "x".
        QTest::newRow("absurd parameters")
            << QByteArray("{\\rtf1 \\cf-2147483649\\u-99999999999 x\\cf99999999999 y}")
            << QString(QChar(0x0001)) + QLatin1String("y");
        QTest::newRow("long control word")
            << QByteArray("{\\rtf1 \\") + QByteArray(100000, 'a') + " z}" << QStringLiteral("z");
        QTest::newRow("colour table never closed")
            << QByteArray("{\\rtf1{\\colortbl;\\red255;") + QByteArray(100000, ';') << QString();
    }
    void malformed()
    {
        QFETCH(QByteArray, in);
        QFETCH(QString, text);
        QCOMPARE(rtf::plainText(rtf::read(in)), text);
    }

    void deepNesting()
    {
        // Far deeper than the limit: read flat, without recursion (the time it takes is a
        // benchmark figure).
        const int depth = 2'000'000;
        QByteArray in = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 ";
        in += QByteArray(depth, '{') + "deep" + QByteArray(depth, '}') + "after}";
        const Runs runs = rtf::read(in);
        COMPARE_RUNS(runs, (Runs{{QStringLiteral("deepafter"), red}}));
    }

    // A page larger than the editor is given: reading stops at the limit it passes.
    void pageLimits_data()
    {
        QTest::addColumn<QByteArray>("unit");
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<rtf::Overflow>("overflow");
        const int runPairs = int(rtf::maxRuns / 2);
        const int lines = int(rtf::maxLines);
        QTest::newRow("runs at the limit") << QByteArray("\\cf1 a\\cf2 b") << runPairs << QByteArray()
                                           << rtf::Overflow::None;
        QTest::newRow("one run more") << QByteArray("\\cf1 a\\cf2 b") << runPairs
                                      << QByteArray("\\cf1 c") << rtf::Overflow::Runs;
        QTest::newRow("lines at the limit") << QByteArray("\\par ") << lines << QByteArray("{\\*\\x \\par}")
                                            << rtf::Overflow::None;
        QTest::newRow("one line more") << QByteArray("\\par ") << lines << QByteArray("\\line ")
                                       << rtf::Overflow::Lines;
    }
    void pageLimits()
    {
        QFETCH(QByteArray, unit);
        QFETCH(int, count);
        QFETCH(QByteArray, tail);
        QFETCH(rtf::Overflow, overflow);
        const QByteArray in = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}" +
                              unit.repeated(count) + tail + "}";
        rtf::Overflow stopped = rtf::Overflow::Characters;
        const Runs runs = rtf::read(in, &stopped);
        QCOMPARE(stopped, overflow);
        QVERIFY(runs.size() <= rtf::maxRuns + 1);
    }

    // A page is written as an editing file only when Open reads it back whole: overflowOf()
    // says beforehand what read() stops at. The program's own copies are read whole.
    void limitsOfWrittenPages_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("alternate"); // each unit a run of its own, red and blue in turn
        QTest::addColumn<QString>("tail");
        QTest::addColumn<rtf::Overflow>("overflow");
        const int runs = int(rtf::maxRuns), lines = int(rtf::maxLines);
        const int characters = int(rtf::maxCharacters);
        QTest::newRow("runs at the limit") << "a" << runs << true << "" << rtf::Overflow::None;
        QTest::newRow("one run more") << "a" << runs + 1 << true << "" << rtf::Overflow::Runs;
        QTest::newRow("lines at the limit") << "\r\n" << lines << false << "" << rtf::Overflow::None;
        QTest::newRow("one line more") << "\r\n" << lines << false << "\r\n" << rtf::Overflow::Lines;
        QTest::newRow("a lone LF is a line") << "\r\n" << lines << false << "\n" << rtf::Overflow::Lines;
        QTest::newRow("a lone CR counts two") << "x" << characters - 1 << false << "\r"
                                             << rtf::Overflow::Characters;
    }
    void limitsOfWrittenPages()
    {
        QFETCH(QString, unit);
        QFETCH(int, count);
        QFETCH(bool, alternate);
        QFETCH(QString, tail);
        QFETCH(rtf::Overflow, overflow);
        Runs runs;
        if (alternate)
            for (int i = 0; i < count; ++i)
                runs.push_back({unit, i % 2 ? qRgb(0, 0, 255) : red});
        else
            runs.push_back({unit.repeated(count), red});
        rtf::append(runs, tail, black);
        QCOMPARE(rtf::overflowOf(runs), overflow);
        const QByteArray file = rtf::write(runs);
        rtf::Overflow stopped = rtf::Overflow::None;
        rtf::read(file, &stopped);
        QCOMPARE(stopped, overflow);
        Runs whole;
        QVERIFY(rtf::readWhole(file, &whole));
        QCOMPARE(rtf::overflowOf(whole), overflow);
        QCOMPARE(whole.size(), runs.size());
    }

    void copyCutShortIsNoWholePage()
    {
        Runs runs;
        QVERIFY(!rtf::readWhole("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 <B>cut", &runs));
        COMPARE_RUNS(runs, (Runs{{QStringLiteral("<B>cut"), red}}));
    }

    void outputNeverExceedsInput()
    {
        QByteArray in = "{\\rtf1 ";
        for (int i = 0; i < 20000; ++i)
            in += "\\par\\u1\\tab\\emdash\\~\\\n";
        const Runs runs = rtf::read(in);
        QVERIFY(rtf::plainText(runs).size() <= in.size());
    }

    void libreOfficeOutput()
    {
        QFile f(QStringLiteral(HALVANE_TEST_DATA "/libreoffice-colours.rtf"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const Runs runs = rtf::read(f.readAll());
        const QRgb grey = qRgb(130, 130, 130);
        const QRgb violet = qRgb(100, 0, 190);
        const Runs expected{
            {QStringLiteral("<HTML>"), red},
            {QStringLiteral("\r\n"), black},
            {QStringLiteral("<STRONG>"), red},
            {QStringLiteral("Caf\u00e9 \u2014 \u201cquoted\u201d"), black},
            {QStringLiteral("</STRONG>"), red},
            {QStringLiteral("\r\n"), black},
            {QStringLiteral("<A HREF=\"x.htm\">"), cyan},
            {QStringLiteral("link"), black},
            {QStringLiteral("</A>"), cyan},
            {QStringLiteral(" "), black},
            {QStringLiteral("mail"), violet},
            {QStringLiteral(" "), black},
            {QStringLiteral("table"), grey},
            {QStringLiteral(" \u65e5\u672c\r\nplain black\r\n"), black},
        };
        COMPARE_RUNS(runs, expected);
    }
};

QTEST_GUILESS_MAIN(RtfCodecTest)
#include "tst_rtfcodec.moc"
