#include "site/FindInFiles.h"

#include "platform/FileIo.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace site;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class tst_FindInFiles : public QObject {
    Q_OBJECT
private slots:
    void options_data();
    void options();
    void streamsMatchesOfPatternFiles();
    void replaceKeepsLatin1BytesAndUndoes();
    void writerGoesOnPastAFailureAndStopsWithWrittenFilesUndoable();
};

void tst_FindInFiles::options_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<bool>("word");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("found"); // line:column of each match
    // "cat Cat concat\r\ncat.x\ncat"
    QTest::newRow("plain") << "cat" << false << false << false << "1:1 1:5 1:12 2:1 3:1";
    QTest::newRow("case") << "Cat" << false << false << true << "1:5";
    QTest::newRow("word") << "cat" << false << true << false << "1:1 1:5 2:1 3:1";
    QTest::newRow("dot literal") << "t.x" << false << false << false << "2:3";
    QTest::newRow("regex") << "c.t\\b" << true << false << true << "1:1 1:12 2:1 3:1";
    // Each line has its start and end, whatever its break; '.' takes no part of a CR LF.
    QTest::newRow("line starts") << "^cat" << true << false << true << "1:1 2:1 3:1";
    QTest::newRow("line ends") << "cat$" << true << false << true << "1:12 3:1";
    QTest::newRow("dot before CR LF") << "concat." << true << false << true << "";
}

void tst_FindInFiles::options()
{
    QFETCH(QString, text);
    QFETCH(bool, regex);
    QFETCH(bool, word);
    QFETCH(bool, matchCase);
    QFETCH(QString, found);
    FindQuery q{text, regex, word, matchCase};
    // The expression engine and the plain-text matcher agree.
    for (const QList<Match>& matches : {findInText(u"cat Cat concat\r\ncat.x\ncat", q.expression()),
                                        findInText(u"cat Cat concat\r\ncat.x\ncat", q)}) {
        QStringList got;
        for (const Match& m : matches)
            got << QStringLiteral("%1:%2").arg(m.line).arg(m.column);
        QCOMPARE(got.join(' '), found);
    }
}

void tst_FindInFiles::streamsMatchesOfPatternFiles()
{
    QTemporaryDir tmp;
    put(tmp.filePath("a.html"), "<p>rose</p>\n<p>Rose</p>\n");
    put(tmp.filePath("sub/b.css"), "/* rose */\n");
    put(tmp.filePath("notes.txt"), "rose\n");          // not among the patterns
    put(tmp.filePath(".git/c.html"), "rose\n");        // hidden
    // Decoded as the editor opens them: UTF-8 (a rose of two UTF-16 units) and Latin-1.
    put(tmp.filePath("c.htm"), "\xf0\x9f\x8c\xb9 rose\n");
    put(tmp.filePath("d.htm"), "caf\xe9 rose\n");
    FindInFilesRun run;
    QSignalSpy found(&run, &FindInFilesRun::found);
    QSignalSpy finished(&run, &FindInFilesRun::finished);
    QVERIFY(run.start(tmp.path(), {"rose"}));
    QVERIFY(finished.wait());
    QCOMPARE(finished.at(0).at(0).toInt(), 4);
    QCOMPARE(finished.at(0).at(1).toInt(), 5);
    QStringList files, lines;
    for (const auto& args : found)
        for (const Match& m : args.at(0).value<FileMatches>().matches) {
            files << args.at(0).value<FileMatches>().path;
            lines << QStringLiteral("%1:%2 %3").arg(m.line).arg(m.column).arg(m.lineText);
        }
    QCOMPARE(files, (QStringList{"a.html", "a.html", "c.htm", "d.htm", "sub/b.css"}));
    QCOMPARE(lines, (QStringList{"1:4 <p>rose</p>", "2:4 <p>Rose</p>", QString::fromUtf8("1:4 \xf0\x9f\x8c\xb9 rose"),
                                 QString::fromUtf8("1:6 caf\xc3\xa9 rose"), "1:4 /* rose */"}));
    QString reason;
    QVERIFY(!run.start(tmp.path(), {"(", true}, &reason));
    QVERIFY(reason.contains("not valid"));
}

void tst_FindInFiles::replaceKeepsLatin1BytesAndUndoes()
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath("page.htm");
    // Windows-1252/Latin-1 bytes (not UTF-8), LF line ends, a trailing space kept.
    const QByteArray original = "<p>Caf\xe9 cr\xe8" "me</p>\n<p>cr\xe8" "me br\xfbl\xe9" "e </p>\n";
    put(path, original);
    FileEdit edit;
    QString reason;
    QVERIFY2(replaceInFile(path, {QString::fromUtf8("crème"), false, true, true},
                           QString::fromUtf8("crêpe"), &edit, &reason), qPrintable(reason));
    QCOMPARE(edit.count, 2);
    QCOMPARE(readAll(path), QByteArray("<p>Caf\xe9 cr\xea" "pe</p>\n<p>cr\xea" "pe br\xfbl\xe9" "e </p>\n"));
    QStringList refused;
    QVERIFY(undoReplace({edit}, &refused).isEmpty());
    QVERIFY(refused.isEmpty());
    QCOMPARE(readAll(path), original);

    // Changed since the replacement: left alone and listed.
    QVERIFY(replaceInFile(path, {"Caf"}, "Bar", &edit, &reason));
    put(path, "edited by hand\n");
    QVERIFY(undoReplace({edit}, &refused).isEmpty());
    QCOMPARE(refused, QStringList{path});
    QCOMPARE(readAll(path), QByteArray("edited by hand\n"));
}

// Four pages replaced in on the writer's thread: the second cannot be written (a full disk),
// Stop comes while the third is written. The third is finished and kept, the fourth is not
// touched, the second is whole; undoing restores exactly the two written.
void tst_FindInFiles::writerGoesOnPastAFailureAndStopsWithWrittenFilesUndoable()
{
    QTemporaryDir tmp;
    const QStringList names{"a.html", "b.html", "c.html", "d.html"};
    for (const QString& n : names)
        put(tmp.filePath(n), "<p>rose</p>\n");
    FileWriteRun run;
    platform::files::setWriteFault([&run](const QString& path) {
        if (path.endsWith("c.html"))
            run.stop(); // from the writer's thread, as a click would land meanwhile
        return path.endsWith("b.html") ? QString("No space left on device") : QString();
    });
    QSignalSpy finished(&run, &FileWriteRun::finished);
    run.replace(tmp.path(), names, {"rose"}, "tulip");
    QVERIFY(finished.wait());
    platform::files::setWriteFault({});
    const auto outcome = finished.at(0).at(0).value<WriteOutcome>();
    QVERIFY(outcome.stopped);
    QCOMPARE(outcome.done, 3);
    QCOMPARE(outcome.edits.size(), 2);
    QCOMPARE(outcome.failures.size(), 1);
    QVERIFY2(outcome.failures.at(0).startsWith("b.html: "), qPrintable(outcome.failures.at(0)));
    QStringList now;
    for (const QString& n : names)
        now << readAll(tmp.filePath(n));
    QCOMPARE(now, (QStringList{"<p>tulip</p>\n", "<p>rose</p>\n", "<p>tulip</p>\n", "<p>rose</p>\n"}));

    run.undo(outcome.edits);
    QVERIFY(finished.wait());
    const auto undone = finished.at(1).at(0).value<WriteOutcome>();
    QVERIFY(!undone.stopped && undone.edits.isEmpty() && undone.failures.isEmpty());
    for (const QString& n : names)
        QCOMPARE(readAll(tmp.filePath(n)), QByteArray("<p>rose</p>\n"));

    // Ended while it writes (the program closing): the file being written is finished, the
    // thread ends, every file is whole.
    {
        FileWriteRun closing;
        closing.replace(tmp.path(), names, {"rose"}, "tulip");
    }
    for (const QString& n : names)
        QVERIFY(QList<QByteArray>({"<p>rose</p>\n", "<p>tulip</p>\n"}).contains(readAll(tmp.filePath(n))));
}

QTEST_GUILESS_MAIN(tst_FindInFiles)
#include "tst_findinfiles.moc"
