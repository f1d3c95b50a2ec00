#include "report/AnsiCodePage.h"

#include "base/Win1250.h"

namespace report {

namespace {

// Only 0x80..0x9F differ from Latin-1 in 1252.
constexpr char16_t kC1Range1252[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

} // namespace

namespace AnsiCodePage {

QChar decode(unsigned char byte, int codePage) {
    if (byte < 0x80)
        return QChar(byte);
    if (codePage == 1250)
        return base::win1250::decodeByte(byte);
    if (codePage == 1252 && byte < 0xA0)
        return QChar(kC1Range1252[byte - 0x80]);
    return QChar(byte);
}

std::optional<unsigned char> encode1250(QChar ch) {
    const int byte = base::win1250::encodeChar(ch);
    if (byte < 0)
        return std::nullopt;
    return static_cast<unsigned char>(byte);
}

int codePageForCharset(int charset) {
    switch (charset) {
    case 0: // ANSI
        return 1252;
    case 238: // Eastern European
        return 1250;
    default:
        return 0;
    }
}

} // namespace AnsiCodePage

} // namespace report
