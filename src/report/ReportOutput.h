#pragma once

#include "report/PreparedReport.h"

#include <QString>

class QPrinter;

namespace report {

/// Sends prepared pages to a printer or a PDF file.
namespace ReportOutput {

/// Prints `report` on `printer` (not owned) with its current settings: page range
/// (`currentPage`, zero-based, serves the "current page" range), copies and collation.
/// Each page is fitted onto the printer's paper. Returns an error text, empty on success.
QString print(const PreparedReport &report, QPrinter &printer, int currentPage = 0);

/// Writes `report` as a PDF file at `path`, one PDF page per page at the report's own
/// page size. Returns an error text, empty on success.
QString exportPdf(const PreparedReport &report, const QString &path);

} // namespace ReportOutput

} // namespace report
