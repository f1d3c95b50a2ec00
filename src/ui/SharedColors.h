#pragma once

#include <QColor>

namespace ui {

/// Colours shared by the record forms, set by the main window's creation.
struct SharedColors {
    QColor readOnly{0xE0, 0xE0, 0xE0}; ///< bound boxes in browse mode
    QColor editable{0xFF, 0xFF, 0xFF}; ///< editable boxes in edit mode
    QColor evenRow{0xF0, 0xF0, 0xF0};  ///< even rows of record grids
};

SharedColors &sharedColors();

} // namespace ui
