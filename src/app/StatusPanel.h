#pragma once

#include <QLabel>

namespace app {

/// One panel of the main window's status bar: a centred caption in a soft
/// lowered bevel that reports the mouse entering, leaving and clicking it.
class StatusPanel : public QLabel {
    Q_OBJECT
  public:
    /// `name` is the object name; `role` what the panel is for, given to
    /// assistive tools as its description (they read its text as its name).
    StatusPanel(const QString &name, const QString &role, QWidget *parent = nullptr);

    /// Lets the keyboard reach the panel: Tab stops on it and Enter or Space
    /// act as a click.
    void makeKeyboardClickable();

  signals:
    void mouseEntered();
    void mouseLeft();
    /// Left button pressed and released over the panel.
    void clicked();

  protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    bool m_pressed = false;
};

} // namespace app
