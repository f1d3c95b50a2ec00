#pragma once

#include "Record.h"

#include <QHash>

namespace io {

/// What the database holds already, as far as an import needs to know.
struct ExistingData {
    struct Company {
        int id = 0;
        QString name;
        int placeholderId = 0; ///< its placeholder contact when that is its only contact row
    };
    struct Contact {
        QString firstName, surname;
        QStringList emails, phones;
    };
    QList<Company> companies;
    QList<Contact> contacts; ///< placeholders left out
    /// Longest text each column takes (characters); missing: no limit known.
    QHash<QString, int> contactLengths, companyLengths;
};

/// The company that imported contacts without an organisation go to.
inline const QString kNoCompanyName = QStringLiteral("Bez firmy");

struct PlannedCompany {
    QString name;
    Values values;         ///< the columns of a new company (from its first entry)
    int existingId = 0;    ///< 0: created by the import
    int placeholderId = 0; ///< an existing placeholder the first new contact takes over
    bool wanted = false;   ///< a company-only entry asks for it even without contacts
};

struct PlannedContact {
    Entry entry;
    int company = -1;       ///< index into ImportPlan::companies
    QString duplicateOf;    ///< non-empty: looks like a contact already present (why)
    bool selected = true;   ///< duplicates start unselected; the user may tick them
};

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

/// Matches each entry's company by name (letter case ignored the Czech way;
/// none: "Bez firmy"), marks duplicates (same name and a same e-mail or
/// phone, in the database or earlier in the file) and refuses entries with
/// text the database cannot hold. Pure: no database access.
ImportPlan planImport(const QList<Entry> &entries, const ExistingData &existing);

/// The plan as lines for a listing: what is created, skipped and refused.
QStringList describePlan(const ImportPlan &plan);

} // namespace io
