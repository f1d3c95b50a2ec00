#include "ares/AresClient.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>

namespace ares {
namespace {

const char kSubjectPath[] = "/ekonomicke-subjekty-v-be/rest/ekonomicke-subjekty/";
/// Far more than one subject's answer; a bigger one is not the register's.
constexpr qint64 kMaxAnswerBytes = 1 << 20;

} // namespace

QString serviceBase() {
    const QString base = QSettings().value(QLatin1String(kUrlSetting)).toString().trimmed();
    return base.isEmpty() ? QString::fromLatin1(kPublicService) : base;
}

QUrl subjectUrl(const QString &base, const QString &ico) {
    QString root = base.trimmed();
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    const QUrl url(root + QLatin1String(kSubjectPath) + ico, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        return {};
    return url;
}

AresClient::AresClient(QObject *parent) : QObject(parent) {
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(kTimeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, &AresClient::onTimeout);
}

AresClient::~AresClient() {
    cancel();
}

void AresClient::fetch(const QString &base, const QString &ico) {
    cancel();
    m_ico = ico;
    const QUrl url = subjectUrl(base, ico);
    if (!url.isValid()) {
        // Reported from the event loop, as every other answer is.
        QTimer::singleShot(0, this, [this, base] {
            emit failed(QStringLiteral("Adresa služby ARES „%1“ (nastavení %2) není platná "
                                       "adresa http ani https.")
                            .arg(base, QLatin1String(kUrlSetting)));
        });
        return;
    }
    m_host = url.host();
    if (!m_network) // made on first use, not to slow the form's creation
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "application/json");
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &AresClient::onData);
    connect(m_reply, &QNetworkReply::finished, this, &AresClient::onFinished);
    m_timeout.start();
}

void AresClient::cancel() {
    m_timeout.stop();
    if (QNetworkReply *reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void AresClient::onData() {
    if (m_reply && m_reply->bytesAvailable() > kMaxAnswerBytes)
        finish(QStringLiteral("Odpověď ARES je nečekaně velká; nebyla přečtena."));
}

void AresClient::onTimeout() {
    finish(QStringLiteral("ARES neodpověděl do %1 s. Zkuste to prosím později.")
               .arg(m_timeout.interval() / 1000.0));
}

void AresClient::onFinished() {
    if (!m_reply)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() != 200) {
        finish(httpFailure(status.toInt()));
        return;
    }
    if (m_reply->error() != QNetworkReply::NoError) {
        finish(transportFailure());
        return;
    }
    const AnswerReading reading = readCompany(m_reply->readAll());
    finish(reading.error, reading.record);
}

void AresClient::finish(const QString &failure, const CompanyRecord &record) {
    cancel();
    if (failure.isEmpty())
        emit received(record);
    else
        emit failed(failure);
}

QString AresClient::httpFailure(int status) const {
    if (status == 404)
        return QStringLiteral("Subjekt s IČO %1 v ARES není.").arg(m_ico);
    if (status >= 500)
        return QStringLiteral("Server ARES hlásí chybu (HTTP %1). Zkuste to prosím později.")
            .arg(status);
    return QStringLiteral("Server ARES dotaz nepřijal (HTTP %1).").arg(status);
}

QString AresClient::transportFailure() const {
    switch (m_reply->error()) {
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("Server ARES (%1) nebyl nalezen. Je počítač připojen k síti?")
            .arg(m_host);
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("Server ARES (%1) odmítl spojení.").arg(m_host);
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("Server ARES (%1) se neprokázal důvěryhodným certifikátem; "
                              "spojení bylo odmítnuto.")
            .arg(m_host);
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProtocolFailure:
        return QStringLiteral("Spojení se serverem ARES se přerušilo dřív, než přišla celá "
                              "odpověď.");
    default:
        return QStringLiteral("ARES není dostupný (síť nebo server nejsou k dispozici).");
    }
}

} // namespace ares
