#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

namespace io {

/// Column name (as in the database, upper case) → text. A missing or empty
/// text stands for NULL.
using Values = QMap<QString, QString>;

/// One contact person with the company it belongs to, as the readers give it
/// and the writers take it. Knows nothing of identifiers or of the database.
struct Entry {
    Values contact;           ///< KONTAKT text columns (no ID, ID_FIRMA, ID_POBOCKA, KRAJ)
    QByteArray photo;         ///< OBR: the stored picture bytes, empty for none
    Values company;           ///< FIRMA text columns (no ID); NAZEV_FIRMA empty: no company
    bool companyOnly = false; ///< a company without contact persons: `contact` is empty
    /// Entries of one file with the same non-empty key belong to one company
    /// (this program's exports carry the company's ID); empty: by name and IČO.
    QString companyKey;
    /// What of the record could not be read and was left out, for the report.
    QStringList warnings;

    QString companyName() const {
        static const QString name = QStringLiteral("NAZEV_FIRMA");
        return company.value(name).trimmed();
    }
    bool operator==(const Entry &) const = default;
};

/// A text column that travels in the files, with the caption users know it by.
struct Column {
    QString name;  ///< database column
    QString label; ///< form caption, used in messages and in the Czech CSV header
};

/// The texts of Values over a list of columns in one block (the column's
/// place, the length, the UTF-8 bytes of each non-empty text): a fraction of
/// a map's size, so that an import plan holds a file of any size.
class PackedValues {
  public:
    PackedValues() = default;
    /// Texts of columns outside `columns` are left out.
    PackedValues(const Values &values, const QList<Column> &columns);
    /// The texts of `columns` in their order (textsInOrder()); empty: none.
    PackedValues(const QStringList &texts, const QList<Column> &columns);
    Values unpack() const;
    /// Only the texts of the columns named in `only`.
    Values unpack(const QStringList &only) const;
    /// The text of each column, in the order of the columns (empty for none).
    QStringList texts() const;
    /// Calls `each(column's place, UTF-8 bytes)` for every non-empty text.
    void forEachText(const std::function<void(int column, QByteArrayView utf8)> &each) const;

  private:
    const QList<Column> *m_columns = nullptr;
    QByteArray m_bytes;
};

/// The KONTAKT text columns that travel, in form order.
const QList<Column> &contactColumns();
/// The FIRMA text columns that travel, in form order (NAZEV_FIRMA first).
const QList<Column> &companyColumns();

/// The texts of `values` in the order of `columns` (empty for none); texts
/// of other columns are left out. One pass over the values, not a look-up a column.
QStringList textsInOrder(const Values &values, const QList<Column> &columns);

/// True when `bytes` start like a picture the program can show (JPEG, PNG,
/// GIF, BMP, WebP, TIFF).
bool looksLikeImage(const QByteArray &bytes);

/// "Titul Jméno Příjmení, Titul" of a contact, for lists and messages.
QString displayName(const Values &contact);

/// Upper-cases the way the database's UPPER does for Windows-1250 text, so
/// that names compare as the board's search compares them.
QString foldCase(const QString &text);

} // namespace io
