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
    if (job.error() != QKeychain::NoError)
        return job.errorString().isEmpty() ? QStringLiteral("úložiště hesel není k dispozici")
                                           : job.errorString();
    return {};
}

void DesktopSecretStore::remove(const QString &key) {
    QKeychain::DeletePasswordJob job(kService);
    job.setKey(key);
    finish(job);
}

} // namespace login
