#include "grid/IndicatorHeader.h"

#include <QMouseEvent>
#include <QPainter>

namespace grid {

IndicatorHeader::IndicatorHeader(QWidget *parent) : QHeaderView(Qt::Vertical, parent) {
    setFixedWidth(kWidth);
    setMinimumSectionSize(0);
    setSectionResizeMode(QHeaderView::Fixed);
    setSectionsClickable(true);
    setHighlightSections(false);
}

void IndicatorHeader::setMarker(int row, Marker marker) {
    if (row == m_row && marker == m_marker)
        return;
    m_row = row;
    m_marker = marker;
    viewport()->update();
}

void IndicatorHeader::paintSection(QPainter *painter, const QRect &rect, int logical) const {
    painter->fillRect(rect, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Dark));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    if (logical != m_row)
        return;
    painter->save();
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->setBrush(palette().color(QPalette::ButtonText));
    const QPoint c = rect.center();
    switch (m_marker) {
    case Marker::Browse: {
        const QPoint triangle[] = {
            {c.x() - 2, c.y() - 4}, {c.x() + 2, c.y()}, {c.x() - 2, c.y() + 4}};
        painter->drawPolygon(triangle, 3);
        break;
    }
    case Marker::Edit:
    case Marker::Insert:
        painter->drawText(rect, Qt::AlignCenter,
                          m_marker == Marker::Edit ? QStringLiteral("I") : QStringLiteral("*"));
        break;
    }
    painter->restore();
}

void IndicatorHeader::mouseDoubleClickEvent(QMouseEvent *event) {
    QHeaderView::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

} // namespace grid
