// Benchmarks of the markup check and the live preview.
//
// Usage: halvane_bench_review markup|preview
//   markup   the check's worker time on 1 and 10 MiB pages, the tidy command line on the same
//            10 MiB file (its floor), and the longest stretch the interface thread is kept
//            from its events while a check runs;
//   preview  on a 1 MiB page, from a text change (the pause over) to the preview showing it:
//            a word typed into a paragraph (changed in place) and a changed title (a whole
//            load), beside the floor of a whole load: the same page shown once by a renderer
//            started for it in a process of its own, taken between the whole loads; the
//            outline following the caret; and the memory of the program and of the
//            renderer's processes with the preview open.

#include "Pages.h"
#include "Probe.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "review/MarkupCheck.h"
#include "review/MarkupPanel.h"
#include "review/PreviewDock.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QMainWindow>
#include <QMdiArea>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr qsizetype MiB = 1024 * 1024;

// A hand-written page of about `chars` characters: sections of everyday markup, old-style
// tags included, each with one unknown element; every element is closed, as on most pages.
// (The editor benchmarks' pages leave elements open at random, which makes tidy itself take
// time that grows with the square of the page: see the report of the markup scenario.)
QString sitePage(qsizetype chars, bool moving = true)
{
    QString page = QStringLiteral("<HTML>\r\n<HEAD><TITLE>Garden</TITLE></HEAD>\r\n<BODY>\r\n");
    for (int n = 0; page.size() < chars - 40; ++n)
        page += QStringLiteral(
                    "<CENTER><IMG SRC=\"img/banner.png\" ALT=\"banner\"></CENTER>\r\n"
                    "<H1>Welcome to my garden, part %1</H1>\r\n"
                    "<FONT COLOR=\"#008000\" SIZE=4>Everything here is hand-written.</FONT>\r\n"
                    "%2"
                    "<P>The <B>roses are <I>in bloom</I></B> and the <GARDEN>beans</GARDEN> are up.\r\n"
                    "<TABLE BORDER=1>\r\n<TR><TD>Roses<TD>12</TR>\r\n<TR><TD>Beans<TD>40</TR>\r\n</TABLE>\r\n"
                    "<P><A HREF=\"http://example.com/seeds\">Where I buy seeds</A>\r\n")
                    .arg(n)
                    .arg(moving ? QStringLiteral("<MARQUEE>Fresh tomatoes this week!</MARQUEE>\r\n")
                                : QStringLiteral("<P>Fresh tomatoes this week!</P>\r\n"));
    return page + QStringLiteral("</BODY>\r\n</HTML>\r\n");
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// CPU time of the check itself, as the worker thread spends it.
double checkMs(const QString& text, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        probe::Stopwatch clock;
        const review::CheckResult r = review::checkMarkup(text);
        times.push_back(clock.ms());
        if (r.errors + r.warnings == 0) {
            std::fprintf(stderr, "bench: the check found nothing on a page made to have findings\n");
            std::exit(1);
        }
    }
    return median(times);
}

double childrenCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// `text` as page.htm in `dir`, in UTF-8; the bench ends when it cannot be written.
QString writtenPage(const QTemporaryDir& dir, const QString& text)
{
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "bench: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    return path;
}

// CPU time of `tidy -q -e` (messages only, as the check) on the same text as a file, with the
// check's own options: as many errors shown as the check keeps, no notes, tabs one column.
double tidyCommandMs(const QString& text, int runs)
{
    QTemporaryDir dir;
    const QString path = writtenPage(dir, text);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double before = childrenCpuMs();
        QProcess tidy;
        tidy.setProcessChannelMode(QProcess::ForwardedOutputChannel); // the messages: discarded below
        tidy.setStandardErrorFile(QProcess::nullDevice());
        tidy.setStandardOutputFile(QProcess::nullDevice());
        tidy.start(QStringLiteral("tidy"),
                   {QStringLiteral("-q"), QStringLiteral("-e"), QStringLiteral("-utf8"), QStringLiteral("--show-errors"),
                    QString::number(review::maxFindings), QStringLiteral("--show-info"), QStringLiteral("no"),
                    QStringLiteral("--tab-size"), QStringLiteral("1"), path});
        if (!tidy.waitForFinished(-1) || tidy.exitStatus() != QProcess::NormalExit) {
            std::fprintf(stderr, "bench: the tidy command did not run (install it with scripts/deps)\n");
            std::exit(1);
        }
        times.push_back(childrenCpuMs() - before);
    }
    return median(times);
}

struct Window {
    QMainWindow main;
    QMdiArea* area = new QMdiArea;
    frmDocument* doc = new frmDocument;
    Window(const QString& text)
    {
        main.setCentralWidget(area);
        main.resize(1200, 800);
        area->addSubWindow(doc);
        workspace::setActiveLookup([this] { return doc; });
        doc->load();
        doc->editor()->setWholeText(text);
        main.show();
        QCoreApplication::processEvents();
    }
    ~Window() { workspace::setActiveLookup({}); }
};

// The longest the interface thread went without handling its events, from the request of a
// check to its findings shown (a 1 ms timer notes every turn of the event loop). Wall time:
// on a busy machine it includes time the process waited for a processor.
double longestBlockMs(const QString& text, double* requestMs, double* deliveryMs)
{
    Window w(text);
    auto* panel = new review::MarkupPanel(w.area, &w.main);
    w.main.addDockWidget(Qt::BottomDockWidgetArea, panel);
    QElapsedTimer since;
    double longest = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, static_cast<double>(since.nsecsElapsed()) / 1e6);
        since.start();
    });
    QEventLoop loop;
    QObject::connect(panel, &review::MarkupPanel::checkFinished, &loop, &QEventLoop::quit);
    // The first showing of the panel (its layout, fonts, first paint) is not the check's.
    QTimer::singleShot(0, panel, &review::MarkupPanel::check);
    loop.exec();
    QCoreApplication::processEvents();
    ticker.start();
    since.start();
    QTimer::singleShot(0, panel, &review::MarkupPanel::check);
    loop.exec();
    // The turn that delivered the findings.
    QCoreApplication::processEvents();
    longest = std::max(longest, static_cast<double>(since.nsecsElapsed()) / 1e6);
    *requestMs = static_cast<double>(panel->lastRequestMs());
    *deliveryMs = static_cast<double>(panel->lastDeliveryMs());
    return longest;
}

long residentKiB(pid_t pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Resident memory of the processes descended from this one whose command line holds `kind`
// (every one for an empty `kind`), in KiB; `count` gets their number.
long childrenResidentKiB(const QByteArray& kind = {}, int* count = nullptr)
{
    QHash<pid_t, pid_t> parents;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray s = stat.readAll();
        parents.insert(pid, s.mid(s.lastIndexOf(')') + 2).split(' ').value(1).toInt());
    }
    long total = 0;
    if (count)
        *count = 0;
    for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
        pid_t up = it.value();
        for (int depth = 0; up > 1 && up != getpid() && depth < 16; ++depth)
            up = parents.value(up, 0);
        if (up != getpid())
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(it.key()));
        if (!kind.isEmpty() && (!cmdline.open(QIODevice::ReadOnly) || !cmdline.readAll().contains(kind)))
            continue;
        total += residentKiB(it.key());
        if (count)
            ++*count;
    }
    return total;
}

// Opens the preview on `w`'s page and waits for its first showing: its time in ms.
review::PreviewDock* openPreview(Window& w, qint64* firstMs)
{
    auto* dock = new review::PreviewDock(w.area, &w.main);
    w.main.addDockWidget(Qt::RightDockWidgetArea, dock);
    QEventLoop loop;
    QObject::connect(dock, &review::PreviewDock::refreshed, &loop, [&](bool loaded, qint64 ms) {
        if (!loaded) {
            std::fprintf(stderr, "bench: the preview failed to load the page\n");
            std::exit(1);
        }
        *firstMs = ms;
        loop.quit();
    });
    dock->show();
    if (!dock->renderer()) {
        std::fprintf(stderr, "bench: %s\n", qPrintable(dock->loadError()));
        std::exit(1);
    }
    loop.exec();
    return dock;
}

// Waits for one update of the preview after an edit, shown at once (as after the pause):
// its time in ms from the change, and whether it was in place or a whole load.
double updateMs(review::PreviewDock* dock, const std::function<void()>& edit, bool wantPatch)
{
    QEventLoop loop;
    double result = -1;
    bool patched = false;
    auto a = QObject::connect(dock, &review::PreviewDock::refreshed, &loop, [&](bool, qint64 ms) {
        result = double(ms);
        loop.quit();
    });
    auto b = QObject::connect(dock, &review::PreviewDock::patched, &loop, [&](qint64 ms) {
        result = double(ms);
        patched = true;
        loop.quit();
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, [] {
        std::fprintf(stderr, "bench: the preview did not show the change in 2 minutes\n");
        std::exit(1);
    });
    timeout.start(120000);
    edit();
    dock->refreshNow(); // the pause is over
    loop.exec();
    QObject::disconnect(a);
    QObject::disconnect(b);
    if (patched != wantPatch) {
        std::fprintf(stderr, "bench: the preview %s where it should %s\n", patched ? "patched" : "reloaded",
                     wantPatch ? "patch" : "reload");
        std::exit(1);
    }
    return result;
}

// The floor of a whole load: the page in the file `pagePath` (as the editor shows it) shown
// once by a renderer started for it, in a process of its own (this program, scenario
// preview-floor), the same window around it: the time from the request to the load's end.
void previewFloor(const char* pagePath)
{
    QFile file(QString::fromLocal8Bit(pagePath));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench: cannot read %s\n", pagePath);
        std::exit(1);
    }
    Window w(QString::fromUtf8(file.readAll()));
    qint64 ms = 0;
    openPreview(w, &ms);
    std::printf("%lld\n", static_cast<long long>(ms));
}

// One floor load of `text`, in a process of its own.
double floorLoadMs(const QString& text)
{
    QTemporaryDir dir;
    const QString path = writtenPage(dir, text);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("preview-floor"), path});
    if (!child.waitForFinished(180000) || child.exitCode() != 0) {
        std::fprintf(stderr, "bench: the floor's process failed\n");
        std::exit(1);
    }
    return child.readAllStandardOutput().trimmed().toDouble();
}

// Moves the caret to the paragraph `n` (of fourteen spread over the page) and waits for the outline
// to be moved there: the time in ms from the move.
double caretMs(review::PreviewDock* dock, RichEdit* edit, int n)
{
    QEventLoop loop;
    QElapsedTimer since;
    double ms = -1;
    auto c = QObject::connect(dock, &review::PreviewDock::caretShown, &loop, [&] {
        ms = double(since.nsecsElapsed()) / 1e6;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, [] {
        std::fprintf(stderr, "bench: the outline did not follow the caret\n");
        std::exit(1);
    });
    const int at = edit->text().indexOf(QStringLiteral("<P>The "), edit->textLength() / 4 + n * 50000);
    since.start();
    edit->setSelStart(at + 5);
    loop.exec();
    QObject::disconnect(c);
    return ms;
}

// Lets the preview finish what it draws (the page scrolled to the last outline): a pause as
// after a caret that stopped, then a script's answer, which comes once the page is idle.
void letPreviewSettle(review::PreviewDock* dock)
{
    QEventLoop loop;
    QTimer::singleShot(200, &loop, [&] { dock->renderer()->runOwnScript(QStringLiteral("1"), [&](const QVariant&) { loop.quit(); }); });
    loop.exec();
}

void preview()
{
    // Without the marquees: two thousand of them keep a software-drawn page busy for minutes.
    Window w(sitePage(1 * MiB, false));
    probe::report("review.rss_mb_preview_closed", residentKiB(getpid()) / 1024.0, "MB");
    qint64 first = 0;
    review::PreviewDock* dock = openPreview(w, &first);
    RichEdit* edit = w.doc->editor();
    std::vector<double> patches, reloads, floors;
    // Seven rounds: on a shared machine one whole load's wall time differs from the next by
    // tens of percent.
    for (int i = 0; i < 7; ++i) {
        // One word typed into a paragraph in the middle of the page.
        patches.push_back(updateMs(dock, [&] {
            const int at = edit->text().indexOf(QStringLiteral("<P>The "), edit->textLength() / 2);
            edit->setSelStart(at + 7);
            edit->setSelText(QStringLiteral("word "));
        }, true));
        // The title changed: the whole page loads again.
        reloads.push_back(updateMs(dock, [&] {
            edit->setSelStart(edit->text().indexOf(QStringLiteral("</TITLE>")));
            edit->setSelText(QStringLiteral("x"));
        }, false));
        // Its floor, taken between the whole loads so that both see the same load of the machine.
        floors.push_back(floorLoadMs(edit->text()));
    }
    // The caret put into another paragraph, after it stopped (the preview idle): from the move
    // to the outline moved around it. Beside it, moves each made as soon as the outline of the
    // one before was placed, while the page still draws that one (its scroll on a page of this
    // size costs the engine some tens of milliseconds): not judged, shown for comparison.
    {
        // The outline drawn after the last whole load comes first.
        QEventLoop settle;
        QObject::connect(dock, &review::PreviewDock::caretShown, &settle, &QEventLoop::quit);
        QTimer::singleShot(3000, &settle, &QEventLoop::quit);
        settle.exec();
    }
    std::vector<double> carets, hurried;
    for (int i = 0; i < 7; ++i) {
        letPreviewSettle(dock);
        carets.push_back(caretMs(dock, edit, i));
    }
    for (int i = 0; i < 7; ++i)
        hurried.push_back(caretMs(dock, edit, 7 + i));
    probe::report("review.preview_patch_ms_1MiB", median(patches), "ms");
    probe::report("review.preview_refresh_ms_1MiB", median(reloads), "ms");
    probe::report("floor.chromium_load_ms_1MiB", median(floors), "ms");
    probe::report("review.preview_caret_ms_1MiB", median(carets), "ms");
    probe::report("review.preview_caret_ms_1MiB_back_to_back", median(hurried), "ms");
    probe::report("review.preview_settle_ms", static_cast<double>(review::PreviewDock::settleMs), "ms", 0);
    probe::report("review.rss_mb_preview_open", residentKiB(getpid()) / 1024.0, "MB");
    int processes = 0;
    const long open = childrenResidentKiB({}, &processes);
    probe::report("review.engine_processes_rss_mb_preview_open", open / 1024.0, "MB");
    probe::report("review.engine_processes_preview_open", static_cast<long long>(processes), "processes");
    // Closing the panel ends the page's renderer process; the engine's idle helpers stay.
    dock->close();
    QElapsedTimer gone;
    gone.start();
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    while (childrenResidentKiB({}, &processes) * 2 > open && gone.elapsed() < 10000);
    probe::report("review.engine_processes_rss_mb_after_close", childrenResidentKiB({}, &processes) / 1024.0, "MB");
    probe::report("review.engine_processes_after_close", static_cast<long long>(processes), "processes");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const char* scenario = argc > 1 ? argv[1] : "";
    if (std::strcmp(scenario, "markup") == 0) {
        const QString small = sitePage(1 * MiB);
        const QString large = sitePage(10 * MiB);
        probe::report("review.check_ms_1MiB", checkMs(small, 5), "ms");
        probe::report("review.check_ms_10MiB", checkMs(large, 3), "ms");
        probe::report("floor.tidy_cli_ms_10MiB", tidyCommandMs(large, 3), "ms");
        double request = 0, delivery = 0;
        probe::report("review.ui_longest_block_ms_1MiB", longestBlockMs(small, &request, &delivery), "ms");
        probe::report("review.ui_request_ms_1MiB", request, "ms");
        probe::report("review.ui_longest_block_ms_10MiB", longestBlockMs(large, &request, &delivery), "ms");
        probe::report("review.ui_request_ms_10MiB", request, "ms");
        probe::report("review.ui_delivery_ms_10MiB", delivery, "ms");
    } else if (std::strcmp(scenario, "preview") == 0) {
        preview();
    } else if (std::strcmp(scenario, "preview-floor") == 0) {
        previewFloor(argc > 2 ? argv[2] : "");
    } else {
        std::fprintf(stderr, "usage: halvane_bench_review markup|preview\n");
        return 2;
    }
    return 0;
}
