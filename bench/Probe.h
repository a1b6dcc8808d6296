#pragma once

#include <QString>
#include <cstddef>
#include <vector>

// Measuring helpers of the benchmarks: process CPU time, heap in use, and the
// one-line report format "name: value unit".
namespace probe {

// Process CPU time (user + system) in seconds.
double cpuSeconds();

// Bytes of the C heap in use by the whole process (glibc's allocated chunks, mmapped ones too).
std::size_t heapInUse();

// The largest resident set the process has had so far, in bytes.
std::size_t peakResident();

// The resident set of the process now, in bytes.
std::size_t resident();

// Wall-clock time since construction: what the user waits for, disk included.
class WallStopwatch {
public:
    WallStopwatch() : m_start(wallNanoseconds()) {}
    double ms() const { return static_cast<double>(wallNanoseconds() - m_start) / 1e6; }

private:
    static long long wallNanoseconds();
    long long m_start;
};

// Writes the file's pages to disk and drops them from the page cache, so that the next read
// comes from the disk. Returns the fraction of the file's pages still cached afterwards
// (0 when the eviction worked; a file system that keeps files in memory answers 1).
double evictFromPageCache(const QString& path);

// Process CPU time since construction. Wall time on a machine shared with other builds
// measures the neighbours as much as the editor; CPU time of this process does not.
class Stopwatch {
public:
    Stopwatch() : m_start(cpuNanoseconds()) {}
    double us() const { return static_cast<double>(cpuNanoseconds() - m_start) / 1e3; }
    double ms() const { return static_cast<double>(cpuNanoseconds() - m_start) / 1e6; }

private:
    static long long cpuNanoseconds();
    long long m_start;
};

// The middle of the values (the upper of the two middle ones for an even count).
double median(std::vector<double> values);

// The value `fraction` of the way up the sorted values: 0.99 gives the 99th percentile.
double percentile(std::vector<double> values, double fraction);

// A figure means nothing if the work it times did not happen as described: says what went
// wrong on stderr and ends the run with a failure.
void expect(bool ok, const char* what);

void report(const char* name, double value, const char* unit, int decimals = 1);
void report(const char* name, long long value, const char* unit);

} // namespace probe
