#pragma once

// How the board snapshot keeps a company and a contact, shared by the code
// that reads them and the code that answers a typed text over them.
#include "data/CompactRecords.h"
#include "dataset/LikePattern.h"

namespace db {
class FbStatement;
} // namespace db

namespace data::boardrecords {

/// Text without its trailing blanks, which the server's comparisons ignore.
inline QByteArrayView withoutTrailingBlanks(QByteArrayView text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    return text.first(end);
}

/// A company's group line from its cells (ID, name, phone, mobile, fax).
db::PackedRow groupLine(db::PackedRow::Builder &builder, compactcell::Reader company);
/// A company's name from its cells.
inline compactcell::Reader nameCell(compactcell::Reader company) {
    company.skip();
    return company;
}
/// The bytes of a company's name, empty when NULL, from its cells.
inline QByteArrayView companyName(compactcell::Reader company) {
    return nameCell(company).bytes();
}

/// The columns the snapshot reads of a company and of a contact.
enum FirmRead : int { FirmId, FirmName, FirmPhone, FirmMobile, FirmFax };
enum PersonRead : int {
    PersonFirm,
    PersonId,
    PersonSurname,
    PersonFirstName,
    PersonMobile,
    PersonPhone,
    PersonEmail,
    PersonRegion
};

/// A contact as kept: a byte telling whether it makes a row of its own
/// (region set and not '***'), then cells: its ID and the six columns its
/// row shows after the ID (surname, first name, mobile, phone, e-mail,
/// region). The company's ID comes from the company; the names are
/// upper-cased as they are matched; the phones and the e-mail are encoded
/// where they have a common shape, the e-mail's domain kept in `domains`.
/// No allocation of its own: half a million contacts cost about 50 bytes
/// each.
struct ContactRecord {
    /// From the columns of the row the statement fetched (company, ID,
    /// surname, first name, mobile, phone, e-mail, region).
    static void write(QByteArray &record, const db::FbStatement &fetched, TextDictionary &domains);

    ContactRecord(const char *at, const TextDictionary &domains)
        : isContactRow(*at != 0), cells(at + 1, &domains) {}

    qint64 id() const { return cells.tag() == db::Cell::Int ? cells.number() : 0; }
    /// Moves past the ID to the surname.
    compactcell::Reader names() const {
        compactcell::Reader reader = cells;
        reader.skip();
        return reader;
    }

    bool isContactRow;
    compactcell::Reader cells;
};

} // namespace data::boardrecords
