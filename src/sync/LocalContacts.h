#pragma once

#include "io/ImportPlan.h"
#include "io/Record.h"
#include "sync/CardLinks.h"

#include <QHash>
#include <optional>

namespace db {
class DbConnection;
} // namespace db

namespace cardsync {

/// A contact of the register as a card would carry it.
struct LocalContact {
    int id = 0;
    int companyId = 0;
    qint64 version = 0; ///< RDB$RECORD_VERSION when read: a write over it checks it is unchanged
    io::Entry entry;
    QString digest; ///< digestOf(entry)
};

/// The digest of a contact's card content (its company's data included):
/// equal digests, equal cards.
QString digestOf(const io::Entry &entry);

/// The register's side of a sync: reads the contacts and writes what came
/// from the server, each change with its link in one transaction. A write
/// over a contact checks that nobody changed it since it was read, and
/// refuses (returns false) otherwise, so that a colleague's edit is never
/// overwritten. Throws db::DbError.
class LocalContacts {
  public:
    explicit LocalContacts(db::DbConnection &db) : m_db(db) {}

    /// Every contact (placeholders left out), by ID.
    QHash<int, LocalContact> readAll();
    /// One contact as it is stored now; nullopt when it is gone.
    std::optional<LocalContact> readOne(int id);

    /// Stores a card from the server as a new contact, under the company the
    /// import's matching picks ("Bez firmy" without ORG), with `link`, in one
    /// transaction; the link's ID and digest are those of the contact as
    /// stored. Returns the new contact's ID, or 0 with `refusal` set when the
    /// card cannot be stored (no name, a text too long for its column).
    int create(const io::Entry &entry, CardLink &link, QString &refusal);
    /// Replaces the contact's data by the card's and saves `link` (its digest
    /// set as for create()), in one transaction; a changed ORG moves the
    /// contact to the company it names. False when the contact was changed
    /// or deleted meanwhile (or `refusal` is set).
    bool update(const LocalContact &current, const io::Entry &entry, CardLink &link,
                QString &refusal);
    /// Deletes the contact and its link; false when it was changed meanwhile.
    bool remove(const LocalContact &current);

  private:
    struct Placement {
        io::Entry entry; ///< as it can be stored (characters the code page lacks replaced)
        int companyId = 0;
        QList<db::DbConnection::Statement> statements; ///< a new company, a placeholder's end
        std::optional<io::ExistingData::Company> created;
        io::Values companyStored; ///< the company's data as the register holds it then
    };
    std::optional<Placement> place(const io::Entry &entry, QString &refusal);
    void remember(const Placement &placement);
    io::Values storedCompany(int companyId);
    int newContactId();

    db::DbConnection &m_db;
    std::optional<io::ExistingData> m_companies; ///< read once, kept up to date by create()
    qint64 m_nextId = 0, m_idsEnd = 0;           ///< new contact IDs reserved and not used yet
};

} // namespace cardsync
