#pragma once

#include "io/ContactFiles.h"

#include <QBuffer>

#include <cstdlib>

namespace fuzz {

/// Reads `input` as decodeFile() does, then again a few bytes at a time, and
/// aborts when the pieces give other entries or errors than the whole file.
inline io::DecodedFile decodeInPiecesToo(QByteArray input) {
    const io::DecodedFile whole = io::decodeFile(input);
    QBuffer buffer(&input);
    buffer.open(QIODevice::ReadOnly);
    QList<io::Entry> entries;
    const QStringList errors = io::readContactFile(
        buffer, [&](io::Entry &&e) { entries << std::move(e); }, {}, 7);
    if (errors != whole.errors || (errors.isEmpty() && entries != whole.entries))
        std::abort();
    return whole;
}

} // namespace fuzz
