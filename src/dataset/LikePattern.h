#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>

namespace db {
class DbConnection;
} // namespace db

namespace dataset {

/// The database's upper-casing of Windows-1250 bytes, read from the server
/// once (UPPER over every byte), so that text folds in memory exactly as it
/// folds in a statement.
class UpperCaseTable {
  public:
    UpperCaseTable(); ///< identity until read
    /// Throws DbError.
    void readFrom(db::DbConnection &connection);
    char upper(char c) const { return m_table[static_cast<unsigned char>(c)]; }
    QByteArray upper(QByteArrayView bytes) const;

  private:
    std::array<char, 256> m_table;
};

/// A LIKE pattern without ESCAPE as the database matches it on text of a
/// binary collation: "%" any run of characters, "_" exactly one, everything
/// else itself, blanks included.
class LikePattern {
  public:
    explicit LikePattern(QByteArray pattern);
    bool matches(QByteArrayView text) const;
    /// As matches() over the text upper-cased by `upper`, without a copy of it.
    bool matchesUpper(QByteArrayView text, const UpperCaseTable &upper) const;

  private:
    template <class Fold> bool matchFrom(QByteArrayView text, Fold fold) const;
    QByteArray m_pattern;
    QByteArray m_literal; // for "%text%" without other wildcards: the text
    bool m_isContains = false;
};

} // namespace dataset
