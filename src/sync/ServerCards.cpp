#include "sync/ServerCards.h"

#include "io/ImportPlan.h"
#include "io/VCardContacts.h"
#include "io/VCardReader.h"

namespace cardsync {
namespace {

QString escapedText(QString text) {
    return text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char(','), QStringLiteral("\\,"))
        .replace(QLatin1Char(';'), QStringLiteral("\\;"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

} // namespace

ServerCard readCard(const QByteArray &bytes) {
    const io::VCardParseResult parsed = io::parseVCards(bytes);
    if (!parsed.errors.isEmpty() || parsed.cards.size() != 1)
        return {{},
                {},
                parsed.errors.isEmpty() ? QStringLiteral("není to jedna vizitka")
                                        : parsed.errors.join(QStringLiteral("; "))};
    const io::VCard &card = parsed.cards.first();
    const io::VCardProperty *uid = card.find(QStringLiteral("UID"));
    return {io::entryFromVCard(card), uid ? uid->text().trimmed() : QString(), {}};
}

QByteArray cardWithUid(const io::Entry &entry, const QString &uid) {
    QByteArray card;
    io::appendVCard(card, entry, io::VCardVersion::V3);
    const qsizetype afterVersion = card.indexOf("\r\n", card.indexOf("VERSION:")) + 2;
    card.insert(afterVersion, (QStringLiteral("UID:") + escapedText(uid)).toUtf8() + "\r\n");
    return card;
}

bool sameContent(const io::Entry &here, const io::Entry &there) {
    const io::Entry ours = readCard(cardWithUid(here, {})).entry;
    auto company = [](const io::Entry &e) {
        return io::foldCase(e.companyName().isEmpty() ? io::kNoCompanyName : e.companyName());
    };
    return ours.contact == there.contact && ours.photo == there.photo &&
           company(ours) == company(there);
}

} // namespace cardsync
