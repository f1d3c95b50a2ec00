#include "BenchStats.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace bench {

double percentile(std::vector<double> samples, double p) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    // Nearest rank: the smallest value with at least p% of the samples at or below it.
    const auto rank = qint64(std::ceil(p / 100.0 * double(samples.size())));
    return samples[size_t(std::clamp<qint64>(rank, 1, qint64(samples.size())) - 1)];
}

double median(std::vector<double> samples) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t mid = samples.size() / 2;
    return samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

Summary summarize(const std::vector<double> &samples) {
    Summary s;
    s.count = int(samples.size());
    if (samples.empty())
        return s;
    s.median = median(samples);
    s.p95 = percentile(samples, 95);
    const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
    s.min = *lo;
    s.max = *hi;
    return s;
}

namespace {
qint64 nowNs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}
} // namespace

void Stopwatch::start() {
    m_wallNs = nowNs(CLOCK_MONOTONIC);
    m_cpuNs = nowNs(CLOCK_PROCESS_CPUTIME_ID);
}

double Stopwatch::wallMs() const {
    return double(nowNs(CLOCK_MONOTONIC) - m_wallNs) / 1e6;
}

double Stopwatch::cpuMs() const {
    return double(nowNs(CLOCK_PROCESS_CPUTIME_ID) - m_cpuNs) / 1e6;
}

void Timings::append(const Timings &other) {
    wall.insert(wall.end(), other.wall.begin(), other.wall.end());
    cpu.insert(cpu.end(), other.cpu.begin(), other.cpu.end());
}

Memory ownMemory() {
    Memory m;
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return m;
    const auto kb = [](const QByteArray &line) {
        return line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLongLong();
    };
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            m.peakKb = kb(line);
        else if (line.startsWith("VmRSS:"))
            m.currentKb = kb(line);
    }
    return m;
}

} // namespace bench
