#include "app/StatusPanel.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace app {

StatusPanel::StatusPanel(const QString &name, const QString &role, QWidget *parent)
    : QLabel(parent) {
    setObjectName(name);
    setAccessibleDescription(role);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
}

void StatusPanel::makeKeyboardClickable() {
    // Tab only: a click with the mouse leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
}

void StatusPanel::keyPressEvent(QKeyEvent *event) {
    const int key = event->key();
    if (focusPolicy() != Qt::NoFocus && event->modifiers() == Qt::NoModifier &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void StatusPanel::enterEvent(QEnterEvent *event) {
    QLabel::enterEvent(event);
    emit mouseEntered();
}

void StatusPanel::leaveEvent(QEvent *event) {
    QLabel::leaveEvent(event);
    emit mouseLeft();
}

void StatusPanel::mousePressEvent(QMouseEvent *event) {
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void StatusPanel::mouseReleaseEvent(QMouseEvent *event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

} // namespace app
