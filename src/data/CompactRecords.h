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

class TextDictionary;

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
/// back in the same order. The texts a register holds most, phone numbers
/// and e-mail addresses, may be kept encoded; they decode to exactly the
/// bytes written.
namespace compactcell {

// Beside the cell tags: a text shorter than 128 bytes has its length in its
// tag byte, and an integer that fits in 32 bits takes four bytes: together
// about a tenth of a contact's record.
inline constexpr unsigned char kShortText = 0x80;
inline constexpr unsigned char kSmallInt = 0x40;
// The other tags from kSmallInt up are encoded texts: a phone number of a
// common shape as its digits in four bytes (the shape told by the tag), an
// e-mail address as the number of its domain in three bytes and its local
// part (a length byte and the bytes). Each saves 12 to 20 bytes a contact.
inline constexpr unsigned char kFirstPhoneShape = 0x41;
inline constexpr unsigned char kDomainText = 0x50;
/// No encoded text decodes to more bytes.
inline constexpr int kLongestDecoded = 256;

void append(QByteArray &record, const db::FetchedCell &cell);
void appendText(QByteArray &record, db::Cell::Tag tag, QByteArrayView bytes);
/// A phone number of a common shape ("+420 602 489 724", "602 489 724")
/// encoded, any other cell as append() keeps it.
void appendPhone(QByteArray &record, const db::FetchedCell &cell);
/// An e-mail address as its local part and the number of its domain (the
/// text after its last '@') in `domains`; any other cell, and an address
/// without '@' or with a long part, as append() keeps it.
void appendEmail(QByteArray &record, const db::FetchedCell &cell, TextDictionary &domains);

/// Reads the cells of a record from its start; e-mail addresses through the
/// dictionary of domains they were written with.
class Reader {
  public:
    explicit Reader(const char *at, const TextDictionary *domains = nullptr)
        : m_at(reinterpret_cast<const unsigned char *>(at)), m_domains(domains) {}
    db::Cell::Tag tag() const {
        if (*m_at & (kShortText | kSmallInt))
            return *m_at == kSmallInt ? db::Cell::Int : db::Cell::Text;
        return db::Cell::Tag(*m_at);
    }
    /// The current cell's number (Int, DateTime, BlobId, Double bits).
    qint64 number() const;
    /// The current cell's bytes (Text, Bytes; empty otherwise) where they
    /// are kept as they are: for cells of columns never encoded (names,
    /// regions, the search keys). A phone or an e-mail is read with text().
    QByteArrayView bytes() const;
    /// The current cell's bytes, an encoded text decoded into `decoded`
    /// (which keeps its room for the next), where the view then points.
    QByteArrayView text(QByteArray &decoded) const;
    void skip();
    /// Appends the current cell to a row being built and moves on.
    void copyTo(db::PackedRow::Builder &builder);

  private:
    bool isEncoded() const {
        return (*m_at & (kShortText | kSmallInt)) == kSmallInt && *m_at != kSmallInt;
    }
    /// Decodes the current cell, an encoded text, into `out` (kLongestDecoded
    /// bytes); returns its length.
    qsizetype decode(char *out) const;

    const unsigned char *m_at;
    const TextDictionary *m_domains;
};

} // namespace compactcell
} // namespace data
