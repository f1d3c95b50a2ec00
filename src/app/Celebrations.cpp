#include "app/Celebrations.h"

#include "base/Win1250.h"
#include "czech/Birthday.h"
#include "data/CelebrationIndex.h"
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

/// The birthday key (month × 100 + day) of `day`.
int keyOf(const QDate &day) {
    return day.month() * 100 + day.day();
}

/// The one statement that reads the contacts who may celebrate on the
/// `days` days from `first`, and its `params`.
QByteArray candidatesStatement(const QDate &first, int days, const QStringList &names,
                               Reading reading, QVariantList &params) {
    // Placeholder rows (KRAJ '***') only list a company on the board. Each
    // condition is one of the keys the database indexes (see
    // data::celebrationindex), so only the contacts who may celebrate are
    // read; they are a superset, which find() narrows. The server evaluates
    // the conditions again on each row it reads, in their order: the first
    // names, most of the rows, come first, the rare blanks last.
    const QString birthday = data::celebrationindex::birthdayKey(QStringLiteral("K.NAROZENINY"));
    // The count does without the company: the join costs more than the
    // rest of the statement.
    QString sql =
        reading == Reading::Count
            ? QStringLiteral("SELECT K.ID, K.JMENO, K.NAROZENINY FROM KONTAKT K ")
            : QStringLiteral("SELECT K.ID, K.JMENO, K.NAROZENINY, K.PRIJMENI, F.NAZEV_FIRMA, "
                             "K.MOBIL, K.TELEFON1, K.EMAIL1 FROM KONTAKT K "
                             "LEFT JOIN FIRMA F ON F.ID = K.ID_FIRMA ");
    sql += QStringLiteral("WHERE K.KRAJ IS DISTINCT FROM '***' AND (");
    QStringList conditions;
    // The server upper-cases the stored names and the calendar's alike.
    QStringList storable;
    for (const QString &name : names)
        if (base::win1250::canEncode(name)) // else no stored name can hold it
            storable << name;
    storable.removeDuplicates();
    params.append(QVariantList(storable.begin(), storable.end()));
    if (!storable.isEmpty())
        conditions << QStringLiteral("%1 IN (%2)")
                          .arg(data::celebrationindex::nameKey(QStringLiteral("K.JMENO")),
                               QStringList(storable.size(), QStringLiteral("UPPER(?)"))
                                   .join(QStringLiteral(", ")));
    // One range of keys per year the days reach into; the keys between two
    // months belong to no date.
    const QDate last = first.addDays(days - 1);
    for (int year = first.year(); year <= last.year(); ++year) {
        const QDate from = std::max(first, QDate(year, 1, 1));
        const QDate to = std::min(last, QDate(year, 12, 31));
        conditions << QStringLiteral("%1 BETWEEN ? AND ?").arg(birthday);
        // 29 February's birthday falls on the 28th in a common year (see birthdayIn).
        const bool leapDayToo = to.month() == 2 && to.day() == 28 && !QDate::isLeapYear(year);
        params << keyOf(from) << (leapDayToo ? 229 : keyOf(to));
    }
    conditions << QStringLiteral("%1 = 1").arg(data::celebrationindex::otherBlankKey(
        QStringLiteral("K.JMENO"), QStringLiteral("K.NAROZENINY")));
    return (sql + conditions.join(QStringLiteral(" OR ")) + QLatin1Char(')')).toLatin1();
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

Query prepare(TDM &dm, const QDate &first, int days, Reading reading) {
    Query query;
    query.first = first;
    query.days = days;
    query.reading = reading;
    QStringList allNames;
    for (int i = 0; i < days; ++i) {
        const QDate day = first.addDays(i);
        if (!dm.tSVATEK.locate(QStringLiteral("den;mesic"), {day.day(), day.month()}, true))
            continue;
        query.calendar[day] = namesIn(dm.tSVATEK.fieldByName(QStringLiteral("JMENO"))->asString());
        allNames << query.calendar[day];
    }
    query.sql = candidatesStatement(first, days, allNames, reading, query.params);
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
        c.birthday = text(row, 2);
        if (query.reading == Reading::List) {
            c.surname = text(row, 3);
            c.company = text(row, 4);
            c.phone = text(row, 5).trimmed().isEmpty() ? text(row, 6) : text(row, 5);
            c.email = text(row, 7);
        }
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
