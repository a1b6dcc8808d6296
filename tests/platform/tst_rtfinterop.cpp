// Editing files against a real word processor: LibreOffice (when installed) must show our
// colours, and what it writes must open with its colours. Skipped where soffice is missing.
#include "platform/RtfCodec.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace rtf = platform::rtf;

namespace {

struct Coloured {
    QChar ch;
    QRgb colour;
    bool operator==(const Coloured& o) const { return ch == o.ch && (colour & 0xFFFFFF) == (o.colour & 0xFFFFFF); }
};

// Characters other than white space, each with its colour.
QList<Coloured> visible(const rtf::Runs& runs)
{
    QList<Coloured> out;
    for (const rtf::Run& r : runs)
        for (QChar c : r.text)
            if (!c.isSpace())
                out.append({c, r.colour});
    return out;
}

// The text of an HTML body with the colour of the <font color> element around each character.
rtf::Runs htmlRuns(const QString& html)
{
    rtf::Runs runs;
    QList<QRgb> colours{rtf::defaultColour};
    const qsizetype body = html.indexOf(QLatin1String("<body"));
    static const QRegularExpression token(QStringLiteral("<[^>]*>|[^<]+"));
    static const QRegularExpression colourAttr(QStringLiteral("color=\"#([0-9a-fA-F]{6})\""));
    auto it = token.globalMatch(html, std::max<qsizetype>(0, body));
    while (it.hasNext()) {
        const QString t = it.next().captured();
        if (t.startsWith(QLatin1String("<font"))) {
            const auto m = colourAttr.match(t);
            colours.append(m.hasMatch() ? (0xFF000000u | m.captured(1).toUInt(nullptr, 16)) : colours.last());
        } else if (t.startsWith(QLatin1String("</font"))) {
            if (colours.size() > 1)
                colours.removeLast();
        } else if (!t.startsWith(QLatin1Char('<'))) {
            QString text = t;
            text.replace(QLatin1String("&lt;"), QLatin1String("<"))
                .replace(QLatin1String("&gt;"), QLatin1String(">"))
                .replace(QLatin1String("&quot;"), QLatin1String("\""))
                .replace(QLatin1String("&amp;"), QLatin1String("&"));
            rtf::append(runs, text, colours.last());
        }
    }
    return runs;
}

} // namespace

class RtfInteropTest : public QObject {
    Q_OBJECT
    QString m_soffice;
    QTemporaryDir m_dir;

    QString convert(const QString& file, const QString& to, const QStringList& extra = {})
    {
        QProcess p;
        QStringList args{QStringLiteral("-env:UserInstallation=file://") + m_dir.path() + QStringLiteral("/profile"),
                         QStringLiteral("--headless")};
        args << extra << QStringLiteral("--convert-to") << to << QStringLiteral("--outdir")
             << m_dir.path() + QStringLiteral("/out") << file;
        p.start(m_soffice, args);
        if (!p.waitForFinished(120000))
            return {};
        const QString base = QFileInfo(file).completeBaseName();
        return m_dir.path() + QStringLiteral("/out/") + base + QLatin1Char('.') + to;
    }

private slots:
    void initTestCase()
    {
        m_soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        // CI installs LibreOffice (scripts/deps): there its absence is a failure, not a skip.
        if (m_soffice.isEmpty() && qEnvironmentVariableIsSet("CI"))
            QFAIL("LibreOffice (soffice) is not installed, and CI installs it");
        if (m_soffice.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QVERIFY(m_dir.isValid());
    }

    void wordProcessorShowsOurColours()
    {
        const rtf::Runs runs{
            {QStringLiteral("<HTML>\r\n<HEAD></HEAD>\r\n"), rtf::defaultColour},
            {QStringLiteral("<STRONG>"), qRgb(255, 0, 0)},
            {QStringLiteral("caf\u00e9 \u2014 {x} \\ \u65e5\u672c"), rtf::defaultColour},
            {QStringLiteral("</STRONG>"), qRgb(255, 0, 0)},
            {QStringLiteral("\r\n\t"), rtf::defaultColour},
            {QStringLiteral("<A HREF=\"x.htm\">"), qRgb(0, 255, 255)},
            {QStringLiteral("mail"), qRgb(100, 0, 190)},
            {QStringLiteral("<TABLE>"), qRgb(130, 130, 130)},
            {QStringLiteral("\r\n</HTML>\r\n"), rtf::defaultColour},
        };
        const QString file = m_dir.path() + QStringLiteral("/page.hted");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(rtf::write(runs));
        f.close();
        const QString html = convert(file, QStringLiteral("html"));
        QFile out(html);
        QVERIFY2(out.open(QIODevice::ReadOnly), qPrintable(html));
        const rtf::Runs shown = htmlRuns(QString::fromUtf8(out.readAll()));
        QCOMPARE(visible(shown).size(), visible(runs).size());
        QVERIFY(visible(shown) == visible(runs));
    }

    void wordProcessorRtfOpensWithItsColours()
    {
        // LibreOffice turns a coloured HTML page into RTF; we read back the same colours.
        const QString source = QStringLiteral(HALVANE_TEST_DATA "/libreoffice-colours.source.html");
        const QString written = convert(source, QStringLiteral("rtf"),
                                        {QStringLiteral("--infilter=HTML (StarWriter)")});
        QFile f(written);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(written));
        const rtf::Runs read = rtf::read(f.readAll());
        QFile html(source);
        QVERIFY(html.open(QIODevice::ReadOnly));
        const rtf::Runs expected = htmlRuns(QString::fromUtf8(html.readAll()));
        QVERIFY(!visible(expected).isEmpty());
        QVERIFY(visible(read) == visible(expected));
    }
};

QTEST_GUILESS_MAIN(RtfInteropTest)
#include "tst_rtfinterop.moc"
