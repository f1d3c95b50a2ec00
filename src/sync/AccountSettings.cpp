#include "sync/AccountSettings.h"

#include <QSettings>

namespace cardsync {
namespace {

const QString kUrlKey = QStringLiteral("Synchronizace/Adresa");
const QString kUserKey = QStringLiteral("Synchronizace/Uzivatel");
const QString kCertificateKey = QStringLiteral("Synchronizace/PrijatyCertifikat");

} // namespace

AccountSettings AccountSettings::load(const QSettings &settings) {
    return {QUrl(settings.value(kUrlKey).toString().trimmed()),
            settings.value(kUserKey).toString().trimmed(),
            settings.value(kCertificateKey).toString().trimmed().toLatin1()};
}

void AccountSettings::save(QSettings &settings) const {
    settings.setValue(kUrlKey, url.toString());
    settings.setValue(kUserKey, user);
    settings.setValue(kCertificateKey, QString::fromLatin1(acceptedCertificate));
}

QString AccountSettings::secretKey() const {
    return QStringLiteral("carddav:") + user + QLatin1Char('@') + url.toString();
}

} // namespace cardsync
