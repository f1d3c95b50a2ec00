#include "grid/GridMenu.h"

#include "base/MessageService.h"
#include "dataset/Dataset.h"
#include "grid/DataGrid.h"
#include "ui/ErrorReport.h"

#include "grid/DatasetModel.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>

namespace grid {

using Command = GridMenu::Command;

GridMenu::GridMenu(DataGrid *grid) : QObject(grid), m_grid(grid), m_menu(new QMenu(grid)) {
    auto add = [this](Command command, const QString &text) {
        QAction *action = m_menu->addAction(text);
        m_actions[size_t(command)] = action;
        connect(action, &QAction::triggered, this, [this, command] { run(command); });
    };
    add(Command::AddRecord, tr("Add record"));
    add(Command::InsertRecord, tr("Insert record"));
    add(Command::EditRecord, tr("Edit record"));
    add(Command::DeleteRecord, tr("Delete record"));
    m_menu->addSeparator();
    add(Command::SaveChanges, tr("Save changes"));
    add(Command::DiscardChanges, tr("Discard changes"));
    add(Command::Refresh, tr("Refresh"));
    m_menu->addSeparator();
    add(Command::SelectRecords, tr("Select/Unselect records"));
    m_menu->addSeparator();
    add(Command::SaveLayout, tr("Save column layout"));
    add(Command::RestoreLayout, tr("Restore column layout"));
    add(Command::RenameColumn, QStringLiteral("Přejmenovat sloupec…"));
    connect(m_menu, &QMenu::aboutToShow, this, &GridMenu::updateActions);
}

GridMenu::~GridMenu() = default;

void GridMenu::updateActions() {
    const dataset::Dataset *ds = m_grid->dataset();
    const bool open = ds && ds->isActive();
    const bool writable = open && m_grid->isDatasetWritable();
    const bool editing = open && ds->isEditing();
    const bool hasRow = open && ds->currentIndex() >= 0;
    const bool layout = !m_grid->layoutGroup().isEmpty();
    action(Command::AddRecord)->setEnabled(writable);
    action(Command::InsertRecord)->setEnabled(writable);
    action(Command::EditRecord)->setEnabled(writable && hasRow && !editing);
    action(Command::DeleteRecord)->setEnabled(writable && hasRow);
    action(Command::SaveChanges)->setEnabled(writable && editing);
    action(Command::DiscardChanges)->setEnabled(writable && editing);
    action(Command::Refresh)->setEnabled(open && !editing);
    action(Command::SelectRecords)->setEnabled(false);
    action(Command::SaveLayout)->setEnabled(layout);
    action(Command::RestoreLayout)->setEnabled(layout);
    action(Command::RenameColumn)
        ->setEnabled(layout && m_column >= 0 && m_column < int(m_grid->columnLayout().size()));
}

void GridMenu::deleteWithConfirmation() {
    if (base::msg::show(base::msg::Kind::Confirm, tr("Delete a record?"),
                        base::msg::Buttons::YesNo) == base::msg::Answer::Yes)
        m_grid->dataset()->deleteRecord();
}

bool GridMenu::run(Command command) {
    updateActions();
    if (!action(command)->isEnabled())
        return false;
    dataset::Dataset *ds = m_grid->dataset();
    return ui::guarded([&] {
        switch (command) {
        case Command::AddRecord:
            ds->last();
            ds->insert();
            break;
        case Command::InsertRecord:
            ds->insert();
            break;
        case Command::EditRecord:
            ds->edit();
            break;
        case Command::DeleteRecord:
            deleteWithConfirmation();
            break;
        case Command::SaveChanges:
            ds->post();
            break;
        case Command::DiscardChanges:
            ds->cancel();
            break;
        case Command::Refresh:
            m_grid->refreshDataset();
            break;
        case Command::SelectRecords:
            break;
        case Command::SaveLayout:
            m_grid->saveLayout();
            break;
        case Command::RestoreLayout:
            m_grid->restoreLayout();
            break;
        case Command::RenameColumn:
            renameColumn();
            break;
        }
    });
}

void GridMenu::renameColumn() {
    const grid::GridColumn &column = m_grid->datasetModel()->columns()[size_t(m_column)];
    bool ok = false;
    const QString title = QInputDialog::getText(
        m_grid, QStringLiteral("Přejmenovat sloupec"),
        QStringLiteral("Název sloupce „%1“ (prázdný: název pole):").arg(column.field),
        QLineEdit::Normal, column.caption(), &ok);
    if (ok)
        m_grid->renameColumn(m_column, title.trimmed());
}

} // namespace grid
