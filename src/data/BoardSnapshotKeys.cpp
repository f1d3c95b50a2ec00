// What the board's search options look in, made once per snapshot: the
// folded and blank-free keys, and the Czech alphabetical order.
#include "data/BoardSnapshot.h"

#include "data/BoardRecords.h"

#include <algorithm>

namespace data {

using Data = BoardSnapshot::Data;

const Data::SearchKeys &Data::searchKeys() const {
    std::call_once(m_keysMade, [this] {
        auto keys = std::make_unique<SearchKeys>(upper);
        const AccentFolding &folding = keys->folding;
        auto addText = [&](QByteArrayView bytes, bool isNull) -> Text {
            if (isNull)
                return {};
            const Text t{int(keys->text.size()), int(bytes.size())};
            keys->text.append(bytes);
            return t;
        };
        QByteArray decoded[5]; // the phones and the e-mail as read
        for (const Company &firm : companies) {
            // The cells of its ID, name, phone, mobile and fax.
            compactcell::Reader cells = companyCells(firm);
            cells.skip();
            auto next = [&](bool digits) {
                const bool isNull = cells.tag() == db::Cell::Null;
                const QByteArrayView bytes = cells.text(decoded[0]);
                cells.skip();
                return addText(digits ? folding.fold(withoutBlanks(bytes)) : folding.fold(bytes),
                               isNull);
            };
            SearchKeys::CompanyKeys k;
            k.name = next(false);
            if (int(&firm - companies.data()) == orphans)
                k.name = Text{int(keys->text.size()), 0};
            k.phone = next(true);
            k.mobile = next(true);
            k.fax = next(true);
            keys->companies.push_back(k);
        }
        QByteArray record;
        keys->contacts.reserve(contacts.size());
        for (const Contact &x : contacts) {
            // The record's cells after the ID:
            // surname, first name, mobile, phone, e-mail, region as read.
            compactcell::Reader cells = shownCells(x);
            QByteArrayView value[5];
            bool isNull[5];
            for (int n = 0; n < 5; ++n, cells.skip()) {
                isNull[n] = cells.tag() == db::Cell::Null;
                value[n] = cells.text(decoded[n]);
            }
            enum { Surname, FirstName, Mobile, Phone, Email };
            record.clear();
            auto add = [&](int n, const QByteArray &bytes) {
                if (isNull[n])
                    record.append(char(db::Cell::Null));
                else
                    compactcell::appendText(record, db::Cell::Text, bytes);
            };
            add(Surname, folding.fold(value[Surname]));
            add(FirstName, folding.fold(value[FirstName]));
            add(Email, upper.upper(value[Email]));
            add(Email, folding.fold(value[Email]));
            add(Mobile, folding.fold(withoutBlanks(value[Mobile])));
            add(Phone, folding.fold(withoutBlanks(value[Phone])));
            keys->contacts.push_back(keys->records.add(record));
        }
        keys->text.squeeze();
        m_keys = std::move(keys);
        m_keysReady = true;
    });
    return *m_keys;
}

const Data::CzechOrder &Data::czechOrder() const {
    std::call_once(m_orderMade, [this] {
        const CzechCollation czech;
        auto order = std::make_unique<CzechOrder>();
        // Names without a company first, as in the byte order; the group of
        // contacts of no company stays last. Ties by ID for a stable view.
        const int named = orphans < 0 ? int(companies.size()) : orphans;
        std::vector<QString> names(static_cast<size_t>(named));
        for (int c = 0; c < named; ++c)
            names[size_t(c)] =
                CzechCollation::text(boardrecords::companyName(companyCells(companies[c])));
        order->companies.resize(size_t(named));
        for (int c = 0; c < named; ++c)
            order->companies[size_t(c)] = c;
        auto hasName = [&](int c) {
            return boardrecords::nameCell(companyCells(companies[c])).tag() != db::Cell::Null;
        };
        auto firmId = [&](int c) { return companyCells(companies[c]).number(); };
        std::sort(order->companies.begin(), order->companies.end(), [&](int a, int b) {
            if (hasName(a) != hasName(b))
                return hasName(b);
            const int byName = czech.compare(names[size_t(a)], names[size_t(b)]);
            return byName != 0 ? byName < 0 : firmId(a) < firmId(b);
        });
        if (orphans >= 0)
            order->companies.push_back(orphans);

        // Within a company: by surname, then first name (none first), then ID.
        order->contacts.resize(contacts.size());
        std::vector<std::pair<QString, QString>> personNames(contacts.size());
        std::vector<qint64> ids(contacts.size());
        for (size_t i = 0; i < contacts.size(); ++i) {
            compactcell::Reader cells = shownCells(contacts[i]);
            const QString surname =
                cells.tag() == db::Cell::Null ? QString() : CzechCollation::text(cells.bytes());
            cells.skip();
            personNames[i] = {surname, cells.tag() == db::Cell::Null
                                           ? QString()
                                           : CzechCollation::text(cells.bytes())};
            ids[i] = contactId(contacts[i]);
            order->contacts[i] = int(i);
        }
        auto byPerson = [&](int a, int b) {
            const auto &x = personNames[size_t(a)], &y = personNames[size_t(b)];
            if (const int n = czech.compare(x.first, y.first); n != 0)
                return n < 0;
            if (const int n = czech.compare(x.second, y.second); n != 0)
                return n < 0;
            return ids[size_t(a)] < ids[size_t(b)];
        };
        for (const Company &firm : companies)
            std::sort(order->contacts.begin() + firm.firstContact,
                      order->contacts.begin() + firm.endContact, byPerson);
        m_order = std::move(order);
        m_orderReady = true;
    });
    return *m_order;
}

} // namespace data
