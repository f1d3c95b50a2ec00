// The row cache tells the truth: no row twice, no write over someone else's
// change, only changed columns written, and consistent state after failures.
#include "support/DataFixture.h"

#include "db/FbStatement.h"

#include <QElapsedTimer>
#include <QSignalSpy>

using dataset::Dataset;
using db::DbError;

namespace {

/// The id of a BLOB as stored, read through the test's own connection.
qint64 blobIdOf(TestDatabase &db, const QString &sql) {
    auto cursor = db.connection().openCursor(sql.toLatin1(), {});
    db::PackedRow row;
    if (!cursor->fetch(row) || row.tag(0) != db::Cell::BlobId)
        return -1;
    return row.cell(0).num;
}

QStringList valuesOf(Dataset &t, const QString &column) {
    QStringList out;
    t.first();
    const int rows = t.recordCount();
    for (int i = 0; i < rows; ++i)
        out << t.valueAt(i, t.columnIndex(column)).toString();
    return out;
}

} // namespace

class TestIntegrity : public QObject {
    Q_OBJECT

    std::unique_ptr<DataFixture> f;

    void addCompanies(int count) {
        QList<QVariantList> rows;
        for (int i = 1; i <= count; ++i)
            rows << QVariantList{i, QStringLiteral("Firma %1").arg(i, 3, 10, QLatin1Char('0'))};
        f->connection().executeBatch("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (?, ?)", rows);
    }

  private slots:
    void init() {
        f = std::make_unique<DataFixture>();
        addCompanies(300);
        f->openAll();
    }
    void cleanup() { f.reset(); }

    void aRowInsertedMidWayIsListedOnce() {
        Dataset &t = f->dm->tFIRMA;
        QVERIFY2(t.fetchedCount() < 300, "the cursor must still be open for this case");
        t.next();
        QVERIFY_DB(t.insert());
        t.fieldByName(QStringLiteral("ID"))->setAsInteger(301);
        t.fieldByName(QStringLiteral("NAZEV_FIRMA"))->setAsString(QStringLiteral("Omega"));
        QVERIFY_DB(t.post());
        const QStringList names = valuesOf(t, QStringLiteral("NAZEV_FIRMA"));
        QCOMPARE(names.size(), 301);
        QCOMPARE(names.count(QStringLiteral("Omega")), 1);
        QCOMPARE(names.at(2), QStringLiteral("Omega")); // where it was inserted

        // Two edits of the one row: the second never reverts the first.
        QVERIFY(t.locate(QStringLiteral("ID"), {301}));
        QVERIFY_DB(t.edit();
                   t.fieldByName(QStringLiteral("TELEFON1"))->setAsString(QStringLiteral("111"));
                   t.post());
        t.last();
        QVERIFY(t.locate(QStringLiteral("ID"), {301}));
        QVERIFY_DB(t.edit();
                   t.fieldByName(QStringLiteral("FAX"))->setAsString(QStringLiteral("222"));
                   t.post());
        const auto stored =
            f->rows(QStringLiteral("SELECT TELEFON1, FAX FROM FIRMA WHERE ID = 301"));
        QCOMPARE(stored, (QList<QVariantList>{{QStringLiteral("111"), QStringLiteral("222")}}));
    }

    void aRowThisDatasetWroteIsStillListedAfterARefresh() {
        Dataset &t = f->dm->tFIRMA;
        QVERIFY_DB(t.edit();
                   t.fieldByName(QStringLiteral("TELEFON1"))->setAsString(QStringLiteral("111"));
                   t.post());
        t.next(); // the refresh reads past the written row to find the current one
        QVERIFY_DB(t.refresh());
        QCOMPARE(t.fieldByName(QStringLiteral("ID"))->asInteger(), 2);
        QVERIFY(t.locate(QStringLiteral("ID"), {1}));
        QCOMPARE(t.fieldByName(QStringLiteral("TELEFON1"))->asString(), QStringLiteral("111"));
        QCOMPARE(t.recordCount(), 300);
    }

    void aTableWithoutKeyChangesOnlyTheRowShown() {
        // Two settings rows alike in every column.
        f->exec(QStringLiteral("INSERT INTO NASTAVENI SELECT * FROM NASTAVENI"));
        Dataset &t = f->dm->ztUpdateNastaveni;
        QVERIFY_DB(t.close(); t.open());
        QCOMPARE(t.recordCount(), 2);
        QVERIFY_DB(t.edit(); t.fieldByName(QStringLiteral("VERZE_VEDLEJSI"))->setAsInteger(7);
                   t.post());
        QCOMPARE(f->count(QStringLiteral("NASTAVENI"), QStringLiteral("VERZE_VEDLEJSI = 7")), 1);
        QVERIFY_DB(t.deleteRecord());
        QCOMPARE(f->count(QStringLiteral("NASTAVENI")), 1);
        // A row inserted into a table without key is not listed twice either.
        QVERIFY_DB(t.insert(); t.fieldByName(QStringLiteral("VERZE_HLAVNI"))->setAsInteger(3);
                   t.post());
        QCOMPARE(t.recordCount(), 2);
    }

    void writesOverAnotherConnectionsChangeAreRefused_data() {
        QTest::addColumn<QString>("otherChange");
        QTest::newRow("changed") << QStringLiteral(
            "UPDATE FIRMA SET NAZEV_FIRMA = 'Jejich' WHERE ID = 1");
        QTest::newRow("deleted") << QStringLiteral("DELETE FROM FIRMA WHERE ID = 1");
    }
    void writesOverAnotherConnectionsChangeAreRefused() {
        QFETCH(QString, otherChange);
        const bool deleted = otherChange.startsWith(QStringLiteral("DELETE"));
        Dataset &t = f->dm->tFIRMA;
        QCOMPARE(t.fieldByName(QStringLiteral("ID"))->asInteger(), 1);
        t.edit();
        t.fieldByName(QStringLiteral("NAZEV_FIRMA"))->setAsString(QStringLiteral("Moje"));
        f->exec(otherChange);

        QCOMPARE_DB_ERROR(t.post(), db::texts::kConflict);
        QCOMPARE(t.state(), Dataset::State::Edit);
        QCOMPARE(t.fieldByName(QStringLiteral("NAZEV_FIRMA"))->asString(), QStringLiteral("Moje"));
        QCOMPARE_DB_ERROR(t.post(), db::texts::kConflict); // still refused, never forced
        QCOMPARE(f->rows(QStringLiteral("SELECT NAZEV_FIRMA FROM FIRMA WHERE ID = 1")),
                 deleted ? QList<QVariantList>{} : QList<QVariantList>{{QStringLiteral("Jejich")}});

        t.cancel(); // shows what is stored now
        if (deleted) {
            QCOMPARE(t.fieldByName(QStringLiteral("ID"))->asInteger(), 2);
            QCOMPARE(t.recordCount(), 299);
        } else {
            QCOMPARE(t.fieldByName(QStringLiteral("NAZEV_FIRMA"))->asString(),
                     QStringLiteral("Jejich"));
            // ...and the stored version can now be edited.
            QVERIFY_DB(
                t.edit();
                t.fieldByName(QStringLiteral("NAZEV_FIRMA"))->setAsString(QStringLiteral("Naše"));
                t.post());
            QCOMPARE(
                f->scalar(QStringLiteral("SELECT NAZEV_FIRMA FROM FIRMA WHERE ID = 1")).toString(),
                QStringLiteral("Naše"));
        }
    }

    void aDeleteOfARowChangedElsewhereIsRefused() {
        Dataset &t = f->dm->tFIRMA;
        f->exec(QStringLiteral("UPDATE FIRMA SET TELEFON1 = '5' WHERE ID = 1"));
        QCOMPARE_DB_ERROR(t.deleteRecord(), db::texts::kDeleteConflict);
        QCOMPARE(f->count(QStringLiteral("FIRMA"), QStringLiteral("ID = 1")), 1);
        QCOMPARE(t.fieldByName(QStringLiteral("TELEFON1"))->asString(), QStringLiteral("5"));
        QVERIFY_DB(t.deleteRecord()); // the version now shown can be deleted
        QCOMPARE(f->count(QStringLiteral("FIRMA"), QStringLiteral("ID = 1")), 0);
    }

    void aWriteMeetingAnUnfinishedChangeIsRefusedWithoutHanging() {
        db::DbConnection::setLockTimeoutSeconds(2);
        // Another connection changes the row and keeps its transaction open.
        db::WriteTransaction other(f->connection());
        db::FbStatement update(f->connection(), other.handle());
        update.prepare("UPDATE FIRMA SET KOD = 'cizí' WHERE ID = 1");
        update.execute();
        Dataset &t = f->dm->tFIRMA;
        t.edit();
        t.fieldByName(QStringLiteral("KOD"))->setAsString(QStringLiteral("můj"));
        QElapsedTimer waited;
        waited.start();
        try {
            t.post();
            QFAIL("a write over an unfinished change must be refused");
        } catch (const DbError &e) {
            QVERIFY2(e.kind() == DbError::Kind::Conflict || e.kind() == DbError::Kind::LockTimeout,
                     qPrintable(e.message()));
        }
        QVERIFY(waited.elapsed() < 10000);
        QCOMPARE(t.state(), Dataset::State::Edit);
        QCOMPARE(t.fieldByName(QStringLiteral("KOD"))->asString(), QStringLiteral("můj"));
        db::DbConnection::setLockTimeoutSeconds(5);
    }

    void anEditWritesOnlyTheChangedColumns() {
        f->exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI, KRAJ, OBR, POZNAMKA) "
                               "VALUES (1, 1, 'Nový', ' ', ?, 'poznámka')"),
                {QByteArray(200000, 'j')});
        const QString photoId = QStringLiteral("SELECT OBR FROM KONTAKT WHERE ID = 1");
        const QString noteId = QStringLiteral("SELECT POZNAMKA FROM KONTAKT WHERE ID = 1");
        const qint64 photoBefore = blobIdOf(*f, photoId);
        const qint64 noteBefore = blobIdOf(*f, noteId);
        Dataset &t = f->dm->tKONTAKT;
        QVERIFY_DB(t.close(); t.open());
        QVERIFY_DB(
            t.edit();
            t.fieldByName(QStringLiteral("TELEFON1"))->setAsString(QStringLiteral("603 111 222"));
            t.post());
        QCOMPARE(blobIdOf(*f, photoId), photoBefore);
        QCOMPARE(blobIdOf(*f, noteId), noteBefore);
        QCOMPARE(f->scalar(QStringLiteral("SELECT TELEFON1 FROM KONTAKT WHERE ID = 1")).toString(),
                 QStringLiteral("603 111 222"));
        QCOMPARE(t.fieldByName(QStringLiteral("OBR"))->asBytes().size(), 200000);
    }

    void aFetchThatFailsStopsFetching() {
        dataset::QueryDataset q(QStringLiteral("qFails"), &f->dm->ZConKontakty);
        q.setSql(QStringLiteral(
            "SELECT ID, 100 / (ID - CAST(:Zero AS INTEGER)) AS X FROM FIRMA ORDER BY ID"));
        q.paramByName(QStringLiteral("Zero"))->setAsInteger(150);
        QVERIFY_DB(q.open());
        bool failed = false;
        try {
            q.fetchMore(1000);
        } catch (const DbError &) {
            failed = true;
        }
        QVERIFY(failed);
        QVERIFY(!q.canFetchMore()); // a view scrolling on gets no further error
        QVERIFY_DB(q.fetchMore(10));
        QCOMPARE(q.fetchedCount(), 149);
        QVERIFY(q.isActive());

        // A refresh that fails keeps the rows and tells the views.
        q.paramByName(QStringLiteral("Zero"))->setAsInteger(1);
        QSignalSpy resets(&q, &Dataset::reset);
        QVERIFY_THROWS_EXCEPTION(DbError, q.refresh());
        QCOMPARE(q.fetchedCount(), 149);
        QCOMPARE(resets.count(), 1);

        // An open that fails leaves the dataset closed.
        q.close();
        QVERIFY_THROWS_EXCEPTION(DbError, q.open());
        QVERIFY(!q.isActive());
        QCOMPARE(q.fetchedCount(), 0);
    }

    void aLostConnectionIsRecognisedAndReconnects() {
        Dataset &t = f->dm->tFIRMA;
        const qint64 own = f->dm->ZConKontakty.isConnected()
                               ? [&] {
                                     dataset::QueryDataset id(QStringLiteral("qId"), &f->dm->ZConKontakty);
                                     id.setSql(QStringLiteral("SELECT CURRENT_CONNECTION FROM RDB$DATABASE"));
                                     id.open();
                                     return id.fields().front()->asInteger();
                                 }()
                               : -1;
        QVERIFY(own > 0);
        QSignalSpy lost(&f->dm->ZConKontakty, &db::DbConnection::connectionLost);
        f->exec(
            QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = %1").arg(own));
        try {
            t.edit();
            t.fieldByName(QStringLiteral("TELEFON1"))->setAsString(QStringLiteral("1"));
            t.post();
            QFAIL("a write on a lost connection must fail");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::ConnectionLost);
        }
        QCOMPARE(lost.count(), 1);
        QVERIFY(!f->dm->ZConKontakty.isConnected());
        QCOMPARE(t.state(), Dataset::State::Edit); // the typing is kept
        QVERIFY_DB(t.post());                      // and written once connected again
        QCOMPARE(f->scalar(QStringLiteral("SELECT TELEFON1 FROM FIRMA WHERE ID = 1")).toString(),
                 QStringLiteral("1"));
    }

    void theBlobCacheIsBounded() {
        QList<QVariantList> rows;
        for (int i = 1; i <= 40; ++i)
            rows << QVariantList{i, QByteArray(1024 * 1024, char(i))};
        f->connection().executeBatch(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, KRAJ, OBR) VALUES (?, 1, ' ', ?)", rows);
        Dataset &t = f->dm->tKONTAKT;
        QVERIFY_DB(t.close(); t.open());
        for (int i = 1; i <= 40; ++i, t.next())
            QCOMPARE(t.fieldByName(QStringLiteral("OBR"))->asBytes().at(0),
                     char(t.fieldByName("ID")->asInteger()));
        // Walking back reads the old photos again, correctly.
        t.first();
        QCOMPARE(t.fieldByName(QStringLiteral("OBR"))->asBytes(), QByteArray(1024 * 1024, char(1)));
    }
};

QTEST_GUILESS_MAIN(TestIntegrity)
#include "tst_integrity.moc"
