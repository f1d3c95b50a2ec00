// The grid widget on a real database: lazy fetching, the current row in
// both directions, clicks and keys, grouping bands, the context menu and its
// commands, the layout store and the filter bar.
#include "GridData.h"
#include "base/MessageService.h"
#include "grid/DataGrid.h"
#include "grid/DatasetModel.h"
#include "grid/GridHeader.h"
#include "grid/GridMenu.h"
#include "grid/IndicatorHeader.h"
#include "grid/LayoutFormat.h"
#include "support/TemporarySettings.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QVBoxLayout>

using Command = grid::GridMenu::Command;

class TestDataGrid : public QObject {
    Q_OBJECT

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

  private slots:
    void initTestCase() { QVERIFY(m_settings.isValid()); }
    void init() {
        f = std::make_unique<DataFixture>();
        f->openAll();
    }
    void cleanup() {
        window.reset();
        q.reset();
        f.reset();
    }

    void showsOnlyAboutTheFirstScreen() {
        addContacts(*f, 5000);
        q = contactQuery(*f);
        makeGrid(q.get(), {gridColumn("ID", 50), gridColumn("PRIJMENI", 150)});
        QVERIFY_DB(q->open());
        QTest::qWait(20);
        QCOMPARE(grid->rowHeight(0), grid::DataGrid::kRowHeight);
        QCOMPARE(grid->verticalHeader()->width(), grid::IndicatorHeader::kWidth);
        const int screen = grid->viewport()->height() / grid::DataGrid::kRowHeight;
        QVERIFY2(q->fetchedCount() > screen, qPrintable(QString::number(q->fetchedCount())));
        QVERIFY2(q->fetchedCount() <= 3 * screen, qPrintable(QString::number(q->fetchedCount())));
        QCOMPARE(grid->model()->rowCount(), q->fetchedCount());

        const int before = q->fetchedCount();
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        QTest::qWait(20);
        QVERIFY(q->fetchedCount() > before);
        QVERIFY(q->fetchedCount() < 500);
    }

    void currentRowFollowsBothWays() {
        addContacts(*f, 50);
        q = contactQuery(*f);
        makeGrid(q.get(), {gridColumn("ID", 50), gridColumn("PRIJMENI", 150)});
        QVERIFY_DB(q->open());
        QSignalSpy clicks(grid, &grid::DataGrid::cellClick);

        QVERIFY_DB(q->moveTo(5));
        QCOMPARE(grid->currentIndex().row(), 5);
        QVERIFY(grid->selectionModel()->isRowSelected(5, {}));
        QCOMPARE(grid->indicator()->markedRow(), 5);

        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(2, 1));
        QCOMPARE(q->currentIndex(), 2);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.at(0).at(0).toInt(), 1);

        // The indicator makes a row current without a cell click.
        QTest::mouseClick(grid->verticalHeader()->viewport(), Qt::LeftButton, {},
                          indicatorPoint(4));
        QCOMPARE(q->currentIndex(), 4);
        QCOMPARE(grid->indicator()->markedRow(), 4);
        QCOMPARE(clicks.count(), 1);

        // A title click changes nothing.
        QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, titlePoint(1));
        QCOMPARE(q->currentIndex(), 4);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(grid->horizontalHeader()->visualIndex(1), 1);

        // A right click neither moves the row nor counts as a cell click.
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cellCenter(8, 1));
        grid->menu()->menu()->hide();
        QCOMPARE(q->currentIndex(), 4);
        QCOMPARE(clicks.count(), 1);

        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(q->currentIndex(), 5);
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(q->currentIndex(), 4);
        QTest::keyClick(grid, Qt::Key_PageDown);
        QVERIFY(q->currentIndex() > 10);
        QTest::keyClick(grid, Qt::Key_End);
        QCOMPARE(q->currentIndex(), 49);
        QCOMPARE(grid->currentIndex().row(), 49);
        QTest::keyClick(grid, Qt::Key_Home);
        QCOMPARE(q->currentIndex(), 0);
        QCOMPARE(grid->currentIndex().row(), 0);
        QCOMPARE(clicks.count(), 1);
    }

    void refusedMoveKeepsTheRow() {
        addContacts(*f, 5);
        dataset::TableDataset &t = f->dm->tKONTAKT;
        QVERIFY_DB(t.close(); t.open());
        makeGrid(&t, {gridColumn("ID", 50), gridColumn("PRIJMENI", 150)});
        base::msg::Recorder recorder;
        QSignalSpy clicks(grid, &grid::DataGrid::cellClick);
        QVERIFY_DB(t.moveTo(1); t.edit();
                   t.fieldByName(QStringLiteral("ID"))->setAsInteger(1)); // taken by row 0
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(3, 1));
        QCOMPARE(recorder.messages.size(), size_t(1));
        QCOMPARE(recorder.messages[0].kind, base::msg::Kind::ErrorReport);
        QCOMPARE(t.currentIndex(), 1);
        QCOMPARE(t.state(), dataset::Dataset::State::Edit);
        QTRY_COMPARE(grid->currentIndex().row(), 1); // the grid shows where the dataset stayed
        QVERIFY(grid->selectionModel()->isRowSelected(1, {}));
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(grid->indicator()->markedRow(), 1);
        QVERIFY_DB(t.cancel());
    }

    void tabStaysInTheGrid() {
        addContacts(*f, 2);
        q = contactQuery(*f);
        makeGrid(q.get(), {gridColumn("ID", 50), gridColumn("PRIJMENI", 150)});
        QVERIFY_DB(q->open());
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Tab);
        QCOMPARE(grid->currentIndex(), grid->model()->index(0, 1));
        QTest::keyClick(grid, Qt::Key_Tab);
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 0)); // on to the next row
        QCOMPARE(q->currentIndex(), 1);
        QTest::keyClick(grid, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // past the last cell
        QCOMPARE(QApplication::focusWidget(), grid);
        QCOMPARE(grid->currentIndex(), grid->model()->index(0, 0)); // round to the first
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), grid);
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 1));
        QCOMPARE(q->currentIndex(), 1);
    }

    void doubleClickAnywhere() {
        addContacts(*f, 3);
        q = contactQuery(*f);
        makeGrid(q.get(), {gridColumn("ID", 50), gridColumn("PRIJMENI", 150)});
        QVERIFY_DB(q->open());
        QSignalSpy dbl(grid, &grid::DataGrid::dblClick);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(1, 1));
        QCOMPARE(dbl.count(), 1);
        QCOMPARE(q->currentIndex(), 1);
        QTest::mouseDClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, titlePoint(1));
        QCOMPARE(dbl.count(), 2);
        QTest::mouseDClick(grid->verticalHeader()->viewport(), Qt::LeftButton, {},
                           indicatorPoint(2));
        QCOMPARE(dbl.count(), 3);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                           QPoint(20, grid->viewport()->height() - 5));
        QCOMPARE(dbl.count(), 4);
    }

    // Space clicks the cursor cell; Enter clicks it and double-clicks.
    void keyboardClicksTheCursorCell() {
        addContacts(*f, 3);
        q = contactQuery(*f);
        makeGrid(q.get(), {gridColumn("ID", 50), gridColumn("PRIJMENI", 150)});
        QVERIFY_DB(q->open());
        grid->setFocus();
        QSignalSpy clicks(grid, &grid::DataGrid::cellClick);
        QSignalSpy dbl(grid, &grid::DataGrid::dblClick);
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Right);
        QCOMPARE(clicks.count(), 0); // moving is not clicking
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.last().first().toInt(), 1);
        QCOMPARE(q->currentIndex(), 1);
        QCOMPARE(dbl.count(), 0);
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(dbl.count(), 1);
        QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(dbl.count(), 2);
        QCOMPARE(clicks.count(), 3);
        QTest::keyClick(grid, Qt::Key_Space, Qt::ControlModifier); // Ctrl+Space is no click
        QCOMPARE(clicks.count(), 3);
    }

    void groupRowsArePaintedAsBands() {
        addContacts(*f, 40);
        q = contactQuery(*f, QStringLiteral("ID, PRIJMENI, JMENO, MOD(ID, 3) AS SKUPINA"));
        makeGrid(q.get(),
                 {gridColumn("ID", 50), gridColumn("PRIJMENI", 150), gridColumn("JMENO", 100)});
        const QColor bandColor(0, 170, 0);
        grid->setGroupings(
            {{QString(), QFont(), Qt::black, Qt::red}, // an empty expression is never asked
             {QStringLiteral("Skupina"), QFont(), Qt::black, bandColor}});
        QList<QPair<QString, int>> asked;
        bool presetOk = true;
        grid->setExpressionHandler(
            [&](const QString &expression, int row, QString &text, bool &value) {
                asked << qMakePair(expression, row);
                presetOk = presetOk && text.isEmpty() && !value;
                if (q->valueAt(row, q->columnIndex(QStringLiteral("SKUPINA"))).toInt() == 1) {
                    value = true;
                    text = QString();
                }
            });
        QMap<int, QRect> bands;
        grid->setDrawGroupingCellHandler([&](QPainter &, const QRect &rect, const grid::Grouping &g,
                                             const QString &, bool &defaultDrawing) {
            QVERIFY(defaultDrawing);
            QCOMPARE(g.color, bandColor);
            bands.insert(grid->rowAt(rect.center().y()), rect);
        });
        QVERIFY_DB(q->open());
        QVERIFY_DB(q->moveTo(1));
        const QImage current1 = grid->viewport()->grab().toImage();
        QVERIFY(!asked.isEmpty());
        QVERIFY(presetOk);
        for (const auto &call : asked) {
            QCOMPARE(call.first, QStringLiteral("Skupina"));
            QVERIFY(call.second >= 0 && call.second < grid->model()->rowCount());
        }

        // Rows 0, 3, 6, ... are group rows: IDs 1, 4, 7, ...
        QVERIFY(bands.contains(0) && bands.contains(3) && !bands.contains(1));
        const QRect band = grid->bandRect(3);
        QCOMPARE(bands.value(3), band);
        QCOMPARE(band.left(), 0);
        QCOMPARE(band.top(), grid->rowViewportPosition(3));
        QCOMPARE(band.height(), grid::DataGrid::kRowHeight - 1);
        QCOMPARE(band.width(), grid->horizontalHeader()->length());
        for (int x = 0; x < band.width(); ++x) // over the column lines too
            QCOMPARE(current1.pixelColor(x, band.top() + 1), bandColor);
        QVERIFY(current1.pixelColor(10, band.bottom() + 1) != bandColor); // the row line stays
        QVERIFY(current1.pixelColor(band.width() + 2, band.top() + 1) != bandColor);
        const int columnLine = grid->columnViewportPosition(0) + grid->columnWidth(0) - 1;
        QVERIFY(current1.pixelColor(columnLine, grid->rowViewportPosition(1) + 1) !=
                current1.pixelColor(columnLine - 5, grid->rowViewportPosition(1) + 1));

        // A group row looks the same whether current or not; an ordinary row does not.
        QVERIFY_DB(q->moveTo(3));
        const QImage current3 = grid->viewport()->grab().toImage();
        const int rowY1 = grid->rowViewportPosition(1) + 5;
        QVERIFY(current1.pixelColor(80, rowY1) != current3.pixelColor(80, rowY1));
        for (int y = band.top(); y <= band.bottom() + 1; ++y)
            for (int x = 0; x < grid->viewport()->width(); ++x)
                QCOMPARE(current3.pixelColor(x, y), current1.pixelColor(x, y));
    }

    void groupTextAndOwnDrawing() {
        addContacts(*f, 5);
        q = contactQuery(*f, QStringLiteral("ID, PRIJMENI, JMENO"));
        makeGrid(q.get(), {gridColumn("ID", 50), gridColumn("PRIJMENI", 150)});
        grid->setAccessibleName(QStringLiteral("Seznam"));
        const QColor bandColor(0, 0, 200);
        grid->setGroupings({{QStringLiteral("ID"), QFont(), Qt::white, bandColor}});
        grid->setExpressionHandler([&](const QString &, int row, QString &text, bool &value) {
            if (row == 0) {
                value = true;
                text = QStringLiteral("Skupina jedna");
            }
        });
        QVERIFY_DB(q->open());
        // Default drawing writes the text over the band.
        QImage image = grid->viewport()->grab().toImage();
        const QRect band = grid->bandRect(0);
        int textPixels = 0;
        for (int y = band.top(); y <= band.bottom(); ++y)
            for (int x = 0; x < band.width(); ++x)
                textPixels += image.pixelColor(x, y) != bandColor;
        QVERIFY(textPixels > 10);

        // A handler that paints the band itself.
        grid->setDrawGroupingCellHandler([](QPainter &painter, const QRect &rect,
                                            const grid::Grouping &, const QString &,
                                            bool &defaultDrawing) {
            defaultDrawing = false;
            painter.fillRect(rect, QColor(200, 0, 0));
        });
        image = grid->viewport()->grab().toImage();
        QCOMPARE(image.pixelColor(band.width() / 2, band.top() + 1), QColor(200, 0, 0));
        QCOMPARE(image.pixelColor(2, band.bottom() - 1), QColor(200, 0, 0));

        // A reader hears the group line for the group row and the cells for the others.
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(grid);
        QVERIFY(iface && iface->tableInterface());
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Seznam"));
        QCOMPARE(iface->tableInterface()->cellAt(0, 0)->text(QAccessible::Name),
                 QStringLiteral("Skupina jedna"));
        QCOMPARE(iface->tableInterface()->cellAt(0, 1)->text(QAccessible::Name).trimmed(),
                 QString());
        QCOMPARE(iface->tableInterface()->cellAt(1, 1)->text(QAccessible::Name),
                 QStringLiteral("Příjmení00001"));
        // Moving the first column makes its successor carry the group line.
        grid->horizontalHeader()->moveSection(1, 0);
        QCOMPARE(iface->tableInterface()->cellAt(0, 1)->text(QAccessible::Name),
                 QStringLiteral("Skupina jedna"));
    }

    void menuItemsAndStates() {
        addContacts(*f, 5);
        openQuery();
        makeGrid(q.get(), {gridColumn("ID", 50), gridColumn("PRIJMENI", 150)});
        QStringList texts;
        for (QAction *a : grid->menu()->menu()->actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(texts, (QStringList{"Add record", "Insert record", "Edit record", "Delete record",
                                     "-", "Save changes", "Discard changes", "Refresh", "-",
                                     "Select/Unselect records", "-", "Save column layout",
                                     "Restore column layout", u"Přejmenovat sloupec…"_qs}));
        // A query cannot be written: only Refresh, and the layout commands once there is a place
        // for them.
        QCOMPARE(enabledCommands(), QStringList{"Refresh"});
        grid->setLayoutGroup(QStringLiteral("gTest"));
        QCOMPARE(enabledCommands(),
                 (QStringList{"Refresh", "Save column layout", "Restore column layout"}));

        dataset::TableDataset &t = f->dm->tKONTAKT;
        QVERIFY_DB(t.close(); t.open());
        grid->setDataset(&t);
        QCOMPARE(enabledCommands(),
                 (QStringList{"Add record", "Insert record", "Edit record", "Delete record",
                              "Refresh", "Save column layout", "Restore column layout"}));
        QVERIFY_DB(t.edit());
        QCOMPARE(enabledCommands(),
                 (QStringList{"Add record", "Insert record", "Delete record", "Save changes",
                              "Discard changes", "Save column layout", "Restore column layout"}));
        QVERIFY(grid->menu()->run(Command::DiscardChanges));
        QCOMPARE(t.state(), dataset::Dataset::State::Browse);
        QVERIFY(grid->menu()->run(Command::AddRecord));
        QCOMPARE(t.state(), dataset::Dataset::State::Insert);
        QCOMPARE(t.currentIndex(), 5);
        QCOMPARE(grid->indicator()->markedRow(), 5);
        // An untouched new row goes when the grid loses the focus.
        grid->setFocus();
        other->setFocus();
        QCOMPARE(t.state(), dataset::Dataset::State::Browse);
        QCOMPARE(t.recordCount(), 5);
    }

    void menuOpensWhereItShould() {
        addContacts(*f, 10);
        openQuery();
        makeGrid(q.get(), {gridColumn("ID", 50), gridColumn("PRIJMENI", 150)});
        QTest::mousePress(grid->viewport(), Qt::RightButton, {}, cellCenter(3, 1));
        QVERIFY(menuShown());
        QCOMPARE(q->currentIndex(), 0);
        QTest::mousePress(grid->horizontalHeader()->viewport(), Qt::RightButton, {}, titlePoint(0));
        QVERIFY(menuShown());
        QTest::mousePress(grid->verticalHeader()->viewport(), Qt::RightButton, {},
                          indicatorPoint(2));
        QVERIFY(!menuShown());
        auto *corner = grid->findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(corner);
        QTest::mousePress(corner, Qt::LeftButton);
        QVERIFY(menuShown());
        q->close();
        QTest::mousePress(grid->viewport(), Qt::RightButton, {}, QPoint(50, 50));
        QVERIFY(!menuShown());
        QTest::mousePress(corner, Qt::LeftButton);
        QVERIFY(!menuShown());
    }

    void refreshReturnsToTheSamePosition() {
        addContacts(*f, 300);
        openQuery();
        makeGrid(q.get(), {gridColumn("ID", 50), gridColumn("PRIJMENI", 150)});
        QVERIFY_DB(q->locate(QStringLiteral("ID"), {45}));
        QCOMPARE(q->currentIndex(), 44);
        f->exec(QStringLiteral(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI, KRAJ) VALUES (0, 1, 'Nový', ' ')"));
        QVERIFY(grid->menu()->run(Command::Refresh));
        QCOMPARE(q->currentIndex(), 44); // the same position, now one row further up
        QCOMPARE(q->fieldByName(QStringLiteral("ID"))->asInteger(), 44);
        QCOMPARE(grid->currentIndex().row(), 44);
        const int screen = grid->viewport()->height() / grid::DataGrid::kRowHeight;
        QVERIFY(q->fetchedCount() <= 45 + 3 * screen); // not everything to get there

        f->exec(QStringLiteral("DELETE FROM KONTAKT WHERE ID > 10"));
        QVERIFY(grid->menu()->run(Command::Refresh));
        QCOMPARE(q->currentIndex(), 0);
        QCOMPARE(q->recordCount(), 11);

        QVERIFY_DB(q->moveTo(3));
        QVERIFY_DB(q->close());
        QVERIFY(!grid->menu()->run(Command::Refresh)); // disabled on a closed dataset
        QVERIFY(!q->isActive());
    }

    void deleteAsksFirst() {
        addContacts(*f, 5);
        dataset::TableDataset &t = f->dm->tKONTAKT;
        QVERIFY_DB(t.close(); t.open());
        makeGrid(&t, {gridColumn("ID", 50), gridColumn("PRIJMENI", 150)});
        base::msg::Recorder recorder;
        recorder.answers = {base::msg::Answer::No};
        QVERIFY_DB(t.locate(QStringLiteral("ID"), {3}));
        QVERIFY(grid->menu()->run(Command::DeleteRecord));
        QCOMPARE(recorder.messages.size(), size_t(1));
        QCOMPARE(recorder.messages[0].text, QStringLiteral("Delete a record?"));
        QCOMPARE(recorder.messages[0].kind, base::msg::Kind::Confirm);
        QCOMPARE(recorder.messages[0].buttons, base::msg::Buttons::YesNo);
        QCOMPARE(f->count(QStringLiteral("KONTAKT")), 5);

        recorder.answers = {base::msg::Answer::Yes};
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(recorder.messages.size(), size_t(2));
        QCOMPARE(f->count(QStringLiteral("KONTAKT")), 4);
        QCOMPARE(f->count(QStringLiteral("KONTAKT"), QStringLiteral("ID = 3")), 0);
        QCOMPARE(grid->model()->rowCount(), t.fetchedCount());

        // Nothing to ask about where nothing can be deleted.
        openQuery();
        grid->setDataset(q.get());
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(recorder.messages.size(), size_t(2));
    }

    void layoutIsSavedAndRestored() {
        addContacts(*f, 3);
        openQuery();
        const std::vector<grid::GridColumn> designed{
            gridColumn("ID", 50), gridColumn("PRIJMENI", 105), gridColumn("JMENO", 105)};
        makeGrid(q.get(), designed);
        grid->setLayoutGroup(QStringLiteral("gTest"));
        QVERIFY(!grid->restoreLayout()); // nothing stored yet: the designed columns stay
        QCOMPARE(grid->columnLayout(), designed);

        QHeaderView *header = grid->horizontalHeader();
        header->moveSection(2, 0);     // JMENO first
        header->resizeSection(1, 140); // PRIJMENI wider
        header->hideSection(0);        // ID hidden
        grid->menu()->action(Command::SaveLayout)->trigger();
        {
            QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Qorvel"),
                        QStringLiteral("Kontakty"));
            s.beginGroup(QStringLiteral("gTest"));
            QCOMPARE(s.value("Count").toString(), QStringLiteral("3"));
            QCOMPARE(s.value("0").toString(), QStringLiteral("JMENO,105,JMENO,"));
            QCOMPARE(s.value("1").toString(), QStringLiteral("ID,-1,ID,"));
            QCOMPARE(s.value("2").toString(), QStringLiteral("PRIJMENI,140,PRIJMENI,"));
        }
        const auto saved = grid->columnLayout();

        header->resizeSection(1, 30);
        header->showSection(0);
        grid->menu()->action(Command::RestoreLayout)->trigger();
        QCOMPARE(grid->columnLayout().size(), saved.size());
        for (size_t i = 0; i < saved.size(); ++i)
            QCOMPARE(grid::LayoutFormat::writeColumn(grid->columnLayout()[i]),
                     grid::LayoutFormat::writeColumn(saved[i]));
        QCOMPARE(header->logicalIndex(0), 0); // the stored order is the new column order
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("JMENO"));
        QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("Jméno0"));

        // Another grid of the same name starts with the saved layout.
        grid::DataGrid second;
        second.setColumns(designed);
        second.setDataset(q.get());
        second.setLayoutGroup(QStringLiteral("gTest"));
        QVERIFY(second.restoreLayout());
        QCOMPARE(second.columnLayout().size(), saved.size());
        for (size_t i = 0; i < saved.size(); ++i)
            QCOMPARE(grid::LayoutFormat::writeColumn(second.columnLayout()[i]),
                     grid::LayoutFormat::writeColumn(saved[i]));
    }

    void filterBar() {
        const char *names[] = {"1, 'Novák'",   "2, 'NOVÁK'",  "3, 'Nováková'",
                               "4, 'Růžička'", "5, 'Dvořák'", "12, 'Malý'"};
        for (const char *row : names)
            f->exec(QStringLiteral(
                        "INSERT INTO KONTAKT (ID, PRIJMENI, ID_FIRMA, KRAJ) VALUES (%1, 1, ' ')")
                        .arg(QString::fromUtf8(row)));
        openQuery();
        makeGrid(q.get(),
                 {gridColumn("ID", 50), gridColumn("PRIJMENI", 150), gridColumn("JMENO", 100)});
        grid->setTitleHeight(24);
        grid->setFilterBarVisible(true);
        auto *header = static_cast<grid::GridHeader *>(grid->horizontalHeader());
        QCOMPARE(header->height(), 24 + grid::GridHeader::kFilterHeight);
        const QRect cell = header->filterCellRect(1);
        QCOMPARE(cell.height(), grid::GridHeader::kFilterHeight);
        QCOMPARE(cell.bottom(), header->height() - 1);
        QCOMPARE(cell.width(), 150);

        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, cell.center());
        QLineEdit *editor = header->filterEditor();
        QVERIFY(editor);
        QCOMPARE(editor->geometry(), cell);
        QVERIFY(editor->hasFocus());
        QTest::keyClicks(editor, QStringLiteral("nov"));
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(!header->filterEditor());
        QCOMPARE(grid->columnFilter(1), QStringLiteral("nov"));
        QCOMPARE(surnames(), (QStringList{"Novák", "NOVÁK", "Nováková"}));

        // The value stays across reopening.
        QVERIFY_DB(q->close(); q->open());
        QCOMPARE(surnames(), (QStringList{"Novák", "NOVÁK", "Nováková"}));

        // Leaving the box sets the value; the box opens with the value in force.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, cell.center());
        editor = header->filterEditor();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("nov"));
        editor->setText(QStringLiteral("ruzicka"));
        other->setFocus();
        QVERIFY(!header->filterEditor());
        QCOMPARE(surnames(), QStringList());
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, cell.center());
        header->filterEditor()->setText(QStringLiteral("růž"));
        QTest::keyClick(header->filterEditor(), Qt::Key_Enter);
        QCOMPARE(surnames(), QStringList{"Růžička"});

        // Escape leaves the value as it was.
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, cell.center());
        header->filterEditor()->setText(QStringLiteral("x"));
        QTest::keyClick(header->filterEditor(), Qt::Key_Escape);
        QCOMPARE(grid->columnFilter(1), QStringLiteral("růž"));

        // Without a mouse: Ctrl+F opens the cell of the cursor's column, and
        // the grid has the focus again once it is set.
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 1));
        QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(header->filterEditor());
        QVERIFY(header->filterEditor()->hasFocus());
        QCOMPARE(header->filterEditor()->accessibleName(),
                 QStringLiteral("Filtr sloupce PRIJMENI"));
        QTest::keyClicks(header->filterEditor(), QStringLiteral("dvo"));
        QTest::keyClick(header->filterEditor(), Qt::Key_Return);
        QCOMPARE(surnames(), QStringList{"Dvořák"});
        QVERIFY(grid->hasFocus());
        QVERIFY_DB(grid->setColumnFilter(1, QStringLiteral("růž")));

        // A number matches exactly unless the value holds a "*"; columns combine.
        QVERIFY_DB(grid->setColumnFilter(1, QString()));
        QVERIFY_DB(grid->setColumnFilter(0, QStringLiteral("1")));
        QCOMPARE(surnames(), QStringList{"Novák"});
        QVERIFY_DB(grid->setColumnFilter(0, QStringLiteral("1*")));
        QCOMPARE(surnames(), (QStringList{"Novák", "Malý"}));
        QVERIFY_DB(grid->setColumnFilter(1, QStringLiteral("ák")));
        QCOMPARE(surnames(), QStringList{"Novák"});

        // ... and across hiding and showing the grid.
        window->hide();
        QVERIFY_DB(q->close(); q->open());
        window->show();
        QCOMPARE(surnames(), QStringList{"Novák"});
        QCOMPARE(grid->columnFilter(0), QStringLiteral("1*"));

        QVERIFY_DB(grid->setColumnFilter(0, QString()); grid->setColumnFilter(1, QString()));
        QCOMPARE(surnames().size(), 6);
    }
};

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
