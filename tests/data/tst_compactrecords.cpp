// Records kept end to end in blocks read back exactly as written: every kind
// of cell, lengths on both sides of a length byte's limit, records across
// and larger than a block.
#include "data/CompactRecords.h"
#include "db/FbStatement.h"

#include <QtTest>

using data::CompactRecords;
using db::Cell;
using db::PackedRow;
namespace cc = data::compactcell;

namespace {

PackedRow rowWith(const QByteArray &text, qint64 number) {
    PackedRow::Builder builder(5);
    builder.addNull();
    builder.addInt(number);
    builder.addBytes(Cell::Text, text.constData(), int(text.size()));
    builder.addNumber(Cell::DateTime, -number);
    builder.addBytes(Cell::Bytes, "", 0);
    return builder.finish();
}

QByteArray recordOf(const PackedRow &row) {
    QByteArray record;
    for (int column = 0; column < row.columnCount(); ++column) {
        const Cell cell = row.cell(column);
        cc::append(record, db::FetchedCell{cell.tag, cell.num, row.payload(column)});
    }
    return record;
}

PackedRow readBack(const char *at, int columns) {
    PackedRow::Builder builder(columns);
    cc::Reader reader(at);
    for (int column = 0; column < columns; ++column)
        reader.copyTo(builder);
    return builder.finish();
}

} // namespace

class TestCompactRecords : public QObject {
    Q_OBJECT
  private slots:
    void cellsComeBackAsWritten_data() {
        QTest::addColumn<int>("length");
        for (const int length : {0, 1, 127, 128, 129, 16383, 16384, 300000})
            QTest::addRow("%d bytes", length) << length;
    }
    void cellsComeBackAsWritten() {
        QFETCH(int, length);
        QByteArray text(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            text[i] = char('a' + i % 26);
        const PackedRow row = rowWith(text, qint64(1) << 40 | length);
        CompactRecords store;
        store.add("x"); // not at the start of a block
        const CompactRecords::Handle handle = store.add(recordOf(row));
        QCOMPARE(readBack(store.at(handle), 5).unpack(), row.unpack());
        cc::Reader reader(store.at(handle));
        reader.skip();
        QCOMPARE(reader.number(), qint64(1) << 40 | length);
        reader.skip();
        QCOMPARE(reader.bytes().size(), length);
        QCOMPARE(reader.number(), 0); // text has no number
        // Integers on both sides of the 32-bit limits.
        const qint64 value = qint64(INT32_MAX) + 1 - length;
        for (const qint64 number : {value, -value, -value - 1}) {
            const PackedRow again = rowWith(text, number);
            QCOMPARE(readBack(store.at(store.add(recordOf(again))), 5).unpack(), again.unpack());
        }
    }

    void manyRecordsSpanBlocksAndStayWhereTheyWere() {
        CompactRecords store;
        std::vector<CompactRecords::Handle> handles;
        QByteArray huge(600000, 'h');
        for (int i = 0; i < 20000; ++i) {
            // One record larger than a block in between the small ones.
            const QByteArray text = i == 7000 ? huge : QByteArray::number(i).repeated(1 + i % 40);
            handles.push_back(store.add(recordOf(rowWith(text, i))));
        }
        QVERIFY(store.capacity() > qsizetype(huge.size()) + 20000 * 40);
        for (int i = 0; i < 20000; ++i) {
            const QByteArray text = i == 7000 ? huge : QByteArray::number(i).repeated(1 + i % 40);
            QCOMPARE(readBack(store.at(handles[i]), 5).unpack(), rowWith(text, i).unpack());
        }
    }
};

QTEST_APPLESS_MAIN(TestCompactRecords)
#include "tst_compactrecords.moc"
