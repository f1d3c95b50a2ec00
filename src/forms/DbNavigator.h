#pragma once

#include <QWidget>

#include <array>

class QToolButton;

namespace dataset {
class DataSource;
} // namespace dataset

namespace forms {

/// A flat navigator over a data source with the buttons first, prior, next
/// and last. A click moves the dataset (through the standard error report,
/// so a failed move ends there) and then reports the move with moved(),
/// where the form refreshes what the bound controls do not show by
/// themselves. The buttons that cannot move are greyed: first and prior at
/// the first row, next and last at the last row, all on an empty or closed
/// table. The data source is not owned.
class DbNavigator : public QWidget {
    Q_OBJECT
  public:
    enum Button { First, Prior, Next, Last };

    explicit DbNavigator(dataset::DataSource &source, QWidget *parent = nullptr);

    /// The button (owned by the navigator).
    QToolButton *button(Button which) const { return m_buttons[which]; }

  signals:
    /// The dataset was moved by `which` (also when it stayed at an end).
    void moved(forms::DbNavigator::Button which);

  private:
    void move(Button which);
    void updateButtons();

    dataset::DataSource &m_source;
    std::array<QToolButton *, 4> m_buttons{};
};

} // namespace forms
