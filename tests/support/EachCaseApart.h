#pragma once

// A QtTest main that runs every test function, and every data row of one, in a process of
// its own. For tests that set up a desktop of their own (FakeDesktop): GLib reads the XDG
// folders once per process and GIO keeps what it read from them until a file monitor tells
// it otherwise, some time later; a fresh process per case sees exactly the case's set-up.
// With arguments (a function name, -o, -v2 ...) the executable runs as QtTest normally does.

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <cstdio>

namespace testkit {

// How long one case may run in its process of its own.
inline constexpr int caseDeadlineMs = 120000;

inline int runEachCaseApart(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    QProcess list;
    list.start(self, {QStringLiteral("-datatags")});
    if (!list.waitForFinished(60000) || list.exitCode() != 0) {
        std::fprintf(stderr, "could not list the test cases of %s\n", qPrintable(self));
        return 1;
    }
    // Lines "Class function" or "Class function tag" (the tag may hold spaces).
    QStringList cases;
    for (const QString& line : QString::fromUtf8(list.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
        const QStringList words = line.split(' ');
        if (words.size() < 2)
            continue;
        cases << (words.size() == 2 ? words[1] : words[1] + ':' + words.mid(2).join(' '));
    }
    int failed = 0;
    for (const QString& c : std::as_const(cases)) {
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(self, {c});
        // A case that hangs fails on its own instead of holding the whole run until ctest's
        // timeout ends it without saying which case hung.
        const bool ended = run.waitForFinished(caseDeadlineMs);
        if (!ended) {
            run.kill();
            run.waitForFinished(5000);
        }
        const bool passed = ended && run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
        if (!passed) {
            ++failed;
            std::fprintf(stderr, "FAILED in a process of its own%s: %s\n",
                         ended ? "" : " (no end within the case's deadline)", qPrintable(c));
        }
    }
    std::printf("%lld cases, each in a process of its own: %d failed\n",
                static_cast<long long>(cases.size()), failed);
    return cases.isEmpty() || failed ? 1 : 0;
}

} // namespace testkit

#define HALVANE_TEST_MAIN_EACH_CASE_APART(TestObject, Application)                                    \
    int main(int argc, char** argv)                                                                 \
    {                                                                                               \
        if (argc == 1)                                                                              \
            return testkit::runEachCaseApart(argc, argv);                                           \
        Application app(argc, argv);                                                                \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                    \
        TestObject tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                  \
        return QTest::qExec(&tc, argc, argv);                                                       \
    }
