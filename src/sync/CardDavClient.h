#pragma once

#include "sync/DavXml.h"

#include <QNetworkAccessManager>
#include <QUrl>

#include <atomic>
#include <memory>
#include <vector>

namespace cardsync {

/// Where the address book is and who logs in. The password is only ever
/// held here, never written to the settings.
struct Account {
    QUrl url; ///< the address book, or the server (found through discovery)
    QString user;
    QString password;
    /// SHA-256 of the one certificate the user accepted although the system
    /// does not trust it (hex, lower case); empty: only trusted ones.
    QByteArray acceptedCertificate;
};

/// Why talking to the server failed; nothing was changed by the failed
/// request. The message is Czech, for the user.
class SyncError {
  public:
    /// Busy: another program syncs this register right now. Cancelled: the
    /// program asked the sync to stop (it is closing).
    enum class Kind { Unreachable, Login, Certificate, Server, NotFound, Busy, Cancelled };
    SyncError(Kind kind, QString message, QByteArray certificate = {})
        : m_kind(kind), m_message(std::move(message)), m_certificate(std::move(certificate)) {}
    Kind kind() const { return m_kind; }
    QString message() const { return m_message; }
    /// Certificate: the SHA-256 of the refused certificate, for the user to accept.
    QByteArray certificate() const { return m_certificate; }

  private:
    Kind m_kind;
    QString m_message;
    QByteArray m_certificate;
};

/// The server's answer to a write: 201/204 done (with the new ETag when the
/// server gives one), 412 someone changed or made the card meanwhile, 404
/// it is gone.
struct WriteResult {
    int status = 0;
    QString etag;
    bool done() const { return status >= 200 && status < 300; }
};

/// One card to write: see CardDavClient::put().
struct CardWrite {
    QUrl card;
    QByteArray vcard;
    QString ifMatch;
};

/// Set from any thread, it stops a sync: the request under way is dropped
/// and no other is sent.
using CancelFlag = std::shared_ptr<std::atomic<bool>>;

/// A CardDAV client over HTTP(S): each call waits for its answer (at most
/// the time-out) while the calling thread's events run; use it from one
/// thread. Certificates are checked as the system trusts them. Throws
/// SyncError for what is no answer to the question (unreachable, refused
/// login, a server error, a body that cannot be read) and, once `cancel` is
/// set, SyncError Cancelled.
class CardDavClient {
  public:
    explicit CardDavClient(Account account, int timeoutMilliseconds = 30000,
                           CancelFlag cancel = {});
    ~CardDavClient();

    /// Throws SyncError Cancelled once the cancel flag is set: a sync looks
    /// between its steps.
    void throwIfCancelled() const;

    /// The account's URL when it is an address book; else the first address
    /// book of the user, found through /.well-known/carddav, the principal
    /// and its address book home.
    QUrl findAddressBook();

    struct Listing {
        QString syncToken; ///< empty: the server keeps none
        QList<davxml::Resource> cards;
    };
    /// Every card of the book with its ETag (PROPFIND, Depth 1).
    Listing list(const QUrl &book);

    struct Changes {
        QList<davxml::Resource> changed; ///< href and ETag
        QStringList removed;             ///< hrefs
        QString syncToken;
        bool tokenRefused = false; ///< the old token is no longer valid: list everything
    };
    /// What changed in the book since `token` (REPORT sync-collection).
    Changes changesSince(const QUrl &book, const QString &token);

    /// The cards at `hrefs`, with their ETags (addressbook-multiget).
    QList<davxml::Resource> fetch(const QUrl &book, const QStringList &hrefs);

    /// Writes a card: only where none is (`ifMatch` empty: If-None-Match *),
    /// or only over the version of that ETag.
    WriteResult put(const QUrl &card, const QByteArray &vcard, const QString &ifMatch);
    /// put() for each write, several at once (as many as run to one host);
    /// the answers in the order of `writes`. At the first failure it throws,
    /// and the writes still under way are dropped (sent or not).
    QList<WriteResult> putAll(const QList<CardWrite> &writes);
    /// Deletes a card, only the version of that ETag.
    WriteResult remove(const QUrl &card, const QString &ifMatch);

  private:
    struct Reply;
    struct Pending;
    std::unique_ptr<Pending> begin(const QByteArray &verb, const QUrl &url, const QByteArray &body,
                                   const QList<std::pair<QByteArray, QByteArray>> &headers);
    /// Waits until one of `pending` has its answer (or the client is cancelled).
    void waitForAny(const std::vector<std::unique_ptr<Pending>> &pending);
    Reply conclude(Pending &pending) const;
    Reply send(const QByteArray &verb, const QUrl &url, const QByteArray &body,
               const QList<std::pair<QByteArray, QByteArray>> &headers);
    davxml::MultiStatus multiStatus(const QByteArray &verb, const QUrl &url, int depth,
                                    const QByteArray &body);

    Account m_account;
    int m_timeout;
    CancelFlag m_cancel;
    std::unique_ptr<QNetworkAccessManager> m_network;
};

} // namespace cardsync
