#pragma once

#include <QString>

namespace bench {

/// The child side of the memory figures: starts the main window on the
/// database under `baseDirectory` as the program does, then reads every
/// KONTAKT row through tKONTAKT. Prints "name=value" lines (KiB) to standard
/// output. Returns the process exit code.
int runMemoryProbe(const QString &baseDirectory);

/// What the probe reported, read back by the parent.
struct ProbeFigures {
    qint64 baselinePeakKb = 0;    ///< after QApplication, before the database
    qint64 startupRssKb = 0;      ///< resident once the whole register is read
    qint64 startupPeakKb = 0;     ///< main window shown with the board
    qint64 recordCountPeakKb = 0; ///< after tKONTAKT.recordCount()
    int contactRows = 0;
};
/// Runs this program as a probe child; throws std::runtime_error on failure.
ProbeFigures probeMemory(const QString &self, const QString &baseDirectory);

} // namespace bench
