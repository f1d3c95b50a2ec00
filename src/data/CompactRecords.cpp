#include "data/CompactRecords.h"

#include "data/TextDictionary.h"
#include "db/FbStatement.h"

#include <array>
#include <cstring>
#include <optional>
#include <string_view>

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

// The phone numbers kept as their digits, '#' standing for a digit: the
// shapes of nearly every number in a Czech register. Nine digits fit in four
// bytes, and the shape keeps their leading zeros.
constexpr std::array<std::string_view, 2> kPhoneShapes = {"+420 ### ### ###", "### ### ###"};

std::optional<quint32> digitsInShape(QByteArrayView text, std::string_view shape) {
    if (text.size() != qsizetype(shape.size()))
        return std::nullopt;
    quint32 digits = 0;
    for (size_t i = 0; i < shape.size(); ++i) {
        const char c = text[qsizetype(i)];
        if (shape[i] != '#') {
            if (c != shape[i])
                return std::nullopt;
        } else if (c >= '0' && c <= '9') {
            digits = digits * 10 + quint32(c - '0');
        } else {
            return std::nullopt;
        }
    }
    return digits;
}

qsizetype phoneInShape(quint32 digits, std::string_view shape, char *out) {
    for (size_t i = shape.size(); i-- > 0;) {
        if (shape[i] == '#') {
            out[i] = char('0' + digits % 10);
            digits /= 10;
        } else {
            out[i] = shape[i];
        }
    }
    return qsizetype(shape.size());
}

} // namespace

void appendPhone(QByteArray &record, const db::FetchedCell &cell) {
    if (cell.tag == db::Cell::Text) {
        for (size_t shape = 0; shape < kPhoneShapes.size(); ++shape) {
            if (const std::optional<quint32> digits =
                    digitsInShape(cell.bytes, kPhoneShapes[shape])) {
                record.append(char(kFirstPhoneShape + shape));
                record.append(reinterpret_cast<const char *>(&*digits), 4);
                return;
            }
        }
    }
    append(record, cell);
}

void appendEmail(QByteArray &record, const db::FetchedCell &cell, TextDictionary &domains) {
    if (cell.tag == db::Cell::Text) {
        // Both parts under 128 bytes: the local part's length takes a byte,
        // and the address decodes within kLongestDecoded.
        const qsizetype at = cell.bytes.lastIndexOf('@');
        if (at >= 0 && at < 128 && cell.bytes.size() - at - 1 < 128) {
            if (const std::optional<quint32> domain = domains.numberOf(cell.bytes.sliced(at + 1))) {
                static_assert(TextDictionary::kNumberBits <= 24);
                const char number[] = {char(*domain), char(*domain >> 8), char(*domain >> 16)};
                record.append(char(kDomainText));
                record.append(number, 3);
                record.append(char(at));
                record.append(cell.bytes.first(at));
                return;
            }
        }
    }
    append(record, cell);
}

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
    Q_ASSERT(!isEncoded());
    if (*m_at & kShortText)
        return {reinterpret_cast<const char *>(m_at + 1), qsizetype(*m_at & 0x7F)};
    if (!isText(tag()) || isEncoded())
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

QByteArrayView Reader::text(QByteArray &decoded) const {
    if (!isEncoded())
        return bytes();
    decoded.resize(kLongestDecoded);
    decoded.resize(decode(decoded.data()));
    return decoded;
}

qsizetype Reader::decode(char *out) const {
    if (*m_at != kDomainText) {
        quint32 digits = 0;
        std::memcpy(&digits, m_at + 1, 4);
        return phoneInShape(digits, kPhoneShapes[size_t(*m_at - kFirstPhoneShape)], out);
    }
    Q_ASSERT(m_domains);
    const quint32 number = m_at[1] | quint32(m_at[2]) << 8 | quint32(m_at[3]) << 16;
    const QByteArrayView domain = m_domains->text(number);
    const qsizetype local = m_at[4];
    std::memcpy(out, m_at + 5, size_t(local));
    out[local] = '@';
    if (!domain.isEmpty())
        std::memcpy(out + local + 1, domain.data(), size_t(domain.size()));
    return local + 1 + domain.size();
}

void Reader::skip() {
    const db::Cell::Tag t = tag();
    if (isEncoded()) {
        m_at += *m_at == kDomainText ? 5 + m_at[4] : 5;
    } else if (*m_at == kSmallInt) {
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
    if (isEncoded()) {
        char decoded[kLongestDecoded];
        builder.addBytes(db::Cell::Text, decoded, int(decode(decoded)));
    } else if (isNumber(t)) {
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
