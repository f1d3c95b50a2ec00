#pragma once

#include <QtGlobal>

#include <vector>

namespace bench {

/// The usual figures of a set of timings, in milliseconds.
struct Summary {
    int count = 0;
    double median = 0;
    double p95 = 0;
    double min = 0;
    double max = 0;
};

/// Nearest-rank percentile (`p` from 0 to 100) of `samples`; 0 for none.
double percentile(std::vector<double> samples, double p);
/// Median (the mean of the two middle values for an even count); 0 for none.
double median(std::vector<double> samples);
Summary summarize(const std::vector<double> &samples);

/// Wall-clock time and this process's CPU time (all threads, user and
/// system) since start(). On a shared machine the CPU time shows what the
/// work costs when the wall clock also counts waiting for a core.
class Stopwatch {
  public:
    Stopwatch() { start(); }
    void start();
    double wallMs() const;
    double cpuMs() const;

  private:
    qint64 m_wallNs = 0;
    qint64 m_cpuNs = 0;
};

/// Wall and CPU milliseconds of repeated runs.
struct Timings {
    std::vector<double> wall;
    std::vector<double> cpu;
    void add(const Stopwatch &watch) {
        wall.push_back(watch.wallMs());
        cpu.push_back(watch.cpuMs());
    }
    void append(const Timings &other);
};

/// Resident memory of this process from /proc/self/status, in KiB.
struct Memory {
    qint64 peakKb = 0;    ///< VmHWM: the most it ever held
    qint64 currentKb = 0; ///< VmRSS
};
Memory ownMemory();

} // namespace bench
