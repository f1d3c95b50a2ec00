// The grid widget on a real database: lazy fetching, the current row in
// both directions, clicks and keys, and the grouping bands.
#include "GridWindow.h"
#include "base/MessageService.h"
#include "grid/DataGrid.h"
#include "grid/IndicatorHeader.h"

#include <QAccessible>
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>

class TestDataGrid : public QObject, public GridWindow {
    Q_OBJECT

  private slots:
    void initTestCase() { QVERIFY(m_settings.isValid()); }
    void init() { openFixture(); }
    void cleanup() { closeFixture(); }

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
};

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
