#include "ContactFiles.h"

#include "CsvContacts.h"
#include "Limits.h"
#include "VCardContacts.h"

namespace io {

std::optional<FileFormat> formatNamed(const QString &name) {
    if (name == QLatin1String("vcard4"))
        return FileFormat::VCard4;
    if (name == QLatin1String("vcard3"))
        return FileFormat::VCard3;
    if (name == QLatin1String("csv"))
        return FileFormat::Csv;
    if (name == QLatin1String("csv-cz"))
        return FileFormat::CsvCz;
    return std::nullopt;
}

QString suffixOf(FileFormat format) {
    return format == FileFormat::VCard4 || format == FileFormat::VCard3 ? QStringLiteral("vcf") : QStringLiteral("csv");
}

bool encodeEntries(const QList<Entry> &entries, FileFormat format, QByteArray &out, QString *error) {
    switch (format) {
    case FileFormat::VCard4: out = writeVCards(entries, VCardVersion::V4); return true;
    case FileFormat::VCard3: out = writeVCards(entries, VCardVersion::V3); return true;
    case FileFormat::Csv: return writeContactsCsv(entries, CsvDialect::Utf8Comma, out, error);
    case FileFormat::CsvCz: return writeContactsCsv(entries, CsvDialect::Win1250Semicolon, out, error);
    }
    return false;
}

DecodedFile decodeFile(const QByteArray &bytes) {
    DecodedFile file;
    if (bytes.size() > limits::kMaxFileBytes) { // refused before any copy is made
        file.errors << limits::tooBigMessage(bytes.size());
        return file;
    }
    QByteArray start = bytes.left(64);
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.mid(3);
    if (start.trimmed().toUpper().startsWith("BEGIN:VCARD")) {
        const VCardParseResult parsed = parseVCards(bytes);
        file.errors = parsed.errors;
        if (file.errors.isEmpty())
            file.entries = entriesFromVCards(parsed.cards);
        return file;
    }
    const CsvTable table = parseCsv(bytes);
    file.errors = table.errors;
    if (file.errors.isEmpty())
        file.entries = entriesFromCsv(table, file.errors);
    return file;
}

} // namespace io
