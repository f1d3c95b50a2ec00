// Runs in a process of its own: the client library is loaded once per process.
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "db/FbClient.h"

#include <QTest>

class TestClientLibrary : public QObject {
    Q_OBJECT
  private slots:
    void missingLibraryNamesEveryCandidate() {
        db::FbClient::candidateNames() = {QStringLiteral("libnichts.so.2"),
                                          QStringLiteral("libnichts.so")};
        db::DbConnection connection;
        connection.setDatabase(QStringLiteral("/tmp/none.gdb"));
        QString message;
        try {
            connection.setConnected(true);
        } catch (const db::DbError &e) {
            message = e.message();
        }
        QCOMPARE(message,
                 QStringLiteral(
                     "None of the dynamic libraries can be found: libnichts.so.2, libnichts.so"));
        QVERIFY(!connection.isConnected());
    }
};

QTEST_GUILESS_MAIN(TestClientLibrary)
#include "tst_clientlibrary.moc"
