#include "MemoryProbe.h"

#include "BenchStats.h"
#include "ChildRuns.h"
#include "app/U_deska.h"
#include "base/MessageService.h"
#include "data/U_DM.h"
#include "grid/DataGrid.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QProcess>

#include <cstdio>
#include <stdexcept>

namespace bench {

int runMemoryProbe(const QString &baseDirectory) {
    base::msg::Recorder messages;
    const Memory baseline = ownMemory();
    TDM dm;
    DM = &dm;
    Tfm_Deska window(dm, baseDirectory);
    window.show();
    QCoreApplication::processEvents();
    dm.completeBoard(); // after start-up: the whole register read
    if (window.ui().gHlavniDeska)
        window.ui().gHlavniDeska->grab();
    const Memory startup = ownMemory();
    const int rows = dm.tKONTAKT.recordCount();
    const Memory afterCount = ownMemory();
    std::printf("startup_rss_kb=%lld\n", startup.currentKb);
    std::printf("baseline_peak_kb=%lld\nstartup_peak_kb=%lld\nrecordcount_peak_kb=%lld\n"
                "contact_rows=%d\nmessages=%d\n",
                baseline.peakKb, startup.peakKb, afterCount.peakKb, rows,
                int(messages.messages.size()));
    DM = nullptr;
    for (const auto &m : messages.messages)
        std::fprintf(stderr, "the program reported: %s\n", qPrintable(m.text));
    return messages.messages.empty() ? 0 : 1;
}

ProbeFigures probeMemory(const QString &self, const QString &baseDirectory) {
    QProcess child;
    child.setProcessEnvironment(
        unattendedEnvironment(QDir::temp().filePath(QStringLiteral("vizitar-bench-probe.log"))));
    child.start(self, {QStringLiteral("--probe-memory"), baseDirectory});
    if (!child.waitForFinished(300000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0)
        throw std::runtime_error("the memory probe failed: " +
                                 child.readAllStandardError().toStdString());
    ProbeFigures f;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals);
        const qint64 value = line.mid(equals + 1).toLongLong();
        if (key == "baseline_peak_kb")
            f.baselinePeakKb = value;
        else if (key == "startup_rss_kb")
            f.startupRssKb = value;
        else if (key == "startup_peak_kb")
            f.startupPeakKb = value;
        else if (key == "recordcount_peak_kb")
            f.recordCountPeakKb = value;
        else if (key == "contact_rows")
            f.contactRows = int(value);
    }
    return f;
}

} // namespace bench
