#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace forms {

/// One box the register's answer would fill, and with what.
struct ProposedText {
    QString caption;
    QLineEdit *box = nullptr;
    QString text;
};

/// Shows side by side what each box holds now and what the register's
/// answer would put there. Enter or "Převzít" takes it (accepted), Esc or
/// "Nepřevzít" does not; the dialog itself changes no box.
class AresPreview : public QDialog {
    Q_OBJECT
  public:
    AresPreview(const QString &ico, const QList<ProposedText> &proposals, QWidget *parent);

    QTableWidget *table() const { return m_table; }
    QPushButton *takeButton() const { return m_take; }

  private:
    QTableWidget *m_table;
    QPushButton *m_take;
};

} // namespace forms
