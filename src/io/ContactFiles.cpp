#include "io/ContactFiles.h"

#include "io/CsvContacts.h"
#include "io/Limits.h"
#include "io/VCardContacts.h"

#include <QBuffer>
#include <QHash>
#include <QStringDecoder>

#include <malloc.h>

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

/// The file in pieces of about `pieceBytes`, each ending where the reader
/// may stop (its pieceEnd()), so that the pieces read as the whole file would.
class PieceSource {
  public:
    PieceSource(QIODevice &in, qsizetype pieceBytes, const ReadProgress &progress)
        : m_in(in), m_pieceBytes(pieceBytes), m_progress(progress),
          m_total(in.isSequential() ? 0 : in.size()) {}

    /// The next piece, false at the end or with `error` set.
    template <typename PieceEnd>
    bool next(QByteArray &piece, const PieceEnd &pieceEnd, int line, QString &error) {
        for (;;) {
            if (!m_ended && m_buffer.size() < m_pieceBytes && !readMore(error))
                return false;
            const qsizetype end = m_ended ? m_buffer.size() : pieceEnd(m_buffer);
            if (end > 0) {
                piece = m_buffer.left(end);
                m_buffer.remove(0, end);
                if (m_progress && !m_progress(m_read - m_buffer.size(), m_total)) {
                    error = kStoppedText;
                    return false;
                }
                return true;
            }
            if (m_ended)
                return false;
            if (m_buffer.size() > limits::kMaxRecordBytes) {
                error = QStringLiteral("záznam od řádku %1 je delší než %2 MB")
                            .arg(line)
                            .arg(limits::kMaxRecordBytes >> 20);
                return false;
            }
            if (!readMore(error))
                return false;
        }
    }

  private:
    bool readMore(QString &error) {
        const QByteArray more = m_in.read(m_pieceBytes);
        // A file read whole reads as one piece; a pipe ends only when it says so.
        m_ended = more.isEmpty() || (!m_in.isSequential() && m_in.atEnd());
        m_read += more.size();
        m_buffer += more;
        if (m_read <= limits::kMaxFileBytes)
            return true;
        error = limits::tooBigMessage(m_read);
        return false;
    }

    QIODevice &m_in;
    const qsizetype m_pieceBytes;
    const ReadProgress &m_progress;
    const qint64 m_total;
    QByteArray m_buffer;
    qint64 m_read = 0;
    bool m_ended = false;
};

/// True when a CSV file is UTF-8 throughout (or says so by its mark);
/// read in pieces cut at line feeds, then from the start again.
bool isUtf8(QIODevice &in, qsizetype pieceBytes) {
    if (in.peek(3) == "\xEF\xBB\xBF")
        return true;
    bool valid = true;
    QByteArray rest;
    for (QByteArray more = in.read(pieceBytes); valid; more = in.read(pieceBytes)) {
        rest += more;
        const qsizetype end = more.isEmpty() ? rest.size() : rest.lastIndexOf('\n') + 1;
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless); // a cut sequence is no UTF-8
        [[maybe_unused]] const QString text = utf8.decode(QByteArrayView(rest).first(end));
        valid = !utf8.hasError();
        rest.remove(0, end);
        if (more.isEmpty())
            break;
    }
    in.seek(0);
    return valid;
}

QStringList readVCards(PieceSource &source, const std::function<void(Entry &&)> &take) {
    VCardStream stream([&](VCard &&card) { take(entryFromVCard(card)); });
    QByteArray piece;
    QString error;
    while (!stream.stopped() &&
           source.next(piece, VCardStream::pieceEnd, stream.lines() + 1, error))
        stream.feed(piece);
    if (error == kStoppedText)
        return {error};
    QStringList errors = stream.finish();
    return error.isEmpty() ? errors : errors << error;
}

QStringList readCsv(PieceSource &source, bool utf8, const std::function<void(Entry &&)> &take) {
    CsvStream stream(utf8);
    const auto pieceEnd = [&stream](const QByteArray &bytes) { return stream.pieceEnd(bytes); };
    QByteArray piece;
    QString error;
    bool any = false;
    while (!stream.stopped() && source.next(piece, pieceEnd, stream.lines(), error)) {
        const CsvTable rows = stream.feed(piece);
        for (Entry &e : entriesFromCsv(rows)) {
            any = true;
            take(std::move(e));
        }
    }
    if (error == kStoppedText)
        return {error};
    QStringList errors = stream.finish();
    if (!error.isEmpty())
        errors << error;
    if (errors.isEmpty() && !any) // a header alone is no contact file
        errors << QStringLiteral("soubor neobsahuje žádný kontakt, jen řádek se záhlavím");
    return errors;
}

} // namespace

QStringList readContactFile(QIODevice &in, const std::function<void(Entry &&)> &take,
                            const ReadProgress &progress, qsizetype pieceBytes) {
    if (!in.isSequential() && in.size() > limits::kMaxFileBytes) // refused unread
        return {limits::tooBigMessage(in.size())};
    QByteArray start = in.peek(64);
    const bool utf16 = start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF");
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.mid(3);
    const bool vcard = start.trimmed().toUpper().startsWith("BEGIN:VCARD");
    if (utf16 || (in.isSequential() && !vcard)) {
        // UTF-16 (small files from phones) as UTF-8, and a CSV from a pipe,
        // which cannot be read twice for its character set, are read whole.
        QByteArray bytes;
        for (QByteArray more = in.read(pieceBytes);
             !more.isEmpty() && bytes.size() <= limits::kMaxFileBytes; more = in.read(pieceBytes))
            bytes += more;
        if (bytes.size() > limits::kMaxFileBytes)
            return {limits::tooBigMessage(bytes.size())};
        QBuffer whole;
        whole.setData(utf8Of(bytes));
        bytes.clear();
        whole.open(QIODevice::ReadOnly);
        return readContactFile(whole, take, progress, pieceBytes);
    }
    const bool utf8 = !vcard && isUtf8(in, pieceBytes);
    PieceSource source(in, pieceBytes, progress);
    return vcard ? readVCards(source, take) : readCsv(source, utf8, take);
}

DecodedFile decodeFile(const QByteArray &bytes) {
    DecodedFile file;
    if (bytes.size() > limits::kMaxFileBytes) { // refused before any copy is made
        file.errors << limits::tooBigMessage(bytes.size());
        return file;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    CompanyValues companies;
    file.errors =
        readContactFile(buffer, [&](Entry &&e) { file.entries << companies.shared(std::move(e)); });
    if (!file.errors.isEmpty())
        file.entries.clear();
    return file;
}

void keepLargeBuffersMapped() {
    // Reading a large file allocates and frees each piece's buffers beside a
    // plan of a million small blocks; with the allocator's adaptive threshold
    // those buffers come from the heap and every free makes it sweep the small
    // blocks (a third of the import's time at 500,000 contacts). A fixed
    // threshold keeps them mapped and unmapped on their own.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

} // namespace io
