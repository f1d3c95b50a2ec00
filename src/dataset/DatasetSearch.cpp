#include "dataset/Dataset.h"

#include "base/Win1250.h"
#include "db/DbConnection.h"
#include "db/DbError.h"

#include <bit>

namespace dataset {

bool Dataset::locate(const QString &fieldNames, const QVariantList &values, bool caseInsensitive) {
    requireOpen();
    endPendingChange();
    const QStringList names = fieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (names.size() != values.size())
        fail(QStringLiteral("Incorrect number of search field values"));

    struct Key {
        int column;
        bool integer;
        qint64 number;
        QString text;
    };
    std::vector<Key> keys;
    for (int i = 0; i < names.size(); ++i) {
        const Field *field = fieldByName(names[i].trimmed());
        Key key{field->column(), db::isIntegerType(field->type()), 0, {}};
        if (key.integer) {
            if (values[i].typeId() == QMetaType::QString) {
                bool ok = false;
                key.number = values[i].toString().trimmed().toLongLong(&ok);
                if (!ok)
                    fail(QStringLiteral("'%1' is not a valid integer value for field '%2'")
                             .arg(values[i].toString(), field->name()));
            } else {
                key.number = values[i].toLongLong();
            }
        } else {
            key.text = caseInsensitive ? values[i].toString().toUpper() : values[i].toString();
        }
        keys.push_back(std::move(key));
    }

    auto matches = [&](const db::PackedRow &row) {
        for (const Key &key : keys) {
            const db::Cell c = row.cell(key.column);
            if (key.integer) {
                if (c.tag != db::Cell::Int || c.num != key.number)
                    return false;
            } else {
                const QString text =
                    c.tag == db::Cell::Text
                        ? base::win1250::decode(c.bytes)
                        : (c.tag == db::Cell::Int ? QString::number(c.num) : QString());
                if ((caseInsensitive ? text.toUpper() : text) != key.text)
                    return false;
            }
        }
        return true;
    };

    for (int i = 0;; ++i) {
        if (i >= int(m_visible.size())) {
            fetchMore(256);
            if (i >= int(m_visible.size()))
                break;
        }
        if (matches(m_rows[m_visible[i]])) {
            m_eof = false;
            if (i != m_current)
                setCurrent(i);
            return true;
        }
    }
    // Not among the rows held (a cursor cut short by a lost connection, or
    // a row committed after it was read): a search by the whole key asks
    // the database, so that the row found is the row asked for.
    std::vector<qint64> key;
    for (const Key &k : keys)
        if (k.integer)
            key.push_back(k.number);
    if (m_keyColumns.empty() || key.size() != keys.size() || key.size() != m_keyColumns.size())
        return false;
    for (size_t i = 0; i < key.size(); ++i)
        if (keys[i].column != m_keyColumns[i])
            return false;
    return holdStoredRow(key);
}

bool Dataset::holdStoredRow(const std::vector<qint64> &key) {
    db::PackedRow stored;
    if (!readStoredRow(QVariantList(key.begin(), key.end()), stored) || !passesFilter(stored))
        return false;
    // The cursor, where it still reads, skips the row from now on.
    m_writtenKeys.insert(keyOf(stored));
    m_rows.push_back(std::move(stored));
    m_visible.push_back(int(m_rows.size()) - 1);
    const int at = int(m_visible.size()) - 1;
    emit rowInserted(at);
    m_eof = false;
    setCurrent(at);
    return true;
}

// ---- filter ----------------------------------------------------------------

void Dataset::setFilter(const QString &expression) {
    m_filterText = expression;
    if (m_filtered) {
        m_filterExpression.reset();
        applyFilter(true);
    }
}

void Dataset::setFiltered(bool on) {
    if (on == m_filtered)
        return;
    m_filtered = on;
    m_filterExpression.reset();
    try {
        applyFilter(true);
    } catch (...) {
        m_filtered = false;
        throw;
    }
}

QString Dataset::textOf(const db::PackedRow &row, int column, bool *numeric) const {
    const db::Cell c = row.cell(column);
    *numeric = c.tag == db::Cell::Int;
    switch (c.tag) {
    case db::Cell::Int:
        return QString::number(c.num);
    case db::Cell::Text:
        return base::win1250::decode(c.bytes);
    case db::Cell::Double:
        return QString::number(std::bit_cast<double>(c.num));
    case db::Cell::DateTime:
        return db::msecsToDateTime(c.num).toString(QStringLiteral("d.M.yyyy H:mm:ss"));
    default:
        return QString();
    }
}

QString Dataset::RowReader::text(int column) const {
    bool numeric = false;
    return m_dataset.textOf(m_row, column, &numeric);
}

void Dataset::setRecordFilter(RecordFilter filter) {
    m_recordFilter = std::move(filter);
    applyFilter(true);
}

bool Dataset::passesFilter(const db::PackedRow &row) const {
    if (m_recordFilter && !m_recordFilter(RowReader(*this, row)))
        return false;
    if (!m_filtered || m_filterText.trimmed().isEmpty())
        return true;
    return m_filterExpression->matches([&](const QString &column, bool *numeric, bool *found) {
        const Field *f = findField(column);
        *found = f != nullptr;
        if (!f)
            return QString();
        const QString text = textOf(row, f->column(), numeric);
        *numeric = *numeric || isIntegerType(f->type());
        return text;
    });
}

void Dataset::applyFilter(bool keepCurrent) {
    if (m_filtered && !m_filterText.trimmed().isEmpty() && !m_filterExpression)
        m_filterExpression.emplace(m_filterText);
    if (!isActive())
        return;
    endPendingChange();
    const int currentRow =
        (m_current >= 0 && m_current < int(m_visible.size())) ? m_visible[m_current] : -1;
    std::vector<int> visible;
    for (int i = 0; i < int(m_rows.size()); ++i)
        if (!m_rows[i].isNull() && passesFilter(m_rows[i]))
            visible.push_back(i);
    m_visible = std::move(visible);
    if (m_visible.empty())
        fetchOne();
    int current = m_visible.empty() ? -1 : 0;
    if (keepCurrent && currentRow >= 0)
        for (int i = 0; i < int(m_visible.size()); ++i)
            if (m_visible[i] == currentRow)
                current = i;
    m_current = current;
    m_eof = false;
    emit reset();
    emit currentChanged(m_current);
}

} // namespace dataset
