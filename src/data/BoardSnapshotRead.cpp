// Reading the board snapshot: the rows of one attachment or of two at
// once, joined into the board's order.
#include "data/BoardRecords.h"
#include "data/BoardSnapshot.h"

#include "base/Win1250.h"
#include "db/DbConnection.h"
#include "db/DbError.h"

#include <QHash>

#include <algorithm>

namespace data {
namespace {

using Data = BoardSnapshot::Data;
using namespace boardrecords;

/// A company's record: the cells of the columns read (ID, name, phone,
/// mobile, fax; the phones encoded where they have a common shape), or five
/// NULLs for the group of contacts of no company.
void companyRecord(QByteArray &record, const db::FbStatement *firm) {
    record.resize(0); // keeps its room for the next company
    for (int column = FirmId; column <= FirmFax; ++column) {
        if (!firm)
            record.append(char(db::Cell::Null));
        else if (column >= FirmPhone)
            compactcell::appendPhone(record, firm->cell(column));
        else
            compactcell::append(record, firm->cell(column));
    }
}

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

const char kFirms[] = "SELECT ID, NAZEV_FIRMA, TELEFON1, MOBIL, FAX FROM FIRMA";
const char kPeople[] =
    "SELECT ID_FIRMA, ID, PRIJMENI, JMENO, MOBIL, TELEFON1, EMAIL1, KRAJ FROM KONTAKT";
// The head: the companies up to a name in the board's order (the index on
// the name finds them) and their contacts through the index on the company.
// "+ 0" keeps the optimizer from walking every contact and looking up its
// company instead.
const char kHeadPeople[] = "SELECT k.ID_FIRMA, k.ID, k.PRIJMENI, k.JMENO, k.MOBIL, k.TELEFON1, "
                           "k.EMAIL1, k.KRAJ FROM FIRMA f JOIN KONTAKT k ON k.ID_FIRMA = f.ID + 0";

/// The first ID of `table` from `from` on, through the index on ID.
std::optional<qint64> firstIdFrom(db::DbConnection &connection, const QByteArray &table,
                                  qint64 from) {
    db::PackedRow row;
    if (connection
            .openCursor("SELECT FIRST 1 ID FROM " + table + " WHERE ID >= ? ORDER BY ID", {from})
            ->fetch(row) &&
        row.tag(0) == db::Cell::Int)
        return row.cell(0).num;
    return std::nullopt;
}

/// Where the IDs of a table lie: none at or past smallest + reach, found to
/// a 64th by probing through the index (MAX would scan every row; a
/// sequence may lag behind IDs another program stored). None for an empty
/// table.
struct IdRange {
    qint64 smallest, reach;
};
std::optional<IdRange> idRange(db::DbConnection &connection, const QByteArray &table) {
    const std::optional<qint64> smallest = firstIdFrom(connection, table, INT32_MIN);
    if (!smallest || *smallest > INT32_MAX / 2)
        return std::nullopt;
    // An ID lies at or past smallest + reach / 2, none past smallest + reach.
    qint64 reach = 1024;
    while (*smallest + reach <= INT32_MAX && firstIdFrom(connection, table, *smallest + reach))
        reach *= 2;
    qint64 low = reach / 2, high = reach;
    while (high - low > reach / 64) {
        const qint64 middle = (low + high) / 2;
        (firstIdFrom(connection, table, *smallest + middle) ? low : high) = middle;
    }
    return IdRange{*smallest, high};
}

/// Where the contacts are split between the two shares by ID, taking the
/// IDs as a count of rows. The share below also reads the companies, a
/// company costing the engine about as much as a contact (its rows are
/// wider): it takes fewer contacts by as many, so that both shares end at
/// about the same time. None for an empty register.
std::optional<qint64> contactSplit(db::DbConnection &connection) {
    const std::optional<IdRange> contacts = idRange(connection, "KONTAKT");
    if (!contacts)
        return std::nullopt;
    const std::optional<IdRange> companies = idRange(connection, "FIRMA");
    const qint64 companyRows = companies ? companies->reach : 0;
    const qint64 below = qMax<qint64>(0, (contacts->reach - companyRows) / 2);
    return contacts->smallest + below;
}

} // namespace

bool BoardSnapshot::read(db::DbConnection &connection, const QByteArray &boardStatement,
                         ReadProgress *progress) {
    m_data.reset();
    // The stamp first: a change committed while the rows are read makes the
    // next check read them again rather than miss it.
    const changelog::Stamp stamp = changelog::read(connection);
    std::vector<Share> shares(1);
    if (!readShare(connection, boardStatement, {kFirms, kPeople, {}, {}}, progress, shares[0]))
        return false;
    join(stamp, std::move(shares));
    return true;
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
        head.firmParams = head.peopleParams = {last};
    }
    const changelog::Stamp stamp = changelog::read(connection);
    std::vector<Share> shares(1);
    readShare(connection, boardStatement, head, nullptr, shares[0]);
    join(stamp, std::move(shares));
    return true;
}

bool BoardSnapshot::readShare(db::DbConnection &connection, const QByteArray &boardStatement,
                              const Scope &scope, ReadProgress *progress, Share &share) {
    auto d = std::make_shared<Data>();
    d->emailDomains = TextDictionary(scope.part);
    // Records are made straight from the fetch's output, in one buffer that
    // keeps its room from row to row.
    QByteArray record;
    if (!scope.firms.isEmpty()) {
        d->upper.readFrom(connection);
        d->columns = connection.describe(boardStatement);
        if (d->columns.size() != board::ColumnCount)
            throw db::DbError(
                QStringLiteral("The board statement does not give the board's columns"));
        auto firms = connection.openCursor(scope.firms, scope.firmParams);
        while (firms->fetchInPlace()) {
            const db::FetchedCell id = firms->cell(FirmId);
            if (id.tag != db::Cell::Int)
                continue;
            companyRecord(record, firms.get());
            Data::Company c;
            c.record = d->companyRecords.add(record);
            share.firmIds.push_back(id.number);
            share.companies.push_back(c);
            if (progress && share.companies.size() % 4096 == 0 && progress->stop.load())
                return false;
        }
    }

    int read = 0, counted = 0; // contacts read, and added to the progress
    auto people = connection.openCursor(scope.people, scope.peopleParams);
    while (people->fetchInPlace()) {
        ContactRecord::write(record, *people, d->emailDomains);
        const CompactRecords::Handle handle = d->contactRecords.add(record);
        const db::FetchedCell firm = people->cell(PersonFirm);
        if (firm.tag == db::Cell::Int && firm.number >= INT32_MIN && firm.number <= INT32_MAX)
            share.people.push_back({handle, qint32(firm.number)});
        else
            share.companyless.push_back(handle);
        if (progress && ++read % 4096 == 0) {
            progress->contacts += read - counted;
            counted = read;
            if (progress->stop.load())
                return false;
        }
    }
    if (progress)
        progress->contacts += read - counted;
    share.data = std::move(d);
    return true;
}

namespace {

/// The companies' board order: by name (none first), ties by ID for a
/// stable view.
struct CompanyOrder {
    std::vector<int> order;    // company indices as read, in the board's order
    std::vector<int> position; // of each company as read in `order`
    std::vector<int> runEnds;  // end of each run of equal names in `order`
};

CompanyOrder companyOrder(const Data &d, const std::vector<Data::Company> &companies) {
    struct SortKey {
        // Without trailing blanks, which the server ignores, compared as
        // bytes: a name before every longer one that starts with it ("Alfa"
        // before "Alfa<TAB>Beta", although TAB is below the blank).
        QByteArrayView name;
        bool hasName;
        qint64 id;
    };
    std::vector<SortKey> keys;
    keys.reserve(companies.size());
    for (const Data::Company &c : companies)
        keys.push_back({withoutTrailingBlanks(companyName(d.companyCells(c))),
                        nameCell(d.companyCells(c)).tag() != db::Cell::Null,
                        d.companyCells(c).number()});
    auto compareNames = [&](int a, int b) {
        const SortKey &x = keys[size_t(a)], &y = keys[size_t(b)];
        if (x.hasName != y.hasName)
            return x.hasName ? 1 : -1;
        return x.name.compare(y.name);
    };
    CompanyOrder result;
    std::vector<int> &order = result.order;
    order.resize(companies.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int byName = compareNames(a, b);
        return byName != 0 ? byName < 0 : keys[size_t(a)].id < keys[size_t(b)].id;
    });
    result.position.resize(companies.size());
    for (size_t i = 0; i < order.size(); ++i) {
        result.position[size_t(order[i])] = int(i);
        if (i > 0 && compareNames(order[i - 1], order[i]) != 0)
            result.runEnds.push_back(int(i));
    }
    if (!order.empty())
        result.runEnds.push_back(int(order.size()));
    return result;
}

} // namespace

void BoardSnapshot::join(const changelog::Stamp &stamp, std::vector<Share> shares) {
    const std::shared_ptr<Data> d = shares.front().data;
    std::vector<Data::Company> companies = std::move(shares.front().companies);
    CompanyOrder sorted = companyOrder(*d, companies);
    const std::vector<int> &order = sorted.order;

    // Company by company in the board's order (those of none last), by ID
    // within one: placed by counting, in the order read, which is mostly
    // the order of ID already; a company's contacts are sorted only when not.
    const int orphanGroup = int(order.size());
    const CompanyIndex companyOf(shares.front().firmIds);
    auto groupOf = [&](const Share::Person &p) {
        const int company = companyOf.find(p.firm);
        return company < 0 ? orphanGroup : sorted.position[size_t(company)];
    };
    std::vector<int> start(order.size() + 2, 0);
    for (const Share &share : shares) {
        for (const Share::Person &p : share.people)
            ++start[size_t(groupOf(p)) + 1];
        start[size_t(orphanGroup) + 1] += int(share.companyless.size());
    }
    for (size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    d->contacts.resize(size_t(start.back()));
    {
        std::vector<int> next(start.begin(), start.end() - 1);
        for (Share &share : shares) {
            CompactRecords::Handle offset = 0;
            if (share.data != d) {
                offset = d->contactRecords.adopt(std::move(share.data->contactRecords));
                d->emailDomains.adopt(std::move(share.data->emailDomains));
            }
            for (const Share::Person &p : share.people) {
                const int group = groupOf(p);
                d->contacts[size_t(next[size_t(group)]++)] = {p.record + offset, group};
            }
            for (const CompactRecords::Handle record : share.companyless)
                d->contacts[size_t(next[size_t(orphanGroup)]++)] = {record + offset, orphanGroup};
            share = {};
        }
    }
    auto idOf = [&](const Data::Contact &x) { return d->contactId(x); };
    auto byId = [&](const Data::Contact &a, const Data::Contact &b) { return idOf(a) < idOf(b); };
    for (size_t group = 0; group + 1 < start.size(); ++group) {
        const auto first = d->contacts.begin() + start[group],
                   last = d->contacts.begin() + start[group + 1];
        if (!std::is_sorted(first, last, byId))
            std::sort(first, last, byId);
    }

    d->companies.reserve(order.size() + 1);
    for (size_t i = 0; i < order.size(); ++i) {
        Data::Company firm = companies[size_t(order[i])];
        firm.firstContact = start[i];
        firm.endContact = start[i + 1];
        d->companies.push_back(firm);
    }
    d->runEnds = std::move(sorted.runEnds);
    if (start[size_t(orphanGroup)] < int(d->contacts.size())) {
        Data::Company orphans;
        QByteArray record;
        companyRecord(record, nullptr);
        orphans.record = d->companyRecords.add(record);
        orphans.firstContact = start[size_t(orphanGroup)];
        orphans.endContact = int(d->contacts.size());
        d->orphans = int(d->companies.size());
        d->companies.push_back(orphans);
        d->runEnds.push_back(int(d->companies.size()));
    }
    m_stamp = stamp;
    m_data = d;
}

BoardSnapshot::SharedRead::SharedRead(db::DbConnection &connection, QByteArray boardStatement)
    : m_stamp(changelog::read(connection)), m_statement(std::move(boardStatement)),
      m_split(contactSplit(connection)), m_shares(kShares) {
}

bool BoardSnapshot::SharedRead::read(int share, db::DbConnection &connection,
                                     ReadProgress *progress) {
    Scope scope;
    if (share == 0) {
        scope = {kFirms, kPeople, {}, {}};
        if (m_split) {
            scope.people += " WHERE ID < ? OR ID IS NULL";
            scope.peopleParams = {*m_split};
        }
    } else {
        if (!m_split)
            return true;
        scope.people = QByteArray(kPeople) + " WHERE ID >= ?";
        scope.peopleParams = {*m_split};
    }
    scope.part = share;
    return readShare(connection, m_statement, scope, progress, m_shares[size_t(share)]);
}

BoardSnapshot BoardSnapshot::SharedRead::join() {
    BoardSnapshot snapshot;
    if (!m_split)
        m_shares.resize(1);
    snapshot.join(m_stamp, std::move(m_shares));
    return snapshot;
}

} // namespace data
