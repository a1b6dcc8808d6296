#include "spelling/Check.h"

#include <QTemporaryDir>
#include <QTest>

using namespace spelling;

// Checked against the en_US dictionary of the system (hunspell-en-us), with the personal word
// lists in a folder of the test's own.
class TestSpelling : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

    static QString flagged(const QString& page, QSet<QString>* missing = nullptr,
                           Options options = {}) {
        QStringList words;
        for (const Word& w :
             misspelt(pageWords(page, options), Dictionaries::shared(), "en-US", missing))
            words << w.text;
        return words.join(u' ');
    }

  private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        QVERIFY2(!Dictionaries::shared().dictionaryFor("en").isEmpty(), "hunspell-en-us missing");
    }

    void flaggedWords_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("flagged");
        QTest::newRow("text, not tag or attribute names")
            << "<p clas=\"wrnog\" tiltle=x>Helo world</p><wrnog>"
            << "Helo";
        QTest::newRow("alt and title, not src or href")
            << "<img src=\"phto.png\" alt='A speling error' title=Anothr><a href=teh.htm>fine</a>"
            << "speling Anothr";
        QTest::newRow("script, style, code, pre, kbd, samp skipped")
            << "<script>var wrnog = 'Helo';</script><style>.zzq { colr: red }</style>"
               "<code>fooo</code><pre>barr\n<b>bazz</b>\n</pre><kbd>Ctlr</kbd><samp>Eror</"
               "samp>Realy"
            << "Realy";
        QTest::newRow("references decoded inside a word")
            << "<p>caf&eacute; wor&#100;s &lt;wrod&gt; r&#xe9;</p>"
            << QString::fromUtf8("café wrod ré");
        QTest::newRow("addresses, digits and comments left alone")
            << "Visit http://exmaple.com/pgae or www.exmaple.org, mail jon@exmaple.org; 3rd abc123 "
               "<!-- wrnog -->"
            << "";
        QTest::newRow("meta description, button values")
            << "<meta content=\"Gret pages\" name=description><meta name=author content=\"Jhon\">"
               "<input type=submit value=\"Sendd\"><input type=text value=\"Typd\"><button "
               "value=Clik>"
            << "Gret Sendd Clik";
        QTest::newRow("words run across lines and break at tags")
            << "<p title=\"first\nsecnd\">one<br>twoo\nthre</p>"
            << "secnd twoo thre";
        QTest::newRow("apostrophes") << "don't don\u2019t 'quoted' it'z"
                                     << "it'z";
    }
    void flaggedWords() {
        QFETCH(QString, page);
        QFETCH(QString, flagged);
        QCOMPARE(TestSpelling::flagged(page), flagged);
    }

    void nestingIsFollowedAsDeepAsBrowsersBuild() {
        // Every piece copies the context: 200,000 unclosed <div>s once kept the checker busy
        // for minutes.
        Scanner scanner;
        std::vector<Word> words;
        scanner.scan(QStringLiteral("<div>").repeated(2000) + "Helo", 0, true, words);
        scanner.finish(words);
        QCOMPARE(scanner.context.open.size(), Context::deepest);
        QCOMPARE(words.back().text, QStringLiteral("Helo"));

        // Nor does it carry the text read so far: a page of prose without tags took the
        // checker's memory to the whole machine's. A quote left open is held up to a bound.
        Scanner prose;
        for (int line = 0; line <= 1000; ++line) // odd lines end, even ones go on
            prose.scan(u"many words and no tags in betw", line, line % 2, words);
        QCOMPARE(prose.context.current.text, QStringLiteral("betw"));
        QCOMPARE(std::count_if(words.begin(), words.end(),
                               [](const Word& w) { return w.text == u"betwmany"; }),
                 500);
        prose.scan(QStringLiteral("<img alt=\"") + QString(70000, u'x'), 1001, false, words);
        QCOMPARE(prose.context.values.back().text.size(), Context::longestValue);
    }

    void languageWithoutDictionary() {
        // The words of a language with no dictionary are not underlined; the language is said.
        QSet<QString> missing;
        QCOMPARE(flagged("<html lang=\"xx-YY\"><p>Das ist gutt <span lang=en>mispelled</span></p>"
                         "<p lang=\"\">Helo</p></html><p>Realy</p>",
                         &missing),
                 "mispelled Helo Realy");
        QCOMPARE(missing, QSet<QString>{"xx-yy"});
    }

    void options() {
        QCOMPARE(flagged("ZZQX <!-- wrnog -->"), "ZZQX");
        QCOMPARE(flagged("ZZQX <!-- wrnog --> Helo", nullptr, {true, true}), "wrnog Helo");
    }

    void positionsAcrossPieces() {
        // A long line held as display blocks: a word may go on in the next block.
        Scanner scanner;
        std::vector<Word> words;
        scanner.scan(u"<b title=\"Hel", 0, false, words);
        scanner.scan(u"lo\">caf", 1, false, words);
        scanner.scan(u"&eacute;</b>", 2, true, words);
        scanner.finish(words);
        QCOMPARE(words.size(), size_t(2));
        QCOMPARE(words[0], (Word{0, 10, 1, 2, "Hello", ""}));
        QCOMPARE(words[1], (Word{1, 4, 2, 8, QString::fromUtf8("café"), ""}));
    }

    void suggestionsAndWordLists() {
        Dictionaries& d = Dictionaries::shared();
        const QString en = d.dictionaryFor("en");
        const QStringList offered = d.suggestions("speling", en);
        QVERIFY(offered.contains("spelling"));
        QVERIFY(offered.size() <= 8);

        QVERIFY(!d.isCorrect("Halvanic", en));
        d.ignoreAll("Halvanic");
        QVERIFY(d.isCorrect("Halvanic", en));
        d.addToPersonal("Qwertyish", en);
        Dictionaries later; // a new session reads the personal list again
        QVERIFY(later.isCorrect("Qwertyish", en));
        QVERIFY(!later.isCorrect("Halvanic", en));
        QVERIFY(d.firstReportOfMissing("xx"));
        QVERIFY(!d.firstReportOfMissing("xx"));
    }
};

QTEST_GUILESS_MAIN(TestSpelling)
#include "tst_spelling.moc"
