#pragma once

#include <QObject>

#include <array>

class QAction;
class QMenu;

namespace grid {

class DataGrid;

/// The standard context menu of a DataGrid: record commands on its dataset,
/// "Refresh", and the two column layout commands. Record commands are
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
    };
    static constexpr int kCommandCount = int(Command::RestoreLayout) + 1;

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

  private:
    DataGrid *m_grid;
    QMenu *m_menu;
    std::array<QAction *, kCommandCount> m_actions{};
};

} // namespace grid
