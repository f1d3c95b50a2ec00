// Crash durability: a writer confirms rows through the data module and is
// killed with SIGKILL at random moments. Every confirm that returned must be
// in the database, nothing else half-written, and the file must validate.
#include "DurabilityPlan.h"
#include "support/ChildProcess.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>

#ifndef DURABILITY_WRITER
#error "DURABILITY_WRITER must name the writer helper"
#endif
#ifndef INITDB_TOOL
#error "INITDB_TOOL must name kontakty-initdb"
#endif

namespace {

constexpr int kRounds = 50;

/// A value of the database header as fbstat -h prints it ("Attributes", "Page buffers").
QString headerValue(const QString &path, const QString &name) {
    QProcess stat;
    stat.start(QStringLiteral("fbstat"), {QStringLiteral("-h"), path});
    stat.waitForFinished(60000);
    for (const QString &line :
         QString::fromLocal8Bit(stat.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.trimmed().startsWith(name))
            return line.trimmed().mid(name.size()).trimmed();
    return QStringLiteral("(no line %1)").arg(name);
}

QString headerAttributes(const QString &path) {
    return headerValue(path, QStringLiteral("Attributes"));
}

durability::Content content(TestDatabase &db, int round) {
    durability::Content c;
    const QVariantList range{round * 1000, round * 1000 + 999};
    for (const QVariantList &r : db.rows(
             QStringLiteral(
                 "SELECT ID, NAZEV_FIRMA, POPIS, IIF(EXISTS (SELECT 1 FROM KONTAKT K "
                 "WHERE K.ID_FIRMA = F.ID), '|listed', '') FROM FIRMA F WHERE ID BETWEEN ? AND ?"),
             range))
        c[QStringLiteral("F%1").arg(r[0].toInt())] =
            r[1].toString() + QLatin1Char('|') + r[2].toString() + r[3].toString();
    for (const QVariantList &r :
         db.rows(QStringLiteral(
                     "SELECT ID_FIRMA, PRIJMENI, OBR FROM KONTAKT WHERE ID_FIRMA BETWEEN ? AND ? "
                     "AND KRAJ <> '***'"),
                 range))
        c[QStringLiteral("K%1").arg(r[0].toInt())] =
            r[1].toString() + QLatin1Char('|') + durability::digest(r[2].toByteArray());
    return c;
}

/// Runs the writer for `round` until `lifetime` ms after it is ready, then
/// kills it. Returns the number of confirms it reported, or -1 when it
/// never got ready.
int runAndKill(const QString &path, int round, int lifetime) {
    ChildProcess writer(QStringLiteral(DURABILITY_WRITER), {path, QString::number(round)});
    if (!writer.start())
        return -1;
    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    while (!output.contains("ready\n") && clock.elapsed() < 60000 &&
           writer.process().waitForReadyRead(1000))
        output += writer.process().readAllStandardOutput();
    if (!output.contains("ready\n"))
        return -1;
    clock.restart();
    while (clock.elapsed() < lifetime)
        writer.process().waitForReadyRead(int(qMax<qint64>(1, lifetime - clock.elapsed())));
    writer.killHard();
    output += writer.process().readAllStandardOutput();
    int confirmed = 0;
    for (const QByteArray &line : output.split('\n')) {
        if (!line.startsWith("confirmed "))
            continue;
        if (line.mid(10).toInt() != confirmed)
            return -2; // out of order: the writer is broken, not the database
        ++confirmed;
    }
    return confirmed;
}

} // namespace

class TestDurability : public QObject {
    Q_OBJECT
  private slots:
    void toolMakesFilesWithForcedWrites() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("NOVA.GDB"));
        QCOMPARE(QProcess::execute(QStringLiteral(INITDB_TOOL), {path}), 0);
        QCOMPARE(headerAttributes(path), QStringLiteral("force write"));
        // A small page cache of its own: the program keeps what it reads.
        QCOMPARE(headerValue(path, QStringLiteral("Page buffers")), QStringLiteral("256"));
    }

    void confirmsSurviveKillsAtRandomMoments() {
        TestDatabase db;
        db.disconnect();
        QCOMPARE(QProcess::execute(QStringLiteral("gfix"),
                                   {QStringLiteral("-write"), QStringLiteral("sync"),
                                    QStringLiteral("-user"), QStringLiteral("SYSDBA"), db.path()}),
                 0);
        QCOMPARE(headerAttributes(db.path()), QStringLiteral("force write"));

        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("random moments from seed %u", seed);
        QRandomGenerator moments(seed);
        QList<durability::Content> accepted;
        int confirms = 0, inFlightKept = 0;
        for (int round = 0; round < kRounds; ++round) {
            const int lifetime = moments.bounded(20, 700);
            const int confirmed = runAndKill(db.path(), round, lifetime);
            QVERIFY2(confirmed >= 0,
                     qPrintable(QStringLiteral("round %1: the writer did not run").arg(round)));
            const durability::Content found = content(db, round);
            db.disconnect();
            const bool exact = found == durability::expected(round, confirmed);
            // The confirm under way when the kill came may have committed.
            const bool oneMore = found == durability::expected(round, confirmed + 1);
            QVERIFY2(exact || oneMore,
                     qPrintable(QStringLiteral("round %1 after %2 confirms (killed at %3 ms): "
                                               "the rows match neither state")
                                    .arg(round)
                                    .arg(confirmed)
                                    .arg(lifetime)));
            confirms += confirmed;
            inFlightKept += oneMore && !exact;
            accepted << found;
        }
        // Later rounds left the earlier ones alone.
        for (int round = 0; round < kRounds; ++round)
            QVERIFY2(content(db, round) == accepted[round],
                     qPrintable(QStringLiteral("round %1 changed").arg(round)));
        db.disconnect();
        QCOMPARE(validateDatabase(db.path()), QString());
        qInfo("%d rounds killed, %d confirms returned and found, %d confirms under way found "
              "committed",
              kRounds, confirms, inFlightKept);
        QVERIFY(confirms > kRounds); // the kills did not all come before the first confirm
    }
};

QTEST_GUILESS_MAIN(TestDurability)
#include "tst_durability.moc"
