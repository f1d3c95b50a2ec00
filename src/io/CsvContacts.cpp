#include "io/CsvContacts.h"

#include "io/ReachSlots.h"
#include "io/VCardContacts.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace io {
namespace {

const QString kPhotoHeader = QStringLiteral("Fotografie");
const QString kCompanyHeader = QStringLiteral("Firma");
const QString kCompanyKeyHeader =
    QStringLiteral("Firma – ID"); // the exporting register's company ID

QString companyHeader(const Column &c) {
    return c.name == QLatin1String("NAZEV_FIRMA")
               ? kCompanyHeader
               : kCompanyHeader + QStringLiteral(" – ") + c.label;
}

// ---- this program's own layout -------------------------------------------

/// Our own files, and tables a user made with our Czech column names.
bool isOwnLayout(const QStringList &header) {
    for (const QString &h : header)
        if (h.trimmed() == QStringLiteral("Příjmení") || h.trimmed() == QStringLiteral("Jméno"))
            return true;
    return false;
}

/// Where each column of our own layout is in a table's header, found once
/// for all its rows.
struct OwnLayout {
    struct Place {
        int cell;
        const QString *column;
        bool company;
    };
    QList<Place> places;
    QList<int> others; ///< cells of no column: kept in the note on the means of contact
    int photo = -1, companyKey = -1;

    explicit OwnLayout(const QStringList &header) {
        QHash<QString, int> index;
        for (int i = 0; i < header.size(); ++i)
            index.insert(header[i].trimmed(), i);
        QSet<QString> known{kPhotoHeader, kCompanyKeyHeader};
        for (const Column &c : contactColumns()) {
            known << c.label;
            if (index.contains(c.label))
                places << Place{index[c.label], &c.name, false};
        }
        for (const Column &c : companyColumns()) {
            known << companyHeader(c);
            if (index.contains(companyHeader(c)))
                places << Place{index[companyHeader(c)], &c.name, true};
        }
        photo = index.value(kPhotoHeader, -1);
        companyKey = index.value(kCompanyKeyHeader, -1);
        for (int i = 0; i < header.size(); ++i)
            if (!known.contains(header[i].trimmed()))
                others << i;
    }
};

QList<Entry> ownEntries(const CsvTable &table) {
    const OwnLayout layout(table.header);
    QList<Entry> entries;
    entries.reserve(table.rows.size());
    for (int r = 0; r < table.rows.size(); ++r) {
        const QStringList &row = table.rows[r];
        Entry e;
        for (const OwnLayout::Place &p : layout.places)
            if (const QString text = fromSpreadsheetText(row[p.cell]); !text.isEmpty())
                (p.company ? e.company : e.contact).insert(*p.column, text);
        if (layout.companyKey >= 0)
            e.companyKey = fromSpreadsheetText(row[layout.companyKey]).trimmed();
        if (const QString photo =
                layout.photo >= 0 ? fromSpreadsheetText(row[layout.photo]).trimmed() : QString();
            !photo.isEmpty()) {
            auto decoded = QByteArray::fromBase64Encoding(photo.toLatin1(),
                                                          QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                e.warnings << QStringLiteral(
                                  "řádek %1: fotografie nemá platná data base64, vynechána")
                                  .arg(table.rowLines[r]);
            else if (!looksLikeImage(decoded.decoded))
                e.warnings << QStringLiteral("řádek %1: fotografie není obrázek, vynechána")
                                  .arg(table.rowLines[r]);
            else
                e.photo = decoded.decoded;
        }
        ReachSlots reach(e.contact);
        for (int i : layout.others)
            reach.overflow(table.header[i].trimmed(), fromSpreadsheetText(row[i]));
        e.companyOnly = e.contact.isEmpty() && e.photo.isEmpty();
        entries << std::move(e);
    }
    return entries;
}

// ---- other programs' layouts, through the card reader ----------------------

QString escapeText(const QString &text) {
    QString out = text;
    out.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    out.replace(QLatin1String(";"), QLatin1String("\\;"));
    out.replace(QLatin1String(","), QLatin1String("\\,"));
    out.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    out.replace(QLatin1String("\n"), QLatin1String("\\n"));
    return out;
}

/// "3/12/1970" (Outlook), "12.3.1970", "1970-03-12" → "1970-03-12"; "0/0/00" → "".
QString isoBirthday(const QString &text) {
    for (const char *format : {"yyyy-MM-dd", "M/d/yyyy", "d.M.yyyy"}) {
        const QDate date = QDate::fromString(text.trimmed(), QString::fromLatin1(format));
        if (date.isValid())
            return date.toString(Qt::ISODate);
    }
    static const QRegularExpression empty(QStringLiteral("^[0/.\\s-]*$"));
    return empty.match(text).hasMatch() ? QString() : text;
}

/// One CSV row gathered into a card, so that the card reader's rules place
/// every value.
class RowCard {
  public:
    void take(const QString &header, const QString &value) {
        const QString h = header.trimmed().toLower();
        if (value.trimmed().isEmpty() || takeSimple(h, value) || takeAddress(h, value) ||
            takeIndexed(h, value))
            return;
        static const QStringList ignored{
            QStringLiteral("group membership"), QStringLiteral("labels"),
            QStringLiteral("categories"),       QStringLiteral("sensitivity"),
            QStringLiteral("priority"),         QStringLiteral("initials")};
        if (!ignored.contains(h))
            m_unknown << std::pair(header.trimmed(), value);
    }

    Entry finish() {
        add(QStringLiteral("N"), joinComponents(m_name, 5));
        if (!m_org[0].isEmpty() || !m_org[1].isEmpty())
            add(QStringLiteral("ORG"), joinComponents(m_org, 2));
        if (!m_birth[0].isEmpty() && !m_birth[1].isEmpty() && !m_birth[2].isEmpty())
            add(QStringLiteral("BDAY"), QStringLiteral("%1-%2-%3")
                                            .arg(m_birth[0].toInt(), 4, 10, QLatin1Char('0'))
                                            .arg(m_birth[1].toInt(), 2, 10, QLatin1Char('0'))
                                            .arg(m_birth[2].toInt(), 2, 10, QLatin1Char('0')));
        static const QStringList knownKinds{QStringLiteral("work"), QStringLiteral("home"),
                                            QStringLiteral("other")};
        for (auto it = m_addresses.cbegin(); it != m_addresses.cend(); ++it)
            add(QStringLiteral("ADR"), joinComponents(it.value(), 7),
                knownKinds.contains(it.key()) ? QStringList{it.key()} : QStringList());
        Entry e = entriesFromVCards({m_card}).first();
        ReachSlots reach(e.contact);
        for (const auto &[header, value] : m_unknown)
            reach.overflow(header, value);
        return e;
    }

  private:
    static QString joinComponents(const QStringList &parts, int count) {
        QStringList escaped;
        for (int i = 0; i < count; ++i)
            escaped << escapeText(parts.value(i));
        return escaped.join(QLatin1Char(';'));
    }

    void add(const QString &name, const QString &raw, const QStringList &types = {}) {
        VCardProperty p;
        p.name = name;
        p.rawValue = raw;
        for (const QString &t : types)
            p.params.insert(QStringLiteral("TYPE"), t);
        m_card.properties << p;
    }
    void addText(const QString &name, const QString &value, const QStringList &types = {}) {
        // Google puts several values into one cell, separated by " ::: ".
        for (const QString &v : value.split(QStringLiteral(" ::: ")))
            add(name, escapeText(v.trimmed()), types);
    }

    bool takeSimple(const QString &h, const QString &v) {
        static const QHash<QString, int> nameParts{
            {QStringLiteral("last name"), 0},   {QStringLiteral("family name"), 0},
            {QStringLiteral("first name"), 1},  {QStringLiteral("given name"), 1},
            {QStringLiteral("middle name"), 2}, {QStringLiteral("additional name"), 2},
            {QStringLiteral("title"), 3},       {QStringLiteral("name prefix"), 3},
            {QStringLiteral("suffix"), 4},      {QStringLiteral("name suffix"), 4}};
        static const QHash<QString, QStringList> phones{
            {QStringLiteral("business phone"), {QStringLiteral("work")}},
            {QStringLiteral("business phone 2"), {QStringLiteral("work")}},
            {QStringLiteral("company main phone"), {QStringLiteral("work")}},
            {QStringLiteral("work phone"), {QStringLiteral("work")}},
            {QStringLiteral("home phone"), {QStringLiteral("home")}},
            {QStringLiteral("home phone 2"), {QStringLiteral("home")}},
            {QStringLiteral("mobile phone"), {QStringLiteral("cell")}},
            {QStringLiteral("mobile number"), {QStringLiteral("cell")}},
            {QStringLiteral("business fax"), {QStringLiteral("work"), QStringLiteral("fax")}},
            {QStringLiteral("fax number"), {QStringLiteral("fax")}},
            {QStringLiteral("home fax"), {QStringLiteral("home"), QStringLiteral("fax")}},
            {QStringLiteral("other fax"), {QStringLiteral("fax")}},
            {QStringLiteral("pager"), {QStringLiteral("pager")}},
            {QStringLiteral("pager number"), {QStringLiteral("pager")}},
            {QStringLiteral("other phone"), {QStringLiteral("other")}},
            {QStringLiteral("primary phone"), {}},
            {QStringLiteral("car phone"), {QStringLiteral("car")}}};
        static const QStringList emails{
            QStringLiteral("e-mail address"), QStringLiteral("e-mail 2 address"),
            QStringLiteral("e-mail 3 address"), QStringLiteral("primary email"),
            QStringLiteral("secondary email")};
        static const QStringList webs{QStringLiteral("web page"), QStringLiteral("web page 1"),
                                      QStringLiteral("web page 2"),
                                      QStringLiteral("personal web page")};
        if (nameParts.contains(h))
            m_name[nameParts[h]] = v;
        else if (h == QLatin1String("name") || h == QLatin1String("display name"))
            addText(QStringLiteral("FN"), v);
        else if (h == QLatin1String("company") || h == QLatin1String("organization") ||
                 h == QLatin1String("organization name"))
            m_org[0] = v;
        else if (h == QLatin1String("department") || h == QLatin1String("organization department"))
            m_org[1] = v;
        else if (h == QLatin1String("job title") || h == QLatin1String("organization title"))
            addText(QStringLiteral("TITLE"), v);
        else if (h == QLatin1String("notes"))
            add(QStringLiteral("NOTE"), escapeText(v));
        else if (h == QLatin1String("birthday"))
            add(QStringLiteral("BDAY"), escapeText(isoBirthday(v)));
        else if (h == QLatin1String("birth year"))
            m_birth[0] = v;
        else if (h == QLatin1String("birth month"))
            m_birth[1] = v;
        else if (h == QLatin1String("birth day"))
            m_birth[2] = v;
        else if (phones.contains(h))
            addText(QStringLiteral("TEL"), v, phones[h]);
        else if (emails.contains(h))
            addText(QStringLiteral("EMAIL"), v);
        else if (webs.contains(h))
            addText(QStringLiteral("URL"), v);
        else if (h == QLatin1String("skype"))
            addText(QStringLiteral("X-SKYPE"), v);
        else if (h == QLatin1String("icq"))
            addText(QStringLiteral("X-ICQ"), v);
        else if (h == QLatin1String("photo"))
            add(QStringLiteral("PHOTO"), escapeText(v));
        else
            return false;
        return true;
    }

    /// "Business Street", "Home City", "Work ZipCode" and the like.
    bool takeAddress(const QString &h, const QString &v) {
        static const QRegularExpression re(
            QStringLiteral("^(business|work|home|other) (street|street 2|street 3|address|address "
                           "2|city|state|postal code|zipcode|"
                           "zip code|country/region|country|po box)$"));
        const auto m = re.match(h);
        if (!m.hasMatch())
            return false;
        const QString kind =
            m.captured(1) == QLatin1String("business") ? QStringLiteral("work") : m.captured(1);
        setAddressPart(kind, m.captured(2), v);
        return true;
    }

    void setAddressPart(const QString &kind, const QString &part, const QString &v) {
        QStringList &a = m_addresses[kind];
        while (a.size() < 7)
            a << QString();
        static const QHash<QString, int> index{{QStringLiteral("po box"), 0},
                                               {QStringLiteral("street 2"), 1},
                                               {QStringLiteral("street 3"), 1},
                                               {QStringLiteral("address 2"), 1},
                                               {QStringLiteral("extended address"), 1},
                                               {QStringLiteral("street"), 2},
                                               {QStringLiteral("address"), 2},
                                               {QStringLiteral("city"), 3},
                                               {QStringLiteral("state"), 4},
                                               {QStringLiteral("region"), 4},
                                               {QStringLiteral("postal code"), 5},
                                               {QStringLiteral("zipcode"), 5},
                                               {QStringLiteral("zip code"), 5},
                                               {QStringLiteral("country/region"), 6},
                                               {QStringLiteral("country"), 6}};
        const int i = index.value(part, -1);
        if (i < 0)
            return;
        a[i] = a[i].isEmpty() ? v : a[i] + QStringLiteral(", ") + v;
    }

    /// Google's numbered groups: "Phone 1 - Type" and "Phone 1 - Value".
    bool takeIndexed(const QString &h, const QString &v) {
        static const QRegularExpression re(
            QStringLiteral("^(e-mail|phone|address|website|organization|im) (\\d+) - (.+)$"));
        const auto m = re.match(h);
        if (!m.hasMatch())
            return false;
        const QString kind = m.captured(1);
        const QString key = kind + m.captured(2);
        const QString part = m.captured(3);
        if (part == QLatin1String("type") || part == QLatin1String("label")) {
            m_types[key] = v.toLower().remove(QLatin1Char('*')).simplified();
            return true;
        }
        if (part == QLatin1String("formatted"))
            return true; // the parts travel separately
        const QStringList types = typesOf(m_types.value(key));
        if (kind == QLatin1String("phone") && part == QLatin1String("value"))
            addText(QStringLiteral("TEL"), v, types);
        else if (kind == QLatin1String("e-mail") && part == QLatin1String("value"))
            addText(QStringLiteral("EMAIL"), v, types);
        else if (kind == QLatin1String("website") && part == QLatin1String("value"))
            addText(QStringLiteral("URL"), v);
        else if (kind == QLatin1String("im") && part == QLatin1String("value"))
            addText(QStringLiteral("IMPP"),
                    m_types.value(kind + m.captured(2) + QStringLiteral("service")) +
                        QLatin1Char(':') + v);
        else if (kind == QLatin1String("im") && part == QLatin1String("service"))
            m_types[key + QStringLiteral("service")] = v.toLower();
        else if (kind == QLatin1String("organization") && part == QLatin1String("name"))
            m_org[0] = v;
        else if (kind == QLatin1String("organization") && part == QLatin1String("department"))
            m_org[1] = v;
        else if (kind == QLatin1String("organization") && part == QLatin1String("title"))
            addText(QStringLiteral("TITLE"), v);
        else if (kind == QLatin1String("address"))
            setAddressPart(types.contains(QStringLiteral("work"))   ? QStringLiteral("work")
                           : types.contains(QStringLiteral("home")) ? QStringLiteral("home")
                                                                    : key,
                           part, v);
        else
            return false;
        return true;
    }

    /// "Work Fax" → work, fax; "Mobile" → cell.
    static QStringList typesOf(const QString &label) {
        QStringList types;
        for (const QString &word : label.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            types << (word == QLatin1String("mobile") ? QStringLiteral("cell") : word);
        return types;
    }

    VCard m_card{QStringLiteral("3.0"), {}, 0, {}};
    QStringList m_name{QString(), QString(), QString(), QString(), QString()};
    QStringList m_org{QString(), QString()};
    QStringList m_birth{QString(), QString(), QString()};
    QMap<QString, QStringList> m_addresses; ///< by kind (work, home, …)
    QHash<QString, QString> m_types;        ///< Google's "Phone 1 - Type" by "phone1"
    QList<std::pair<QString, QString>> m_unknown;
};

} // namespace

namespace {

/// Starts with a character a spreadsheet evaluates, after any apostrophes.
bool startsLikeFormula(const QString &text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char('\''))
        ++i;
    return i < text.size() && QStringLiteral("=+-@\t\r").contains(text[i]);
}

} // namespace

QString spreadsheetText(const QString &text) {
    return startsLikeFormula(text) ? QLatin1Char('\'') + text : text;
}

QString fromSpreadsheetText(const QString &cell) {
    // Every cell of a file comes through here: the first character is looked at directly.
    const bool quoted = !cell.isEmpty() && cell.front() == QLatin1Char('\'');
    return quoted && startsLikeFormula(cell.mid(1)) ? cell.mid(1) : cell;
}

const QStringList &ownCsvHeader() {
    static const QStringList header = [] {
        QStringList h;
        for (const Column &c : contactColumns())
            h << c.label;
        h << kPhotoHeader;
        for (const Column &c : companyColumns())
            h << companyHeader(c);
        h << kCompanyKeyHeader;
        return h;
    }();
    return header;
}

QStringList ownCsvRow(const Entry &e) {
    QStringList row = textsInOrder(e.contact, contactColumns());
    row << QString::fromLatin1(e.photo.toBase64());
    row << textsInOrder(e.company, companyColumns());
    for (QString &cell : row)
        cell = spreadsheetText(cell);
    row << e.companyKey;
    return row;
}

bool writeContactsCsv(const QList<Entry> &entries, CsvDialect dialect, QByteArray &out,
                      QString *error) {
    QList<QStringList> rows;
    rows.reserve(entries.size());
    for (const Entry &e : entries)
        rows << ownCsvRow(e);
    return writeCsv(ownCsvHeader(), rows, dialect, out, error);
}

QList<Entry> entriesFromCsv(const CsvTable &table) {
    if (isOwnLayout(table.header))
        return ownEntries(table);
    QList<Entry> entries;
    for (const QStringList &row : table.rows) {
        RowCard card;
        for (int i = 0; i < table.header.size(); ++i)
            card.take(table.header[i], row[i]);
        entries << card.finish();
    }
    return entries;
}

} // namespace io
