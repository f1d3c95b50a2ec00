#pragma once

#include "io/ContactFiles.h"
#include "io/ImportPlan.h"
#include "io/Record.h"

#include <functional>
#include <memory>

class QIODevice;

namespace db {
class DbConnection;
class FbStatement;
} // namespace db

namespace io {

/// Which contacts an export takes. Placeholder contacts never travel.
struct ExportScope {
    enum class Kind { All, Company, Shown };
    Kind kind = Kind::All;
    int companyId = 0;     ///< Company: the company's ID
    QList<int> contactIds; ///< Shown: the contact rows the board shows
    QList<int> companyIds; ///< Shown: the company lines the board shows
};

/// Hands the contacts of `scope` with their companies to `take` one at a
/// time, reading as it goes (memory stays the same whatever the register's
/// size), ordered by company name (letter case ignored, as the database
/// orders it) and ID, a company's contacts by ID; each entry's companyKey
/// is its company's ID. A company with none of its contacts taken travels
/// as a company-only entry (All: every such company; Company: that one;
/// Shown: company lines without contact rows). Returns how many entries
/// went. Throws db::DbError.
int forEachEntry(db::DbConnection &db, const ExportScope &scope,
                 const std::function<void(Entry &&)> &take);
/// The same, with the KONTAKT ID of each entry (0 for a company-only entry).
int forEachContactEntry(db::DbConnection &db, const ExportScope &scope,
                        const std::function<void(int contactId, Entry &&)> &take);
/// The same entries as a list, for small scopes.
QList<Entry> readEntries(db::DbConnection &db, const ExportScope &scope);

/// Told how far a long job is (`done` of `total`; total 0: not known);
/// returning false stops it.
using Progress = std::function<bool(int done, int total)>;

/// Writes the entries of `scopes`, one after another, to `out` in `format`
/// as it reads them. Returns how many went, or -1 with `error` set when the
/// format cannot hold a character or `out` refuses the bytes. Throws
/// db::DbError.
int exportEntries(db::DbConnection &db, const QList<ExportScope> &scopes, FileFormat format,
                  QIODevice &out, QString &error, const Progress &progress = {});

/// The IDs of the companies called `name` (letter case ignored). Throws db::DbError.
QList<int> companiesNamed(db::DbConnection &db, const QString &name);

/// Companies, contacts and column sizes an import plan is made against.
/// Throws db::DbError.
ExistingData readExisting(db::DbConnection &db);

/// Opens a cursor on a SELECT without parameters, in some transaction.
using CursorOpener = std::function<std::unique_ptr<db::FbStatement>(const QByteArray &sql)>;
/// Companies and contacts as readExisting() gives them, without the column
/// sizes, read through `open`.
ExistingData readExisting(const CursorOpener &open);

struct ImportResult {
    int companies = 0; ///< created
    int contacts = 0;  ///< created or taken over from a placeholder
    QStringList notes; ///< how the plan followed what others changed meanwhile
};

/// Writes the selected contacts of `plan` and the companies they need, in
/// one transaction: all or nothing. Imports into one database take turns
/// (the settings row is their lock; a second waits up to `waitSeconds`),
/// and inside the transaction the plan is checked again against what the
/// database holds now (recheckPlan): what others added meanwhile is not
/// added twice, a colleague's row is never overwritten, and only what was
/// written is counted. A new company gets its placeholder contact only when
/// no contact goes to it; an existing company's lone placeholder is taken
/// over by the first contact. Into an empty register the read indexes are
/// built after the rows (data::readindexes). Throws db::DbError (nothing written then),
/// of kind Conflict when the plan no longer fits the database.
/// `progress` hears of every hundredth contact written; when it returns
/// false, everything is rolled back and db::DbError(kStoppedText) thrown.
ImportResult writeImport(db::DbConnection &db, const ImportPlan &plan,
                         const Progress &progress = {}, int waitSeconds = 60);

} // namespace io
