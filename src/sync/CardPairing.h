#pragma once

#include "sync/CardLinks.h"
#include "sync/LocalContacts.h"

#include <QHash>
#include <QList>
#include <QSet>

namespace cardsync {

/// Finds the contact of the register that a card new to it already is, so
/// that a person on both sides (the phone's book filled from an export, the
/// same person typed in twice) becomes one pair, not two contacts and two
/// cards. Only contacts without a card of this book take part: first by the
/// card's UID where the contact's link kept it from an earlier book, else by
/// the import's duplicate check (the same name and a same e-mail or phone;
/// without either, the same name in the same company). A contact pairs with
/// one card at most.
class CardPairing {
  public:
    CardPairing(const QHash<int, LocalContact> &contacts, const QHash<int, CardLink> &links);

    /// The contact the card of that UID and content is, or 0; the contact
    /// found is not found again.
    int take(const QString &uid, const io::Entry &card);

  private:
    int first(const QList<int> &candidates) const;

    QHash<QString, int> m_byUid;
    QHash<quint64, QList<int>> m_byKey; ///< contact IDs by PersonKeys, lowest ID first
    QSet<int> m_taken;
};

} // namespace cardsync
