#include "data/BoardSnapshot.h"

#include "base/Win1250.h"
#include "data/BoardRecords.h"
#include "db/DbError.h"

namespace data {
namespace {

using Data = BoardSnapshot::Data;
using boardrecords::ContactRecord;

/// A contact's row from its record and its company's cells.
db::PackedRow contactRow(db::PackedRow::Builder &builder, const ContactRecord &person,
                         compactcell::Reader company) {
    builder.reset(board::ColumnCount);
    company.copyTo(builder); // its ID
    builder.addInt(2);
    compactcell::Reader cells = person.cells;
    cells.copyTo(builder); // ID
    for (int column = board::Prijmeni; column <= board::Kraj; ++column)
        cells.copyTo(builder);
    for (int column = board::NazevFirma; column < board::ColumnCount; ++column)
        company.copyTo(builder);
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
        const Data &d = *m_data;
        row = ready.contact ? contactRow(m_builder, d.record(*ready.contact),
                                         d.companyCells(d.companies[ready.contact->company]))
                            : boardrecords::groupLine(m_builder, d.companyCells(*ready.group));
        return true;
    }

  private:
    size_t runCount() const { return m_order ? m_order->companies.size() : m_data->runEnds.size(); }

    bool matchesFirm(const SidePatterns &side, int c) const {
        const Data &d = *m_data;
        const Data::Company &firm = d.companies[c];
        // A missing company's name matches as an empty text; NULL never
        // matches, nor do its other fields here.
        const compactcell::Reader name = boardrecords::nameCell(d.companyCells(firm));
        if (c != d.orphans && name.tag() == db::Cell::Null)
            return false;
        if (!m_search.ignoreAccents && side.company.matchesUpper(name.bytes(), d.upper))
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

    /// The surname or the first name as the server's UPPER and LIKE match them.
    bool matchesNames(const SidePatterns &side, const ContactRecord &record) const {
        const dataset::UpperCaseTable &upper = m_data->upper;
        compactcell::Reader cells = record.names();
        if (cells.tag() != db::Cell::Null && side.surname.matchesUpper(cells.bytes(), upper))
            return true;
        cells.skip();
        return cells.tag() != db::Cell::Null && side.firstName.matchesUpper(cells.bytes(), upper);
    }

    bool matchesPerson(const SidePatterns &side, int i, const ContactRecord &record) const {
        if (!m_keys)
            return matchesNames(side, record);
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
            if (matchesNames(side, record))
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
                const ContactRecord record = d.record(x);
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
                m_ready.push_back({&firm, nullptr});
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
        const Data::Company *group; // its group line
        const Data::Contact *contact;
    };
    std::vector<Ready> m_ready, m_contactRows;
    size_t m_next = 0;
    db::PackedRow::Builder m_builder;
};

} // namespace

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

namespace {

bool needsKeys(const BoardSearch &search) {
    return search.ignoreAccents || search.allFields;
}

} // namespace

bool BoardSnapshot::isReadyFor(const BoardSearch &search) const {
    return !m_data || ((!needsKeys(search) || m_data->hasSearchKeys()) &&
                       (!search.czechOrder || m_data->hasCzechOrder()));
}

std::function<void()> BoardSnapshot::preparation(const BoardSearch &search) const {
    return [data = m_data, search] {
        if (data && needsKeys(search))
            data->searchKeys();
        if (data && search.czechOrder)
            data->czechOrder();
    };
}

ContactRecord Data::record(const Contact &x) const {
    return ContactRecord(contactRecords.at(x.record), emailDomains);
}

qint64 Data::contactId(const Contact &x) const {
    return record(x).id();
}

compactcell::Reader Data::shownCells(const Contact &x) const {
    return record(x).names();
}

} // namespace data
