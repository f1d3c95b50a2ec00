#pragma once

#include "ImportPlan.h"
#include "Record.h"

namespace data {
class DbConnection;
}

namespace io {

/// Which contacts an export takes. Placeholder contacts never travel.
struct ExportScope {
    enum class Kind { All, Company, Shown };
    Kind kind = Kind::All;
    int companyId = 0;     ///< Company: the company's ID
    QList<int> contactIds; ///< Shown: the contact rows the board shows
    QList<int> companyIds; ///< Shown: the company lines the board shows
};

/// Reads the contacts of `scope` with their companies, ordered by company
/// name and surname. A company with none of its contacts taken travels as a
/// company-only entry (All: every such company; Company: that one; Shown:
/// company lines without contact rows). Throws data::DbError.
QList<Entry> readEntries(data::DbConnection &db, const ExportScope &scope);

/// The IDs of the companies called `name` (letter case ignored). Throws data::DbError.
QList<int> companiesNamed(data::DbConnection &db, const QString &name);

/// Companies, contacts and column sizes an import plan is made against.
/// Throws data::DbError.
ExistingData readExisting(data::DbConnection &db);

struct ImportResult {
    int companies = 0; ///< created
    int contacts = 0;  ///< created or taken over from a placeholder
};

/// Writes the selected contacts of `plan` and the companies they need, in
/// one transaction: all or nothing. A new company gets its placeholder
/// contact only when no contact goes to it; an existing company's lone
/// placeholder is taken over by the first contact. Throws data::DbError
/// (nothing written then).
ImportResult writeImport(data::DbConnection &db, const ImportPlan &plan);

} // namespace io
