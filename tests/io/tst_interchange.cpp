// Export and import against real databases: the lossless round trip, the
// one-transaction rule, company matching with Czech letters, "Bez firmy",
// placeholders, duplicates and text the database cannot hold.
#include "Samples.h"
#include "data/ChangeLog.h"
#include "data/U_DM.h"
#include "dataset/Dataset.h"
#include "io/ContactFiles.h"
#include "io/ContactStore.h"
#include "support/TestDatabase.h"

#include <QTest>

Q_DECLARE_METATYPE(io::FileFormat)

using io::Entry;

namespace {

db::DbConnection &connected(TestDatabase &db) {
    db.connection().setConnected(true);
    return db.connection();
}

/// Every stored value of the companies and of the contacts (with their
/// company's name), as sorted text lines: equal lines, equal databases.
QStringList snapshot(TestDatabase &db) {
    db::DbConnection &c = connected(db);
    auto columnsOf = [&](const char *table, const QStringList &skip) {
        QStringList columns = c.tableInfo(QString::fromLatin1(table)).columns;
        for (const QString &s : skip)
            columns.removeAll(s);
        return columns;
    };
    const QStringList companyColumns = columnsOf("FIRMA", {"ID"});
    const QStringList contactColumns = columnsOf("KONTAKT", {"ID", "ID_FIRMA"});
    QStringList lines;
    auto add = [&](const QString &what, const QList<QVariantList> &rows) {
        for (const QVariantList &row : rows) {
            QStringList cells;
            for (const QVariant &v : row)
                cells << (v.typeId() == QMetaType::QByteArray
                              ? QString::fromLatin1(v.toByteArray().toHex())
                              : v.toString());
            lines << what + cells.join(u'|');
        }
    };
    add(QStringLiteral("F:"),
        db.rows(QStringLiteral("SELECT %1 FROM FIRMA").arg(companyColumns.join(u','))));
    QStringList qualified;
    for (const QString &col : contactColumns)
        qualified << QStringLiteral("k.") + col;
    add(QStringLiteral("K:"),
        db.rows(QStringLiteral("SELECT f.NAZEV_FIRMA, %1 FROM KONTAKT k JOIN FIRMA f ON "
                               "f.ID = k.ID_FIRMA")
                    .arg(qualified.join(u','))));
    lines.sort();
    return lines;
}

/// A contact with every column filled, Czech letters, line breaks and a photo.
void addFullContact(TestDatabase &db, int companyId) {
    QStringList columns, markers;
    QVariantList values;
    for (const io::Column &c : io::contactColumns()) {
        columns << c.name;
        markers << QStringLiteral("?");
        values << QString(c.label + QStringLiteral(" Žluťoučký; kůň, \"úpěl\"")).left(20);
    }
    // Line breaks as the note boxes store them; the demo data has LF only.
    values[columns.indexOf(QStringLiteral("POZNAMKA"))] =
        QStringLiteral("řádek 1\r\nřádek 2\r\n\r\n; a, b\\c");
    values[columns.indexOf(QStringLiteral("NAROZENINY"))] = QStringLiteral("01.02.1990");
    db.exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ, OBR, %1) VALUES "
                           "(900, ?, 0, ' ', ?, %2)")
                .arg(columns.join(u','), markers.join(u',')),
            QVariantList{companyId, sampleBytes(QStringLiteral("photo.jpg"))} + values);
}

io::ImportResult importBytes(TestDatabase &db, const QByteArray &bytes,
                             io::ImportPlan *planOut = nullptr) {
    const io::DecodedFile file = io::decodeFile(bytes);
    if (!file.errors.isEmpty())
        throw db::DbError(file.errors.join(u'\n'));
    const io::ImportPlan plan = io::planImport(file.entries, io::readExisting(connected(db)));
    if (planOut)
        *planOut = plan;
    return io::writeImport(connected(db), plan);
}

Entry person(const QString &first, const QString &surname, const QString &company,
             const QString &email = {}) {
    Entry e;
    e.contact[QStringLiteral("JMENO")] = first;
    e.contact[QStringLiteral("PRIJMENI")] = surname;
    if (!email.isEmpty())
        e.contact[QStringLiteral("EMAIL1")] = email;
    if (!company.isEmpty())
        e.company[QStringLiteral("NAZEV_FIRMA")] = company;
    return e;
}

/// Contact rows (Flag 2) of the board statement with every row shown.
int boardContactRows(TestDatabase &db) {
    dataset::QueryDataset board(QStringLiteral("qHlavniDeska"), &connected(db));
    board.setSql(TDM::boardSql());
    for (const char *name : {"k1", "k2", "k3", "f1", "f2", "f3"})
        board.paramByName(QString::fromLatin1(name))->setAsString(QStringLiteral("%"));
    board.open();
    int contacts = 0;
    for (int row = 0; row < board.recordCount(); ++row)
        contacts += board.valueAt(row, board.columnIndex(QStringLiteral("Flag"))).toInt() == 2;
    return contacts;
}

} // namespace

class TestInterchange : public QObject {
    Q_OBJECT

  private slots:
    void roundTripKeepsEveryValue_data() {
        QTest::addColumn<io::FileFormat>("format");
        QTest::newRow("vCard 4.0") << io::FileFormat::VCard4;
        QTest::newRow("vCard 3.0") << io::FileFormat::VCard3;
        QTest::newRow("CSV") << io::FileFormat::Csv;
        QTest::newRow("CSV for Czech spreadsheets") << io::FileFormat::CsvCz;
    }
    void roundTripKeepsEveryValue() {
        QFETCH(io::FileFormat, format);
        TestDatabase source({.demo = true});
        QVERIFY_DB(addFullContact(source, 1));
        // A company with nothing but its placeholder travels as a company.
        QVERIFY_DB(source.exec(QStringLiteral(
            "INSERT INTO FIRMA (ID, NAZEV_FIRMA, ICO) VALUES (500, 'Prázdná firma', '123')")));
        QVERIFY_DB(source.exec(QStringLiteral(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) VALUES (901, 500, 0, '***')")));
        const QStringList before = snapshot(source);
        QVERIFY(before.size() > 20);

        QByteArray bytes;
        QVERIFY_DB(
            QVERIFY(io::encodeEntries(io::readEntries(connected(source), {}), format, bytes)));
        QVERIFY(!bytes.contains("***"));
        TestDatabase target;
        io::ImportPlan plan;
        QVERIFY_DB(importBytes(target, bytes, &plan));
        QCOMPARE(plan.refused.size(), 0);
        QCOMPARE(snapshot(target), before);
        QCOMPARE(boardContactRows(target), boardContactRows(source));
    }

    // Companies that share a name (with their own IČOs, or none and the same
    // seat) and contacts with nothing but a name: every one comes back, and
    // a second import of the same file adds nothing.
    void lookAlikesSurviveTheRoundTripAndASecondImport_data() { roundTripKeepsEveryValue_data(); }
    void lookAlikesSurviveTheRoundTripAndASecondImport() {
        QFETCH(io::FileFormat, format);
        TestDatabase source;
        int id = 0;
        for (const char *ico : {"25123451", "25123452", "25123453", "", ""}) {
            ++id;
            QVERIFY_DB(source.exec(
                u"INSERT INTO FIRMA (ID, NAZEV_FIRMA, ICO, OBEC_FS) VALUES (?, 'Pokorný a syn s.r.o.', ?, 'Brno')"_qs,
                {id, QString::fromLatin1(ico)}));
            for (int k = 0; k < 2; ++k) // the same name-only people in each
                QVERIFY_DB(source.exec(
                    u"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ, JMENO, PRIJMENI) "
                    "VALUES (?, ?, 0, ' ', 'Jan', ?)"_qs,
                    {10 * id + k, id, k ? u"Pokorný"_qs : u"Syn"_qs}));
            // and one person twice over, name and e-mail alike: two rows of the register
            QVERIFY_DB(source.exec(
                u"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ, JMENO, PRIJMENI, EMAIL1) "
                "VALUES (?, ?, 0, ' ', 'Eva', 'Dvojí', 'eva@example.cz')"_qs,
                {10 * id + 2, id == 5 ? 4 : id}));
        }
        const QStringList before = snapshot(source);
        const QList<Entry> entries = io::readEntries(connected(source), {});
        QStringList order;
        for (const Entry &e : entries)
            order << e.companyKey + QLatin1Char('/') + e.contact.value(QStringLiteral("PRIJMENI"));
        QCOMPARE(order, (QStringList{"1/Syn", u"1/Pokorný"_qs, u"1/Dvojí"_qs, "2/Syn",
                                     u"2/Pokorný"_qs, u"2/Dvojí"_qs, "3/Syn", u"3/Pokorný"_qs,
                                     u"3/Dvojí"_qs, "4/Syn", u"4/Pokorný"_qs, u"4/Dvojí"_qs,
                                     u"4/Dvojí"_qs, "5/Syn", u"5/Pokorný"_qs}));
        QByteArray bytes, again;
        QVERIFY(io::encodeEntries(entries, format, bytes));
        QVERIFY_DB(
            QVERIFY(io::encodeEntries(io::readEntries(connected(source), {}), format, again)));
        QCOMPARE(again, bytes); // two exports of one register are the same file

        TestDatabase target;
        QVERIFY_DB(importBytes(target, bytes));
        QCOMPARE(snapshot(target), before);
        io::ImportResult second;
        QVERIFY_DB(second = importBytes(target, bytes));
        QCOMPARE(second.companies, 0);
        QCOMPARE(second.contacts, 0);
        QCOMPARE(snapshot(target), before);

        // A card from elsewhere never joins a namesake whose IČO differs (a namesake
        // without one is matched by name and seat); the same IČO finds its company.
        const QByteArray cards =
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nov\xC3\xA1;Eva\r\nORG:Pokorn\xC3\xBD a syn s.r.o.\r\n"
            "X-KONTAKTY-FIRMA-ICO:25123452\r\nEND:VCARD\r\n"
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Star\xC3\xBD;Petr\r\nORG:POKORN\xC3\x9D A SYN "
            "S.R.O.\r\n"
            "X-KONTAKTY-FIRMA-ICO:99999999\r\nEND:VCARD\r\n";
        QVERIFY_DB(importBytes(target, cards));
        QCOMPARE(
            target.rows(
                u"SELECT f.ICO FROM KONTAKT k JOIN FIRMA f ON f.ID = k.ID_FIRMA WHERE k.PRIJMENI = 'Nová'"_qs),
            (QList<QVariantList>{{u"25123452"_qs}}));
        QCOMPARE(
            target.rows(
                u"SELECT f.ICO FROM KONTAKT k JOIN FIRMA f ON f.ID = k.ID_FIRMA WHERE k.PRIJMENI = 'Starý'"_qs),
            (QList<QVariantList>{{QVariant()}}));
        QCOMPARE(target.count(QStringLiteral("FIRMA")), 5);
    }

    void failureMidImportLeavesTheDatabaseUnchanged() {
        TestDatabase db({.demo = true});
        const QStringList before = snapshot(db);
        QList<Entry> entries;
        for (int i = 0; i < 5; ++i)
            entries << person(QStringLiteral("Jan%1").arg(i), QStringLiteral("Nový"),
                              QStringLiteral("Nová firma %1").arg(i));
        entries << person(QString(200, u'x'), QStringLiteral("Dlouhý"), QStringLiteral("Poslední"));
        io::ExistingData existing = io::readExisting(connected(db));
        existing.contactLengths
            .clear(); // let the too long name reach the server, as the last statement
        const io::ImportPlan plan = io::planImport(entries, existing);
        QCOMPARE(plan.selectedCount(), 6);
        const data::changelog::Stamp log = data::changelog::read(connected(db));
        QVERIFY_EXCEPTION_THROWN(io::writeImport(connected(db), plan), db::DbError);
        QCOMPARE(snapshot(db), before);
        QCOMPARE(data::changelog::read(connected(db)), log); // its mark went with it
    }

    void anImportIsOneChangeInTheLogAndTheNextWriteAnother() {
        // The import writes its transaction's log row itself; the triggers
        // skip their look-up only inside that transaction.
        TestDatabase db({.demo = true});
        db::DbConnection &connection = connected(db);
        const data::changelog::Stamp before = data::changelog::read(connection);
        QVERIFY_DB(importBytes(db, u"Jméno,Příjmení,Firma\r\nOta,Sám,Pila\r\n"_qs.toUtf8()));
        const data::changelog::Stamp imported = data::changelog::read(connection);
        QCOMPARE(imported.rows, before.rows + 1);
        QVERIFY_DB(connection.executeCommitted(
            "UPDATE KONTAKT SET JMENO = 'Oto' WHERE PRIJMENI = ?", {u"Sám"_qs}));
        QCOMPARE(data::changelog::read(connection).rows, imported.rows + 1);
    }

    void tooLongTextIsRefusedBeforeImport() {
        TestDatabase db;
        const io::ImportPlan plan =
            io::planImport({person(QString(101, u'x'), QStringLiteral("Dlouhý"), {})},
                           io::readExisting(connected(db)));
        QCOMPARE(plan.contacts.size(), 0);
        QCOMPARE(plan.refused.size(), 1);
        QCOMPARE(plan.refused.first().problems,
                 QStringList{u"Jméno: text má 101 znaků, vejde se jen 100"_qs});
    }

    void serverUpperCasesCzechLettersAsTheProgram() {
        TestDatabase db;
        const QString letters = u"áčďéěíňóřšťúůýžäöüľĺŕ"_qs;
        const QVariant upper = db.scalar(
            QStringLiteral("SELECT UPPER(CAST(? AS VARCHAR(50))) FROM RDB$DATABASE"), {letters});
        QCOMPARE(upper.toString(), io::foldCase(letters));
        QCOMPARE(io::foldCase(letters), u"ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽÄÖÜĽĹŔ"_qs);
    }

    void companiesAreMatchedByNameIgnoringCzechCase() {
        TestDatabase db;
        QVERIFY_DB(
            db.exec(u"INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (7, 'Žluťoučký Kůň s.r.o.')"_qs));
        QVERIFY_DB(db.exec(
            u"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) VALUES (3, 7, 0, '***')"_qs));
        io::ImportPlan plan;
        QVERIFY_DB(importBytes(
            db,
            u"BEGIN:VCARD\r\nVERSION:3.0\r\nN:Řehoř;Petr\r\nORG:ŽLUŤOUČKÝ KŮŇ "
            u"S.R.O.\r\nEND:VCARD\r\n"
            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Šimek;Pavel\r\nORG:  žluťoučký kůň s.r.o. \r\nEND:VCARD\r\n"_qs
                .toUtf8(),
            &plan));
        QCOMPARE(plan.companiesToCreate(), QList<int>());
        QCOMPARE(db.count(QStringLiteral("FIRMA")), 1);
        // The first contact took the placeholder over; no placeholder is left.
        QCOMPARE(db.rows(QStringLiteral("SELECT ID, PRIJMENI, KRAJ FROM KONTAKT ORDER BY ID")),
                 (QList<QVariantList>{{qint64(3), u"Řehoř"_qs, u" "_qs},
                                      {qint64(4), u"Šimek"_qs, u" "_qs}}));
        QCOMPARE(boardContactRows(db), 2);
    }

    void contactsWithoutCompanyGoToBezFirmy() {
        TestDatabase db;
        QVERIFY_DB(importBytes(db, sampleBytes(QStringLiteral("google-3.0.vcf"))));
        // Anna has no organisation: one "Bez firmy" company, shown on the board with her.
        QCOMPARE(db.count(QStringLiteral("FIRMA"), QStringLiteral("NAZEV_FIRMA = 'Bez firmy'")), 1);
        QCOMPARE(
            db.scalar(
                u"SELECT f.NAZEV_FIRMA FROM KONTAKT k JOIN FIRMA f ON f.ID = k.ID_FIRMA WHERE k.PRIJMENI = 'Malá'"_qs),
            QVariant(u"Bez firmy"_qs));
        QVERIFY_DB(importBytes(
            db, u"Jméno,Příjmení\r\nOta,Sám\r\n"_qs.toUtf8())); // a second import finds it
        QCOMPARE(db.count(QStringLiteral("FIRMA"), QStringLiteral("NAZEV_FIRMA = 'Bez firmy'")), 1);
        QCOMPARE(db.count(QStringLiteral("KONTAKT"), QStringLiteral("KRAJ = '***'")), 0);
        QCOMPARE(boardContactRows(db), 3);
    }

    void newCompaniesFollowThePlaceholderRule() {
        TestDatabase db;
        Entry companyOnly;
        companyOnly.companyOnly = true;
        companyOnly.company[QStringLiteral("NAZEV_FIRMA")] = QStringLiteral("Jen firma");
        io::ImportPlan plan =
            io::planImport({companyOnly, person(QStringLiteral("Jan"), QStringLiteral("Král"),
                                                QStringLiteral("S lidmi"))},
                           io::readExisting(connected(db)));
        QVERIFY_DB(io::writeImport(connected(db), plan));
        QCOMPARE(db.rows(QStringLiteral("SELECT f.NAZEV_FIRMA, k.KRAJ, k.PRIJMENI FROM FIRMA f "
                                        "JOIN KONTAKT k ON k.ID_FIRMA = f.ID "
                                        "ORDER BY f.NAZEV_FIRMA")),
                 (QList<QVariantList>{{u"Jen firma"_qs, u"***"_qs, QVariant()},
                                      {u"S lidmi"_qs, u" "_qs, u"Král"_qs}}));
        QCOMPARE(db.rows(QStringLiteral("SELECT ID_POBOCKA FROM KONTAKT")),
                 (QList<QVariantList>{{qint64(0)}, {qint64(0)}}));
    }

    void duplicatesAreSkippedUnlessTicked() {
        TestDatabase db;
        QVERIFY_DB(db.exec(u"INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'ACME')"_qs));
        QVERIFY_DB(db.exec(
            u"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ, JMENO, PRIJMENI, EMAIL1, MOBIL) "
            "VALUES (1, 1, 0, ' ', 'Jiří', 'Dvořák', 'jiri@acme.cz', '+420 603 123 456')"_qs));
        Entry sameMail = person(QStringLiteral("JIŘÍ"), QStringLiteral("dvořák"),
                                QStringLiteral("ACME"), QStringLiteral("Jiri@ACME.cz"));
        Entry samePhone =
            person(QStringLiteral("Jiří"), QStringLiteral("Dvořák"), QStringLiteral("Jiná"));
        samePhone.contact[QStringLiteral("TELEFON1")] = QStringLiteral("603123456");
        Entry namesake = person(QStringLiteral("Jiří"), QStringLiteral("Dvořák"),
                                QStringLiteral("ACME"), QStringLiteral("jd@jinde.cz"));
        const Entry twice =
            person(QStringLiteral("Eva"), QStringLiteral("Nová"), {}, QStringLiteral("eva@x.cz"));
        io::ImportPlan plan = io::planImport({sameMail, samePhone, namesake, twice, twice},
                                             io::readExisting(connected(db)));
        QCOMPARE(plan.contacts.size(), 5);
        QCOMPARE(plan.contacts[0].duplicateOf, u"stejné jméno a e-mail"_qs);
        QCOMPARE(plan.contacts[1].duplicateOf, u"stejné jméno a telefon"_qs);
        QCOMPARE(plan.contacts[2].duplicateOf, QString());
        QCOMPARE(plan.contacts[3].duplicateOf, QString());
        QCOMPARE(plan.contacts[4].duplicateOf,
                 u"stejné jméno a e-mail"_qs); // twice in the same file
        QCOMPARE(plan.selectedCount(), 2);
        // "Jiná" is needed only by a skipped duplicate: it is not created.
        QCOMPARE(plan.companiesToCreate().size(), 1);
        plan.contacts[1].selected = true; // the user ticks one
        io::ImportResult result;
        QVERIFY_DB(result = io::writeImport(connected(db), plan));
        QCOMPARE(result.contacts, 3);
        QCOMPARE(result.companies, 2);
        QCOMPARE(db.count(QStringLiteral("KONTAKT")), 4);
        QCOMPARE(db.count(QStringLiteral("FIRMA")), 3);
    }

    void charactersTheDatabaseLacksAreReplacedAndReportedPerField() {
        TestDatabase db;
        Entry smiley =
            person(QStringLiteral("Jan"), QStringLiteral("Veselý"), QStringLiteral("Úsměv 😀"));
        smiley.contact[QStringLiteral("POZNAMKA")] = u"ahoj ☺ Ñandú z 北京, Łódź – „ok“ ﬁ"_qs;
        Entry symbolsOnly = person({}, u"☺北"_qs, QStringLiteral("Alfa"));
        const io::ImportPlan plan = io::planImport(
            {smiley, symbolsOnly, person(QStringLiteral("Eva"), QStringLiteral("Vážná"), {})},
            io::readExisting(connected(db)));
        QCOMPARE(plan.contacts.size(), 2);
        QCOMPARE(
            plan.contacts[0].notes,
            (QStringList{
                u"Poznámka: „☺“ vynecháno, „Ñ“ → „N“, „北“ vynecháno, „京“ vynecháno, „ﬁ“ → „fi“"_qs,
                u"Firma – Název firmy: „😀“ vynecháno"_qs}));
        QCOMPARE(plan.refused.size(),
                 1); // only a name that would be left empty refuses its contact
        QCOMPARE(plan.refused.first().who, u"☺北"_qs);
        QCOMPARE(plan.refused.first().problems.last(),
                 u"po převodu do kódování Windows-1250 by zůstal prázdný název"_qs);
        QVERIFY(io::describePlan(plan).contains(
            u"  Upraveno: Poznámka: „☺“ vynecháno, „Ñ“ → „N“, „北“ vynecháno, "
            "„京“ vynecháno, „ﬁ“ → „fi“; Firma – Název firmy: „😀“ vynecháno"_qs));
        QVERIFY_DB(io::writeImport(connected(db), plan));
        QCOMPARE(
            db.rows(QStringLiteral(
                "SELECT f.NAZEV_FIRMA, k.PRIJMENI, k.POZNAMKA FROM KONTAKT k JOIN FIRMA f ON "
                "f.ID = k.ID_FIRMA ORDER BY k.ID")),
            (QList<QVariantList>{{u"Úsměv"_qs, u"Veselý"_qs, u"ahoj  Nandú z , Łódź – „ok“ fi"_qs},
                                 {u"Bez firmy"_qs, u"Vážná"_qs, QVariant()}}));
    }

    void controlCharactersAreRefusedOutsideNotes() {
        TestDatabase db;
        Entry nul = person(QStringLiteral("Jan"), QStringLiteral("Nu%1l").arg(QChar(0)), {});
        Entry notes = person(QStringLiteral("Eva"), QStringLiteral("Vážná"), {});
        notes.contact[QStringLiteral("POZNAMKA")] = u"řádek 1\r\n\třádek 2"_qs;
        const io::ImportPlan plan = io::planImport({nul, notes}, io::readExisting(connected(db)));
        QCOMPARE(plan.refused.size(), 1);
        QCOMPARE(plan.refused[0].problems,
                 QStringList{u"Příjmení: neviditelný řídicí znak U+0000 nelze uložit"_qs});
        QVERIFY_DB(io::writeImport(connected(db), plan));
        QCOMPARE(db.rows(QStringLiteral("SELECT PRIJMENI, POZNAMKA FROM KONTAKT")),
                 (QList<QVariantList>{{u"Vážná"_qs, u"řádek 1\r\n\třádek 2"_qs}}));
    }

    void exportScopes() {
        TestDatabase db;
        QVERIFY_DB(db.exec(u"INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Alfa')"_qs));
        QVERIFY_DB(db.exec(u"INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (2, 'Beta')"_qs));
        QVERIFY_DB(db.exec(u"INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (3, 'Gama')"_qs));
        QVERIFY_DB(db.exec(
            u"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ, PRIJMENI) VALUES (1, 1, 0, ' ', 'Zeman')"_qs));
        QVERIFY_DB(db.exec(
            u"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ, PRIJMENI) VALUES (2, 1, 0, ' ', 'Adam')"_qs));
        QVERIFY_DB(db.exec(
            u"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ, PRIJMENI) VALUES (3, 2, 0, ' ', 'Bílá')"_qs));
        QVERIFY_DB(db.exec(
            u"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) VALUES (4, 3, 0, '***')"_qs));
        auto names = [&](const io::ExportScope &scope) {
            QStringList out;
            for (const Entry &e : io::readEntries(connected(db), scope))
                out << e.companyName() + QLatin1Char('/') +
                           e.contact.value(QStringLiteral("PRIJMENI"));
            return out;
        };
        using K = io::ExportScope::Kind;
        QCOMPARE(names({}), (QStringList{"Alfa/Zeman", "Alfa/Adam", u"Beta/Bílá"_qs,
                                         "Gama/"})); // contacts by ID
        QCOMPARE(names({K::Company, 1, {}, {}}), (QStringList{"Alfa/Zeman", "Alfa/Adam"}));
        QCOMPARE(names({K::Company, 3, {}, {}}), (QStringList{"Gama/"}));
        QCOMPARE(names({K::Shown, 0, {1, 3}, {1, 2, 3}}),
                 (QStringList{"Alfa/Zeman", u"Beta/Bílá"_qs, "Gama/"}));
        QCOMPARE(io::companiesNamed(connected(db), QStringLiteral("BETA")), QList<int>{2});
    }
};

QTEST_GUILESS_MAIN(TestInterchange)
#include "tst_interchange.moc"
