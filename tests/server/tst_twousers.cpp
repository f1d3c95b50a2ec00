// Two people on one server database: each with a data module and a company
// form of their own, as two programs would have.
#include "Desk.h"
#include "base/MessageService.h"
#include "db/FbStatement.h"
#include "support/TestServer.h"

#include "forms/DbNavigator.h"
#include "forms/U_Firma.h"
#include "forms/U_Kontakt.h"
#include "print/CardDocument.h"
#include "print/CompanyCard.h"
#include "print/U_report.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QWindow>

class TestTwoUsers : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> server;
    QString target;
    int made = 0;
    std::unique_ptr<db::DbConnection> own; ///< the test's own look at the database
    std::unique_ptr<Desk> first, second;
    std::unique_ptr<base::msg::Recorder> messages;

    QString companyName(int id) {
        const auto cursor = own->openCursor("SELECT NAZEV_FIRMA FROM FIRMA WHERE ID = ?", {id});
        db::PackedRow row;
        return cursor->fetch(row) ? base::win1250::decode(row.cell(0).bytes) : QString();
    }
    void exec(const QByteArray &sql) { own->executeCommitted(sql, {}); }

    /// The first user deletes company 2 "Beta" while the second shows it.
    void deleteBetaUnderTheSecondUser() {
        QVERIFY(second->show());
        QVERIFY(second->goTo(2));
        QCOMPARE(second->boardRowsFor(QStringLiteral("%beta%")), 1);
        QVERIFY(first->show());
        QVERIFY(first->goTo(2));
        messages->answers = {base::msg::Answer::Yes};
        first->form->sbFirSmazClick();
        QCOMPARE(messages->messages.size(), size_t(1)); // the question only
        QCOMPARE(companyName(2), QString());
        messages->messages.clear();
        QVERIFY(second->show());
    }
    /// The second user's form shows a company that is stored.
    void checkTheSecondShowsAStoredCompany() {
        QVERIFY(second->form->isBrowseMode());
        const qint64 shown = second->dm.tFIRMA.fieldByName(QStringLiteral("ID"))->asInteger();
        QVERIFY2(!companyName(int(shown)).isEmpty(), qPrintable(QString::number(shown)));
        QCOMPARE(second->form->ui().EditNAZEV_FIRMA->text(), companyName(int(shown)));
        QCOMPARE(second->boardRowsFor(QStringLiteral("%beta%")), 0);
    }

  private slots:
    void initTestCase() {
        SKIP_WITHOUT_SERVER();
        server = std::make_unique<TestServer>();
        QVERIFY2(server->start(), qPrintable(server->errorString()));
    }
    void init() {
        QVERIFY_DB(own = officeDatabase(*server, QStringLiteral("k%1.fdb").arg(++made)));
        target = own->database();
        messages = std::make_unique<base::msg::Recorder>();
        QVERIFY_DB(first = std::make_unique<Desk>(*server, target));
        QVERIFY_DB(second = std::make_unique<Desk>(*server, target));
    }
    void cleanup() {
        first.reset();
        second.reset();
        messages.reset();
        own.reset();
    }
    void cleanupTestCase() { server.reset(); }

    void aConfirmedChangeShowsOnTheOthersBoardAtTheNextKeystroke() {
        QCOMPARE(second->boardRowsFor(QStringLiteral("%gama%")), 0);
        QVERIFY(first->show());
        QVERIFY(first->goTo(2));
        first->press(Qt::Key_F2);
        first->form->ui().EditNAZEV_FIRMA->setText(QStringLiteral("Gama"));
        first->press(Qt::Key_Return);
        QVERIFY(first->form->isBrowseMode());
        QCOMPARE(companyName(2), QStringLiteral("Gama"));
        QCOMPARE(second->boardRowsFor(QStringLiteral("%gama%")),
                 1); // the company's placeholder row
        QCOMPARE(second->boardRowsFor(QStringLiteral("%beta%")), 0);
        QVERIFY(messages->messages.empty());
    }

    void theSecondConfirmOfTheSameCompanyIsRefusedAndKeepsTheTyping() {
        QVERIFY(first->show());
        first->press(Qt::Key_F2);
        QVERIFY(second->show());
        second->press(Qt::Key_F2);
        first->form->ui().EditNAZEV_FIRMA->setText(QStringLiteral("Alfa podle Jany"));
        QVERIFY(first->show());
        first->press(Qt::Key_Return);
        QVERIFY(first->form->isBrowseMode());

        second->form->ui().EditNAZEV_FIRMA->setText(QStringLiteral("Alfa podle Petra"));
        QVERIFY(second->show());
        second->press(Qt::Key_Return);
        QCOMPARE(messages->messages.size(), size_t(1));
        QCOMPARE(messages->messages[0].kind, base::msg::Kind::ErrorReport);
        QVERIFY2(messages->messages[0].text.contains(db::texts::kConflict),
                 qPrintable(messages->messages[0].text));
        QVERIFY(!second->form->isBrowseMode());
        QCOMPARE(second->form->ui().EditNAZEV_FIRMA->text(), QStringLiteral("Alfa podle Petra"));
        QCOMPARE(companyName(1), QStringLiteral("Alfa podle Jany"));
        second->press(Qt::Key_Escape);
        QVERIFY(second->form->isBrowseMode());
        QCOMPARE(second->form->ui().EditNAZEV_FIRMA->text(), QStringLiteral("Alfa podle Jany"));
    }

    void aConfirmMeetingAnUnfinishedChangeWaitsAFewSecondsThenSaysSo() {
        db::DbConnection::setLockTimeoutSeconds(2);
        // Someone's change of company 1 is written but not yet committed.
        db::WriteTransaction unfinished(*own);
        db::FbStatement update(*own, unfinished.handle());
        QVERIFY_DB(update.prepare("UPDATE FIRMA SET KOD = 'X' WHERE ID = 1"); update.execute());
        QVERIFY(second->show());
        second->press(Qt::Key_F2);
        second->form->ui().EditNAZEV_FIRMA->setText(QStringLiteral("Alfa nová"));
        QElapsedTimer waited;
        waited.start();
        second->press(Qt::Key_Return);
        db::DbConnection::setLockTimeoutSeconds(5);
        QVERIFY2(waited.elapsed() < 10000, qPrintable(QString::number(waited.elapsed())));
        QCOMPARE(messages->messages.size(), size_t(1));
        QVERIFY2(messages->messages[0].text.contains(db::texts::kLockTimeout),
                 qPrintable(messages->messages[0].text));
        QVERIFY(!second->form->isBrowseMode());
        QCOMPARE(second->form->ui().EditNAZEV_FIRMA->text(), QStringLiteral("Alfa nová"));
        // Once the other change is finished, the same confirm goes through
        // or meets that change as a conflict; it never overwrites it unseen.
        unfinished.commit();
        second->press(Qt::Key_Return);
        QCOMPARE(messages->messages.size(), size_t(2));
        QVERIFY(messages->messages[1].text.contains(db::texts::kConflict));
    }

    void editingACompanyAnotherDeletedSaysSo() {
        deleteBetaUnderTheSecondUser();
        second->press(Qt::Key_F2);
        second->form->ui().EditNAZEV_FIRMA->setText(QStringLiteral("Beta znovu"));
        second->press(Qt::Key_Return);
        QCOMPARE(messages->messages.size(), size_t(1));
        QVERIFY(messages->messages[0].text.contains(db::texts::kConflict));
        QCOMPARE(second->form->ui().EditNAZEV_FIRMA->text(), QStringLiteral("Beta znovu"));
        QCOMPARE(companyName(2), QString()); // not brought back
        second->press(Qt::Key_Escape);
        checkTheSecondShowsAStoredCompany();
    }

    void deletingACompanyAnotherDeletedSaysSo() {
        deleteBetaUnderTheSecondUser();
        messages->answers = {base::msg::Answer::Yes};
        second->form->sbFirSmazClick();
        QCOMPARE(messages->messages.size(), size_t(2)); // the question, then why not
        QVERIFY2(messages->messages[1].text.contains(db::texts::kDeleteConflict),
                 qPrintable(messages->messages[1].text));
        checkTheSecondShowsAStoredCompany();
    }
    void aServerThatWentAwayIsReportedAndTheNextActionReconnects() {
        QVERIFY(first->show());
        first->press(Qt::Key_F2);
        first->form->ui().EditNAZEV_FIRMA->setText(QStringLiteral("Alfa po výpadku"));
        own->setConnected(false);
        server->stop();
        first->press(Qt::Key_Return);
        QCOMPARE(messages->messages.size(), size_t(1));
        QVERIFY2(
            messages->messages[0].text.contains(QStringLiteral("Spojení s databází se přerušilo")),
            qPrintable(messages->messages[0].text));
        QVERIFY(!first->form->isBrowseMode());
        QCOMPARE(first->form->ui().EditNAZEV_FIRMA->text(), QStringLiteral("Alfa po výpadku"));

        QVERIFY2(server->start(), qPrintable(server->errorString()));
        first->press(Qt::Key_Return);
        QCOMPARE(messages->messages.size(), size_t(1));
        QVERIFY(first->form->isBrowseMode());
        QCOMPARE(companyName(1), QStringLiteral("Alfa po výpadku"));
        QCOMPARE(first->boardRowsFor(QStringLiteral("%výpadku%")),
                 2); // the company's line and Jana
    }

    void theContactFormKeepsTheTypingThroughAnOutageAndSavesAfterIt() {
        TFM_Kontakt &form = *first->contactForm;
        QVERIFY(first->dm.tKONTAKT.locate(QStringLiteral("ID"), {1}, false));
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(form.windowHandle(), Qt::Key_F2);
        form.ui().EditPrijmeni->setText(QStringLiteral("Malá po výpadku"));
        own->setConnected(false);
        server->stop();
        QTest::keyClick(form.windowHandle(), Qt::Key_Return);
        QCOMPARE(messages->messages.size(), size_t(1));
        QVERIFY2(
            messages->messages[0].text.contains(QStringLiteral("Spojení s databází se přerušilo")),
            qPrintable(messages->messages[0].text));
        QVERIFY(!form.isBrowseMode());
        QCOMPARE(form.ui().EditPrijmeni->text(), QStringLiteral("Malá po výpadku"));

        QVERIFY2(server->start(), qPrintable(server->errorString()));
        QTest::keyClick(form.windowHandle(), Qt::Key_Return);
        QCOMPARE(messages->messages.size(), size_t(1));
        QVERIFY(form.isBrowseMode());
        const auto cursor = own->openCursor("SELECT PRIJMENI FROM KONTAKT WHERE ID = 1", {});
        db::PackedRow row;
        QVERIFY(cursor->fetch(row));
        QCOMPARE(base::win1250::decode(row.cell(0).bytes), QStringLiteral("Malá po výpadku"));
    }

    /// The card is composed from what the program holds, or refused with
    /// the outage's message; once the server is back it shows what others
    /// confirmed meanwhile.
    void printingThroughAnOutageSaysSoAndWorksAfterIt() {
        TfmReporty printForm;
        auto cardText = [&] {
            QStringList lines;
            for (const print::CardParagraph &p : printForm.RichEdit1().paragraphs())
                lines << p.text;
            return lines.join(QLatin1Char('\n'));
        };
        own->setConnected(false);
        server->stop();
        try {
            QVERIFY(first->dm.tFIRMA.locate(QStringLiteral("ID"), {1}, false));
            print::CompanyCard(first->dm, printForm.RichEdit1()).compose(1);
            QVERIFY2(cardText().contains(QStringLiteral("Jana Mal")), qPrintable(cardText()));
        } catch (const db::DbError &e) {
            QCOMPARE(e.kind(), db::DbError::Kind::ConnectionLost);
        }

        QVERIFY2(server->start(), qPrintable(server->errorString()));
        QVERIFY_DB(exec("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, JMENO, PRIJMENI, KRAJ) "
                        "VALUES (3, 1, 0, 'Petr', 'Novotny', ' ')"));
        QVERIFY_DB(first->dm.RefreshBoard());
        QVERIFY(first->dm.tFIRMA.locate(QStringLiteral("ID"), {1}, false));
        QVERIFY_DB(print::CompanyCard(first->dm, printForm.RichEdit1()).compose(1));
        QVERIFY2(cardText().contains(QStringLiteral("Jana Mal")) &&
                     cardText().contains(QStringLiteral("Petr Novotny")),
                 qPrintable(cardText()));
    }
};

QTEST_MAIN(TestTwoUsers)
#include "tst_twousers.moc"
