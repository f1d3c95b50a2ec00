// The column layout values as read back from the settings file.
#include "FuzzSupport.h"
#include "grid/LayoutFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::ensureApplication();
    const QString value = fuzz::text(data, size);
    grid::LayoutFormat::splitItems(value);
    grid::GridColumn column;
    grid::LayoutFormat::readColumn(value, column);
    grid::ColumnStyle style;
    grid::LayoutFormat::readStyle(value, style);
    grid::ColumnExtras extras;
    grid::LayoutFormat::readExtras(value, extras);
    // What was read writes back and reads again without trouble.
    grid::LayoutFormat::readColumn(grid::LayoutFormat::writeColumn(column), column);
    grid::LayoutFormat::readStyle(grid::LayoutFormat::writeStyle(style), style);
    return 0;
}
