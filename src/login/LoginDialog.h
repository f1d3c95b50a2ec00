#pragma once

#include "login/LoginFlow.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace login {

/// The small dialog asking for a server's user and password.
class LoginDialog : public QDialog {
    Q_OBJECT
  public:
    LoginDialog(const QString &target, const LoginAnswer &suggested, const QString &problem,
                QWidget *parent = nullptr);
    LoginAnswer answer() const;

    QLineEdit *userBox() const { return m_user; }
    QLineEdit *passwordBox() const { return m_password; }
    QCheckBox *rememberBox() const { return m_remember; }
    QLabel *problemLabel() const { return m_problem; }

  private:
    QLineEdit *m_user;
    QLineEdit *m_password;
    QCheckBox *m_remember;
    QLabel *m_problem;
};

/// Asks through LoginDialog.
class DialogLoginPrompt : public LoginPrompt {
  public:
    std::optional<LoginAnswer> ask(const QString &target, const LoginAnswer &suggested,
                                   const QString &problem) override;
};

} // namespace login
