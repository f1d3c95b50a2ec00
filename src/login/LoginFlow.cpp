#include "login/LoginFlow.h"

#include "base/MessageService.h"
#include "db/DbConnection.h"
#include "db/DbError.h"

#include <QSettings>
#include <QUrl>

namespace login {
namespace {

/// The settings key of the user last logged in to `target`; the target's
/// slashes and colons would otherwise split the key into groups.
QString userKey(const QString &target) {
    return QStringLiteral("Prihlaseni/") + QString::fromLatin1(QUrl::toPercentEncoding(target));
}

} // namespace

LoginFlow::LoginFlow(SecretStore &store, LoginPrompt &prompt, Attempt attempt)
    : m_store(store), m_prompt(prompt), m_attempt(std::move(attempt)) {
}

void LoginFlow::attachOnce(const db::DatabaseAccess &access) {
    db::DbConnection connection;
    connection.setDatabase(access.database);
    connection.setUser(access.user);
    connection.setPassword(access.password);
    connection.setConnected(true);
}

QString LoginFlow::secretKey(const QString &target, const QString &user) {
    return user + QLatin1Char('@') + target;
}

LoginFlow::Outcome LoginFlow::attempt(const db::DatabaseAccess &access) {
    try {
        m_attempt(access);
        return Outcome::Admitted;
    } catch (const db::DbError &e) {
        return e.kind() == db::DbError::Kind::LoginRefused ? Outcome::Refused
                                                           : Outcome::Unreachable;
    }
}

std::optional<db::DatabaseAccess> LoginFlow::obtain(const QString &target) {
    if (!db::target::isServer(target))
        return db::DatabaseAccess::embedded(target);
    LoginAnswer suggested{QSettings().value(userKey(target)).toString(), {}, false};
    QString problem;
    auto tryLogin = [&](const QString &user, const QString &password) -> Outcome {
        const Outcome outcome = attempt({target, user, password});
        if (outcome == Outcome::Refused)
            problem = kLoginRefused;
        return outcome;
    };

    if (!suggested.user.isEmpty()) {
        if (const auto remembered = m_store.read(secretKey(target, suggested.user))) {
            if (tryLogin(suggested.user, *remembered) != Outcome::Refused)
                return db::DatabaseAccess{target, suggested.user, *remembered};
            suggested.remember = true;
        }
    }
    const QString envUser = qEnvironmentVariable("ISC_USER");
    if (!envUser.isEmpty()) {
        const QString envPassword = qEnvironmentVariable("ISC_PASSWORD");
        if (tryLogin(envUser, envPassword) != Outcome::Refused)
            return db::DatabaseAccess{target, envUser, envPassword};
        if (suggested.user.isEmpty())
            suggested.user = envUser;
    }
    for (;;) {
        const std::optional<LoginAnswer> answer = m_prompt.ask(target, suggested, problem);
        if (!answer)
            return std::nullopt;
        const db::DatabaseAccess access{target, answer->user, answer->password};
        const Outcome outcome = tryLogin(answer->user, answer->password);
        if (outcome == Outcome::Admitted)
            keep(target, *answer);
        if (outcome != Outcome::Refused)
            return access;
        suggested = {answer->user, {}, answer->remember};
    }
}

void LoginFlow::keep(const QString &target, const LoginAnswer &answer) {
    QSettings().setValue(userKey(target), answer.user);
    const QString key = secretKey(target, answer.user);
    if (!answer.remember) {
        m_store.remove(key);
        return;
    }
    const QString error = m_store.write(key, answer.password);
    if (!error.isEmpty())
        base::msg::show(
            base::msg::Kind::Warning,
            QStringLiteral("Heslo se nepodařilo zapamatovat (%1). Příště se program na heslo "
                           "zeptá znovu.")
                .arg(error));
}

} // namespace login
