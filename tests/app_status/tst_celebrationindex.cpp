// Who celebrates, read through the database's indexes of first names and
// birthdays, against the plain definition: every contact read and judged
// by find(). Over a generated register of the awkward cases: birthdays
// typed in every form the reader takes and in many it does not, with
// blanks of every kind; first names in any case and padded; 29 February;
// the range across the new year; placeholder rows. The register, a file or
// a database on a server, starts as one of an earlier version with an
// outdated index and is upgraded at start.
#include "app/Celebrations.h"
#include "base/Win1250.h"
#include "data/CelebrationIndex.h"
#include "data/VersionCheck.h"
#include "support/DataFixture.h"
#include "support/TestServer.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <optional>

namespace {

/// Every character of the code page that a reader trims or skips as blank.
QStringList blanks() {
    static const QRegularExpression blank(QStringLiteral("^\\s$"));
    QStringList found;
    for (int byte = 1; byte < 256; ++byte) {
        const QChar c = base::win1250::decodeByte(static_cast<unsigned char>(byte));
        if (c.isSpace() || blank.match(QString(c)).hasMatch())
            found << QString(c);
    }
    return found;
}

class RegisterMaker {
  public:
    RegisterMaker(const QStringList &names, const QList<QDate> &days)
        : m_names(names), m_days(days), m_blanks(blanks()) {}

    QVariant firstName() {
        const int kind = pick(20);
        if (kind == 0)
            return QVariant(); // NULL
        if (kind == 1)
            return QString();
        QString name = kind == 2 ? QStringLiteral("Xaver") : m_names[pick(int(m_names.size()))];
        switch (pick(4)) {
        case 0:
            name = name.toUpper();
            break;
        case 1:
            name = name.toLower();
            break;
        case 2:
            for (QChar &c : name)
                c = pick(2) ? c.toUpper() : c.toLower();
            break;
        }
        return padded(name);
    }

    QVariant birthday() {
        // Half of them on or near the days asked about.
        QDate date = m_days[pick(int(m_days.size()))].addDays(pick(12) - 1);
        if (pick(2))
            date = QDate(2000, 1, 1).addDays(pick(366));
        const int d = pick(20) == 0 ? 29 : date.day();
        const int m = d == 29 && pick(2) ? 2 : date.month();
        const int y = pick(4) == 0 ? 1987 + pick(2) : 1930 + pick(80); // 1988 is a leap year
        const QString blank = m_blanks[pick(int(m_blanks.size()))];
        const QString two = QStringLiteral("%1").arg(d, 2, 10, QLatin1Char('0'));
        const QString month2 = QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0'));
        const QStringList forms = {
            QStringLiteral("%1.%2.%3").arg(d).arg(m).arg(y),
            QStringLiteral("%1. %2. %3").arg(d).arg(m).arg(y),
            QStringLiteral("%1.%2.%3").arg(two, month2).arg(y),
            QStringLiteral("%1-%2-%3").arg(y).arg(month2, two),
            QStringLiteral("%1-%2-%3").arg(y).arg(m).arg(d),
            QStringLiteral("%1.%2.").arg(d).arg(m),
            QStringLiteral("%1. %2.").arg(d).arg(m),
            QStringLiteral("%1.%2").arg(d).arg(m),
            QStringLiteral("%1.%4%2.%4%3").arg(d).arg(m).arg(y).arg(blank),
            QStringLiteral("%1 .%2.").arg(d).arg(m), // no date
            QStringLiteral("%1.%2.%3").arg(d).arg(m + 12).arg(y),
            QStringLiteral("%1.%2.0").arg(d).arg(m),
            QStringLiteral("0.%1.").arg(m),
            QStringLiteral("%1x%2").arg(d).arg(m),
            QStringLiteral("jaro %1").arg(y),
            QStringLiteral("%1--%2-%3").arg(y).arg(m).arg(d),
            QStringLiteral("%1.%2.%3.").arg(d).arg(m).arg(y),
        };
        if (pick(10) == 0)
            return QVariant();
        return padded(forms[pick(int(forms.size()))]);
    }

    int pick(int bound) { return int(m_random.bounded(bound)); }

  private:
    QString padded(const QString &text) {
        QString out = text;
        if (pick(4) == 0)
            out.prepend(m_blanks[pick(int(m_blanks.size()))]);
        if (pick(4) == 0)
            out.append(m_blanks[pick(int(m_blanks.size()))]);
        return out;
    }

    QStringList m_names;
    QList<QDate> m_days;
    QStringList m_blanks;
    QRandomGenerator m_random{20261210};
};

QStringList texts(const std::vector<app::celebrations::Celebration> &list) {
    QStringList out;
    for (const app::celebrations::Celebration &c : list)
        out << QStringLiteral("%1 %2 %3 #%4 [%5|%6|%7|%8|%9|%10]")
                   .arg(c.date.toString(Qt::ISODate))
                   .arg(c.kind == app::celebrations::Kind::NameDay ? "svátek" : "narozeniny")
                   .arg(c.age)
                   .arg(c.contact.id)
                   .arg(c.contact.firstName, c.contact.surname, c.contact.birthday,
                        c.contact.company, c.contact.phone, c.contact.email);
    return out;
}

/// The first column of every row of `sql`, as text.
QStringList firstColumn(db::DbConnection &connection, const QByteArray &sql) {
    QStringList values;
    db::PackedRow row;
    auto cursor = connection.openCursor(sql, {});
    while (cursor->fetch(row))
        values << base::win1250::decode(row.payload(0)).trimmed();
    return values;
}

/// A register of an earlier version, upgraded at start as the program
/// does: a file, or a database on a server of the test's own.
struct Register {
    std::optional<DataFixture> file;
    std::unique_ptr<TestServer> server;
    std::unique_ptr<TDM> serverModule;
    db::DbConnection serverWriter;
    QTemporaryDir serverBase;

    TDM &dm() { return file ? *file->dm : *serverModule; }
    /// Another attachment, as another user's program.
    db::DbConnection &writer() { return file ? file->connection() : serverWriter; }
};

} // namespace

class TestCelebrationIndex : public QObject {
    Q_OBJECT
  private slots:
    void indexedAnswersAsEveryContactRead_data();
    void indexedAnswersAsEveryContactRead();
};

void TestCelebrationIndex::indexedAnswersAsEveryContactRead_data() {
    QTest::addColumn<bool>("onServer");
    QTest::newRow("file") << false;
    QTest::newRow("server") << true;
}

void TestCelebrationIndex::indexedAnswersAsEveryContactRead() {
    QFETCH(bool, onServer);
    const initdb::BuildOptions older{.layout = schema::Layout::V1_0, .forcedWrites = false};
    Register r;
    QString target;
    if (onServer) {
        SKIP_WITHOUT_SERVER();
        r.server = std::make_unique<TestServer>();
        QVERIFY2(r.server->start(), qPrintable(r.server->errorString()));
        target = r.server->target(QStringLiteral("k.fdb"));
        QVERIFY_DB(initdb::buildDatabase(target, older, {r.server->user(), r.server->password()}));
        r.serverWriter.setDatabase(target);
        r.serverWriter.setUser(r.server->user());
        r.serverWriter.setPassword(r.server->password());
    } else {
        QVERIFY_DB(r.file.emplace(older));
    }
    // An index of this name made by another expression than the current
    // one, and one switched off.
    QVERIFY_DB(r.writer().executeCommitted(
        "CREATE INDEX KONTAKT_JMENO_KLIC ON KONTAKT COMPUTED BY (TRIM(JMENO))", {});
               r.writer().executeCommitted(
                   data::celebrationindex::createStatements().last().toLatin1(), {});
               r.writer().executeCommitted("ALTER INDEX KONTAKT_OSLAVY_ZBYTEK INACTIVE", {}));
    if (onServer) {
        r.serverModule = std::make_unique<TDM>();
        CheckDatabaseVersion(r.dm(), r.serverBase.path(),
                             {target, r.server->user(), r.server->password()});
        r.dm().ConnectAndOpenAll(target, QString(), r.server->password(), db::settings::kProtocol,
                                 r.server->user());
    } else {
        r.file->disconnect();
        CheckDatabaseVersion(r.dm(), r.file->base(), {});
        r.file->openAll();
    }
    TDM &dm = r.dm();
    db::DbConnection &writer = r.writer();
    auto exec = [&](const char *sql, const QVariantList &params) {
        writer.executeCommitted(QByteArray(sql), params);
    };
    QStringList indexes;
    QVERIFY_DB(indexes = firstColumn(
                   writer, "SELECT CAST(RDB$EXPRESSION_SOURCE AS VARCHAR(8000)) FROM RDB$INDICES "
                           "WHERE RDB$INDEX_NAME STARTING WITH 'KONTAKT_' AND "
                           "RDB$EXPRESSION_SOURCE IS NOT NULL AND "
                           "COALESCE(RDB$INDEX_INACTIVE, 0) = 0 ORDER BY RDB$INDEX_NAME"));
    QCOMPARE(indexes.size(), 3);
    QVERIFY(indexes[0].startsWith(QStringLiteral("(UPPER(TRIM(JMENO))")));

    const QList<QDate> days = {QDate(2026, 12, 27), QDate(2027, 2, 21), QDate(2027, 2, 27),
                               QDate(2028, 2, 28),  QDate(2026, 6, 24), QDate(2026, 12, 31)};
    QStringList names, calendar;
    QVERIFY_DB(calendar = firstColumn(writer, "SELECT JMENO FROM SVATEK"));
    for (const QString &day : calendar)
        names << app::celebrations::namesIn(day);
    QVERIFY(names.size() > 300);

    RegisterMaker maker(names, days);
    QVERIFY_DB(exec("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (100, 'Firma')", {}));
    const QStringList surnames = {"Novák", "Černý", "Cibulka", "Chalupa", "Dvořák"};
    constexpr int kContacts = 900;
    for (int id = 100; id < 100 + kContacts; ++id)
        QVERIFY_DB(exec("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, NAROZENINY, MOBIL, "
                        "TELEFON1, EMAIL1, KRAJ) VALUES (?, ?, ?, ?, ?, ?, '222', 'a@b.cz', ?)",
                        {id, maker.pick(3) ? 100 : 0, maker.firstName(), surnames[maker.pick(5)],
                         maker.birthday(), maker.pick(2) ? QVariant(QStringLiteral("777")) : "",
                         maker.pick(10) == 0 ? QStringLiteral("***") : QStringLiteral(" ")}));

    auto compare = [&] {
        namespace c = app::celebrations;
        qsizetype celebrations = 0;
        for (const QDate &first : days)
            for (int span : {2, 9}) {
                c::Query query, counting;
                QVERIFY_DB(query = c::prepare(dm, first, span);
                           counting = c::prepare(dm, first, span, c::Reading::Count));
                c::Query everyContact = query;
                everyContact.sql = "SELECT K.ID, K.JMENO, K.NAROZENINY, K.PRIJMENI, F.NAZEV_FIRMA, "
                                   "K.MOBIL, K.TELEFON1, K.EMAIL1 FROM KONTAKT K LEFT JOIN FIRMA F "
                                   "ON F.ID = K.ID_FIRMA WHERE K.KRAJ IS DISTINCT FROM '***'";
                everyContact.params.clear();
                std::vector<c::Celebration> indexed, plain;
                int counted = 0;
                QVERIFY_DB(indexed = c::run(dm.ZConKontakty, query);
                           plain = c::run(dm.ZConKontakty, everyContact);
                           counted = c::contactCount(c::run(dm.ZConKontakty, counting)));
                QCOMPARE(texts(indexed), texts(plain));
                QCOMPARE(counted, c::contactCount(plain)); // the status bar's, of less per contact
                celebrations += qsizetype(plain.size());
            }
        QVERIFY(celebrations > 300);
    };
    compare();
    if (QTest::currentTestFailed())
        return;
    // Another user changes names and birthdays, and deletes: the indexes
    // follow every save, and no text makes one fail.
    for (int id = 100; id < 100 + kContacts; id += 3)
        QVERIFY_DB(exec("UPDATE KONTAKT SET JMENO = ?, NAROZENINY = ? WHERE ID = ?",
                        {maker.firstName(), maker.birthday(), id}));
    QVERIFY_DB(exec("DELETE FROM KONTAKT WHERE MOD(ID, 7) = 0", {}));
    compare();
}

QTEST_GUILESS_MAIN(TestCelebrationIndex)
#include "tst_celebrationindex.moc"
