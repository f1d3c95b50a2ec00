#include "data/BoardRecords.h"

#include "data/BoardSnapshot.h"
#include "db/FbStatement.h"

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

void ContactRecord::write(QByteArray &record, const db::FbStatement &fetched,
                          TextDictionary &domains) {
    record.resize(0); // keeps its room for the next contact
    const db::FetchedCell region = fetched.cell(PersonRegion);
    record.append(char(region.tag != db::Cell::Null && !isPlaceholderRegion(region.bytes)));
    for (int column = PersonId; column <= PersonRegion; ++column) {
        const db::FetchedCell cell = fetched.cell(column);
        if (column == PersonMobile || column == PersonPhone)
            compactcell::appendPhone(record, cell);
        else if (column == PersonEmail)
            compactcell::appendEmail(record, cell, domains);
        else
            compactcell::append(record, cell);
    }
}

} // namespace data::boardrecords
