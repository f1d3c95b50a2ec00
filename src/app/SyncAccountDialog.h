#pragma once

#include "sync/AccountSettings.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace app {

/// A company the sync may be limited to: its ID and name.
struct SyncableCompany {
    int id = 0;
    QString name;
};

/// Sets up the address book to sync with: its URL (or the server's), the
/// user, the password, and what to sync (all contacts, or the contacts of
/// the companies ticked in a list that a search box narrows). Refuses what
/// cannot be an account, saying why, with the typing kept.
class SyncAccountDialog : public QDialog {
    Q_OBJECT
  public:
    SyncAccountDialog(const cardsync::AccountSettings &account, const QString &password,
                      const QList<SyncableCompany> &companies, QWidget *parent = nullptr);
    cardsync::AccountSettings account() const;
    QString password() const;

    QLineEdit *urlBox() const { return m_url; }
    QLabel *problemLabel() const { return m_problem; }
    QRadioButton *chosenButton() const { return m_chosen; }
    QListWidget *companyList() const { return m_companies; }

  protected:
    void accept() override;

  private:
    QWidget *scopeBox(const QList<SyncableCompany> &companies, const QList<int> &ticked);

    QLineEdit *m_url;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QLabel *m_problem;
    QRadioButton *m_all = nullptr;
    QRadioButton *m_chosen = nullptr;
    QLineEdit *m_search = nullptr;
    QListWidget *m_companies = nullptr;
};

} // namespace app
