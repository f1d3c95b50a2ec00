#include "io/VCardReader.h"

#include "io/Limits.h"
#include "io/VCardProperty.h"

#include <cctype>

namespace io {
namespace {

QString lineText(int line) {
    return QStringLiteral("řádek %1: ").arg(line);
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
