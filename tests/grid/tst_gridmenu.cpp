// The grid widget's context menu and its commands, the layout store and
// the filter bar, on a real database.
#include "GridWindow.h"
#include "base/MessageService.h"
#include "grid/DataGrid.h"
#include "grid/GridHeader.h"
#include "grid/GridMenu.h"
#include "grid/IndicatorHeader.h"
#include "grid/LayoutFormat.h"

#include <QAbstractButton>

#include <QSettings>
#include <QSignalSpy>

using Command = grid::GridMenu::Command;

class TestGridMenu : public QObject, public GridWindow {
    Q_OBJECT

  private slots:
    void initTestCase() { QVERIFY(m_settings.isValid()); }
    void init() { openFixture(); }
    void cleanup() { closeFixture(); }

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

QTEST_MAIN(TestGridMenu)
#include "tst_gridmenu.moc"
