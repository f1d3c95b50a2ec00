#pragma once

#include "report/PreparedReport.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace report {

/// Saved-report files: prepared pages in a self-describing binary format of our own.
///
/// Layout: the magic "VZREPORT", a 16-bit format version, 16 reserved bits, the 64-bit
/// length of the body, the body and its SHA-256. The body (QDataStream) holds the page
/// size, the format table, the page count and the pages with their lines. Reading
/// checks every count and length against sane bounds and the checksum, so a damaged,
/// truncated or foreign file is refused with a message instead of being half read.
class ReportFile {
  public:
    static constexpr quint16 kVersion = 1;

    /// The file's bytes for `report`.
    static QByteArray serialize(const PreparedReport &report);
    /// Reads bytes made by serialize(); on failure returns nothing and sets `error`.
    static std::optional<PreparedReport> deserialize(const QByteArray &bytes, QString *error);

    /// Writes `report` to `path` atomically. Returns an error text, empty on success.
    static QString save(const PreparedReport &report, const QString &path);
    /// Reads a report from `path`; on failure returns nothing and sets `error`.
    static std::optional<PreparedReport> load(const QString &path, QString *error);
};

} // namespace report
