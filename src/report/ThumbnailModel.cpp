#include "report/ThumbnailModel.h"

#include "report/PageRenderer.h"

#include <QPainter>

namespace report {

ThumbnailModel::ThumbnailModel(QObject *parent) : QAbstractListModel(parent) {
}

void ThumbnailModel::setReport(const PreparedReport *report) {
    beginResetModel();
    m_report = report;
    m_cache.clear();
    endResetModel();
}

int ThumbnailModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() || !m_report ? 0 : m_report->pageCount();
}

QVariant ThumbnailModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || !m_report || index.row() >= m_report->pageCount())
        return {};
    const int page = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return QString::number(page + 1);
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return QStringLiteral("Page %1 of %2").arg(page + 1).arg(m_report->pageCount());
    case Qt::DecorationRole: {
        auto it = m_cache.find(page);
        if (it == m_cache.end())
            it = m_cache.insert(page, render(page));
        return *it;
    }
    case Qt::TextAlignmentRole:
        return Qt::AlignHCenter;
    default:
        return {};
    }
}

QSize ThumbnailModel::thumbnailSize() const {
    if (!m_report || m_report->pageSizePt.isEmpty())
        return QSize(kWidth, kWidth);
    const QSizeF page = m_report->pageSizePt;
    return QSize(kWidth, qRound(kWidth * page.height() / page.width()));
}

QPixmap ThumbnailModel::render(int page) const {
    QPixmap pixmap(thumbnailSize());
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    PageRenderer::paint(painter, *m_report, page, QRectF(pixmap.rect()));
    painter.setPen(Qt::darkGray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return pixmap;
}

} // namespace report
