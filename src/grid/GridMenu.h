#pragma once

#include <QObject>

#include <array>

class QAction;
class QMenu;

namespace grid {

class DataGrid;

/// The standard context menu of a DataGrid: record commands on its dataset,
/// "Refresh", the two column layout commands and the renaming of a column. Record commands are
/// disabled while the dataset cannot be written (a query, for example).
/// Errors of a command go to the standard error report.
class GridMenu : public QObject {
    Q_OBJECT
  public:
    enum class Command {
        AddRecord,
        InsertRecord,
        EditRecord,
        DeleteRecord,
        SaveChanges,
        DiscardChanges,
        Refresh,
        SelectRecords,
        SaveLayout,
        RestoreLayout,
        RenameColumn,
    };
    static constexpr int kCommandCount = int(Command::RenameColumn) + 1;

    explicit GridMenu(DataGrid *grid);
    ~GridMenu() override;

    QMenu *menu() const { return m_menu; }
    QAction *action(Command command) const { return m_actions[size_t(command)]; }
    /// Enables each command for the dataset's present state.
    void updateActions();
    /// Runs a command as the menu does; false when it failed (and was reported).
    bool run(Command command);
    /// Asks "Delete a record?" and deletes the current row on Yes.
    void deleteWithConfirmation();
    /// The column (logical index) the menu was opened over, -1 for none:
    /// the one that "Přejmenovat sloupec…" renames.
    void setColumn(int logical) { m_column = logical; }
    int column() const { return m_column; }

  private:
    DataGrid *m_grid;
    QMenu *m_menu;
    std::array<QAction *, kCommandCount> m_actions{};
    int m_column = -1;

    /// Asks for the column's own title (empty: its field name again).
    void renameColumn();
};

} // namespace grid
