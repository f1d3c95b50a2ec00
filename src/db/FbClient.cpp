#include "db/FbClient.h"

#include "base/Win1250.h"
#include "db/DbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace db {

QStringList &FbClient::candidateNames() {
#ifdef Q_OS_WIN
    static QStringList names{QStringLiteral("fbclient20.dll"), QStringLiteral("fbclient.dll")};
#else
    static QStringList names{QStringLiteral("libfbclient.so.2"), QStringLiteral("libfbclient.so")};
#endif
    return names;
}

QString FbClient::usePrivateLockFolder() {
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        return {};
    // The session's runtime folder; without one (su, ssh, cron) a folder of
    // the user's own in the cache folder, never the shared default.
    const QString base =
        qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")
            ? QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                  QStringLiteral("/Qorvel/Kontakty")
            : QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString folder = base + QStringLiteral("/firebird");
    const QFileInfo info(folder);
    if (!QDir().mkpath(folder) || !info.isDir() || !info.isWritable() ||
        !QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return QStringLiteral(
                   "Složku %1 pro zámky databáze nelze použít: nedá se vytvořit nebo do ní "
                   "zapisovat. Zkontrolujte oprávnění k ní (nebo nastavte FIREBIRD_LOCK na jinou "
                   "složku).")
            .arg(folder);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(folder));
    return {};
}

const FbClient &FbClient::instance() {
    static FbClient *client = nullptr;
    if (client)
        return *client;

    auto *candidate = new FbClient;
    for (const QString &name : candidateNames()) {
        candidate->m_library.setFileName(name);
        if (candidate->m_library.load())
            break;
    }
    if (!candidate->m_library.isLoaded()) {
        delete candidate;
        throw DbError(QStringLiteral("None of the dynamic libraries can be found: %1")
                          .arg(candidateNames().join(QStringLiteral(", "))));
    }

    bool complete = true;
    auto resolve = [&](auto &fn, const char *symbol) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(
            candidate->m_library.resolve(symbol));
        complete = complete && fn;
    };
    resolve(candidate->attach_database, "isc_attach_database");
    resolve(candidate->create_database, "isc_create_database");
    resolve(candidate->detach_database, "isc_detach_database");
    resolve(candidate->drop_database, "isc_drop_database");
    resolve(candidate->start_multiple, "isc_start_multiple");
    resolve(candidate->commit_transaction, "isc_commit_transaction");
    resolve(candidate->rollback_transaction, "isc_rollback_transaction");
    resolve(candidate->dsql_allocate_statement, "isc_dsql_allocate_statement");
    resolve(candidate->dsql_prepare, "isc_dsql_prepare");
    resolve(candidate->dsql_describe, "isc_dsql_describe");
    resolve(candidate->dsql_describe_bind, "isc_dsql_describe_bind");
    resolve(candidate->dsql_execute, "isc_dsql_execute");
    resolve(candidate->dsql_execute_immediate, "isc_dsql_execute_immediate");
    resolve(candidate->dsql_fetch, "isc_dsql_fetch");
    resolve(candidate->dsql_free_statement, "isc_dsql_free_statement");
    resolve(candidate->dsql_sql_info, "isc_dsql_sql_info");
    resolve(candidate->open_blob2, "isc_open_blob2");
    resolve(candidate->create_blob2, "isc_create_blob2");
    resolve(candidate->get_segment, "isc_get_segment");
    resolve(candidate->put_segment, "isc_put_segment");
    resolve(candidate->close_blob, "isc_close_blob");
    resolve(candidate->interpret, "fb_interpret");
    resolve(candidate->transaction_info, "isc_transaction_info");
    resolve(candidate->cancel_operation, "fb_cancel_operation");
    if (!complete) {
        const QString file = candidate->m_library.fileName();
        delete candidate;
        throw DbError(QStringLiteral("The client library %1 lacks required functions").arg(file));
    }
    client = candidate;
    return *client;
}

QString FbClient::errorText(const ISC_STATUS *status) const {
    QStringList lines;
    const ISC_STATUS *cursor = status;
    char buffer[1024];
    while (interpret(buffer, sizeof buffer, &cursor) > 0)
        lines << base::win1250::decode(buffer, qstrlen(buffer));
    return lines.join(QLatin1Char(' '));
}

QList<long> FbClient::errorCodes(const ISC_STATUS *status) {
    QList<long> codes;
    for (int i = 0; i < ISC_STATUS_LENGTH - 1 && status[i] != isc_arg_end;) {
        const ISC_STATUS type = status[i];
        if (type == isc_arg_gds)
            codes << long(status[i + 1]);
        i += type == isc_arg_cstring ? 3 : 2;
    }
    return codes;
}

DbError::Kind FbClient::classify(const QList<long> &codes) {
    static const long lost[] = {isc_network_error,      isc_net_read_err, isc_net_write_err,
                                isc_shutdown,           isc_att_shutdown, isc_conn_lost,
                                isc_lost_db_connection, isc_io_error,     isc_bad_db_handle};
    for (long code : lost)
        if (codes.contains(code))
            return DbError::Kind::ConnectionLost;
    // A wait that ran out also names the conflict it waited on; a server
    // that waited for another's unfinished change names that transaction.
    // (A change the other committed while this one waited is reported in the
    // same words: the dataset tells the two apart by the row's version.)
    if (codes.contains(isc_lock_timeout) || codes.contains(isc_lock_conflict) ||
        codes.contains(isc_concurrent_transaction))
        return DbError::Kind::LockTimeout;
    if (codes.contains(isc_update_conflict) || codes.contains(isc_deadlock))
        return DbError::Kind::Conflict;
    if (codes.contains(isc_unique_key_violation) || codes.contains(isc_no_dup))
        return DbError::Kind::KeyClash;
    if (codes.contains(isc_login))
        return DbError::Kind::LoginRefused;
    return DbError::Kind::General;
}

void FbClient::check(const ISC_STATUS *status) const {
    if (status[0] != 1 || status[1] == 0)
        return;
    const QList<long> codes = errorCodes(status);
    const DbError::Kind kind = classify(codes);
    const QString text = errorText(status);
    switch (kind) {
    case DbError::Kind::Conflict:
        throw DbError(texts::kConflict, kind, codes, text);
    case DbError::Kind::LockTimeout:
        throw DbError(texts::kLockTimeout, kind, codes, text);
    case DbError::Kind::ConnectionLost:
        throw DbError(texts::kConnectionLost.arg(text), kind, codes, text);
    case DbError::Kind::KeyClash: // the layer's own words; a form says it in its own
    case DbError::Kind::LoginRefused:
    case DbError::Kind::General:
        break;
    }
    throw DbError(QStringLiteral("SQL Error: %1").arg(text), kind, codes, text);
}

} // namespace db
