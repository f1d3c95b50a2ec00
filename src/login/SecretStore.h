#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace login {

/// Where remembered passwords are kept: never the settings file.
class SecretStore {
  public:
    virtual ~SecretStore() = default;
    /// The secret kept under `key`; nullopt when there is none or the store
    /// cannot be reached.
    virtual std::optional<QString> read(const QString &key) = 0;
    /// Keeps `secret` under `key`. Returns an empty text, or why it could not.
    virtual QString write(const QString &key, const QString &secret) = 0;
    virtual void remove(const QString &key) = 0;
};

/// The desktop's secret service (through QtKeychain). Without one running,
/// reading finds nothing and writing says why; nothing falls back to a file.
class DesktopSecretStore : public SecretStore {
  public:
    std::optional<QString> read(const QString &key) override;
    QString write(const QString &key, const QString &secret) override;
    void remove(const QString &key) override;
};

/// Secrets for the life of the object only (tests, and sessions that must
/// not keep anything).
class MemorySecretStore : public SecretStore {
  public:
    std::optional<QString> read(const QString &key) override {
        const auto found = m_secrets.constFind(key);
        return found == m_secrets.constEnd() ? std::nullopt : std::optional<QString>(*found);
    }
    QString write(const QString &key, const QString &secret) override {
        m_secrets.insert(key, secret);
        return {};
    }
    void remove(const QString &key) override { m_secrets.remove(key); }

  private:
    QHash<QString, QString> m_secrets;
};

} // namespace login
