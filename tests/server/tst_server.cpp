// The access layer as a client of a real Firebird server: connection
// strings, logins, two connections side by side, a server that goes away.
#include "support/SilentLink.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"

#include "db/FbStatement.h"

#include <QElapsedTimer>
#include <QSignalSpy>

using db::DbConnection;
using db::DbError;

namespace {

void point(DbConnection &db, const TestServer &server, const QString &target,
           const QString &password) {
    db.setDatabase(target);
    db.setUser(server.user());
    db.setPassword(password);
}

qint64 countRows(DbConnection &db) {
    const auto cursor = db.openCursor("SELECT COUNT(*) FROM T", {});
    db::PackedRow row;
    return cursor->fetch(row) ? row.cell(0).num : -1;
}

} // namespace

class TestServerAccess : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    QString target;

    void open(DbConnection &db) { point(db, *server, target, server->password()); }

  private slots:
    void init() {
        SKIP_WITHOUT_SERVER();
        server = std::make_unique<TestServer>();
        QVERIFY2(server->start(), qPrintable(server->errorString()));
        target = server->target(QStringLiteral("x.fdb"));
        QVERIFY_DB(DbConnection::createDatabase(target, server->user(), server->password(), false));
        DbConnection db;
        open(db);
        QVERIFY_DB(
            db.executeCommitted("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, N INTEGER)", {}));
        QVERIFY_DB(db.executeCommitted("INSERT INTO T (ID, N) VALUES (1, 0)", {}));
    }
    void cleanup() { server.reset(); }

    void aWrongPasswordIsRefusedTheRightOneAdmitted() {
        DbConnection db;
        point(db, *server, target, server->password() + QStringLiteral("x"));
        try {
            db.setConnected(true);
            QFAIL("a wrong password was admitted");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::LoginRefused);
        }
        QVERIFY(!db.isConnected());
        db.setPassword(server->password());
        QVERIFY_DB(db.setConnected(true));
        QCOMPARE(countRows(db), 1);
        // A file that is not there is no login problem.
        DbConnection missing;
        point(missing, *server, server->target(QStringLiteral("none.fdb")), server->password());
        try {
            missing.setConnected(true);
            QFAIL("a missing database was attached");
        } catch (const DbError &e) {
            QVERIFY2(e.kind() != DbError::Kind::LoginRefused, qPrintable(e.message()));
        }
    }

    void twoConnectionsSeeEachOthersCommittedChanges() {
        DbConnection a, b;
        open(a);
        open(b);
        QCOMPARE(countRows(a), 1);
        QCOMPARE(countRows(b), 1);
        QVERIFY_DB(a.executeCommitted("INSERT INTO T (ID, N) VALUES (2, 0)", {}));
        QCOMPARE(countRows(b), 2);
        QVERIFY_DB(b.executeCommitted("DELETE FROM T WHERE ID = 1", {}));
        QCOMPARE(countRows(a), 1);
    }

    void aWriteOverAnUnfinishedChangeWaitsThenTimesOut() {
        DbConnection a, b;
        open(a);
        open(b);
        QVERIFY_DB(a.setConnected(true));
        QVERIFY_DB(b.setConnected(true));
        DbConnection::setLockTimeoutSeconds(2);
        db::WriteTransaction holding(a);
        db::FbStatement update(a, holding.handle());
        QVERIFY_DB(update.prepare("UPDATE T SET N = 1 WHERE ID = 1"); update.execute());
        QElapsedTimer waited;
        waited.start();
        try {
            b.executeCommitted("UPDATE T SET N = 2 WHERE ID = 1", {});
            QFAIL("the write went over an unfinished change");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::LockTimeout);
            QCOMPARE(e.message(), db::texts::kLockTimeout);
        }
        DbConnection::setLockTimeoutSeconds(5);
        // The server waits for the holder (its clock ticks in whole
        // seconds), but not for ever.
        QVERIFY2(waited.elapsed() >= 900, qPrintable(QString::number(waited.elapsed())));
        QVERIFY2(waited.elapsed() < 10000, qPrintable(QString::number(waited.elapsed())));
    }

    void aStoppedServerIsReportedAndTheConnectionComesBack() {
        DbConnection db;
        open(db);
        QCOMPARE(countRows(db), 1);
        QSignalSpy lost(&db, &DbConnection::connectionLost);
        server->stop();
        try {
            countRows(db);
            QFAIL("a stopped server answered");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::ConnectionLost);
        }
        QCOMPARE(lost.count(), 1);
        QVERIFY(!db.isConnected());
        // While it is down, every statement says so again.
        try {
            countRows(db);
            QFAIL("a stopped server answered");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::ConnectionLost);
        }
        QVERIFY2(server->start(), qPrintable(server->errorString()));
        QCOMPARE(countRows(db), 1);
        QVERIFY_DB(db.executeCommitted("INSERT INTO T (ID, N) VALUES (3, 0)", {}));
        QCOMPARE(countRows(db), 2);
    }

    /// A link that falls silent (no answer, no refusal) is given up after
    /// the stall limit instead of hanging the program; while it stays
    /// silent, connecting again is given up too; once it is back, the next
    /// statement connects again and nothing half-done was stored.
    void aSilentLinkIsGivenUpAndTheConnectionComesBack() {
        SilentLink link(server->port());
        QVERIFY(link.start());
        DbConnection db;
        point(db, *server,
              QStringLiteral("127.0.0.1/%1:%2").arg(link.port()).arg(server->dataDir() + "/x.fdb"),
              server->password());
        db.setStallLimit(std::chrono::seconds(2));
        QCOMPARE(countRows(db), qint64(1));
        QSignalSpy lost(&db, &DbConnection::connectionLost);

        link.cut(true);
        QElapsedTimer clock;
        clock.start();
        try {
            db.executeCommitted("UPDATE T SET N = 1 WHERE ID = 1", {});
            QFAIL("a write over a silent link succeeded");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::ConnectionLost);
        }
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(lost.count(), 1);

        clock.restart();
        try {
            countRows(db);
            QFAIL("a silent link gave an answer");
        } catch (const DbError &) {
        }
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));

        link.cut(false);
        QCOMPARE(countRows(db), qint64(1));
        const auto cursor = db.openCursor("SELECT N FROM T WHERE ID = 1", {});
        db::PackedRow row;
        QVERIFY(cursor->fetch(row));
        QCOMPARE(row.cell(0).num, qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestServerAccess)
#include "tst_server.moc"
