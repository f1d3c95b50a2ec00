#include "io/ContactFiles.h"

#include "io/CsvContacts.h"
#include "io/Limits.h"
#include "io/VCardContacts.h"

#include <QHash>
#include <QStringDecoder>

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
    return format == FileFormat::VCard4 || format == FileFormat::VCard3 ? QStringLiteral("vcf")
                                                                        : QStringLiteral("csv");
}

bool FileEncoder::add(const Entry &entry, QByteArray &out, QString *error) {
    switch (m_format) {
    case FileFormat::VCard4:
        appendVCard(out, entry, VCardVersion::V4);
        return true;
    case FileFormat::VCard3:
        appendVCard(out, entry, VCardVersion::V3);
        return true;
    case FileFormat::Csv:
    case FileFormat::CsvCz:
        break;
    }
    return (m_rows > 0 || appendCsvHeader(out, error)) &&
           appendCsvLine(ownCsvRow(entry), ownCsvHeader(), ++m_rows, csvDialect(), out, error);
}

bool FileEncoder::finish(QByteArray &out, QString *error) {
    const bool csv = m_format == FileFormat::Csv || m_format == FileFormat::CsvCz;
    return !csv || m_rows > 0 || appendCsvHeader(out, error);
}

CsvDialect FileEncoder::csvDialect() const {
    return m_format == FileFormat::Csv ? CsvDialect::Utf8Comma : CsvDialect::Win1250Semicolon;
}

bool FileEncoder::appendCsvHeader(QByteArray &out, QString *error) {
    return appendCsvLine(ownCsvHeader(), ownCsvHeader(), ++m_rows, csvDialect(), out, error);
}

bool encodeEntries(const QList<Entry> &entries, FileFormat format, QByteArray &out,
                   QString *error) {
    FileEncoder encoder(format);
    out.clear();
    for (const Entry &e : entries)
        if (!encoder.add(e, out, error))
            return false;
    return encoder.finish(out, error);
}

namespace {

/// The columns of a company, held once for all the entries of a file that
/// repeat them (a register's export repeats them for every contact).
class CompanyValues {
  public:
    Entry shared(Entry e) {
        const QString key = e.companyKey + QLatin1Char('|') + e.companyName();
        if (const auto found = m_seen.constFind(key); found != m_seen.cend() && *found == e.company)
            e.company = *found; // the same data, one copy
        else
            m_seen.insert(key, e.company);
        return e;
    }

  private:
    QHash<QString, Values> m_seen;
};

/// A file in UTF-16 with its byte-order mark, as UTF-8; any other file as it is.
QByteArray utf8Of(const QByteArray &bytes) {
    if (bytes.startsWith("\xFF\xFE"))
        return QString(QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2))).toUtf8();
    if (bytes.startsWith("\xFE\xFF"))
        return QString(QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2))).toUtf8();
    return bytes;
}

} // namespace

DecodedFile decodeFile(const QByteArray &original) {
    DecodedFile file;
    if (original.size() > limits::kMaxFileBytes) { // refused before any copy is made
        file.errors << limits::tooBigMessage(original.size());
        return file;
    }
    const QByteArray bytes = utf8Of(original);
    QByteArray start = bytes.left(64);
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.mid(3);
    if (start.trimmed().toUpper().startsWith(
            "BEGIN:VCARD")) { // each card becomes its entry as it ends
        CompanyValues companies;
        file.errors = parseVCards(
            bytes, [&](VCard &&card) { file.entries << companies.shared(entryFromVCard(card)); });
        if (!file.errors.isEmpty())
            file.entries.clear();
        return file;
    }
    const CsvTable table = parseCsv(bytes);
    file.errors = table.errors;
    if (file.errors.isEmpty()) {
        CompanyValues companies;
        for (Entry &e : entriesFromCsv(table))
            file.entries << companies.shared(std::move(e));
    }
    if (file.errors.isEmpty() && file.entries.isEmpty()) // a header alone is no contact file
        file.errors << QStringLiteral("soubor neobsahuje žádný kontakt, jen řádek se záhlavím");
    return file;
}

} // namespace io
