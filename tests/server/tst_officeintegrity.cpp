// An office on one server database, with isql as a third writer: new rows
// of several people never collide, every commit reaches the others' boards
// however it was made, a write that meets a colleague's committed change
// says so, and the row opened after a lost connection is the row chosen.
#include "Desk.h"
#include "base/MessageService.h"
#include "data/ChangeLog.h"
#include "db/FbStatement.h"

#include <QLineEdit>
#include <QProcess>

#include <thread>

class TestOfficeIntegrity : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    QString target;
    int made = 0;
    std::unique_ptr<db::DbConnection> own; ///< the test's own look at the database
    std::unique_ptr<Desk> jana, petr;
    std::unique_ptr<base::msg::Recorder> messages;

    void exec(const QByteArray &sql, const QVariantList &params = {}) {
        own->executeCommitted(sql, params);
    }
    qint64 number(const QByteArray &sql, const QVariantList &params = {}) {
        db::PackedRow row;
        return own->openCursor(sql, params)->fetch(row) ? row.cell(0).num : -1;
    }
    QString said() const {
        QStringList texts;
        for (const auto &m : messages->messages)
            texts << m.text;
        return texts.join(QLatin1Char('|'));
    }
    /// Starts isql on the test database with `script` on its input.
    std::unique_ptr<QProcess> startIsql(const QByteArray &script) {
        auto isql = std::make_unique<QProcess>();
        isql->setProcessChannelMode(QProcess::MergedChannels);
        isql->start(QStringLiteral("isql-fb"),
                    {QStringLiteral("-q"), QStringLiteral("-user"), server->user(),
                     QStringLiteral("-password"), server->password(), target});
        isql->write(script);
        isql->closeWriteChannel();
        return isql;
    }
    static QString finished(QProcess &isql) {
        if (!isql.waitForFinished(60000)) {
            isql.kill();
            isql.waitForFinished();
            return QStringLiteral("isql hung");
        }
        return QString::fromLocal8Bit(isql.readAll());
    }
    /// Waits until `desk`'s board shows `rows` rows for `pattern`.
    static bool boardComesTo(Desk &desk, const QString &pattern, int rows) {
        for (int i = 0; i < 100; ++i) {
            if (desk.boardRowsFor(pattern) == rows)
                return true;
            QTest::qWait(100);
        }
        return false;
    }

  private slots:
    void initTestCase() {
        SKIP_WITHOUT_SERVER();
        server = std::make_unique<TestServer>();
        QVERIFY2(server->start(), qPrintable(server->errorString()));
    }
    void init() {
        QVERIFY_DB(own = officeDatabase(*server, QStringLiteral("o%1.fdb").arg(++made)));
        target = own->database();
        messages = std::make_unique<base::msg::Recorder>();
        QVERIFY_DB(jana = std::make_unique<Desk>(*server, target));
        QVERIFY_DB(petr = std::make_unique<Desk>(*server, target));
    }
    void cleanup() {
        jana.reset();
        petr.reset();
        messages.reset();
        own.reset();
    }
    void cleanupTestCase() { server.reset(); }

    void newRowsOfSeveralPeopleAtOnceAreAllSaved() {
        // Jana starts a new contact; meanwhile Petr creates a company, whose
        // placeholder contact is a new contact too.
        TFM_Kontakt &contact = *jana->contactForm;
        QVERIFY(jana->show(&contact));
        jana->press(Qt::Key_F3, &contact);
        const qint64 shown = contact.ui().EditID->text().toLongLong();
        contact.ui().EditPrijmeni->setText(QStringLiteral("Nová"));
        QVERIFY(petr->show());
        petr->press(Qt::Key_F3);
        petr->form->ui().EditNAZEV_FIRMA->setText(QStringLiteral("Petrova"));
        petr->press(Qt::Key_Return);
        QVERIFY(petr->form->isBrowseMode());
        // A writer that picks IDs of its own (an older program, isql) takes
        // the very ID Jana's form shows.
        QVERIFY_DB(exec("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, PRIJMENI, KRAJ) VALUES (?, "
                        "1, 0, 'Jiný', ' ')",
                        {shown}));
        QVERIFY(jana->show(&contact));
        jana->press(Qt::Key_Return, &contact);
        QVERIFY2(messages->messages.empty(), qPrintable(said()));
        QVERIFY(contact.isBrowseMode());
        const qint64 stored =
            number("SELECT ID FROM KONTAKT WHERE PRIJMENI = ?", {QStringLiteral("Nová")});
        QVERIFY(stored > 0 && stored != shown);
        QCOMPARE(contact.ui().EditID->text(),
                 QString::number(stored)); // the form shows the stored row
        QCOMPARE(number("SELECT COUNT(*) FROM KONTAKT K JOIN FIRMA F ON F.ID = K.ID_FIRMA "
                        "WHERE F.NAZEV_FIRMA = 'Petrova' AND K.KRAJ = '***'"),
                 1);

        // Two new companies at once, each with its placeholder.
        QVERIFY(jana->show());
        jana->press(Qt::Key_F3);
        jana->form->ui().EditNAZEV_FIRMA->setText(QStringLiteral("Janina"));
        QVERIFY(petr->show());
        petr->press(Qt::Key_F3);
        petr->form->ui().EditNAZEV_FIRMA->setText(QStringLiteral("Petrova druhá"));
        petr->press(Qt::Key_Return);
        QVERIFY(jana->show());
        jana->press(Qt::Key_Return);
        QVERIFY(messages->messages.empty());
        for (const char *name : {"Janina", "Petrova druhá"})
            QCOMPARE(number("SELECT COUNT(*) FROM KONTAKT K JOIN FIRMA F ON F.ID = K.ID_FIRMA "
                            "WHERE F.NAZEV_FIRMA = ? AND K.KRAJ = '***'",
                            {QString::fromUtf8(name)}),
                     1);
        QCOMPARE(petr->boardRowsFor(QStringLiteral("%janina%")), 1);
    }

    void aWriteThatMeetsAColleaguesCommittedChangeIsAConflict() {
        // Jana's change of company 1 is written; she commits it while
        // Petr's confirm of the same company waits for it.
        db::WriteTransaction unfinished(*own);
        db::FbStatement update(*own, unfinished.handle());
        QVERIFY_DB(update.prepare("UPDATE FIRMA SET KOD = 'X' WHERE ID = 1"); update.execute());
        QVERIFY(petr->show());
        petr->press(Qt::Key_F2);
        petr->form->ui().EditNAZEV_FIRMA->setText(QStringLiteral("Alfa podle Petra"));
        std::thread colleague([&unfinished] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
            unfinished.commit();
        });
        petr->press(Qt::Key_Return);
        colleague.join();
        QCOMPARE(messages->messages.size(), size_t(1));
        QVERIFY2(messages->messages[0].text.contains(db::texts::kConflict),
                 qPrintable(messages->messages[0].text));
        QVERIFY(!petr->form->isBrowseMode());
        QCOMPARE(petr->form->ui().EditNAZEV_FIRMA->text(), QStringLiteral("Alfa podle Petra"));
    }

    void everyCommitReachesTheOthersBoards() {
        QCOMPARE(petr->boardRowsFor(QStringLiteral("%gama%")), 0);
        // A statement that fails and is undone, then a rename, then COMMIT.
        QString out =
            finished(*startIsql("SET AUTODDL OFF;\n"
                                "INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'znovu');\n"
                                "UPDATE FIRMA SET NAZEV_FIRMA = 'Gama' WHERE ID = 2;\n"
                                "COMMIT;\n"));
        QVERIFY2(out.contains(QStringLiteral("PRIMARY")),
                 qPrintable(out)); // the first statement failed
        QCOMPARE(petr->boardRowsFor(QStringLiteral("%gama%")), 1);

        // A writer that commits retaining its context, twice in one session.
        const auto isql = startIsql("UPDATE FIRMA SET NAZEV_FIRMA = 'Delta' WHERE ID = 2;\n"
                                    "COMMIT RETAIN;\n"
                                    "SHELL sleep 2;\n"
                                    "UPDATE FIRMA SET NAZEV_FIRMA = 'Epsilon' WHERE ID = 2;\n"
                                    "COMMIT RETAIN;\n");
        QVERIFY(boardComesTo(*petr, QStringLiteral("%delta%"), 1));
        out = finished(*isql);
        QVERIFY2(!out.contains(QStringLiteral("Statement failed")), qPrintable(out));
        QCOMPARE(petr->boardRowsFor(QStringLiteral("%epsilon%")), 1);

        // A log left half made (a start killed while it was made): the
        // start-up step completes it, as often as it runs.
        QVERIFY_DB(exec("DROP TRIGGER KONTAKT_ZMENA"); exec("DROP INDEX ZMENY_TX"));
        QVERIFY_DB(data::changelog::ensure(*own); data::changelog::ensure(*own));
        QCOMPARE(petr->boardRowsFor(QStringLiteral("%zdeňka%")), 0);
        QVERIFY_DB(exec("UPDATE KONTAKT SET JMENO = ? WHERE ID = 1", {QStringLiteral("Zdeňka")}));
        QCOMPARE(petr->boardRowsFor(QStringLiteral("%zdeňka%")), 2); // the company's line and hers
    }

    void theRowOpenedAfterALostConnectionIsTheRowChosen() {
        QList<QVariantList> people;
        for (int id = 10; id < 700; ++id)
            people << QVariantList{id, QStringLiteral("Kontakt %1").arg(id)};
        QVERIFY_DB(
            own->executeBatch("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, PRIJMENI, KRAJ) "
                              "VALUES (?, 1, 0, ?, ' ')",
                              people));
        dataset::TableDataset &contacts = petr->dm.tKONTAKT;
        QVERIFY_DB(petr->dm.RefreshBoard());
        QVERIFY(contacts.fetchedCount() < 600); // read only as far as shown
        own->setConnected(false);
        server->stop();
        QVERIFY2(server->start(), qPrintable(server->errorString()));
        // The next action meets the lost connection; the one after reconnects.
        try {
            petr->boardRowsFor(QStringLiteral("%"));
        } catch (const db::DbError &e) {
            QCOMPARE(e.kind(), db::DbError::Kind::ConnectionLost);
        }
        QVERIFY_DB(QVERIFY(contacts.locate(QStringLiteral("id"), {QStringLiteral("650")}, true)));
        QCOMPARE(contacts.fieldByName(QStringLiteral("ID"))->asInteger(), 650);
        QCOMPARE(contacts.fieldByName(QStringLiteral("PRIJMENI"))->asString(),
                 QStringLiteral("Kontakt 650"));
        // A row that is gone is not found, and the current row stays.
        QVERIFY_DB(QVERIFY(!contacts.locate(QStringLiteral("id"), {QStringLiteral("9999")}, true)));
        QCOMPARE(contacts.fieldByName(QStringLiteral("ID"))->asInteger(), 650);
    }
};

QTEST_MAIN(TestOfficeIntegrity)
#include "tst_officeintegrity.moc"
