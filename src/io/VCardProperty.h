#pragma once

#include "io/VCardReader.h"

// The reading of one property line of a card and the decoding of its value
// (quoted-printable, base64, character sets); the card reader assembles
// cards from these lines.

namespace io {

/// A property whose value is quoted-printable: its soft line breaks join lines.
bool isQuotedPrintable(const QByteArray &line);
/// A property whose value is inline base64 ("ENCODING=BASE64", "ENCODING=b", a bare 2.1 "BASE64").
bool isBase64(const QByteArray &line);
/// A line of nothing but base64 characters: the continuation of a 2.1 photo.
bool isBase64Continuation(const QByteArray &line);
/// Parses "group.NAME;param=value:value"; the value is decoded as its
/// parameters say (a value that cannot be decoded sets `p.problem`).
/// Returns false with `error` set for a line that is no property.
bool parseProperty(const QByteArray &line, VCardProperty &p, QString &error);

} // namespace io
