#include "sync/AccountSettings.h"

#include <QSettings>
#include <QStringList>

namespace cardsync {
namespace {

const QString kUrlKey = QStringLiteral("Synchronizace/Adresa");
const QString kUserKey = QStringLiteral("Synchronizace/Uzivatel");
const QString kCertificateKey = QStringLiteral("Synchronizace/PrijatyCertifikat");
const QString kCompaniesKey = QStringLiteral("Synchronizace/Firmy");

} // namespace

AccountSettings AccountSettings::load(const QSettings &settings) {
    QList<int> companies;
    // Company IDs separated by commas; empty: every company.
    for (const QString &id : settings.value(kCompaniesKey).toString().split(QLatin1Char(',')))
        if (const int number = id.trimmed().toInt(); number > 0)
            companies << number;
    return {QUrl(settings.value(kUrlKey).toString().trimmed()),
            settings.value(kUserKey).toString().trimmed(),
            settings.value(kCertificateKey).toString().trimmed().toLatin1(), companies};
}

void AccountSettings::save(QSettings &settings) const {
    settings.setValue(kUrlKey, url.toString());
    settings.setValue(kUserKey, user);
    settings.setValue(kCertificateKey, QString::fromLatin1(acceptedCertificate));
    QStringList ids;
    for (int id : companies)
        ids << QString::number(id);
    settings.setValue(kCompaniesKey, ids.join(QLatin1Char(',')));
}

QString AccountSettings::secretKey() const {
    return QStringLiteral("carddav:") + user + QLatin1Char('@') + url.toString();
}

} // namespace cardsync
