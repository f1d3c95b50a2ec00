#pragma once
// A window with a line edit and the grid on a real database, shared by the
// grid widget's tests.
#include "GridData.h"
#include "grid/DataGrid.h"
#include "grid/DatasetModel.h"
#include "grid/GridMenu.h"
#include "support/TemporarySettings.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

class GridWindow {
  protected:
    TemporarySettings m_settings;
    std::unique_ptr<DataFixture> f;
    std::unique_ptr<dataset::QueryDataset> q;
    std::unique_ptr<QWidget> window;
    grid::DataGrid *grid = nullptr;
    QLineEdit *other = nullptr;

    /// A window holding a line edit and the grid on `ds`.
    void makeGrid(dataset::Dataset *ds, std::vector<grid::GridColumn> columns, int height = 340) {
        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        other = new QLineEdit(window.get());
        grid = new grid::DataGrid(window.get());
        layout->addWidget(other);
        layout->addWidget(grid);
        grid->setColumns(std::move(columns));
        grid->setDataset(ds);
        window->resize(500, height);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void openQuery(const QString &columns = QStringLiteral("ID, PRIJMENI, JMENO")) {
        q = contactQuery(*f, columns);
        QVERIFY_DB(q->open());
    }
    QPoint cellCenter(int row, int column) const {
        return grid->visualRect(grid->model()->index(row, column)).center();
    }
    QPoint titlePoint(int column) const {
        return QPoint(grid->horizontalHeader()->sectionViewportPosition(column) + 5, 5);
    }
    QPoint indicatorPoint(int row) const { return QPoint(5, grid->rowViewportPosition(row) + 8); }
    QStringList surnames() {
        QStringList names;
        for (int i = 0; i < q->recordCount(); ++i)
            names << q->valueAt(i, q->columnIndex(QStringLiteral("PRIJMENI"))).toString();
        return names;
    }
    QStringList enabledCommands() {
        grid->menu()->updateActions();
        QStringList on;
        for (QAction *a : grid->menu()->menu()->actions())
            if (!a->isSeparator() && a->isEnabled())
                on << a->text();
        return on;
    }
    bool menuShown() {
        const bool shown = grid->menu()->menu()->isVisible();
        grid->menu()->menu()->hide();
        return shown;
    }

    void openFixture() {
        f = std::make_unique<DataFixture>();
        f->openAll();
    }
    void closeFixture() {
        window.reset();
        q.reset();
        f.reset();
    }
};
