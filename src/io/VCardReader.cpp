#include "io/VCardReader.h"

#include "base/Win1250.h"
#include "io/Limits.h"

#include <QStringDecoder>

#include <cctype>

namespace io {
namespace {

QString lineText(int line) {
    return QStringLiteral("řádek %1: ").arg(line);
}

/// Index of the first ':' outside double quotes, or -1.
qsizetype valueColon(const QByteArray &line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

bool isQuotedPrintable(const QByteArray &line) {
    const qsizetype colon = valueColon(line);
    return colon > 0 && line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
}

/// A property whose value is inline base64 ("ENCODING=BASE64", "ENCODING=b", a bare 2.1 "BASE64").
bool isBase64(const QByteArray &line) {
    const qsizetype colon = valueColon(line);
    if (colon <= 0)
        return false;
    const QByteArray head = line.left(colon).toUpper();
    return head.contains("BASE64") || head.contains("ENCODING=B;") || head.endsWith("ENCODING=B");
}

/// A line of nothing but base64 characters: the continuation of a 2.1 photo.
bool isBase64Continuation(const QByteArray &line) {
    if (line.trimmed().isEmpty())
        return false;
    for (char c : line)
        if (!std::isalnum(uchar(c)) && c != '+' && c != '/' && c != '=' && c != ' ' && c != '\t')
            return false;
    return true;
}

/// Splits at `separator` outside double quotes.
QList<QByteArray> splitOutsideQuotes(const QByteArray &text, char separator) {
    QList<QByteArray> parts;
    QByteArray current;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == separator && !quoted) {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current;
    return parts;
}

QByteArray unquote(QByteArray value) {
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        return value.mid(1, value.size() - 2);
    return value;
}

QByteArray decodeQuotedPrintable(const QByteArray &in, bool *ok) {
    QByteArray out;
    out.reserve(in.size());
    *ok = true;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '=') {
            out += in[i];
            continue;
        }
        if (i + 2 < in.size()) {
            bool hexOk = false;
            const int byte = in.mid(i + 1, 2).toInt(&hexOk, 16);
            if (hexOk) {
                out += char(byte);
                i += 2;
                continue;
            }
        }
        *ok = false;
        return {};
    }
    return out;
}

bool decodeBase64(const QByteArray &text, QByteArray &out) {
    QByteArray compact;
    compact.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            compact += c;
    auto result = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
    if (!result || (result.decoded.isEmpty() && !compact.isEmpty()))
        return false;
    out = result.decoded;
    return true;
}

/// Decodes text bytes in the declared character set (UTF-8 when none).
bool decodeText(const QByteArray &bytes, const QString &charset, QString &out, QString &error) {
    const QString cs = charset.toUpper();
    if (cs.isEmpty() || cs == QLatin1String("UTF-8") || cs == QLatin1String("US-ASCII")) {
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless); // a cut sequence is an error too
        out = decoder.decode(bytes);
        if (decoder.hasError() &&
            cs.isEmpty()) { // older phones write their own code page and say nothing
            out = base::win1250::decode(bytes);
            return true;
        }
        if (decoder.hasError()) {
            error = QStringLiteral("text není platné UTF-8");
            return false;
        }
        return true;
    }
    if (cs == QLatin1String("WINDOWS-1250") || cs == QLatin1String("CP1250")) {
        out = base::win1250::decode(bytes);
        return true;
    }
    auto encoding = QStringConverter::encodingForName(cs.toLatin1().constData());
    if (encoding) {
        out = QStringDecoder(*encoding).decode(bytes);
        return true;
    }
    QStringDecoder decoder(cs.toLatin1().constData());
    if (!decoder.isValid()) {
        error = QStringLiteral("neznámá znaková sada %1").arg(charset);
        return false;
    }
    out = decoder.decode(bytes);
    if (decoder.hasError()) {
        error = QStringLiteral("text neodpovídá znakové sadě %1").arg(charset);
        return false;
    }
    return true;
}

/// Cuts the file into logical lines: folded lines joined, quoted-printable
/// soft breaks joined. Reports the first line of each.
class LineReader {
  public:
    /// `lines`: physical lines before `bytes` (a file read in pieces).
    LineReader(const QByteArray &bytes, int lines) : m_bytes(bytes), m_lineNumber(lines) {
        if (m_bytes.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
    }
    int lines() const { return m_lineNumber; }
    /// False at the end. `error` is set when a line breaks a limit.
    bool next(QByteArray &line, int &lineNumber, QString &error) {
        QByteArray physical;
        do {
            if (!physicalLine(physical))
                return false;
        } while (physical.trimmed().isEmpty());
        lineNumber = m_lineNumber;
        line = physical;
        const bool qp = isQuotedPrintable(line);
        const bool base64 = !qp && isBase64(line);
        for (;;) {
            if (line.size() > limits::kMaxLineBytes) {
                error = lineText(lineNumber) +
                        QStringLiteral("řádek je delší než %1 MB").arg(limits::kMaxLineBytes >> 20);
                return true;
            }
            if (qp && line.endsWith(
                          '=')) { // a soft break: the value goes on at the start of the next line
                QByteArray more;
                if (!physicalLine(more)) {
                    error = lineText(lineNumber) +
                            QStringLiteral("soubor končí uprostřed zalomené hodnoty");
                    return true;
                }
                line.chop(1);
                line += more; // a blank at its start is the value's own
                continue;
            }
            if (m_pos < m_bytes.size() && (m_bytes[m_pos] == ' ' || m_bytes[m_pos] == '\t')) {
                QByteArray more;
                physicalLine(more);
                line += more.mid(1);
                continue;
            }
            if (base64 &&
                isBase64Continuation(peekLine())) { // 2.1 writers continue without a blank
                QByteArray more;
                physicalLine(more);
                line += more;
                continue;
            }
            return true;
        }
    }

  private:
    /// A line ends at LF, CR LF, CR CR LF (one writer's habit) or a lone CR;
    /// none of these characters stays in the line.
    qsizetype lineEnd(qsizetype from, qsizetype &next) const {
        qsizetype end = from;
        while (end < m_bytes.size() && m_bytes[end] != '\n' && m_bytes[end] != '\r')
            ++end;
        next = end;
        while (next < m_bytes.size() && m_bytes[next] == '\r')
            ++next;
        if (next < m_bytes.size() && m_bytes[next] == '\n')
            ++next;
        return end;
    }
    QByteArray peekLine() const {
        qsizetype next = 0;
        const qsizetype end = lineEnd(m_pos, next);
        return m_bytes.mid(m_pos, qMin<qsizetype>(end - m_pos, limits::kMaxLineBytes + 1));
    }
    bool physicalLine(QByteArray &out) {
        if (m_pos >= m_bytes.size())
            return false;
        qsizetype next = 0;
        const qsizetype end = lineEnd(m_pos, next);
        qsizetype length = end - m_pos;
        if (length > limits::kMaxLineBytes) // stop before copying a hostile line
            length = limits::kMaxLineBytes + 1;
        out = m_bytes.mid(m_pos, length);
        m_pos = next;
        ++m_lineNumber;
        return true;
    }

    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
    int m_lineNumber;
};

void addParam(VCardProperty &p, const QByteArray &param) {
    const qsizetype eq = param.indexOf('=');
    if (eq < 0) { // version 2.1: a bare value
        const QByteArray value = param.trimmed().toUpper();
        if (value == "QUOTED-PRINTABLE" || value == "BASE64" || value == "8BIT" || value == "7BIT")
            p.params.insert(QStringLiteral("ENCODING"), QString::fromLatin1(value));
        else if (!value.isEmpty())
            p.params.insert(QStringLiteral("TYPE"), QString::fromUtf8(value).toLower());
        return;
    }
    const QString name = QString::fromUtf8(param.left(eq).trimmed()).toUpper();
    const QByteArray value = param.mid(eq + 1);
    if (name == QLatin1String("TYPE")) {
        for (const QByteArray &v : splitOutsideQuotes(value, ','))
            for (const QByteArray &t : unquote(v).split(','))
                if (!t.trimmed().isEmpty())
                    p.params.insert(name, QString::fromUtf8(t.trimmed()).toLower());
        return;
    }
    p.params.insert(name, QString::fromUtf8(unquote(value)));
}

/// Parses "group.NAME;param=value:value"; the value is decoded as its
/// parameters say (a value that cannot be decoded sets `p.problem`).
/// Returns false with `error` set for a line that is no property.
bool parseProperty(const QByteArray &line, VCardProperty &p, QString &error) {
    const qsizetype colon = valueColon(line);
    if (colon <= 0) {
        error = QStringLiteral("chybí dvojtečka, řádek není vlastnost vCard");
        return false;
    }
    const QList<QByteArray> head = splitOutsideQuotes(line.left(colon), ';');
    QByteArray name = head.first().trimmed();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0) {
        p.group = QString::fromUtf8(name.left(dot)).toLower();
        name = name.mid(dot + 1);
    }
    if (name.isEmpty()) {
        error = QStringLiteral("vlastnost nemá jméno");
        return false;
    }
    p.name = QString::fromUtf8(name).toUpper();
    for (qsizetype i = 1; i < head.size(); ++i)
        addParam(p, head[i]);

    QByteArray value = line.mid(colon + 1);
    const QString encoding = p.params.value(QStringLiteral("ENCODING")).toUpper();
    if (encoding == QLatin1String("B") || encoding == QLatin1String("BASE64")) {
        if (!decodeBase64(value, p.binary))
            p.problem = QStringLiteral("%1 nemá platná data base64").arg(p.name);
        return true;
    }
    if (value.startsWith("data:")) { // version 4.0 inline data
        const qsizetype comma = value.indexOf(',');
        if (comma < 0 || !value.left(comma).endsWith(";base64") ||
            !decodeBase64(value.mid(comma + 1), p.binary))
            p.problem = QStringLiteral("%1 nemá platná data base64").arg(p.name);
        return true;
    }
    if (encoding == QLatin1String("QUOTED-PRINTABLE")) {
        bool ok = false;
        value = decodeQuotedPrintable(value, &ok);
        if (!ok) {
            p.problem = QStringLiteral("%1 nemá platné kódování quoted-printable").arg(p.name);
            return true;
        }
    }
    QString decodeError;
    if (!decodeText(value, p.params.value(QStringLiteral("CHARSET")), p.rawValue, decodeError))
        p.problem = p.name + QStringLiteral(": ") + decodeError;
    return true;
}

/// Lines that start a card, counted before anything is built (the parser
/// counts again as it goes, for files that end their lines in CR alone).
qsizetype cardStarts(const QByteArray &bytes) {
    qsizetype count = 0;
    for (qsizetype start = 0; start < bytes.size();) {
        if (bytes.size() - start >= 11 &&
            qstrnicmp(bytes.constData() + start, "BEGIN:VCARD", 11) == 0)
            ++count;
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            break;
        start = end + 1;
    }
    return count;
}

} // namespace

class VCardParser {
  public:
    explicit VCardParser(const std::function<void(VCard &&)> &onCard = {}) : m_onCard(onCard) {}

    VCardParseResult run(const QByteArray &bytes) {
        if (bytes.size() > limits::kMaxFileBytes) {
            fail(limits::tooBigMessage(bytes.size()));
            return m_result;
        }
        if (cardStarts(bytes) > limits::kMaxRecords) {
            fail(QStringLiteral("soubor má víc než %1 vizitek").arg(limits::kMaxRecords));
            return m_result;
        }
        feed(bytes);
        return finish();
    }

    void feed(const QByteArray &bytes) {
        if (stopped())
            return;
        LineReader reader(bytes, m_lines);
        QByteArray line;
        int number = 0;
        QString error;
        while (!stopped() && reader.next(line, number, error)) {
            if (!error.isEmpty()) {
                fail(error);
                m_broken = true; // the rest of the file cannot be cut into lines reliably
                return;
            }
            take(line, number);
        }
        m_lines = reader.lines();
    }

    VCardParseResult finish() {
        if (m_inCard && !m_broken)
            fail(lineText(m_card.line) + QStringLiteral("vizitka nemá konec (END:VCARD)"));
        if (m_cards == 0 && m_result.errors.isEmpty())
            fail(QStringLiteral("soubor neobsahuje žádnou vizitku vCard"));
        return std::move(m_result);
    }

    bool stopped() const { return m_broken || m_result.errors.size() >= limits::kMaxErrors; }
    int lines() const { return m_lines; }

  private:
    void fail(const QString &message) { m_result.errors << message; }

    void take(const QByteArray &line, int number) {
        VCardProperty p;
        p.line = number;
        QString error;
        if (!parseProperty(line, p, error)) {
            if (m_inCard) // costs the line, not the card
                m_card.problems << lineText(number) + error;
            else
                fail(lineText(number) + error);
            return;
        }
        const QString value = p.rawValue.trimmed().toUpper();
        if (p.name == QLatin1String("BEGIN") && value == QLatin1String("VCARD")) {
            if (m_inCard) {
                fail(lineText(number) +
                     QStringLiteral("nová vizitka začíná před koncem předchozí"));
                return;
            }
            if (m_cards >= limits::kMaxRecords) {
                fail(lineText(number) +
                     QStringLiteral("soubor má víc než %1 vizitek").arg(limits::kMaxRecords));
                return;
            }
            m_inCard = true;
            m_card = VCard();
            m_card.line = number;
            return;
        }
        if (!m_inCard) {
            fail(lineText(number) + QStringLiteral("text mimo vizitku (chybí BEGIN:VCARD)"));
            return;
        }
        if (p.name == QLatin1String("END")) {
            m_inCard = false;
            if (m_card.version.isEmpty())
                fail(lineText(m_card.line) + QStringLiteral("vizitka neuvádí verzi (VERSION)"));
            else
                takeCard();
            return;
        }
        if (p.name == QLatin1String("VERSION")) {
            if (value != QLatin1String("2.1") && value != QLatin1String("3.0") &&
                value != QLatin1String("4.0"))
                fail(lineText(number) +
                     QStringLiteral("nepodporovaná verze vCard %1").arg(p.rawValue));
            m_card.version = value;
            return;
        }
        m_card.properties << p;
    }

    void takeCard() {
        ++m_cards;
        if (m_onCard)
            m_onCard(std::move(m_card));
        else
            m_result.cards << m_card;
    }

    const std::function<void(VCard &&)> m_onCard;
    int m_cards = 0;
    int m_lines = 0;       ///< physical lines read so far
    bool m_broken = false; ///< a line broke a limit: nothing after it is read
    VCardParseResult m_result;
    VCard m_card;
    bool m_inCard = false;
};

namespace {

/// True when the line of `bytes` that ends just before `end` (at its line
/// feed) is "END:VCARD", apart from blanks and carriage returns; blank
/// lines before it are passed over.
bool followsCardEnd(const QByteArray &bytes, qsizetype end) {
    while (end > 0) {
        const qsizetype start = bytes.lastIndexOf('\n', end - 1) + 1;
        const QByteArray line = QByteArray::fromRawData(bytes.constData() + start, end - start);
        const QByteArray text = line.trimmed();
        if (!text.isEmpty())
            return text.size() == 9 && qstrnicmp(text.constData(), "END:VCARD", 9) == 0 &&
                   !std::isspace(
                       uchar(line.front())); // a blank start would fold it onto the line before
        end = start - 1;                     // at the line feed before the blank line
    }
    return false;
}

} // namespace

VCardStream::VCardStream(const std::function<void(VCard &&)> &onCard)
    : m_parser(std::make_unique<VCardParser>(onCard)) {
}
VCardStream::~VCardStream() = default;

void VCardStream::feed(const QByteArray &piece) {
    m_parser->feed(piece);
}

QStringList VCardStream::finish() {
    return m_parser->finish().errors;
}

bool VCardStream::stopped() const {
    return m_parser->stopped();
}

int VCardStream::lines() const {
    return m_parser->lines();
}

qsizetype VCardStream::pieceEnd(const QByteArray &bytes) {
    for (qsizetype at = bytes.lastIndexOf('\n'); at > 0; at = bytes.lastIndexOf('\n', at - 1)) {
        const qsizetype start = at + 1;
        if (bytes.size() - start >= 11 &&
            qstrnicmp(bytes.constData() + start, "BEGIN:VCARD", 11) == 0 &&
            followsCardEnd(bytes, at))
            return start;
    }
    return 0;
}

QString unescapeVCardText(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar n = text[++i];
        out += (n == QLatin1Char('n') || n == QLatin1Char('N')) ? QChar(QLatin1Char('\n')) : n;
    }
    // Quoted-printable text from older programs carries CR LF line breaks.
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return out;
}

QString VCardProperty::text() const {
    QString value = unescapeVCardText(rawValue);
    // Written by this program from text with CR LF line breaks.
    if (params.contains(QStringLiteral("X-LINEBREAK"), QStringLiteral("CRLF")))
        value.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return value;
}

QStringList VCardProperty::components() const {
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < rawValue.size(); ++i) {
        const QChar c = rawValue[i];
        if (c == QLatin1Char('\\') && i + 1 < rawValue.size()) {
            current += c;
            current += rawValue[++i];
        } else if (c == QLatin1Char(';')) {
            parts << unescapeVCardText(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts << unescapeVCardText(current);
    return parts;
}

const VCardProperty *VCard::find(const QString &name) const {
    for (const VCardProperty &p : properties)
        if (p.name == name)
            return &p;
    return nullptr;
}

VCardParseResult parseVCards(const QByteArray &bytes) {
    return VCardParser().run(bytes);
}

QStringList parseVCards(const QByteArray &bytes, const std::function<void(VCard &&)> &onCard) {
    return VCardParser(onCard).run(bytes).errors;
}

} // namespace io
