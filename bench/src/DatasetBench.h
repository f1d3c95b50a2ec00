#pragma once

#include "BenchResults.h"

#include <QString>
#include <QStringList>

namespace bench {

struct Options {
    QString program;      ///< the built vizitar, copied beside each data set
    QString self;         ///< this program, run again as the memory probe
    int startupRuns = 5;  ///< after one warm-up run
    int typingPasses = 3; ///< over the typed prefixes, after one warm-up pass
    int fetchRounds = 5;  ///< each reader once per round, after one checking read
    int cardRuns = 5;     ///< after one warm-up run
    /// Scenarios to run ("start-up", "memory", "main window", "fetch");
    /// empty for all. Handy for profiling one of them.
    QStringList only;
};

/// A data set: its label ("companies/contacts") and the directory that
/// holds Tabulky/KONTAKTY.GDB.
struct DataSet {
    QString label;
    QString directory;
};

/// Start-up and memory (child processes first: the embedded engine opens a
/// file for one process at a time), then keystroke and company card through
/// the main window, then the three-way fetch.
void benchmarkDataSet(const DataSet &set, const Options &options, Results &results);

} // namespace bench
