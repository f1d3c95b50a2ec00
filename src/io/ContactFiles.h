#pragma once

#include "Record.h"

#include <QStringList>
#include <optional>

namespace io {

/// The file forms contacts leave in.
enum class FileFormat { VCard4, VCard3, Csv, CsvCz };

/// "vcard4", "vcard3", "csv", "csv-cz" → the format; anything else: none.
std::optional<FileFormat> formatNamed(const QString &name);
/// The usual file name suffix of a format ("vcf", "csv").
QString suffixOf(FileFormat format);

/// Entries as the bytes of a file. Returns false with `error` set when the
/// format cannot hold a character.
bool encodeEntries(const QList<Entry> &entries, FileFormat format, QByteArray &out, QString *error = nullptr);

struct DecodedFile {
    QList<Entry> entries;
    QStringList errors; ///< non-empty: the file is damaged and must not be imported
};

/// Reads a vCard file (recognised by its BEGIN:VCARD) or else a CSV file
/// with a header. Never throws.
DecodedFile decodeFile(const QByteArray &bytes);

} // namespace io
