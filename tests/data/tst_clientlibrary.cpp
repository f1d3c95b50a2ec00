// Runs in a process of its own: the client library is loaded once per process.
#include "DbConnection.h"
#include "DbError.h"
#include "FbClient.h"

#include <QTest>

class TestClientLibrary : public QObject {
    Q_OBJECT
private slots:
    void missingLibraryNamesEveryCandidate() {
        data::FbClient::candidateNames() = {QStringLiteral("libnichts.so.2"), QStringLiteral("libnichts.so")};
        data::DbConnection connection;
        connection.setDatabase(QStringLiteral("/tmp/none.gdb"));
        QString message;
        try {
            connection.setConnected(true);
        } catch (const data::DbError &e) {
            message = e.message();
        }
        QCOMPARE(message, QStringLiteral("None of the dynamic libraries can be found: libnichts.so.2, libnichts.so"));
        QVERIFY(!connection.isConnected());
    }
};

QTEST_GUILESS_MAIN(TestClientLibrary)
#include "tst_clientlibrary.moc"
