#include "app/Celebrations.h"

#include "base/Win1250.h"
#include "czech/Birthday.h"
#include "data/U_DM.h"
#include "dataset/Field.h"
#include "db/Cell.h"
#include "db/DbConnection.h"
#include "db/FbStatement.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace app::celebrations {

namespace {

/// The day a birthday of `birthday` falls on in `year`. Someone born on
/// 29 February celebrates on 28 February in a common year: the day still
/// belongs to February, and a greeting a day early is kinder than one in
/// March.
QDate birthdayIn(const czech::Birthday &birthday, int year) {
    if (birthday.day == 29 && birthday.month == 2 && !QDate::isLeapYear(year))
        return QDate(year, 2, 28);
    return QDate(year, birthday.month, birthday.day);
}

QString normalised(const QString &name) {
    return name.trimmed().toCaseFolded();
}

QString text(const db::PackedRow &row, int column) {
    return row.tag(column) == db::Cell::Text ? base::win1250::decode(row.payload(column))
                                             : QString();
}

/// The one statement that reads the contacts who may celebrate on the
/// `days` days from `first`, and its `params`.
QByteArray candidatesStatement(const QDate &first, int days, const QStringList &names,
                               QVariantList &params) {
    // Placeholder rows (KRAJ '***') only list a company on the board. The
    // conditions are plain comparisons the server makes cheaply on every
    // row (a TRIM or UPPER on each doubled the time on 20,000 contacts);
    // they let through a superset, which find() narrows:
    // - of the typed birthdays, those of the range's days of the month:
    //   "7." or "07." at the start, "-7" or "-07" in an ISO date, and any
    //   text typed with a leading blank;
    // - of the first names, those written as the calendar writes them, in
    //   capitals or in small letters (the server's UPPER knows no Czech
    //   letters in this database; trailing blanks do not count in its
    //   comparison).
    QByteArray sql = "SELECT K.ID, K.JMENO, K.PRIJMENI, K.NAROZENINY, F.NAZEV_FIRMA, K.MOBIL, "
                     "K.TELEFON1, K.EMAIL1 FROM KONTAKT K LEFT JOIN FIRMA F ON F.ID = K.ID_FIRMA "
                     "WHERE K.KRAJ IS DISTINCT FROM '***' AND (K.NAROZENINY STARTING WITH ' '";
    QList<int> daysOfMonth;
    for (int i = 0; i < days; ++i) {
        const QDate day = first.addDays(i);
        daysOfMonth << day.day();
        if (day.day() == 28 && day.month() == 2 && !QDate::isLeapYear(day.year()))
            daysOfMonth << 29; // see birthdayIn
    }
    std::sort(daysOfMonth.begin(), daysOfMonth.end());
    daysOfMonth.erase(std::unique(daysOfMonth.begin(), daysOfMonth.end()), daysOfMonth.end());
    for (int day : daysOfMonth) {
        for (const QString &digits : {QString::number(day), QStringLiteral("0%1").arg(day)}) {
            if (digits.size() > 2)
                continue;
            sql += " OR K.NAROZENINY STARTING WITH ? OR K.NAROZENINY LIKE ?";
            params << digits + QLatin1Char('.') << QStringLiteral("%-") + digits + QLatin1Char('%');
        }
    }
    QStringList storable;
    for (const QString &name : names)
        if (base::win1250::canEncode(name)) // else no stored name can hold it
            storable << name << name.toUpper() << name.toLower();
    storable.removeDuplicates();
    for (int i = 0; i < storable.size(); ++i) {
        sql += i == 0 ? " OR K.JMENO IN (?" : ", ?";
        params << storable[i];
    }
    sql += storable.isEmpty() ? ")" : "))";
    return sql;
}

} // namespace

QStringList namesIn(const QString &calendarText) {
    static const QRegularExpression separator(QStringLiteral(",|\\s+a\\s+"));
    QStringList names;
    for (const QString &part : calendarText.split(separator, Qt::SkipEmptyParts))
        if (!part.trimmed().isEmpty())
            names << part.trimmed();
    return names;
}

std::vector<Celebration> find(const std::vector<Contact> &contacts,
                              const std::function<QStringList(const QDate &)> &namesOn,
                              const QDate &first, int days) {
    std::vector<Celebration> list;
    const QDate last = first.addDays(days - 1);
    QHash<QString, QDate> nameDay; // a name's first day in the range
    for (QDate day = last; day >= first; day = day.addDays(-1))
        for (const QString &name : namesOn(day))
            nameDay.insert(normalised(name), day);
    for (const Contact &contact : contacts) {
        const auto named = nameDay.constFind(normalised(contact.firstName));
        if (!contact.firstName.trimmed().isEmpty() && named != nameDay.constEnd())
            list.push_back({*named, Kind::NameDay, 0, contact});
        const std::optional<czech::Birthday> birthday = czech::parseBirthday(contact.birthday);
        if (!birthday)
            continue; // not a date anyone can read: left as typed
        // The range spans at most two years (31. 12. → 1. 1.).
        for (int year : {first.year(), last.year()}) {
            const QDate date = birthdayIn(*birthday, year);
            if (date < first || date > last)
                continue;
            const int age = birthday->year > 0 && birthday->year < year ? year - birthday->year : 0;
            list.push_back({date, Kind::Birthday, age, contact});
            break;
        }
    }
    std::stable_sort(list.begin(), list.end(), [](const Celebration &a, const Celebration &b) {
        if (a.date != b.date)
            return a.date < b.date;
        if (a.kind != b.kind)
            return a.kind == Kind::NameDay;
        return QString::localeAwareCompare(a.contact.surname, b.contact.surname) < 0;
    });
    return list;
}

int contactCount(const std::vector<Celebration> &list) {
    QSet<qint64> ids;
    for (const Celebration &c : list)
        ids.insert(c.contact.id);
    return int(ids.size());
}

QString countSuffix(int contacts) {
    if (contacts <= 0)
        return {};
    const char *word = contacts == 1 ? "kontakt" : contacts <= 4 ? "kontakty" : "kontaktů";
    return QStringLiteral(" · %1 %2").arg(contacts).arg(QString::fromUtf8(word));
}

Query prepare(TDM &dm, const QDate &first, int days) {
    Query query;
    query.first = first;
    query.days = days;
    QStringList allNames;
    for (int i = 0; i < days; ++i) {
        const QDate day = first.addDays(i);
        if (!dm.tSVATEK.locate(QStringLiteral("den;mesic"), {day.day(), day.month()}, true))
            continue;
        query.calendar[day] = namesIn(dm.tSVATEK.fieldByName(QStringLiteral("JMENO"))->asString());
        allNames << query.calendar[day];
    }
    query.sql = candidatesStatement(first, days, allNames, query.params);
    return query;
}

std::vector<Celebration> run(db::DbConnection &connection, const Query &query) {
    std::vector<Contact> contacts;
    db::PackedRow row;
    auto cursor = connection.openCursor(query.sql, query.params);
    while (cursor->fetch(row)) {
        Contact c;
        c.id = row.cell(0).num;
        c.firstName = text(row, 1);
        c.surname = text(row, 2);
        c.birthday = text(row, 3);
        c.company = text(row, 4);
        c.phone = text(row, 5).trimmed().isEmpty() ? text(row, 6) : text(row, 5);
        c.email = text(row, 7);
        contacts.push_back(std::move(c));
    }
    return find(
        contacts, [&](const QDate &day) { return query.calendar.value(day); }, query.first,
        query.days);
}

std::vector<Celebration> read(TDM &dm, const QDate &first, int days) {
    return run(dm.ZConKontakty, prepare(dm, first, days));
}

} // namespace app::celebrations
