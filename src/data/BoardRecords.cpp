#include "data/BoardRecords.h"

#include "data/BoardSnapshot.h"

namespace data::boardrecords {
namespace {

/// A region that compares equal to '***' (trailing blanks do not count).
bool isPlaceholderRegion(QByteArrayView region) {
    return withoutTrailingBlanks(region) == QByteArrayView("***");
}

} // namespace

db::PackedRow groupLine(db::PackedRow::Builder &builder, compactcell::Reader company) {
    builder.reset(board::ColumnCount);
    company.copyTo(builder); // ID
    builder.addInt(1);
    for (int column = board::Id; column <= board::Kraj; ++column)
        builder.addNull();
    for (int column = board::NazevFirma; column < board::ColumnCount; ++column)
        company.copyTo(builder);
    return builder.finish();
}

void ContactRecord::write(QByteArray &record, const db::PackedRow &row) {
    record.clear();
    record.append(char(row.tag(PersonRegion) != db::Cell::Null &&
                       !isPlaceholderRegion(row.payload(PersonRegion))));
    for (int column = PersonId; column <= PersonRegion; ++column)
        compactcell::append(record, row, column);
}

} // namespace data::boardrecords
