#include "czech/Birthday.h"

#include <QDate>
#include <QRegularExpression>

namespace czech {

namespace {

// [0-9] rather than \d, which would also take digits of other scripts.
const QRegularExpression &czechForm() {
    static const QRegularExpression form(
        QStringLiteral("^([0-9]{1,2})\\.\\s*([0-9]{1,2})(?:\\.\\s*([0-9]{4})?)?$"));
    return form;
}

const QRegularExpression &isoForm() {
    static const QRegularExpression form(QStringLiteral("^([0-9]{4})-([0-9]{1,2})-([0-9]{1,2})$"));
    return form;
}

bool exists(const Birthday &date) {
    // 2000 is a leap year, so without a year 29. 2. stands.
    return QDate::isValid(date.year == 0 ? 2000 : date.year, date.month, date.day);
}

} // namespace

std::optional<Birthday> parseBirthday(const QString &text) {
    const QString trimmed = text.trimmed();
    Birthday date;
    bool yearTyped = true;
    if (const auto match = czechForm().match(trimmed); match.hasMatch()) {
        date.day = match.captured(1).toInt();
        date.month = match.captured(2).toInt();
        yearTyped = !match.captured(3).isEmpty();
        date.year = match.captured(3).toInt();
    } else if (const auto iso = isoForm().match(trimmed); iso.hasMatch()) {
        date.year = iso.captured(1).toInt();
        date.month = iso.captured(2).toInt();
        date.day = iso.captured(3).toInt();
    } else {
        return std::nullopt;
    }
    // Year 0 would read as "no year"; no one was born then.
    if ((yearTyped && date.year == 0) || !exists(date))
        return std::nullopt;
    return date;
}

QString dayMonthText(int day, int month) {
    return QStringLiteral("%1. %2.").arg(day).arg(month);
}

} // namespace czech
