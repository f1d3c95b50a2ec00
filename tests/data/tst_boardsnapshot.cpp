// The board answered from memory: row by row what the board statement gives
// on the server, for generated registers and a few hundred typed texts, and
// never stale after a change committed elsewhere.
#include "support/DataFixture.h"

#include "data/ChangeLog.h"
#include "data/VersionCheck.h"

#include <QRandomGenerator>

#include <atomic>
#include <thread>

using dataset::Dataset;

namespace {

/// Texts that catch the folding, the wildcards, the blanks and the order.
const QStringList kNamePieces = {
    QStringLiteral("Novák"), QStringLiteral("NOVÁK"), QStringLiteral("nováková"),
    QStringLiteral("Černý"), QStringLiteral("čermák"), QStringLiteral("Řezníček"),
    QStringLiteral("ŘÍHA"), QStringLiteral("Šťastný"), QStringLiteral("Žák"),
    QStringLiteral("ůžasný"), QStringLiteral("Dvořák"), QStringLiteral("50%"),
    QStringLiteral("a_b"), QStringLiteral("a b"), QStringLiteral("ab"), QStringLiteral("Strauß"),
    QStringLiteral("Łukasz"), QStringLiteral("Ödön"), QStringLiteral("Ťapka"), QStringLiteral("x "),
    QStringLiteral(" y"), QStringLiteral("Kos"), QStringLiteral("kOS"), QStringLiteral("Ďáblík"),
    // Control characters (a TAB from an import) sort below the blank.
    QStringLiteral("Alfa"), QStringLiteral("Alfa\tBeta"), QStringLiteral("Alfa\x01"),
    QStringLiteral("\x1f ")};

QVariant pick(QRandomGenerator &random, bool mayBeNull = true) {
    const int roll = int(random.bounded(20));
    if (mayBeNull && roll == 0)
        return QVariant();
    if (roll == 1)
        return QString();
    QString text = kNamePieces[int(random.bounded(kNamePieces.size()))];
    if (roll > 14)
        text += QLatin1Char(' ') + kNamePieces[int(random.bounded(kNamePieces.size()))];
    return text;
}

QString rowText(const Dataset &d, int row) {
    QStringList cells;
    for (int c = 0; c < data::board::ColumnCount; ++c) {
        const QVariant v = d.valueAt(row, d.fields()[c]->column());
        cells << (v.isNull() ? QStringLiteral("<null>") : v.toString());
    }
    return cells.join(QLatin1Char('|'));
}

/// The rows in runs of equal order key (name without trailing blanks, kind):
/// the statement orders by nothing else, so rows within a run may come in
/// any order. Rows `from` to `to` (-1: the end).
QList<QStringList> runs(Dataset &d, int from = 0, int to = -1) {
    QList<QStringList> out;
    QString lastKey;
    const int count = to < 0 ? d.recordCount() : to;
    for (int row = from; row < count; ++row) {
        QString name = d.valueAt(row, d.columnIndex(QStringLiteral("NAZEV_FIRMA"))).toString();
        while (name.endsWith(QLatin1Char(' ')))
            name.chop(1);
        const QString key =
            name + QLatin1Char('#') +
            d.valueAt(row, d.columnIndex(QStringLiteral("FLAG"))).toString() +
            (d.valueAt(row, d.columnIndex(QStringLiteral("NAZEV_FIRMA"))).isNull() ? "N" : "");
        if (out.isEmpty() || key != lastKey)
            out.append(QStringList());
        out.last() << rowText(d, row);
        lastKey = key;
    }
    for (QStringList &run : out)
        run.sort();
    return out;
}

void setPattern(dataset::QueryDataset &q, const QString &pattern,
                const QStringList &names = {"k1", "k2", "k3", "f1", "f2", "f3"}) {
    q.close();
    for (const QString &name : names)
        q.paramByName(name)->setAsString(pattern);
    q.open();
}

/// The board's last group on the server: contacts whose company is not
/// stored, matched by their names or, as a company of an empty name, by "%".
const char *const kNoCompanySql =
    "SELECT CAST(NULL AS INTEGER) AS ID_FIRMA, 2 AS FLAG, k.ID, k.PRIJMENI, k.JMENO, k.MOBIL, "
    "k.TELEFON1, k.EMAIL1, k.KRAJ, CAST(NULL AS VARCHAR(1)) AS NAZEV_FIRMA, "
    "CAST(NULL AS VARCHAR(1)), CAST(NULL AS VARCHAR(1)), CAST(NULL AS VARCHAR(1)) "
    "FROM KONTAKT k WHERE NOT EXISTS (SELECT 1 FROM FIRMA f WHERE f.ID = k.ID_FIRMA) "
    "AND k.KRAJ <> '***' AND (UPPER(k.PRIJMENI) LIKE UPPER(:p1) OR UPPER(k.JMENO) LIKE "
    "UPPER(:p2) OR '' LIKE CAST(:p3 AS VARCHAR(300)))";

/// Where the group of contacts of no company starts (its group line has no
/// company ID), or the row count.
int noCompanyGroup(Dataset &d) {
    const int count = d.recordCount();
    for (int row = 0; row < count; ++row)
        if (d.valueAt(row, d.columnIndex(QStringLiteral("ID_FIRMA"))).isNull())
            return row;
    return count;
}

} // namespace

class TestBoardSnapshot : public QObject {
    Q_OBJECT

    void fillRegister(DataFixture &f, quint32 seed, int companies, int contacts) {
        QRandomGenerator random(seed);
        QList<QVariantList> firms;
        // Phones and e-mails of the shapes kept encoded, and nearly so.
        const QVariant phones[] = {QStringLiteral("+420 602 489 724"),
                                   QStringLiteral("012 345 678"),
                                   QStringLiteral("+420 602 489 72"),
                                   QStringLiteral("602  489 724"),
                                   QStringLiteral("%1").arg(random.bounded(1000)),
                                   QVariant()};
        for (int id = 1; id <= companies; ++id)
            firms << QVariantList{id, pick(random), phones[id % 5], QVariant(),
                                  id % 3 ? QVariant(QStringLiteral("fax")) : phones[id % 6]};
        f.connection().executeBatch(
            "INSERT INTO FIRMA (ID, NAZEV_FIRMA, TELEFON1, MOBIL, FAX) VALUES (?, ?, ?, ?, ?)",
            firms);
        const QVariant regions[] = {QVariant(),
                                    QStringLiteral(" "),
                                    QStringLiteral("***"),
                                    QStringLiteral("*** "),
                                    QStringLiteral("***  "),
                                    QStringLiteral("Praha"),
                                    QString(),
                                    QStringLiteral(" ***")};
        QList<QVariantList> people;
        for (int id = 1; id <= contacts; ++id) {
            // The last tenth of the companies gets no contact at all; every
            // twelfth contact has no company (0 or NULL) or one no longer stored.
            QVariant company = 1 + int(random.bounded(companies - companies / 10));
            if (id % 12 == 0) {
                const QVariant none[] = {0, QVariant(), companies + 1 + id};
                company = none[id / 12 % 3];
            }
            const QString domains[] = {QStringLiteral("x.cz"), QStringLiteral("firma-1.cz"),
                                       QStringLiteral("firma-2.cz"), QStringLiteral("a@b.cz"),
                                       QString()};
            people << QVariantList{id,
                                   company,
                                   pick(random),
                                   pick(random),
                                   regions[random.bounded(8)],
                                   QStringLiteral("e%1@").arg(id) + domains[id % 5],
                                   phones[random.bounded(6)]};
        }
        f.connection().executeBatch("INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI, JMENO, KRAJ, "
                                    "EMAIL1, MOBIL) VALUES (?, ?, ?, ?, ?, ?, ?)",
                                    people);
    }

  private slots:
    void theSnapshotGivesWhatTheStatementGives_data() {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("register 1") << 1u;
        QTest::newRow("register 2") << 2u;
        QTest::newRow("register 3") << 3u;
    }
    void theSnapshotGivesWhatTheStatementGives() {
        QFETCH(quint32, seed);
        DataFixture f;
        fillRegister(f, seed, 60, 400);
        f.dm->setBoardHead(12);
        f.openAll();
        dataset::QueryDataset server(QStringLiteral("qServer"), &f.dm->ZConKontakty);
        server.setSql(TDM::boardSql());
        dataset::QueryDataset noCompany(QStringLiteral("qNoCompany"), &f.dm->ZConKontakty);
        noCompany.setSql(QString::fromLatin1(kNoCompanySql));
        dataset::QueryDataset &board = f.dm->qHlavniDeska;

        QStringList texts = {QString(),
                             QStringLiteral("%"),
                             QStringLiteral("_"),
                             QStringLiteral("a_b"),
                             QStringLiteral("50%"),
                             QStringLiteral(" "),
                             QStringLiteral("  "),
                             QStringLiteral("ß"),
                             QStringLiteral("x "),
                             QStringLiteral("%%"),
                             QStringLiteral("_%_"),
                             QString(98, QLatin1Char('a'))};
        for (char c = 'a'; c <= 'z'; ++c)
            texts << QString(QLatin1Char(c));
        for (const QChar c : QStringLiteral("áčďéěíňóřšťúůýžÁČĎÉĚÍŇÓŘŠŤÚŮÝŽäöüłĺľŕőű"))
            texts << QString(c);
        QRandomGenerator random(seed);
        for (int i = 0; i < 150; ++i) {
            const QString piece = kNamePieces[int(random.bounded(kNamePieces.size()))];
            const int from = int(random.bounded(piece.size()));
            texts << piece.mid(from, 1 + int(random.bounded(piece.size() - from)));
        }
        // Longer than any name: the statement refuses the parameter, the
        // snapshot rightly finds nothing.
        const QString tooLong =
            QLatin1Char('%') + QString(300, QLatin1Char('a')) + QLatin1Char('%');
        QVERIFY_DB(setPattern(board, tooLong));
        QCOMPARE(board.recordCount(), 0);
        QVERIFY_THROWS_EXCEPTION(db::DbError, setPattern(server, tooLong));

        // The first texts are typed while the board has its first companies
        // only: each answer is the start of the statement's. Then the rest
        // arrives and the text typed last is answered in full unasked.
        const int typedWhileLoading = int(texts.size()) / 4;
        for (int i = 0; i < texts.size(); ++i) {
            const QString &text = texts[i];
            if (i == typedWhileLoading) {
                // The rest arrives: the text typed last is answered in full unasked.
                QTRY_VERIFY(!f.dm->isBoardLoading());
                QVERIFY(board.isActive());
                compareWithServer(board, server, noCompany, texts[i - 1]);
                if (QTest::currentTestFailed())
                    return;
            }
            const QString pattern =
                text.isEmpty() ? QStringLiteral("%") : QLatin1Char('%') + text + QLatin1Char('%');
            QVERIFY_DB(setPattern(board, pattern); setPattern(server, pattern);
                       setPattern(noCompany, pattern, {"p1", "p2", "p3"}));
            if (i >= typedWhileLoading) {
                compareWithServer(board, server, noCompany, text);
                if (QTest::currentTestFailed())
                    return;
                continue;
            }
            // While the rest is read, the answer is the start of the statement's.
            QVERIFY(f.dm->isBoardLoading());
            const QList<QStringList> shown = runs(board), all = runs(server);
            if (shown != all.mid(0, shown.size()) || board.recordCount() > server.recordCount())
                QFAIL(qPrintable(QStringLiteral("rows read first differ for \"%1\"").arg(text)));
        }
    }

  private:
    /// The board's rows are the statement's, then the group of contacts of no company.
    void compareWithServer(Dataset &board, Dataset &server, Dataset &noCompany,
                           const QString &text) {
        const int group = noCompanyGroup(board);
        QCOMPARE(group, server.recordCount());
        if (runs(board, 0, group) != runs(server))
            QFAIL(qPrintable(QStringLiteral("rows differ for \"%1\"").arg(text)));
        QList<QStringList> lastGroup;
        if (noCompany.recordCount() > 0) {
            QStringList line;
            for (int c = 0; c < data::board::ColumnCount; ++c)
                line << (c == data::board::Flag ? QStringLiteral("1") : QStringLiteral("<null>"));
            lastGroup = {{line.join(QLatin1Char('|'))}, runs(noCompany).value(0)};
        }
        if (runs(board, group) != lastGroup)
            QFAIL(qPrintable(QStringLiteral("no-company rows differ for \"%1\"").arg(text)));
    }

  private slots:
    void aChangeCommittedElsewhereShowsAtTheNextKeystroke() {
        DataFixture f;
        fillRegister(f, 7, 20, 60);
        f.openAll();
        dataset::QueryDataset &board = f.dm->qHlavniDeska;
        setPattern(board, QStringLiteral("%zzq%"));
        QCOMPARE(board.recordCount(), 0);
        f.exec(QStringLiteral(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI, KRAJ) VALUES (1000, 1, 'Zzquart', ' ')"));
        setPattern(board, QStringLiteral("%zzq%"));
        QCOMPARE(board.recordCount(), 2); // its company's group line and the contact
        f.exec(QStringLiteral("UPDATE FIRMA SET NAZEV_FIRMA = 'Zzq firma' WHERE ID = 2"));
        f.exec(QStringLiteral("DELETE FROM KONTAKT WHERE ID = 1000"));
        setPattern(board, QStringLiteral("%zzq%"));
        QCOMPARE(board.recordCount(),
                 f.count(QStringLiteral("KONTAKT"), QStringLiteral("ID_FIRMA = 2")) > 0
                     ? 1 + f.count(QStringLiteral("KONTAKT"),
                                   QStringLiteral("ID_FIRMA = 2 AND KRAJ <> '***'"))
                     : 0);
    }

    void aChangeCommittedWhileTheRestIsReadIsSeen() {
        DataFixture f;
        fillRegister(f, 8, 40, 200);
        // Enough contacts that the rest is read by both attachments for a while.
        QList<QVariantList> many;
        for (int id = 2000; id < 32000; ++id)
            many << QVariantList{id, 1 + id % 30, QStringLiteral("Hromada %1").arg(id)};
        f.connection().executeBatch("INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI) VALUES (?, ?, ?)",
                                    many);
        // New contacts in a company of the first ones read and in the last,
        // with IDs below and past the split, so in either attachment's share.
        const QVariant first =
            f.scalar(QStringLiteral("SELECT FIRST 1 ID FROM FIRMA ORDER BY NAZEV_FIRMA, ID"));
        const QVariant last =
            f.scalar(QStringLiteral("SELECT FIRST 1 ID FROM FIRMA ORDER BY NAZEV_FIRMA DESC"));
        const db::DbConnection::Login login = f.connection().login();
        f.dm->setBoardHead(5);
        f.openAll();
        QVERIFY(f.dm->isBoardLoading());
        // A second writer commits a contact at a time while the rest is read.
        std::atomic<bool> stop{false};
        std::atomic<int> committed{0};
        QStringList inserted;
        QString failure;
        std::thread writer([&] {
            try {
                db::DbConnection other;
                other.setLogin(login);
                for (int n = 0; !stop && n < 1500; ++n) {
                    const int id = n % 2 ? 500 + n : 40000 + n;
                    other.executeCommitted(
                        "INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI, KRAJ) VALUES (?, ?, ?, ' ')",
                        {id, n % 3 ? first : last, QStringLiteral("Zzq %1").arg(n)});
                    inserted << QString::number(id);
                    ++committed;
                }
            } catch (const db::DbError &e) {
                failure = e.message();
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(!f.dm->isBoardLoading(), 30000);
        const int duringTheRead = committed;
        stop = true;
        writer.join();
        QCOMPARE(failure, QString());
        QVERIFY(duringTheRead > 0);

        dataset::QueryDataset &board = f.dm->qHlavniDeska;
        auto shownIds = [&] {
            QStringList ids;
            for (int row = 0; row < board.recordCount(); ++row)
                if (board.valueAt(row, board.columnIndex(QStringLiteral("FLAG"))).toInt() == 2)
                    ids << board.valueAt(row, board.columnIndex(QStringLiteral("ID"))).toString();
            ids.sort();
            return ids;
        };
        // The next keystroke reads the register again, and the answer over
        // it has every contact the writer committed.
        setPattern(board, QStringLiteral("%zzq%"));
        QTRY_VERIFY_WITH_TIMEOUT(!f.dm->isBoardLoading(), 30000);
        setPattern(board, QStringLiteral("%zzq%"));
        QVERIFY(!f.dm->isBoardLoading());
        inserted.sort();
        QCOMPARE(shownIds(), inserted);
    }

    void anOlderFileGetsTheChangeLogAtStart() {
        initdb::BuildOptions old;
        old.layout = schema::Layout::V1_0;
        DataFixture f(old);
        QCOMPARE(data::changelog::read(f.connection()).isKnown(), false);
        f.exec(QStringLiteral(
            "ALTER INDEX KONTAKT_PRIJMENI INACTIVE")); // as a killed import leaves it
        f.disconnect();
        QVERIFY_DB(CheckDatabaseVersion(*f.dm, f.base()));
        QCOMPARE(f.scalar(QStringLiteral("SELECT RDB$INDEX_INACTIVE FROM RDB$INDICES "
                                         "WHERE RDB$INDEX_NAME = 'KONTAKT_PRIJMENI'"))
                     .toInt(),
                 0);
        const data::changelog::Stamp before = data::changelog::read(f.connection());
        QVERIFY(before.isKnown());
        f.exec(QStringLiteral("UPDATE FIRMA SET KOD = 'x'"));
        QVERIFY(data::changelog::read(f.connection()) != before);
        QCOMPARE(
            f.scalar(QStringLiteral("SELECT VERZE_HLAVNI || '.' || VERZE_VEDLEJSI FROM NASTAVENI"))
                .toString(),
            QStringLiteral("1.1"));
    }
};

QTEST_GUILESS_MAIN(TestBoardSnapshot)
#include "tst_boardsnapshot.moc"
