#pragma once

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

class TDM;
namespace db {
class DbConnection;
} // namespace db

/// Which of the register's contacts celebrate a name day or a birthday in
/// the coming days.
namespace app::celebrations {

enum class Kind { NameDay, Birthday };

/// What the list shows of a contact and what decides whether it celebrates.
struct Contact {
    qint64 id = 0;
    QString firstName;
    QString surname;
    QString birthday; ///< `NAROZENINY` as typed
    QString company;
    QString phone;
    QString email;
};

struct Celebration {
    QDate date;
    Kind kind = Kind::NameDay;
    int age = 0; ///< the birthday's age; 0 when the year is not known
    Contact contact;
};

/// The names a calendar text gives a day: "Adam a Eva, Štědrý den" is
/// "Adam", "Eva" and "Štědrý den".
QStringList namesIn(const QString &calendarText);

/// The celebrations of `contacts` on the `days` days from `first` on,
/// sorted by date (name days before birthdays, then by surname).
/// `namesOn` gives the calendar's names of a day.
std::vector<Celebration> find(const std::vector<Contact> &contacts,
                              const std::function<QStringList(const QDate &)> &namesOn,
                              const QDate &first, int days);

/// How many different contacts `list` names.
int contactCount(const std::vector<Celebration> &list);

/// " · 3 kontakty" for the status bar's name-day line; empty for none.
QString countSuffix(int contacts);

/// What a query reads of each contact: all the list shows, or for the
/// status bar's count only what decides whether it celebrates.
enum class Reading { List, Count };

/// What read() asks: the calendar's names of the days and the statement
/// that reads the contacts who may celebrate on them.
struct Query {
    QHash<QDate, QStringList> calendar;
    QByteArray sql;
    QVariantList params;
    QDate first;
    int days = 0;
    Reading reading = Reading::List;
};
/// Reads the calendar (tSVATEK) for the query (in the data module's thread).
Query prepare(TDM &dm, const QDate &first, int days, Reading reading = Reading::List);
/// Runs the query on `connection` (any thread's own). Throws DbError.
std::vector<Celebration> run(db::DbConnection &connection, const Query &query);
/// Reads the calendar (tSVATEK) and, in one statement, the contacts that
/// may celebrate on the `days` days from `first`: those of one of the
/// days' names and those with a birthday typed. Throws DbError.
std::vector<Celebration> read(TDM &dm, const QDate &first, int days);

} // namespace app::celebrations
