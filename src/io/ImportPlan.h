#pragma once

#include "io/Record.h"

#include <QHash>

#include <functional>
#include <memory>

namespace io {

/// What the database holds already, as far as an import needs to know.
struct ExistingData {
    struct Company {
        int id = 0;
        QString name;
        int placeholderId = 0; ///< its placeholder contact when that is its only contact row
        QString ico;           ///< IČO, empty: none
        QString seat;          ///< companySeatKey() of its seat address, empty: none
    };
    struct Contact {
        QString firstName, surname;
        QStringList emails, phones;
        int companyId = 0;
    };
    QList<Company> companies;
    QList<Contact> contacts; ///< placeholders left out
    /// Longest text each column takes (characters); missing: no limit known.
    QHash<QString, int> contactLengths, companyLengths;
};

/// The company that imported contacts without an organisation go to.
inline const QString kNoCompanyName = QStringLiteral("Bez firmy");

/// The seat address of a company's columns (_FS) as one comparable text:
/// letter case, blanks and the spaces of a postcode do not count. Empty
/// when the company has no seat address.
QString companySeatKey(const Values &company);

struct PlannedCompany {
    QString name;
    PackedValues values;   ///< the columns of a new company (from its first entry)
    int existingId = 0;    ///< 0: created by the import
    int placeholderId = 0; ///< an existing placeholder the first new contact takes over
    bool wanted = false;   ///< a company-only entry asks for it even without contacts
    QStringList notes;     ///< what of a company-only entry was changed or left out, per field
};

struct PlannedContact {
    PackedValues contact; ///< the KONTAKT text columns, made fit for the database
    QByteArray photo;     ///< OBR, empty for none
    int company = -1;     ///< index into ImportPlan::companies
    QString duplicateOf;  ///< non-empty: looks like a contact already present (why)
    bool selected = true; ///< duplicates start unselected; the user may tick them
    /// What was changed or left out, per field: "Poznámka: „😀“ vynecháno",
    /// "řádek 12: PHOTO není obrázek, vynecháno".
    QStringList notes;
};

} // namespace io
Q_DECLARE_TYPEINFO(io::PlannedContact, Q_RELOCATABLE_TYPE); // a plan's list grows without copies
namespace io {

struct RefusedEntry {
    QString who;
    QStringList problems; ///< one per field: "Poznámka: znak „…“ nelze uložit"
};

/// What an import would create, skip and refuse; nothing is written yet.
struct ImportPlan {
    QList<PlannedCompany> companies;
    QList<PlannedContact> contacts;
    QList<RefusedEntry> refused;

    /// Companies the import creates with the current selection.
    QList<int> companiesToCreate() const;
    int selectedCount() const;
};

/// Matches each entry's company (none: "Bez firmy") and marks duplicates
/// (same name and a same e-mail or phone; without either, same name in the
/// same company; in the database, or earlier in a file that is not this
/// program's export, whose entries are each a row of their own). Characters
/// Windows-1250 lacks are replaced by their nearest form or dropped
/// (toWin1250), noted per field; an entry is refused only when its name
/// would be left empty, or a text is longer than its column. A company is the existing
/// one with the same IČO where both have one, else one of the same name
/// (letter case ignored the Czech way) whose IČO and seat address do not
/// differ from the entry's; entries of one file with the same company key
/// (Entry::companyKey) share one company. Pure: no database access; the
/// checks are by hash, linear in the entries.
ImportPlan planImport(const QList<Entry> &entries, const ExistingData &existing);

/// planImport() one entry at a time, as a file is read: the plan keeps what
/// it needs of each (packed), never the file's entries.
class ImportPlanner {
  public:
    explicit ImportPlanner(ExistingData existing);
    ~ImportPlanner();
    void add(Entry entry);
    /// The plan of every entry added; the planner is spent.
    ImportPlan finish();

  private:
    std::unique_ptr<class Planner> m_planner;
};

/// "Titul Jméno Příjmení", else the e-mail, else the company, of a planned contact.
QString whoOf(const PlannedContact &contact, const ImportPlan &plan);

/// A plan checked again against what the database holds at write time.
struct RecheckedPlan {
    ImportPlan plan;      ///< what may still be written
    QStringList notes;    ///< what changed and how the plan follows it
    QStringList refusals; ///< non-empty: the plan cannot be written at all
};

/// Checks `plan` against `now` (read inside the writing transaction): a
/// contact that has meanwhile appeared is skipped, a company that has
/// meanwhile appeared is used instead of a second one, a placeholder that
/// is no longer one is left alone; a company the plan adds to that has been
/// deleted refuses the plan. Contacts the user ticked as duplicates stay.
RecheckedPlan recheckPlan(const ImportPlan &plan, const ExistingData &now);

/// What the duplicate check of planImport() knows a person by: a key of
/// the name with each e-mail and with each phone, and one of the name in a
/// company (`company`: a text that names it, the same for the same company).
/// Two people are the same when they share a `reach` key, or, when the one
/// compared has neither e-mail nor phone, the `inCompany` key.
struct PersonKeys {
    QList<quint64> reach;
    quint64 inCompany = 0;
};
PersonKeys personKeys(const Values &contact, const QString &company);

/// The plan as lines for a listing: what is created, skipped and refused.
QStringList describePlan(const ImportPlan &plan);
/// The same lines handed to `line` one at a time, for a plan of any size.
void describePlan(const ImportPlan &plan, const std::function<void(const QString &)> &line);

} // namespace io
