// The rows a new database starts with: the name-day calendar, the sample
// rows of the older layouts, the demo companies and generated data.
#include "base/Win1250.h"
#include "initdb/DemoData.h"
#include "initdb/Generator.h"
#include "schema/NameDays.h"
#include "support/TestDatabase.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <numeric>
#include <optional>

Q_DECLARE_METATYPE(schema::Layout)

namespace {

// Every company has at least one contact row; IDs count 1, 2, 3 ... per table;
// contact rows are placeholders ("***", nothing else filled in) or ordinary (" ").
void checkCompanyRows(TestDatabase &db) {
    QCOMPARE(db.count("FIRMA f", "NOT EXISTS (SELECT 1 FROM KONTAKT k WHERE k.ID_FIRMA = f.ID)"),
             0);
    QCOMPARE(db.scalar("SELECT MAX(ID) FROM FIRMA").toInt(), db.count("FIRMA"));
    QCOMPARE(db.scalar("SELECT MAX(ID) FROM KONTAKT").toInt(), db.count("KONTAKT"));
    QCOMPARE(db.scalar("SELECT MIN(ID) FROM KONTAKT").toInt(), 1);
    QCOMPARE(db.count("KONTAKT", "KRAJ IS NULL OR KRAJ NOT IN ('***', ' ') OR ID_POBOCKA <> 0"), 0);
    QCOMPARE(
        db.count(
            "KONTAKT",
            "KRAJ = '***' AND (JMENO IS NOT NULL OR PRIJMENI IS NOT NULL OR EMAIL1 IS NOT NULL "
            "OR POZNAMKA IS NOT NULL OR OBEC IS NOT NULL)"),
        0);
    // A placeholder is its company's only row.
    QCOMPARE(db.count("KONTAKT p", "p.KRAJ = '***' AND EXISTS (SELECT 1 FROM KONTAKT k "
                                   "WHERE k.ID_FIRMA = p.ID_FIRMA AND k.ID <> p.ID)"),
             0);
}

} // namespace

class TestRows : public QObject {
    Q_OBJECT
    std::optional<TestDatabase> m_plain;

  private slots:
    void initTestCase() { QVERIFY_DB(m_plain.emplace()); }

    void calendarHasEveryDayOfALeapYearOnce() {
        QList<QVariantList> rows;
        QVERIFY_DB(rows = m_plain->rows("SELECT DEN, MESIC, JMENO FROM SVATEK"));
        QCOMPARE(rows.size(), 366);
        QSet<QDate> days;
        for (const QVariantList &row : rows) {
            const QDate date(2024, row[1].toInt(), row[0].toInt());
            QVERIFY2(date.isValid(), qPrintable(row[0].toString() + '.' + row[1].toString()));
            QVERIFY2(!row[2].toString().trimmed().isEmpty(), qPrintable(date.toString()));
            days.insert(date);
        }
        QCOMPARE(days.size(), 366);
    }

    void calendarNamesWellKnownDays_data() {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("name");
        QTest::newRow("1.1.") << 1 << 1 << "Nový rok";
        QTest::newRow("2.1.") << 2 << 1 << "Karina";
        QTest::newRow("14.2.") << 14 << 2 << "Valentýn";
        QTest::newRow("29.2.") << 29 << 2 << "Horymír";
        QTest::newRow("1.3.") << 1 << 3 << "Bedřich";
        QTest::newRow("19.3.") << 19 << 3 << "Josef";
        QTest::newRow("8.5.") << 8 << 5 << "Den vítězství";
        QTest::newRow("24.6.") << 24 << 6 << "Jan";
        QTest::newRow("28.9.") << 28 << 9 << "Václav";
        QTest::newRow("6.12.") << 6 << 12 << "Mikuláš";
        QTest::newRow("24.12.") << 24 << 12 << "Adam a Eva, Štědrý den";
        QTest::newRow("25.12.") << 25 << 12 << "1. svátek vánoční";
        QTest::newRow("26.12.") << 26 << 12 << "Štěpán";
        QTest::newRow("31.12.") << 31 << 12 << "Silvestr";
    }
    void calendarNamesWellKnownDays() {
        QFETCH(int, day);
        QFETCH(int, month);
        QFETCH(QString, name);
        QList<QVariantList> found;
        QVERIFY_DB(found = m_plain->rows("SELECT JMENO FROM SVATEK WHERE DEN = ? AND MESIC = ?",
                                         {day, month}));
        QCOMPARE(found, (QList<QVariantList>{{name}}));
    }

    void olderLayoutsCarryTheSampleRows_data() {
        QTest::addColumn<schema::Layout>("layout");
        QTest::newRow("0.0") << schema::Layout::V0_0;
        QTest::newRow("1.0") << schema::Layout::V1_0;
    }
    void olderLayoutsCarryTheSampleRows() {
        QFETCH(schema::Layout, layout);
        std::optional<TestDatabase> db;
        QVERIFY_DB(db.emplace(initdb::BuildOptions{.layout = layout}));
        QVERIFY_DB(QCOMPARE(
            db->count("KONTAKT", "JMENO = 'Miloran' AND PRIJMENI = 'Drobeček' AND KRAJ = ' '"), 1));
        QVERIFY_DB(checkCompanyRows(*db));
        QVERIFY_DB(QCOMPARE(db->count("KONTAKT", "KRAJ = '***'"), 0));
        QVERIFY_DB(QVERIFY(db->count("FIRMA") >= 2));
    }

    void currentLayoutStartsEmpty() {
        QVERIFY_DB(QCOMPARE(m_plain->count("FIRMA") + m_plain->count("KONTAKT"), 0));
    }

    void demoHasRealisticCompanies() {
        std::optional<TestDatabase> db;
        QVERIFY_DB(db.emplace(initdb::BuildOptions{.demo = true}));
        QVERIFY_DB(checkCompanyRows(*db));
        QVERIFY_DB(QCOMPARE(db->count("FIRMA"), int(initdb::demoCompanies().size()));
                   QVERIFY(db->count("FIRMA") >= 10);
                   // Exactly one company with only its placeholder; the others have several people.
                   QCOMPARE(db->count("KONTAKT", "KRAJ = '***'"), 1); QCOMPARE(
                       db->count("FIRMA f",
                                 "(SELECT COUNT(*) FROM KONTAKT k WHERE k.ID_FIRMA = f.ID) < 2"),
                       1);
                   QVERIFY(db->count("KONTAKT", "TITUL_PRED IS NOT NULL") >= 3);
                   QVERIFY(db->count("KONTAKT", "TITUL_ZA IS NOT NULL") >= 1);
                   QVERIFY(db->count("KONTAKT", "EMAIL1 LIKE '%_@_%._%'") >= 10);
                   QVERIFY(db->count("KONTAKT", "MOBIL LIKE '+420 %'") >= 10);
                   QVERIFY(db->count("FIRMA", "OBEC_FS IS NOT NULL AND PSC_FS IS NOT NULL") ==
                           db->count("FIRMA"));
                   QVERIFY(db->count("FIRMA", "POZNAMKA CONTAINING ASCII_CHAR(10)") >= 2);
                   QVERIFY(db->count("KONTAKT", "POZNAMKA CONTAINING ASCII_CHAR(10) OR "
                                                "POZNAMKA_KSPOJ CONTAINING ASCII_CHAR(10)") >= 2));
        QStringList names;
        QVERIFY_DB(for (const QVariantList &row
                        : db->rows("SELECT PRIJMENI FROM KONTAKT WHERE KRAJ = ' '")) names
                   << row[0].toString());
        QVERIFY2(names.join(' ').contains(QRegularExpression(QStringLiteral("[ěščřžýáíéůúťďň]"))),
                 qPrintable(names.join(' ')));
    }

    // Sample rows come first; the demo's IDs continue after them.
    void demoFollowsTheSampleRows() {
        std::optional<TestDatabase> db;
        QVERIFY_DB(db.emplace(initdb::BuildOptions{.layout = schema::Layout::V1_0, .demo = true}));
        QVERIFY_DB(checkCompanyRows(*db));
        QVERIFY_DB(QCOMPARE(db->count("FIRMA"), int(initdb::sampleCompanies().size() +
                                                    initdb::demoCompanies().size())));
        QVERIFY_DB(QCOMPARE(
            db->scalar("SELECT ID_FIRMA FROM KONTAKT WHERE JMENO = 'Miloran'").toInt(), 1));
    }

    void generatorPlansTheRequestedNumbers_data() {
        QTest::addColumn<int>("companies");
        QTest::addColumn<int>("contacts");
        QTest::addColumn<int>("bigCompanies"); // with over 1,000 contacts
        QTest::newRow("nothing") << 0 << 0 << 0;
        QTest::newRow("companies only") << 7 << 0 << 0;
        QTest::newRow("fewer contacts than companies") << 20 << 5 << 0;
        QTest::newRow("one company") << 1 << 2500 << 1;
        QTest::newRow("small") << 50 << 300 << 0;
        QTest::newRow("one big") << 200 << 3000 << 1;
        QTest::newRow("benchmark") << 10000 << 50000 << 3;
    }
    void generatorPlansTheRequestedNumbers() {
        QFETCH(int, companies);
        QFETCH(int, contacts);
        QFETCH(int, bigCompanies);
        const std::vector<int> plan = initdb::Generator(companies, contacts).contactsPerCompany();
        QCOMPARE(int(plan.size()), companies);
        QCOMPARE(std::accumulate(plan.begin(), plan.end(), 0), contacts);
        QCOMPARE(int(std::count_if(plan.begin(), plan.end(), [](int n) { return n > 1000; })),
                 bigCompanies);
        const int empty = int(std::count(plan.begin(), plan.end(), 0));
        QCOMPARE(empty, std::max(companies / 10, companies - contacts));
    }

    void generatorIsDeterministic() {
        auto run = [](quint32 seed) {
            QList<initdb::CompanyData> made;
            for (initdb::Generator g(40, 400, seed); !g.atEnd();)
                made << g.next();
            return made;
        };
        const auto first = run(initdb::Generator::kDefaultSeed);
        QVERIFY(first == run(initdb::Generator::kDefaultSeed));
        QVERIFY(first != run(initdb::Generator::kDefaultSeed + 1));
    }

    void generatedRowsLookReal() {
        int withCzechLetters = 0, contacts = 0;
        static const QRegularExpression email(QStringLiteral("^[a-z0-9.-]+@[a-z0-9-]+\\.cz$"));
        for (initdb::Generator g(100, 600); !g.atEnd();) {
            const initdb::CompanyData c = g.next();
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d{8}$")).match(c.ico).hasMatch(),
                     qPrintable(c.ico));
            int sum = 0; // IČO check digit
            for (int i = 0; i < 7; ++i)
                sum += c.ico[i].digitValue() * (8 - i);
            QCOMPARE(c.ico[7].digitValue(), (11 - sum % 11) % 10);
            QVERIFY2(email.match(c.reach.email1).hasMatch(), qPrintable(c.reach.email1));
            QVERIFY(!c.seat.town.isEmpty() && !c.seat.postcode.isEmpty());
            QVERIFY(base::win1250::canEncode(c.name));
            for (const initdb::ContactData &p : c.contacts) {
                ++contacts;
                QVERIFY2(email.match(p.reach.email1).hasMatch(), qPrintable(p.reach.email1));
                QVERIFY(!p.firstName.isEmpty() && !p.surname.isEmpty());
                QVERIFY(
                    base::win1250::canEncode(p.firstName + p.surname + p.position + p.reachNote));
                if (p.surname.contains(QRegularExpression(QStringLiteral("[^A-Za-z]"))))
                    ++withCzechLetters;
            }
        }
        QCOMPARE(contacts, 600);
        QVERIFY(withCzechLetters > contacts / 5);
    }

    void generatedDatabaseHasTheRequestedRowsTwice() {
        QList<QVariantList> firstRows[2];
        for (auto &rows : firstRows) {
            std::optional<TestDatabase> db;
            QVERIFY_DB(db.emplace(initdb::BuildOptions{.companies = 200, .contacts = 3000}));
            QVERIFY_DB(checkCompanyRows(*db));
            QVERIFY_DB(
                QCOMPARE(db->count("FIRMA"), 200);
                QCOMPARE(db->count("KONTAKT", "KRAJ = ' '"), 3000);
                QVERIFY(db->count("KONTAKT", "KRAJ = '***'") >= 20); QCOMPARE(
                    db->count("FIRMA f",
                              "(SELECT COUNT(*) FROM KONTAKT k WHERE k.ID_FIRMA = f.ID) > 1000"),
                    1);
                rows = db->rows("SELECT FIRST 20 * FROM FIRMA ORDER BY ID");
                rows += db->rows("SELECT FIRST 50 * FROM KONTAKT ORDER BY ID"));
        }
        QCOMPARE(firstRows[0].size(), 70);
        QVERIFY(firstRows[0] == firstRows[1]);
    }
};

QTEST_GUILESS_MAIN(TestRows)
#include "tst_rows.moc"
