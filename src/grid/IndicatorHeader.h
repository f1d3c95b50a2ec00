#pragma once

#include <QHeaderView>

namespace grid {

/// The row indicator of a DataGrid: a narrow column left of the rows that
/// marks the current row (a triangle while browsing, "I" while the row is
/// edited, "*" for a new row). A press on it makes that row current.
class IndicatorHeader : public QHeaderView {
    Q_OBJECT
  public:
    enum class Marker { Browse, Edit, Insert };
    static constexpr int kWidth = 11;

    explicit IndicatorHeader(QWidget *parent = nullptr);

    void setMarker(int row, Marker marker);
    int markedRow() const { return m_row; }

  signals:
    void doubleClicked();

  protected:
    void paintSection(QPainter *painter, const QRect &rect, int logical) const override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

  private:
    int m_row = -1;
    Marker m_marker = Marker::Browse;
};

} // namespace grid
