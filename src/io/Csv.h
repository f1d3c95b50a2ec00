#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace io {

/// The two forms of CSV files: RFC 4180 (UTF-8, commas) and the form Czech
/// spreadsheet programs open directly (Windows-1250, semicolons).
enum class CsvDialect { Utf8Comma, Win1250Semicolon };

struct CsvTable {
    QStringList header;
    QList<QStringList> rows; ///< as long as the header (short rows padded)
    QList<int> rowLines;     ///< the line each row starts on
    /// What is wrong with the file; a table with errors must not be imported.
    QStringList errors;
};

/// Reads a CSV file with a header row. The character set is UTF-8 (with or
/// without a byte-order mark), UTF-16 with its mark, or else Windows-1250;
/// the separator (comma, semicolon or tab) is the one the header uses.
/// Never throws; faults and exceeded limits come back as errors.
CsvTable parseCsv(const QByteArray &bytes);

/// Appends one line (the header is line 1, for the message), quoting where
/// needed, CR LF at its end. Returns false with `error` naming the row and
/// column when the Windows-1250 form cannot hold a character.
bool appendCsvLine(const QStringList &fields, const QStringList &header, int rowNumber,
                   CsvDialect dialect, QByteArray &out, QString *error = nullptr);

/// Writes a header and rows, quoting where needed, CR LF line ends. Returns
/// false with `error` naming the row and column when the Windows-1250 form
/// cannot hold a character.
bool writeCsv(const QStringList &header, const QList<QStringList> &rows, CsvDialect dialect,
              QByteArray &out, QString *error = nullptr);

} // namespace io
