#include "io/Csv.h"

#include "base/Win1250.h"
#include "io/Limits.h"

#include <QStringDecoder>

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

/// The separator the header line uses most, outside quotes.
QChar detectSeparator(const QString &text) {
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
        else if (!quoted && c == QLatin1Char('\t'))
            ++tabs;
    }
    if (tabs > commas && tabs > semicolons)
        return QLatin1Char('\t');
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

class CsvParser {
  public:
    CsvParser(const QString &text, QChar separator, CsvTable &table)
        : m_text(text), m_separator(separator), m_table(table) {}

    void run() {
        QStringList row;
        int startLine = 1;
        while (m_pos < m_text.size() && m_table.errors.size() < limits::kMaxErrors) {
            startLine = m_line;
            if (!readRow(row))
                return;
            if (row.size() == 1 && row.first().isEmpty())
                continue; // blank line
            if (!take(row, startLine))
                return;
        }
    }

  private:
    void fail(int line, const QString &message) {
        m_table.errors << QStringLiteral("řádek %1: %2").arg(line).arg(message);
    }

    bool readRow(QStringList &row) {
        row.clear();
        const int startLine = m_line;
        for (;;) {
            QString field;
            if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('"')) {
                ++m_pos;
                for (;;) {
                    if (m_pos >= m_text.size()) {
                        fail(
                            startLine,
                            QStringLiteral("uvozovky otevřené na tomto řádku se nikde nezavírají"));
                        return false;
                    }
                    const QChar c = m_text[m_pos++];
                    if (c == QLatin1Char('"')) {
                        if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('"')) {
                            field += c;
                            ++m_pos;
                            continue;
                        }
                        break;
                    }
                    if (c == QLatin1Char('\n'))
                        ++m_line;
                    field += c;
                    if (field.size() > limits::kMaxLineBytes) {
                        fail(startLine, QStringLiteral("hodnota je delší než %1 MB")
                                            .arg(limits::kMaxLineBytes >> 20));
                        return false;
                    }
                }
            }
            // Unquoted text (or text after a closing quote) up to the separator or line end.
            while (m_pos < m_text.size() && m_text[m_pos] != m_separator &&
                   m_text[m_pos] != QLatin1Char('\n') &&
                   !(m_text[m_pos] == QLatin1Char('\r') && !isBeforeLineFeed(m_pos))) {
                if (m_text[m_pos] != QLatin1Char('\r'))
                    field += m_text[m_pos];
                ++m_pos;
                if (field.size() > limits::kMaxLineBytes) {
                    fail(startLine, QStringLiteral("hodnota je delší než %1 MB")
                                        .arg(limits::kMaxLineBytes >> 20));
                    return false;
                }
            }
            row << field;
            if (row.size() > limits::kMaxColumns) {
                fail(startLine,
                     QStringLiteral("řádek má víc než %1 hodnot").arg(limits::kMaxColumns));
                return false;
            }
            if (m_pos >= m_text.size())
                return true;
            const QChar end = m_text[m_pos++];
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
        while (pos < m_text.size() && m_text[pos] == QLatin1Char('\r'))
            ++pos;
        return pos < m_text.size() && m_text[pos] == QLatin1Char('\n');
    }

    bool take(QStringList &row, int line) {
        if (m_table.header.isEmpty()) {
            m_table.header = row;
            return true;
        }
        if (m_table.rows.size() >= limits::kMaxRecords) {
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
        return true;
    }

    const QString &m_text;
    const QChar m_separator;
    CsvTable &m_table;
    qsizetype m_pos = 0;
    int m_line = 1;
};

QString quoted(const QString &field, QChar separator) {
    const bool needsQuotes = field.contains(separator) || field.contains(QLatin1Char('"')) ||
                             field.contains(QLatin1Char('\n')) ||
                             field.contains(QLatin1Char('\r')) ||
                             field.startsWith(QLatin1Char(' ')) || field.endsWith(QLatin1Char(' '));
    if (!needsQuotes)
        return field;
    QString escaped = field;
    escaped.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

CsvTable parseCsv(const QByteArray &bytes) {
    CsvTable table;
    if (bytes.size() > limits::kMaxFileBytes) {
        table.errors << limits::tooBigMessage(bytes.size());
        return table;
    }
    const QString text = decode(bytes);
    CsvParser(text, detectSeparator(text), table).run();
    if (table.header.isEmpty() && table.errors.isEmpty())
        table.errors << QStringLiteral("soubor je prázdný, chybí řádek se záhlavím");
    return table;
}

bool appendCsvLine(const QStringList &fields, const QStringList &header, int rowNumber,
                   CsvDialect dialect, QByteArray &out, QString *error) {
    const bool czech = dialect == CsvDialect::Win1250Semicolon;
    const QChar separator = czech ? QLatin1Char(';') : QLatin1Char(',');
    QStringList cells;
    for (const QString &f : fields)
        cells << quoted(f, separator);
    const QString line = cells.join(separator) + QStringLiteral("\r\n");
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
