#pragma once

#include "dataset/Field.h"
#include "dataset/FilterExpression.h"
#include "db/Cell.h"
#include "db/DbConnection.h"
#include "db/DbError.h"

#include <QCache>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace db {
class DbConnection;
class FbStatement;
} // namespace db

namespace dataset {

class DataSource;

/// A named set of rows read from the database, with a current row, an
/// in-memory filter, a row search and an editing cycle that becomes INSERT,
/// UPDATE and DELETE statements. Rows are fetched only as far as they are
/// needed. Every failure throws DbError with the dataset's name as prefix.
class Dataset : public QObject {
    Q_OBJECT
  public:
    enum class State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)

    Dataset(const QString &name, db::DbConnection *connection, QObject *parent = nullptr);
    ~Dataset() override;

    QString name() const { return objectName(); }
    db::DbConnection *connection() const { return m_connection; }
    State state() const { return m_state; }
    bool isActive() const { return m_state != State::Inactive; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }

    void open();
    void close();
    void setActive(bool active) { active ? open() : close(); }

    void first();
    void prior();
    void next();
    void last();
    /// True at the last visible row after a Next that could not move.
    bool isEof() const { return m_eof; }
    /// Finds the first visible row whose fields equal `values` (one per name
    /// in the ";"-separated `fieldNames`); text compares exactly or, with
    /// `caseInsensitive`, after upper-casing both sides.
    bool locate(const QString &fieldNames, const QVariantList &values, bool caseInsensitive = true);
    /// Fetches everything and returns the number of visible rows.
    int recordCount();

    Field *fieldByName(const QString &name) const;
    Field *findField(const QString &name) const;
    const std::vector<std::unique_ptr<Field>> &fields() const { return m_fields; }

    /// The caption the user knows field `name` by (a form's box), for the
    /// messages about what the user typed into it; kept across opens.
    void setDisplayLabel(const QString &name, const QString &label) {
        m_displayLabels.insert(name.toUpper(), label);
    }
    /// That caption, or `name` where none was given.
    QString displayLabel(const QString &name) const {
        return m_displayLabels.value(name.toUpper(), name);
    }

    /// Declares a field before opening; an open binds it to the result column
    /// of that name and checks its type.
    void declareField(const QString &name, db::FieldType type, int size = 0);

    /// Reads the columns of a row being tested by a record filter.
    class RowReader {
      public:
        RowReader(const Dataset &dataset, const db::PackedRow &row)
            : m_dataset(dataset), m_row(row) {}
        bool isNull(int column) const { return m_row.tag(column) == db::Cell::Null; }
        /// The column's value as text (NULL gives ""; BLOBs are not read).
        QString text(int column) const;

      private:
        const Dataset &m_dataset;
        const db::PackedRow &m_row;
    };
    using RecordFilter = std::function<bool(const RowReader &row)>;
    /// A filter computed in code, applied together with the expression filter
    /// while it is set (pass an empty function to remove it). Setting it
    /// re-filters the rows fetched so far, as setFiltered does.
    void setRecordFilter(RecordFilter filter);

    void setFilter(const QString &expression);
    QString filter() const { return m_filterText; }
    void setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }

    void edit();
    void insert();
    void post();
    void cancel();
    void deleteRecord();
    /// Deletes the current row and runs `alongside` after it, in one
    /// transaction: all or none.
    void deleteRecordWith(const QList<db::DbConnection::Statement> &alongside);
    void refresh();

    // Row access for views and bound controls.
    int fetchedCount() const { return int(m_visible.size()); }
    bool canFetchMore() const;
    /// Fetches up to `count` more visible rows (fewer at the end).
    void fetchMore(int count);
    int currentIndex() const { return m_current; }
    /// Makes the visible row `index` current (ends a pending change first).
    void moveTo(int index);
    /// Typed value of a visible row's column as Field::value() would give it.
    QVariant valueAt(int index, int column) const;
    int columnIndex(const QString &name) const;
    /// The current row's value of `column` as it was read, also while the
    /// row is being edited (invalid without a current row).
    QVariant storedValue(const QString &column) const;

    void attachDataSource(DataSource *source);
    void detachDataSource(DataSource *source);
    /// Asks every bound control to hand over the text it holds.
    void collectPendingText();
    bool isModified() const { return m_modified; }

    /// The statement that writes the pending edit or insert, for a
    /// transaction of several rows (empty when an edit changed nothing);
    /// nothing is executed. Bound controls hand over their text first.
    db::DbConnection::Statement pendingStatement();
    /// Ends the pending edit or insert as post() does, once its statement
    /// was committed by the transaction numbered `version` (0: none ran).
    void acceptPosted(qint64 version);
    /// Takes note of what a failed commit of the pending statement says of
    /// the row (changed by someone else: cancel shows the stored version)
    /// and returns the error to report.
    db::DbError failedToPost(const db::DbError &error);
    /// Statement that deletes the current row as it was read (for multi-row
    /// transactions): it must touch exactly that row in that version.
    db::DbConnection::Statement deleteStatementForCurrent();
    /// Drops the current row from memory after it was deleted elsewhere.
    void forgetCurrentRow();
    /// Reads the current row again from the database (the stored version
    /// after someone else changed it); forgets it when it is gone.
    void reloadCurrentRow();

    /// Rows made in memory instead of read by the dataset's statement,
    /// produced one at a time as the dataset asks for them.
    class RowSource {
      public:
        virtual ~RowSource() = default;
        /// The next row; false at the end.
        virtual bool next(db::PackedRow &row) = 0;
    };
    struct ProvidedRows {
        std::vector<db::ColumnInfo> columns;
        std::unique_ptr<RowSource> rows;
    };
    /// With a provider set, opening and refreshing take their rows from it
    /// (`reread` is true for a refresh, which must not serve old rows); they
    /// are handed out as lazily as a cursor's. An empty function removes it.
    using RowProvider = std::function<ProvidedRows(bool reread)>;
    void setRowProvider(RowProvider provider) { m_rowProvider = std::move(provider); }

    /// The hidden column a table dataset reads beside the table's own: the
    /// version of each row, which every UPDATE and DELETE checks.
    static constexpr const char *kRecordVersionColumn = "RDB$RECORD_VERSION";
    /// Upper bound of the bytes of BLOBs kept in memory after reading them.
    static constexpr int kBlobCacheBytes = 8 * 1024 * 1024;

  signals:
    void reset();                          ///< opened, closed, refiltered, reloaded
    void rowsFetched(int first, int last); ///< visible rows appended
    void rowInserted(int index);
    void rowRemoved(int index);
    void rowChanged(int index); ///< values of a visible row changed
    void currentChanged(int index);
    void stateChanged(dataset::Dataset::State state);

  protected:
    /// The SELECT to run, and its parameter values in marker order.
    virtual QByteArray selectStatement() const = 0;
    virtual QVariantList selectParams() const { return {}; }
    /// Table that the editing cycle writes; empty for read-only datasets.
    virtual QString tableName() const { return {}; }
    [[noreturn]] void fail(const QString &message) const;
    void requireInactive(const char *what) const;

  private:
    friend class Field;
    /// Everything the rows are made of, swapped out whole while a refresh
    /// reads the rows again (and back in when it fails).
    struct RowState {
        std::unique_ptr<db::FbStatement> cursor;
        std::unique_ptr<RowSource> source;
        std::vector<db::PackedRow> rows;
        std::vector<int> visible;
        int current = -1;
        bool eof = false;
    };
    /// Starts reading: opens the cursor, or takes the provider's rows.
    void startReading(bool reread);
    bool nextSourceRow(db::PackedRow &row);
    RowState takeRows();
    /// Reads the row of `key` from the database and makes it the current
    /// one; false when it is not stored (or the filter hides it).
    bool holdStoredRow(const std::vector<qint64> &key);
    /// Whether the stored version of the row being edited differs from the
    /// one read (or the row is gone); false when that cannot be told.
    bool storedVersionMoved();
    /// The primary key values of the current row, in key order.
    QVariantList keyOfCurrent() const;
    /// Reads the stored row of a whole primary key (values in key order).
    bool readStoredRow(const QVariantList &key, db::PackedRow &stored);
    void restoreRows(RowState state);
    /// The primary key of a row as one comparable value (empty without a key).
    QByteArray keyOf(const db::PackedRow &row) const;
    void findTableColumns();
    db::DbConnection::Statement rowStatement(bool insert, const std::vector<db::Cell> &values);
    db::Cell currentCell(int column) const;
    void writeCurrentCell(int column, db::Cell cell);
    QByteArray blobBytes(const db::Cell &cell) const;
    bool fetchOne();
    /// Fetches without telling views; used while the rows are rebuilt anyway.
    void fetchQuietly(int count);
    void requireOpen() const;
    void endPendingChange();
    void applyFilter(bool keepCurrent);
    bool passesFilter(const db::PackedRow &row) const;
    QString textOf(const db::PackedRow &row, int column, bool *numeric) const;
    void bindFields();
    void setState(State state);
    void setCurrent(int index);
    QString rowCondition(const db::PackedRow &row, QVariantList &params) const;
    /// A cell as a typed value: text decoded, BLOBs read, bytes kept for a bytes field.
    QVariant cellValue(const db::Cell &cell, db::FieldType type) const;
    db::FieldType columnType(int column) const;

    db::DbConnection *m_connection;
    State m_state = State::Inactive;
    std::unique_ptr<db::FbStatement> m_cursor;
    std::vector<db::ColumnInfo> m_columns; // of the rows, hidden ones included
    RowProvider m_rowProvider;
    std::unique_ptr<RowSource> m_source; // the provider's rows, while some are left
    std::vector<std::unique_ptr<Field>> m_fields;
    std::vector<std::unique_ptr<Field>> m_declared;
    std::vector<db::PackedRow> m_rows; // fetched rows, server order; a null row was deleted
    std::vector<int> m_visible;        // indexes into m_rows, in display order
    int m_current = -1;                // index into m_visible
    bool m_eof = false;
    std::vector<db::Cell> m_editRow; // the row being edited or inserted
    int m_currentBeforeInsert = -1;
    bool m_modified = false;
    QString m_filterText;
    bool m_filtered = false;
    std::optional<FilterExpression> m_filterExpression;
    RecordFilter m_recordFilter;
    QList<DataSource *> m_sources;
    mutable QCache<qint64, QByteArray> m_blobCache{kBlobCacheBytes};
    // Columns of a table dataset that identify a row; -1 / empty otherwise.
    int m_versionColumn = -1;      // the hidden RDB$RECORD_VERSION
    std::vector<int> m_keyColumns; // the primary key
    QStringList m_keyNames;
    QHash<QString, QString> m_displayLabels;
    QSet<QByteArray> m_writtenKeys; // rows this dataset wrote (or read by key) since it opened
    bool m_currentStale = false;    // a write found the current row changed by someone else
};

/// A whole table, read with "SELECT * FROM <table>".
class TableDataset : public Dataset {
    Q_OBJECT
  public:
    TableDataset(const QString &name, const QString &table, db::DbConnection *connection,
                 QObject *parent = nullptr);
    QString table() const { return m_table; }

  protected:
    QByteArray selectStatement() const override;
    QString tableName() const override { return m_table; }

  private:
    QString m_table;
};

/// An SQL text with named parameters written as ":Name".
class QueryDataset : public Dataset {
    Q_OBJECT
  public:
    QueryDataset(const QString &name, db::DbConnection *connection, QObject *parent = nullptr);

    /// Replaces the SQL text (only while closed) and rebuilds the parameters,
    /// keeping the values of parameters whose names stay.
    void setSql(const QStringList &lines);
    void setSql(const QString &text);
    void clearSql() { setSql(QString()); }
    QString sql() const { return m_sql; }
    /// The statement as the server takes it, parameters as "?" markers.
    QByteArray statement() const { return m_compiled; }

    Param *paramByName(const QString &name) const;
    const std::vector<std::unique_ptr<Param>> &params() const { return m_params; }
    /// Closes the dataset, runs its statement once without fetching, commits.
    void execSql();

  protected:
    QByteArray selectStatement() const override;
    QVariantList selectParams() const override;

  private:
    QString m_sql;
    QByteArray m_compiled;     // markers replaced by "?"
    QStringList m_markerNames; // one per "?" in order
    std::vector<std::unique_ptr<Param>> m_params;
};

} // namespace dataset
