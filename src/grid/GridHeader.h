#pragma once

#include <QHeaderView>

#include <functional>

class QLineEdit;

namespace grid {

/// The column titles of a DataGrid: fixed or fitting title height, optional
/// word-wrapped captions and an optional filter bar whose cells are the
/// lowest kFilterHeight pixels of every title. A press on a filter cell
/// opens an edit box over it; Enter or leaving the box hands a changed value
/// on through filterEdited(). The header knows nothing of the data.
class GridHeader : public QHeaderView {
    Q_OBJECT
  public:
    static constexpr int kFilterHeight = 19;

    explicit GridHeader(QWidget *parent = nullptr);

    /// Height of the caption part in pixels; 0 fits the captions.
    void setTitleHeight(int pixels);
    void setWrapTitles(bool wrap);
    void setFilterBarVisible(bool visible);
    bool isFilterBarVisible() const { return m_filterBar; }
    /// Where the header reads the filter value of a column (by logical index).
    void setFilterValues(std::function<QString(int logical)> values) {
        m_filterValues = std::move(values);
    }

    /// The filter cell of a column in header coordinates (empty without a filter bar).
    QRect filterCellRect(int logical) const;
    /// Opens the edit box over the filter cell of `logical`, with its value and the focus.
    void openFilterEditor(int logical);
    /// The edit box, while it is open (else null).
    QLineEdit *filterEditor() const;

    QSize sizeHint() const override;

  signals:
    void filterEdited(int logical, const QString &value);
    void contextMenuRequested(const QPoint &globalPos);
    void doubleClicked();

  protected:
    void paintSection(QPainter *painter, const QRect &rect, int logical) const override;
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logical) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void closeFilterEditor(bool commit);
    void placeFilterEditor();

    int m_titleHeight = 0;
    bool m_wrap = false;
    bool m_filterBar = false;
    std::function<QString(int)> m_filterValues;
    QLineEdit *m_editor = nullptr;
    int m_editedSection = -1;
    bool m_closing = false;
};

} // namespace grid
