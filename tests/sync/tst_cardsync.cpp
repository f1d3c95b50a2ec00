// Two-way sync against a real address book server: the register, a second
// register syncing the same book, and a "phone" (plain HTTP requests)
// writing cards; changes, deletes and conflicts on both sides, and a server
// killed in the middle of a sync.
#include "SyncFixture.h"
#include "app/BackgroundSync.h"
#include "io/VCardContacts.h"
#include "support/LocalHttpServer.h"

#include <QElapsedTimer>
#include <QTimer>

class TestCardSync : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        SKIP_WITHOUT_CARD_SERVER();
        m_server = std::make_unique<TestCardServer>();
        QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
    }
    void cleanup() { m_server.reset(); }

    /// The register's contacts go up, the phone's come down under their
    /// companies (a new one by ORG, "Bez firmy" without), and a second
    /// register syncing the same book ends up with the same contacts.
    void firstSyncBothWays() {
        TestDatabase desk({.demo = true});
        const QStringList before = contactsOf(desk);
        Phone phone(*m_server);
        QCOMPARE(
            phone.write(QStringLiteral("jana"),
                        QStringLiteral("N:Nováková;Jana;;;\r\nFN:Jana Nováková\r\n"
                                       "ORG:Pekárna U Mostu\r\nTEL;TYPE=CELL:+420 601 111 222")),
            201);
        QCOMPARE(phone.write(QStringLiteral("petr"), QStringLiteral("N:Zelenka;Petr;;;\r\nFN:Petr "
                                                                    "Zelenka")),
                 201);
        SyncReport first;
        QVERIFY_SYNC(first = syncNow(desk, *m_server));
        QCOMPARE(first.sentThere, before.size());
        QCOMPARE(first.receivedHere, 2);
        QVERIFY2(first.notes.isEmpty(), qPrintable(first.notes.join(u'\n')));
        QCOMPARE(desk.scalar(QStringLiteral(
                     "SELECT f.NAZEV_FIRMA FROM KONTAKT k JOIN FIRMA f ON f.ID = k.ID_FIRMA "
                     "WHERE k.PRIJMENI = 'Zelenka'")),
                 QVariant(QStringLiteral("Bez firmy")));
        QCOMPARE(desk.scalar(QStringLiteral(
                     "SELECT k.MOBIL FROM KONTAKT k JOIN FIRMA f ON f.ID = k.ID_FIRMA "
                     "WHERE f.NAZEV_FIRMA = 'Pekárna U Mostu'")),
                 QVariant(QStringLiteral("+420 601 111 222")));

        // A second program's sync of the same register gives way while one
        // runs (here: holds its lock), writing nothing.
        QVERIFY_DB(desk.connection().runInTransaction([&](db::WriteTransaction &tr) {
            db::FbStatement hold(desk.connection(), tr.handle());
            hold.prepare("UPDATE SYNCHRONIZACE SET ID = ID WHERE ID = 0");
            hold.bind({});
            hold.execute();
            db::DbConnection other;
            configureConnection(other, desk.path());
            cardsync::CardDavClient client(
                {m_server->rootUrl(), m_server->user(), m_server->password(), {}}, 5000);
            try {
                cardsync::SyncEngine(other, client).run();
                QFAIL("two syncs of one register ran at once");
            } catch (const cardsync::SyncError &e) {
                QCOMPARE(e.kind(), cardsync::SyncError::Kind::Busy);
            }
        }));
        // A second sync finds nothing to carry: what went up is not taken
        // for a change there, nor what came down for one here.
        SyncReport again;
        QVERIFY_SYNC(again = syncNow(desk, *m_server));
        QVERIFY2(carriedNothing(again), qPrintable(again.notes.join(u'\n')));

        // The colleague's register syncs by the command line tool; a refused
        // login leaves it as it was and says why.
        TestDatabase colleague;
        QVERIFY(contactsOf(colleague).isEmpty());
        const auto [refused, why] = syncByTool(colleague, *m_server, QStringLiteral("špatné"));
        QCOMPARE(refused, 1);
        QVERIFY2(why.contains(QStringLiteral("odmítl přihlášení")), qPrintable(why));
        QVERIFY(contactsOf(colleague).isEmpty());
        const auto [status, output] = syncByTool(colleague, *m_server, m_server->password());
        QVERIFY2(status == 0, qPrintable(output));
        QCOMPARE(contactsOf(colleague), contactsOf(desk));
    }

    /// A change and a delete on each side reach the other side, and a
    /// second register sees the same result.
    void changesAndDeletesBothWays() {
        TestDatabase desk({.demo = true});
        QVERIFY_SYNC(syncNow(desk, *m_server));
        const QList<QVariantList> ids =
            desk.rows(QStringLiteral("SELECT ID FROM KONTAKT WHERE KRAJ IS DISTINCT FROM '***' "
                                     "ORDER BY ID"));
        QVERIFY(ids.size() >= 4);
        const qint64 changedHere = ids[0][0].toLongLong(), deletedHere = ids[1][0].toLongLong();
        const qint64 changedThere = ids[2][0].toLongLong(), deletedThere = ids[3][0].toLongLong();
        desk.exec(QStringLiteral("UPDATE KONTAKT SET MOBIL = '+420 777 000 111' WHERE ID = ?"),
                  {changedHere});
        const QString deletedHref = hrefOf(desk, deletedHere);
        desk.exec(QStringLiteral("DELETE FROM KONTAKT WHERE ID = ?"), {deletedHere});
        Phone phone(*m_server);
        QVERIFY(phone.change(hrefOf(desk, changedThere), "NOTE:Volat jen dopoledne"));
        QVERIFY(phone.remove(hrefOf(desk, deletedThere)));

        SyncReport report;
        QVERIFY_SYNC(report = syncNow(desk, *m_server));
        QCOMPARE(report.sentThere, 1);
        QCOMPARE(report.deletedThere, 1);
        QCOMPARE(report.receivedHere, 1);
        QCOMPARE(report.deletedHere, 1);
        QCOMPARE(desk.count(QStringLiteral("KONTAKT"), QStringLiteral("ID = %1").arg(deletedThere)),
                 0);
        QCOMPARE(desk.scalar(QStringLiteral("SELECT POZNAMKA FROM KONTAKT WHERE ID = ?"),
                             {changedThere}),
                 QVariant(QStringLiteral("Volat jen dopoledne")));
        QVERIFY(phone.request("GET", hrefOf(desk, changedHere)).body.contains("+420 777 000 111"));
        QCOMPARE(phone.request("GET", deletedHref).status, 404);

        TestDatabase colleague;
        QVERIFY_SYNC(syncNow(colleague, *m_server));
        QCOMPARE(contactsOf(colleague), contactsOf(desk));
        // What came down is recorded as it was stored (new and existing
        // companies alike): nothing seems changed here afterwards.
        SyncReport settled;
        QVERIFY_SYNC(settled = syncNow(colleague, *m_server));
        QVERIFY2(carriedNothing(settled), qPrintable(settled.notes.join(u'\n')));
    }

    /// Changed on both sides: neither side is overwritten until the user
    /// chooses; keeping both makes two contacts and two cards. A delete on
    /// one side and a change on the other keeps the changed contact.
    void conflictsLoseNothing() {
        TestDatabase desk({.demo = true});
        QVERIFY_SYNC(syncNow(desk, *m_server));
        const QList<QVariantList> ids =
            desk.rows(QStringLiteral("SELECT ID, PRIJMENI FROM KONTAKT WHERE KRAJ IS DISTINCT "
                                     "FROM '***' ORDER BY ID"));
        const qint64 both = ids[0][0].toLongLong(), goneHere = ids[1][0].toLongLong(),
                     goneThere = ids[2][0].toLongLong();
        const QString surname = ids[0][1].toString();
        const QString bothHref = hrefOf(desk, both), goneHereHref = hrefOf(desk, goneHere);
        Phone phone(*m_server);
        desk.exec(QStringLiteral("UPDATE KONTAKT SET MOBIL = '+420 600 000 001' WHERE ID = ?"),
                  {both});
        QVERIFY(phone.change(bothHref, "TITLE:ředitelka"));
        desk.exec(QStringLiteral("DELETE FROM KONTAKT WHERE ID = ?"), {goneHere});
        QVERIFY(phone.change(goneHereHref, "NOTE:změněno v telefonu"));
        desk.exec(QStringLiteral("UPDATE KONTAKT SET POZNAMKA = 'změněno na stole' WHERE ID = ?"),
                  {goneThere});
        QVERIFY(phone.remove(hrefOf(desk, goneThere)));

        for (int round = 0; round < 2; ++round) { // the conflict stands until it is resolved
            SyncReport report;
            QVERIFY_SYNC(report = syncNow(desk, *m_server));
            QCOMPARE(report.conflicts, QList<int>{int(both)});
            QCOMPARE(desk.scalar(QStringLiteral("SELECT MOBIL FROM KONTAKT WHERE ID = ?"), {both}),
                     QVariant(QStringLiteral("+420 600 000 001")));
            const QByteArray there = phone.request("GET", bothHref).body;
            QVERIFY(there.contains("ředitelka"));
            QVERIFY(!there.contains("+420 600 000 001"));
        }
        // The changed one of each delete stays, on both sides.
        QCOMPARE(desk.scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT WHERE POZNAMKA = "
                                            "'změněno v telefonu'")),
                 QVariant(qint64(1)));
        const QString goneThereHref = hrefOf(desk, goneThere);
        QVERIFY(!goneThereHref.isEmpty());
        QVERIFY(phone.request("GET", goneThereHref).body.contains("změněno na stole"));

        cardsync::CardDavClient client(
            {m_server->rootUrl(), m_server->user(), m_server->password(), {}}, 5000);
        QVERIFY_SYNC(cardsync::SyncEngine(desk.connection(), client)
                         .resolve(int(both), cardsync::Choice::KeepBoth));
        SyncReport after;
        QVERIFY_SYNC(after = syncNow(desk, *m_server));
        QVERIFY(after.conflicts.isEmpty());
        const QList<QVariantList> versions =
            desk.rows(QStringLiteral("SELECT MOBIL, POZICE FROM KONTAKT WHERE PRIJMENI = ? "
                                     "ORDER BY ID"),
                      {surname});
        QCOMPARE(versions.size(), 2);
        TestDatabase colleague;
        QVERIFY_SYNC(syncNow(colleague, *m_server));
        QCOMPARE(contactsOf(colleague), contactsOf(desk));
        QVERIFY(contactNamed(colleague, surname) != 0);
    }

    /// A first sync against a book that holds the register's people already
    /// (the phone's book filled from an export, one card edited there since)
    /// pairs them instead of doubling them; the edited one waits for the
    /// user. Pointed at another book and back, every card pairs again by its
    /// UID, also that of a contact renamed here meanwhile.
    void firstSyncPairsWhatIsOnBothSides() {
        TestDatabase desk({.demo = true});
        QList<std::pair<int, io::Entry>> contacts;
        io::forEachContactEntry(desk.connection(), {}, [&](int id, io::Entry &&e) {
            if (!e.companyOnly)
                contacts << std::pair{id, std::move(e)};
        });
        QVERIFY(contacts.size() >= 3);
        const auto [edited, editedEntry] = contacts.first();
        const int notOnPhone = contacts.last().first;
        Phone phone(*m_server);
        for (qsizetype i = 0; i + 1 < contacts.size(); ++i) {
            io::Entry entry = contacts[i].second;
            if (i == 0)
                entry.contact[QStringLiteral("POZNAMKA")] = QStringLiteral("změněno v telefonu");
            QByteArray card;
            io::appendVCard(card, entry, io::VCardVersion::V3);
            const QByteArray uid = "telefon-" + QByteArray::number(i);
            card.insert(card.indexOf("VERSION:3.0\r\n") + 13, "UID:" + uid + "\r\n");
            QCOMPARE(
                phone.request("PUT", m_server->addressBookUrl().path() + uid + ".vcf", card).status,
                201);
        }
        QCOMPARE(
            phone.write(QStringLiteral("cizi"), QStringLiteral("N:Cizí;Karel;;;\r\nFN:Karel Cizí")),
            201);
        auto cardsThere = [&] {
            return cardsync::CardDavClient(
                       {m_server->rootUrl(), m_server->user(), m_server->password(), {}}, 5000)
                .list(m_server->addressBookUrl())
                .cards.size();
        };
        // Beside the contacts' cards, each company has its organisation card.
        auto contactCardsThere = [&] {
            return cardsThere() -
                   desk.count(QStringLiteral("FIRMA_KARTA"), QStringLiteral("HREF IS NOT NULL"));
        };

        SyncReport first;
        QVERIFY_SYNC(first = syncNow(desk, *m_server));
        QCOMPARE(first.paired, contacts.size() - 1);
        QCOMPARE(first.conflicts, QList<int>{edited});
        QCOMPARE(first.sentThere, 1);
        QCOMPARE(first.receivedHere, 1);
        QCOMPARE(contactsOf(desk).size(), contacts.size() + 1);
        QCOMPARE(contactCardsThere(), contacts.size() + 1);
        const auto versions = cardsync::conflictVersions(desk.connection(), edited);
        QVERIFY(versions);
        QCOMPARE(versions->here.contact, editedEntry.contact);
        QCOMPARE(versions->there.contact.value(QStringLiteral("POZNAMKA")),
                 QStringLiteral("změněno v telefonu"));

        desk.exec(QStringLiteral("UPDATE SYNCHRONIZACE SET ADRESAR = 'http://127.0.0.1:1/jinde/' "
                                 "WHERE ID = 1"));
        desk.exec(QStringLiteral("UPDATE KONTAKT SET PRIJMENI = 'Přejmenovaný' WHERE ID = ?"),
                  {notOnPhone});
        SyncReport back;
        QVERIFY_SYNC(back = syncNow(desk, *m_server));
        QCOMPARE(back.paired, contacts.size() + 1);
        QCOMPARE(back.conflicts,
                 (QList<int>{std::min(edited, notOnPhone), std::max(edited, notOnPhone)}));
        QCOMPARE(back.sentThere + back.receivedHere, 0);
        QCOMPARE(contactCardsThere(), contacts.size() + 1);

        cardsync::CardDavClient client(
            {m_server->rootUrl(), m_server->user(), m_server->password(), {}}, 5000);
        QVERIFY_SYNC(cardsync::SyncEngine(desk.connection(), client)
                         .resolve(edited, cardsync::Choice::KeepServer));
        QCOMPARE(desk.scalar(QStringLiteral("SELECT POZNAMKA FROM KONTAKT WHERE ID = ?"), {edited}),
                 QVariant(QStringLiteral("změněno v telefonu")));
    }

    /// The server killed in the middle of the first sync: every card known
    /// to be there is there, and the next sync completes the work without a
    /// card or a contact twice, also for a card whose answer was lost (its
    /// link kept without an ETag) whether the card landed or not.
    void serverKilledMidSync() {
        TestDatabase desk({.companies = 40, .contacts = 300});
        // Killed once a few cards have gone up, between two requests or in one.
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (desk.count(QStringLiteral("KONTAKT_KARTA"), QStringLiteral("ETAG IS NOT NULL")) >=
                20)
                m_server->kill();
        });
        watch.start(20);
        bool failed = false;
        try {
            syncNow(desk, *m_server);
        } catch (const cardsync::SyncError &e) {
            failed = e.kind() == cardsync::SyncError::Kind::Unreachable;
        }
        watch.stop();
        QVERIFY2(failed, "the sync did not notice the server going away");
        const qint64 linked = desk.scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT_KARTA "
                                                         "WHERE ETAG IS NOT NULL"))
                                  .toLongLong();
        QVERIFY2(linked > 0 && linked < 300, qPrintable(QString::number(linked)));
        QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
        Phone phone(*m_server);
        for (const QVariantList &row :
             desk.rows(QStringLiteral("SELECT HREF FROM KONTAKT_KARTA WHERE ETAG IS NOT NULL")))
            QCOMPARE(phone.request("GET", row[0].toString()).status, 200);

        SyncReport rest;
        QVERIFY_SYNC(rest = syncNow(desk, *m_server));
        QVERIFY_SYNC(QVERIFY(carriedNothing(syncNow(desk, *m_server))));

        const QList<QVariantList> two =
            desk.rows(QStringLiteral("SELECT FIRST 2 ID_KONTAKT, HREF FROM KONTAKT_KARTA"));
        QVERIFY(phone.remove(two[1][1].toString())); // the second never landed
        for (const QVariantList &row : two)
            desk.exec(QStringLiteral("UPDATE KONTAKT_KARTA SET ETAG = NULL WHERE ID_KONTAKT = ?"),
                      {row[0]});
        SyncReport lost;
        QVERIFY_SYNC(lost = syncNow(desk, *m_server));
        QCOMPARE(lost.sentThere, 1);
        QCOMPARE(lost.receivedHere + lost.deletedHere + lost.deletedThere, 0);
        QCOMPARE(phone.request("GET", two[1][1].toString()).status, 200);

        TestDatabase colleague;
        QVERIFY_SYNC(syncNow(colleague, *m_server));
        QCOMPARE(contactsOf(colleague), contactsOf(desk));
        QCOMPARE(contactsOf(desk).size(), 300);
    }

    /// Closing the program while a sync waits for a server that does not
    /// answer ends the sync at once instead of after the server's time-out,
    /// and nothing was written.
    void closingCancelsARunningSync() {
        LocalHttpServer hanging;
        QVERIFY(hanging.listen());
        hanging.answer(QStringLiteral("/"), {0, {}, LocalHttpServer::Way::Hang});
        TestDatabase desk({.demo = true});
        auto sync =
            std::make_unique<app::BackgroundSync>(db::DatabaseAccess::embedded(desk.path()));
        sync->start(
            {QUrl(hanging.baseUrl() + u'/'), QStringLiteral("anna"), QStringLiteral("x"), {}});
        // A loaded machine may take a while to open the file and ask.
        QTRY_VERIFY_WITH_TIMEOUT(!hanging.requests().isEmpty(), 30000);
        QElapsedTimer closing;
        closing.start();
        sync.reset(); // as the main window's end does
        // Well below the client's 30 s time-out, with room for a loaded machine.
        QVERIFY2(closing.elapsed() < 10000, qPrintable(QString::number(closing.elapsed())));
        QCOMPARE(desk.count(QStringLiteral("KONTAKT_KARTA")), 0);
    }

    /// Over HTTPS with a certificate of a private authority: refused with
    /// its fingerprint and nothing carried, until the user accepts that very
    /// certificate; another accepted fingerprint does not open it.
    void httpsCertificateAcceptedOnce() {
        TestCardServer tls(TestCardServer::Transport::Tls);
        QVERIFY2(tls.start(), qPrintable(tls.errorString()));
        TestDatabase desk({.demo = true});
        desk.connection().setConnected(true);
        auto syncWith = [&](const QByteArray &accepted) {
            cardsync::CardDavClient client({tls.rootUrl(), tls.user(), tls.password(), accepted},
                                           5000);
            return cardsync::SyncEngine(desk.connection(), client).run();
        };
        QByteArray refused;
        for (const QByteArray &accepted : {QByteArray(), QByteArray(64, 'a')}) {
            try {
                syncWith(accepted);
                QFAIL("a certificate the system does not trust was taken");
            } catch (const cardsync::SyncError &e) {
                QCOMPARE(e.kind(), cardsync::SyncError::Kind::Certificate);
                QVERIFY2(e.message().contains(QStringLiteral("Otisk")), qPrintable(e.message()));
                refused = e.certificate();
            }
        }
        QCOMPARE(refused.size(), 64);
        QCOMPARE(desk.count(QStringLiteral("KONTAKT_KARTA")), 0);
        SyncReport report;
        QVERIFY_SYNC(report = syncWith(refused));
        QCOMPARE(report.sentThere, int(contactsOf(desk).size()));
    }

  private:
    std::unique_ptr<TestCardServer> m_server;
};

QTEST_GUILESS_MAIN(TestCardSync)
#include "tst_cardsync.moc"
