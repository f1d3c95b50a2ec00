#include "io/Csv.h"

#include "base/Win1250.h"
#include "io/Limits.h"

#include <QStringDecoder>

#include <memory>

namespace io {
namespace {

QString decode(const QByteArray &bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless); // a cut sequence is no UTF-8
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return base::win1250::decode(bytes); // what Czech spreadsheet programs save
}

char16_t unitOf(QChar c) {
    return c.unicode();
}
char16_t unitOf(char byte) { // what the separators and quotes are, in UTF-8 as in Windows-1250
    return uchar(byte);
}

/// The separator the header line uses most, outside quotes; `headerEnd`
/// tells how much of `text` that took (through the line end), -1 when the
/// header line does not end within `text`.
template <typename Text> QChar detectSeparator(const Text &text, qsizetype *headerEnd = nullptr) {
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    qsizetype read = 0, end = -1;
    for (const auto byteOrChar : text) {
        const char16_t c = unitOf(byteOrChar);
        ++read;
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r')) {
            end = read;
            break;
        } else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u';')
            ++semicolons;
        else if (!quoted && c == u'\t')
            ++tabs;
    }
    if (headerEnd)
        *headerEnd = end;
    if (tabs > commas && tabs > semicolons)
        return QLatin1Char('\t');
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

} // namespace

/// Reads rows out of the file's text, a piece at a time when the file
/// comes in pieces: the header, the line count and the limits go on.
class CsvParser {
  public:
    CsvParser(QChar separator, CsvTable &table) : m_separator(separator), m_table(table) {}

    /// Reads the rows of `text` (whole rows) into the table; false once a
    /// fault ends the reading.
    bool run(const QString &text) {
        m_text = &text;
        m_pos = 0;
        QStringList row;
        while (m_pos < m_text->size()) {
            if (m_table.errors.size() >= limits::kMaxErrors)
                return false;
            const int startLine = m_line;
            if (!readRow(row))
                return false;
            if (row.size() == 1 && row.first().isEmpty())
                continue; // blank line
            if (!take(row, startLine))
                return false;
        }
        return true;
    }
    int lines() const { return m_line; }

  private:
    void fail(int line, const QString &message) {
        m_table.errors << QStringLiteral("řádek %1: %2").arg(line).arg(message);
    }

    bool readRow(QStringList &row) {
        row.clear();
        row.reserve(m_table.header.size());
        const int startLine = m_line;
        const QString &text = *m_text;
        const qsizetype size = text.size();
        auto tooLong = [&](const QString &field) {
            if (field.size() <= limits::kMaxLineBytes)
                return false;
            fail(startLine,
                 QStringLiteral("hodnota je delší než %1 MB").arg(limits::kMaxLineBytes >> 20));
            return true;
        };
        for (;;) {
            QString field;
            // Copied a stretch at a time: a register's file has millions of fields.
            if (m_pos < size && text[m_pos] == QLatin1Char('"')) {
                ++m_pos;
                for (;;) {
                    const qsizetype quote = text.indexOf(QLatin1Char('"'), m_pos);
                    if (quote < 0) {
                        field += QStringView(text).sliced(m_pos);
                        if (tooLong(field))
                            return false;
                        fail(
                            startLine,
                            QStringLiteral("uvozovky otevřené na tomto řádku se nikde nezavírají"));
                        return false;
                    }
                    const QStringView stretch = QStringView(text).sliced(m_pos, quote - m_pos);
                    m_line += int(stretch.count(QLatin1Char('\n')));
                    field += stretch;
                    m_pos = quote + 1;
                    if (tooLong(field))
                        return false;
                    if (m_pos < size && text[m_pos] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        ++m_pos;
                        continue;
                    }
                    break;
                }
            }
            // Unquoted text (or text after a closing quote) up to the separator or line
            // end; a CR that belongs to a line end (before a line feed) is left out.
            qsizetype stop = m_pos;
            while (stop < size && text[stop] != m_separator && text[stop] != QLatin1Char('\n') &&
                   !(text[stop] == QLatin1Char('\r') && !isBeforeLineFeed(stop)))
                ++stop;
            if (stop > m_pos) {
                const QStringView stretch = QStringView(text).sliced(m_pos, stop - m_pos);
                if (stretch.contains(QLatin1Char('\r'))) {
                    for (QChar c : stretch)
                        if (c != QLatin1Char('\r'))
                            field += c;
                } else {
                    field += stretch;
                }
                m_pos = stop;
                if (tooLong(field))
                    return false;
            }
            row << field;
            if (row.size() > limits::kMaxColumns) {
                fail(startLine,
                     QStringLiteral("řádek má víc než %1 hodnot").arg(limits::kMaxColumns));
                return false;
            }
            if (m_pos >= size)
                return true;
            const QChar end = text[m_pos++];
            if (end == QLatin1Char('\n') ||
                end == QLatin1Char('\r')) { // LF, CR LF, CR CR LF or a lone CR
                ++m_line;
                return true;
            }
        }
    }

    /// True when the CR at `pos` is followed, after more CRs, by a line feed:
    /// it belongs to that line end. A CR on its own ends a line by itself.
    bool isBeforeLineFeed(qsizetype pos) const {
        while (pos < m_text->size() && (*m_text)[pos] == QLatin1Char('\r'))
            ++pos;
        return pos < m_text->size() && (*m_text)[pos] == QLatin1Char('\n');
    }

    bool take(QStringList &row, int line) {
        if (m_table.header.isEmpty()) {
            m_table.header = row;
            return true;
        }
        if (m_rows >= limits::kMaxRecords) {
            fail(line, QStringLiteral("soubor má víc než %1 řádků").arg(limits::kMaxRecords));
            return false;
        }
        while (row.size() > m_table.header.size() && row.last().isEmpty())
            row.removeLast(); // a trailing separator
        if (row.size() > m_table.header.size()) {
            fail(line, QStringLiteral("řádek má %1 hodnot, záhlaví jen %2")
                           .arg(row.size())
                           .arg(m_table.header.size()));
            return true;
        }
        while (row.size() < m_table.header.size())
            row << QString();
        m_table.rows << row;
        m_table.rowLines << line;
        ++m_rows;
        return true;
    }

    const QString *m_text = nullptr;
    const QChar m_separator;
    CsvTable &m_table;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_rows = 0; ///< rows read, in all pieces
};

namespace {

/// Appends `field` to `line`, quoted where the reader needs it.
void appendQuoted(QString &line, const QString &field, QChar separator) {
    bool needsQuotes = field.startsWith(QLatin1Char(' ')) || field.endsWith(QLatin1Char(' '));
    for (qsizetype i = 0; i < field.size() && !needsQuotes; ++i) { // one pass over the text
        const QChar c = field[i];
        needsQuotes = c == separator || c == QLatin1Char('"') || c == QLatin1Char('\n') ||
                      c == QLatin1Char('\r');
    }
    if (!needsQuotes) {
        line += field;
        return;
    }
    QString escaped = field;
    escaped.replace(QLatin1String("\""), QLatin1String("\"\""));
    line += QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

CsvTable parseCsv(const QByteArray &bytes) {
    CsvTable table;
    if (bytes.size() > limits::kMaxFileBytes) {
        table.errors << limits::tooBigMessage(bytes.size());
        return table;
    }
    const QString text = decode(bytes);
    CsvParser(detectSeparator(text), table).run(text);
    if (table.header.isEmpty() && table.errors.isEmpty())
        table.errors << QStringLiteral("soubor je prázdný, chybí řádek se záhlavím");
    return table;
}

struct CsvStream::State {
    bool utf8;
    bool first = true;
    bool stopped = false;
    QChar separator;
    CsvTable table; ///< the header and the errors; the rows go out with each piece
    std::unique_ptr<CsvParser> parser;
};

CsvStream::CsvStream(bool utf8) : m_state(std::make_unique<State>()) {
    m_state->utf8 = utf8;
}
CsvStream::~CsvStream() = default;

CsvTable CsvStream::feed(const QByteArray &piece) {
    State &s = *m_state;
    const bool bom = s.first && piece.startsWith("\xEF\xBB\xBF");
    const QByteArrayView bytes = QByteArrayView(piece).sliced(bom ? 3 : 0);
    // Only the file's start may drop a mark: one that begins a later piece
    // stays in the text, as it does when the file is read whole.
    const QString text =
        !s.utf8 ? base::win1250::decode(bytes)
        : s.first
            ? QString::fromUtf8(bytes)
            : QString(QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                               QStringDecoder::Flag::Stateless)
                          .decode(bytes));
    if (s.first) {
        s.first = false;
        s.separator = detectSeparator(text);
        s.parser = std::make_unique<CsvParser>(s.separator, s.table);
    }
    if (!s.stopped)
        s.stopped = !s.parser->run(text);
    CsvTable rows;
    rows.header = s.table.header;
    rows.rows.swap(s.table.rows);
    rows.rowLines.swap(s.table.rowLines);
    return rows;
}

QStringList CsvStream::finish() {
    if (m_state->table.header.isEmpty() && m_state->table.errors.isEmpty())
        m_state->table.errors << QStringLiteral("soubor je prázdný, chybí řádek se záhlavím");
    return m_state->table.errors;
}

bool CsvStream::stopped() const {
    return m_state->stopped;
}

int CsvStream::lines() const {
    return m_state->parser ? m_state->parser->lines() : 1;
}

qsizetype CsvStream::pieceEnd(const QByteArray &bytes) const {
    QChar separator = m_state->separator;
    // The first piece holds all that the separator's count reads, so that
    // feed() finds the separator the whole file would give.
    qsizetype headerEnd = 0;
    if (m_state->first) {
        separator = detectSeparator(QByteArrayView(bytes), &headerEnd);
        if (headerEnd < 0)
            return 0;
    }
    // The parser's grammar on bytes (every character it looks for is ASCII,
    // in UTF-8 as in Windows-1250): a quote opens only at a field's start.
    enum { FieldStart, Unquoted, Quoted, QuoteInQuoted, AfterCr } state = FieldStart;
    qsizetype end = 0;
    const char sep = char(separator.unicode());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        switch (state) {
        case FieldStart:
        case Unquoted:
        case AfterCr:
            if (state == AfterCr && c != '\r' && c != '\n')
                state = FieldStart; // a lone CR ended the row
            if (state == FieldStart && c == '"')
                state = Quoted;
            else if (c == '\n') {
                state = FieldStart;
                end = i + 1;
            } else if (c == '\r')
                state = AfterCr;
            else
                state = c == sep ? FieldStart : Unquoted;
            break;
        case Quoted:
            if (c == '"')
                state = QuoteInQuoted;
            break;
        case QuoteInQuoted: // a doubled quote stays in the field, another character ends it
            if (c == '"')
                state = Quoted;
            else {
                state = Unquoted;
                --i; // read again outside the quotes
            }
            break;
        }
    }
    return end >= headerEnd ? end : 0;
}

bool appendCsvLine(const QStringList &fields, const QStringList &header, int rowNumber,
                   CsvDialect dialect, QByteArray &out, QString *error) {
    const bool czech = dialect == CsvDialect::Win1250Semicolon;
    const QChar separator = czech ? QLatin1Char(';') : QLatin1Char(',');
    // One line built in one text: an export writes hundreds of thousands.
    qsizetype room = 2 + fields.size();
    for (const QString &f : fields)
        room += f.size() + 2;
    QString line;
    line.reserve(room);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            line += separator;
        appendQuoted(line, fields[i], separator);
    }
    line += QLatin1String("\r\n");
    if (!czech) {
        out += line.toUtf8();
        return true;
    }
    QByteArray bytes;
    QChar bad;
    if (base::win1250::encode(line, bytes, &bad)) {
        out += bytes;
        return true;
    }
    if (error) {
        const int column = int(std::find_if(fields.begin(), fields.end(),
                                            [bad](const QString &f) { return f.contains(bad); }) -
                               fields.begin());
        *error = QStringLiteral("řádek %1, sloupec „%2“: znak „%3“ nelze zapsat ve Windows-1250")
                     .arg(rowNumber)
                     .arg(header.value(column))
                     .arg(bad);
    }
    return false;
}

bool writeCsv(const QStringList &header, const QList<QStringList> &rows, CsvDialect dialect,
              QByteArray &out, QString *error) {
    out.clear();
    if (!appendCsvLine(header, header, 1, dialect, out, error))
        return false;
    for (int i = 0; i < rows.size(); ++i)
        if (!appendCsvLine(rows[i], header, i + 2, dialect, out, error))
            return false;
    return true;
}

} // namespace io
