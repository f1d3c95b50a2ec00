#include "app/MailMessage.h"

#include "base/MessageService.h"
#include "ui/MakerInfo.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>
#include <QUrlQuery>

namespace app::mail {

namespace {

QString body() {
    return QStringLiteral("%0d%0d") + QString(82, QLatin1Char('-')) + QStringLiteral("%0d") +
           QStringLiteral("Email vytvořen aplikací: Vizitar  (") + ui::maker::kWebAddress +
           QLatin1Char(')');
}

/// The addresses without the blanks around them (typing slips); empty ones dropped.
QStringList cleaned(const QStringList &recipients) {
    QStringList addresses;
    for (const QString &address : recipients)
        if (!address.trimmed().isEmpty())
            addresses << address.trimmed();
    return addresses;
}

} // namespace

QString composeMailto(const QStringList &recipients, const QString &subject) {
    QStringList encoded;
    for (const QString &address : cleaned(recipients))
        encoded << QString::fromLatin1(QUrl::toPercentEncoding(address, "@"));
    return QStringLiteral("mailto:") + encoded.join(QLatin1Char(',')) +
           QStringLiteral("?subject=") + subject + QStringLiteral("&body=") + body();
}

void open(const QStringList &recipients, const QString &subject) {
    const QStringList addresses = cleaned(recipients);
    if (addresses.isEmpty())
        return;
    const QUrl mail(composeMailto(addresses, subject), QUrl::TolerantMode);
    if (QDesktopServices::openUrl(mail))
        return;
    // No mail program took the message (none installed, none chosen on the
    // desktop): say so rather than do nothing, and keep what was composed.
    const QString to = addresses.join(QStringLiteral(", "));
    const QUrlQuery query(mail);
    QString text = QStringLiteral("Komu: %1\nPředmět: %2\n\n%3")
                       .arg(to, query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                            query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (base::msg::show(
            base::msg::Kind::Warning,
            QStringLiteral(
                "E-mail pro %1 se nepodařilo otevřít: v systému není nastaven poštovní program. "
                "Zkopírovat adresu a text zprávy do schránky?")
                .arg(to),
            base::msg::Buttons::YesNo) == base::msg::Answer::Yes)
        QGuiApplication::clipboard()->setText(text);
}

} // namespace app::mail
