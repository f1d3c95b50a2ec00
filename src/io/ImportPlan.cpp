#include "ImportPlan.h"

#include "Win1250.h"

#include <QSet>

namespace io {
namespace {

QString digitsOf(const QString &phone) {
    QString digits;
    for (QChar c : phone)
        if (c.isDigit())
            digits += c;
    return digits;
}

/// The identity used to recognise a person already present.
struct Identity {
    QString name;
    QSet<QString> emails, phones;

    static Identity of(const QString &first, const QString &surname, const QStringList &emails,
                       const QStringList &phones) {
        Identity id;
        id.name = foldCase(first) + QLatin1Char('|') + foldCase(surname);
        for (const QString &e : emails)
            if (!e.trimmed().isEmpty())
                id.emails << e.trimmed().toLower();
        for (const QString &p : phones)
            if (digitsOf(p).size() >= 6) // the last nine digits: with or without the country code
                id.phones << digitsOf(p).right(9);
        return id;
    }
    static Identity of(const Values &c) {
        auto v = [&c](const char *column) { return c.value(QString::fromLatin1(column)); };
        return of(v("JMENO"), v("PRIJMENI"), {v("EMAIL1"), v("EMAIL2")},
                  {v("TELEFON1"), v("TELEFON2"), v("MOBIL"), v("FAX")});
    }
    /// Why `other` looks like the same person, or empty.
    QString sameAs(const Identity &other) const {
        if (name != other.name)
            return {};
        if (emails.intersects(other.emails))
            return QStringLiteral("stejné jméno a e-mail");
        if (phones.intersects(other.phones))
            return QStringLiteral("stejné jméno a telefon");
        return {};
    }
};

/// The notes keep their line breaks and tabs; every other column is one line.
bool isNote(const Column &c) {
    return c.name.startsWith(QLatin1String("POZNAMKA"));
}

void checkValues(const Values &values, const QList<Column> &columns, const QHash<QString, int> &lengths,
                 const QString &prefix, QStringList &problems) {
    for (const Column &c : columns) {
        const QString text = values.value(c.name);
        QByteArray bytes;
        QChar bad;
        if (!data::win1250::encode(text, bytes, &bad))
            problems << QStringLiteral("%1%2: znak „%3“ nelze uložit (kódování Windows-1250)")
                            .arg(prefix, c.label, bad.isSurrogate() ? text.mid(text.indexOf(bad), 2) : QString(bad));
        else if (const qsizetype at = data::win1250::firstControlCharacter(text, isNote(c));
                 at >= 0)
            problems << QStringLiteral("%1%2: neviditelný řídicí znak U+%3 nelze uložit")
                            .arg(prefix, c.label)
                            .arg(text.at(at).unicode(), 4, 16, QLatin1Char('0'));
        else if (lengths.contains(c.name) && bytes.size() > lengths.value(c.name))
            problems << QStringLiteral("%1%2: text má %3 znaků, vejde se jen %4")
                            .arg(prefix, c.label)
                            .arg(bytes.size())
                            .arg(lengths.value(c.name));
    }
}

QString whoOf(const Entry &e) {
    const QString name = displayName(e.contact);
    if (!name.isEmpty())
        return name;
    if (!e.contact.value(QStringLiteral("EMAIL1")).isEmpty())
        return e.contact.value(QStringLiteral("EMAIL1"));
    return e.companyName().isEmpty() ? QStringLiteral("(bez jména)") : e.companyName();
}

class Planner {
public:
    explicit Planner(const ExistingData &existing) : m_existing(existing) {
        for (const ExistingData::Contact &c : existing.contacts)
            remember(Identity::of(c.firstName, c.surname, c.emails, c.phones));
        for (qsizetype i = existing.companies.size() - 1; i >= 0; --i) // the lowest ID wins a shared name
            m_existingByName.insert(foldCase(existing.companies[i].name), &existing.companies[i]);
    }

    ImportPlan run(const QList<Entry> &entries) {
        for (const Entry &e : entries)
            take(e);
        return m_plan;
    }

private:
    void take(const Entry &e) {
        const QString who = whoOf(e);
        const bool nameless = displayName(e.contact).isEmpty() && e.contact.value(QStringLiteral("EMAIL1")).isEmpty();
        if (e.companyName().isEmpty() && (e.companyOnly || nameless)) {
            m_plan.refused << RefusedEntry{who, {QStringLiteral("záznam nemá jméno ani firmu")}};
            return;
        }
        QStringList problems;
        checkValues(e.contact, contactColumns(), m_existing.contactLengths, QString(), problems);
        checkValues(e.company, companyColumns(), m_existing.companyLengths, QStringLiteral("Firma – "), problems);
        if (!problems.isEmpty()) {
            m_plan.refused << RefusedEntry{who, problems};
            return;
        }
        const int company = companyFor(e);
        if (e.companyOnly) {
            m_plan.companies[company].wanted = true;
            return;
        }
        PlannedContact planned{e, company, {}, true};
        const Identity identity = Identity::of(e.contact);
        for (auto it = m_known.constFind(identity.name); it != m_known.cend() && it.key() == identity.name; ++it) {
            planned.duplicateOf = identity.sameAs(*it);
            if (!planned.duplicateOf.isEmpty())
                break;
        }
        planned.selected = planned.duplicateOf.isEmpty();
        remember(identity);
        m_plan.contacts << planned;
    }

    int companyFor(const Entry &e) {
        const QString name = e.companyName().isEmpty() ? kNoCompanyName : e.companyName();
        const QString key = foldCase(name);
        if (m_planned.contains(key))
            return m_planned.value(key);
        PlannedCompany company;
        company.name = name;
        if (const ExistingData::Company *c = m_existingByName.value(key)) {
            company.existingId = c->id;
            company.placeholderId = c->placeholderId;
            company.name = c->name;
        }
        if (!company.existingId) {
            company.values = e.company;
            company.values[QStringLiteral("NAZEV_FIRMA")] = name;
        }
        m_plan.companies << company;
        m_planned.insert(key, int(m_plan.companies.size() - 1));
        return int(m_plan.companies.size() - 1);
    }

    void remember(const Identity &identity) { m_known.insert(identity.name, identity); }

    const ExistingData &m_existing;
    ImportPlan m_plan;
    QHash<QString, int> m_planned; ///< folded name → index
    QHash<QString, const ExistingData::Company *> m_existingByName;
    QMultiHash<QString, Identity> m_known; ///< by folded name

};

} // namespace

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
    return int(std::count_if(contacts.begin(), contacts.end(), [](const PlannedContact &c) { return c.selected; }));
}

ImportPlan planImport(const QList<Entry> &entries, const ExistingData &existing) {
    return Planner(existing).run(entries);
}

QStringList describePlan(const ImportPlan &plan) {
    QStringList lines;
    for (int i : plan.companiesToCreate())
        lines << QStringLiteral("Nová firma: %1").arg(plan.companies[i].name);
    for (const PlannedContact &c : plan.contacts) {
        const PlannedCompany &company = plan.companies[c.company];
        const QString target = company.name + (company.existingId ? QString() : QStringLiteral(" (nová)"));
        if (c.selected)
            lines << QStringLiteral("Nový kontakt: %1 → %2").arg(whoOf(c.entry), target) +
                         (c.duplicateOf.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(c.duplicateOf));
        else
            lines << QStringLiteral("Přeskočeno, už existuje (%1): %2 → %3").arg(c.duplicateOf, whoOf(c.entry), target);
    }
    for (const RefusedEntry &r : plan.refused)
        lines << QStringLiteral("Odmítnuto: %1 – %2").arg(r.who, r.problems.join(QStringLiteral("; ")));
    return lines;
}

} // namespace io
