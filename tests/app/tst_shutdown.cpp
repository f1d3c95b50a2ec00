// A shutdown signal while a record form is open in edit mode: the form's
// loop ends without asking anything and the unconfirmed typing is dropped.
// Its own executable: after the signal every event loop of the process ends.
#include "app/ShutdownSignals.h"
#include "forms/U_Kontakt.h"
#include "support/FormFixture.h"

#include <QSignalSpy>
#include <QTimer>

#include <csignal>

class TestShutdown : public QObject {
    Q_OBJECT
  private slots:
    void signalEndsAFormInEditModeDroppingOnlyTheTyping() {
        DataFixture db;
        addCompany(db, 1, QStringLiteral("Alfa"));
        addContact(db, 1, 1, QStringLiteral("Jana"), QStringLiteral("Malá"));
        db.openAll();
        base::msg::Recorder messages;
        TFM_Kontakt form(*db.dm);
        app::ShutdownSignals shutdown;
        shutdown.install();
        QSignalSpy received(&shutdown, &app::ShutdownSignals::received);
        bool editing = false;
        QTimer::singleShot(0, &form, [&] {
            press(form, Qt::Key_F2);
            editing = !form.isBrowseMode();
            form.ui().EditJmeno->setText(QStringLiteral("Johana"));
            ::raise(SIGTERM);
        });
        QTimer::singleShot(20000, &form, [&] { form.reject(); }); // only if the signal did nothing
        form.exec();
        QVERIFY(editing);
        QCOMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toInt(), int(SIGTERM));
        QVERIFY(shutdown.requested());
        QVERIFY(messages.messages.empty()); // no question on the way out
        db.dm->ZConKontakty.setConnected(false);
        QCOMPARE(db.scalar(QStringLiteral("SELECT JMENO FROM KONTAKT WHERE ID = 1")).toString(),
                 QStringLiteral("Jana"));
    }
};

QTEST_MAIN(TestShutdown)
#include "tst_shutdown.moc"
