#pragma once

#include <QChar>
#include <optional>

namespace report {

/// The single-byte Windows code pages that rich text exchanges here: 1250 (Central
/// European, the card's own) and 1252 (Western). Any other page is read as Latin-1.
namespace AnsiCodePage {

/// Decodes one byte of `codePage`; bytes the page leaves undefined give U+FFFD.
QChar decode(unsigned char byte, int codePage);

/// Encodes `ch` as a byte of Windows-1250, or nothing when the page cannot hold it.
std::optional<unsigned char> encode1250(QChar ch);

/// Maps an RTF \fcharset number to its code page; 0 when the charset names none we know.
int codePageForCharset(int charset);

} // namespace AnsiCodePage

} // namespace report
