#pragma once

#include <vector>

namespace schema {

struct NameDay {
    int day;
    int month;
    const char *name; ///< UTF-8, as Czech calendars print it
};

/// The Czech civil name-day calendar: one entry per day of a leap year.
const std::vector<NameDay> &nameDays();

} // namespace schema
