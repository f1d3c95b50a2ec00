#pragma once

#include "db/Cell.h"
#include "db/FieldType.h"

#include <ibase.h>

#include <QDateTime>
#include <QVariant>

#include <memory>
#include <vector>

namespace db {

class DbConnection;

/// A column of the row last fetched, read where the fetch left it (valid
/// until the next fetch): what a PackedRow would hold, without building one.
struct FetchedCell {
    Cell::Tag tag = Cell::Null;
    qint64 number = 0;    ///< Int, DateTime (milliseconds), BlobId, Double bits
    QByteArrayView bytes; ///< Text, as the database's Windows-1250 bytes
};

/// A result column as the server describes it.
struct ColumnInfo {
    QString name;     ///< alias, upper case as reported
    QString relation; ///< table name, empty for expressions
    QString origin;   ///< the table column behind it, empty for expressions
    FieldType type = FieldType::Unknown;
    int size = 0; ///< characters for text
};

/// A prepared DSQL statement with its input and output buffers. It belongs to
/// one connection and is freed with it.
class FbStatement {
  public:
    FbStatement(DbConnection &connection, isc_tr_handle *transaction);
    ~FbStatement();
    FbStatement(const FbStatement &) = delete;
    FbStatement &operator=(const FbStatement &) = delete;

    /// Throws DbError "SQL Error: ..." when the server refuses the text.
    void prepare(const QByteArray &sql);
    const std::vector<ColumnInfo> &columns() const { return m_columns; }
    int paramCount() const;
    bool returnsRows() const { return !m_columns.empty(); }

    /// Binds `values` to the ? markers in order. QString binds as
    /// Windows-1250 text (throws on a character it cannot hold), integers as
    /// integers, QByteArray as a bytes BLOB, QDateTime as a timestamp,
    /// an invalid QVariant as NULL.
    void bind(const QVariantList &values);
    /// Runs the statement; a SELECT keeps its cursor open for fetch().
    void execute();
    /// Rows the last execute() inserted, updated or deleted.
    qint64 affectedRows() const;
    /// Fetches the next row; returns false at the end.
    bool fetch(PackedRow &row);
    /// Fetches the next row and leaves it in the output buffer, for readers
    /// that keep the bytes themselves; false at the end.
    bool fetchInPlace();
    /// A column of the row fetchInPlace() (or fetch()) left.
    FetchedCell cell(int column) const;
    void closeCursor();
    bool isOpen() const { return m_cursorOpen; }

  private:
    void allocateOutput();
    QByteArray createBlob(const QByteArray &bytes);

    DbConnection &m_connection;
    isc_tr_handle *m_transaction;
    isc_stmt_handle m_handle = 0;
    std::unique_ptr<char[]> m_outArea;
    std::unique_ptr<char[]> m_inArea;
    XSQLDA *m_out = nullptr;
    XSQLDA *m_in = nullptr;
    std::vector<QByteArray> m_inBuffers;
    std::vector<short> m_inNulls;
    std::vector<ColumnInfo> m_columns;
    std::vector<char> m_outData;
    std::vector<short> m_outNulls;
    PackedRow::Builder m_builder; // reused for every fetched row
    bool m_cursorOpen = false;
    int m_statementType = 0;
};

/// Converts between the server's date/time encoding and milliseconds since
/// the epoch of a local calendar (no time zone is applied).
qint64 timestampToMsecs(const ISC_TIMESTAMP &ts);
ISC_TIMESTAMP msecsToTimestamp(qint64 msecs);
QDateTime msecsToDateTime(qint64 msecs);
qint64 dateTimeToMsecs(const QDateTime &dt);

} // namespace db
