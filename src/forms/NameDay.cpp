#include "forms/NameDay.h"

#include "czech/Birthday.h"
#include "dataset/Dataset.h"

#include <QRegularExpression>

namespace forms {

QString nameDayOf(dataset::Dataset &calendar, const QString &firstName) {
    const QString wanted = firstName.trimmed();
    if (wanted.isEmpty() || !calendar.isActive())
        return QString();
    static const QRegularExpression separator(QStringLiteral("\\s+a\\s+|\\s*,\\s*"));
    const int dayColumn = calendar.columnIndex(QStringLiteral("DEN"));
    const int monthColumn = calendar.columnIndex(QStringLiteral("MESIC"));
    const int nameColumn = calendar.columnIndex(QStringLiteral("JMENO"));
    int bestDay = 0, bestMonth = 0;
    const int rows = calendar.recordCount();
    for (int i = 0; i < rows; ++i) {
        const QStringList names =
            calendar.valueAt(i, nameColumn).toString().split(separator, Qt::SkipEmptyParts);
        if (!names.contains(wanted, Qt::CaseInsensitive))
            continue;
        const int day = calendar.valueAt(i, dayColumn).toInt();
        const int month = calendar.valueAt(i, monthColumn).toInt();
        if (bestMonth == 0 || month * 100 + day < bestMonth * 100 + bestDay) {
            bestDay = day;
            bestMonth = month;
        }
    }
    return bestMonth == 0 ? QString() : czech::dayMonthText(bestDay, bestMonth);
}

} // namespace forms
