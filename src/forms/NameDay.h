#pragma once

#include <QString>

namespace dataset {
class Dataset;
} // namespace dataset

namespace forms {

/// The name day of `firstName` in the calendar (the SVATEK table: DEN,
/// MESIC, JMENO, where a day may list several names, "Petr a Pavel") as
/// "29. 6."; the first in the year when the name has several days, empty
/// for a name the calendar does not know. Letter case is ignored. Reads
/// the rows without moving the calendar's current row. Throws db::DbError.
QString nameDayOf(dataset::Dataset &calendar, const QString &firstName);

} // namespace forms
