#include "io/ImportPlan.h"

#include "base/Win1250.h"
#include "io/Transliteration.h"

#include <QSet>

#include <optional>

namespace io {
namespace {

const QString kIco = QStringLiteral("ICO");

QString digitsOf(const QString &phone) {
    QString digits;
    for (QChar c : phone)
        if (c.isDigit())
            digits += c;
    return digits;
}

/// A 64-bit hash of a text: the duplicate checks keep these, not the texts.
quint64 keyHash(const QString &text) {
    return quint64(qHash(text, size_t(0x9e3779b97f4a7c15ULL)));
}

/// The texts a person is recognised by.
struct Identity {
    QString name;
    QStringList emails, phones;

    static Identity of(const QString &first, const QString &surname, const QStringList &emails,
                       const QStringList &phones) {
        Identity id;
        id.name = foldCase(first) + QLatin1Char('|') + foldCase(surname) + QLatin1Char('|');
        for (const QString &e : emails)
            if (!e.trimmed().isEmpty())
                id.emails << e.trimmed().toLower();
        for (const QString &p : phones)
            if (digitsOf(p).size() >= 6) // the last nine digits: with or without the country code
                id.phones << digitsOf(p).right(9);
        return id;
    }
    static Identity of(const Values &c) {
        auto v = [&c](const QString &column) { return c.value(column); };
        return of(v(QStringLiteral("JMENO")), v(QStringLiteral("PRIJMENI")),
                  {v(QStringLiteral("EMAIL1")), v(QStringLiteral("EMAIL2"))},
                  {v(QStringLiteral("TELEFON1")), v(QStringLiteral("TELEFON2")),
                   v(QStringLiteral("MOBIL")), v(QStringLiteral("FAX"))});
    }
    quint64 email(const QString &e) const { return keyHash(name + QStringLiteral("e:") + e); }
    quint64 phone(const QString &p) const { return keyHash(name + QStringLiteral("p:") + p); }
    /// The same name in the same company (`company`: "e<ID>" or "p<plan index>").
    quint64 inCompany(const QString &company) const {
        return keyHash(name + QStringLiteral("c:") + company);
    }
};

/// The notes keep their line breaks and tabs; every other column is one line.
bool isNote(const Column &c) {
    static const QString notePrefix = QStringLiteral("POZNAMKA");
    return c.name.startsWith(notePrefix);
}

/// Texts with a control character a person cannot type, and texts longer
/// than their column, after transliterate() (one byte a character then).
void checkTexts(const QStringList &texts, const QHash<QString, int> &lengths, const QString &prefix,
                const QList<Column> &columns, QStringList &problems) {
    for (int i = 0; i < columns.size(); ++i) {
        const Column &c = columns[i];
        const QString &text = texts[i];
        if (text.isEmpty())
            continue;
        if (const qsizetype at = base::win1250::firstControlCharacter(text, isNote(c)); at >= 0) {
            problems << QStringLiteral("%1%2: neviditelný řídicí znak U+%3 nelze uložit")
                            .arg(prefix, c.label)
                            .arg(text.at(at).unicode(), 4, 16, QLatin1Char('0'));
            continue;
        }
        const auto limit = lengths.constFind(c.name);
        const qsizetype length = text.size();
        if (limit != lengths.cend() && length > *limit)
            problems << QStringLiteral("%1%2: text má %3 znaků, vejde se jen %4")
                            .arg(prefix, c.label)
                            .arg(length)
                            .arg(*limit);
    }
}

/// Makes every text of `values` fit for Windows-1250; what changed goes to `notes`.
void transliterate(Values &values, const QList<Column> &columns, const QString &prefix,
                   QStringList &notes) {
    const QStringList texts = textsInOrder(values, columns);
    for (int i = 0; i < columns.size(); ++i) {
        const QString &text = texts[i];
        if (text.isEmpty())
            continue;
        Transliterated t = toWin1250(text);
        if (t.changes.isEmpty())
            continue;
        if (text == text.trimmed()) // a dropped character at either end leaves no blank behind
            t.text = t.text.trimmed();
        values[columns[i].name] =
            t.text.trimmed().isEmpty() ? QString() : t.text; // the map copied only now
        notes << prefix + columns[i].label + QStringLiteral(": ") +
                     t.changes.join(QStringLiteral(", "));
    }
}

QString whoOf(const Values &contact, const QString &companyName) {
    const QString name = displayName(contact);
    if (!name.isEmpty())
        return name;
    if (!contact.value(QStringLiteral("EMAIL1")).isEmpty())
        return contact.value(QStringLiteral("EMAIL1"));
    return companyName.isEmpty() ? QStringLiteral("(bez jména)") : companyName;
}

QString whoOf(const Entry &e) {
    return whoOf(e.contact, e.companyName());
}

QString icoOf(const Values &company) {
    return company.value(kIco).simplified().remove(QLatin1Char(' '));
}

/// The companies of the database, found by ID, IČO and name.
class ExistingCompanies {
  public:
    explicit ExistingCompanies(const ExistingData &existing) {
        for (const ExistingData::Company &c : existing.companies) {
            m_byId.insert(c.id, &c);
            if (!c.ico.isEmpty() && !m_byIco.contains(c.ico))
                m_byIco.insert(c.ico, &c);
            m_byName.insert(foldCase(c.name), &c);
        }
    }

    const ExistingData::Company *byId(int id) const { return m_byId.value(id); }

    /// The existing company a new one with these columns is, or nullptr.
    const ExistingData::Company *match(const QString &name, const Values &values) const {
        const QString ico = icoOf(values);
        if (const ExistingData::Company *c = m_byIco.value(ico); c && !ico.isEmpty())
            return c;
        const QString seat = companySeatKey(values);
        const ExistingData::Company *best = nullptr;
        for (auto it = m_byName.constFind(foldCase(name));
             it != m_byName.cend() && it.key() == foldCase(name); ++it) {
            const ExistingData::Company *c = *it;
            if (!ico.isEmpty() && !c->ico.isEmpty() && c->ico != ico)
                continue; // never into a company whose IČO differs
            if (!seat.isEmpty() && !c->seat.isEmpty() && c->seat != seat)
                continue;
            if (!best || c->id < best->id)
                best = c;
        }
        return best;
    }

  private:
    QHash<int, const ExistingData::Company *> m_byId;
    QHash<QString, const ExistingData::Company *> m_byIco; // the lowest ID wins a shared IČO
    QMultiHash<QString, const ExistingData::Company *> m_byName;
};

/// The known people by hash, and why a new one is the same as one of them.
class KnownPeople {
  public:
    void remember(const Identity &id, const QString &company) {
        for (const QString &e : id.emails)
            m_emails.insert(id.email(e));
        for (const QString &p : id.phones)
            m_phones.insert(id.phone(p));
        m_inCompany.insert(id.inCompany(company));
    }
    QString sameAs(const Identity &id, const QString &company) const {
        for (const QString &e : id.emails)
            if (m_emails.contains(id.email(e)))
                return QStringLiteral("stejné jméno a e-mail");
        for (const QString &p : id.phones)
            if (m_phones.contains(id.phone(p)))
                return QStringLiteral("stejné jméno a telefon");
        if (id.emails.isEmpty() && id.phones.isEmpty() &&
            m_inCompany.contains(id.inCompany(company)))
            return QStringLiteral("stejné jméno ve stejné firmě");
        return {};
    }

    bool isEmpty() const { return m_inCompany.isEmpty(); }

  private:
    QSet<quint64> m_emails, m_phones, m_inCompany;
};

QString existingRef(int id) {
    return QLatin1Char('e') + QString::number(id);
}

} // namespace

class Planner {
  public:
    explicit Planner(ExistingData existing)
        : m_existing(std::move(existing)), m_companies(m_existing) {
        for (const ExistingData::Contact &c : m_existing.contacts)
            m_people.remember(Identity::of(c.firstName, c.surname, c.emails, c.phones),
                              existingRef(c.companyId));
    }

    ImportPlan finish() { return std::move(m_plan); }

    void take(Entry e) {
        const Entry original = e; // shared, not copied, unless a text is changed
        auto who = [&original] { return whoOf(original); };
        const bool nameless =
            displayName(e.contact).isEmpty() && e.contact.value(QStringLiteral("EMAIL1")).isEmpty();
        if (e.companyName().isEmpty() && (e.companyOnly || nameless)) {
            m_plan.refused << RefusedEntry{who(), {QStringLiteral("záznam nemá jméno ani firmu")}};
            return;
        }
        QStringList notes = e.warnings;
        const bool hadCompany = !e.companyName().isEmpty();
        transliterate(e.contact, contactColumns(), QString(), notes);
        const CompanyCheck &checked = checkCompany(e.company);
        e.company = checked.fitted;
        notes << checked.notes;
        if ((!nameless && displayName(e.contact).isEmpty() &&
             e.contact.value(QStringLiteral("EMAIL1")).isEmpty()) ||
            (hadCompany && e.companyName().isEmpty())) {
            m_plan.refused << RefusedEntry{
                who(), notes << QStringLiteral("po převodu do kódování Windows-1250 by zůstal "
                                               "prázdný název")};
            return;
        }
        QStringList problems;
        const QStringList texts = textsInOrder(e.contact, contactColumns()); // once per card
        checkTexts(texts, m_existing.contactLengths, QString(), contactColumns(), problems);
        problems << checked.problems;
        if (!problems.isEmpty()) {
            m_plan.refused << RefusedEntry{who(), problems};
            return;
        }
        const int company = companyFor(e);
        if (e.companyOnly) {
            m_plan.companies[company].wanted = true;
            m_plan.companies[company].notes << notes;
            return;
        }
        PlannedContact planned{
            PackedValues(texts, contactColumns()), e.photo, company, {}, true, notes};
        // Entries of this program's export are rows of a register, each its own
        // even when two look alike; other files may name one person twice.
        const bool inFileToo = e.companyKey.isEmpty();
        if (inFileToo || !m_people.isEmpty()) { // else nobody to compare with
            const Identity identity = Identity::of(e.contact);
            const QString ref = companyRef(company);
            planned.duplicateOf = m_people.sameAs(identity, ref);
            if (inFileToo) {
                if (planned.duplicateOf.isEmpty())
                    planned.duplicateOf = m_inFile.sameAs(identity, ref);
                m_inFile.remember(identity, ref);
            }
        }
        planned.selected = planned.duplicateOf.isEmpty();
        m_plan.contacts << std::move(planned);
    }

  private:
    /// An entry's company columns made fit for the database.
    struct CompanyCheck {
        Values original, fitted;
        QStringList notes, problems;
    };
    const CompanyCheck &checkCompany(const Values &company) {
        // A register's export repeats its company on each of its contacts, one after another.
        if (m_lastCompany && m_lastCompany->original == company)
            return *m_lastCompany;
        m_lastCompany = CompanyCheck{company, company, {}, {}};
        transliterate(m_lastCompany->fitted, companyColumns(), QStringLiteral("Firma – "),
                      m_lastCompany->notes);
        checkTexts(textsInOrder(m_lastCompany->fitted, companyColumns()), m_existing.companyLengths,
                   QStringLiteral("Firma – "), companyColumns(), m_lastCompany->problems);
        return *m_lastCompany;
    }

    QString companyRef(int index) const {
        const int id = m_plan.companies[index].existingId;
        return id ? existingRef(id) : QLatin1Char('p') + QString::number(index);
    }

    int companyFor(const Entry &e) {
        const QString name = e.companyName().isEmpty() ? kNoCompanyName : e.companyName();
        const QString key = e.companyKey.isEmpty() ? QStringLiteral("n:") + foldCase(name) +
                                                         QLatin1Char('|') + icoOf(e.company)
                                                   : QStringLiteral("k:") + e.companyKey;
        if (const auto found = m_planned.constFind(key); found != m_planned.cend())
            return *found;
        PlannedCompany company;
        company.name = name;
        Values values = e.company;
        values[QStringLiteral("NAZEV_FIRMA")] = name;
        if (const ExistingData::Company *c = m_companies.match(name, values)) {
            company.existingId = c->id;
            company.placeholderId = c->placeholderId;
            company.name = c->name;
        } else {
            company.values = PackedValues(values, companyColumns());
        }
        m_plan.companies << company;
        m_planned.insert(key, int(m_plan.companies.size() - 1));
        return int(m_plan.companies.size() - 1);
    }

    const ExistingData m_existing;
    const ExistingCompanies m_companies; ///< points into m_existing
    KnownPeople m_people;                ///< in the database
    KnownPeople m_inFile;                ///< earlier in the file
    ImportPlan m_plan;
    QHash<QString, int> m_planned; ///< company key → index
    std::optional<CompanyCheck> m_lastCompany;
};

QString companySeatKey(const Values &company) {
    QStringList parts;
    for (const char *column : {"ADRESA_FS", "ULICE_FS", "OBEC_FS"})
        parts << foldCase(company.value(QString::fromLatin1(column))).simplified();
    parts << company.value(QStringLiteral("PSC_FS")).simplified().remove(QLatin1Char(' '));
    const QString key = parts.join(QLatin1Char('|'));
    return key == QLatin1String("|||") ? QString() : key;
}

QList<int> ImportPlan::companiesToCreate() const {
    QSet<int> used;
    for (const PlannedContact &c : contacts)
        if (c.selected)
            used << c.company;
    QList<int> result;
    for (int i = 0; i < companies.size(); ++i)
        if (!companies[i].existingId && (companies[i].wanted || used.contains(i)))
            result << i;
    return result;
}

int ImportPlan::selectedCount() const {
    return int(std::count_if(contacts.begin(), contacts.end(),
                             [](const PlannedContact &c) { return c.selected; }));
}

ImportPlan planImport(const QList<Entry> &entries, const ExistingData &existing) {
    ImportPlanner planner(existing);
    for (const Entry &e : entries)
        planner.add(e);
    return planner.finish();
}

ImportPlanner::ImportPlanner(ExistingData existing)
    : m_planner(std::make_unique<Planner>(std::move(existing))) {
}
ImportPlanner::~ImportPlanner() = default;

void ImportPlanner::add(Entry entry) {
    m_planner->take(std::move(entry));
}

ImportPlan ImportPlanner::finish() {
    return m_planner->finish();
}

QString whoOf(const PlannedContact &contact, const ImportPlan &plan) {
    static const QStringList naming{QStringLiteral("TITUL_PRED"), QStringLiteral("JMENO"),
                                    QStringLiteral("PRIJMENI"), QStringLiteral("TITUL_ZA"),
                                    QStringLiteral("EMAIL1")};
    return whoOf(contact.contact.unpack(naming), plan.companies.value(contact.company).name);
}

RecheckedPlan recheckPlan(const ImportPlan &plan, const ExistingData &now) {
    RecheckedPlan result{plan, {}, {}};
    ImportPlan &fresh = result.plan;
    const ExistingCompanies companies(now);
    QSet<int> used;
    for (const PlannedContact &c : plan.contacts)
        if (c.selected)
            used << c.company;
    for (int i = 0; i < fresh.companies.size(); ++i) {
        PlannedCompany &company = fresh.companies[i];
        if (!used.contains(i) && !company.wanted)
            continue;
        if (company.existingId) {
            const ExistingData::Company *stored = companies.byId(company.existingId);
            if (!stored)
                result.refusals
                    << QStringLiteral("Firmu „%1“ mezitím někdo smazal.").arg(company.name);
            company.placeholderId = stored ? stored->placeholderId : 0;
        } else if (const ExistingData::Company *c =
                       companies.match(company.name, company.values.unpack())) {
            result.notes << QStringLiteral(
                                "Firmu „%1“ mezitím někdo přidal; kontakty přibudou k ní.")
                                .arg(company.name);
            company.existingId = c->id;
            company.placeholderId = c->placeholderId;
            company.name = c->name;
            company.values = {};
        }
    }
    KnownPeople people;
    for (const ExistingData::Contact &c : now.contacts)
        people.remember(Identity::of(c.firstName, c.surname, c.emails, c.phones),
                        existingRef(c.companyId));
    if (now.contacts.isEmpty())
        return result; // nobody to be the same as
    for (qsizetype i = 0; i < fresh.contacts.size(); ++i) {
        const PlannedContact &c = std::as_const(fresh.contacts)[i]; // a plan of any size: no copy
        if (!c.selected || !c.duplicateOf.isEmpty()) // a ticked duplicate stays: the user chose it
            continue;
        const int id = fresh.companies[c.company].existingId;
        const QString ref = id ? existingRef(id) : QLatin1Char('p') + QString::number(c.company);
        const QString reason = people.sameAs(Identity::of(c.contact.unpack()), ref);
        if (reason.isEmpty())
            continue;
        result.notes << QStringLiteral("Přeskočeno, mezitím přidal někdo jiný (%1): %2")
                            .arg(reason, whoOf(c, fresh));
        PlannedContact &skipped = fresh.contacts[i];
        skipped.selected = false;
        skipped.duplicateOf = reason;
    }
    return result;
}

void describePlan(const ImportPlan &plan, const std::function<void(const QString &)> &line) {
    for (int i : plan.companiesToCreate())
        line(QStringLiteral("Nová firma: %1").arg(plan.companies[i].name));
    for (const PlannedContact &c : plan.contacts) {
        const PlannedCompany &company = plan.companies[c.company];
        const QString target =
            company.name + (company.existingId ? QString() : QStringLiteral(" (nová)"));
        if (c.selected)
            line(
                QStringLiteral("Nový kontakt: %1 → %2").arg(whoOf(c, plan), target) +
                (c.duplicateOf.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(c.duplicateOf)));
        else
            line(QStringLiteral("Přeskočeno, už existuje (%1): %2 → %3")
                     .arg(c.duplicateOf, whoOf(c, plan), target));
        if (c.selected && !c.notes.isEmpty())
            line(QStringLiteral("  Upraveno: %1").arg(c.notes.join(QStringLiteral("; "))));
    }
    for (const PlannedCompany &c : plan.companies)
        if (!c.notes.isEmpty() && !c.existingId)
            line(QStringLiteral("Upravena firma %1: %2")
                     .arg(c.name, c.notes.join(QStringLiteral("; "))));
    for (const RefusedEntry &r : plan.refused)
        line(
            QStringLiteral("Odmítnuto: %1 – %2").arg(r.who, r.problems.join(QStringLiteral("; "))));
}

PersonKeys personKeys(const Values &contact, const QString &company) {
    const Identity id = Identity::of(contact);
    PersonKeys keys;
    for (const QString &e : id.emails)
        keys.reach << id.email(e);
    for (const QString &p : id.phones)
        keys.reach << id.phone(p);
    keys.inCompany = id.inCompany(company);
    return keys;
}

QStringList describePlan(const ImportPlan &plan) {
    QStringList lines;
    describePlan(plan, [&lines](const QString &text) { lines << text; });
    return lines;
}

} // namespace io
