#include "report/ReportSettings.h"

#include <QPrinter>

namespace report {

QSizeF ReportSettings::pageSizePt() const {
    const QSizeF portrait(mmToPt(paperSizeMm.width()), mmToPt(paperSizeMm.height()));
    return orientation == QPageLayout::Portrait ? portrait : portrait.transposed();
}

QRectF ReportSettings::printableRectPt() const {
    const QSizeF page = pageSizePt();
    return QRectF(QPointF(mmToPt(marginsMm.left()), mmToPt(marginsMm.top())),
                  QPointF(page.width() - mmToPt(marginsMm.right()),
                          page.height() - mmToPt(marginsMm.bottom())));
}

void ReportSettings::applyTo(QPrinter &printer) const {
    if (!printerName.isEmpty())
        printer.setPrinterName(printerName);
    printer.setPageLayout(QPageLayout(QPageSize(paperSizeMm, QPageSize::Millimeter), orientation,
                                      marginsMm, QPageLayout::Millimeter));
    printer.setCopyCount(copies);
    if (firstPage > 0 && lastPage >= firstPage) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(firstPage, lastPage);
    } else {
        printer.setPrintRange(QPrinter::AllPages);
    }
    printer.setDuplex(duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
    static constexpr QPrinter::PaperSource kTrays[] = {QPrinter::Upper, QPrinter::Middle,
                                                       QPrinter::Lower};
    if (paperTray >= 0 && paperTray < 3)
        printer.setPaperSource(kTrays[paperTray]);
}

} // namespace report
