#pragma once

#include "sync/AccountSettings.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace app {

/// Sets up the address book to sync with: its URL (or the server's), the
/// user and the password. Refuses what cannot be an account, saying why,
/// with the typing kept.
class SyncAccountDialog : public QDialog {
    Q_OBJECT
  public:
    SyncAccountDialog(const cardsync::AccountSettings &account, const QString &password,
                      QWidget *parent = nullptr);
    cardsync::AccountSettings account() const;
    QString password() const;

    QLineEdit *urlBox() const { return m_url; }
    QLabel *problemLabel() const { return m_problem; }

  protected:
    void accept() override;

  private:
    QLineEdit *m_url;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QLabel *m_problem;
};

} // namespace app
