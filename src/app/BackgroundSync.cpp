#include "app/BackgroundSync.h"

#include "db/DbConnection.h"
#include "db/DbError.h"

namespace app {
namespace {

constexpr int kServerTimeoutMilliseconds = 20000;

} // namespace

BackgroundSync::BackgroundSync(db::DatabaseAccess database, QObject *parent)
    : QObject(parent), m_database(std::move(database)) {
    m_context.moveToThread(&m_thread);
    m_thread.start();
    m_timer.setInterval(kIntervalMinutes * 60 * 1000);
    connect(&m_timer, &QTimer::timeout, this, &BackgroundSync::syncNow);
}

BackgroundSync::~BackgroundSync() {
    m_cancel->store(true);
    m_thread.quit();
    m_thread.wait();
}

void BackgroundSync::start(const cardsync::Account &account) {
    m_account = account;
    m_lastFailure.clear();
    m_timer.start();
    syncNow();
}

void BackgroundSync::acceptCertificate(const QByteArray &certificate) {
    if (!m_account)
        return;
    m_account->acceptedCertificate = certificate;
    m_lastFailure.clear();
    syncNow();
}

void BackgroundSync::syncNow() {
    runInThread({});
}

void BackgroundSync::resolve(const QList<std::pair<int, cardsync::Choice>> &choices,
                             const QList<std::pair<int, cardsync::Choice>> &companyChoices) {
    runInThread([=](cardsync::SyncEngine &engine) {
        for (const auto &[contactId, choice] : choices)
            engine.resolve(contactId, choice);
        for (const auto &[companyId, choice] : companyChoices)
            engine.resolveCompany(companyId, choice);
    });
}

void BackgroundSync::runInThread(const std::function<void(cardsync::SyncEngine &)> &before) {
    if (!m_account || m_running)
        return;
    m_running = true;
    QMetaObject::invokeMethod(&m_context, [this, account = *m_account, database = m_database,
                                           scope = m_scope, before, cancel = m_cancel] {
        std::optional<cardsync::SyncReport> report;
        QString failure;
        QByteArray certificate;
        try {
            db::DbConnection connection;
            connection.setDatabase(database.database);
            connection.setUser(database.user);
            connection.setPassword(database.password);
            cardsync::CardDavClient client(account, kServerTimeoutMilliseconds, cancel);
            cardsync::SyncEngine engine(connection, client);
            engine.setScope(scope);
            if (before)
                before(engine);
            report = engine.run();
        } catch (const cardsync::SyncError &e) {
            failure = e.message();
            certificate = e.certificate();
        } catch (const db::DbError &e) {
            failure = e.message();
        }
        // Back in the window's thread.
        QMetaObject::invokeMethod(this, [this, report, failure, certificate] {
            m_running = false;
            if (report) {
                m_lastFailure.clear();
                emit finished(*report);
            } else if (failure != m_lastFailure) {
                m_lastFailure = failure;
                emit failed(failure, certificate);
            }
        });
    });
}

} // namespace app
