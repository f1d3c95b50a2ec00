#pragma once

#include "grid/GridColumn.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QTableView>

#include <functional>
#include <vector>

namespace dataset {
class Dataset;
} // namespace dataset
class QAbstractButton;

namespace grid {

class DatasetModel;
class GridHeader;
class GridMenu;
class IndicatorHeader;

/// Rows for which the expression handler answers true are painted as one
/// band across the row in this font and colour.
struct Grouping {
    QString expression;
    QFont font;
    QColor fontColor;
    QColor color;
};

/// A data grid over a dataset::Dataset: whole-row selection kept in step with
/// the dataset's current row, a row indicator, no cell editing, grouping
/// bands, an optional filter bar, a context menu of record and layout
/// commands, and a column layout kept in the user's settings.
///
/// Rows arrive lazily, about a screen at a time. The grid never throws out of
/// its event handlers: failures of the data layer there go to the standard
/// error report. The dataset is not owned.
class DataGrid : public QTableView {
    Q_OBJECT
  public:
    static constexpr int kRowHeight = 17;

    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    void setDataset(dataset::Dataset *dataset);
    dataset::Dataset *dataset() const;
    DatasetModel *datasetModel() const { return m_model; }
    GridHeader *gridHeader() const { return m_header; }
    IndicatorHeader *indicator() const { return m_indicator; }

    /// Replaces the columns (an empty list: one column per field); widths,
    /// hidden flags and the display order follow the list.
    void setColumns(std::vector<grid::GridColumn> columns);
    /// The columns in display order with their widths as they are now.
    std::vector<grid::GridColumn> columnLayout() const;

    /// Backgrounds of odd and even rows (counted from 1); an invalid colour
    /// leaves the column's own background.
    void setRowColors(const QColor &odd, const QColor &even);
    /// Height of the title captions; 0 fits the captions.
    void setTitleHeight(int pixels);
    void setWrapTitles(bool wrap);
    /// Which scroll bars may appear (the other ones never do).
    void setScrollBars(Qt::Orientations orientations);

    // ---- grouping ----
    /// Asked for a row about to be painted: set `value` to true (and `text`
    /// to the group line) to make it a group row. `text` comes in empty and
    /// `value` false. The handler reads the row through the dataset's
    /// valueAt(row, ...): the current row is not moved while painting.
    using ExpressionHandler =
        std::function<void(const QString &expression, int row, QString &text, bool &value)>;
    /// Paints a group row's band. `rect` spans the row from the indicator to
    /// the end of the last column. Leaving `defaultDrawing` true lets the
    /// grid fill the band and write the text; clearing it makes the grid
    /// draw only the row's last cell over what the handler painted.
    using DrawGroupingCellHandler =
        std::function<void(QPainter &painter, const QRect &rect, const grid::Grouping &grouping,
                           const QString &text, bool &defaultDrawing)>;
    void setGroupings(QList<grid::Grouping> groupings);
    const QList<grid::Grouping> &groupings() const { return m_groupings; }
    void setExpressionHandler(ExpressionHandler handler);
    void setDrawGroupingCellHandler(DrawGroupingCellHandler handler) {
        m_drawGroupingCell = std::move(handler);
    }
    /// The index of the first grouping that makes `row` a group row, or -1.
    int groupOf(int row, QString *text = nullptr) const;
    /// The band of `row` in viewport coordinates.
    QRect bandRect(int row) const;

    // ---- filter bar ----
    void setFilterBarVisible(bool visible);
    /// Sets the filter value of a column (logical index) and filters the
    /// dataset's rows again. Throws db::DbError when that fails.
    void setColumnFilter(int column, const QString &value);
    QString columnFilter(int column) const;

    // ---- layout store ----
    /// The settings group of this grid's layout (such as "gHlavniDeska").
    void setLayoutGroup(const QString &group) { m_layoutGroup = group; }
    const QString &layoutGroup() const { return m_layoutGroup; }
    /// Replaces the columns by the stored layout, if there is one; true when it did.
    bool restoreLayout();
    void saveLayout() const;
    /// Gives a column (logical index) a title of its own, an empty one
    /// showing its field name, and keeps it with the layout at once.
    void renameColumn(int logical, const QString &title);

    // ---- context menu ----
    GridMenu *menu() const { return m_menu; }
    /// Opens the menu at `globalPos` while the dataset is open.
    void popupContextMenu(const QPoint &globalPos);
    /// Closes and reopens the dataset and returns to the row at the same
    /// position, or to the first row when there is none. Throws db::DbError.
    void refreshDataset();
    /// True when the record commands may change the dataset.
    bool isDatasetWritable() const;

  signals:
    /// A left click on a data cell, after it made its row current (logical
    /// column); also Space, and Enter before its dblClick, on the cursor cell.
    void cellClick(int column);
    /// A double click anywhere in the grid, or Enter on the cursor cell.
    void dblClick();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

  private:
    void showDatasetRow();
    void updateIndicator();
    void applyColumnGeometry();
    void updateGroupTextColumn();
    void applyRecordFilter();
    /// Fetches rows until the viewport is full or the dataset has no more.
    void fillViewport();
    void updateFetchBatch();
    int firstVisibleColumn() const;
    int lastVisibleColumn() const;
    void paintBand(QPainter &painter, int row, int grouping, const QString &text);

    QPointer<dataset::Dataset> m_dataset;
    DatasetModel *m_model;
    GridHeader *m_header;
    IndicatorHeader *m_indicator;
    GridMenu *m_menu;
    QAbstractButton *m_corner = nullptr;
    QList<grid::Grouping> m_groupings;
    ExpressionHandler m_expression;
    DrawGroupingCellHandler m_drawGroupingCell;
    QHash<QString, QString> m_filters; // upper-cased field name -> filter value
    bool m_recordFilterSet = false;
    QString m_layoutGroup;
    bool m_syncing = false;
};

} // namespace grid
