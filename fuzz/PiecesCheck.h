#pragma once

#include "io/ContactFiles.h"

#include <QBuffer>

#include <cstdio>
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
    if (errors != whole.errors || (errors.isEmpty() && entries != whole.entries)) {
        // Say what differs, for whoever reads the crash report.
        std::fprintf(stderr, "whole: %lld entries, errors: %s\npieces: %lld entries, errors: %s\n",
                     qlonglong(whole.entries.size()), qPrintable(whole.errors.join(u'|')),
                     qlonglong(entries.size()), qPrintable(errors.join(u'|')));
        for (qsizetype i = 0; i < qMin(entries.size(), whole.entries.size()); ++i)
            if (!(entries[i] == whole.entries[i]))
                std::fprintf(stderr, "entry %lld differs: %s | %s\n", qlonglong(i),
                             qPrintable(QStringList(whole.entries[i].contact.values()).join(u',')),
                             qPrintable(QStringList(entries[i].contact.values()).join(u',')));
        std::abort();
    }
    return whole;
}

} // namespace fuzz
