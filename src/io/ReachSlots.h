#pragma once

#include "io/Record.h"

#include <QStringList>

namespace io {

/// Puts incoming values into the fixed columns of a record. A value for
/// which every suitable column is taken becomes a line "label: value" of
/// the note on the means of contact, so nothing a file holds is dropped.
class ReachSlots {
  public:
    explicit ReachSlots(Values &values) : m_values(values) {}

    /// Into the first empty column of `columns`.
    void put(const QStringList &columns, const QString &value, const QString &label);
    /// Into the first of `columns`, moving what is there one column on.
    void putFirst(const QStringList &columns, const QString &value, const QString &label);
    /// Appends to `column`, after `separator` when it holds text already.
    void append(const QString &column, const QString &value, const QString &separator);
    /// A line of the note on the means of contact.
    void overflow(const QString &label, const QString &value);

  private:
    Values &m_values;
};

} // namespace io
