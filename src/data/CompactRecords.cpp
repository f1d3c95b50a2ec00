#include "data/CompactRecords.h"

#include "db/FbStatement.h"

#include <cstring>

namespace data {

CompactRecords::Handle CompactRecords::add(QByteArrayView record) {
    const qsizetype size = record.size();
    if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < size) {
        // A record larger than a block gets a block of its own size.
        const qsizetype blockSize = qMax(kBlockSize, size);
        m_blocks.push_back({std::make_unique<char[]>(blockSize), blockSize, 0});
        Q_ASSERT(m_blocks.size() < (size_t(1) << (32 - kOffsetBits)));
    }
    Block &block = m_blocks.back();
    const Handle handle = Handle((m_blocks.size() - 1) << kOffsetBits) | Handle(block.used);
    if (size)
        std::memcpy(block.bytes.get() + block.used, record.data(), size);
    // A block of its own (offset 0, larger than the offset can address) is
    // closed at once.
    block.used = size > kBlockSize ? block.size : block.used + size;
    return handle;
}

const char *CompactRecords::at(Handle handle) const {
    return m_blocks[handle >> kOffsetBits].bytes.get() + (handle & (kBlockSize - 1));
}

CompactRecords::Handle CompactRecords::adopt(CompactRecords &&other) {
    const auto offset = Handle(m_blocks.size() << kOffsetBits);
    Q_ASSERT(m_blocks.size() + other.m_blocks.size() < (size_t(1) << (32 - kOffsetBits)));
    for (Block &block : other.m_blocks)
        m_blocks.push_back(std::move(block));
    other.m_blocks.clear();
    return offset;
}

qsizetype CompactRecords::capacity() const {
    qsizetype total = 0;
    for (const Block &block : m_blocks)
        total += block.size;
    return total;
}

namespace compactcell {
namespace {

bool isNumber(db::Cell::Tag tag) {
    return tag == db::Cell::Int || tag == db::Cell::DateTime || tag == db::Cell::BlobId ||
           tag == db::Cell::Double;
}

bool isText(db::Cell::Tag tag) {
    return tag == db::Cell::Text || tag == db::Cell::Bytes;
}

} // namespace

void appendText(QByteArray &record, db::Cell::Tag tag, QByteArrayView bytes) {
    if (tag == db::Cell::Text && bytes.size() < 128) {
        record.append(char(kShortText | bytes.size()));
        record.append(bytes);
        return;
    }
    record.append(char(tag));
    auto length = quint32(bytes.size());
    do {
        const auto low = char(length & 0x7F);
        length >>= 7;
        record.append(length ? char(low | 0x80) : low);
    } while (length);
    record.append(bytes);
}

void append(QByteArray &record, const db::FetchedCell &cell) {
    if (isText(cell.tag)) {
        appendText(record, cell.tag, cell.bytes);
        return;
    }
    if (!isNumber(cell.tag)) {
        record.append(char(cell.tag));
        return;
    }
    const qint64 value = cell.number;
    if (cell.tag == db::Cell::Int && value >= INT32_MIN && value <= INT32_MAX) {
        const auto small = qint32(value);
        record.append(char(kSmallInt));
        record.append(reinterpret_cast<const char *>(&small), 4);
        return;
    }
    record.append(char(cell.tag));
    record.append(reinterpret_cast<const char *>(&value), 8);
}

qint64 Reader::number() const {
    if (*m_at == kSmallInt) {
        qint32 small = 0;
        std::memcpy(&small, m_at + 1, 4);
        return small;
    }
    qint64 value = 0;
    if (!(*m_at & kShortText) && isNumber(tag()))
        std::memcpy(&value, m_at + 1, 8);
    return value;
}

QByteArrayView Reader::bytes() const {
    if (*m_at & kShortText)
        return {reinterpret_cast<const char *>(m_at + 1), qsizetype(*m_at & 0x7F)};
    if (!isText(tag()))
        return {};
    const unsigned char *p = m_at + 1;
    quint32 length = 0;
    for (int shift = 0;; shift += 7) {
        length |= quint32(*p & 0x7F) << shift;
        if (!(*p++ & 0x80))
            break;
    }
    return {reinterpret_cast<const char *>(p), qsizetype(length)};
}

void Reader::skip() {
    const db::Cell::Tag t = tag();
    if (*m_at == kSmallInt) {
        m_at += 5;
    } else if (isNumber(t)) {
        m_at += 9;
    } else if (isText(t)) {
        const QByteArrayView text = bytes();
        m_at = reinterpret_cast<const unsigned char *>(text.data()) + text.size();
    } else {
        m_at += 1;
    }
}

void Reader::copyTo(db::PackedRow::Builder &builder) {
    const db::Cell::Tag t = tag();
    if (isNumber(t)) {
        builder.addNumber(t, number());
    } else if (isText(t)) {
        const QByteArrayView text = bytes();
        builder.addBytes(t, text.data(), int(text.size()));
    } else {
        builder.addNull();
    }
    skip();
}

} // namespace compactcell
} // namespace data
