#pragma once

#include "db/DbError.h"

#include <ibase.h>

#include <QLibrary>
#include <QStringList>

namespace db {

/// The Firebird client library, loaded at run time on first use. Only the
/// types and constants of the client's header are used at compile time.
class FbClient {
  public:
    /// The loaded library; throws DbError "None of the dynamic libraries can be
    /// found: ..." when none of the candidate names loads.
    static const FbClient &instance();

    /// The names tried, in order, on this platform. Tests may replace them
    /// before the first load.
    static QStringList &candidateNames();

    /// Sends the embedded engine's lock files to "firebird" in the user's
    /// runtime folder (XDG_RUNTIME_DIR), or without one (su, ssh, cron) in
    /// "Qorvel/Kontakty" of the user's cache folder, made with mode 0700,
    /// unless FIREBIRD_LOCK names a folder already. The
    /// engine's default, /tmp/firebird, shuts everyone out once another user
    /// (or root) has made it. Call before the first database is opened, and
    /// only where no process of another user shares the database file.
    /// Returns why the folder cannot be used, or an empty text.
    static QString usePrivateLockFolder();

    decltype(&::isc_attach_database) attach_database = nullptr;
    decltype(&::isc_create_database) create_database = nullptr;
    decltype(&::isc_detach_database) detach_database = nullptr;
    decltype(&::isc_drop_database) drop_database = nullptr;
    decltype(&::isc_start_multiple) start_multiple = nullptr;
    decltype(&::isc_commit_transaction) commit_transaction = nullptr;
    decltype(&::isc_rollback_transaction) rollback_transaction = nullptr;
    decltype(&::isc_dsql_allocate_statement) dsql_allocate_statement = nullptr;
    decltype(&::isc_dsql_prepare) dsql_prepare = nullptr;
    decltype(&::isc_dsql_describe) dsql_describe = nullptr;
    decltype(&::isc_dsql_describe_bind) dsql_describe_bind = nullptr;
    decltype(&::isc_dsql_execute) dsql_execute = nullptr;
    decltype(&::isc_dsql_execute_immediate) dsql_execute_immediate = nullptr;
    decltype(&::isc_dsql_fetch) dsql_fetch = nullptr;
    decltype(&::isc_dsql_free_statement) dsql_free_statement = nullptr;
    decltype(&::isc_dsql_sql_info) dsql_sql_info = nullptr;
    decltype(&::isc_open_blob2) open_blob2 = nullptr;
    decltype(&::isc_create_blob2) create_blob2 = nullptr;
    decltype(&::isc_get_segment) get_segment = nullptr;
    decltype(&::isc_put_segment) put_segment = nullptr;
    decltype(&::isc_close_blob) close_blob = nullptr;
    decltype(&::fb_interpret) interpret = nullptr;
    decltype(&::isc_transaction_info) transaction_info = nullptr;
    decltype(&::fb_cancel_operation) cancel_operation = nullptr;

    /// The server's message for a failed call, lines joined by a blank.
    QString errorText(const ISC_STATUS *status) const;
    /// Throws DbError when `status` reports a failure: "SQL Error: ..." with
    /// the server's text, or the layer's own words for a lost connection, an
    /// update conflict and a lock time-out (see DbError::Kind).
    void check(const ISC_STATUS *status) const;
    /// The error codes of a status vector, in order.
    static QList<long> errorCodes(const ISC_STATUS *status);
    static DbError::Kind classify(const QList<long> &codes);

  private:
    FbClient() = default;
    QLibrary m_library;
};

} // namespace db
