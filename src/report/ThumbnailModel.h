#pragma once

#include "report/PreparedReport.h"

#include <QAbstractListModel>
#include <QHash>
#include <QPixmap>

namespace report {

/// The pages of a report as a list of thumbnails, drawn when a view first asks for them.
class ThumbnailModel : public QAbstractListModel {
    Q_OBJECT
  public:
    static constexpr int kWidth = 110;

    explicit ThumbnailModel(QObject *parent = nullptr);

    /// Shows `report` (not owned; must outlive the model or be replaced).
    void setReport(const PreparedReport *report);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    QSize thumbnailSize() const;

  private:
    QPixmap render(int page) const;

    const PreparedReport *m_report = nullptr;
    mutable QHash<int, QPixmap> m_cache;
};

} // namespace report
