#pragma once

#include "db/DatabaseTarget.h"
#include "login/SecretStore.h"

#include <functional>
#include <optional>

namespace login {

/// What the user entered in the login dialog.
struct LoginAnswer {
    QString user;
    QString password;
    bool remember = false;
};

/// Asks the user for a login (the dialog; tests answer it themselves).
class LoginPrompt {
  public:
    virtual ~LoginPrompt() = default;
    /// Asks for a login to `target`, with `suggested` filled in and
    /// `problem` (why it asks again) shown when not empty. nullopt on Cancel.
    virtual std::optional<LoginAnswer> ask(const QString &target, const LoginAnswer &suggested,
                                           const QString &problem) = 0;
};

/// The server refused the login entered.
inline const QString kLoginRefused =
    QStringLiteral("Server odmítl uživatele nebo heslo. Zkontrolujte je a zkuste to znovu.");

/// Finds the login for a database on a server: the remembered one, then
/// ISC_USER and ISC_PASSWORD, then the user's answer, asked again while the
/// server refuses it. A remembered password lives in the secret store; the
/// settings keep only the user's name.
class LoginFlow {
  public:
    /// Attaches with `access` and detaches again; throws db::DbError.
    using Attempt = std::function<void(const db::DatabaseAccess &access)>;

    LoginFlow(SecretStore &store, LoginPrompt &prompt, Attempt attempt = attachOnce);

    /// The access to use for `target`. A file needs no login and comes back
    /// at once. nullopt when the user cancelled. A failure other than a
    /// refused login (the server cannot be reached) returns the access
    /// tried, for the program to report as it reports any such database.
    std::optional<db::DatabaseAccess> obtain(const QString &target);

    static void attachOnce(const db::DatabaseAccess &access);
    /// The secret store's key of a user's password on `target`.
    static QString secretKey(const QString &target, const QString &user);

  private:
    enum class Outcome { Admitted, Refused, Unreachable };
    Outcome attempt(const db::DatabaseAccess &access);
    void keep(const QString &target, const LoginAnswer &answer);

    SecretStore &m_store;
    LoginPrompt &m_prompt;
    Attempt m_attempt;
};

} // namespace login
