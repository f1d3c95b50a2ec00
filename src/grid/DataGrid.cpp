#include "grid/DataGrid.h"

#include "dataset/Dataset.h"
#include "grid/ColumnFilter.h"
#include "grid/DatasetModel.h"
#include "grid/GridHeader.h"
#include "grid/GridMenu.h"
#include "grid/IndicatorHeader.h"
#include "grid/LayoutStore.h"
#include "ui/ErrorReport.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace grid {

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent), m_model(new DatasetModel(this)), m_header(new GridHeader(this)),
      m_indicator(new IndicatorHeader(this)), m_menu(new GridMenu(this)) {
    setHorizontalHeader(m_header);
    setVerticalHeader(m_indicator);
    setModel(m_model);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(true);
    setSortingEnabled(false);
    setShowGrid(true);
    setWordWrap(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_indicator->setDefaultSectionSize(kRowHeight);
    setScrollBars(Qt::Vertical);

    m_header->setFilterValues([this](int logical) { return columnFilter(logical); });
    connect(m_header, &GridHeader::filterEdited, this, [this](int logical, const QString &value) {
        ui::guarded([&] { setColumnFilter(logical, value); });
    });
    connect(m_header, &GridHeader::contextMenuRequested, this, &DataGrid::popupContextMenu);
    connect(m_header, &GridHeader::doubleClicked, this, &DataGrid::dblClick);
    connect(m_indicator, &IndicatorHeader::doubleClicked, this, &DataGrid::dblClick);
    connect(m_header, &QHeaderView::sectionMoved, this, &DataGrid::updateGroupTextColumn);
    connect(m_header, &QHeaderView::sectionResized, this, &DataGrid::updateGroupTextColumn);

    connect(m_model, &DatasetModel::columnsReplaced, this, &DataGrid::applyColumnGeometry);
    connect(m_model, &DatasetModel::fetchFailed, this,
            [](const QString &message) { ui::showErrorReport(message); });
    connect(m_model, &QAbstractItemModel::modelReset, this, &DataGrid::showDatasetRow);
    m_model->setGroupText([this](int row, QString &text) { return groupOf(row, &text) >= 0; });

    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (m_dataset && index.row() == m_dataset->currentIndex())
            emit cellClick(index.column());
    });

    // The corner cell opens the menu on any press instead of selecting everything.
    m_corner = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
    if (m_corner)
        m_corner->installEventFilter(this);
}

DataGrid::~DataGrid() {
    setDataset(nullptr);
}

// ---- dataset ----------------------------------------------------------------

dataset::Dataset *DataGrid::dataset() const {
    return m_dataset;
}

void DataGrid::setDataset(dataset::Dataset *dataset) {
    if (m_dataset == dataset)
        return;
    if (m_dataset) {
        disconnect(m_dataset, nullptr, this, nullptr);
        if (m_recordFilterSet)
            ui::guarded([&] { m_dataset->setRecordFilter({}); });
        m_recordFilterSet = false;
    }
    m_dataset = dataset;
    if (m_dataset) {
        connect(m_dataset, &dataset::Dataset::currentChanged, this, &DataGrid::showDatasetRow);
        connect(m_dataset, &dataset::Dataset::stateChanged, this, &DataGrid::updateIndicator);
    }
    m_model->setDataset(dataset);
    if (m_dataset && !m_filters.isEmpty())
        ui::guarded([&] { applyRecordFilter(); });
    showDatasetRow();
}

bool DataGrid::isDatasetWritable() const {
    // Only a table has somewhere to write its rows to.
    return qobject_cast<const dataset::TableDataset *>(m_dataset.data()) != nullptr;
}

// The dataset's current row is the truth; the view's current index follows it.
void DataGrid::showDatasetRow() {
    QScopedValueRollback guard(m_syncing, true);
    const int row = m_dataset && m_dataset->isActive() ? m_dataset->currentIndex() : -1;
    if (row < 0 || row >= m_model->rowCount()) {
        if (selectionModel()->currentIndex().isValid())
            selectionModel()->clear();
    } else if (selectionModel()->currentIndex().row() != row ||
               !selectionModel()->isRowSelected(row, {})) {
        const int column =
            currentIndex().isValid() ? currentIndex().column() : firstVisibleColumn();
        selectionModel()->setCurrentIndex(m_model->index(row, qMax(0, column)),
                                          QItemSelectionModel::ClearAndSelect |
                                              QItemSelectionModel::Rows);
    }
    updateIndicator();
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QTableView::currentChanged(current, previous);
    if (m_syncing || !m_dataset || !m_dataset->isActive() || !current.isValid() ||
        current.row() == m_dataset->currentIndex())
        return;
    const int row = current.row();
    ui::guarded([&] { m_dataset->moveTo(row); });
    if (m_dataset && m_dataset->currentIndex() != row) {
        // The dataset refused to move (a failed post): show where it stayed.
        QMetaObject::invokeMethod(this, &DataGrid::showDatasetRow, Qt::QueuedConnection);
    }
    updateIndicator();
}

void DataGrid::updateIndicator() {
    IndicatorHeader::Marker marker = IndicatorHeader::Marker::Browse;
    if (m_dataset && m_dataset->state() == dataset::Dataset::State::Edit)
        marker = IndicatorHeader::Marker::Edit;
    else if (m_dataset && m_dataset->state() == dataset::Dataset::State::Insert)
        marker = IndicatorHeader::Marker::Insert;
    m_indicator->setMarker(m_dataset && m_dataset->isActive() ? m_dataset->currentIndex() : -1,
                           marker);
}

// ---- columns and look -------------------------------------------------------

void DataGrid::setColumns(std::vector<grid::GridColumn> columns) {
    m_model->setColumns(std::move(columns));
}

void DataGrid::applyColumnGeometry() {
    const auto &columns = m_model->columns();
    for (int logical = 0; logical < int(columns.size()); ++logical) {
        const int visual = m_header->visualIndex(logical);
        if (visual != logical)
            m_header->moveSection(visual, logical);
    }
    for (int logical = 0; logical < int(columns.size()); ++logical) {
        m_header->setSectionHidden(logical, columns[logical].hidden);
        m_header->resizeSection(logical, columns[logical].width);
    }
    updateGroupTextColumn();
}

// A reader hears a group row's line in the first column that can be seen.
void DataGrid::updateGroupTextColumn() {
    m_model->setGroupTextColumn(firstVisibleColumn());
}

std::vector<grid::GridColumn> DataGrid::columnLayout() const {
    std::vector<grid::GridColumn> layout;
    const auto &columns = m_model->columns();
    for (int visual = 0; visual < int(columns.size()); ++visual) {
        const int logical = m_header->logicalIndex(visual);
        grid::GridColumn column = columns[logical];
        column.hidden = m_header->isSectionHidden(logical);
        if (!column.hidden)
            column.width = m_header->sectionSize(logical);
        layout.push_back(std::move(column));
    }
    return layout;
}

int DataGrid::firstVisibleColumn() const {
    for (int visual = 0; visual < m_header->count(); ++visual) {
        const int logical = m_header->logicalIndex(visual);
        if (!m_header->isSectionHidden(logical) && m_header->sectionSize(logical) > 0)
            return logical;
    }
    return 0;
}

int DataGrid::lastVisibleColumn() const {
    for (int visual = m_header->count() - 1; visual >= 0; --visual) {
        const int logical = m_header->logicalIndex(visual);
        if (!m_header->isSectionHidden(logical))
            return logical;
    }
    return -1;
}

void DataGrid::setRowColors(const QColor &odd, const QColor &even) {
    m_model->setRowColors(odd, even);
}

void DataGrid::setTitleHeight(int pixels) {
    m_header->setTitleHeight(pixels);
    updateGeometries();
}

void DataGrid::setWrapTitles(bool wrap) {
    m_header->setWrapTitles(wrap);
}

void DataGrid::setScrollBars(Qt::Orientations orientations) {
    setHorizontalScrollBarPolicy(orientations & Qt::Horizontal ? Qt::ScrollBarAsNeeded
                                                               : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(orientations & Qt::Vertical ? Qt::ScrollBarAsNeeded
                                                           : Qt::ScrollBarAlwaysOff);
}

// About one screen of rows per fetch, so that rows arrive only as far as they are shown.
void DataGrid::updateFetchBatch() {
    m_model->setFetchBatch(viewport()->height() / kRowHeight + 2);
}

void DataGrid::resizeEvent(QResizeEvent *event) {
    QTableView::resizeEvent(event);
    updateFetchBatch();
    fillViewport();
}

void DataGrid::fillViewport() {
    // The view asks for rows as it scrolls; one that grows asks for what it
    // now has room for.
    while (m_model->rowCount() * kRowHeight < viewport()->height() + kRowHeight &&
           m_model->canFetchMore({})) {
        const int before = m_model->rowCount();
        m_model->fetchMore({});
        if (m_model->rowCount() == before)
            break;
    }
}

// ---- grouping -----------------------------------------------------------------

void DataGrid::setGroupings(QList<grid::Grouping> groupings) {
    m_groupings = std::move(groupings);
    viewport()->update();
}

void DataGrid::setExpressionHandler(ExpressionHandler handler) {
    m_expression = std::move(handler);
    viewport()->update();
}

int DataGrid::groupOf(int row, QString *text) const {
    if (!m_expression || row < 0 || row >= m_model->rowCount())
        return -1;
    for (int i = 0; i < m_groupings.size(); ++i) {
        if (m_groupings[i].expression.isEmpty())
            continue;
        QString line;
        bool value = false;
        m_expression(m_groupings[i].expression, row, line, value);
        if (value) {
            if (text)
                *text = std::move(line);
            return i;
        }
    }
    return -1;
}

QRect DataGrid::bandRect(int row) const {
    int right = m_header->length() - m_header->offset();
    if (right <= 0)
        right = viewport()->width();
    const int lineWidth = showGrid() ? 1 : 0; // the line under the row stays
    return QRect(0, rowViewportPosition(row), right, rowHeight(row) - lineWidth);
}

void DataGrid::paintBand(QPainter &painter, int row, int grouping, const QString &text) {
    const grid::Grouping &g = m_groupings[grouping];
    const QRect band = bandRect(row);
    // Whatever is painted stays within the row: the lines between rows stay.
    painter.save();
    painter.setClipRect(band);
    bool defaultDrawing = true;
    if (m_drawGroupingCell) {
        painter.save();
        m_drawGroupingCell(painter, band, g, text, defaultDrawing);
        painter.restore();
    }
    if (defaultDrawing) {
        painter.fillRect(band, g.color);
        painter.setFont(g.font);
        painter.setPen(g.fontColor);
        painter.drawText(band.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    } else if (const int last = lastVisibleColumn(); last >= 0) {
        // The handler painted the band and the cells' own content follows it; of
        // a row of cells, each covered by the next band, the last one stays on top.
        const QModelIndex index = m_model->index(row, last);
        const QRect cell = visualRect(index).adjusted(3, 0, -3, 0);
        if (cell.width() > 0) {
            painter.setFont(index.data(Qt::FontRole).value<QFont>());
            painter.setPen(index.data(Qt::ForegroundRole).value<QColor>());
            painter.drawText(cell, index.data(Qt::TextAlignmentRole).toInt(),
                             index.data().toString());
        }
    }
    painter.restore();
}

void DataGrid::paintEvent(QPaintEvent *event) {
    QTableView::paintEvent(event);
    if (m_groupings.isEmpty() || !m_expression || m_model->rowCount() == 0)
        return;
    const int first = rowAt(event->rect().top());
    if (first < 0)
        return;
    int last = rowAt(event->rect().bottom());
    if (last < 0)
        last = m_model->rowCount() - 1;
    QPainter painter(viewport());
    QString text;
    const int current = m_dataset && m_dataset->isActive() ? m_dataset->currentIndex() : -1;
    for (int row = first; row <= last; ++row) {
        const int grouping = groupOf(row, &text);
        if (grouping < 0)
            continue;
        paintBand(painter, row, grouping, text);
        // A band hides the selection's colour: the current one is framed
        // instead while the grid has the focus.
        if (row == current && hasFocus()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(1, rowViewportPosition(row) + 1, viewport()->width() - 2,
                                   rowHeight(row) - 2));
        }
    }
}

void DataGrid::focusInEvent(QFocusEvent *event) {
    QTableView::focusInEvent(event);
    viewport()->update();
}

// ---- mouse and keyboard -------------------------------------------------------

void DataGrid::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton) {
        popupContextMenu(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton)
        return;
    QTableView::mouseDoubleClickEvent(event);
    emit dblClick();
}

bool DataGrid::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_corner && event->type() == QEvent::MouseButtonPress) {
        popupContextMenu(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        return true;
    }
    if (watched == m_corner && event->type() == QEvent::MouseButtonDblClick) {
        emit dblClick();
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void DataGrid::keyPressEvent(QKeyEvent *event) {
    // The filter bar from the keyboard: the cell of the cursor's column.
    if (event->matches(QKeySequence::Find) && m_header->isFilterBarVisible()) {
        int column = currentIndex().isValid() ? currentIndex().column() : -1;
        for (int visual = 0; column < 0 && visual < m_header->count(); ++visual) {
            const int logical = m_header->logicalIndex(visual);
            if (!m_header->isSectionHidden(logical) && m_header->sectionSize(logical) > 0)
                column = logical;
        }
        m_header->openFilterEditor(column);
        event->accept();
        return;
    }
    if (m_dataset && m_dataset->isActive()) {
        switch (event->key()) {
        case Qt::Key_Home:
            ui::guarded([&] { m_dataset->first(); });
            event->accept();
            return;
        case Qt::Key_End:
            ui::guarded([&] { m_dataset->last(); });
            event->accept();
            return;
        case Qt::Key_Delete:
            if (event->modifiers() == Qt::ControlModifier) {
                m_menu->run(GridMenu::Command::DeleteRecord);
                event->accept();
                return;
            }
            break;
        // The keyboard's click and double click on the cursor cell.
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
                state() != EditingState && currentIndex().isValid()) {
                emit cellClick(currentIndex().column());
                if (event->key() != Qt::Key_Space)
                    emit dblClick();
                event->accept();
                return;
            }
            break;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

bool DataGrid::focusNextPrevChild(bool next) {
    if (!tabKeyNavigation() || !isEnabled())
        return QTableView::focusNextPrevChild(next);
    // Tab and Shift+Tab move between the cells and never leave the grid.
    QKeyEvent event(QEvent::KeyPress, next ? Qt::Key_Tab : Qt::Key_Backtab, Qt::NoModifier);
    keyPressEvent(&event);
    return true;
}

void DataGrid::focusOutEvent(QFocusEvent *event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
    // A new row nobody wrote into is dropped when the grid loses the focus.
    if (event->reason() != Qt::PopupFocusReason && m_dataset &&
        m_dataset->state() == dataset::Dataset::State::Insert && !m_dataset->isModified())
        ui::guarded([&] { m_dataset->cancel(); });
}

// ---- menu and refresh -------------------------------------------------------

void DataGrid::popupContextMenu(const QPoint &globalPos) {
    if (!m_dataset || !m_dataset->isActive())
        return;
    const int overColumn = m_header->logicalIndexAt(m_header->mapFromGlobal(globalPos).x());
    m_menu->setColumn(overColumn >= 0 ? overColumn : currentIndex().column());
    m_menu->updateActions();
    m_menu->menu()->popup(globalPos);
}

void DataGrid::refreshDataset() {
    const int position = m_dataset->currentIndex();
    m_dataset->close();
    m_dataset->open();
    if (position > 0) {
        if (m_dataset->fetchedCount() <= position)
            m_dataset->fetchMore(position + 1 - m_dataset->fetchedCount());
        if (position < m_dataset->fetchedCount())
            m_dataset->moveTo(position);
    }
}

// ---- layout store -----------------------------------------------------------

bool DataGrid::restoreLayout() {
    if (m_layoutGroup.isEmpty())
        return false;
    auto columns = grid::LayoutStore(m_layoutGroup).read(grid::GridColumn{});
    if (!columns)
        return false;
    setColumns(std::move(*columns));
    return true;
}

void DataGrid::saveLayout() const {
    if (!m_layoutGroup.isEmpty())
        grid::LayoutStore(m_layoutGroup).write(columnLayout());
}

void DataGrid::renameColumn(int logical, const QString &title) {
    std::vector<grid::GridColumn> layout = columnLayout();
    const int visual = m_header->visualIndex(logical);
    if (visual < 0 || visual >= int(layout.size()))
        return;
    // A field name typed as the title is the default, not a title of its own.
    layout[size_t(visual)].title = title == layout[size_t(visual)].field ? QString() : title;
    setColumns(std::move(layout));
    saveLayout();
}

// ---- filter bar ---------------------------------------------------------------

void DataGrid::setFilterBarVisible(bool visible) {
    m_header->setFilterBarVisible(visible);
    updateGeometries();
}

QString DataGrid::columnFilter(int column) const {
    const auto &columns = m_model->columns();
    if (column < 0 || column >= int(columns.size()))
        return {};
    return m_filters.value(columns[column].field.toUpper());
}

void DataGrid::setColumnFilter(int column, const QString &value) {
    const auto &columns = m_model->columns();
    if (column < 0 || column >= int(columns.size()))
        return;
    const QString key = columns[column].field.toUpper();
    if (value.isEmpty())
        m_filters.remove(key);
    else
        m_filters.insert(key, value);
    m_header->viewport()->update();
    applyRecordFilter();
}

void DataGrid::applyRecordFilter() {
    if (!m_dataset)
        return;
    struct Term {
        QString field;
        grid::ColumnFilter filter;
    };
    std::vector<Term> terms;
    // Columns are tested left to right as they are shown.
    for (const grid::GridColumn &column : columnLayout()) {
        grid::ColumnFilter filter(m_filters.value(column.field.toUpper()));
        if (!filter.isEmpty())
            terms.push_back({column.field, std::move(filter)});
    }
    if (terms.empty()) {
        if (m_recordFilterSet)
            m_dataset->setRecordFilter({});
        m_recordFilterSet = false;
        return;
    }
    dataset::Dataset *ds = m_dataset;
    m_recordFilterSet = true;
    ds->setRecordFilter([ds, terms = std::move(terms)](const dataset::Dataset::RowReader &row) {
        for (const Term &term : terms) {
            const dataset::Field *field = ds->findField(term.field);
            if (!field)
                continue;
            const bool numeric =
                isIntegerType(field->type()) || field->type() == db::FieldType::Float;
            if (!term.filter.passes(row.text(field->column()), numeric))
                return false;
        }
        return true;
    });
}

} // namespace grid
