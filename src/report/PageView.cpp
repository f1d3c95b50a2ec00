#include "report/PageView.h"

#include "report/PageRenderer.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace report {

namespace {

constexpr int kGap = 12; // desk visible around the page

} // namespace

PageView::PageView(QWidget *parent) : QAbstractScrollArea(parent) {
    // A permanent vertical bar keeps the width, and so the fitted zoom, from jumping.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setSingleStep(20);
    setAccessibleName(QStringLiteral("Page view"));
}

void PageView::setReport(const PreparedReport *report) {
    m_report = report;
    m_page = 0;
    m_highlightedLine = -1;
    updateScale();
}

void PageView::setPage(int index, bool atBottom) {
    const int count = m_report ? m_report->pageCount() : 0;
    m_page = qBound(0, index, qMax(0, count - 1));
    m_highlightedLine = -1;
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(atBottom ? bar->maximum() : bar->minimum());
    viewport()->update();
}

void PageView::setHighlightedLine(int line) {
    m_highlightedLine = line;
    viewport()->update();
}

void PageView::setZoomMode(ZoomMode mode) {
    m_mode = mode;
    updateScale();
}

qreal PageView::actualScale() const {
    return logicalDpiX() / 72.0;
}

int PageView::zoomPercent() const {
    return qRound(m_scale / actualScale() * 100);
}

void PageView::updateScale() {
    const qreal old = m_scale;
    if (m_report && !m_report->pageSizePt.isEmpty()) {
        const QSizeF page = m_report->pageSizePt;
        const qreal width = qMax(1, viewport()->width() - 2 * kGap) / page.width();
        const qreal height = qMax(1, viewport()->height() - 2 * kGap) / page.height();
        switch (m_mode) {
        case ZoomMode::FitPage:
            m_scale = qMin(width, height);
            break;
        case ZoomMode::FitWidth:
            m_scale = width;
            break;
        case ZoomMode::ActualSize:
            m_scale = actualScale();
            break;
        }
        const QSize full = (page * m_scale).toSize() + QSize(2 * kGap, 2 * kGap);
        horizontalScrollBar()->setRange(0, qMax(0, full.width() - viewport()->width()));
        verticalScrollBar()->setRange(0, qMax(0, full.height() - viewport()->height()));
        horizontalScrollBar()->setPageStep(viewport()->width());
        verticalScrollBar()->setPageStep(viewport()->height());
    }
    viewport()->update();
    if (!qFuzzyCompare(old, m_scale))
        emit zoomChanged();
}

QRectF PageView::pageRect() const {
    const QSizeF size = m_report->pageSizePt * m_scale;
    // A page narrower than the view stands in the middle.
    const qreal x = size.width() + 2 * kGap < viewport()->width()
                        ? (viewport()->width() - size.width()) / 2
                        : kGap - horizontalScrollBar()->value();
    return QRectF(QPointF(x, kGap - verticalScrollBar()->value()), size);
}

void PageView::paintEvent(QPaintEvent *) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), QColor(128, 128, 128)); // the desk
    if (!m_report || m_report->pages.isEmpty())
        return;
    const QRectF page = pageRect();
    painter.fillRect(page.translated(3, 3), QColor(60, 60, 60));
    PageRenderer::paint(painter, *m_report, m_page, page, true, m_highlightedLine);
}

void PageView::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScale();
}

void PageView::keyPressEvent(QKeyEvent *event) {
    QScrollBar *bar = verticalScrollBar();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (event->key() == Qt::Key_Up && plain) {
        if (bar->value() == bar->minimum())
            emit pageStepRequested(-1);
        else
            bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return;
    }
    if (event->key() == Qt::Key_Down && plain) {
        if (bar->value() == bar->maximum())
            emit pageStepRequested(+1);
        else
            bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace report
