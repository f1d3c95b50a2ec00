#include "sync/CardPairing.h"

#include "io/ImportPlan.h"

#include <algorithm>

namespace cardsync {
namespace {

/// The company a contact's "same name in the same company" is looked for
/// in: a card without ORG goes to "Bez firmy", so it is looked for there.
QString companyRef(const io::Entry &entry) {
    const QString name = entry.companyName();
    return io::foldCase(name.isEmpty() ? io::kNoCompanyName : name);
}

} // namespace

CardPairing::CardPairing(const QHash<int, LocalContact> &contacts,
                         const QHash<int, CardLink> &links) {
    QList<int> ids;
    for (auto it = contacts.cbegin(); it != contacts.cend(); ++it) {
        const auto link = links.constFind(it.key());
        if (link == links.cend() || link->href.isEmpty())
            ids << it.key();
    }
    std::sort(ids.begin(), ids.end()); // the same pairs whatever the order of the hash
    for (int id : std::as_const(ids)) {
        if (const QString uid = links.value(id).uid; !uid.isEmpty())
            m_byUid.insert(uid, id);
        const io::Entry &entry = contacts[id].entry;
        const io::PersonKeys keys = io::personKeys(entry.contact, companyRef(entry));
        for (quint64 key : keys.reach)
            m_byKey[key] << id;
        m_byKey[keys.inCompany] << id;
    }
}

int CardPairing::first(const QList<int> &candidates) const {
    for (int id : candidates)
        if (!m_taken.contains(id))
            return id;
    return 0;
}

int CardPairing::take(const QString &uid, const io::Entry &card) {
    int id = 0;
    if (const auto byUid = m_byUid.constFind(uid); !uid.isEmpty() && byUid != m_byUid.cend())
        id = first({*byUid});
    const io::PersonKeys keys = io::personKeys(card.contact, companyRef(card));
    for (qsizetype i = 0; !id && i < keys.reach.size(); ++i)
        id = first(m_byKey.value(keys.reach[i]));
    if (!id && keys.reach.isEmpty())
        id = first(m_byKey.value(keys.inCompany));
    if (id)
        m_taken << id;
    return id;
}

} // namespace cardsync
