#include "editing/SearchPattern.h"

#include <QTest>

using editing::Match;
using editing::SearchOptions;
using editing::SearchPattern;

Q_DECLARE_METATYPE(SearchOptions)

namespace {
const SearchOptions plain{};
const SearchOptions matchCase{true, false, false};
const SearchOptions whole{false, true, false};
const SearchOptions regex{false, false, true};
const SearchOptions regexCase{true, false, true};
const SearchOptions regexWhole{false, true, true};
} // namespace

class SearchPatternTest : public QObject {
    Q_OBJECT
private slots:
    void next_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<SearchOptions>("options");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::newRow("any case") << "Hello hello" << "hello" << plain << 0 << 0 << 5;
        QTest::newRow("match case") << "Hello hello" << "hello" << matchCase << 0 << 6 << 5;
        QTest::newRow("from inside a match") << "abc abc" << "abc" << plain << 1 << 4 << 3;
        QTest::newRow("from at the end") << "abc" << "abc" << plain << 3 << -1 << 0;
        QTest::newRow("whole word passes over word parts")
            << "cat concat cat_x cat" << "cat" << whole << 1 << 17 << 3;
        QTest::newRow("digit is part of a word") << "a1 a" << "a" << whole << 0 << 3 << 1;
        QTest::newRow("not there") << "abc" << "zz" << plain << 0 << -1 << 0;
        QTest::newRow("regex") << "x id=42; id=7" << "id=\\d+" << regex << 0 << 2 << 5;
        QTest::newRow("regex any case") << "ABC" << "b" << regex << 0 << 1 << 1;
        QTest::newRow("regex match case") << "ABC" << "b" << regexCase << 0 << -1 << 0;
        QTest::newRow("regex whole word") << "x12 12" << "\\d+" << regexWhole << 0 << 4 << 2;
        QTest::newRow("regex letters beyond ASCII") << "- étés" << "\\w+" << regex << 0 << 2 << 4;
    }
    void next()
    {
        QFETCH(QString, line);
        QFETCH(QString, text);
        QFETCH(SearchOptions, options);
        QFETCH(int, from);
        const Match m = SearchPattern(text, options).next(line, from);
        QTEST(static_cast<int>(m.start), "start");
        if (m.found())
            QTEST(static_cast<int>(m.length), "length");
    }

    void previous_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<SearchOptions>("options");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("start");
        QTest::newRow("last before") << "abc abc abc" << "abc" << plain << 8 << 4;
        QTest::newRow("one further back") << "abc abc abc" << "abc" << plain << 4 << 0;
        QTest::newRow("at the start") << "abc abc abc" << "abc" << plain << 0 << -1;
        QTest::newRow("whole word") << "cat concat" << "cat" << whole << 10 << 0;
        QTest::newRow("regex") << "a1 a22 a3" << "a\\d+" << regex << 9 << 7;
        QTest::newRow("regex further back") << "a1 a22 a3" << "a\\d+" << regex << 7 << 3;
    }
    void previous()
    {
        QFETCH(QString, line);
        QFETCH(QString, text);
        QFETCH(SearchOptions, options);
        QFETCH(int, before);
        QTEST(static_cast<int>(SearchPattern(text, options).previous(line, before).start), "start");
    }

    void replacement_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<SearchOptions>("options");
        QTest::addColumn<QString>("with");
        QTest::addColumn<QString>("expected");
        QTest::newRow("groups") << "(\\w+)@(\\w+)" << regex << "\\2 at \\1 (\\0)" << "host at me (me@host)";
        QTest::newRow("backslash, missing group, other escapes")
            << "(\\w+)@" << regex << "\\\\1 \\9\\x\\" << "\\1 \\x\\";
        QTest::newRow("plain text keeps backslashes") << "me@host" << plain << "\\1" << "\\1";
    }
    void replacement()
    {
        QFETCH(QString, text);
        QFETCH(SearchOptions, options);
        QFETCH(QString, with);
        const SearchPattern p(text, options);
        const QString line = QStringLiteral("me@host");
        QTEST(p.replacement(with, p.next(line, 0)), "expected");
    }

    void unusablePatterns()
    {
        const SearchPattern broken(QStringLiteral("a(b"), regex);
        QVERIFY(!broken.isValid());
        QVERIFY(broken.errorText().contains(QLatin1String("at character")));
        QVERIFY(!broken.next(QStringLiteral("a(b"), 0).found());
        QVERIFY(!SearchPattern(QString(), plain).usable());
        QCOMPARE(SearchPattern(QStringLiteral("a(b"), plain).next(QStringLiteral("x a(b"), 0).start, 2);
    }

    // Empty matches are each visited once and the search still moves on.
    void everyMatchOfALine()
    {
        QList<std::pair<qsizetype, qsizetype>> seen;
        SearchPattern(QStringLiteral("x*"), regex).forEach(QStringLiteral("axxb"), [&](const Match& m) {
            seen.append({m.start, m.length});
        });
        const QList<std::pair<qsizetype, qsizetype>> expected{{0, 0}, {1, 2}, {3, 0}, {4, 0}};
        QCOMPARE(seen, expected);
    }
};

QTEST_APPLESS_MAIN(SearchPatternTest)
#include "tst_searchpattern.moc"
