#pragma once

#include "db/DatabaseTarget.h"
#include "sync/CardDavClient.h"
#include "sync/SyncEngine.h"

#include <QObject>
#include <QThread>
#include <QTimer>

namespace app {

/// Runs the sync with the address book in a thread of its own, through a
/// connection of its own, so that the window never waits for the network:
/// on demand and every few minutes while the program runs, one at a time.
/// The board sees what the sync commits as it sees any other writer's.
class BackgroundSync : public QObject {
    Q_OBJECT

  public:
    explicit BackgroundSync(db::DatabaseAccess database, QObject *parent = nullptr);
    /// Cancels a sync that is under way (its request dropped, no further
    /// step taken; each step is a transaction of its own, so nothing is left
    /// half-written) and waits for it to stop, which is at once.
    ~BackgroundSync() override;

    static constexpr int kIntervalMinutes = 5;

    /// Syncs with `account` from now on, at once and then every few minutes.
    void start(const cardsync::Account &account);
    /// Only the companies of `scope` from the next sync on.
    void setScope(const cardsync::SyncScope &scope) { m_scope = scope; }
    /// Trusts the certificate of that SHA-256 from now on, and syncs.
    void acceptCertificate(const QByteArray &certificate);
    /// Syncs now unless a sync is under way.
    void syncNow();
    /// Ends conflicts as chosen (contact ID, choice; company ID, choice), then syncs.
    void resolve(const QList<std::pair<int, cardsync::Choice>> &choices,
                 const QList<std::pair<int, cardsync::Choice>> &companyChoices = {});
    bool isActive() const { return m_account.has_value(); }
    bool isRunning() const { return m_running; }

  signals:
    void finished(const cardsync::SyncReport &report);
    /// Only when the failure differs from the previous one: a server that
    /// stays away is reported once, not at every attempt. `certificate`: the
    /// SHA-256 of a certificate refused as not trusted.
    void failed(const QString &message, const QByteArray &certificate);

  private:
    void runInThread(const std::function<void(cardsync::SyncEngine &)> &before);

    db::DatabaseAccess m_database;
    std::optional<cardsync::Account> m_account;
    cardsync::SyncScope m_scope;
    QThread m_thread;
    QObject m_context; ///< lives in m_thread: what is invoked on it runs there
    QTimer m_timer;
    bool m_running = false;
    QString m_lastFailure;
    cardsync::CancelFlag m_cancel = std::make_shared<std::atomic<bool>>(false);
};

} // namespace app
