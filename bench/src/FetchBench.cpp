#include "FetchBench.h"

#include "BenchStats.h"
#include "BoardReaders.h"
#include "data/U_DM.h"
#include "db/DatabaseTarget.h"

#include <cstdio>

namespace bench {
namespace {

constexpr double kFetchVsBareTarget = 1.15;
constexpr double kFetchVsQtTarget = 1.0;
const char *const kScenario = "fetch, board query \"%\" to the end";

struct ReaderTimes {
    std::vector<double> total, firstRow, rest, cpu;
};

} // namespace

void benchmarkFetch(const DataSet &set, const Options &options, Results &results) {
    std::fprintf(stderr, "[%s] fetch: access layer, Qt driver, client API\n",
                 qPrintable(set.label));
    const QString path = db::settings::databasePath(set.directory);
    std::vector<std::unique_ptr<BoardReader>> readers;
    readers.push_back(accessLayerReader(path));
    readers.push_back(qtDriverReader(path));
    readers.push_back(clientApiReader(path));

    // One checking read each: the same rows, the same text.
    std::vector<CellSink> checks;
    for (auto &reader : readers) {
        CellSink sink(CellSink::Full);
        reader->read(sink);
        checks.push_back(sink);
    }
    const auto agreement = [&](size_t i) {
        const bool same =
            checks[i].rows() == checks[0].rows() && checks[i].checksum() == checks[0].checksum();
        return QStringLiteral("%1 %2 the access layer (rows and text)")
            .arg(readers[i]->name(),
                 same ? QStringLiteral("reads the same as") : QStringLiteral("DIFFERS FROM"));
    };

    std::vector<ReaderTimes> times(readers.size());
    for (int round = 0; round < options.fetchRounds; ++round) {
        for (size_t k = 0; k < readers.size(); ++k) {
            const size_t i = (k + size_t(round)) % readers.size(); // rotate who goes first
            const Stopwatch watch;
            CellSink sink(CellSink::Light);
            readers[i]->read(sink);
            times[i].total.push_back(watch.wallMs());
            times[i].cpu.push_back(watch.cpuMs());
            times[i].firstRow.push_back(sink.firstRowMs());
            times[i].rest.push_back(watch.wallMs() - sink.firstRowMs());
        }
    }

    const char *const labels[] = {"(a) access layer", "(b) Qt QIBASE driver",
                                  "(c) bare client API"};
    for (size_t i = 0; i < readers.size(); ++i) {
        QString note =
            QStringLiteral("first row after %1 ms, the other rows %2 ms, CPU %3 ms; text: %4")
                .arg(median(times[i].firstRow), 0, 'f', 0)
                .arg(median(times[i].rest), 0, 'f', 0)
                .arg(median(times[i].cpu), 0, 'f', 0)
                .arg(readers[i]->textConversion());
        if (i == 0)
            note = QStringLiteral("%1 rows x 13 columns; ").arg(checks[0].rows()) + note;
        results.add({set.label, QLatin1String(kScenario), QLatin1String(labels[i]),
                     median(times[i].total), QStringLiteral("ms"), std::nullopt, note});
    }
    const auto ratio = [&](size_t x, size_t y, std::vector<double> ReaderTimes::*part) {
        return median(times[x].*part) / median(times[y].*part);
    };
    results.add({set.label, QStringLiteral("fetch ratio"),
                 QStringLiteral("a/b (ours vs Qt's driver)"), ratio(0, 1, &ReaderTimes::total),
                 QStringLiteral("x"), kFetchVsQtTarget,
                 QStringLiteral("rows after the first: %1x; %2")
                     .arg(ratio(0, 1, &ReaderTimes::rest), 0, 'f', 2)
                     .arg(agreement(1))});
    results.add({set.label, QStringLiteral("fetch ratio"),
                 QStringLiteral("a/c (ours vs bare loop)"), ratio(0, 2, &ReaderTimes::total),
                 QStringLiteral("x"), kFetchVsBareTarget,
                 QStringLiteral("rows after the first: %1x; %2")
                     .arg(ratio(0, 2, &ReaderTimes::rest), 0, 'f', 2)
                     .arg(agreement(2))});
}

} // namespace bench
