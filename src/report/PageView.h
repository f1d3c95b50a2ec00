#pragma once

#include "report/PreparedReport.h"

#include <QAbstractScrollArea>

namespace report {

/// Shows one prepared page at a zoom, on a grey desk, with scrolling.
///
/// Up and Down scroll; at the top or bottom of the page they ask for the previous or
/// next page instead (pageStepRequested), which the owner answers with setPage().
class PageView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    enum class ZoomMode { FitPage, FitWidth, ActualSize };

    explicit PageView(QWidget *parent = nullptr);

    /// Shows `report` (not owned; must outlive the view or be replaced) from its first page.
    void setReport(const PreparedReport *report);
    /// Shows page `index` (zero-based, clamped); `atBottom` scrolls to its end.
    void setPage(int index, bool atBottom = false);
    int page() const { return m_page; }
    void setHighlightedLine(int line);

    void setZoomMode(ZoomMode mode);
    ZoomMode zoomMode() const { return m_mode; }
    /// The zoom in percent of the actual size.
    int zoomPercent() const;

  signals:
    void zoomChanged();
    /// -1 for the previous page, +1 for the next one.
    void pageStepRequested(int step);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    qreal actualScale() const;
    void updateScale();
    QRectF pageRect() const;

    const PreparedReport *m_report = nullptr;
    int m_page = 0;
    int m_highlightedLine = -1;
    ZoomMode m_mode = ZoomMode::FitPage;
    qreal m_scale = 1; // device pixels per point
};

} // namespace report
