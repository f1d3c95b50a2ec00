// vizitar-bench: the speed and memory figures of the program on generated
// data sets, printed as a table and written as JSON.
#include "BenchResults.h"
#include "DatasetBench.h"
#include "MemoryProbe.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <ibase.h>

#include <cstdio>

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kontakty"));
    QApplication::setOrganizationName(QStringLiteral("Qorvel"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Measures the program on generated data sets."));
    parser.addHelpOption();
    const QCommandLineOption dataset(
        QStringLiteral("dataset"),
        QStringLiteral("A data set as LABEL=DIR, DIR holding Tabulky/KONTAKTY.GDB (repeatable)."),
        QStringLiteral("label=dir"));
    const QCommandLineOption program(QStringLiteral("program"),
                                     QStringLiteral("The built vizitar, for the start-up figures."),
                                     QStringLiteral("path"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Write the figures here."),
                                  QStringLiteral("path"));
    const QCommandLineOption quick(QStringLiteral("quick"),
                                   QStringLiteral("Fewer repetitions (a smoke run)."));
    const QCommandLineOption probe(QStringLiteral("probe-memory"),
                                   QStringLiteral("Internal: the memory probe child."),
                                   QStringLiteral("dir"));
    const QCommandLineOption only(
        QStringLiteral("only"),
        QStringLiteral(
            "Run only this scenario: start-up, memory, main window or fetch (repeatable)."),
        QStringLiteral("scenario"));
    parser.addOptions({dataset, program, json, quick, only, probe});
    parser.process(app);

    if (parser.isSet(probe))
        return bench::runMemoryProbe(parser.value(probe));

    // Paths are resolved now: the main window makes its base directory the
    // current directory.
    const auto absolute = [](const QString &path) {
        return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
    };
    bench::Options options;
    options.program = absolute(parser.value(program));
    options.self = QCoreApplication::applicationFilePath();
    options.only = parser.values(only);
    if (parser.isSet(quick)) {
        options.startupRuns = 2;
        options.typingPasses = 1;
        options.fetchRounds = 2;
        options.cardRuns = 2;
    }

    bench::Results results;
    QJsonObject machine = bench::describeMachine();
    char client[128] = {};
    isc_get_client_version(client);
    machine.insert(QStringLiteral("firebird client"), QString::fromLatin1(client));
    results.setMachine(machine);

    std::vector<bench::DataSet> sets;
    for (const QString &entry : parser.values(dataset)) {
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        sets.push_back({entry.left(equals), absolute(entry.mid(equals + 1))});
    }
    if (sets.empty()) {
        std::fprintf(stderr, "vizitar-bench: give at least one --dataset LABEL=DIR\n");
        return 2;
    }
    const QString jsonPath = absolute(parser.value(json));
    for (const bench::DataSet &set : sets)
        bench::benchmarkDataSet(set, options, results);

    std::printf("\nMachine: %s, %d cores, %s, Qt %s, Firebird client %s\n\n",
                qPrintable(machine.value(QStringLiteral("cpu")).toString()),
                machine.value(QStringLiteral("cores")).toInt(),
                qPrintable(machine.value(QStringLiteral("memory")).toString()),
                qPrintable(machine.value(QStringLiteral("qt")).toString()), client);
    results.print(stdout);
    if (!jsonPath.isEmpty() && !results.writeJson(jsonPath)) {
        std::fprintf(stderr, "vizitar-bench: cannot write %s\n", qPrintable(jsonPath));
        return 1;
    }
    return 0;
}
