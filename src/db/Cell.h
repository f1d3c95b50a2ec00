#pragma once

#include <QByteArray>
#include <vector>

namespace db {

/// One column value of a row. Text is kept as the database's Windows-1250
/// bytes; it becomes a QString only when a field reads it.
struct Cell {
    enum Tag : quint8 { Null, Int, Text, DateTime, BlobId, Bytes, Double };
    Tag tag = Null;
    qint64 num = 0; ///< Int value, DateTime as milliseconds since the epoch (UTC-less local time),
                    ///< BlobId, Double bits
    QByteArray bytes; ///< Text and Bytes payload

    bool operator==(const Cell &other) const = default;
};

/// A fetched row packed into one allocation: an offset table followed by the
/// cells. Rows are immutable; editing works on an unpacked copy.
class PackedRow {
  public:
    PackedRow() = default;
    static PackedRow pack(const std::vector<Cell> &cells);
    int columnCount() const;
    Cell cell(int column) const;
    Cell::Tag tag(int column) const;
    std::vector<Cell> unpack() const;
    /// The bytes of a Text or Bytes cell without copying them (valid while the row lives).
    QByteArrayView payload(int column) const;
    bool isNull() const { return m_data.isEmpty(); }

    /// Incremental construction used by the fetch loop (no temporary cells).
    /// One Builder serves row after row: its buffer keeps its capacity, and
    /// finish() copies each row out in one exact-size allocation.
    class Builder {
      public:
        explicit Builder(int columns = 0) { reset(columns); }
        /// Starts a new row of `columns` cells.
        void reset(int columns);
        void addNull();
        void addInt(qint64 value);
        void addNumber(Cell::Tag tag, qint64 value);
        void addBytes(Cell::Tag tag, const char *data, int length);
        PackedRow finish();

      private:
        void begin(Cell::Tag tag, int payload);
        QByteArray m_data;
        int m_columns;
        int m_next = 0;
    };

  private:
    explicit PackedRow(QByteArray data) : m_data(std::move(data)) {}
    const qint32 *offsets() const { return reinterpret_cast<const qint32 *>(m_data.constData()); }
    QByteArray m_data;
};

} // namespace db
