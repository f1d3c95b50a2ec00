#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPrinter;

namespace report {

/// Page and printer settings of a report. Lengths are in millimetres. Reports print in
/// one column.
struct ReportSettings {
    QSizeF paperSizeMm{210, 297}; // A4
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF marginsMm{12.7, 12.7, 12.7, 12.7};
    int copies = 1;
    int firstPage = 0; // 0 and 0: all pages
    int lastPage = 0;
    QString printerName; // empty: the system's default printer
    int paperTray = 0;   // 0, 1, 2: upper (first), middle, lower tray
    bool duplex = false;
    QString fontFamily = QStringLiteral("Arial");
    qreal fontSizePt = 10;

    /// Paper size in points, oriented.
    QSizeF pageSizePt() const;
    /// The area inside the margins, in points from the paper's top left corner.
    QRectF printableRectPt() const;
    /// Sets up `printer` (not owned) with paper, margins, copies, range and duplex.
    void applyTo(QPrinter &printer) const;
};

/// Millimetres to points.
constexpr qreal mmToPt(qreal mm) {
    return mm * 72.0 / 25.4;
}

} // namespace report
