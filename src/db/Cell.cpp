#include "db/Cell.h"

#include <cstring>

namespace db {

// Layout: qint32 count, qint32 offsets[count + 1], then per cell one tag byte
// followed by its payload (8 bytes for numbers, the raw bytes otherwise).

void PackedRow::Builder::reset(int columns) {
    m_columns = columns;
    m_next = 0;
    if (m_data.capacity() == 0)
        m_data.reserve(int(sizeof(qint32)) * (columns + 2) + columns * 12);
    m_data.resize(int(sizeof(qint32)) * (columns + 2));
    reinterpret_cast<qint32 *>(m_data.data())[0] = columns;
}

void PackedRow::Builder::begin(Cell::Tag tag, int payload) {
    const qsizetype at = m_data.size();
    reinterpret_cast<qint32 *>(m_data.data())[1 + m_next] = qint32(at);
    m_data.resize(at + 1 + payload);
    m_data[at] = char(tag);
    ++m_next;
}

void PackedRow::Builder::addNull() {
    begin(Cell::Null, 0);
}

void PackedRow::Builder::addInt(qint64 value) {
    addNumber(Cell::Int, value);
}

void PackedRow::Builder::addNumber(Cell::Tag tag, qint64 value) {
    begin(tag, 8);
    std::memcpy(m_data.data() + m_data.size() - 8, &value, 8);
}

void PackedRow::Builder::addBytes(Cell::Tag tag, const char *data, int length) {
    begin(tag, length);
    if (length)
        std::memcpy(m_data.data() + m_data.size() - length, data, length);
}

PackedRow PackedRow::Builder::finish() {
    Q_ASSERT(m_next == m_columns);
    reinterpret_cast<qint32 *>(m_data.data())[1 + m_columns] = qint32(m_data.size());
    return PackedRow(QByteArray(m_data.constData(), m_data.size()));
}

PackedRow PackedRow::pack(const std::vector<Cell> &cells) {
    Builder builder(int(cells.size()));
    for (const Cell &c : cells) {
        switch (c.tag) {
        case Cell::Null:
            builder.addNull();
            break;
        case Cell::Int:
        case Cell::DateTime:
        case Cell::BlobId:
        case Cell::Double:
            builder.addNumber(c.tag, c.num);
            break;
        case Cell::Text:
        case Cell::Bytes:
            builder.addBytes(c.tag, c.bytes.constData(), int(c.bytes.size()));
            break;
        }
    }
    return builder.finish();
}

int PackedRow::columnCount() const {
    return m_data.isEmpty() ? 0 : offsets()[0];
}

Cell::Tag PackedRow::tag(int column) const {
    if (column < 0 || column >= columnCount())
        return Cell::Null;
    return Cell::Tag(m_data.at(offsets()[1 + column]));
}

Cell PackedRow::cell(int column) const {
    Cell c;
    if (column < 0 || column >= columnCount())
        return c;
    const qint32 from = offsets()[1 + column];
    const qint32 to = offsets()[2 + column];
    c.tag = Cell::Tag(m_data.at(from));
    const char *payload = m_data.constData() + from + 1;
    const int length = to - from - 1;
    switch (c.tag) {
    case Cell::Null:
        break;
    case Cell::Int:
    case Cell::DateTime:
    case Cell::BlobId:
    case Cell::Double:
        std::memcpy(&c.num, payload, 8);
        break;
    case Cell::Text:
    case Cell::Bytes:
        c.bytes = QByteArray(payload, length);
        break;
    }
    return c;
}

QByteArrayView PackedRow::payload(int column) const {
    if (column < 0 || column >= columnCount())
        return {};
    const qint32 from = offsets()[1 + column];
    return QByteArrayView(m_data.constData() + from + 1, offsets()[2 + column] - from - 1);
}

std::vector<Cell> PackedRow::unpack() const {
    std::vector<Cell> cells(columnCount());
    for (int i = 0; i < int(cells.size()); ++i)
        cells[i] = cell(i);
    return cells;
}

} // namespace db
