#include "data/BoardSnapshot.h"

#include "base/Win1250.h"
#include "db/DbConnection.h"
#include "db/DbError.h"

#include <QHash>

#include <algorithm>

namespace data {
namespace {

using Data = BoardSnapshot::Data;

/// Text without its trailing blanks, which the server's comparisons ignore.
QByteArrayView withoutTrailingBlanks(QByteArrayView text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    return text.first(end);
}

/// The server's order of text: byte by byte once trailing blanks are
/// dropped, a text before every longer one that starts with it (so "Alfa"
/// comes before "Alfa<TAB>Beta", although TAB is below the blank).
int compareAsServer(QByteArrayView a, QByteArrayView b) {
    return std::clamp(withoutTrailingBlanks(a).compare(withoutTrailingBlanks(b)), -1, 1);
}

/// A region that compares equal to '***' (trailing blanks do not count).
bool isPlaceholderRegion(QByteArrayView region) {
    return withoutTrailingBlanks(region) == QByteArrayView("***");
}

/// Copies one cell of `row` into the row being built, without a temporary.
void copyCell(db::PackedRow::Builder &builder, const db::PackedRow &row, int column) {
    const db::Cell::Tag tag = row.tag(column);
    switch (tag) {
    case db::Cell::Null:
        builder.addNull();
        break;
    case db::Cell::Text:
    case db::Cell::Bytes: {
        const QByteArrayView bytes = row.payload(column);
        builder.addBytes(tag, bytes.data(), int(bytes.size()));
        break;
    }
    default:
        builder.addNumber(tag, row.cell(column).num);
        break;
    }
}

/// The columns the snapshot reads of a company and of a contact.
enum FirmRead : int { FirmId, FirmName, FirmPhone, FirmMobile, FirmFax };
enum PersonRead : int {
    PersonFirm,
    PersonId,
    PersonSurname,
    PersonFirstName,
    PersonMobile,
    PersonPhone,
    PersonEmail,
    PersonRegion
};

/// A company's group line from its row (ID, name, phone, mobile, fax).
db::PackedRow groupLine(db::PackedRow::Builder &builder, const db::PackedRow &firm) {
    builder.reset(board::ColumnCount);
    copyCell(builder, firm, FirmId);
    builder.addInt(1);
    for (int column = board::Id; column <= board::Kraj; ++column)
        builder.addNull();
    for (int column = FirmName; column <= FirmFax; ++column)
        copyCell(builder, firm, column);
    return builder.finish();
}

/// The group line of the contacts of no company: NULL but for its kind.
db::PackedRow noCompanyLine(db::PackedRow::Builder &builder) {
    builder.reset(board::ColumnCount);
    builder.addNull();
    builder.addInt(1);
    for (int column = board::Id; column < board::ColumnCount; ++column)
        builder.addNull();
    return builder.finish();
}

/// A contact as kept: a byte telling whether it makes a row of its own
/// (region set and not '***'), then cells: its ID, the upper-cased surname
/// and first name, and the six columns its row shows after the ID. The
/// company's ID comes from the group line. No allocation of its own: 50,000
/// contacts cost about 90 bytes each.
struct ContactRecord {
    /// From the columns read (company, ID, surname, first name, mobile,
    /// phone, e-mail, region).
    static void write(QByteArray &record, const Data &d, const db::PackedRow &row) {
        record.clear();
        record.append(char(row.tag(PersonRegion) != db::Cell::Null &&
                           !isPlaceholderRegion(row.payload(PersonRegion))));
        compactcell::append(record, row, PersonId);
        for (const int name : {PersonSurname, PersonFirstName}) {
            if (row.tag(name) == db::Cell::Null) {
                record.append(char(db::Cell::Null));
                continue;
            }
            // Upper-cased where it lands: no copy of its own per name.
            const QByteArrayView bytes = row.payload(name);
            compactcell::appendText(record, db::Cell::Text, bytes);
            for (char *c = record.data() + record.size() - bytes.size();
                 c != record.data() + record.size(); ++c)
                *c = d.upper.upper(*c);
        }
        for (int column = PersonSurname; column <= PersonRegion; ++column)
            compactcell::append(record, row, column);
    }

    explicit ContactRecord(const char *at) : isContactRow(*at != 0), cells(at + 1) {}

    qint64 id() const { return cells.tag() == db::Cell::Int ? cells.number() : 0; }
    /// Moves past the ID to the upper-cased surname.
    compactcell::Reader names() const {
        compactcell::Reader reader = cells;
        reader.skip();
        return reader;
    }

    bool isContactRow;
    compactcell::Reader cells;
};

/// A contact's row from its record and its company's group line.
db::PackedRow contactRow(db::PackedRow::Builder &builder, const ContactRecord &person,
                         const db::PackedRow &group) {
    builder.reset(board::ColumnCount);
    copyCell(builder, group, board::IdFirma);
    builder.addInt(2);
    compactcell::Reader cells = person.cells;
    cells.copyTo(builder); // ID
    cells.skip();          // the upper-cased names
    cells.skip();
    for (int column = board::Prijmeni; column <= board::Kraj; ++column)
        cells.copyTo(builder);
    for (int column = board::NazevFirma; column < board::ColumnCount; ++column)
        copyCell(builder, group, column);
    return builder.finish();
}

QByteArray patternBytes(const QString &text) {
    QByteArray bytes;
    QChar foreign;
    if (!base::win1250::encode(text, bytes, &foreign))
        throw db::DbError(db::texts::kNotStorable.arg(foreign));
    return bytes;
}

/// One side's patterns (the contact rows' k or the group lines' f): as the
/// statement has them, or folded and with those for the further fields.
struct SidePatterns {
    SidePatterns(const Data &d, const BoardSearch &search, const QString &surname,
                 const QString &firstName, const QString &company) {
        const QByteArray p1 = patternBytes(surname), p2 = patternBytes(firstName),
                         p3 = patternBytes(company);
        auto make = [&](const QByteArray &bytes) {
            return search.ignoreAccents ? d.searchKeys().folding.fold(bytes) : d.upper.upper(bytes);
        };
        this->surname = dataset::LikePattern(make(p1));
        this->firstName = dataset::LikePattern(make(p2));
        this->company = dataset::LikePattern(make(p3));
        contactFields = search.allFields && asksForText(p1);
        companyFields = search.allFields && asksForText(p3);
        if (contactFields) {
            contactText = dataset::LikePattern(make(p1));
            contactDigits = dataset::LikePattern(d.searchKeys().folding.fold(withoutBlanks(p1)));
        }
        if (companyFields)
            companyDigits = dataset::LikePattern(d.searchKeys().folding.fold(withoutBlanks(p3)));
    }
    dataset::LikePattern surname{{}}, firstName{{}}, company{{}};
    bool contactFields = false, companyFields = false;
    dataset::LikePattern contactText{{}}, contactDigits{{}}, companyDigits{{}};
};

bool matchesCell(const dataset::LikePattern &pattern, const compactcell::Reader &cell) {
    return cell.tag() != db::Cell::Null && pattern.matches(cell.bytes());
}

/// The board's rows for one set of patterns, a run of equally named
/// companies at a time: their group lines, then their contacts. In Czech
/// order every company is a run of its own.
class BoardRows : public dataset::Dataset::RowSource {
  public:
    BoardRows(std::shared_ptr<const Data> data, const BoardPatterns &p, const BoardSearch &search)
        : m_data(std::move(data)), m_search(search), k(*m_data, search, p.k1, p.k2, p.k3),
          f(*m_data, search, p.f1, p.f2, p.f3),
          m_same(p.k1 == p.f1 && p.k2 == p.f2 && p.k3 == p.f3),
          m_keys(search.ignoreAccents || search.allFields ? &m_data->searchKeys() : nullptr),
          m_order(search.czechOrder ? &m_data->czechOrder() : nullptr) {}

    bool next(db::PackedRow &row) override {
        while (m_next == m_ready.size()) {
            if (m_run == runCount())
                return false;
            fillRun();
        }
        const Ready &ready = m_ready[m_next++];
        row = ready.contact
                  ? contactRow(m_builder,
                               ContactRecord(m_data->contactRecords.at(ready.contact->record)),
                               m_data->companies[ready.contact->company].groupLine)
                  : *ready.groupLine;
        return true;
    }

  private:
    size_t runCount() const { return m_order ? m_order->companies.size() : m_data->runEnds.size(); }

    bool matchesFirm(const SidePatterns &side, int c) const {
        const Data &d = *m_data;
        const Data::Company &firm = d.companies[c];
        if (firm.upperName.length < 0)
            return false; // NULL never matches, nor do its other fields here
        if (!m_search.ignoreAccents && side.company.matches(d.text(firm.upperName)))
            return true;
        if (!m_keys)
            return false;
        const Data::SearchKeys::CompanyKeys &keys = m_keys->companies[size_t(c)];
        if (m_search.ignoreAccents && side.company.matches(m_keys->view(keys.name)))
            return true;
        if (!side.companyFields)
            return false;
        for (const Data::Text t : {keys.phone, keys.mobile, keys.fax})
            if (t.length >= 0 && side.companyDigits.matches(m_keys->view(t)))
                return true;
        return false;
    }

    bool matchesPerson(const SidePatterns &side, int i, const ContactRecord &record) const {
        if (!m_keys) {
            const compactcell::Reader surname = record.names();
            compactcell::Reader firstName = surname;
            firstName.skip();
            return matchesCell(side.surname, surname) || matchesCell(side.firstName, firstName);
        }
        // Folded surname, folded first name, e-mail, folded e-mail, mobile, phone.
        compactcell::Reader cells(m_keys->records.at(m_keys->contacts[size_t(i)]));
        if (m_search.ignoreAccents) {
            if (matchesCell(side.surname, cells))
                return true;
            cells.skip();
            if (matchesCell(side.firstName, cells))
                return true;
            cells.skip();
        } else {
            const compactcell::Reader surname = record.names();
            compactcell::Reader firstName = surname;
            firstName.skip();
            if (matchesCell(side.surname, surname) || matchesCell(side.firstName, firstName))
                return true;
            cells.skip();
            cells.skip();
        }
        if (!side.contactFields)
            return false;
        if (!m_search.ignoreAccents && matchesCell(side.contactText, cells))
            return true;
        cells.skip();
        if (m_search.ignoreAccents && matchesCell(side.contactText, cells))
            return true;
        cells.skip();
        if (matchesCell(side.contactDigits, cells))
            return true;
        cells.skip();
        return matchesCell(side.contactDigits, cells);
    }

    void fillRun() {
        const Data &d = *m_data;
        m_ready.clear();
        m_next = 0;
        m_contactRows.clear();
        const int end = m_order ? m_runStart + 1 : d.runEnds[m_run];
        for (int at = m_runStart; at < end; ++at) {
            const int c = m_order ? m_order->companies[size_t(at)] : at;
            const Data::Company &firm = d.companies[c];
            const bool firmK = matchesFirm(k, c);
            const bool firmF = m_same ? firmK : matchesFirm(f, c);
            bool groupLine = firmF && firm.endContact > firm.firstContact;
            for (int n = firm.firstContact; n < firm.endContact; ++n) {
                const int i = m_order ? m_order->contacts[size_t(n)] : n;
                const Data::Contact &x = d.contacts[i];
                const ContactRecord record(d.contactRecords.at(x.record));
                const bool personK = matchesPerson(k, i, record);
                if (!m_same && !groupLine)
                    groupLine = matchesPerson(f, i, record);
                groupLine = groupLine || (m_same && personK);
                if (record.isContactRow && (firmK || personK))
                    m_contactRows.push_back({nullptr, &x});
            }
            // Contacts of no company: their group line only over rows of them.
            if (c == d.orphans)
                groupLine = !m_contactRows.empty();
            if (groupLine)
                m_ready.push_back({&firm.groupLine, nullptr});
        }
        m_ready.insert(m_ready.end(), m_contactRows.begin(), m_contactRows.end());
        m_runStart = end;
        ++m_run;
    }

    std::shared_ptr<const Data> m_data;
    const BoardSearch m_search;
    const SidePatterns k, f;
    const bool m_same; // the board sets one text for all six
    const Data::SearchKeys *const m_keys;
    const Data::CzechOrder *const m_order;
    size_t m_run = 0;
    int m_runStart = 0;
    struct Ready {
        const db::PackedRow *groupLine;
        const Data::Contact *contact;
    };
    std::vector<Ready> m_ready, m_contactRows;
    size_t m_next = 0;
    db::PackedRow::Builder m_builder;
};

/// A company's index by its ID: a table by ID where the IDs are dense, as
/// they are numbered, else a hash.
class CompanyIndex {
  public:
    explicit CompanyIndex(const std::vector<qint64> &ids) {
        const qint64 largest = ids.empty() ? 0 : *std::max_element(ids.begin(), ids.end());
        const qint64 smallest = ids.empty() ? 0 : *std::min_element(ids.begin(), ids.end());
        if (smallest >= 0 && largest < 4 * qint64(ids.size()) + 1024) {
            m_byId.assign(size_t(largest) + 1, -1);
            for (size_t i = 0; i < ids.size(); ++i)
                m_byId[size_t(ids[i])] = int(i);
        } else {
            for (size_t i = 0; i < ids.size(); ++i)
                m_hash.insert(ids[i], int(i));
        }
    }
    /// -1 for none.
    int find(qint64 id) const {
        if (!m_byId.empty() || m_hash.isEmpty())
            return id >= 0 && id < qint64(m_byId.size()) ? m_byId[size_t(id)] : -1;
        return m_hash.value(id, -1);
    }

  private:
    std::vector<int> m_byId;
    QHash<qint64, int> m_hash;
};

Data::Text appendUpper(Data &d, const db::PackedRow &row, int column) {
    if (row.tag(column) == db::Cell::Null)
        return {};
    const QByteArrayView bytes = row.payload(column);
    const Data::Text text{int(d.upperText.size()), int(bytes.size())};
    d.upperText.resize(text.at + text.length);
    char *out = d.upperText.data() + text.at;
    for (const char c : bytes)
        *out++ = d.upper.upper(c);
    return text;
}

} // namespace

namespace {

const char kFirms[] = "SELECT ID, NAZEV_FIRMA, TELEFON1, MOBIL, FAX FROM FIRMA";
const char kPeople[] =
    "SELECT ID_FIRMA, ID, PRIJMENI, JMENO, MOBIL, TELEFON1, EMAIL1, KRAJ FROM KONTAKT";
// The head: the companies up to a name in the board's order (the index on
// the name finds them) and their contacts through the index on the company.
// "+ 0" keeps the optimizer from walking every contact and looking up its
// company instead.
const char kHeadPeople[] = "SELECT k.ID_FIRMA, k.ID, k.PRIJMENI, k.JMENO, k.MOBIL, k.TELEFON1, "
                           "k.EMAIL1, k.KRAJ FROM FIRMA f JOIN KONTAKT k ON k.ID_FIRMA = f.ID + 0";

} // namespace

bool BoardSnapshot::read(db::DbConnection &connection, const QByteArray &boardStatement,
                         ReadProgress *progress) {
    return readRows(connection, boardStatement, {kFirms, kPeople, {}}, progress);
}

bool BoardSnapshot::readHead(db::DbConnection &connection, const QByteArray &boardStatement,
                             int companies) {
    // The name of the last of the first companies; the head takes every
    // company of that name too, so that no run of equal names is cut.
    int count = 0;
    bool lastIsNull = true;
    QString last;
    {
        db::PackedRow row;
        auto cursor = connection.openCursor("SELECT FIRST " + QByteArray::number(companies) +
                                                " NAZEV_FIRMA FROM FIRMA ORDER BY NAZEV_FIRMA",
                                            {});
        while (cursor->fetch(row)) {
            ++count;
            lastIsNull = row.tag(0) == db::Cell::Null;
            last = lastIsNull ? QString() : base::win1250::decode(row.payload(0));
        }
    }
    if (count < companies)
        return false;
    Scope head;
    head.firms = QByteArray(kFirms) + " WHERE NAZEV_FIRMA IS NULL";
    head.people = QByteArray(kHeadPeople) + " WHERE f.NAZEV_FIRMA IS NULL";
    if (!lastIsNull) {
        head.firms += " OR NAZEV_FIRMA <= ?";
        head.people += " OR f.NAZEV_FIRMA <= ?";
        head.params = {last};
    }
    return readRows(connection, boardStatement, head, nullptr);
}

bool BoardSnapshot::readRows(db::DbConnection &connection, const QByteArray &boardStatement,
                             const Scope &scope, ReadProgress *progress) {
    m_data.reset();
    // The stamp first: a change committed while the rows are read makes the
    // next check read them again rather than miss it.
    m_stamp = changelog::read(connection);
    auto d = std::make_shared<Data>();
    d->columns = connection.describe(boardStatement);
    if (d->columns.size() != board::ColumnCount)
        throw db::DbError(QStringLiteral("The board statement does not give the board's columns"));
    d->upper.readFrom(connection);

    std::vector<Data::Company> companies;
    std::vector<qint64> firmIds;
    db::PackedRow row;
    db::PackedRow::Builder builder;
    auto firms = connection.openCursor(scope.firms, scope.params);
    while (firms->fetch(row)) {
        if (row.tag(FirmId) != db::Cell::Int)
            continue;
        Data::Company c;
        c.upperName = appendUpper(*d, row, FirmName);
        c.groupLine = groupLine(builder, row);
        firmIds.push_back(row.cell(FirmId).num);
        companies.push_back(std::move(c));
        if (progress && companies.size() % 4096 == 0 && progress->stop.load())
            return false;
    }
    firms.reset();
    const CompanyIndex companyOf(firmIds);
    firmIds = {};

    // Contacts of a known company, at first with the company's index as read.
    std::vector<Data::Contact> contacts;
    QByteArray record;
    auto people = connection.openCursor(scope.people, scope.params);
    while (people->fetch(row)) {
        // The statement's join drops contacts of no company; they come last.
        ContactRecord::write(record, *d, row);
        contacts.push_back(
            {d->contactRecords.add(record),
             row.tag(PersonFirm) == db::Cell::Int ? companyOf.find(row.cell(PersonFirm).num) : -1});
        if (progress && contacts.size() % 4096 == 0) {
            progress->contacts.store(int(contacts.size()));
            if (progress->stop.load())
                return false;
        }
    }
    people.reset();
    if (progress)
        progress->contacts.store(int(contacts.size()));

    // The board's order: by name (none first), ties by ID for a stable view.
    auto compareNames = [&](const Data::Company &a, const Data::Company &b) {
        const bool hasA = a.upperName.length >= 0, hasB = b.upperName.length >= 0;
        if (hasA != hasB)
            return hasA ? 1 : -1;
        return hasA ? compareAsServer(a.groupLine.payload(board::NazevFirma),
                                      b.groupLine.payload(board::NazevFirma))
                    : 0;
    };
    std::vector<int> order(companies.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int byName = compareNames(companies[a], companies[b]);
        return byName != 0 ? byName < 0
                           : companies[a].groupLine.cell(board::IdFirma).num <
                                 companies[b].groupLine.cell(board::IdFirma).num;
    });
    std::vector<int> position(companies.size());
    for (size_t i = 0; i < order.size(); ++i)
        position[order[i]] = int(i);
    // Company by company in the board's order (those of none last), by ID
    // within one: placed by counting, in the order read, which is mostly
    // the order of ID already; a company's contacts are sorted only when not.
    const int orphanGroup = int(order.size());
    std::vector<int> start(order.size() + 2, 0);
    for (Data::Contact &x : contacts) {
        x.company = x.company < 0 ? orphanGroup : position[x.company];
        ++start[size_t(x.company) + 1];
    }
    for (size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    d->contacts.resize(contacts.size());
    {
        std::vector<int> next(start.begin(), start.end() - 1);
        for (const Data::Contact &x : contacts)
            d->contacts[size_t(next[size_t(x.company)]++)] = x;
    }
    contacts = {};
    auto idOf = [&](const Data::Contact &x) { return d->contactId(x); };
    auto byId = [&](const Data::Contact &a, const Data::Contact &b) { return idOf(a) < idOf(b); };
    for (size_t group = 0; group + 1 < start.size(); ++group) {
        const auto first = d->contacts.begin() + start[group],
                   last = d->contacts.begin() + start[group + 1];
        if (!std::is_sorted(first, last, byId))
            std::sort(first, last, byId);
    }

    for (size_t i = 0; i < order.size(); ++i) {
        Data::Company firm = std::move(companies[order[i]]);
        if (i > 0 && compareNames(d->companies.back(), firm) != 0)
            d->runEnds.push_back(int(i));
        firm.firstContact = start[i];
        firm.endContact = start[i + 1];
        d->companies.push_back(std::move(firm));
    }
    if (!d->companies.empty())
        d->runEnds.push_back(int(d->companies.size()));
    if (start[size_t(orphanGroup)] < int(d->contacts.size())) {
        Data::Company orphans;
        orphans.upperName = {int(d->upperText.size()), 0};
        orphans.groupLine = noCompanyLine(builder);
        orphans.firstContact = start[size_t(orphanGroup)];
        orphans.endContact = int(d->contacts.size());
        d->orphans = int(d->companies.size());
        d->companies.push_back(std::move(orphans));
        d->runEnds.push_back(int(d->companies.size()));
    }
    d->upperText.squeeze();
    m_data = std::move(d);
    return true;
}

bool BoardSnapshot::isStale(db::DbConnection &connection) const {
    if (!m_data || !m_stamp.isKnown())
        return true;
    return changelog::read(connection) != m_stamp;
}

dataset::Dataset::ProvidedRows BoardSnapshot::rows(const BoardPatterns &patterns,
                                                   const BoardSearch &search) const {
    if (!m_data)
        throw db::DbError(QStringLiteral("The board has not been read"));
    return {m_data->columns, std::make_unique<BoardRows>(m_data, patterns, search)};
}

qint64 Data::contactId(const Contact &x) const {
    return ContactRecord(contactRecords.at(x.record)).id();
}

compactcell::Reader Data::shownCells(const Contact &x) const {
    compactcell::Reader cells = ContactRecord(contactRecords.at(x.record)).names();
    cells.skip();
    cells.skip();
    return cells;
}

} // namespace data
