#include "Probe.h"

#include <cstdio>
#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

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
