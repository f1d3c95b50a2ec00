#pragma once

#include "grid/GridColumn.h"

#include <QStringList>

namespace grid {

/// The text formats of one value of the column layout store. A value is a
/// list of items separated by commas without blanks; an item that holds a
/// comma (or starts with or holds a double quote) is written between double
/// quotes, a quote inside it doubled.
///
/// Reading never fails: a missing item leaves that part of the column as it
/// was, an unreadable number keeps its old value, except the width, which
/// then counts as 64.
class LayoutFormat {
  public:
    static QStringList splitItems(const QString &value);
    static QString joinItems(const QStringList &items);

    /// "field,width,caption,R" ("R" only for a read-only column; width -1 when hidden).
    static QString writeColumn(const GridColumn &column);
    /// Reads a main value over `column`; false for an empty value (the column is skipped).
    static bool readColumn(const QString &value, GridColumn &column);

    /// "font name,charset,colour,size,style,background,alignment".
    static QString writeStyle(const ColumnStyle &style);
    static void readStyle(const QString &value, ColumnStyle &style);

    /// "sort kind,sort caption,band index,editor kind,footer value,footer kind,tag".
    static QString writeExtras(const ColumnExtras &extras);
    static void readExtras(const QString &value, ColumnExtras &extras);

    static constexpr int kUnreadableWidth = 64;
    /// Wider than any screen: a stored width beyond it is not believed.
    static constexpr int kMaxWidth = 4000;
};

} // namespace grid
