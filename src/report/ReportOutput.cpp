#include "report/ReportOutput.h"

#include "report/PageRenderer.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace report {

namespace {

/// The page indexes to print, in order, copies included.
QList<int> pageSequence(const PreparedReport &report, const QPrinter &printer, int currentPage) {
    int first = 0, last = report.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage() - 1;
        last = qMin(last, printer.toPage() > 0 ? printer.toPage() - 1 : last);
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        first = last = qBound(0, currentPage, last);
    }
    // A printer driver that makes copies itself gets each page once.
    const int copies = printer.supportsMultipleCopies() ? 1 : qMax(1, printer.copyCount());
    QList<int> sequence;
    if (printer.collateCopies()) {
        for (int c = 0; c < copies; ++c)
            for (int p = first; p <= last; ++p)
                sequence.append(p);
    } else {
        for (int p = first; p <= last; ++p)
            for (int c = 0; c < copies; ++c)
                sequence.append(p);
    }
    return sequence;
}

/// The largest rectangle of the page's proportions centred in `area`.
QRectF fitted(const QSizeF &page, const QRectF &area) {
    const QSizeF size = page.scaled(area.size(), Qt::KeepAspectRatio);
    return QRectF(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

QString paintPages(const PreparedReport &report, QPagedPaintDevice &device, QPainter &painter,
                   const QList<int> &pages, const QRectF &paper) {
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage())
            return QStringLiteral("The printer refused a new page.");
        PageRenderer::paint(painter, report, pages[i], fitted(report.pageSizePt, paper), false);
    }
    return {};
}

} // namespace

namespace ReportOutput {

QString print(const PreparedReport &report, QPrinter &printer, int currentPage) {
    const QList<int> pages = pageSequence(report, printer, currentPage);
    if (pages.isEmpty())
        return QStringLiteral("The chosen page range holds no page of this report.");
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString target =
            printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        return QStringLiteral("Cannot start printing on \"%1\".").arg(target);
    }
    const QRectF paper = printer.pageLayout().fullRectPixels(printer.resolution());
    const QString error = paintPages(report, printer, painter, pages, paper);
    painter.end();
    return error;
}

QString exportPdf(const PreparedReport &report, const QString &path) {
    QPdfWriter writer(path);
    writer.setCreator(QStringLiteral("Vizitar"));
    // Page sizes are portrait by definition; a wide page is a turned one.
    const bool wide = report.pageSizePt.width() > report.pageSizePt.height();
    const QSizeF portrait = wide ? report.pageSizePt.transposed() : report.pageSizePt;
    writer.setPageLayout(QPageLayout(QPageSize(portrait, QPageSize::Point),
                                     wide ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF()));
    QPainter painter;
    if (!painter.begin(&writer))
        return QStringLiteral("Cannot write the PDF file \"%1\".").arg(path);
    QList<int> pages;
    for (int p = 0; p < report.pageCount(); ++p)
        pages.append(p);
    const QRectF paper = writer.pageLayout().fullRectPixels(writer.resolution());
    const QString error = paintPages(report, writer, painter, pages, paper);
    painter.end();
    return error;
}

} // namespace ReportOutput

} // namespace report
