#pragma once

#include "db/FieldType.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace dataset {

class Dataset;

/// Converts text to an integer; throws DbError "'%s' is not a valid integer value".
qint64 toInteger(const QString &text);

/// One column of a dataset, giving access to its value in the current row.
/// Fields belong to their dataset and live while it is open (declared
/// fields live as long as the dataset).
class Field {
  public:
    Field(Dataset *dataset, QString name, db::FieldType type, int size);

    const QString &name() const { return m_name; }
    db::FieldType type() const { return m_type; }
    int size() const { return m_size; }
    int column() const { return m_column; }
    Dataset *dataset() const { return m_dataset; }

    bool isNull() const;
    /// NULL, and every field of a dataset without a visible row, reads as "".
    QString asString() const;
    /// NULL reads as 0; text is converted and throws DbError when not a number.
    qint64 asInteger() const;
    QDateTime asDateTime() const;
    /// The whole value of a BLOB (zero bytes for NULL).
    QByteArray asBytes() const;
    /// The value typed for display: QString, qint64, QDateTime, QByteArray or invalid.
    QVariant value() const;

    /// Writing needs the edit or insert state; otherwise throws DbError
    /// "Dataset not in edit or insert mode".
    void setAsString(const QString &text);
    void setAsInteger(qint64 value);
    void setAsDateTime(const QDateTime &value);
    void setAsBytes(const QByteArray &bytes);
    void clear();
    /// What the user knows the field by: its box's caption where one was
    /// given (Dataset::setDisplayLabel), else its name.
    QString displayLabel() const;

  private:
    friend class Dataset;
    /// Refuses what the user gave the field: said of its caption, without
    /// the dataset's name, where it has one (a form's box), else as every
    /// error of the layer.
    [[noreturn]] void refuseInput(const QString &message) const;
    Dataset *m_dataset;
    QString m_name;
    db::FieldType m_type;
    int m_size;
    int m_column = -1;
};

/// A named parameter of a query; its value stays across close and open.
class Param {
  public:
    enum class Type { Integer, Text };
    Param(QString name, Type type = Type::Text) : m_name(std::move(name)), m_type(type) {}
    const QString &name() const { return m_name; }
    Type type() const { return m_type; }
    const QVariant &value() const { return m_value; }
    void setAsString(const QString &text) {
        m_type = Type::Text;
        m_value = text;
    }
    void setAsInteger(qint64 value) {
        m_type = Type::Integer;
        m_value = value;
    }
    void clear() { m_value = QVariant(); }

  private:
    QString m_name;
    Type m_type;
    QVariant m_value;
};

} // namespace dataset
