#pragma once

#include "grid/GridColumn.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QSettings;

namespace grid {

/// The column layouts of the program's grids, one group per grid in the
/// user's settings of organisation "Qorvel", application "Kontakty" (on
/// Windows the registry key HKCU\Software\Qorvel\Kontakty). Values are
/// strings: "Count", then per column in display order "N", "N_Title",
/// "N_Data", "N_Sort" and, when not empty, "N_Footer" (see LayoutFormat).
class LayoutStore {
  public:
    explicit LayoutStore(QString group) : m_group(std::move(group)) {}

    /// The program's settings object (owned by the caller).
    static std::unique_ptr<QSettings> openSettings();

    /// The stored columns, each read over a copy of `fresh`; nothing when
    /// "Count" is missing, unreadable or not above 0, or when no column
    /// could be read. Numbers whose main value is missing or empty are
    /// skipped. Never throws.
    std::optional<std::vector<GridColumn>> read(const GridColumn &fresh) const;
    /// Replaces the stored layout with `columns` (display order).
    void write(const std::vector<GridColumn> &columns) const;

    const QString &group() const { return m_group; }

    /// An upper bound on "Count", so that a damaged value cannot stall the program.
    static constexpr int kMaxColumns = 1000;

  private:
    QString m_group;
};

} // namespace grid
