#include "dataset/Dataset.h"

#include "base/Win1250.h"
#include "db/DbConnection.h"
#include "db/DbError.h"

#include <bit>

namespace dataset {

// ---- table and query datasets ----------------------------------------------

TableDataset::TableDataset(const QString &name, const QString &table, db::DbConnection *connection,
                           QObject *parent)
    : Dataset(name, connection, parent), m_table(table) {
}

QByteArray TableDataset::selectStatement() const {
    QByteArray sql;
    base::win1250::encode(QStringLiteral("SELECT %1.*, %1.%2 FROM %1")
                              .arg(m_table, QLatin1String(kRecordVersionColumn)),
                          sql);
    return sql;
}

QueryDataset::QueryDataset(const QString &name, db::DbConnection *connection, QObject *parent)
    : Dataset(name, connection, parent) {
}

void QueryDataset::setSql(const QStringList &lines) {
    setSql(lines.join(QLatin1Char('\n')));
}

void QueryDataset::setSql(const QString &text) {
    requireInactive("change the statement");
    m_sql = text;
    // Replace every ":Name" outside quotes and comments with "?".
    QString compiled;
    m_markerNames.clear();
    std::vector<std::unique_ptr<Param>> params;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int end = text.indexOf(c, i + 1);
            const int stop = end < 0 ? int(text.size()) : end + 1;
            compiled += text.mid(i, stop - i);
            i = stop - 1;
        } else if (c == QLatin1Char('-') && text.mid(i, 2) == QLatin1String("--")) {
            const int end = text.indexOf(QLatin1Char('\n'), i);
            const int stop = end < 0 ? int(text.size()) : end;
            compiled += text.mid(i, stop - i);
            i = stop - 1;
        } else if (c == QLatin1Char(':') && i + 1 < text.size() &&
                   (text.at(i + 1).isLetter() || text.at(i + 1) == QLatin1Char('_'))) {
            int end = i + 1;
            while (end < text.size() &&
                   (text.at(end).isLetterOrNumber() || text.at(end) == QLatin1Char('_')))
                ++end;
            const QString name = text.mid(i + 1, end - i - 1);
            m_markerNames << name;
            const bool known = std::any_of(params.begin(), params.end(), [&](const auto &p) {
                return p->name().compare(name, Qt::CaseInsensitive) == 0;
            });
            if (!known) {
                auto param = std::make_unique<Param>(name);
                if (const Param *old = [&]() -> const Param * {
                        for (const auto &p : m_params)
                            if (p->name().compare(name, Qt::CaseInsensitive) == 0)
                                return p.get();
                        return nullptr;
                    }())
                    *param = *old;
                params.push_back(std::move(param));
            }
            compiled += QLatin1Char('?');
            i = end - 1;
        } else {
            compiled += c;
        }
    }
    m_params = std::move(params);
    // A statement terminator is not part of a DSQL statement.
    while (compiled.endsWith(QLatin1Char(';')) ||
           (!compiled.isEmpty() && compiled.back().isSpace()))
        compiled.chop(1);
    m_compiled.clear();
    QChar bad;
    if (!base::win1250::encode(compiled, m_compiled, &bad))
        fail(
            QStringLiteral("The statement holds the character '%1', which the database cannot take")
                .arg(bad));
}

Param *QueryDataset::paramByName(const QString &name) const {
    for (const auto &p : m_params)
        if (p->name().compare(name, Qt::CaseInsensitive) == 0)
            return p.get();
    fail(QStringLiteral("Parameter '%1' not found").arg(name));
}

QByteArray QueryDataset::selectStatement() const {
    return m_compiled;
}

QVariantList QueryDataset::selectParams() const {
    QVariantList values;
    for (const QString &name : m_markerNames)
        values << paramByName(name)->value();
    return values;
}

void QueryDataset::execSql() {
    close();
    if (!connection())
        fail(QStringLiteral("No connection"));
    connection()->executeCommitted(m_compiled, selectParams());
    // The statement may have changed a table's structure.
    connection()->forgetTableInfo();
}

} // namespace dataset
