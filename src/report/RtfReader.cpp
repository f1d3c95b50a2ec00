#include "report/RtfReader.h"

#include "report/AnsiCodePage.h"
#include "report/RtfKeywords.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace report {

namespace {

constexpr int kMaxDepth = 200;       // deeper groups are skipped whole
constexpr int kMaxWordLength = 32;   // longer control words are cut (and unknown)
constexpr int kMaxNumberDigits = 10; // further digits are consumed but ignored
constexpr qreal kMaxSizePt = 1638;

enum class Destination { Text, Skip, FontTable, ColourTable };

struct GroupState {
    RichFormat format;
    int codePage = 1252;
    int skipAfterUnicode = 1; // \uc
    Destination destination = Destination::Text;
};

struct FontEntry {
    QString name;
    int codePage = 0;
};

class Parser {
  public:
    Parser(const QByteArray &input, const RichFormat &defaults)
        : m_in(input), m_defaults(defaults) {
        m_state.format = defaults;
        m_runFormat = defaults;
    }

    RichDocument run() {
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            if (c == '{')
                openGroup();
            else if (c == '}')
                closeGroup();
            else if (c == '\\')
                controlSequence();
            else if (c != '\r' && c != '\n' && c != '\0')
                textByte(static_cast<unsigned char>(c));
        }
        if (!m_runText.isEmpty() || !m_paragraph.runs.isEmpty())
            endParagraph();
        return m_document;
    }

  private:
    // --- groups ---------------------------------------------------------------

    void openGroup() {
        m_pendingSkip = 0;
        if (m_stack.size() >= kMaxDepth) {
            ++m_overflowDepth;
            return;
        }
        m_stack.append(m_state);
    }

    void closeGroup() {
        m_pendingSkip = 0;
        if (m_overflowDepth > 0) {
            --m_overflowDepth;
            return;
        }
        if (m_stack.isEmpty())
            return; // a stray closing brace
        const bool fontTable = m_state.destination == Destination::FontTable;
        if (fontTable)
            commitFont();
        m_state = m_stack.takeLast();
        // Text takes the default font from the moment its font is known.
        if (fontTable && m_state.destination != Destination::FontTable && m_defaultFont >= 0)
            applyFont(m_defaultFont);
    }

    bool skipping() const {
        return m_overflowDepth > 0 || m_state.destination == Destination::Skip;
    }

    // --- tokens ---------------------------------------------------------------

    void controlSequence() {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        if (!isLetter(c)) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && isLetter(m_in[m_pos]))
            ++m_pos;
        const QByteArray word = m_in.mid(start, std::min<qsizetype>(m_pos - start, kMaxWordLength));
        std::optional<int> param = readNumber();
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos; // the delimiter belongs to the control word
        if (word == "bin") {
            // Binary data: skip it unseen, whatever the destination.
            const qsizetype length =
                std::clamp<qsizetype>(param.value_or(0), 0, m_in.size() - m_pos);
            m_pos += length;
            consumeSkippedCharacter();
            return;
        }
        if (consumeSkippedCharacter())
            return;
        controlWord(word, param);
    }

    std::optional<int> readNumber() {
        bool negative = false;
        if (m_pos < m_in.size() && m_in[m_pos] == '-' && m_pos + 1 < m_in.size() &&
            isDigit(m_in[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        if (m_pos >= m_in.size() || !isDigit(m_in[m_pos]))
            return std::nullopt;
        qint64 value = 0;
        int digits = 0;
        while (m_pos < m_in.size() && isDigit(m_in[m_pos])) {
            if (digits++ < kMaxNumberDigits)
                value = value * 10 + (m_in[m_pos] - '0');
            ++m_pos;
        }
        value = std::min<qint64>(value, std::numeric_limits<int>::max());
        return static_cast<int>(negative ? -value : value);
    }

    void controlSymbol(char c) {
        if (c == '\'') {
            int value = 0;
            for (int i = 0; i < 2; ++i) {
                const int digit = m_pos < m_in.size() ? hexDigit(m_in[m_pos]) : -1;
                if (digit < 0)
                    return; // malformed escape: dropped
                value = value * 16 + digit;
                ++m_pos;
            }
            if (!consumeSkippedCharacter())
                textByte(static_cast<unsigned char>(value), true);
            return;
        }
        if (consumeSkippedCharacter())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            textByte(static_cast<unsigned char>(c), true);
            break;
        case '~':
            appendChar(QChar(0x00A0));
            break;
        case '_':
            appendChar(QChar(0x2011));
            break;
        case '*':
            m_state.destination = Destination::Skip;
            break;
        case '\n':
        case '\r':
            controlWord("par", std::nullopt);
            break;
        default: // \- (optional hyphen), \: and unknown symbols
            break;
        }
    }

    /// After \uN the next \ucN characters are the fallback for old readers.
    bool consumeSkippedCharacter() {
        if (m_pendingSkip <= 0)
            return false;
        --m_pendingSkip;
        return true;
    }

    void controlWord(const QByteArray &word, std::optional<int> param) {
        const int value = param.value_or(1);
        RichFormat &f = m_state.format;

        if (m_state.destination == Destination::FontTable) {
            if (word == "f")
                m_fontIndex = value;
            else if (word == "fcharset")
                m_fontCodePage = AnsiCodePage::codePageForCharset(value);
            return;
        }
        if (m_state.destination == Destination::ColourTable) {
            const int component = std::clamp(value, 0, 255);
            if (word == "red")
                m_red = component, m_colourSet = true;
            else if (word == "green")
                m_green = component, m_colourSet = true;
            else if (word == "blue")
                m_blue = component, m_colourSet = true;
            return;
        }
        if (RtfKeywords::isSkippedDestination(word)) {
            m_state.destination = Destination::Skip;
            return;
        }
        if (skipping())
            return;

        if (word == "fonttbl") {
            m_state.destination = Destination::FontTable;
            m_fontIndex = -1;
            m_fontName.clear();
        } else if (word == "colortbl") {
            m_state.destination = Destination::ColourTable;
        } else if (word == "par" || word == "row") {
            endParagraph();
        } else if (word == "u") {
            if (param && *param >= -32768 && *param <= 65535)
                appendChar(QChar(static_cast<char16_t>(*param < 0 ? *param + 65536 : *param)));
            m_pendingSkip = m_state.skipAfterUnicode;
        } else if (word == "uc") {
            m_state.skipAfterUnicode = std::clamp(value, 0, 16);
        } else if (const auto special = RtfKeywords::specialCharacter(word)) {
            appendChar(QChar(*special));
        } else if (word == "plain") {
            f = m_defaults;
            if (m_defaultFont >= 0)
                applyFont(m_defaultFont);
        } else if (word == "pard") {
            m_alignment = Qt::AlignLeft;
        } else if (word == "ql") {
            m_alignment = Qt::AlignLeft;
        } else if (word == "qc") {
            m_alignment = Qt::AlignHCenter;
        } else if (word == "qr") {
            m_alignment = Qt::AlignRight;
        } else if (word == "qj") {
            m_alignment = Qt::AlignJustify;
        } else if (word == "b") {
            f.bold = value != 0;
        } else if (word == "i") {
            f.italic = value != 0;
        } else if (RtfKeywords::isUnderline(word)) {
            f.underline = value != 0;
        } else if (word == "ulnone") {
            f.underline = false;
        } else if (word == "strike" || word == "striked") {
            f.strikeOut = value != 0;
        } else if (word == "fs") {
            if (value > 0)
                f.sizePt = std::min(value / 2.0, kMaxSizePt);
        } else if (word == "f") {
            applyFont(value);
        } else if (word == "cf") {
            f.colour = value > 0 && value < m_colours.size() && m_colours[value]
                           ? *m_colours[value]
                           : m_defaults.colour;
        } else if (word == "deff") {
            m_defaultFont = value;
        } else if (word == "ansicpg") {
            m_documentCodePage = value;
            m_state.codePage = value;
        } else if (word == "ansi") {
            m_documentCodePage = m_state.codePage = 1252;
        }
    }

    void applyFont(int index) {
        const auto it = m_fonts.constFind(index);
        if (it == m_fonts.constEnd())
            return;
        if (!it->name.isEmpty())
            m_state.format.family = it->name;
        m_state.codePage = it->codePage ? it->codePage : m_documentCodePage;
    }

    // --- text -----------------------------------------------------------------

    void textByte(unsigned char byte, bool escaped = false) {
        if (!escaped && consumeSkippedCharacter())
            return;
        if (m_overflowDepth > 0)
            return;
        switch (m_state.destination) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (byte == ';' && !escaped)
                commitFont();
            else
                m_fontName.append(byte);
            return;
        case Destination::ColourTable:
            if (byte == ';') {
                m_colours.append(m_colourSet ? std::optional<QRgb>(qRgb(m_red, m_green, m_blue))
                                             : std::nullopt);
                m_red = m_green = m_blue = 0;
                m_colourSet = false;
            }
            return;
        case Destination::Text:
            if (byte == '\t' || byte >= 0x20)
                appendChar(AnsiCodePage::decode(byte, m_state.codePage));
            return;
        }
    }

    void commitFont() {
        if (m_fontIndex >= 0 && !m_fonts.contains(m_fontIndex)) {
            const int codePage = m_fontCodePage ? m_fontCodePage : m_documentCodePage;
            QString name;
            for (const char b : std::as_const(m_fontName))
                name += AnsiCodePage::decode(static_cast<unsigned char>(b), codePage);
            m_fonts.insert(m_fontIndex, {name.trimmed(), m_fontCodePage});
        }
        m_fontIndex = -1;
        m_fontCodePage = 0;
        m_fontName.clear();
    }

    void appendChar(QChar ch) {
        if (skipping())
            return;
        if (m_runFormat != m_state.format) {
            flushRun();
            m_runFormat = m_state.format;
        }
        m_runText.append(ch);
    }

    void flushRun() {
        if (m_runText.isEmpty())
            return;
        if (!m_paragraph.runs.isEmpty() && m_paragraph.runs.last().format == m_runFormat)
            m_paragraph.runs.last().text += m_runText;
        else
            m_paragraph.runs.append({m_runText, m_runFormat});
        m_runText.clear();
    }

    void endParagraph() {
        flushRun();
        m_paragraph.markFormat = m_state.format;
        m_paragraph.alignment = m_alignment;
        m_document.append(std::move(m_paragraph));
        m_paragraph = {};
    }

    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static int hexDigit(char c) {
        if (isDigit(c))
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    const QByteArray &m_in;
    const RichFormat m_defaults;
    qsizetype m_pos = 0;

    GroupState m_state;
    QList<GroupState> m_stack;
    int m_overflowDepth = 0;
    int m_pendingSkip = 0;

    int m_documentCodePage = 1252;
    int m_defaultFont = -1;
    QHash<int, FontEntry> m_fonts;
    int m_fontIndex = -1;
    int m_fontCodePage = 0;
    QByteArray m_fontName;

    QList<std::optional<QRgb>> m_colours;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourSet = false;

    Qt::Alignment m_alignment = Qt::AlignLeft;
    RichDocument m_document;
    RichParagraph m_paragraph;
    QString m_runText;
    RichFormat m_runFormat;
};

} // namespace

RichDocument RtfReader::read(const QByteArray &rtf, const RichFormat &defaults) {
    return Parser(rtf, defaults).run();
}

} // namespace report
