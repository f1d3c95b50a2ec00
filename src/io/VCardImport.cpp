// Parsed cards → entries, as phone and mail programs write them.
#include "io/VCardContacts.h"

#include "io/ReachSlots.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>

namespace io {
namespace {

const QString kFirmaGroup = QStringLiteral("firma");

/// Apple and Google name a value through a sibling "itemN.X-ABLabel": the labels by group.
QHash<QString, QString> groupLabels(const VCard &card) {
    static const QRegularExpression apple(QStringLiteral("^_\\$!<(.*)>!\\$_$"));
    QHash<QString, QString> labels;
    for (const VCardProperty &p : card.properties)
        if (!p.group.isEmpty() && p.name == QLatin1String("X-ABLABEL") &&
            !labels.contains(p.group)) {
            const QString label = p.text();
            const auto match = apple.match(label);
            labels.insert(p.group, match.hasMatch() ? match.captured(1) : label);
        }
    return labels;
}

/// "tel:+420 123" and "mailto:a@b" as version 4.0 writes them → the bare value.
QString stripScheme(const QString &value, const char *scheme) {
    const QString prefix = QString::fromLatin1(scheme) + QLatin1Char(':');
    return value.startsWith(prefix, Qt::CaseInsensitive) ? value.mid(prefix.size()) : value;
}

/// "19700312", "1970-03-12", "1970-03-12T00:00:00Z", "--0312" → "12.3.1970" (or "12.3.").
QString birthdayText(const QString &value) {
    static const QRegularExpression full(QStringLiteral("^(\\d{4})-?(\\d{2})-?(\\d{2})(T.*)?$"));
    static const QRegularExpression noYear(QStringLiteral("^--(\\d{2})-?(\\d{2})$"));
    if (const auto m = full.match(value.trimmed()); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (date.isValid())
            return date.toString(QStringLiteral("d.M.yyyy"));
    }
    if (const auto m = noYear.match(value.trimmed()); m.hasMatch())
        return QStringLiteral("%1.%2.").arg(m.captured(2).toInt()).arg(m.captured(1).toInt());
    return value.trimmed();
}

class CardReader {
  public:
    explicit CardReader(const VCard &card)
        : m_card(card), m_labels(groupLabels(card)), m_slots(m_entry.contact) {}

    Entry read() {
        m_entry.warnings = m_card.problems;
        for (const VCardProperty &p : m_card.properties) {
            if (!p.problem.isEmpty())
                m_entry.warnings
                    << QStringLiteral("řádek %1: %2, vynecháno").arg(p.line).arg(p.problem);
            else if (p.group !=
                     kFirmaGroup) // the company's stand-ins travel again as its own columns
                take(p);
        }
        finish();
        return m_entry;
    }

  private:
    void set(const char *column, const QString &value) {
        if (!value.isEmpty())
            m_entry.contact[QString::fromLatin1(column)] = value;
    }

    void take(const VCardProperty &p) {
        const QString &n = p.name;
        if (n == QLatin1String("N"))
            readName(p.components());
        else if (n == QLatin1String("FN"))
            m_formattedName = p.text().trimmed();
        else if (n == QLatin1String("ORG"))
            readOrganisation(p);
        else if (n == QLatin1String("TITLE") || n == QLatin1String("ROLE"))
            m_slots.append(QStringLiteral("POZICE"), p.text(), QStringLiteral(", "));
        else if (n == QLatin1String("TEL"))
            readPhone(p);
        else if (n == QLatin1String("EMAIL"))
            readEmail(p);
        else if (n == QLatin1String("URL"))
            m_slots.put({QStringLiteral("WWW")}, p.text(), QStringLiteral("WWW"));
        else if (n == QLatin1String("ADR"))
            readAddress(p);
        else if (n == QLatin1String("NOTE"))
            m_slots.append(QStringLiteral("POZNAMKA"), p.text(), QStringLiteral("\n"));
        else if (n == QLatin1String("BDAY"))
            m_birthday = birthdayText(p.text());
        else if (n == QLatin1String("PHOTO"))
            readPhoto(p);
        else if (n == QLatin1String("KIND") || n == QLatin1String("X-ABSHOWAS"))
            m_organisationCard =
                p.text().trimmed().compare(QLatin1String("org"), Qt::CaseInsensitive) == 0 ||
                p.text().trimmed().compare(QLatin1String("company"), Qt::CaseInsensitive) == 0;
        else if (n == QLatin1String("X-ICQ"))
            m_slots.put({QStringLiteral("ICQ")}, p.text(), QStringLiteral("ICQ"));
        else if (n == QLatin1String("X-SKYPE") || n == QLatin1String("X-SKYPE-USERNAME"))
            m_slots.put({QStringLiteral("SKYPE")}, p.text(), QStringLiteral("Skype"));
        else if (n == QLatin1String("IMPP") || n.startsWith(QLatin1String("X-MESSAGING/")) ||
                 n == QLatin1String("X-JABBER") || n == QLatin1String("X-AIM") ||
                 n == QLatin1String("X-MSN"))
            readMessenger(p);
        else if (n == kCompanyExtensionPrefix + QStringLiteral("ID"))
            m_entry.companyKey = p.text().trimmed();
        else if (n.startsWith(kCompanyExtensionPrefix))
            takeColumn(m_entry.company, companyColumns(), n.mid(kCompanyExtensionPrefix.size()),
                       p.text());
        else if (n.startsWith(kExtensionPrefix))
            takeColumn(m_entry.contact, contactColumns(), n.mid(kExtensionPrefix.size()), p.text());
    }

    static void takeColumn(Values &values, const QList<Column> &columns, const QString &name,
                           const QString &value) {
        for (const Column &c : columns)
            if ((c.name == name || extensionName({}, c.name) == name) && !value.isEmpty())
                values[c.name] = value;
    }

    void readName(const QStringList &n) {
        m_hasName = true;
        set("PRIJMENI", n.value(0));
        QString given = n.value(1);
        if (!n.value(2).isEmpty()) // middle names stay with the first name
            given += (given.isEmpty() ? QString() : QStringLiteral(" ")) + n.value(2);
        set("JMENO", given);
        set("TITUL_PRED", n.value(3));
        set("TITUL_ZA", n.value(4));
    }

    /// The first ORG, or the first marked preferred, is the company; any
    /// other is kept in the note.
    void readOrganisation(const VCardProperty &p) {
        const QStringList org = p.components();
        if (org.value(0).trimmed().isEmpty())
            return;
        const bool preferred =
            p.hasType(QStringLiteral("pref")) || p.params.contains(QStringLiteral("PREF"));
        if (m_organisation && (m_organisationPreferred || !preferred)) {
            m_slots.overflow(QStringLiteral("Další firma"),
                             QStringList(org)
                                 .filter(QRegularExpression(QStringLiteral("\\S")))
                                 .join(QStringLiteral(", ")));
            return;
        }
        if (m_organisation) // a preferred one after the first: the first goes to the note
            m_slots.overflow(QStringLiteral("Další firma"), m_organisationText);
        m_organisation = true;
        m_organisationPreferred = preferred;
        m_organisationText = QStringList(org)
                                 .filter(QRegularExpression(QStringLiteral("\\S")))
                                 .join(QStringLiteral(", "));
        m_entry.company[QStringLiteral("NAZEV_FIRMA")] = org.value(0);
        m_entry.contact.remove(QStringLiteral("POPIS"));
        const QStringList units = org.mid(1);
        QStringList nonEmpty;
        for (const QString &u : units)
            if (!u.isEmpty())
                nonEmpty << u;
        set("POPIS", nonEmpty.join(QStringLiteral(", ")));
    }

    QString describe(const VCardProperty &p, const QString &what) const {
        const QString label = m_labels.value(p.group);
        if (!label.isEmpty())
            return what + QStringLiteral(" (") + label + QLatin1Char(')');
        QStringList types = p.params.values(QStringLiteral("TYPE"));
        types.removeAll(QStringLiteral("pref"));
        types.removeAll(QStringLiteral("internet"));
        types.removeAll(QStringLiteral("voice"));
        return types.isEmpty() ? what
                               : what + QStringLiteral(" (") + types.join(QStringLiteral(", ")) +
                                     QLatin1Char(')');
    }

    void readPhone(const VCardProperty &p) {
        const QString number = stripScheme(p.text(), "tel");
        const QString column = p.params.value(QStringLiteral("X-COLUMN"));
        if (column == QLatin1String("TELEFON2")) {
            m_slots.put({column}, number, describe(p, QStringLiteral("Telefon")));
            return;
        }
        const QString label = m_labels.value(p.group).toLower();
        if (p.hasType(QStringLiteral("fax")) || label.contains(QLatin1String("fax")))
            m_slots.put({QStringLiteral("FAX")}, number, describe(p, QStringLiteral("Fax")));
        else if (p.hasType(QStringLiteral("cell")) || p.hasType(QStringLiteral("mobile")) ||
                 p.hasType(QStringLiteral("iphone")) || label.contains(QLatin1String("mobil")))
            m_slots.put({QStringLiteral("MOBIL")}, number, describe(p, QStringLiteral("Mobil")));
        else
            m_slots.put({QStringLiteral("TELEFON1"), QStringLiteral("TELEFON2")}, number,
                        describe(p, QStringLiteral("Telefon")));
    }

    void readEmail(const VCardProperty &p) {
        const QString address = stripScheme(p.text(), "mailto");
        if (p.params.value(QStringLiteral("X-COLUMN")) == QLatin1String("EMAIL2"))
            m_slots.put({QStringLiteral("EMAIL2")}, address, describe(p, QStringLiteral("E-mail")));
        else if (p.hasType(QStringLiteral("pref")) ||
                 p.params.value(QStringLiteral("PREF")) == QLatin1String("1"))
            m_slots.putFirst({QStringLiteral("EMAIL1"), QStringLiteral("EMAIL2")}, address,
                             describe(p, QStringLiteral("E-mail")));
        else
            m_slots.put({QStringLiteral("EMAIL1"), QStringLiteral("EMAIL2")}, address,
                        describe(p, QStringLiteral("E-mail")));
    }

    void readMessenger(const VCardProperty &p) {
        QString value = p.text().trimmed();
        const QString service =
            (p.params.value(QStringLiteral("X-SERVICE-TYPE")) + QLatin1Char(' ') + p.name +
             QLatin1Char(' ') + value.section(QLatin1Char(':'), 0, 0))
                .toLower();
        if (p.name == QLatin1String("IMPP"))
            value = value.section(QLatin1Char(':'), 1); // the scheme names the service
        if (service.contains(QLatin1String("skype")))
            m_slots.put({QStringLiteral("SKYPE")}, value, QStringLiteral("Skype"));
        else if (service.contains(QLatin1String("icq")))
            m_slots.put({QStringLiteral("ICQ")}, value, QStringLiteral("ICQ"));
        else
            m_slots.put({QStringLiteral("DALSI1"), QStringLiteral("DALSI2")}, p.text().trimmed(),
                        describe(p, QStringLiteral("Spojení")));
    }

    void readAddress(const VCardProperty &p) {
        const QStringList a = p.components();
        QString town = a.value(3);
        if (!a.value(4).isEmpty()) // no column for the region: it stays beside the town
            town += (town.isEmpty() ? QString() : QStringLiteral(", ")) + a.value(4);
        QString street2 = a.value(1);
        if (!a.value(0).isEmpty()) // nor for the post-office box
            street2 += (street2.isEmpty() ? QString() : QStringLiteral(", ")) + a.value(0);
        m_addresses.append({p.hasType(QStringLiteral("work")),
                            {a.value(2), street2, town, a.value(5), a.value(6)},
                            describe(p, QStringLiteral("Adresa"))});
    }

    /// The contact keeps its first home address (else its first work address);
    /// the first work address is the seat of a company the import creates;
    /// any further address is kept in the note.
    void placeAddresses() {
        qsizetype own = -1, seat = -1;
        for (qsizetype i = 0; i < m_addresses.size(); ++i) {
            if (m_addresses[i].work && seat < 0)
                seat = i;
            if (!m_addresses[i].work && own < 0)
                own = i;
        }
        if (own < 0)
            own = seat;
        const bool companyColumnsGiven = hasCompanyColumns();
        for (qsizetype i = 0; i < m_addresses.size(); ++i) {
            const PostalAddress &a = m_addresses[i];
            if (i == own)
                setAddress(m_entry.contact, QString(), a.parts);
            if (i == seat && !companyColumnsGiven)
                setAddress(m_entry.company, QStringLiteral("_FS"), a.parts);
            if (i != own && i != seat)
                m_slots.overflow(a.description,
                                 QStringList(a.parts)
                                     .filter(QRegularExpression(QStringLiteral("\\S")))
                                     .join(QStringLiteral(", ")));
        }
    }

    static void setAddress(Values &values, const QString &suffix, const QStringList &parts) {
        const char *stems[] = {"ADRESA", "ULICE", "OBEC", "PSC", "STAT"};
        for (int i = 0; i < 5; ++i) {
            const QString column = QString::fromLatin1(stems[i]) + suffix;
            if (parts[i].isEmpty())
                values.remove(column);
            else
                values[column] = parts[i];
        }
    }

    void readPhoto(const VCardProperty &p) {
        if (!p.binary.isEmpty()) {
            if (!looksLikeImage(p.binary))
                m_entry.warnings
                    << QStringLiteral("řádek %1: PHOTO není obrázek, vynecháno").arg(p.line);
            else if (m_entry.photo.isEmpty())
                m_entry.photo = p.binary;
            return;
        }
        if (!p.text().trimmed().isEmpty()) // a link: the picture is not fetched, the link is kept
            m_slots.overflow(QStringLiteral("Fotografie"), p.text().trimmed());
    }

    void finish() {
        if (!m_entry.contact.contains(QStringLiteral("NAROZENINY")))
            set("NAROZENINY", m_birthday);
        if (!m_hasName || (!m_entry.contact.contains(QStringLiteral("PRIJMENI")) &&
                           !m_entry.contact.contains(QStringLiteral("JMENO")))) {
            // Without N the formatted name is all there is: the last word is the surname.
            if (!m_formattedName.isEmpty() && m_formattedName != m_entry.companyName() &&
                !m_organisationCard) {
                const qsizetype space = m_formattedName.lastIndexOf(QLatin1Char(' '));
                set("PRIJMENI", m_formattedName.mid(space + 1));
                set("JMENO", space > 0 ? m_formattedName.left(space) : QString());
            }
        }
        if (m_entry.company.value(QStringLiteral("NAZEV_FIRMA")).isEmpty() && m_organisationCard)
            m_entry.company[QStringLiteral("NAZEV_FIRMA")] = m_formattedName;
        placeAddresses();
        m_entry.companyOnly = m_organisationCard && displayName(m_entry.contact).isEmpty();
        if (m_entry.companyOnly)
            moveToCompany();
    }

    /// What a company card holds beyond its name belongs to the company
    /// (a picture has no place there).
    void moveToCompany() {
        static const std::pair<const char *, const char *> moves[] = {
            {"TELEFON1", "TELEFON1"}, {"TELEFON2", "TELEFON2"},
            {"MOBIL", "MOBIL"},       {"FAX", "FAX"},
            {"EMAIL1", "EMAIL1"},     {"EMAIL2", "EMAIL2"},
            {"ICQ", "ICQ"},           {"SKYPE", "SKYPE"},
            {"DALSI1", "DALSI1"},     {"DALSI2", "DALSI2"},
            {"WWW", "WWW"},           {"POPIS", "POPIS"},
            {"POZNAMKA", "POZNAMKA"}, {"POZNAMKA_KSPOJ", "POZNAMKA_FSP"},
            {"ADRESA", "ADRESA_FS"},  {"ULICE", "ULICE_FS"},
            {"OBEC", "OBEC_FS"},      {"PSC", "PSC_FS"},
            {"STAT", "STAT_FS"}};
        for (const auto &[from, to] : moves) {
            const QString value = m_entry.contact.value(QString::fromLatin1(from));
            if (!value.isEmpty() && m_entry.company.value(QString::fromLatin1(to)).isEmpty())
                m_entry.company[QString::fromLatin1(to)] = value;
        }
        m_entry.contact.clear();
        m_entry.photo.clear();
    }

    bool hasCompanyColumns() const {
        return std::any_of(
            m_card.properties.begin(), m_card.properties.end(),
            [](const VCardProperty &p) { return p.name.startsWith(kCompanyExtensionPrefix); });
    }

    const VCard &m_card;
    const QHash<QString, QString> m_labels;
    Entry m_entry;
    ReachSlots m_slots;
    struct PostalAddress {
        bool work;
        QStringList parts; ///< street 1, street 2, town, postcode, country
        QString description;
    };
    QList<PostalAddress> m_addresses;
    QString m_formattedName, m_birthday;
    bool m_hasName = false;
    bool m_organisationCard = false;
    bool m_organisation = false, m_organisationPreferred = false;
    QString m_organisationText; ///< the chosen ORG as one line, for the note when a preferred one
                                ///< follows
};

} // namespace

Entry entryFromVCard(const VCard &card) {
    return CardReader(card).read();
}

QList<Entry> entriesFromVCards(const QList<VCard> &cards) {
    QList<Entry> entries;
    entries.reserve(cards.size());
    for (const VCard &card : cards)
        entries << CardReader(card).read();
    return entries;
}

} // namespace io
