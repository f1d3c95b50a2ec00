#include "BoardSnapshot.h"

#include "DbConnection.h"
#include "DbError.h"
#include "Win1250.h"

#include <QHash>

#include <algorithm>

namespace data {
namespace {

/// The server's order of text: byte by byte, the shorter as if padded with
/// blanks.
int comparePadded(const QByteArray &a, const QByteArray &b) {
    const qsizetype n = qMax(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(i < a.size() ? a[i] : ' ');
        const auto cb = static_cast<unsigned char>(i < b.size() ? b[i] : ' ');
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return 0;
}

/// A region that compares equal to '***' (trailing blanks do not count).
bool isPlaceholderRegion(const QByteArray &region) {
    qsizetype end = region.size();
    while (end > 0 && region[end - 1] == ' ')
        --end;
    return QByteArrayView(region.constData(), end) == QByteArrayView("***");
}

} // namespace

void BoardSnapshot::read(DbConnection &connection, const QByteArray &boardStatement) {
    m_loaded = false;
    // The stamp first: a change committed while the rows are read makes the
    // next check read them again rather than miss it.
    m_stamp = changelog::read(connection);
    m_columns = connection.describe(boardStatement);
    if (m_columns.size() != 13)
        throw DbError(QStringLiteral("The board statement does not give the board's columns"));
    m_upper.readFrom(connection);

    std::vector<Company> companies;
    QHash<qint64, int> companyOf;
    PackedRow row;
    auto firms = connection.openCursor("SELECT ID, NAZEV_FIRMA, TELEFON1, MOBIL, FAX FROM FIRMA", {});
    while (firms->fetch(row)) {
        if (row.tag(0) != Cell::Int)
            continue;
        Company c;
        c.id = row.cell(0).num;
        c.hasName = row.tag(1) != Cell::Null;
        c.upperName = m_upper.upper(row.payload(1));
        c.groupLine = PackedRow::pack({Cell{Cell::Int, c.id, {}}, Cell{Cell::Int, 1, {}}, {}, {}, {}, {}, {}, {}, {},
                                       row.cell(1), row.cell(2), row.cell(3), row.cell(4)});
        companyOf.insert(c.id, int(companies.size()));
        companies.push_back(std::move(c));
    }

    std::vector<Contact> contacts;
    auto people = connection.openCursor(
        "SELECT ID_FIRMA, ID, PRIJMENI, JMENO, MOBIL, TELEFON1, EMAIL1, KRAJ FROM KONTAKT", {});
    // (contact ID, index) per company, sorted below.
    std::vector<std::vector<std::pair<qint64, int>>> members(companies.size());
    while (people->fetch(row)) {
        if (row.tag(0) != Cell::Int)
            continue;
        const auto company = companyOf.constFind(row.cell(0).num);
        if (company == companyOf.constEnd())
            continue; // the statement's join drops contacts of no company
        const Company &firm = companies[*company];
        const PackedRow &f = firm.groupLine;
        Contact x;
        x.hasSurname = row.tag(2) != Cell::Null;
        x.hasFirstName = row.tag(3) != Cell::Null;
        x.upperSurname = m_upper.upper(row.payload(2));
        x.upperFirstName = m_upper.upper(row.payload(3));
        x.isContactRow = row.tag(7) != Cell::Null && !isPlaceholderRegion(row.cell(7).bytes);
        x.row = PackedRow::pack({row.cell(0), Cell{Cell::Int, 2, {}}, row.cell(1), row.cell(2), row.cell(3),
                                 row.cell(4), row.cell(5), row.cell(6), row.cell(7), f.cell(9), f.cell(10),
                                 f.cell(11), f.cell(12)});
        members[*company].push_back({row.tag(1) == Cell::Int ? row.cell(1).num : 0, int(contacts.size())});
        contacts.push_back(std::move(x));
    }
    for (size_t i = 0; i < companies.size(); ++i) {
        std::sort(members[i].begin(), members[i].end());
        for (const auto &m : members[i])
            companies[i].contacts.push_back(m.second);
    }

    // The board's order: by name (none first), ties by ID for a stable view.
    std::vector<int> order(companies.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::vector<QByteArray> names(companies.size());
    for (size_t i = 0; i < companies.size(); ++i)
        names[i] = companies[i].hasName ? companies[i].groupLine.cell(9).bytes : QByteArray();
    auto compareNames = [&](int a, int b) {
        if (companies[a].hasName != companies[b].hasName)
            return companies[a].hasName ? 1 : -1;
        return companies[a].hasName ? comparePadded(names[a], names[b]) : 0;
    };
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int byName = compareNames(a, b);
        return byName != 0 ? byName < 0 : companies[a].id < companies[b].id;
    });
    m_companies.clear();
    m_runEnds.clear();
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && compareNames(order[i - 1], order[i]) != 0)
            m_runEnds.push_back(int(i));
        m_companies.push_back(std::move(companies[order[i]]));
    }
    if (!m_companies.empty())
        m_runEnds.push_back(int(m_companies.size()));
    m_contacts = std::move(contacts);
    m_loaded = true;
}

bool BoardSnapshot::isStale(DbConnection &connection) const {
    if (!m_loaded || !m_stamp.isKnown())
        return true;
    return changelog::read(connection) != m_stamp;
}

LikePattern BoardSnapshot::pattern(const QString &text) const {
    QByteArray bytes;
    QChar foreign;
    if (!win1250::encode(text, bytes, &foreign))
        throw DbError(QStringLiteral("The character '%1' cannot be stored in the database").arg(foreign));
    return LikePattern(m_upper.upper(bytes));
}

Dataset::ProvidedRows BoardSnapshot::rows(const BoardPatterns &p) const {
    const LikePattern k1 = pattern(p.k1), k2 = pattern(p.k2), k3 = pattern(p.k3);
    const LikePattern f1 = pattern(p.f1), f2 = pattern(p.f2), f3 = pattern(p.f3);
    // The board sets one text for all six; then one test serves both parts.
    const bool same = p.k1 == p.f1 && p.k2 == p.f2 && p.k3 == p.f3;

    Dataset::ProvidedRows out;
    out.columns = m_columns;
    std::vector<const PackedRow *> contactRows;
    int runStart = 0;
    for (const int runEnd : m_runEnds) {
        contactRows.clear();
        for (int c = runStart; c < runEnd; ++c) {
            const Company &firm = m_companies[c];
            const bool firmK = firm.hasName && k3.matches(firm.upperName);
            const bool firmF = same ? firmK : firm.hasName && f3.matches(firm.upperName);
            bool groupLine = false;
            for (const int i : firm.contacts) {
                const Contact &x = m_contacts[i];
                const bool personK = (x.hasSurname && k1.matches(x.upperSurname))
                                     || (x.hasFirstName && k2.matches(x.upperFirstName));
                const bool personF = same ? personK
                                          : (x.hasSurname && f1.matches(x.upperSurname))
                                                || (x.hasFirstName && f2.matches(x.upperFirstName));
                groupLine = groupLine || firmF || personF;
                if (x.isContactRow && (firmK || personK))
                    contactRows.push_back(&x.row);
            }
            if (groupLine)
                out.rows.push_back(firm.groupLine);
        }
        for (const PackedRow *row : contactRows)
            out.rows.push_back(*row);
        runStart = runEnd;
    }
    return out;
}

} // namespace data
