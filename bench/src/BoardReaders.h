#pragma once

#include "BenchStats.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>

namespace db {
class DbConnection;
} // namespace db
namespace dataset {
class QueryDataset;
} // namespace dataset

namespace bench {

/// Takes every cell a reader delivers, so that all readers do the same work
/// per cell. `Full` hashes every text (to prove the readers agree), `Light`
/// only touches it (for timing).
class CellSink {
  public:
    enum Mode { Light, Full };
    explicit CellSink(Mode mode) : m_mode(mode) {}

    void null() { mix(0x9e37); }
    void integer(qint64 value) { mix(quint64(value) * 2 + 1); }
    void text(const QString &text) {
        if (m_mode == Full)
            mix(qHash(text));
        else
            mix(quint64(text.size()) << 16 | (text.isEmpty() ? 0u : text.back().unicode()));
    }
    /// A value as Qt delivers it: NULL, text, or a number.
    void variant(const QVariant &value) {
        if (value.isNull())
            null();
        else if (value.typeId() == QMetaType::QString)
            text(value.toString());
        else
            integer(value.toLongLong());
    }
    void endRow() { ++m_rows; }
    /// Called by a reader once, when the first row has arrived from the server.
    void firstRowIn() { m_firstRowMs = m_watch.wallMs(); }

    int rows() const { return m_rows; }
    quint64 checksum() const { return m_sum; }
    /// Milliseconds from the sink's creation to the first row's arrival:
    /// for the board query, mostly the server's work before it can answer.
    double firstRowMs() const { return m_firstRowMs; }

  private:
    void mix(quint64 value) { m_sum = (m_sum ^ value) * 0x100000001b3ull; }
    Mode m_mode;
    Stopwatch m_watch;
    double m_firstRowMs = 0;
    int m_rows = 0;
    quint64 m_sum = 0xcbf29ce484222325ull;
};

/// The board query with every search parameter "%", read to its end.
/// Each reader owns its own attachment to the database file.
class BoardReader {
  public:
    virtual ~BoardReader() = default;
    virtual QString name() const = 0;
    /// How the reader turns the server's Windows-1250 bytes into QString.
    virtual QString textConversion() const = 0;
    /// Prepares and runs the query, fetches every row, hands each cell to
    /// `sink`, and closes the cursor. Throws std::runtime_error (or
    /// db::DbError) on a failure.
    virtual void read(CellSink &sink) = 0;
    /// A problem met while connecting that the figures should mention.
    virtual QString warning() const { return {}; }
};

/// The project's access layer: a QueryDataset opened, RecordCount, every
/// value read with valueAt.
std::unique_ptr<BoardReader> accessLayerReader(const QString &databasePath);
/// Qt's own Firebird driver (QIBASE), forward-only QSqlQuery.
std::unique_ptr<BoardReader> qtDriverReader(const QString &databasePath);
/// A bare isc_dsql_* loop over the client library, no abstraction.
std::unique_ptr<BoardReader> clientApiReader(const QString &databasePath);

/// The board statement with its named markers replaced by "?".
QByteArray positionalBoardSql();

} // namespace bench
