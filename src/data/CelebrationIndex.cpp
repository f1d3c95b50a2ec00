#include "data/CelebrationIndex.h"

#include "db/DbConnection.h"
#include "db/DbError.h"

namespace data::celebrationindex {
namespace {

/// The blanks besides the space that a first name or birthday may hold and
/// a reader trims or skips: tab, line feed, vertical tab, form feed,
/// carriage return and the no-break space (the code page's only others).
constexpr int kOtherBlanks[] = {9, 10, 11, 12, 13, 160};

struct Index {
    const char *name;
    QString expression;
};

/// What stands under an index's name: nothing, another index or one
/// switched off, or the current one.
enum class Found { Nothing, Other, Current };

QList<Index> indexes() {
    return {{"KONTAKT_JMENO_KLIC", nameKey(QStringLiteral("JMENO"))},
            {"KONTAKT_NAROZENINY_KLIC", birthdayKey(QStringLiteral("NAROZENINY"))},
            {"KONTAKT_OSLAVY_ZBYTEK",
             otherBlankKey(QStringLiteral("JMENO"), QStringLiteral("NAROZENINY"))}};
}

QString createIndex(const Index &index) {
    return QStringLiteral("CREATE INDEX %1 ON KONTAKT COMPUTED BY (%2)")
        .arg(QLatin1String(index.name), index.expression);
}

} // namespace

QString nameKey(const QString &firstName) {
    return QStringLiteral("UPPER(TRIM(%1))").arg(firstName);
}

QString birthdayKey(const QString &birthday) {
    // Without its spaces a date has one of two shapes; each part is read
    // only once the whole text is known to have the shape, so the key never
    // fails (a failing key would refuse the contact's save).
    const QString text = QStringLiteral("REPLACE(%1, ' ', '')").arg(birthday);
    const QString dot = QStringLiteral("POSITION('.' IN %1)").arg(text);
    const QString czechDay = QStringLiteral("SUBSTRING(%1 FROM 1 FOR %2 - 1)").arg(text, dot);
    const QString czechMonth =
        QStringLiteral(
            "SUBSTRING(%1 || '.' FROM %2 + 1 FOR POSITION('.', %1 || '.', %2 + 1) - %2 - 1)")
            .arg(text, dot);
    const QString dash = QStringLiteral("POSITION('-', %1, 6)").arg(text);
    const QString isoMonth = QStringLiteral("SUBSTRING(%1 FROM 6 FOR %2 - 6)").arg(text, dash);
    const QString isoDay = QStringLiteral("SUBSTRING(%1 FROM %2 + 1)").arg(text, dash);
    auto key = [](const QString &month, const QString &day) {
        return QStringLiteral("CAST(%1 AS INTEGER) * 100 + CAST(%2 AS INTEGER)").arg(month, day);
    };
    // A dash is bracketed: after a repetition the server reads it as a range.
    return QStringLiteral("CASE WHEN %1 SIMILAR TO '[0-9]{1,2}.[0-9]{1,2}(.([0-9]{4})?)?' THEN %2 "
                          "WHEN %1 SIMILAR TO '[0-9]{4}[-][0-9]{1,2}[-][0-9]{1,2}' THEN %3 END")
        .arg(text, key(czechMonth, czechDay), key(isoMonth, isoDay));
}

QString otherBlankKey(const QString &firstName, const QString &birthday) {
    QStringList found;
    for (const QString &column : {firstName, birthday})
        for (int blank : kOtherBlanks)
            found << QStringLiteral("POSITION(ASCII_CHAR(%1) IN %2) > 0").arg(blank).arg(column);
    return QStringLiteral("CASE WHEN %1 THEN 1 END").arg(found.join(QStringLiteral(" OR ")));
}

QStringList names() {
    QStringList names;
    for (const Index &index : indexes())
        names << QLatin1String(index.name);
    return names;
}

QStringList createStatements() {
    QStringList statements;
    for (const Index &index : indexes())
        statements << createIndex(index);
    return statements;
}

void ensure(db::DbConnection &connection) {
    for (const Index &index : indexes()) {
        const QString name = QLatin1String(index.name);
        // The server keeps the expression as written, in its parentheses. An
        // index switched off (a restore that left it so) is made anew too.
        auto found = [&] {
            db::PackedRow row;
            auto cursor = connection.openCursor(
                "SELECT CAST(RDB$EXPRESSION_SOURCE AS VARCHAR(8000)), "
                "COALESCE(RDB$INDEX_INACTIVE, 0) FROM RDB$INDICES WHERE RDB$INDEX_NAME = ?",
                {name});
            if (!cursor->fetch(row))
                return Found::Nothing;
            const QString source = QString::fromLatin1(row.payload(0)).trimmed();
            return source == QLatin1Char('(') + index.expression + QLatin1Char(')') &&
                           row.cell(1).num == 0
                       ? Found::Current
                       : Found::Other;
        };
        const Found before = found();
        if (before == Found::Current)
            continue;
        try {
            // One transaction: a start killed meanwhile leaves the old index or none.
            QList<db::DbConnection::Statement> steps;
            if (before == Found::Other)
                steps << db::DbConnection::Statement{"DROP INDEX " + name.toLatin1(), {}};
            steps << db::DbConnection::Statement{createIndex(index).toLatin1(), {}};
            connection.executeCommitted(steps);
        } catch (const db::DbError &) {
            // Another program making it at the same moment is as good.
            if (found() != Found::Current)
                throw;
        }
    }
}

} // namespace data::celebrationindex
