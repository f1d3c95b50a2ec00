// Companies in the sync against a real address book server: only the chosen
// companies reach the book, each company has an organisation card, and what
// a "phone" (plain HTTP requests) changes in those cards, or in a contact's
// ORG, reaches the register without losing anything in a conflict.
#include "SyncFixture.h"

#include <QRegularExpression>

namespace {

qint64 companyNamed(TestDatabase &db, const QString &name) {
    return db.scalar(QStringLiteral("SELECT MIN(ID) FROM FIRMA WHERE NAZEV_FIRMA = ?"), {name})
        .toLongLong();
}

QString companyHrefOf(TestDatabase &db, qint64 companyId) {
    return db.scalar(QStringLiteral("SELECT HREF FROM FIRMA_KARTA WHERE ID_FIRMA = ?"), {companyId})
        .toString();
}

QList<qint64> contactsIn(TestDatabase &db, qint64 companyId) {
    QList<qint64> ids;
    for (const QVariantList &row : db.rows(QStringLiteral("SELECT ID FROM KONTAKT WHERE ID_FIRMA "
                                                          "= ? AND KRAJ IS DISTINCT FROM '***' "
                                                          "ORDER BY ID"),
                                           {companyId}))
        ids << row[0].toLongLong();
    return ids;
}

QString companyOf(TestDatabase &db, qint64 contactId) {
    return db
        .scalar(QStringLiteral("SELECT f.NAZEV_FIRMA FROM KONTAKT k JOIN FIRMA f ON f.ID = "
                               "k.ID_FIRMA WHERE k.ID = ?"),
                {contactId})
        .toString();
}

/// The line of a card's property `name`, as the server keeps it.
QByteArray lineOf(const QByteArray &card, const char *name) {
    const QRegularExpression line(
        QStringLiteral("(?:^|\\n)(%1[:;][^\\r]*\\r\\n)").arg(QString::fromLatin1(name)));
    return line.match(QString::fromUtf8(card)).captured(1).toUtf8();
}

const QString kBuilder = QStringLiteral("Stavební firma Hrubý a syn s.r.o.");
const QString kWorks = QStringLiteral("Strojírny Žďár a.s.");
const QString kGarage = QStringLiteral("Autoservis Čermák s.r.o.");

} // namespace

class TestCompanySync : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        SKIP_WITHOUT_CARD_SERVER();
        m_server = std::make_unique<TestCardServer>();
        QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
    }
    void cleanup() { m_server.reset(); }

    /// Only the chosen companies reach the book, each with its organisation
    /// card and its contacts' cards. A contact moved to a company not chosen,
    /// a company no longer chosen (by the tool's --company) and a card the
    /// phone makes for a company not chosen leave the book, and stay here
    /// as they were.
    void chosenCompaniesOnly() {
        TestDatabase desk({.demo = true});
        const qint64 builder = companyNamed(desk, kBuilder), garage = companyNamed(desk, kGarage),
                     works = companyNamed(desk, kWorks);
        const QList<qint64> builders = contactsIn(desk, builder),
                            garages = contactsIn(desk, garage);
        QVERIFY(builders.size() >= 2 && !garages.isEmpty());
        auto cardsInBook = [&] {
            cardsync::CardDavClient client(
                {m_server->addressBookUrl(), m_server->user(), m_server->password(), {}}, 5000);
            return int(client.list(m_server->addressBookUrl()).cards.size());
        };
        SyncReport first;
        QVERIFY_SYNC(first = syncNow(desk, *m_server, {{int(builder), int(garage)}}));
        QCOMPARE(first.sentThere, builders.size() + garages.size());
        QCOMPARE(first.companiesThere, 2);
        QCOMPARE(cardsInBook(), builders.size() + garages.size() + 2);
        const QStringList companies = companiesOf(desk);
        const int contacts = int(contactsOf(desk).size());

        const QString movedHref = hrefOf(desk, builders[0]);
        QStringList garageHrefs{companyHrefOf(desk, garage)};
        for (qint64 id : garages)
            garageHrefs << hrefOf(desk, id);
        desk.exec(QStringLiteral("UPDATE KONTAKT SET ID_FIRMA = ? WHERE ID = ?"),
                  {works, builders[0]});
        Phone phone(*m_server);
        QCOMPARE(phone.write(QStringLiteral("lada"),
                             QStringLiteral("N:Šimek;Láďa;;;\r\nFN:Láďa Šimek\r\nORG:") + kWorks),
                 201);
        const auto [status, output] =
            syncByTool(desk, *m_server, m_server->password(),
                       {QStringLiteral("--company"), QString::number(builder)});
        QVERIFY2(status == 0, qPrintable(output));
        QCOMPARE(phone.request("GET", movedHref).status, 404);
        for (const QString &href : garageHrefs)
            QCOMPARE(phone.request("GET", href).status, 404);
        const qint64 lada = contactNamed(desk, QStringLiteral("Šimek"));
        QCOMPARE(companyOf(desk, lada), kWorks);

        SyncReport last;
        QVERIFY_SYNC(last = syncNow(desk, *m_server, {{int(builder)}}));
        QCOMPARE(last.deletedThere, 1); // the phone's card of a company not chosen
        QCOMPARE(cardsInBook(), builders.size() - 1 + 1);
        QVERIFY_SYNC(QVERIFY(carriedNothing(syncNow(desk, *m_server, {{int(builder)}}))));
        // Nothing here was lost or changed by leaving the book.
        QCOMPARE(companiesOf(desk), companies);
        QCOMPARE(contactsOf(desk).size(), contacts + 1);
        QCOMPARE(companyOf(desk, builders[0]), kWorks);
        QCOMPARE(contactsIn(desk, garage), garages);
    }

    /// Each company goes up as an organisation card and a second register
    /// gets the same companies. What the phone changes in a card (the phone
    /// number it shows) reaches the company and its contacts' cards; a card
    /// deleted on the phone deletes a company only when it has no contacts
    /// (else the card comes back); a new card makes a company. A contact
    /// whose ORG the phone changed goes to that company, without ORG to
    /// "Bez firmy".
    void companiesFromThePhone() {
        TestDatabase desk({.demo = true});
        desk.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (9001, 'Prázdná')"));
        desk.exec(QStringLiteral(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) VALUES (9001, 9001, 0, '***')"));
        SyncReport first;
        QVERIFY_SYNC(first = syncNow(desk, *m_server));
        QCOMPARE(first.companiesThere,
                 desk.count(QStringLiteral("FIRMA"), QStringLiteral("NAZEV_FIRMA <> 'Bez firmy'")));
        QVERIFY2(first.notes.isEmpty(), qPrintable(first.notes.join(u'\n')));
        QVERIFY_SYNC(QVERIFY(carriedNothing(syncNow(desk, *m_server))));
        // The second register makes the companies from the contacts' cards;
        // their organisation cards then become theirs, no conflict.
        TestDatabase colleague;
        SyncReport down;
        QVERIFY_SYNC(down = syncNow(colleague, *m_server));
        QVERIFY2(down.notes.isEmpty(), qPrintable(down.notes.join(u'\n')));
        QVERIFY(down.conflictingCompanies.isEmpty());
        QCOMPARE(companiesOf(colleague), companiesOf(desk));

        const qint64 builder = companyNamed(desk, kBuilder), works = companyNamed(desk, kWorks);
        const QList<qint64> builders = contactsIn(desk, builder);
        Phone phone(*m_server);
        const QString builderCard = companyHrefOf(desk, builder);
        QVERIFY(phone.request("GET", builderCard).body.toUpper().contains("X-ABSHOWAS:COMPANY"));
        QVERIFY(phone.replace(builderCard, "VOICE:+420 545 212 340", "VOICE:+420 545 999 000"));
        QVERIFY(phone.remove(companyHrefOf(desk, works)));
        QVERIFY(phone.remove(companyHrefOf(desk, 9001)));
        QCOMPARE(
            phone.write(QStringLiteral("dub"),
                        QStringLiteral("X-ABShowAs:COMPANY\r\nFN:Truhlářství Dub\r\nN:;;;;\r\n"
                                       "ORG:Truhlářství Dub\r\nTEL;TYPE=WORK:+420 466 100 200")),
            201);
        const QString moved = hrefOf(desk, builders[0]), unbound = hrefOf(desk, builders[1]);
        const QByteArray org = lineOf(phone.request("GET", moved).body, "ORG");
        QVERIFY(!org.isEmpty());
        QVERIFY(phone.replace(moved, org, "ORG:" + kGarage.toUtf8() + "\r\n"));
        QVERIFY(phone.replace(unbound, org, ""));

        SyncReport report;
        QVERIFY_SYNC(report = syncNow(desk, *m_server));
        QVERIFY2(report.notes.isEmpty(), qPrintable(report.notes.join(u'\n')));
        QCOMPARE(desk.scalar(QStringLiteral("SELECT TELEFON1 FROM FIRMA WHERE ID = ?"), {builder}),
                 QVariant(QStringLiteral("+420 545 999 000")));
        QVERIFY(
            phone.request("GET", hrefOf(desk, builders.last())).body.contains("+420 545 999 000"));
        QCOMPARE(desk.count(QStringLiteral("FIRMA"), QStringLiteral("ID = 9001")), 0);
        QCOMPARE(desk.count(QStringLiteral("KONTAKT"), QStringLiteral("ID_FIRMA = 9001")), 0);
        QCOMPARE(phone.request("GET", companyHrefOf(desk, works)).status, 200);
        QCOMPARE(desk.scalar(QStringLiteral("SELECT TELEFON1 FROM FIRMA WHERE NAZEV_FIRMA = "
                                            "'Truhlářství Dub'")),
                 QVariant(QStringLiteral("+420 466 100 200")));
        QCOMPARE(companyOf(desk, builders[0]), kGarage);
        QCOMPARE(companyOf(desk, builders[1]), QStringLiteral("Bez firmy"));

        QVERIFY_SYNC(QVERIFY(carriedNothing(syncNow(desk, *m_server))));
        QVERIFY_SYNC(syncNow(colleague, *m_server));
        QCOMPARE(companiesOf(colleague), companiesOf(desk));
        QCOMPARE(contactsOf(colleague), contactsOf(desk));
    }

    /// A company changed on both sides: neither side is overwritten until
    /// the user chooses (here by the tool); a delete on the phone against a
    /// change here keeps the change, on both sides.
    void companyConflictLosesNothing() {
        TestDatabase desk({.demo = true});
        QVERIFY_SYNC(syncNow(desk, *m_server));
        const qint64 builder = companyNamed(desk, kBuilder), works = companyNamed(desk, kWorks);
        const QString builderCard = companyHrefOf(desk, builder);
        Phone phone(*m_server);
        desk.exec(QStringLiteral("UPDATE FIRMA SET WWW = 'www.stul.cz' WHERE ID = ?"), {builder});
        QVERIFY(phone.replace(builderCard, "VOICE:+420 545 212 340", "VOICE:+420 545 999 000"));
        desk.exec(QStringLiteral("UPDATE FIRMA SET WWW = 'www.zdar.cz' WHERE ID = ?"), {works});
        QVERIFY(phone.remove(companyHrefOf(desk, works)));

        for (int round = 0; round < 2; ++round) {
            SyncReport report;
            QVERIFY_SYNC(report = syncNow(desk, *m_server));
            QCOMPARE(report.conflictingCompanies, QList<int>{int(builder)});
            QCOMPARE(desk.rows(QStringLiteral("SELECT WWW, TELEFON1 FROM FIRMA WHERE ID = ?"),
                               {builder}),
                     (QList<QVariantList>{
                         {QStringLiteral("www.stul.cz"), QStringLiteral("+420 545 212 340")}}));
            const QByteArray there = phone.request("GET", builderCard).body;
            QVERIFY(there.contains("+420 545 999 000"));
            QVERIFY(!there.contains("www.stul.cz"));
        }
        QVERIFY(phone.request("GET", companyHrefOf(desk, works)).body.contains("www.zdar.cz"));
        QCOMPARE(desk.scalar(QStringLiteral("SELECT WWW FROM FIRMA WHERE ID = ?"), {works}),
                 QVariant(QStringLiteral("www.zdar.cz")));

        const auto [status, output] =
            syncByTool(desk, *m_server, m_server->password(),
                       {QStringLiteral("--keep"), QStringLiteral("server"),
                        QStringLiteral("--organisation"), QString::number(builder)});
        QVERIFY2(status == 0, qPrintable(output));
        QCOMPARE(desk.scalar(QStringLiteral("SELECT TELEFON1 FROM FIRMA WHERE ID = ?"), {builder}),
                 QVariant(QStringLiteral("+420 545 999 000")));
        QVERIFY_SYNC(QVERIFY(carriedNothing(syncNow(desk, *m_server))));
        TestDatabase colleague;
        QVERIFY_SYNC(syncNow(colleague, *m_server));
        QCOMPARE(companiesOf(colleague), companiesOf(desk));
    }

  private:
    std::unique_ptr<TestCardServer> m_server;
};

QTEST_GUILESS_MAIN(TestCompanySync)
#include "tst_companysync.moc"
