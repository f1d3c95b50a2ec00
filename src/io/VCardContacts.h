#pragma once

#include "io/Record.h"
#include "io/VCardReader.h"

namespace io {

enum class VCardVersion { V3, V4 };

/// Prefix of the extension properties that carry the columns without a
/// standard home ("X-KONTAKTY-SVATEK"); the company's own columns carry
/// "X-KONTAKTY-FIRMA-" and are what an import takes for a new company;
/// "X-KONTAKTY-FIRMA-ID" is the exporting register's company ID, which
/// keeps apart the companies of one file that look alike.
inline const QString kExtensionPrefix = QStringLiteral("X-KONTAKTY-");
inline const QString kCompanyExtensionPrefix = QStringLiteral("X-KONTAKTY-FIRMA-");
/// The property name of a column: "_" is no letter of a property name, and
/// servers rewrite it as "-" ("X-KONTAKTY-POZNAMKA-KSPOJ"); the reader
/// takes either.
inline QString extensionName(const QString &prefix, QString column) {
    return prefix + column.replace(QLatin1Char('_'), QLatin1Char('-'));
}

/// Writes one card per entry: UTF-8, CR LF line ends, lines folded at 75
/// octets. The company's phones and seat address stand in (in the group
/// "firma") where the contact has none of its own.
QByteArray writeVCards(const QList<Entry> &entries, VCardVersion version);
/// Appends the card of one entry, as writeVCards() writes it.
void appendVCard(QByteArray &out, const Entry &entry, VCardVersion version);

/// Turns parsed cards into entries. Values without a column of their own
/// (a third phone, a photo link) are kept as lines of the note on the means
/// of contact, never dropped.
QList<Entry> entriesFromVCards(const QList<VCard> &cards);
/// The entry of one card.
Entry entryFromVCard(const VCard &card);

} // namespace io
