#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

/// Two-way exchange of contacts with an address book on a CardDAV server.
namespace cardsync {

/// The request bodies and the reading of the server's multi-status answers:
/// pure, no network.
namespace davxml {

/// PROPFIND for current-user-principal (discovery's first step).
QByteArray principalRequest();
/// PROPFIND for the principal's addressbook-home-set.
QByteArray homeRequest();
/// PROPFIND (Depth 1) of the collections under the home, and of the address
/// book itself: its kind, name, sync token and the ETags of its cards.
QByteArray listingRequest();
/// REPORT sync-collection from `token` (empty: the first, full one).
QByteArray syncCollectionRequest(const QString &token);
/// REPORT addressbook-multiget of the cards at `hrefs` (paths, as listed).
QByteArray multigetRequest(const QStringList &hrefs);

/// One <response> of a multi-status answer, with the properties the server
/// found (propstat 200); what it did not find stays empty.
struct Resource {
    QString href;              ///< path as the server gave it, percent-encoded
    int status = 0;            ///< the response's own status (404: removed), 0: none given
    QString etag;              ///< getetag, quotes kept
    QByteArray addressData;    ///< the card (address-data), UTF-8
    bool isCollection = false; ///< resourcetype collection
    bool isAddressBook = false;
    QString displayName;
    QString principal;   ///< current-user-principal href
    QString addressHome; ///< addressbook-home-set href
    QString syncToken;   ///< sync-token property of a collection
    QString contentType; ///< getcontenttype
};

struct MultiStatus {
    QList<Resource> resources;
    QString syncToken; ///< the REPORT's new token (multistatus/sync-token)
    QString error;     ///< non-empty: not a readable multi-status answer
};

/// Reads a multi-status body. Never throws; anything that is not one comes
/// back with `error` set, what is too big or nested too deep included.
MultiStatus parseMultiStatus(const QByteArray &body);

/// The status code of "HTTP/1.1 404 Not Found"; 0 when there is none.
int statusCode(const QString &statusLine);

} // namespace davxml
} // namespace cardsync
