// Benchmarks of the whole-site commands on a generated site of 500 pages (5 MiB in all, 2,000
// links, 20 of them broken): find in files beside `grep -rn` on the same folder (its floor),
// the site check beside the markup library's time on each page divided by the cores used, and
// the longest the interface thread goes without a turn of its event loop while the find panel
// and the site check panel take in their results, and while Replace All in Files rewrites
// every page.
//
// The site check's time and its floor are elapsed times of the calling thread less the time it
// stood ready to run while other processes had the cores (the kernel's run-queue wait): on a
// machine shared with other work, plain elapsed time measures the neighbours, and CPU time
// would hide workers left idle (waiting on a lock, on the disk, or for the last page). The
// interface gaps are corrected the same way. The plain elapsed figures are printed beside
// them ("_wall_").

#include "review/MarkupCheck.h"
#include "site/FindInFiles.h"
#include "site/FindPanel.h"
#include "site/SiteCheck.h"
#include "site/SiteDocks.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <QHash>
#include <atomic>
#include <ctime>
#include <vector>
#include <functional>
#include <mutex>
#include <thread>

namespace {

constexpr int pages = 500;
constexpr int linksPerPage = 4;
constexpr qsizetype pageBytes = 5 * 1024 * 1024 / pages;

QString pageName(int n) { return QStringLiteral("section%1/page%2.html").arg(n % 10).arg(n); }

// Every page links to the next four pages; twenty of the links name pages that do not exist.
QString page(int n)
{
    QString text = QStringLiteral("<!DOCTYPE html>\n<html><head><title>Page %1</title></head>\n<body>\n"
                                  "<h1 id=\"top%1\">Garden notes %1</h1>\n").arg(n);
    for (int k = 1; k <= linksPerPage; ++k) {
        const int to = (n + k) % pages;
        const bool broken = k == 1 && n % 25 == 0;
        text += QStringLiteral("<p><a href=\"../%1%2\">Next</a></p>\n")
                    .arg(broken ? QStringLiteral("section0/missing%1.html").arg(n) : pageName(to))
                    .arg(k == 2 ? QStringLiteral("#top%1").arg(to) : QString());
    }
    for (int p = 0; text.size() < pageBytes - 20; ++p)
        text += QStringLiteral("<p>The roses in bed %1 are in bloom; the beans are up and the "
                               "<em>marigolds</em> keep the pests away.</p>\n").arg(p);
    return text + QStringLiteral("</body></html>\n");
}

void line(const char* name, double value) { std::printf("%s: %.1f ms\n", name, value); }

// Milliseconds the calling thread has stood ready to run without a core (0 where the kernel
// does not keep the figure).
double runQueueWaitMs()
{
    std::ifstream stat("/proc/thread-self/schedstat");
    double running = 0, waiting = 0;
    stat >> running >> waiting;
    return stat ? waiting / 1e6 : 0.0;
}

long long threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

// Elapsed time less the calling thread's run-queue wait.
class LoadFreeStopwatch {
public:
    LoadFreeStopwatch() { m_clock.start(); }
    double wallMs() const { return double(m_clock.nsecsElapsed()) / 1e6; }
    double ms() const { return wallMs() - (runQueueWaitMs() - m_wait); }

private:
    QElapsedTimer m_clock;
    double m_wait = runQueueWaitMs();
};

// The longest the event loop goes without being ready for the next event: between turns (a
// zero timer fires once a turn) and up to the point where it waits for events, with the time it
// sleeps waiting left out (a sleeping loop answers the next event at once).
class GapMeter {
public:
    GapMeter()
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { ready(); });
        QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance();
        QObject::connect(loop, &QAbstractEventDispatcher::aboutToBlock, [this] {
            if (m_on)
                ready();
            m_asleep = true;
        });
        // The dispatcher also says it is awake between the sources it serves in one turn, without
        // having slept: only a wake-up after waiting starts the next stretch afresh.
        QObject::connect(loop, &QAbstractEventDispatcher::awake, [this] {
            if (m_asleep)
                m_last = LoadFreeStopwatch();
            m_asleep = false;
        });
    }
    void start()
    {
        m_last = LoadFreeStopwatch();
        m_longest = m_longestWall = 0;
        m_on = true;
        m_timer.start();
    }
    void stop()
    {
        ready();
        m_timer.stop();
        m_on = false;
    }
    double longestMs() const { return m_longest; }
    double longestWallMs() const { return m_longestWall; }

private:
    void ready()
    {
        m_longest = std::max(m_longest, m_last.ms());
        m_longestWall = std::max(m_longestWall, m_last.wallMs());
        m_last = LoadFreeStopwatch();
    }
    QTimer m_timer;
    LoadFreeStopwatch m_last;
    bool m_on = false;
    bool m_asleep = false;
    double m_longest = 0;
    double m_longestWall = 0;
};

// Runs the event loop until `signal` of `sender` comes, measuring its turns.
template <class Sender, class Signal>
void waitMeasured(GapMeter& meter, Sender* sender, Signal signal, const std::function<void()>& begin)
{
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, &QEventLoop::quit);
    meter.start();
    begin();
    loop.exec();
    meter.stop();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    QStringList texts;
    for (int n = 0; n < pages; ++n) {
        const QString path = tmp.filePath(pageName(n));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        texts << page(n);
        f.write(texts.last().toUtf8());
    }
    const QString word = QStringLiteral("marigolds");

    // Floor and find take turns, three rounds; each figure is its best round.
    double grepMs = 1e300, findMs = 1e300;
    qsizetype grepLines = 0;
    int matches = 0;
    site::FindInFilesRun run;
    QEventLoop loop;
    QObject::connect(&run, &site::FindInFilesRun::finished, &loop,
                     [&](int, int m, bool) { matches = m; loop.quit(); });
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        QProcess grep;
        grep.start(QStringLiteral("grep"), {QStringLiteral("-rn"), word, tmp.path()});
        grep.waitForFinished(-1);
        grepLines = grep.readAllStandardOutput().count('\n');
        grepMs = std::min(grepMs, double(t.nsecsElapsed()) / 1e6);
        t.restart();
        run.start(tmp.path(), {word});
        loop.exec();
        findMs = std::min(findMs, double(t.nsecsElapsed()) / 1e6);
    }
    line("floor.grep_ms_500_pages", grepMs);
    line("site.find_ms_500_pages", findMs);
    if (matches != grepLines)
        std::fprintf(stderr, "find in files listed %d matches, grep %lld\n", matches,
                     static_cast<long long>(grepLines));

    // The floor: the markup library's time on each page, summed and divided by the workers the
    // check uses. The pages are checked as the check does it (the same pages, the same options,
    // as many threads taking the next page), each call timed by its thread's CPU time: the
    // markup library's own cost under the same sharing of caches and cores, with nothing else
    // (no reading, no link scanning, no waiting). The same pages checked one after another are
    // printed beside it ("_serial_"). Floor and check take turns, five rounds; each figure is
    // its best round.
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int threads = std::min(cores, pages);
    site::SiteReport report;
    double blockedMs = 0; // of the best round: the longest a worker was off its core, not waiting for one
    double floorMs = 1e300, serialMs = 1e300, floorWallMs = 1e300, checkMs = 1e300, checkWallMs = 1e300;
    std::size_t workers = 0;
    for (int round = 0; round < 5; ++round) {
        {
            const LoadFreeStopwatch floor;
            for (const QString& text : texts)
                review::checkMarkup(text, 0);
            serialMs = std::min(serialMs, floor.ms() / threads);
            floorWallMs = std::min(floorWallMs, floor.wallMs() / threads);
        }
        {
            std::atomic_int next{0};
            std::atomic<long long> summedNs{0};
            auto markup = [&] {
                for (int i; (i = next.fetch_add(1)) < pages;) {
                    const long long before = threadCpuNs();
                    review::checkMarkup(texts[i], 0);
                    summedNs += threadCpuNs() - before;
                }
            };
            {
                std::vector<std::jthread> pool;
                for (int t = 1; t < threads; ++t)
                    pool.emplace_back(markup);
                markup();
            }
            floorMs = std::min(floorMs, double(summedNs.load()) / 1e6 / threads);
        }
        // The check: its steps on the calling thread before and after the workers, and the
        // worker that took longest, each less its own run-queue wait.
        struct Share {
            double startWall = 0, startWait = 0, endWall = 0, endWait = 0;
            long long startCpu = 0, endCpu = 0;
        };
        std::mutex lock;
        QHash<std::thread::id, Share> shares;
        QElapsedTimer clock;
        site::CheckOptions options;
        options.threads = threads;
        options.onWorker = [&](bool done) {
            const double wall = double(clock.nsecsElapsed()) / 1e6, wait = runQueueWaitMs();
            const std::lock_guard<std::mutex> hold(lock);
            Share& s = shares[std::this_thread::get_id()];
            (done ? s.endWall : s.startWall) = wall;
            (done ? s.endWait : s.startWait) = wait;
            (done ? s.endCpu : s.startCpu) = threadCpuNs();
        };
        const double waitBefore = runQueueWaitMs();
        clock.start();
        report = site::checkSite(tmp.path(), options);
        const double wall = double(clock.nsecsElapsed()) / 1e6;
        const double callerWait = runQueueWaitMs() - waitBefore;
        double first = wall, last = 0, longest = 0, blocked = 0;
        for (const Share& s : std::as_const(shares)) {
            first = std::min(first, s.startWall);
            last = std::max(last, s.endWall);
            const double busy = (s.endWall - s.startWall) - (s.endWait - s.startWait);
            longest = std::max(longest, busy);
            blocked = std::max(blocked, busy - double(s.endCpu - s.startCpu) / 1e6);
        }
        const Share own = shares.value(std::this_thread::get_id());
        const double serial = (wall - (last - first)) - (callerWait - (own.endWait - own.startWait));
        if (serial + longest < checkMs)
            blockedMs = blocked;
        checkMs = std::min(checkMs, serial + longest);
        checkWallMs = std::min(checkWallMs, wall);
        workers = std::size_t(shares.size());
    }
    line("floor.markup_per_core_ms_500_pages", floorMs);
    line("floor.markup_per_core_serial_ms_500_pages", serialMs);
    line("floor.markup_per_core_wall_ms_500_pages", floorWallMs);
    line("site.check_ms_500_pages", checkMs);
    line("site.check_wall_ms_500_pages", checkWallMs);
    line("site.check_worker_blocked_ms_500_pages", blockedMs);
    std::printf("site.check_workers_500_pages: %zu count\n", workers);
    int wrong = 0; // reported broken, but not one of the twenty
    for (const site::FileReport& f : report.files)
        for (const site::BrokenLink& b : f.brokenLinks)
            wrong += !b.reference.url.contains(QLatin1String("/missing"));
    std::printf("site.broken_links_500_pages: %d count\n", report.brokenLinks);
    std::printf("site.wrongly_broken_links_500_pages: %d count\n", wrong);

    // The interface thread while the panels take in the results of a find and of a check.
    GapMeter meter;
    site::FindPanel find({}, [&] { return tmp.path(); }, {});
    find.findChild<QLineEdit*>(QStringLiteral("txtFindInFiles"))->setText(word);
    waitMeasured(meter, &find, &site::FindPanel::searchFinished, [&] { find.find(); });
    line("site.find_ui_gap_ms_500_pages", meter.longestMs());
    line("site.find_ui_gap_wall_ms_500_pages", meter.longestWallMs());
    site::SiteCheckPanel check({});
    waitMeasured(meter, &check, &site::SiteCheckPanel::checkFinished, [&] { check.check(tmp.path(), 0); });
    line("site.check_ui_gap_ms_500_pages", meter.longestMs());
    line("site.check_ui_gap_wall_ms_500_pages", meter.longestWallMs());
    if (check.report().brokenLinks != report.brokenLinks)
        std::fprintf(stderr, "the site check panel listed %d broken links, the check %d\n",
                     check.report().brokenLinks, report.brokenLinks);

    // Replace All in Files over every page, from the command to its summary: counting on a
    // worker, the question (answered at once; a question asked once before, untimed, so that
    // the message box's first set-up is not counted), the pages written on the writer's thread.
    QTimer answer;
    answer.setInterval(1);
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->click() : box->accept();
    });
    answer.start();
    QMessageBox::question(nullptr, QStringLiteral("Warm-up"), QStringLiteral("Warm-up?"));
    find.findChild<QLineEdit*>(QStringLiteral("txtReplaceInFiles"))->setText(QStringLiteral("tulips"));
    waitMeasured(meter, &find, &site::FindPanel::replaceFinished, [&] { find.replaceAll(); });
    line("site.replace_ui_gap_ms_500_pages", meter.longestMs());
    line("site.replace_ui_gap_wall_ms_500_pages", meter.longestWallMs());
    std::printf("site.replace_files_500_pages: %lld count\n", static_cast<long long>(find.lastEdits().size()));
    return 0;
}
