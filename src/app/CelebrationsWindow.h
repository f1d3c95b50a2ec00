#pragma once

#include "app/Celebrations.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace app {

/// "Svátky a narozeniny": the contacts who celebrate in the coming days,
/// one row a celebration. Enter or a double click opens the contact; the
/// e-mail button writes one greeting to every selected contact.
class CelebrationsWindow : public QDialog {
    Q_OBJECT
  public:
    /// `read` gives the rows (it is called on every reload); `openContact`
    /// opens a contact by its ID in the contact form and returns when that
    /// closes.
    CelebrationsWindow(std::function<std::vector<celebrations::Celebration>()> read,
                       std::function<void(qint64)> openContact, QWidget *parent = nullptr);

    /// Reads the rows again, for `today` (the first day of the range).
    void reload(const QDate &today, int days);

    static QString subject() { return QStringLiteral("Všechno nejlepší"); }

    QLabel *caption = nullptr;
    QTreeWidget *list = nullptr;
    QPushButton *openButton = nullptr;
    QPushButton *mailButton = nullptr;
    QPushButton *closeButton = nullptr;

  private:
    void openCurrent();
    void mailSelected();
    void updateButtons();

    std::function<std::vector<celebrations::Celebration>()> m_read;
    std::function<void(qint64)> m_openContact;
    std::vector<celebrations::Celebration> m_rows;
    QDate m_today;
    int m_days = 0;
};

} // namespace app
