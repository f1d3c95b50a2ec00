#include "report/Report.h"

#include "report/ReportLayouter.h"
#include "report/ReportPreview.h"
#include "report/RtfReader.h"

#include <QPrinter>

namespace report {

void RichTextElement::setRtf(const QByteArray &rtf) {
    m_rtf = rtf;
    m_document = RtfReader::read(m_rtf, m_defaults);
}

void RichTextElement::setFont(const QString &family, qreal sizePt) {
    m_defaults.family = family;
    m_defaults.sizePt = sizePt;
    if (!m_rtf.isEmpty())
        m_document = RtfReader::read(m_rtf, m_defaults);
}

void RichTextElement::setHorizontalGeometry(qreal leftPt, qreal widthPt) {
    m_left = qMax<qreal>(leftPt, 0);
    m_width = qMax<qreal>(widthPt, 0);
}

Report::Report(const QString &name) : m_name(name) {
}

Report::~Report() = default;

ReportBand &Report::addTitleBand(const QString &name, const QString &elementName) {
    m_bands.push_back(std::make_unique<ReportBand>(name, elementName));
    m_bands.back()->richText().setFont(m_settings.fontFamily, m_settings.fontSizePt);
    return *m_bands.back();
}

const PreparedReport &Report::prepare() {
    ReportLayouter layouter(m_settings);
    for (const auto &band : m_bands) {
        const RichTextElement &element = band->richText();
        const int startPage = layouter.currentPage();
        const qreal startY = layouter.currentY();
        layouter.addRichText(element.document(), element.left(), element.width());
        if (layouter.currentPage() == startPage)
            layouter.addSpace(startY + element.designHeight() - layouter.currentY());
    }
    m_prepared = layouter.result();
    return m_prepared;
}

QPrinter &Report::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_settings.applyTo(*m_printer);
    }
    return *m_printer;
}

void Report::preview(QWidget *parent) {
    prepare();
    ReportPreview::execPreview(m_prepared, &printer(), parent);
}

PreparedReport prepareRtf(const QByteArray &rtf, const ReportSettings &settings) {
    Report report(QStringLiteral("measure"));
    report.settings() = settings;
    report.addTitleBand(QStringLiteral("band"), QStringLiteral("text")).richText().setRtf(rtf);
    return report.prepare();
}

} // namespace report
