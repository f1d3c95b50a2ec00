#pragma once

#include <QString>

#include <vector>

namespace schema {

/// How a column is stored.
enum class ColumnType {
    Integer,   ///< INTEGER
    SmallInt,  ///< SMALLINT
    Text,      ///< VARCHAR(length), Windows-1250
    Note,      ///< a text of several lines (BLOB SUB_TYPE 1)
    Bytes,     ///< raw bytes (BLOB SUB_TYPE 0), the photo
    Timestamp, ///< TIMESTAMP
};

/// What a column belongs to, for the parts that treat a kind of column alike.
enum class ColumnGroup {
    Key,            ///< identifiers and references
    Company,        ///< what a company is
    Person,         ///< what a contact person is
    MeansOfContact, ///< telephones, e-mails and the rest, in both tables
    Address,        ///< a family of address columns (suffix _FS, _FF, _FD or none)
    Note,           ///< notes of several lines outside an address
    Photo,
    Calendar, ///< name days and public holidays
    Settings,
};

/// One column of the program's tables: the one place that says what it is.
struct Column {
    QString table;
    QString name;
    ColumnType type = ColumnType::Text;
    int length = 0; ///< characters, for Text
    QString label;  ///< the Czech caption the forms show for it; empty where none does
    ColumnGroup group = ColumnGroup::Key;
    bool primaryKey = false;
    bool notNull = false;
    bool sinceCurrentLayout = false; ///< missing from the files of earlier versions (the photo)

    /// The column's SQL type as CREATE TABLE declares it.
    QString sqlType() const;
};

/// Every column of every table, table by table in the order the tables are
/// created, each table's columns in their stored order.
const std::vector<Column> &columns();
/// The columns of `table` (upper case), in stored order.
std::vector<Column> columnsOf(const QString &table);
/// The column `name` of `table` (either in any case), or nullptr.
const Column *findColumn(const QString &table, const QString &name);
/// The Czech caption of a column, or its name where no form shows it.
QString labelOf(const QString &table, const QString &name);

} // namespace schema
