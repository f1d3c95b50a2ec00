#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <memory>

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

/// parseCsv() over a file that comes in pieces, so that a file of any size
/// is read in bounded memory.
class CsvStream {
  public:
    /// `utf8`: the file is UTF-8 (known from all of it), else Windows-1250;
    /// a UTF-16 file comes as UTF-8.
    explicit CsvStream(bool utf8);
    ~CsvStream();
    /// The rows of the file's next bytes (up to a pieceEnd() or the end of
    /// the file) under the file's header.
    CsvTable feed(const QByteArray &piece);
    /// What is wrong with the whole file; a file with errors must not be imported.
    QStringList finish();
    /// True when reading on could only add to the errors.
    bool stopped() const;
    /// The line the next piece starts on.
    int lines() const;
    /// Where the longest piece of `bytes` (the file's next bytes) that may be
    /// fed ends, 0 for nowhere yet: after a line feed that ends a row
    /// (outside quotes), so that the pieces read exactly as the whole file would.
    qsizetype pieceEnd(const QByteArray &bytes) const;

  private:
    struct State;
    std::unique_ptr<State> m_state;
};

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
