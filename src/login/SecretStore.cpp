#include "login/SecretStore.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>

namespace login {
namespace {

const QString kService = QStringLiteral("Kontakty");
/// A secret service that does not answer must not hold up the start.
constexpr int kTimeoutMilliseconds = 5000;

/// Runs `job` to its end; false when it did not finish in time.
bool finish(QKeychain::Job &job) {
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(kTimeoutMilliseconds, &loop, &QEventLoop::quit);
    job.start();
    if (!finished)
        loop.exec();
    return finished;
}

/// The store's failure in Czech: QtKeychain's own texts are English.
QString problemOf(const QKeychain::Job &job) {
    switch (job.error()) {
    case QKeychain::NoError:
        return {};
    case QKeychain::EntryNotFound:
        return QStringLiteral("heslo v úložišti hesel není");
    case QKeychain::CouldNotDeleteEntry:
        return QStringLiteral("heslo z úložiště hesel nejde odstranit");
    case QKeychain::AccessDeniedByUser:
        return QStringLiteral("přístup k úložišti hesel byl odmítnut");
    case QKeychain::AccessDenied:
        return QStringLiteral("úložiště hesel nepovolilo přístup");
    case QKeychain::NoBackendAvailable:
        return QStringLiteral("v systému neběží žádné úložiště hesel");
    case QKeychain::NotImplemented:
        return QStringLiteral("úložiště hesel tuto operaci neumí");
    case QKeychain::OtherError:
        break;
    }
    return QStringLiteral("úložiště hesel není k dispozici");
}

} // namespace

std::optional<QString> DesktopSecretStore::read(const QString &key) {
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(key);
    if (!finish(job) || job.error() != QKeychain::NoError)
        return std::nullopt;
    return job.textData();
}

QString DesktopSecretStore::write(const QString &key, const QString &secret) {
    QKeychain::WritePasswordJob job(kService);
    job.setKey(key);
    job.setTextData(secret);
    if (!finish(job))
        return QStringLiteral("úložiště hesel neodpovídá");
    return problemOf(job);
}

void DesktopSecretStore::remove(const QString &key) {
    QKeychain::DeletePasswordJob job(kService);
    job.setKey(key);
    finish(job);
}

} // namespace login
