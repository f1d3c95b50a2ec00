// Records kept end to end in blocks read back exactly as written: every kind
// of cell, lengths on both sides of a length byte's limit, records across
// and larger than a block, phones and e-mails encoded or nearly so.
#include "data/CompactRecords.h"
#include "data/TextDictionary.h"
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

    void phonesAndEmailsComeBackByteForByte() {
        const QByteArray longPart(127, 'l');
        const QList<QByteArray> emails = {"jan.novak@firma-domena.cz",
                                          "eva@firma-domena.cz",
                                          "bez zavinace",
                                          "a@b@c.cz",
                                          "@firma.cz",
                                          "jan@",
                                          "@",
                                          "",
                                          longPart + "@" + longPart,
                                          longPart + "l@d.cz",
                                          "x@" + longPart + "l",
                                          "Ji\xf8\xed@\xe8"
                                          "esk\xe1.cz"};
        const QList<QByteArray> phones = {
            "+420 602 489 724",  "602 489 724",      "000 000 000",      "+420 999 999 999",
            "+420  602 489 724", "+421 602 489 724", "+420 602 489 72a", "+420 602 489 72",
            "+420 602 489 7245", "602489724",        "602 489 724 ",     "",
            " 602 489 724",      "+420-602-489-724"};
        // Written by two readers of shares, as the register is, and read
        // through the dictionary that adopted the other's part.
        data::TextDictionary domains(0), other(1);
        std::vector<QByteArray> records;
        std::vector<QByteArray> expected;
        auto write = [&](const QByteArray &email, const QByteArray &phone, bool null,
                         data::TextDictionary &into) {
            const db::FetchedCell none{Cell::Null, 0, {}};
            QByteArray record;
            cc::appendEmail(record, null ? none : db::FetchedCell{Cell::Text, 0, email}, into);
            cc::appendPhone(record, null ? none : db::FetchedCell{Cell::Text, 0, phone});
            cc::append(record, db::FetchedCell{Cell::Int, 7, {}});
            records.push_back(record);
            expected.push_back(null ? QByteArray() : email + "|" + phone);
        };
        for (int n = 0; n < 2 * emails.size(); ++n)
            write(emails[n % emails.size()], phones[n % phones.size()], false,
                  n % 2 ? other : domains);
        write({}, {}, true, domains);
        domains.adopt(std::move(other));

        QByteArray decoded[2];
        for (size_t n = 0; n < records.size(); ++n) {
            cc::Reader reader(records[n].constData(), &domains);
            QByteArray texts;
            for (QByteArray &into : decoded) {
                if (reader.tag() != Cell::Null)
                    QCOMPARE(reader.tag(), Cell::Text);
                texts += reader.text(into);
                texts += '|';
                reader.skip();
            }
            QCOMPARE(reader.number(), 7);
            texts.chop(1);
            QCOMPARE(texts, expected[n].isNull() ? QByteArray("|") : expected[n]);
            // The same cells copied into a row.
            PackedRow::Builder builder(3);
            cc::Reader again(records[n].constData(), &domains);
            for (int cell = 0; cell < 3; ++cell)
                again.copyTo(builder);
            const PackedRow row = builder.finish();
            QCOMPARE(row.tag(0) == Cell::Null, expected[n].isNull());
            if (!expected[n].isNull())
                QCOMPARE(row.payload(0).toByteArray() + "|" + row.payload(1).toByteArray(),
                         expected[n]);
        }
        // The common shapes take a tag and four bytes; an address of a
        // domain known takes a tag, three bytes and its local part with a
        // length byte.
        QCOMPARE(records[0].size(), (1 + 3 + 1 + 9) + (1 + 4) + (1 + 4));
    }
};

QTEST_APPLESS_MAIN(TestCompactRecords)
#include "tst_compactrecords.moc"
