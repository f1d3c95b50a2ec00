#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace app {

/// Chooses the database the program opens from its next start on: its own
/// default file, another file on this computer, or a database on a server
/// (the server with an optional "/port", and the path or alias there). The
/// choice is the connection target that the setting "Database" keeps;
/// empty for the default.
class DatabaseDialog : public QDialog {
    Q_OBJECT
  public:
    /// `chosen` is the setting's value, `defaultFile` the file the program
    /// opens without one, `open` the database open now.
    DatabaseDialog(const QString &chosen, const QString &defaultFile, const QString &open,
                   QWidget *parent = nullptr);

    /// The target the fields give; empty for the default file.
    QString target() const;
    /// What is wrong with the fields, or empty when they can be kept.
    QString problem() const;

    QRadioButton *rbDefault, *rbFile, *rbServer;
    QLineEdit *eSoubor, *eServer, *eCesta;
    QPushButton *bProchazet;

    /// Confirming with fields that cannot be kept says why and keeps the
    /// dialog open with what was typed.
    void accept() override;

  private:
    void browse();
    void enableFields();
};

/// The main window's command: shows the dialog and keeps the choice in the
/// settings. `commandLine` is a database given on the command line, which
/// wins over the setting.
void chooseDatabase(QWidget *parent, const QString &defaultFile, const QString &open,
                    const QString &commandLine);

} // namespace app
