#pragma once

#include "db/Cell.h"

#include <QByteArray>
#include <QByteArrayView>

#include <memory>
#include <vector>

namespace db {
struct FetchedCell;
} // namespace db

namespace data {

/// Many small immutable records kept end to end in large blocks: no
/// allocation per record, and nothing is copied when the store grows, so
/// holding a whole register costs little more than its bytes.
class CompactRecords {
  public:
    using Handle = quint32;

    /// Stores the record and returns where it is.
    Handle add(QByteArrayView record);
    const char *at(Handle handle) const;
    /// Takes over the records of `other`; a handle it gave is valid here
    /// with the returned number added.
    Handle adopt(CompactRecords &&other);
    /// Bytes reserved by the blocks.
    qsizetype capacity() const;

  private:
    static constexpr int kOffsetBits = 18;
    static constexpr qsizetype kBlockSize = qsizetype(1) << kOffsetBits;
    struct Block {
        std::unique_ptr<char[]> bytes;
        qsizetype size = 0, used = 0;
    };
    std::vector<Block> m_blocks;
};

/// Cells written one after another in the least space: a tag byte, then
/// four or eight bytes for a number, or a length (in the tag byte when
/// short, else seven bits a byte) and the bytes for text. They are read
/// back in the same order.
namespace compactcell {

// Beside the cell tags: a text shorter than 128 bytes has its length in its
// tag byte, and an integer that fits in 32 bits takes four bytes: together
// about a tenth of a contact's record.
inline constexpr unsigned char kShortText = 0x80;
inline constexpr unsigned char kSmallInt = 0x40;

void append(QByteArray &record, const db::FetchedCell &cell);
void appendText(QByteArray &record, db::Cell::Tag tag, QByteArrayView bytes);

/// Reads the cells of a record from its start.
class Reader {
  public:
    explicit Reader(const char *at) : m_at(reinterpret_cast<const unsigned char *>(at)) {}
    db::Cell::Tag tag() const {
        if (*m_at & kShortText)
            return db::Cell::Text;
        return *m_at == kSmallInt ? db::Cell::Int : db::Cell::Tag(*m_at);
    }
    /// The current cell's number (Int, DateTime, BlobId, Double bits).
    qint64 number() const;
    /// The current cell's bytes (Text, Bytes; empty otherwise).
    QByteArrayView bytes() const;
    void skip();
    /// Appends the current cell to a row being built and moves on.
    void copyTo(db::PackedRow::Builder &builder);

  private:
    const unsigned char *m_at;
};

} // namespace compactcell
} // namespace data
