#pragma once

#include <QByteArray>
#include <QString>

namespace base::win1250 {

/// The character of one Windows-1250 byte (U+FFFD for the five unassigned ones).
QChar decodeByte(unsigned char byte);
/// The Windows-1250 byte of a character, or -1 when the code page lacks it.
int encodeChar(QChar ch);

/// Decodes Windows-1250 bytes. Every byte maps to a character (the five
/// unassigned positions map to U+FFFD).
QString decode(const char *bytes, qsizetype length);
inline QString decode(QByteArrayView bytes) {
    return decode(bytes.data(), bytes.size());
}

/// Encodes text as Windows-1250. Returns false, leaving `out` undefined, when
/// a character has no Windows-1250 byte; `badChar` then receives it.
bool encode(const QString &text, QByteArray &out, QChar *badChar = nullptr);

/// True when every character of `text` has a Windows-1250 byte.
bool canEncode(const QString &text);

/// The first control character (below U+0020) of `text` that nobody types
/// into a box: in a single-line text every one; in a note (`multiLine`) all
/// but the line breaks and TAB. Its index, or -1 when there is none. Such a
/// character (a NUL from a pasted or imported text) would be stored unseen.
qsizetype firstControlCharacter(const QString &text, bool multiLine);

} // namespace base::win1250
