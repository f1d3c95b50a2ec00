#pragma once

#include <QStringList>

namespace schema {

/// Structure generations of the database file.
enum class Layout {
    V0_0,   ///< oldest release: no photo column, version 0.0
    V1_0,   ///< no photo column, version 1.0
    Current ///< photo column OBR, version 1.1
};

/// The statements that create every table, in order, for a layout.
QStringList schemaStatements(Layout layout);
/// Major and minor version recorded for a layout.
std::pair<int, int> layoutVersion(Layout layout);

} // namespace schema
