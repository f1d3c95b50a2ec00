#include "sync/CardLinks.h"

#include "base/Win1250.h"
#include "db/DbError.h"

#include <QUrl>
#include <QUuid>

namespace cardsync::cardlinks {
namespace {

QVariant textOrNull(const QString &text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QString text(const db::PackedRow &row, int column) {
    return base::win1250::decode(row.cell(column).bytes);
}

} // namespace

void placeNew(CardLink &link, const QUrl &book) {
    if (link.uid.isEmpty())
        link.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (link.href.isEmpty())
        link.href = book.path(QUrl::FullyEncoded) +
                    QString::fromLatin1(QUrl::toPercentEncoding(link.uid)) + QStringLiteral(".vcf");
}

QHash<int, CardLink> read(db::DbConnection &connection, const LinkTable &table) {
    QHash<int, CardLink> links;
    const auto cursor = connection.openCursor(
        QByteArray("SELECT ") + table.idColumn +
            ", UID_KARTY, HREF, ETAG, OTISK, SPOR_ETAG, SPOR_KARTA FROM " + table.table,
        {});
    db::PackedRow row;
    while (cursor->fetch(row)) {
        CardLink link;
        link.contactId = int(row.cell(0).num);
        link.uid = QUrl::fromPercentEncoding(row.cell(1).bytes);
        link.href = text(row, 2);
        link.etag = text(row, 3);
        link.digest = text(row, 4);
        link.conflictEtag = text(row, 5);
        if (row.tag(6) == db::Cell::BlobId)
            link.conflictCard = connection.readBlob(row.cell(6).num);
        links.insert(link.contactId, link);
    }
    return links;
}

SyncState readState(db::DbConnection &connection) {
    const auto cursor =
        connection.openCursor("SELECT ADRESAR, TOKEN FROM SYNCHRONIZACE WHERE ID = 1", {});
    db::PackedRow row;
    SyncState state;
    if (cursor->fetch(row))
        state = {text(row, 0), text(row, 1)};
    return state;
}

db::DbConnection::Statement save(const CardLink &link, const LinkTable &table) {
    return {QByteArray("UPDATE OR INSERT INTO ") + table.table + " (" + table.idColumn +
                ", UID_KARTY, HREF, ETAG, OTISK, SPOR_ETAG, SPOR_KARTA) VALUES (?, ?, ?, ?, ?, ?, "
                "?) MATCHING (" +
                table.idColumn + ")",
            {link.contactId, textOrNull(QString::fromLatin1(QUrl::toPercentEncoding(link.uid))),
             textOrNull(link.href), textOrNull(link.etag), textOrNull(link.digest),
             textOrNull(link.conflictEtag),
             link.conflictCard.isEmpty() ? QVariant() : QVariant(link.conflictCard)}};
}

db::DbConnection::Statement drop(int contactId, const LinkTable &table) {
    return {QByteArray("DELETE FROM ") + table.table + " WHERE " + table.idColumn + " = ?",
            {contactId}};
}

QList<db::DbConnection::Statement> ensureStateRows() {
    return {{"UPDATE OR INSERT INTO SYNCHRONIZACE (ID) VALUES (0) MATCHING (ID)", {}},
            {"UPDATE OR INSERT INTO SYNCHRONIZACE (ID) VALUES (1) MATCHING (ID)", {}}};
}

db::DbConnection::Statement lockSync() {
    return {"UPDATE SYNCHRONIZACE SET ID = ID WHERE ID = 0", {}, 1};
}

db::DbConnection::Statement saveState(const SyncState &state) {
    return {"UPDATE SYNCHRONIZACE SET ADRESAR = ?, TOKEN = ? WHERE ID = 1",
            {textOrNull(state.book), textOrNull(state.token)},
            1};
}

db::DbConnection::Statement dropAll(const LinkTable &table) {
    return {QByteArray("UPDATE ") + table.table +
                " SET HREF = NULL, ETAG = NULL, OTISK = NULL, SPOR_ETAG = NULL, SPOR_KARTA = NULL",
            {}};
}

} // namespace cardsync::cardlinks
