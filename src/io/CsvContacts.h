#pragma once

#include "Csv.h"
#include "Record.h"

namespace io {

/// The header of this program's own CSV files: the contact's columns by their
/// form captions, the photo (base64), then the company's columns.
QStringList ownCsvHeader();

/// Writes entries in this program's own layout: every column travels, so a
/// file read back gives the same entries.
bool writeContactsCsv(const QList<Entry> &entries, CsvDialect dialect, QByteArray &out,
                      QString *error = nullptr);

/// Turns a table into entries: this program's own layout column by column;
/// the layouts of Google Contacts, Outlook and Thunderbird by their header
/// names. A value without a column of its own is kept in the note on the
/// means of contact. A photo that cannot be read is left out and named in
/// the entry's warnings.
QList<Entry> entriesFromCsv(const CsvTable &table);

} // namespace io
