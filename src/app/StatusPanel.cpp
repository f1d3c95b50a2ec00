#include "StatusPanel.h"

#include <QMouseEvent>

StatusPanel::StatusPanel(const QString &name, const QString &accessibleName, QWidget *parent)
    : QLabel(parent) {
    setObjectName(name);
    setAccessibleName(accessibleName);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
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
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}
