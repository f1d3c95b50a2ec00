#pragma once

#include "io/Record.h"

#include <QByteArray>
#include <QString>

namespace cardsync {

/// A card as the server sent it, read into an entry.
struct ServerCard {
    io::Entry entry;
    QString uid;
    QString problem; ///< non-empty: the card cannot be read
};

ServerCard readCard(const QByteArray &bytes);

/// The card of a contact or company as it goes to the server: version 3.0,
/// the one every phone reads, with the UID after VERSION.
QByteArray cardWithUid(const io::Entry &entry, const QString &uid);

/// Whether a card says what the contact `here` says: its texts, its photo
/// and its company's name, each as a card carries it.
bool sameContent(const io::Entry &here, const io::Entry &there);

} // namespace cardsync
