#include "Field.h"

#include "Dataset.h"
#include "DbError.h"
#include "FbStatement.h"
#include "Win1250.h"

#include <bit>

namespace data {

qint64 toInteger(const QString &text) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

Field::Field(Dataset *dataset, QString name, FieldType type, int size)
    : m_dataset(dataset), m_name(std::move(name)), m_type(type), m_size(size) {}

bool Field::isNull() const { return m_dataset->currentCell(m_column).tag == Cell::Null; }

QString Field::asString() const {
    const Cell c = m_dataset->currentCell(m_column);
    switch (c.tag) {
    case Cell::Null: return QString();
    case Cell::Int: return QString::number(c.num);
    case Cell::Double: return QString::number(std::bit_cast<double>(c.num));
    case Cell::DateTime: return msecsToDateTime(c.num).toString(QStringLiteral("d.M.yyyy H:mm:ss"));
    case Cell::Text:
    case Cell::Bytes: return win1250::decode(c.bytes);
    case Cell::BlobId: return win1250::decode(m_dataset->blobBytes(c));
    }
    return QString();
}

qint64 Field::asInteger() const {
    const Cell c = m_dataset->currentCell(m_column);
    switch (c.tag) {
    case Cell::Null: return 0;
    case Cell::Int: return c.num;
    case Cell::Double: return qint64(std::bit_cast<double>(c.num));
    default: return toInteger(asString());
    }
}

QDateTime Field::asDateTime() const {
    const Cell c = m_dataset->currentCell(m_column);
    if (c.tag == Cell::DateTime)
        return msecsToDateTime(c.num);
    if (c.tag == Cell::Text)
        return QDateTime::fromString(win1250::decode(c.bytes), QStringLiteral("d.M.yyyy H:mm:ss"));
    return QDateTime();
}

QByteArray Field::asBytes() const {
    const Cell c = m_dataset->currentCell(m_column);
    if (c.tag == Cell::BlobId)
        return m_dataset->blobBytes(c);
    if (c.tag == Cell::Text || c.tag == Cell::Bytes)
        return c.bytes;
    return QByteArray();
}

QVariant Field::value() const { return m_dataset->valueAt(m_dataset->currentIndex(), m_column); }

void Field::setAsString(const QString &text) {
    Cell c;
    if (isIntegerType(m_type)) {
        if (!text.trimmed().isEmpty()) {
            bool ok = false;
            c.num = text.trimmed().toLongLong(&ok);
            if (!ok)
                m_dataset->fail(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, m_name));
            c.tag = Cell::Int;
        }
    } else if (m_type == FieldType::DateTime) {
        if (!text.trimmed().isEmpty()) {
            QDateTime dt = QDateTime::fromString(text.trimmed(), QStringLiteral("d.M.yyyy H:mm:ss"));
            if (!dt.isValid())
                dt = QDateTime(QDate::fromString(text.trimmed(), QStringLiteral("d.M.yyyy")), QTime(0, 0));
            if (!dt.isValid())
                m_dataset->fail(QStringLiteral("'%1' is not a valid date and time for field '%2'").arg(text, m_name));
            c.tag = Cell::DateTime;
            c.num = dateTimeToMsecs(dt);
        }
    } else {
        QChar bad;
        if (!win1250::encode(text, c.bytes, &bad))
            refuseInput(
                QStringLiteral(
                    "Text v poli '%1' obsahuje znak „%2“ (U+%3), který databáze neuloží: "
                    "ukládá jen znaky kódování Windows-1250.")
                    .arg(displayLabel(), bad)
                    .arg(bad.unicode(), 4, 16, QLatin1Char('0')));
        // A control character (a NUL from a paste or an import) would be
        // stored unseen; a note keeps its line breaks and tabs.
        const qsizetype control =
            m_type == FieldType::Bytes
                ? -1
                : win1250::firstControlCharacter(text, m_type == FieldType::Memo);
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
        if (m_type == FieldType::Text && m_size > 0 && c.bytes.size() > m_size)
            refuseInput(QStringLiteral("Text v poli '%1' je příliš dlouhý: má %2 znaků, pole pojme nejvýše %3.")
                            .arg(displayLabel())
                            .arg(c.bytes.size())
                            .arg(m_size));
        c.tag = m_type == FieldType::Text ? Cell::Text : Cell::Bytes;
    }
    m_dataset->writeCurrentCell(m_column, std::move(c));
}

QString Field::displayLabel() const { return m_dataset->displayLabel(m_name); }

void Field::refuseInput(const QString &message) const {
    if (m_dataset->displayLabel(m_name) != m_name)
        throw DbError(message);
    m_dataset->fail(message);
}

void Field::setAsInteger(qint64 value) {
    if (!isIntegerType(m_type) && m_type != FieldType::Float) {
        setAsString(QString::number(value));
        return;
    }
    m_dataset->writeCurrentCell(m_column, Cell{Cell::Int, value, {}});
}

void Field::setAsDateTime(const QDateTime &value) {
    Cell c;
    if (value.isValid()) {
        c.tag = Cell::DateTime;
        c.num = dateTimeToMsecs(value);
    }
    m_dataset->writeCurrentCell(m_column, std::move(c));
}

void Field::setAsBytes(const QByteArray &bytes) {
    m_dataset->writeCurrentCell(m_column, Cell{Cell::Bytes, 0, bytes});
}

void Field::clear() { m_dataset->writeCurrentCell(m_column, Cell{}); }

} // namespace data
