#pragma once

// What the sync tests share: a "phone" writing cards with plain HTTP
// requests, a sync by the engine and by the command line tool, and the
// register read back for comparing.
#include "io/ContactStore.h"
#include "support/ChildProcess.h"
#include "support/TestCardServer.h"
#include "support/TestDatabase.h"
#include "sync/AccountSettings.h"
#include "sync/CardDavClient.h"
#include "sync/SyncEngine.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>

using cardsync::SyncReport;

/// A phone's address book: plain HTTP requests on the server's cards.
class Phone {
  public:
    explicit Phone(const TestCardServer &server) : m_server(server) {}

    struct Answer {
        int status = 0;
        QByteArray body;
        QByteArray etag;
    };
    Answer request(const QByteArray &verb, const QString &href, const QByteArray &body = {},
                   const QByteArray &ifMatch = {}) {
        QNetworkRequest request(m_server.rootUrl().resolved(QUrl(href)));
        request.setRawHeader(
            "Authorization",
            "Basic " + (m_server.user() + u':' + m_server.password()).toUtf8().toBase64());
        if (!body.isEmpty())
            request.setRawHeader("Content-Type", "text/vcard; charset=utf-8");
        if (!ifMatch.isEmpty())
            request.setRawHeader("If-Match", ifMatch);
        std::unique_ptr<QNetworkReply> reply(m_network.sendCustomRequest(request, verb, body));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                reply->readAll(), reply->rawHeader("ETag")};
    }
    /// Writes a card of its own at BOOK/NAME.vcf.
    int write(const QString &name, const QString &lines) {
        return request("PUT", m_server.addressBookUrl().path() + name + QStringLiteral(".vcf"),
                       card(name, lines))
            .status;
    }
    /// Changes a card: `lines` go in before END, over its version as read now.
    bool change(const QString &href, const QByteArray &lines) {
        const Answer now = request("GET", href);
        QByteArray body = now.body;
        body.insert(body.lastIndexOf("END:VCARD"), lines + "\r\n");
        const int status = request("PUT", href, body, now.etag).status;
        return now.status == 200 && status >= 200 && status < 300;
    }
    /// Replaces the text `from` of a card by `to`, over its version as read now.
    bool replace(const QString &href, const QByteArray &from, const QByteArray &to) {
        const Answer now = request("GET", href);
        QByteArray body = now.body;
        if (now.status != 200 || !body.contains(from))
            return false;
        const int status = request("PUT", href, body.replace(from, to), now.etag).status;
        return status >= 200 && status < 300;
    }
    bool remove(const QString &href) {
        const int status = request("DELETE", href).status;
        return status >= 200 && status < 300;
    }

    static QByteArray card(const QString &uid, const QString &lines) {
        return ("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\n" + lines + "\r\nEND:VCARD\r\n")
            .toUtf8();
    }

  private:
    const TestCardServer &m_server;
    QNetworkAccessManager m_network;
};

inline SyncReport syncNow(TestDatabase &db, const TestCardServer &server,
                          const cardsync::SyncScope &scope = {}) {
    // The server's root: the address book is found by discovery.
    cardsync::CardDavClient client({server.rootUrl(), server.user(), server.password(), {}}, 5000);
    db.connection().setConnected(true);
    cardsync::SyncEngine engine(db.connection(), client);
    engine.setScope(scope);
    return engine.run();
}

/// `kontakty-io sync` on the database as cron would run it: the exit
/// status, standard output and error.
inline std::tuple<int, QString> syncByTool(TestDatabase &db, const TestCardServer &server,
                                           const QString &password,
                                           const QStringList &options = {}) {
    db.disconnect(); // the embedded engine lets one process at a time open a file
    ChildProcess tool(QStringLiteral(IO_EXE),
                      QStringList{QStringLiteral("sync"), QStringLiteral("--url"),
                                  server.rootUrl().toString(), QStringLiteral("--user"),
                                  server.user()} +
                          options + QStringList{db.path()});
    tool.setEnv(QString::fromLatin1(cardsync::kPasswordVariable), password);
    if (!tool.start() || !tool.process().waitForFinished(60000))
        return {-1, QStringLiteral("kontakty-io did not run")};
    return {tool.process().exitCode(), QString::fromUtf8(tool.process().readAllStandardOutput() +
                                                         tool.process().readAllStandardError())};
}

/// Each contact as a line of its company and values: equal lists, equal registers.
inline QStringList contactsOf(TestDatabase &db) {
    db.connection().setConnected(true);
    QStringList lines;
    for (const io::Entry &e : io::readEntries(db.connection(), {})) {
        if (e.companyOnly)
            continue;
        QStringList values{e.companyName()};
        for (auto it = e.contact.cbegin(); it != e.contact.cend(); ++it)
            values << it.key() + u'=' + it.value();
        values << QString::number(qHash(e.photo));
        lines << values.join(u'|');
    }
    lines.sort();
    return lines;
}

/// Each company as a line of its columns: equal lists, equal companies.
inline QStringList companiesOf(TestDatabase &db) {
    QStringList columns;
    for (const io::Column &c : io::companyColumns())
        columns << c.name;
    QStringList lines;
    for (const QVariantList &row :
         db.rows(QStringLiteral("SELECT %1 FROM FIRMA").arg(columns.join(u',')))) {
        QStringList values;
        for (const QVariant &value : row)
            values << value.toString();
        lines << values.join(u'|');
    }
    lines.sort();
    return lines;
}

inline QString hrefOf(TestDatabase &db, qint64 contactId) {
    return db
        .scalar(QStringLiteral("SELECT HREF FROM KONTAKT_KARTA WHERE ID_KONTAKT = ?"), {contactId})
        .toString();
}

inline qint64 contactNamed(TestDatabase &db, const QString &surname) {
    return db.scalar(QStringLiteral("SELECT MIN(ID) FROM KONTAKT WHERE PRIJMENI = ?"), {surname})
        .toLongLong();
}

inline bool carriedNothing(const SyncReport &r) {
    return r.receivedHere + r.deletedHere + r.sentThere + r.deletedThere + r.companiesHere +
                   r.companiesThere ==
               0 &&
           r.conflicts.isEmpty() && r.conflictingCompanies.isEmpty();
}

#define QVERIFY_SYNC(statement)                                                                    \
    do {                                                                                           \
        try {                                                                                      \
            statement;                                                                             \
        } catch (const cardsync::SyncError &e) {                                                   \
            QFAIL(qPrintable(QStringLiteral("SyncError: ") + e.message()));                        \
        } catch (const db::DbError &e) {                                                           \
            QFAIL(qPrintable(QStringLiteral("DbError: ") + e.message()));                          \
        }                                                                                          \
    } while (false)
