#pragma once

#include <QString>

namespace io::limits {

/// The largest file the readers take: a protection against hostile input,
/// far above this program's own export of a large register.
constexpr qsizetype kMaxFileBytes = qsizetype(1024) * 1024 * 1024;
/// The longest logical line (after unfolding): room for a large photo.
constexpr qsizetype kMaxLineBytes = 16 * 1024 * 1024;
/// The longest card or CSV row: a file is read a few MB at a time, each
/// piece ending where a card or row ends.
constexpr qsizetype kMaxRecordBytes = 4 * kMaxLineBytes;
/// The most cards or CSV rows one file may hold.
constexpr int kMaxRecords = 1000000;
/// The most CSV columns per row.
constexpr int kMaxColumns = 1000;
/// Readers stop collecting errors after this many.
constexpr int kMaxErrors = 50;

/// What is said of a file over kMaxFileBytes.
inline QString tooBigMessage(qsizetype bytes) {
    return QStringLiteral("soubor má %1 MB, víc než povolených %2 MB")
        .arg(bytes >> 20)
        .arg(kMaxFileBytes >> 20);
}

} // namespace io::limits
