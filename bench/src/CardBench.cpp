#include "CardBench.h"

#include "data/U_DM.h"
#include "print/CompanyCard.h"
#include "print/U_report.h"
#include "report/PageRenderer.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

namespace bench {

BusiestCompany findBusiestCompany(TDM &dm) {
    dataset::QueryDataset query(QStringLiteral("qBenchBusiest"), &dm.ZConKontakty);
    query.setSql(QStringLiteral("SELECT FIRST 1 ID_FIRMA, COUNT(*) AS N FROM KONTAKT "
                                "GROUP BY ID_FIRMA ORDER BY 2 DESC"));
    query.open();
    BusiestCompany busiest{int(query.fieldByName(QStringLiteral("ID_FIRMA"))->asInteger()),
                           int(query.fieldByName(QStringLiteral("N"))->asInteger())};
    query.close();
    return busiest;
}

CardTiming timeCompanyCard(TDM &dm, TfmReporty &printForm, int companyId) {
    CardTiming t;
    QElapsedTimer timer;
    const auto lap = [&timer] {
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        return ms;
    };
    timer.start();
    dm.tFIRMA.locate(QStringLiteral("id"), {QString::number(companyId)}, true);
    print::CompanyCard(dm, printForm.RichEdit1()).compose(companyId);
    t.compose = lap();
    printForm.copyCardToReport();
    t.rtf = lap();
    const report::PreparedReport &report = printForm.prepare();
    t.layout = lap();
    const QSizeF pixels = report.pageSizePt * 96.0 / 72.0;
    QImage page(pixels.toSize(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&page);
        report::PageRenderer::paint(painter, report, 0, QRectF(QPointF(0, 0), pixels));
    }
    t.paint = lap();
    t.pages = report.pageCount();
    t.paragraphs = int(printForm.RichEdit1().paragraphs().size());
    return t;
}

} // namespace bench
