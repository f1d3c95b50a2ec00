#include "sync/DavXml.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <functional>

namespace cardsync::davxml {
namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCard = QStringLiteral("urn:ietf:params:xml:ns:carddav");

// A server's answer lists every card of a book once; well beyond what a
// register holds, and never so deep that reading it becomes a risk.
constexpr qsizetype kMaxBodyBytes = qsizetype(512) << 20;
constexpr int kMaxDepth = 64;

/// Writes a request whose root is `root` in the DAV or card name space.
QByteArray request(const QString &rootSpace, const QString &root,
                   const std::function<void(QXmlStreamWriter &)> &body) {
    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    w.writeStartDocument();
    w.writeNamespace(kDav, QStringLiteral("d"));
    w.writeNamespace(kCard, QStringLiteral("c"));
    w.writeStartElement(rootSpace, root);
    body(w);
    w.writeEndElement();
    w.writeEndDocument();
    return bytes;
}

void props(QXmlStreamWriter &w, const QList<std::pair<QString, QString>> &names) {
    w.writeStartElement(kDav, QStringLiteral("prop"));
    for (const auto &[space, name] : names)
        w.writeEmptyElement(space, name);
    w.writeEndElement();
}

QByteArray propfind(const QList<std::pair<QString, QString>> &names) {
    return request(kDav, QStringLiteral("propfind"), [&](QXmlStreamWriter &w) { props(w, names); });
}

/// The first href inside the current element (a property naming a place).
QString hrefInside(QXmlStreamReader &r) {
    QString href;
    while (r.readNextStartElement()) {
        if (r.namespaceUri() == kDav && r.name() == QLatin1String("href") && href.isEmpty())
            href = r.readElementText().trimmed();
        else
            r.skipCurrentElement();
    }
    return href;
}

/// Reads one <prop> into `into`.
void readProp(QXmlStreamReader &r, Resource &into) {
    while (r.readNextStartElement()) {
        const QStringView name = r.name();
        const bool dav = r.namespaceUri() == kDav;
        const bool card = r.namespaceUri() == kCard;
        if (dav && name == QLatin1String("getetag")) {
            into.etag = r.readElementText().trimmed();
        } else if (dav && name == QLatin1String("displayname")) {
            into.displayName = r.readElementText().trimmed();
        } else if (dav && name == QLatin1String("sync-token")) {
            into.syncToken = r.readElementText().trimmed();
        } else if (dav && name == QLatin1String("getcontenttype")) {
            into.contentType = r.readElementText().trimmed();
        } else if (card && name == QLatin1String("address-data")) {
            into.addressData = r.readElementText().toUtf8();
        } else if (dav && name == QLatin1String("current-user-principal")) {
            into.principal = hrefInside(r);
        } else if (card && name == QLatin1String("addressbook-home-set")) {
            into.addressHome = hrefInside(r);
        } else if (dav && name == QLatin1String("resourcetype")) {
            while (r.readNextStartElement()) {
                if (r.namespaceUri() == kDav && r.name() == QLatin1String("collection"))
                    into.isCollection = true;
                if (r.namespaceUri() == kCard && r.name() == QLatin1String("addressbook"))
                    into.isAddressBook = true;
                r.skipCurrentElement();
            }
        } else {
            r.skipCurrentElement();
        }
    }
}

void readPropstat(QXmlStreamReader &r, Resource &into) {
    Resource found;
    int status = 0;
    while (r.readNextStartElement()) {
        if (r.namespaceUri() == kDav && r.name() == QLatin1String("prop"))
            readProp(r, found);
        else if (r.namespaceUri() == kDav && r.name() == QLatin1String("status"))
            status = statusCode(r.readElementText());
        else
            r.skipCurrentElement();
    }
    if (status != 200) // what the server did not find names only empty elements
        return;
    auto take = [](auto &to, const auto &from) {
        if (!from.isEmpty())
            to = from;
    };
    take(into.etag, found.etag);
    take(into.addressData, found.addressData);
    take(into.displayName, found.displayName);
    take(into.principal, found.principal);
    take(into.addressHome, found.addressHome);
    take(into.syncToken, found.syncToken);
    take(into.contentType, found.contentType);
    into.isCollection = into.isCollection || found.isCollection;
    into.isAddressBook = into.isAddressBook || found.isAddressBook;
}

Resource readResponse(QXmlStreamReader &r) {
    Resource resource;
    while (r.readNextStartElement()) {
        if (r.namespaceUri() != kDav)
            r.skipCurrentElement();
        else if (r.name() == QLatin1String("href"))
            resource.href = r.readElementText().trimmed();
        else if (r.name() == QLatin1String("status"))
            resource.status = statusCode(r.readElementText());
        else if (r.name() == QLatin1String("propstat"))
            readPropstat(r, resource);
        else
            r.skipCurrentElement();
    }
    return resource;
}

/// Refuses a body nested deeper than anything a server writes, before the
/// reader recurses into it.
bool tooDeep(const QByteArray &body) {
    QXmlStreamReader r(body);
    int depth = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && ++depth > kMaxDepth)
            return true;
        if (r.isEndElement())
            --depth;
    }
    return false;
}

} // namespace

QByteArray principalRequest() {
    return propfind({{kDav, QStringLiteral("current-user-principal")}});
}

QByteArray homeRequest() {
    return propfind({{kCard, QStringLiteral("addressbook-home-set")}});
}

QByteArray listingRequest() {
    return propfind({{kDav, QStringLiteral("resourcetype")},
                     {kDav, QStringLiteral("displayname")},
                     {kDav, QStringLiteral("sync-token")},
                     {kDav, QStringLiteral("getetag")},
                     {kDav, QStringLiteral("getcontenttype")}});
}

QByteArray syncCollectionRequest(const QString &token) {
    return request(kDav, QStringLiteral("sync-collection"), [&](QXmlStreamWriter &w) {
        w.writeTextElement(kDav, QStringLiteral("sync-token"), token);
        w.writeTextElement(kDav, QStringLiteral("sync-level"), QStringLiteral("1"));
        props(w, {{kDav, QStringLiteral("getetag")}});
    });
}

QByteArray multigetRequest(const QStringList &hrefs) {
    return request(kCard, QStringLiteral("addressbook-multiget"), [&](QXmlStreamWriter &w) {
        props(w, {{kDav, QStringLiteral("getetag")}, {kCard, QStringLiteral("address-data")}});
        for (const QString &href : hrefs)
            w.writeTextElement(kDav, QStringLiteral("href"), href);
    });
}

int statusCode(const QString &statusLine) {
    // "HTTP/1.1 207 Multi-Status": the second word.
    const QStringList words = statusLine.simplified().split(QLatin1Char(' '));
    if (words.size() < 2)
        return 0;
    bool ok = false;
    const int code = words[1].toInt(&ok);
    return ok && code >= 100 && code <= 999 ? code : 0;
}

MultiStatus parseMultiStatus(const QByteArray &body) {
    MultiStatus result;
    if (body.size() > kMaxBodyBytes) {
        result.error = QStringLiteral("Odpověď serveru je příliš velká.");
        return result;
    }
    if (tooDeep(body)) {
        result.error = QStringLiteral("Odpověď serveru je vnořená příliš hluboko.");
        return result;
    }
    QXmlStreamReader r(body);
    if (!r.readNextStartElement() || r.namespaceUri() != kDav ||
        r.name() != QLatin1String("multistatus")) {
        result.error = r.hasError() ? r.errorString()
                                    : QStringLiteral("Odpověď serveru není seznam (multistatus).");
        return result;
    }
    while (r.readNextStartElement()) {
        if (r.namespaceUri() == kDav && r.name() == QLatin1String("response"))
            result.resources << readResponse(r);
        else if (r.namespaceUri() == kDav && r.name() == QLatin1String("sync-token"))
            result.syncToken = r.readElementText().trimmed();
        else
            r.skipCurrentElement();
    }
    if (r.hasError()) {
        result.error = QStringLiteral("Odpověď serveru nelze přečíst: %1 (řádek %2)")
                           .arg(r.errorString())
                           .arg(r.lineNumber());
        result.resources.clear();
    }
    return result;
}

} // namespace cardsync::davxml
