#include "NameDays.h"

namespace initdb {

const std::vector<NameDay> &nameDays() {
    static const std::vector<NameDay> days = {
        {1, 1, "Nový rok"}, {2, 1, "Karina"}, {3, 1, "Radmila"},
    };
    return days;
}

} // namespace initdb
