#include "io/ReachSlots.h"

namespace io {
namespace {
const QString kNoteColumn = QStringLiteral("POZNAMKA_KSPOJ");
}

void ReachSlots::put(const QStringList &columns, const QString &value, const QString &label) {
    if (value.isEmpty())
        return;
    for (const QString &c : columns)
        if (m_values.value(c) == value)
            return; // some programs repeat a value under two types
    for (const QString &c : columns)
        if (m_values.value(c).isEmpty()) {
            m_values[c] = value;
            return;
        }
    overflow(label, value);
}

void ReachSlots::putFirst(const QStringList &columns, const QString &value, const QString &label) {
    if (value.isEmpty() || columns.isEmpty())
        return;
    const QString moved = m_values.value(columns.first());
    m_values[columns.first()] = value;
    if (!moved.isEmpty() && moved != value)
        put(columns.mid(1), moved, label);
}

void ReachSlots::append(const QString &column, const QString &value, const QString &separator) {
    if (value.isEmpty())
        return;
    QString &text = m_values[column]; // grown in place: a file may bring many values
    if (!text.isEmpty())
        text += separator;
    text += value;
}

void ReachSlots::overflow(const QString &label, const QString &value) {
    if (!value.isEmpty())
        append(kNoteColumn, label + QStringLiteral(": ") + value, QStringLiteral("\n"));
}

} // namespace io
