#include "base/Win1250.h"

#include <algorithm>
#include <array>

namespace base::win1250 {
namespace {

// Unicode code points of the bytes 0x80 to 0xFF; 0xFFFD marks an unassigned byte.
constexpr std::array<char16_t, 128> kHigh = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, 0xFFFD, 0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// Reverse table for the range U+00A0..U+02DD plus the few punctuation marks above it.
struct Reverse {
    std::array<unsigned char, 0x2DE> low{};
    Reverse() {
        for (int i = 0; i < 128; ++i)
            if (kHigh[i] < low.size())
                low[kHigh[i]] = static_cast<unsigned char>(0x80 + i);
    }
};

int encodeUnit(char16_t c) {
    if (c < 0x80)
        return c;
    static const Reverse reverse;
    if (c < reverse.low.size())
        return reverse.low[c] ? reverse.low[c] : -1;
    for (int i = 0; i < 128; ++i)
        if (kHigh[i] == c && c != 0xFFFD)
            return 0x80 + i;
    return -1;
}

} // namespace

QChar decodeByte(unsigned char byte) {
    return QChar(byte < 0x80 ? char16_t(byte) : kHigh[byte - 0x80]);
}

int encodeChar(QChar ch) {
    return encodeUnit(ch.unicode());
}

QString decode(const char *bytes, qsizetype length) {
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = QChar(b < 0x80 ? char16_t(b) : kHigh[b - 0x80]);
    }
    return text;
}

bool encode(const QString &text, QByteArray &out, QChar *badChar) {
    out.resize(text.size());
    char *dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = encodeUnit(text.at(i).unicode());
        if (b < 0) {
            if (badChar)
                *badChar = text.at(i);
            return false;
        }
        dst[i] = static_cast<char>(b);
    }
    return true;
}

bool canEncode(const QString &text) {
    // Asked of every text an import reads: no bytes are made to find out.
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return encodeUnit(c.unicode()) >= 0; });
}

qsizetype firstControlCharacter(const QString &text, bool multiLine) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch >= 0x20)
            continue;
        const bool lineBreakOrTab = ch == u'\n' || ch == u'\r' || ch == u'\t';
        if (!multiLine || !lineBreakOrTab)
            return i;
    }
    return -1;
}

} // namespace base::win1250
