#pragma once

#include <QList>
#include <QString>
#include <QUrl>

class QSettings;

namespace cardsync {

/// The one address book account as the settings file keeps it: where and
/// who, never the password (that lives in the desktop's secret store).
struct AccountSettings {
    QUrl url;
    QString user;
    QByteArray acceptedCertificate; ///< see Account
    QList<int> companies;           ///< only these companies' contacts; empty: all

    bool isSet() const { return url.isValid() && !url.isEmpty() && !user.isEmpty(); }
    static AccountSettings load(const QSettings &settings);
    void save(QSettings &settings) const;
    /// The secret store's key of the account's password.
    QString secretKey() const;
};

/// The environment variable a password can come in instead (for cron).
inline constexpr const char *kPasswordVariable = "KONTAKTY_SYNC_PASSWORD";

} // namespace cardsync
