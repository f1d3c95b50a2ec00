#pragma once

#include <QString>

#include <optional>

namespace czech {

/// A birthday as read from the free text of `NAROZENINY`.
struct Birthday {
    int day = 0;
    int month = 0;
    int year = 0; ///< 0 when typed without a year

    bool operator==(const Birthday &) const = default;
};

/// Reads the forms people type: "7.3.1980", "7. 3. 1980", "07.03.1980",
/// "1980-03-07", and without a year "7.3." or "7. 3.". The day must exist in
/// its month (29. 2. only in a leap year when the year is given). Anything
/// else is no date, which is not an error: the text stays as it was typed.
std::optional<Birthday> parseBirthday(const QString &text);

/// The short Czech day and month, "7. 3.".
QString dayMonthText(int day, int month);

} // namespace czech
