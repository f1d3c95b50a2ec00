#pragma once

#include <QLabel>

/// One panel of the main window's status bar: a centred caption in a soft
/// lowered bevel that reports the mouse entering, leaving and clicking it.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    /// `name` is the object name; `accessibleName` what assistive tools announce.
    StatusPanel(const QString &name, const QString &accessibleName, QWidget *parent = nullptr);

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

private:
    bool m_pressed = false;
};
