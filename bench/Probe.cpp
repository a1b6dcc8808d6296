#include "Probe.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace probe {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(u.ru_utime) + seconds(u.ru_stime);
}

long long Stopwatch::cpuNanoseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

long long WallStopwatch::wallNanoseconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

double evictFromPageCache(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return 1;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    double cached = 1;
    // Dirty pages are not dropped: write them out first.
    if (size > 0 && ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0) {
        void* map = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_SHARED, fd, 0);
        if (map != MAP_FAILED) {
            const long page = ::sysconf(_SC_PAGESIZE);
            std::vector<unsigned char> resident(static_cast<std::size_t>((size + page - 1) / page));
            if (::mincore(map, static_cast<std::size_t>(size), resident.data()) == 0) {
                std::size_t in = 0;
                for (unsigned char r : resident)
                    in += r & 1;
                cached = static_cast<double>(in) / static_cast<double>(resident.size());
            }
            ::munmap(map, static_cast<std::size_t>(size));
        }
    }
    ::close(fd);
    return cached;
}

std::size_t heapInUse()
{
    // Chunks in the main heap plus the large blocks glibc serves with mmap, which uordblks
    // alone leaves out (a multi-megabyte buffer moving between the two would look like a
    // saving or a loss of its whole size).
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

std::size_t peakResident()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<std::size_t>(u.ru_maxrss) * 1024; // kilobytes on Linux
}

std::size_t resident()
{
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long size = 0, pages = 0;
    const bool read = statm && std::fscanf(statm, "%lu %lu", &size, &pages) == 2;
    if (statm)
        std::fclose(statm);
    return read ? pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

double median(std::vector<double> values) { return percentile(std::move(values), 0.5); }

double percentile(std::vector<double> values, double fraction)
{
    expect(!values.empty(), "no values to take a percentile of");
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size() - 1)));
    return values[std::min(at, values.size() - 1)];
}

void expect(bool ok, const char* what)
{
    if (ok)
        return;
    const QString program = QCoreApplication::instance() ? QCoreApplication::applicationName()
                                                         : QStringLiteral("bench");
    std::fprintf(stderr, "%s: %s\n", qPrintable(program), what);
    std::exit(1);
}

void report(const char* name, double value, const char* unit, int decimals)
{
    std::printf("%s: %.*f %s\n", name, decimals, value, unit);
    std::fflush(stdout);
}

void report(const char* name, long long value, const char* unit)
{
    std::printf("%s: %lld %s\n", name, value, unit);
    std::fflush(stdout);
}

} // namespace probe
