#pragma once

#include "io/ImportPlan.h"
#include "io/Record.h"
#include "sync/CardLinks.h"

#include <QHash>
#include <functional>
#include <optional>

namespace db {
class DbConnection;
} // namespace db

namespace cardsync {

/// A company of the register as its organisation card carries it.
struct LocalCompany {
    int id = 0;
    qint64 version = 0; ///< RDB$RECORD_VERSION when read: a write over it checks it is unchanged
    io::Entry entry;    ///< a company-only entry, as the export gives it
    QString digest;     ///< digestOf(entry)
    bool hasContacts = false; ///< placeholders do not count
};

/// The register's side of the organisation cards: reads the companies and
/// writes what came from the server, each change with its link in one
/// transaction. A write over a company checks that nobody changed it since
/// it was read and refuses (returns false) otherwise. Throws db::DbError.
class LocalCompanies {
  public:
    explicit LocalCompanies(db::DbConnection &db) : m_db(db) {}

    /// The companies `wanted` takes, by ID. "Bez firmy" is left out: it is
    /// where contacts without a company go, not a company a phone should show.
    QHash<int, LocalCompany> read(const std::function<bool(int id)> &wanted);
    std::optional<LocalCompany> readOne(int id);

    /// The company the import's matching (IČO, then name and seat address)
    /// finds for a card's company, 0 when none.
    int match(const io::Entry &entry);
    /// Stores a card's company as a new company (with its placeholder, so
    /// that the board shows it) and `link`; returns its ID, or 0 with
    /// `refusal` set.
    int create(const io::Entry &entry, CardLink link, QString &refusal);
    /// Replaces the company's data by the card's and saves `link`.
    bool update(const LocalCompany &current, const io::Entry &entry, const CardLink &link,
                QString &refusal);
    /// Deletes a company without contacts, its placeholders and link; false
    /// when it was changed meanwhile or a contact has come to it.
    bool remove(const LocalCompany &current);
    /// Sets the link's digest to the company's as stored now, and saves it.
    void settle(CardLink &link);

    /// The card's company as it would be stored: characters the code page
    /// lacks replaced; nullopt with `refusal` set when a text is too long
    /// or the name is left empty.
    std::optional<io::Values> storable(const io::Entry &entry, QString &refusal);

  private:
    QHash<int, LocalCompany> readWhere(const QByteArray &where, const QVariantList &params,
                                       const std::function<bool(int id)> &wanted);
    io::ExistingData &existing();
    /// Keeps the companies matched against as the register now has them.
    void remember(int id, const io::Values &values, int placeholderId);
    void forget(int id);

    db::DbConnection &m_db;
    std::optional<io::ExistingData> m_existing; ///< read once, kept up to date by create()
};

} // namespace cardsync
