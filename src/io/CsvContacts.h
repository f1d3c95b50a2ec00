#pragma once

#include "io/Csv.h"
#include "io/Record.h"

namespace io {

/// The header of this program's own CSV files: the contact's columns by their
/// form captions, the photo (base64), then the company's columns.
const QStringList &ownCsvHeader();

/// A cell a spreadsheet would take for a formula (a text starting with "=",
/// "+", "-", "@", TAB or CR) gets a leading apostrophe, so that it stays
/// text; so does one that starts with apostrophes before such a character,
/// so that fromSpreadsheetText() gives back exactly what was written.
QString spreadsheetText(const QString &text);
/// The text spreadsheetText() was given.
QString fromSpreadsheetText(const QString &cell);

/// The cells of one entry under ownCsvHeader().
QStringList ownCsvRow(const Entry &e);

/// Writes entries in this program's own layout: every column travels (each
/// text through spreadsheetText()), so a file read back gives the same
/// entries.
bool writeContactsCsv(const QList<Entry> &entries, CsvDialect dialect, QByteArray &out,
                      QString *error = nullptr);

/// Turns a table into entries: this program's own layout column by column;
/// the layouts of Google Contacts, Outlook and Thunderbird by their header
/// names. A value without a column of its own is kept in the note on the
/// means of contact. A photo that cannot be read is left out and named in
/// the entry's warnings.
QList<Entry> entriesFromCsv(const CsvTable &table);

} // namespace io
