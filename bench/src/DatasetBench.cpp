#include "DatasetBench.h"

#include "BenchStats.h"
#include "BoardReaders.h"
#include "CardBench.h"
#include "ChildRuns.h"
#include "KeystrokeBench.h"
#include "MemoryProbe.h"

#include "MessageService.h"
#include "U_DM.h"
#include "U_deska.h"
#include "U_report.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <exception>

namespace bench {
namespace {

constexpr double kKeystrokeTargetMs = 30;
constexpr double kStartupTargetMs = 1000;
constexpr double kStartupMemoryTargetMb = 150;
constexpr double kCardTargetMs = 1000;
constexpr double kFetchVsBareTarget = 1.15;
constexpr double kFetchVsQtTarget = 1.0;

void progress(const DataSet &set, const QString &what) {
    std::fprintf(stderr, "[%s] %s\n", qPrintable(set.label), qPrintable(what));
}

double mb(qint64 kb) { return double(kb) / 1024.0; }

QString describe(const Summary &s) {
    return QStringLiteral("%1 samples, min %2, max %3 ms")
        .arg(s.count)
        .arg(s.min, 0, 'f', 1)
        .arg(s.max, 0, 'f', 1);
}

void benchmarkStartup(const DataSet &set, const Options &options, Results &results) {
    if (options.program.isEmpty() || !QFile::exists(options.program)) {
        results.addNote(QStringLiteral("%1: start-up not measured: no program at \"%2\"")
                            .arg(set.label, options.program));
        return;
    }
    progress(set, QStringLiteral("start-up of %1").arg(options.program));
    // The program finds its database beside the executable.
    const QString copy = QDir(set.directory).filePath(QStringLiteral("vizitar"));
    QFile::remove(copy);
    if (!QFile::copy(options.program, copy))
        throw std::runtime_error("cannot copy the program to " + copy.toStdString());
    const QString log = QDir(set.directory).filePath(QStringLiteral("messages.log"));
    QFile::remove(log);
    const QProcessEnvironment env = unattendedEnvironment(log);

    runChild(copy, {}, env); // warm-up: libraries and the database file into the page cache
    std::vector<double> times;
    qint64 peakKb = 0;
    int failures = 0;
    for (int i = 0; i < options.startupRuns; ++i) {
        const ChildRun run = runChild(copy, {}, env);
        times.push_back(run.wallMs);
        peakKb = qMax(peakKb, run.peakRssKb);
        failures += run.exitCode != 0;
    }
    QString note = describe(summarize(times)) + QStringLiteral("; process start to exit");
    if (failures)
        note += QStringLiteral("; %1 runs exited with an error").arg(failures);
    QFile messages(log);
    if (messages.open(QIODevice::ReadOnly) && messages.size() > 0)
        note += QStringLiteral("; the program reported: ") + QString::fromUtf8(messages.readLine().trimmed());
    results.add({set.label, QStringLiteral("start-up"), QStringLiteral("median, window shown, offscreen"),
                 median(times), QStringLiteral("ms"), kStartupTargetMs, note});
    results.add({set.label, QStringLiteral("memory"), QStringLiteral("peak RSS of the program (start-up)"),
                 mb(peakKb), QStringLiteral("MB"), kStartupMemoryTargetMb,
                 QStringLiteral("ru_maxrss of vizitar, largest of %1 runs").arg(options.startupRuns)});
}

void benchmarkMemory(const DataSet &set, const Options &options, Results &results) {
    progress(set, QStringLiteral("memory probe"));
    const ProbeFigures f = probeMemory(options.self, set.directory);
    results.add({set.label, QStringLiteral("memory"), QStringLiteral("peak RSS after RecordCount on tKONTAKT"),
                 mb(f.recordCountPeakKb), QStringLiteral("MB"), std::nullopt,
                 QStringLiteral("VmHWM in the probe: %1 MB after start-up, %2 MB before the database; %3 "
                                "KONTAKT rows")
                     .arg(mb(f.startupPeakKb), 0, 'f', 1)
                     .arg(mb(f.baselinePeakKb), 0, 'f', 1)
                     .arg(f.contactRows)});
}

void benchmarkWindow(const DataSet &set, const Options &options, Results &results) {
    msg::Recorder messages;
    TDM dm;
    DM = &dm;
    struct ForgetModule {
        ~ForgetModule() { DM = nullptr; }
    } forget;
    Tfm_Deska window(dm, set.directory);
    TfmReporty printForm;
    window.setWindows(nullptr, nullptr, nullptr, &printForm);
    window.show();
    QCoreApplication::processEvents();

    const QStringList prefixes = typedPrefixes();
    progress(set, QStringLiteral("keystroke, board query (%1 prefixes x %2)").arg(prefixes.size()).arg(options.typingPasses));
    timeBoardQuery(dm, prefixes);
    std::vector<double> query;
    for (int pass = 0; pass < options.typingPasses; ++pass) {
        const std::vector<double> samples = timeBoardQuery(dm, prefixes);
        query.insert(query.end(), samples.begin(), samples.end());
    }
    const Summary q = summarize(query);
    const QString what = QStringLiteral("close, 6 parameters, open, first 40 rows read");
    results.add({set.label, QStringLiteral("keystroke (data side)"), QStringLiteral("median"), q.median,
                 QStringLiteral("ms"), kKeystrokeTargetMs, what});
    results.add({set.label, QStringLiteral("keystroke (data side)"), QStringLiteral("95th percentile"),
                 q.p95, QStringLiteral("ms"), std::nullopt, describe(q)});

    if (window.gHlavniDeska) {
        progress(set, QStringLiteral("keystroke, typed into the main window"));
        QString problem;
        timeTyping(window, dm, prefixes, &problem);
        std::vector<double> typed;
        for (int pass = 0; pass < options.typingPasses; ++pass) {
            const std::vector<double> samples = timeTyping(window, dm, prefixes, &problem);
            typed.insert(typed.end(), samples.begin(), samples.end());
        }
        const Summary t = summarize(typed);
        QString note = QStringLiteral("key event into Edit1, events, grid grab()");
        if (!problem.isEmpty())
            note += QStringLiteral("; PROBLEM: ") + problem;
        results.add({set.label, QStringLiteral("keystroke (painted)"), QStringLiteral("median"), t.median,
                     QStringLiteral("ms"), kKeystrokeTargetMs, note});
        results.add({set.label, QStringLiteral("keystroke (painted)"), QStringLiteral("95th percentile"),
                     t.p95, QStringLiteral("ms"), std::nullopt, describe(t)});
    } else {
        results.addNote(QStringLiteral("%1: the main window has no board grid yet; the keystroke is "
                                       "measured on the data side only")
                            .arg(set.label));
    }

    const BusiestCompany busiest = findBusiestCompany(dm);
    progress(set, QStringLiteral("company card of company %1 (%2 contacts)").arg(busiest.id).arg(busiest.contacts));
    timeCompanyCard(dm, printForm, busiest.id);
    std::vector<double> totals, compose, rtf, layout, paint;
    CardTiming last;
    for (int i = 0; i < options.cardRuns; ++i) {
        last = timeCompanyCard(dm, printForm, busiest.id);
        totals.push_back(last.total());
        compose.push_back(last.compose);
        rtf.push_back(last.rtf);
        layout.push_back(last.layout);
        paint.push_back(last.paint);
    }
    results.add({set.label, QStringLiteral("company card"), QStringLiteral("median, compose to page 1 painted"),
                 median(totals), QStringLiteral("ms"), kCardTargetMs,
                 QStringLiteral("%1 contacts, %2 paragraphs, %3 pages; compose %4, RTF %5, layout %6, "
                                "paint %7 ms (medians); no preview window")
                     .arg(busiest.contacts)
                     .arg(last.paragraphs)
                     .arg(last.pages)
                     .arg(median(compose), 0, 'f', 0)
                     .arg(median(rtf), 0, 'f', 0)
                     .arg(median(layout), 0, 'f', 0)
                     .arg(median(paint), 0, 'f', 0)});

    for (const auto &m : messages.messages)
        results.addNote(QStringLiteral("%1: the program reported: %2").arg(set.label, m.text));
}

void benchmarkFetch(const DataSet &set, const Options &options, Results &results) {
    progress(set, QStringLiteral("fetch: access layer, Qt driver, client API"));
    const QString path = dbsettings::databasePath(set.directory);
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
    QStringList agreement;
    for (size_t i = 1; i < readers.size(); ++i) {
        const bool same = checks[i].rows() == checks[0].rows() && checks[i].checksum() == checks[0].checksum();
        agreement << QStringLiteral("%1 %2 the access layer").arg(readers[i]->name(),
                                                                   same ? QStringLiteral("matches")
                                                                        : QStringLiteral("DIFFERS FROM"));
    }

    std::vector<std::vector<double>> times(readers.size());
    for (int round = 0; round < options.fetchRounds; ++round) {
        for (size_t k = 0; k < readers.size(); ++k) {
            const size_t i = (k + size_t(round)) % readers.size(); // rotate who goes first
            CellSink sink(CellSink::Light);
            QElapsedTimer timer;
            timer.start();
            readers[i]->read(sink);
            times[i].push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    const char *const labels[] = {"(a) access layer", "(b) Qt QIBASE driver", "(c) bare client API"};
    for (size_t i = 0; i < readers.size(); ++i) {
        QString note = QStringLiteral("text: ") + readers[i]->textConversion();
        if (i == 0)
            note = QStringLiteral("%1 rows x 13 columns; ").arg(checks[0].rows()) + note;
        results.add({set.label, QStringLiteral("fetch, board query \"%\" to the end"), QLatin1String(labels[i]),
                     median(times[i]), QStringLiteral("ms"), std::nullopt, note});
    }
    const double a = median(times[0]), b = median(times[1]), c = median(times[2]);
    results.add({set.label, QStringLiteral("fetch ratio"), QStringLiteral("a/b (ours vs Qt's driver)"), a / b,
                 QStringLiteral("x"), kFetchVsQtTarget, agreement.value(0)});
    results.add({set.label, QStringLiteral("fetch ratio"), QStringLiteral("a/c (ours vs bare loop)"), a / c,
                 QStringLiteral("x"), kFetchVsBareTarget, agreement.value(1)});
}

} // namespace

void benchmarkDataSet(const DataSet &set, const Options &options, Results &results) {
    const auto step = [&](const char *name, auto &&run) {
        try {
            run();
        } catch (const std::exception &e) {
            results.addNote(QStringLiteral("%1: %2 failed: %3").arg(set.label, QLatin1String(name),
                                                                    QString::fromUtf8(e.what())));
        }
    };
    step("start-up", [&] { benchmarkStartup(set, options, results); });
    step("memory", [&] { benchmarkMemory(set, options, results); });
    step("main window", [&] { benchmarkWindow(set, options, results); });
    step("fetch", [&] { benchmarkFetch(set, options, results); });
}

} // namespace bench
