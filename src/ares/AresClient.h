#pragma once

#include "ares/AresAnswer.h"

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;

namespace ares {

/// The public service's base address, used when the setting is not there.
inline constexpr char kPublicService[] = "https://ares.gov.cz";
/// The setting (QSettings of the program) that names another base address.
inline constexpr char kUrlSetting[] = "AresUrl";

/// The base address the program asks: the setting, else the public service.
QString serviceBase();
/// The address of one economic subject under `base`; invalid when `base`
/// is no http(s) address.
QUrl subjectUrl(const QString &base, const QString &ico);

/// Asks the register for one company at a time, without blocking: the
/// answer arrives as received() or failed(), each with a Czech text that
/// says what went wrong. Certificates are checked as Qt does by default.
class AresClient : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTimeoutMs = 10000;

    explicit AresClient(QObject *parent = nullptr);
    ~AresClient() override;

    /// Asks for the subject `ico` (8 digits, already checked) at `base`,
    /// dropping any question still running.
    void fetch(const QString &base, const QString &ico);
    /// Drops the running question; neither signal follows.
    void cancel();
    bool isBusy() const { return m_reply != nullptr; }
    void setTimeout(int ms) { m_timeout.setInterval(ms); }

  signals:
    void received(const ares::CompanyRecord &record);
    void failed(const QString &message);

  private:
    void onFinished();
    void onTimeout();
    void onData();
    void finish(const QString &failure, const CompanyRecord &record = {});
    QString httpFailure(int status) const;
    QString transportFailure() const;

    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QTimer m_timeout;
    QString m_ico;
    QString m_host;
};

} // namespace ares
