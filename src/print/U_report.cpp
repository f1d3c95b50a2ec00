#include "print/U_report.h"

#include "print/RtfWriter.h"

TfmReporty::TfmReporty(QObject *parent) : QObject(parent), m_report(QStringLiteral("qrVypis")) {
    // The default settings are the card's: A4 portrait, 12.7 mm margins, one column,
    // one copy of all pages on the default printer, first tray, no duplex, Arial 10 pt.
    m_band = &m_report.addTitleBand(QStringLiteral("QRBand1"), QStringLiteral("qrrtVypis"));
    report::RichTextElement &element = m_band->richText();
    element.setHorizontalGeometry(0, 0); // as wide as the printable area
    element.setDesignHeight(m_report.settings().printableRectPt().height());
}

void TfmReporty::copyCardToReport() {
    qrrtVypis().setRtf(print::RtfWriter::write(m_card.paragraphs()));
}

void TfmReporty::preview(QWidget *parent) {
    m_report.preview(parent);
}
