#include "db/DbConnection.h"

#include "base/Win1250.h"
#include "db/DatabaseTarget.h"
#include "db/DbError.h"
#include "db/FbClient.h"
#include "db/FileHolders.h"
#include "db/OpenError.h"
#include "db/ReadOnlyCopy.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>

namespace db {
namespace {

void appendDpbString(QByteArray &dpb, char item, const QByteArray &value) {
    dpb.append(item);
    dpb.append(char(qMin<qsizetype>(value.size(), 255)));
    dpb.append(value.left(255));
}

void appendDpbNumber(QByteArray &dpb, char item, qint32 value) {
    const qint32 little = qToLittleEndian(value);
    dpb.append(item).append(char(4)).append(reinterpret_cast<const char *>(&little), 4);
}

QByteArray encodeOrThrow(const QString &text) {
    QByteArray bytes;
    QChar bad;
    if (!base::win1250::encode(text, bytes, &bad))
        throw DbError(texts::kNotStorable.arg(bad));
    return bytes;
}

// Per-attachment settings in the client's configuration syntax.
const QByteArray kEmbeddedOnly = QByteArrayLiteral("Providers = Engine12");
const QByteArray kServerOnly = QByteArrayLiteral("Providers = Remote");

int g_lockTimeoutSeconds = 5;
constexpr int kPageBuffers = 256;

void startTransaction(const FbClient &fb, isc_db_handle *db, isc_tr_handle *tr, bool readOnly) {
    static const char readTpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                                   isc_tpb_rec_version, isc_tpb_nowait};
    // A write meeting another's unfinished change of a row waits a few
    // seconds for it, then fails with a lock time-out.
    const char writeTpb[] = {isc_tpb_version3,
                             isc_tpb_write,
                             isc_tpb_read_committed,
                             isc_tpb_rec_version,
                             isc_tpb_wait,
                             isc_tpb_lock_timeout,
                             1,
                             char(g_lockTimeoutSeconds)};
    // The transaction existence block the client expects: database handle,
    // TPB length as the client's 32-bit ISC_LONG, TPB.
    struct {
        isc_db_handle *db;
        ISC_LONG length;
        const char *tpb;
    } teb{db, readOnly ? ISC_LONG(sizeof readTpb) : ISC_LONG(sizeof writeTpb),
          readOnly ? readTpb : writeTpb};
    ISC_STATUS_ARRAY status;
    fb.start_multiple(status, tr, 1, &teb);
    fb.check(status);
}

} // namespace

DbConnection::DbConnection(QObject *parent) : QObject(parent) {
}

void DbConnection::setDatabase(const QString &database) {
    m_database = database;
    m_isServer = target::isServer(database);
}

DbConnection::~DbConnection() {
    try {
        disconnectNow();
    } catch (const DbError &) {
    }
}

void DbConnection::interrupt() {
    ISC_STATUS_ARRAY status;
    if (m_db)
        client().cancel_operation(status, &m_db, fb_cancel_raise);
}

const FbClient &DbConnection::client() const {
    return m_client ? *m_client : FbClient::instance();
}

QByteArray DbConnection::attachName() const {
    // File names travel as UTF-8 (flagged in the parameter block), so a
    // folder with any letters in its name can be reached.
    const QByteArray path = m_database.toUtf8();
    if (m_host.isEmpty())
        return path;
    return m_host.toUtf8() + ':' + path;
}

void DbConnection::setConnected(bool connected) {
    if (connected == isConnected())
        return;
    if (connected)
        connectNow();
    else
        disconnectNow();
}

void DbConnection::connectNow() {
    m_client = &FbClient::instance();
    const FbClient &fb = *m_client;
    const bool local = m_host.isEmpty() && !m_isServer;
    // What the engine would choke on (a loop of links, a pipe) is refused
    // before the client sees the path.
    if (local) {
        if (const QString problem = localFileProblem(m_database); !problem.isEmpty())
            throw DbError(problem);
    }
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    appendDpbString(dpb, isc_dpb_user_name, encodeOrThrow(m_user));
    appendDpbString(dpb, isc_dpb_password, encodeOrThrow(m_password));
    // Text travels as Windows-1250, the encoding of every stored text, so
    // that UPPER and LIKE on parameters fold Czech letters on the server.
    appendDpbString(dpb, isc_dpb_lc_ctype, QByteArrayLiteral("WIN1250"));
    dpb.append(char(isc_dpb_utf8_filename)).append(char(0));
    // A file goes to the embedded engine alone: by default the client tries
    // a server on this machine next, sending the login, when the engine
    // cannot open the file. A connection string goes to the network alone.
    appendDpbString(dpb, isc_dpb_config, local ? kEmbeddedOnly : kServerOnly);
    if (!local) {
        // A server that does not answer is given up after the stall limit.
        const auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(m_stallWatch.limit()).count();
        appendDpbNumber(dpb, isc_dpb_connect_timeout, qint32(qMax<qint64>(1, seconds)));
    }

    QByteArray name = attachName();
    BusyScope busy(*this);
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    if (local && ReadOnlyCopy::isWriteProtected(m_database)) {
        // A file the program may read but not write opens for reading.
        m_readOnlyCopy = std::make_unique<ReadOnlyCopy>(m_database, fb, dpb);
        name = m_readOnlyCopy->path().toUtf8();
    }
    fb.attach_database(status, short(name.size()), name.constData(), &db, short(dpb.size()),
                       dpb.constData());
    try {
        fb.check(status);
    } catch (const DbError &e) {
        // The engine's words for a file another process holds name neither.
        if (local && e.hasCode(isc_already_opened))
            throw DbError(heldFileMessage(m_database, fileHolders(m_database)), e.kind(), e.codes(),
                          e.engineText());
        throw;
    }
    try {
        startTransaction(fb, &db, &m_readTransaction, true);
    } catch (...) {
        fb.detach_database(status, &db);
        throw;
    }
    m_db = db;
}

void DbConnection::disconnectNow() {
    emit closing();
    if (!m_db)
        return;
    endReadTransaction();
    ISC_STATUS_ARRAY status;
    client().detach_database(status, &m_db);
    m_db = 0;
    m_tableInfo.clear();
    m_readOnlyCopy.reset();
}

void DbConnection::endReadTransaction() {
    ISC_STATUS_ARRAY status;
    if (m_readTransaction)
        client().commit_transaction(status, &m_readTransaction);
    m_readTransaction = 0;
}

void DbConnection::createDatabase(const QString &path, const QString &user, const QString &password,
                                  bool forcedWrites) {
    // A link stands there even when it leads nowhere (or round in a loop).
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        throw DbError(
            QStringLiteral("Soubor „%1“ už existuje; nový soubor databáze na jeho místě nevznikne.")
                .arg(path));
    const FbClient &fb = FbClient::instance();
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    appendDpbString(dpb, isc_dpb_user_name, encodeOrThrow(user));
    appendDpbString(dpb, isc_dpb_password, encodeOrThrow(password));
    dpb.append(char(isc_dpb_utf8_filename)).append(char(0));
    appendDpbString(dpb, isc_dpb_config, target::isServer(path) ? kServerOnly : kEmbeddedOnly);
    const QByteArray attaching = dpb;
    appendDpbNumber(dpb, isc_dpb_page_size, 8192);
    appendDpbNumber(dpb, isc_dpb_sql_dialect, 3);
    appendDpbString(dpb, isc_dpb_set_db_charset, QByteArrayLiteral("WIN1250"));
    const QByteArray name = path.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    fb.create_database(status, short(name.size()), name.constData(), &db, short(dpb.size()),
                       dpb.constData(), 0);
    fb.check(status);
    fb.detach_database(status, &db);
    dpb = attaching;
    if (!forcedWrites)
        dpb.append(char(isc_dpb_force_write)).append(char(1)).append(char(0));
    // A desktop register reads most of its pages once into memory of its own
    // (the board); a small page cache, stored in the file, keeps the
    // program's footprint small, and the system's file cache serves the rest.
    appendDpbNumber(dpb, isc_dpb_set_page_buffers, kPageBuffers);
    fb.attach_database(status, short(name.size()), name.constData(), &db, short(dpb.size()),
                       dpb.constData());
    fb.check(status);
    fb.detach_database(status, &db);
}

void DbConnection::dropDatabase() {
    if (!m_db)
        setConnected(true);
    endReadTransaction();
    ISC_STATUS_ARRAY status;
    client().drop_database(status, &m_db);
    client().check(status);
    m_db = 0;
    m_tableInfo.clear();
}

void DbConnection::setLockTimeoutSeconds(int seconds) {
    g_lockTimeoutSeconds = qBound(1, seconds, 120);
}

int DbConnection::lockTimeoutSeconds() {
    return g_lockTimeoutSeconds;
}

template <class Step> auto DbConnection::lostConnectionGuard(Step step) -> decltype(step()) {
    try {
        const StallWatch::Scope call = serverCall();
        return step();
    } catch (const DbError &error) {
        if (error.kind() == DbError::Kind::ConnectionLost)
            dropLostConnection();
        // A file's engine reports a page it cannot read as an I/O error.
        if (m_host.isEmpty() && !m_isServer)
            throw explainReadFailure(error, m_database);
        throw;
    }
}

void DbConnection::dropLostConnection() {
    emit handlesDropped();
    if (!m_db)
        return;
    // The server is gone: free what the client holds and ignore what it says.
    const FbClient &fb = client();
    ISC_STATUS_ARRAY status;
    if (m_readTransaction)
        fb.rollback_transaction(status, &m_readTransaction);
    fb.detach_database(status, &m_db);
    m_readTransaction = 0;
    m_db = 0;
    m_tableInfo.clear();
    emit connectionLost();
}

std::unique_ptr<FbStatement> DbConnection::openCursor(const QByteArray &sql,
                                                      const QVariantList &params) {
    if (!m_db)
        setConnected(true);
    return lostConnectionGuard([&] {
        BusyScope busy(*this);
        auto statement = std::make_unique<FbStatement>(*this, &m_readTransaction);
        statement->prepare(sql);
        statement->bind(params);
        statement->execute();
        return statement;
    });
}

std::vector<ColumnInfo> DbConnection::describe(const QByteArray &sql) {
    if (!m_db)
        setConnected(true);
    return lostConnectionGuard([&] {
        FbStatement statement(*this, &m_readTransaction);
        statement.prepare(sql);
        return statement.columns();
    });
}

void DbConnection::executeCommitted(const QByteArray &sql, const QVariantList &params) {
    executeCommitted(QList<Statement>{{sql, params}});
}

qint64 DbConnection::executeCommitted(const QList<Statement> &statements) {
    return runInTransaction([&](WriteTransaction &transaction) {
        for (const Statement &s : statements) {
            FbStatement statement(*this, transaction.handle());
            statement.prepare(s.sql);
            statement.bind(s.params);
            statement.execute();
            if (s.expectedRows >= 0 && statement.affectedRows() != s.expectedRows)
                throw DbError(texts::kConflict, DbError::Kind::Conflict);
        }
    });
}

qint64 DbConnection::runInTransaction(const std::function<void(WriteTransaction &)> &work) {
    if (!m_db)
        setConnected(true);
    refuseChangesWhenReadOnly();
    try {
        return lostConnectionGuard([&] {
            BusyScope busy(*this);
            WriteTransaction transaction(*this);
            work(transaction);
            const qint64 number = transaction.number();
            transaction.commit();
            return number;
        });
    } catch (const DbError &e) {
        throw explainWriteFailure(e, m_database);
    }
}

void DbConnection::executeBatch(const QByteArray &sql, const QList<QVariantList> &rows) {
    if (!m_db)
        setConnected(true);
    refuseChangesWhenReadOnly();
    lostConnectionGuard([&] {
        BusyScope busy(*this);
        WriteTransaction transaction(*this);
        {
            FbStatement statement(*this, transaction.handle());
            statement.prepare(sql);
            for (const QVariantList &row : rows) {
                statement.bind(row);
                statement.execute();
            }
        }
        transaction.commit();
    });
}

QByteArray DbConnection::readBlob(qint64 blobId) {
    return lostConnectionGuard([&] { return readBlobNow(blobId); });
}

QByteArray DbConnection::readBlobNow(qint64 blobId) {
    const FbClient &fb = client();
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    ISC_QUAD id;
    std::memcpy(&id, &blobId, sizeof id);
    fb.open_blob2(status, &m_db, &m_readTransaction, &blob, &id, 0, nullptr);
    fb.check(status);
    QByteArray bytes;
    char buffer[32768];
    for (;;) {
        unsigned short got = 0;
        const ISC_STATUS rc = fb.get_segment(status, &blob, &got, sizeof buffer, buffer);
        if (rc == isc_segstr_eof)
            break;
        if (rc != 0 && rc != isc_segment) {
            ISC_STATUS_ARRAY ignored;
            fb.close_blob(ignored, &blob);
            fb.check(status);
        }
        bytes.append(buffer, got);
    }
    fb.close_blob(status, &blob);
    return bytes;
}

const DbConnection::TableInfo &DbConnection::tableInfo(const QString &table) {
    const QString key = table.toUpper();
    auto found = m_tableInfo.constFind(key);
    if (found != m_tableInfo.constEnd())
        return *found;

    TableInfo info;
    PackedRow row;
    auto columns = openCursor(
        "SELECT RF.RDB$FIELD_NAME, F.RDB$FIELD_TYPE, F.RDB$COMPUTED_BLR "
        "FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
        "WHERE RF.RDB$RELATION_NAME = ? ORDER BY RF.RDB$FIELD_POSITION",
        {key});
    while (columns->fetch(row)) {
        const QString name = base::win1250::decode(row.cell(0).bytes).trimmed();
        info.columns << name;
        if (row.cell(1).num == blr_blob)
            info.blobColumns.insert(name);
        if (row.tag(2) != Cell::Null)
            info.computedColumns.insert(name);
    }
    auto keys =
        openCursor("SELECT S.RDB$FIELD_NAME FROM RDB$RELATION_CONSTRAINTS C "
                   "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                   "WHERE C.RDB$RELATION_NAME = ? AND C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
                   "ORDER BY S.RDB$FIELD_POSITION",
                   {key});
    while (keys->fetch(row))
        info.primaryKey << base::win1250::decode(row.cell(0).bytes).trimmed();
    return *m_tableInfo.insert(key, info);
}

void DbConnection::refuseChangesWhenReadOnly() const {
    if (m_readOnlyCopy)
        throw DbError(m_readOnlyCopy->refusal());
}

WriteTransaction::WriteTransaction(DbConnection &connection) : m_connection(connection) {
    startTransaction(connection.client(), connection.handle(), &m_handle, false);
}

WriteTransaction::~WriteTransaction() {
    if (m_handle) {
        ISC_STATUS_ARRAY status;
        m_connection.client().rollback_transaction(status, &m_handle);
    }
}

qint64 WriteTransaction::number() const {
    ISC_STATUS_ARRAY status;
    const char item = isc_info_tra_id;
    unsigned char info[32] = {};
    isc_tr_handle handle = m_handle;
    m_connection.client().transaction_info(status, &handle, 1, &item, sizeof info,
                                           reinterpret_cast<char *>(info));
    m_connection.client().check(status);
    if (info[0] != isc_info_tra_id)
        throw DbError(QStringLiteral("The server did not report the transaction number"));
    const int length = info[1] | (info[2] << 8);
    qint64 value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = (value << 8) | info[3 + i];
    return value;
}

void WriteTransaction::commit() {
    ISC_STATUS_ARRAY status;
    m_connection.client().commit_transaction(status, &m_handle);
    m_connection.client().check(status);
    m_handle = 0;
}

} // namespace db
