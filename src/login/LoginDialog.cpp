#include "login/LoginDialog.h"

#include "ui/DialogButtons.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace login {

LoginDialog::LoginDialog(const QString &target, const LoginAnswer &suggested,
                         const QString &problem, QWidget *parent)
    : QDialog(parent), m_user(new QLineEdit(suggested.user, this)), m_password(new QLineEdit(this)),
      m_remember(new QCheckBox(QStringLiteral("&Zapamatovat heslo"), this)),
      m_problem(new QLabel(problem, this)) {
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("Přihlášení k databázi"));
    auto *where = new QLabel(QStringLiteral("Databáze: %1").arg(target), this);
    where->setWordWrap(true);
    m_problem->setWordWrap(true);
    m_problem->setVisible(!problem.isEmpty());
    m_problem->setObjectName(QStringLiteral("lChyba"));
    m_problem->setAccessibleName(QStringLiteral("Chyba přihlášení"));
    m_user->setObjectName(QStringLiteral("eUzivatel"));
    m_user->setAccessibleName(QStringLiteral("Uživatel"));
    m_password->setObjectName(QStringLiteral("eHeslo"));
    m_password->setAccessibleName(QStringLiteral("Heslo"));
    m_password->setEchoMode(QLineEdit::Password);
    m_remember->setObjectName(QStringLiteral("cbZapamatovat"));
    m_remember->setAccessibleName(QStringLiteral("Zapamatovat heslo"));
    m_remember->setChecked(suggested.remember);

    auto *userLabel = new QLabel(QStringLiteral("&Uživatel:"), this);
    userLabel->setBuddy(m_user);
    auto *passwordLabel = new QLabel(QStringLiteral("&Heslo:"), this);
    passwordLabel->setBuddy(m_password);
    auto *form = new QFormLayout;
    form->addRow(userLabel, m_user);
    form->addRow(passwordLabel, m_password);
    form->addRow(QString(), m_remember);

    QDialogButtonBox *buttons = ui::confirmButtons(this, QStringLiteral("Přihlásit"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(m_problem);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // A known user only needs the password.
    (suggested.user.isEmpty() ? m_user : m_password)->setFocus();
}

LoginAnswer LoginDialog::answer() const {
    return {m_user->text().trimmed(), m_password->text(), m_remember->isChecked()};
}

std::optional<LoginAnswer> DialogLoginPrompt::ask(const QString &target,
                                                  const LoginAnswer &suggested,
                                                  const QString &problem) {
    LoginDialog dialog(target, suggested, problem);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.answer();
}

} // namespace login
