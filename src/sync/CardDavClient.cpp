#include "sync/CardDavClient.h"

#include <QBuffer>
#include <QEventLoop>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>

#include <algorithm>

namespace cardsync {
namespace {

constexpr int kMaxRedirects = 5;
/// As many as Qt's network access runs at once to one host.
constexpr std::size_t kRequestsInFlight = 6;
constexpr int kCancelPollMilliseconds = 50;
const QByteArray kXml = QByteArrayLiteral("application/xml; charset=utf-8");

/// A certificate fault in Czech: the user must know why the server is
/// refused, and which certificate it showed.
QString certificateMessage(const QList<QSslError> &errors, const QByteArray &digest) {
    QStringList reasons;
    for (const QSslError &e : errors)
        reasons << e.errorString();
    QStringList pairs;
    for (qsizetype i = 0; i < digest.size(); i += 2)
        pairs << QString::fromLatin1(digest.mid(i, 2).toUpper());
    return QStringLiteral("Certifikát serveru není důvěryhodný (%1); spojení bylo odmítnuto. "
                          "Otisk certifikátu (SHA-256): %2")
        .arg(reasons.join(QStringLiteral("; ")), pairs.join(QLatin1Char(':')));
}

} // namespace

struct CardDavClient::Reply {
    int status = 0;
    QByteArray body;
    QString etag;
    QUrl url;      ///< where the answer came from, after redirects
    QUrl redirect; ///< non-empty: the server sends the request there
};

/// One request under way: its reply, what its certificate check found, and
/// whether its time ran out.
struct CardDavClient::Pending {
    QUrl url;
    QBuffer payload;
    std::unique_ptr<QNetworkReply> reply;
    QTimer timer;
    QList<QSslError> sslErrors;
    QByteArray refused; ///< the digest of the certificate not trusted
    bool timedOut = false;
};

CardDavClient::CardDavClient(Account account, int timeoutMilliseconds, CancelFlag cancel)
    : m_account(std::move(account)), m_timeout(timeoutMilliseconds), m_cancel(std::move(cancel)),
      m_network(std::make_unique<QNetworkAccessManager>()) {
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

CardDavClient::~CardDavClient() = default;

void CardDavClient::throwIfCancelled() const {
    if (m_cancel && m_cancel->load())
        throw SyncError(SyncError::Kind::Cancelled,
                        QStringLiteral("Synchronizace byla přerušena."));
}

std::unique_ptr<CardDavClient::Pending>
CardDavClient::begin(const QByteArray &verb, const QUrl &url, const QByteArray &body,
                     const QList<std::pair<QByteArray, QByteArray>> &headers) {
    throwIfCancelled();
    auto pending = std::make_unique<Pending>();
    Pending &p = *pending;
    p.url = url;
    QNetworkRequest request(url);
    // Sent at once instead of after a refusal: each request stands alone.
    request.setRawHeader(
        "Authorization",
        "Basic " + (m_account.user + QLatin1Char(':') + m_account.password).toUtf8().toBase64());
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    if (!body.isEmpty() && !request.hasRawHeader("Content-Type"))
        request.setRawHeader("Content-Type", kXml);
    p.payload.setData(body);
    p.payload.open(QIODevice::ReadOnly);
    p.reply.reset(
        m_network->sendCustomRequest(request, verb, body.isEmpty() ? nullptr : &p.payload));
    QObject::connect(p.reply.get(), &QNetworkReply::sslErrors,
                     [this, &p](const QList<QSslError> &errors) {
                         const QByteArray digest = p.reply->sslConfiguration()
                                                       .peerCertificate()
                                                       .digest(QCryptographicHash::Sha256)
                                                       .toHex();
                         // Only the very certificate the user accepted, and only with it.
                         if (!m_account.acceptedCertificate.isEmpty() &&
                             digest == m_account.acceptedCertificate.toLower()) {
                             p.reply->ignoreSslErrors(errors);
                             return;
                         }
                         p.sslErrors = errors;
                         p.refused = digest;
                     });
    p.timer.setSingleShot(true);
    QObject::connect(&p.timer, &QTimer::timeout, [&p] {
        p.timedOut = true;
        p.reply->abort();
    });
    p.timer.start(m_timeout);
    return pending;
}

void CardDavClient::waitForAny(const std::vector<std::unique_ptr<Pending>> &pending) {
    auto anyFinished = [&] {
        return std::any_of(pending.begin(), pending.end(),
                           [](const auto &p) { return p->reply->isFinished(); });
    };
    if (anyFinished())
        return;
    QEventLoop loop;
    for (const auto &p : pending)
        QObject::connect(p->reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // A cancel comes from another thread: looked at often, it ends the wait
    // at once, and the requests under way end with the client.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (m_cancel && m_cancel->load())
            loop.quit();
    });
    if (m_cancel)
        watch.start(kCancelPollMilliseconds);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    throwIfCancelled();
}

CardDavClient::Reply CardDavClient::conclude(Pending &p) const {
    const QString where = p.url.host();
    QNetworkReply &reply = *p.reply;
    if (!p.sslErrors.isEmpty())
        throw SyncError(SyncError::Kind::Certificate, certificateMessage(p.sslErrors, p.refused),
                        p.refused);
    if (p.timedOut)
        throw SyncError(SyncError::Kind::Unreachable,
                        QStringLiteral("Server %1 neodpověděl včas.").arg(where));
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0)
        throw SyncError(
            SyncError::Kind::Unreachable,
            QStringLiteral("Server %1 není dostupný: %2").arg(where, reply.errorString()));
    if (status == 401)
        throw SyncError(
            SyncError::Kind::Login,
            QStringLiteral("Server %1 odmítl přihlášení uživatele %2.").arg(where, m_account.user));
    if (status >= 300 && status < 400 && reply.hasRawHeader("Location")) {
        const QUrl next = p.url.resolved(QUrl(QString::fromUtf8(reply.rawHeader("Location"))));
        // The password goes with it: never to another host, nor from an
        // encrypted link to a plain one.
        if (next.host() != p.url.host() ||
            (p.url.scheme() == QLatin1String("https") && next.scheme() != p.url.scheme()))
            throw SyncError(SyncError::Kind::Server,
                            QStringLiteral("Server %1 přesměrovává nepřípustně.").arg(where));
        return {status, {}, {}, p.url, next};
    }
    if (status >= 500)
        throw SyncError(SyncError::Kind::Server,
                        QStringLiteral("Server %1 hlásí chybu %2.").arg(where).arg(status));
    return {status, reply.readAll(), QString::fromUtf8(reply.rawHeader("ETag")), p.url, {}};
}

CardDavClient::Reply CardDavClient::send(const QByteArray &verb, const QUrl &start,
                                         const QByteArray &body,
                                         const QList<std::pair<QByteArray, QByteArray>> &headers) {
    QUrl url = start;
    for (int redirect = 0;; ++redirect) {
        std::vector<std::unique_ptr<Pending>> one;
        one.push_back(begin(verb, url, body, headers));
        waitForAny(one);
        Reply reply = conclude(*one.front());
        if (reply.redirect.isEmpty())
            return reply;
        if (redirect >= kMaxRedirects)
            throw SyncError(SyncError::Kind::Server,
                            QStringLiteral("Server %1 přesměrovává nepřípustně.").arg(url.host()));
        url = reply.redirect;
    }
}

davxml::MultiStatus CardDavClient::multiStatus(const QByteArray &verb, const QUrl &url, int depth,
                                               const QByteArray &body) {
    const Reply reply = send(verb, url, body, {{"Depth", QByteArray::number(depth)}});
    if (reply.status == 404)
        throw SyncError(SyncError::Kind::NotFound,
                        QStringLiteral("Adresář %1 na serveru není.").arg(url.toDisplayString()));
    if (reply.status != 207)
        throw SyncError(SyncError::Kind::Server, QStringLiteral("Server odpověděl na %1 kódem %2.")
                                                     .arg(QString::fromLatin1(verb))
                                                     .arg(reply.status));
    davxml::MultiStatus result = davxml::parseMultiStatus(reply.body);
    if (!result.error.isEmpty())
        throw SyncError(SyncError::Kind::Server, result.error);
    return result;
}

QUrl CardDavClient::findAddressBook() {
    const QUrl start = m_account.url;
    const davxml::MultiStatus self = multiStatus("PROPFIND", start, 0, davxml::listingRequest());
    for (const davxml::Resource &r : self.resources)
        if (r.isAddressBook)
            return start;
    auto principalAt = [&](const QUrl &url) {
        for (const davxml::Resource &r :
             multiStatus("PROPFIND", url, 0, davxml::principalRequest()).resources)
            if (!r.principal.isEmpty())
                return url.resolved(QUrl(r.principal));
        return QUrl();
    };
    QUrl principal = principalAt(start);
    if (principal.isEmpty())
        principal = principalAt(start.resolved(QUrl(QStringLiteral("/.well-known/carddav"))));
    QUrl home;
    if (!principal.isEmpty())
        for (const davxml::Resource &r :
             multiStatus("PROPFIND", principal, 0, davxml::homeRequest()).resources)
            if (!r.addressHome.isEmpty())
                home = principal.resolved(QUrl(r.addressHome));
    if (home.isEmpty())
        throw SyncError(SyncError::Kind::NotFound,
                        QStringLiteral("Na serveru %1 se nenašel žádný adresář kontaktů.")
                            .arg(start.toDisplayString()));
    for (const davxml::Resource &r :
         multiStatus("PROPFIND", home, 1, davxml::listingRequest()).resources)
        if (r.isAddressBook)
            return home.resolved(QUrl(r.href));
    throw SyncError(
        SyncError::Kind::NotFound,
        QStringLiteral("Uživatel %1 nemá na serveru žádný adresář kontaktů.").arg(m_account.user));
}

CardDavClient::Listing CardDavClient::list(const QUrl &book) {
    Listing listing;
    for (davxml::Resource &r :
         multiStatus("PROPFIND", book, 1, davxml::listingRequest()).resources) {
        if (r.isCollection) // the book itself
            listing.syncToken = r.syncToken;
        else if (!r.href.isEmpty())
            listing.cards << std::move(r);
    }
    return listing;
}

CardDavClient::Changes CardDavClient::changesSince(const QUrl &book, const QString &token) {
    const Reply reply =
        send("REPORT", book, davxml::syncCollectionRequest(token), {{"Depth", "0"}});
    Changes changes;
    // A token the server no longer knows: 403 or 409 with valid-sync-token.
    if (reply.status == 403 || reply.status == 409 || reply.status == 412) {
        changes.tokenRefused = true;
        return changes;
    }
    if (reply.status != 207)
        throw SyncError(
            SyncError::Kind::Server,
            QStringLiteral("Server odpověděl na výpis změn kódem %1.").arg(reply.status));
    davxml::MultiStatus result = davxml::parseMultiStatus(reply.body);
    if (!result.error.isEmpty())
        throw SyncError(SyncError::Kind::Server, result.error);
    for (davxml::Resource &r : result.resources) {
        if (r.status == 404)
            changes.removed << r.href;
        else if (!r.href.isEmpty() && !r.isCollection && r.href != book.path(QUrl::FullyEncoded))
            changes.changed << std::move(r);
    }
    changes.syncToken = result.syncToken;
    return changes;
}

QList<davxml::Resource> CardDavClient::fetch(const QUrl &book, const QStringList &hrefs) {
    QList<davxml::Resource> cards;
    for (davxml::Resource &r :
         multiStatus("REPORT", book, 1, davxml::multigetRequest(hrefs)).resources)
        if (!r.addressData.isEmpty())
            cards << std::move(r);
    return cards;
}

namespace {

QList<std::pair<QByteArray, QByteArray>> putHeaders(const QString &ifMatch) {
    return {{"Content-Type", "text/vcard; charset=utf-8"},
            ifMatch.isEmpty() ? std::pair<QByteArray, QByteArray>{"If-None-Match", "*"}
                              : std::pair<QByteArray, QByteArray>{"If-Match", ifMatch.toUtf8()}};
}

WriteResult putResult(const QUrl &card, int status, const QString &etag) {
    if (status >= 400 && status != 404 && status != 412)
        throw SyncError(
            SyncError::Kind::Server,
            QStringLiteral("Server odmítl uložit kartu %1 (kód %2).").arg(card.path()).arg(status));
    return {status, etag};
}

} // namespace

WriteResult CardDavClient::put(const QUrl &card, const QByteArray &vcard, const QString &ifMatch) {
    const Reply reply = send("PUT", card, vcard, putHeaders(ifMatch));
    return putResult(card, reply.status, reply.etag);
}

QList<WriteResult> CardDavClient::putAll(const QList<CardWrite> &writes) {
    QList<WriteResult> results(writes.size());
    std::vector<std::unique_ptr<Pending>> underWay;
    std::vector<qsizetype> indexes; // of the write each request under way sends
    qsizetype next = 0;
    while (next < writes.size() || !underWay.empty()) {
        while (next < writes.size() && underWay.size() < kRequestsInFlight) {
            const CardWrite &w = writes[next];
            underWay.push_back(begin("PUT", w.card, w.vcard, putHeaders(w.ifMatch)));
            indexes.push_back(next++);
        }
        waitForAny(underWay);
        for (std::size_t i = 0; i < underWay.size();) {
            if (!underWay[i]->reply->isFinished()) {
                ++i;
                continue;
            }
            const CardWrite &w = writes[indexes[i]];
            Reply reply = conclude(*underWay[i]);
            if (!reply.redirect.isEmpty()) // rare: that one follows on its own
                reply = send("PUT", reply.redirect, w.vcard, putHeaders(w.ifMatch));
            results[indexes[i]] = putResult(w.card, reply.status, reply.etag);
            underWay.erase(underWay.begin() + qsizetype(i));
            indexes.erase(indexes.begin() + qsizetype(i));
        }
    }
    return results;
}

WriteResult CardDavClient::remove(const QUrl &card, const QString &ifMatch) {
    const Reply reply = send("DELETE", card, {}, {{"If-Match", ifMatch.toUtf8()}});
    if (reply.status >= 400 && reply.status != 404 && reply.status != 412)
        throw SyncError(SyncError::Kind::Server,
                        QStringLiteral("Server odmítl smazat kartu %1 (kód %2).")
                            .arg(card.path())
                            .arg(reply.status));
    return {reply.status, {}};
}

} // namespace cardsync
