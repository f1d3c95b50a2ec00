#include "dataset/Field.h"

#include "base/Win1250.h"
#include "dataset/Dataset.h"
#include "db/DbError.h"
#include "db/FbStatement.h"

#include <bit>

namespace dataset {

qint64 toInteger(const QString &text) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw db::DbError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

Field::Field(Dataset *dataset, QString name, db::FieldType type, int size)
    : m_dataset(dataset), m_name(std::move(name)), m_type(type), m_size(size) {
}

bool Field::isNull() const {
    return m_dataset->currentCell(m_column).tag == db::Cell::Null;
}

QString Field::asString() const {
    const db::Cell c = m_dataset->currentCell(m_column);
    switch (c.tag) {
    case db::Cell::Null:
        return QString();
    case db::Cell::Int:
        return QString::number(c.num);
    case db::Cell::Double:
        return QString::number(std::bit_cast<double>(c.num));
    case db::Cell::DateTime:
        return db::msecsToDateTime(c.num).toString(QStringLiteral("d.M.yyyy H:mm:ss"));
    case db::Cell::Text:
    case db::Cell::Bytes:
        return base::win1250::decode(c.bytes);
    case db::Cell::BlobId:
        return base::win1250::decode(m_dataset->blobBytes(c));
    }
    return QString();
}

qint64 Field::asInteger() const {
    const db::Cell c = m_dataset->currentCell(m_column);
    switch (c.tag) {
    case db::Cell::Null:
        return 0;
    case db::Cell::Int:
        return c.num;
    case db::Cell::Double:
        return qint64(std::bit_cast<double>(c.num));
    default:
        return toInteger(asString());
    }
}

QDateTime Field::asDateTime() const {
    const db::Cell c = m_dataset->currentCell(m_column);
    if (c.tag == db::Cell::DateTime)
        return db::msecsToDateTime(c.num);
    if (c.tag == db::Cell::Text)
        return QDateTime::fromString(base::win1250::decode(c.bytes),
                                     QStringLiteral("d.M.yyyy H:mm:ss"));
    return QDateTime();
}

QByteArray Field::asBytes() const {
    const db::Cell c = m_dataset->currentCell(m_column);
    if (c.tag == db::Cell::BlobId)
        return m_dataset->blobBytes(c);
    if (c.tag == db::Cell::Text || c.tag == db::Cell::Bytes)
        return c.bytes;
    return QByteArray();
}

QVariant Field::value() const {
    return m_dataset->valueAt(m_dataset->currentIndex(), m_column);
}

void Field::setAsString(const QString &text) {
    db::Cell c;
    if (db::isIntegerType(m_type)) {
        if (!text.trimmed().isEmpty()) {
            bool ok = false;
            c.num = text.trimmed().toLongLong(&ok);
            if (!ok)
                m_dataset->fail(QStringLiteral("'%1' is not a valid integer value for field '%2'")
                                    .arg(text, m_name));
            c.tag = db::Cell::Int;
        }
    } else if (m_type == db::FieldType::DateTime) {
        if (!text.trimmed().isEmpty()) {
            QDateTime dt =
                QDateTime::fromString(text.trimmed(), QStringLiteral("d.M.yyyy H:mm:ss"));
            if (!dt.isValid())
                dt = QDateTime(QDate::fromString(text.trimmed(), QStringLiteral("d.M.yyyy")),
                               QTime(0, 0));
            if (!dt.isValid())
                m_dataset->fail(QStringLiteral("'%1' is not a valid date and time for field '%2'")
                                    .arg(text, m_name));
            c.tag = db::Cell::DateTime;
            c.num = db::dateTimeToMsecs(dt);
        }
    } else {
        QChar bad;
        if (!base::win1250::encode(text, c.bytes, &bad))
            refuseInput(QStringLiteral(
                            "Text v poli '%1' obsahuje znak „%2“ (U+%3), který databáze neuloží: "
                            "ukládá jen znaky kódování Windows-1250.")
                            .arg(displayLabel(), bad)
                            .arg(bad.unicode(), 4, 16, QLatin1Char('0')));
        // A control character (a NUL from a paste or an import) would be
        // stored unseen; a note keeps its line breaks and tabs.
        const qsizetype control =
            m_type == db::FieldType::Bytes
                ? -1
                : base::win1250::firstControlCharacter(text, m_type == db::FieldType::Memo);
        if (control >= 0)
            refuseInput(
                QStringLiteral(
                    "Text v poli '%1' obsahuje neviditelný řídicí znak U+%2 (na %3. místě), "
                    "který nelze uložit; odstraňte ho.")
                    .arg(displayLabel())
                    .arg(text.at(control).unicode(), 4, 16, QLatin1Char('0'))
                    .arg(control + 1));
        // One byte per character in Windows-1250: the described size is the
        // column's length in characters. Refused here, before anything is
        // sent, rather than as the server's truncation error.
        if (m_type == db::FieldType::Text && m_size > 0 && c.bytes.size() > m_size)
            refuseInput(
                QStringLiteral(
                    "Text v poli '%1' je příliš dlouhý: má %2 znaků, pole pojme nejvýše %3.")
                    .arg(displayLabel())
                    .arg(c.bytes.size())
                    .arg(m_size));
        c.tag = m_type == db::FieldType::Text ? db::Cell::Text : db::Cell::Bytes;
    }
    m_dataset->writeCurrentCell(m_column, std::move(c));
}

QString Field::displayLabel() const {
    return m_dataset->displayLabel(m_name);
}

void Field::refuseInput(const QString &message) const {
    if (m_dataset->displayLabel(m_name) != m_name)
        throw db::DbError(message);
    m_dataset->fail(message);
}

void Field::setAsInteger(qint64 value) {
    if (!db::isIntegerType(m_type) && m_type != db::FieldType::Float) {
        setAsString(QString::number(value));
        return;
    }
    m_dataset->writeCurrentCell(m_column, db::Cell{db::Cell::Int, value, {}});
}

void Field::setAsDateTime(const QDateTime &value) {
    db::Cell c;
    if (value.isValid()) {
        c.tag = db::Cell::DateTime;
        c.num = db::dateTimeToMsecs(value);
    }
    m_dataset->writeCurrentCell(m_column, std::move(c));
}

void Field::setAsBytes(const QByteArray &bytes) {
    m_dataset->writeCurrentCell(m_column, db::Cell{db::Cell::Bytes, 0, bytes});
}

void Field::clear() {
    m_dataset->writeCurrentCell(m_column, db::Cell{});
}

} // namespace dataset
