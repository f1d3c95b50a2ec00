#pragma once

#include "io/Csv.h"
#include "io/Record.h"

#include <QStringList>

#include <functional>
#include <optional>

class QIODevice;

namespace io {

/// The file forms contacts leave in.
enum class FileFormat { VCard4, VCard3, Csv, CsvCz };

/// "vcard4", "vcard3", "csv", "csv-cz" → the format; anything else: none.
std::optional<FileFormat> formatNamed(const QString &name);
/// The usual file name suffix of a format ("vcf", "csv").
QString suffixOf(FileFormat format);

/// Turns entries into the bytes of a file one at a time, so that an export
/// of any size writes as it reads.
class FileEncoder {
  public:
    explicit FileEncoder(FileFormat format) : m_format(format) {}
    /// Appends the bytes of `entry` (after the header, the first time) to
    /// `out`. Returns false with `error` set when the format cannot hold a
    /// character.
    bool add(const Entry &entry, QByteArray &out, QString *error = nullptr);
    /// What a file without any entry holds (the CSV header).
    bool finish(QByteArray &out, QString *error = nullptr);

  private:
    CsvDialect csvDialect() const;
    bool appendCsvHeader(QByteArray &out, QString *error);

    FileFormat m_format;
    int m_rows = 0; ///< CSV lines written, the header included
};

/// Entries as the bytes of a file. Returns false with `error` set when the
/// format cannot hold a character.
bool encodeEntries(const QList<Entry> &entries, FileFormat format, QByteArray &out,
                   QString *error = nullptr);

struct DecodedFile {
    QList<Entry> entries;
    QStringList errors; ///< non-empty: the file is damaged and must not be imported
};

/// Reads a vCard file (recognised by its BEGIN:VCARD) or else a CSV file
/// with a header. Never throws.
DecodedFile decodeFile(const QByteArray &bytes);

/// What a stopped import or export says.
inline const QString kStoppedText =
    QStringLiteral("Přerušeno na přání uživatele, nic nebylo zapsáno.");

/// Told how far reading a file is (`done` of `total` bytes; total 0: not
/// known); returning false stops it.
using ReadProgress = std::function<bool(qint64 done, qint64 total)>;

/// Reads a contact file as decodeFile() reads its bytes, but a few MB at a
/// time, handing each entry to `take` as soon as it is read: memory stays
/// bounded whatever the file's size. Returns the errors (kStoppedText when
/// `progress` stopped it); a file with errors must not be imported, whatever
/// `take` was given before they were found.
QStringList readContactFile(QIODevice &in, const std::function<void(Entry &&)> &take,
                            const ReadProgress &progress = {}, qsizetype pieceBytes = 256 << 10);

/// Sets the process's allocator up for reading large files; called once at
/// the start of every program that imports.
void keepLargeBuffersMapped();

} // namespace io
