#pragma once

#include "db/FbStatement.h"
#include "db/StallWatch.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>

namespace db {

class FbClient;
class ReadOnlyCopy;
class WriteTransaction;

/// The connection to one Firebird database. Every statement that changes
/// data runs in a transaction of its own that is committed at once
/// (auto-commit); SELECTs read through one long read-committed, read-only
/// transaction so that their cursors can be fetched lazily.
class DbConnection : public QObject {
    Q_OBJECT
  public:
    explicit DbConnection(QObject *parent = nullptr);
    ~DbConnection() override;

    void setProtocol(const QString &protocol) { m_protocol = protocol; }
    void setHostName(const QString &host) { m_host = host; }
    void setDatabase(const QString &database);
    void setUser(const QString &user) { m_user = user; }
    void setPassword(const QString &password) { m_password = password; }
    QString protocol() const { return m_protocol; }
    QString hostName() const { return m_host; }
    QString database() const { return m_database; }
    QString user() const { return m_user; }
    QString password() const { return m_password; }

    /// Where and as whom it connects: handed to a connection of another
    /// thread, which reads beside this one.
    struct Login {
        QString protocol, host, database, user, password;
    };
    Login login() const { return {m_protocol, m_host, m_database, m_user, m_password}; }
    void setLogin(const Login &login) {
        m_protocol = login.protocol;
        m_host = login.host;
        setDatabase(login.database);
        m_user = login.user;
        m_password = login.password;
    }

    /// Connects or disconnects; setting the state it has does nothing.
    /// Connecting throws DbError on failure and leaves the connection down.
    void setConnected(bool connected);
    bool isConnected() const { return m_db != 0; }
    /// True while connected to a file the program may not write (opened
    /// through a read-only copy); every change then throws DbError.
    bool isReadOnly() const { return m_readOnlyCopy != nullptr; }

    /// Called with true before and false after every statement, so that a
    /// user interface can show a busy pointer. Not called when unset.
    void setBusyHook(std::function<void(bool)> hook) { m_busyHook = std::move(hook); }

    /// Creates a new database file whose text columns default to
    /// Windows-1250. Throws DbError when the file exists or cannot be made.
    /// `forcedWrites` off trades safety for speed (throw-away test databases).
    static void createDatabase(const QString &path, const QString &user, const QString &password,
                               bool forcedWrites = true);

    /// Deletes the database (connecting first when needed); for one just
    /// made whose filling failed. Throws DbError.
    void dropDatabase();

    // Used by the datasets.
    /// Prepares and executes a SELECT in the read transaction; the caller fetches.
    std::unique_ptr<FbStatement> openCursor(const QByteArray &sql, const QVariantList &params);
    /// The result columns of a SELECT, without running it.
    std::vector<ColumnInfo> describe(const QByteArray &sql);
    /// Runs one statement in its own transaction and commits it.
    void executeCommitted(const QByteArray &sql, const QVariantList &params);
    struct Statement {
        QByteArray sql;
        QVariantList params;
        /// Rows the statement must touch, or -1 for any number. A statement
        /// that touches another number rolls everything back and throws a
        /// DbError of kind Conflict.
        int expectedRows = -1;
    };
    /// Runs the statements in order in one transaction: all or none.
    /// Returns the committed transaction's number, which is the record
    /// version (RDB$RECORD_VERSION) of every row it wrote.
    qint64 executeCommitted(const QList<Statement> &statements);
    /// Runs `work` in one write transaction and commits it when `work`
    /// returns; a throw rolls everything back. Returns the transaction's
    /// number. For work that reads what it is about to change.
    qint64 runInTransaction(const std::function<void(WriteTransaction &)> &work);
    /// Prepares `sql` once and runs it for every parameter row, all in one
    /// transaction (for bulk loads).
    void executeBatch(const QByteArray &sql, const QList<QVariantList> &rows);
    /// Reads a whole BLOB by its id.
    QByteArray readBlob(qint64 blobId);

    /// Makes the statement running on this connection fail with a DbError;
    /// the only call another thread may make, while this one is connected.
    void interrupt();

    /// Drops the handles of a connection the server or network has lost,
    /// without talking to the server; open datasets keep their rows but stop
    /// fetching. The next statement connects again. Called by the layer
    /// itself when a call fails with DbError::Kind::ConnectionLost.
    void dropLostConnection();
    /// How long a write waits for another's unfinished change of the same row
    /// before it fails with DbError::Kind::LockTimeout (default 5 seconds).
    static void setLockTimeoutSeconds(int seconds);
    static int lockTimeoutSeconds();
    /// How long a call to a server may go without an answer before the link
    /// is taken for cut (see StallWatch; default 20 seconds). Also bounds
    /// making the connection.
    void setStallLimit(std::chrono::milliseconds limit) { m_stallWatch.setLimit(limit); }
    /// Marks a call to the server for the stall watch (nothing for a file).
    StallWatch::Scope serverCall() {
        return {m_host.isEmpty() && !m_isServer ? nullptr : &m_stallWatch, client(), m_db};
    }

    struct TableInfo {
        QStringList columns;    ///< in table order
        QStringList primaryKey; ///< empty when the table declares none
        QSet<QString> blobColumns;
        QSet<QString> computedColumns;
    };
    /// Structure of a table read from the system tables (cached per connection).
    const TableInfo &tableInfo(const QString &table);
    /// Drops the cached structures (after a statement that may change them).
    void forgetTableInfo() { m_tableInfo.clear(); }

    isc_db_handle *handle() { return &m_db; }
    const FbClient &client() const;

    class BusyScope {
      public:
        explicit BusyScope(DbConnection &c) : m_c(c) {
            if (m_c.m_busyHook)
                m_c.m_busyHook(true);
        }
        ~BusyScope() {
            if (m_c.m_busyHook)
                m_c.m_busyHook(false);
        }

      private:
        DbConnection &m_c;
    };

  signals:
    /// The connection was found lost; the next statement reconnects.
    void connectionLost();
    /// About to detach from the database: whatever reads through this
    /// connection closes now.
    void closing();
    /// The server is gone and every statement handle with it; whatever reads
    /// through this connection keeps its rows and forgets its cursor.
    void handlesDropped();

  private:
    /// Runs `step`; a lost connection drops the handles before the error goes on.
    template <class Step> auto lostConnectionGuard(Step step) -> decltype(step());
    void connectNow();
    QByteArray readBlobNow(qint64 blobId);
    void disconnectNow();
    /// Commits the read transaction, if any; what the server says is ignored.
    void endReadTransaction();
    QByteArray attachName() const;
    void refuseChangesWhenReadOnly() const;

    QString m_protocol, m_host, m_database, m_user, m_password;
    bool m_isServer = false; // m_database is a server's connection string
    StallWatch m_stallWatch;
    isc_db_handle m_db = 0;
    isc_tr_handle m_readTransaction = 0;
    QHash<QString, TableInfo> m_tableInfo;
    std::function<void(bool)> m_busyHook;
    const FbClient *m_client = nullptr;
    std::unique_ptr<ReadOnlyCopy> m_readOnlyCopy;
};

/// A write transaction that rolls back unless committed.
class WriteTransaction {
  public:
    explicit WriteTransaction(DbConnection &connection);
    ~WriteTransaction();
    void commit();
    isc_tr_handle *handle() { return &m_handle; }
    /// The transaction's number (the record version of the rows it writes).
    qint64 number() const;

  private:
    DbConnection &m_connection;
    isc_tr_handle m_handle = 0;
};

} // namespace db
