#pragma once

#include "print/CardDocument.h"
#include "report/Report.h"

#include <QObject>

class QWidget;

/// The print form: never shown, it holds the card buffer `RichEdit1` in which the
/// company card is composed and the report `qrVypis` that lays the card out on A4
/// pages: one title band `QRBand1` with the growing rich-text element `qrrtVypis`.
/// Created once at start-up; lives until the program ends.
class TfmReporty : public QObject {
    Q_OBJECT
  public:
    explicit TfmReporty(QObject *parent = nullptr);

    print::CardDocument &RichEdit1() { return m_card; }
    report::Report &qrVypis() { return m_report; }
    report::ReportBand &QRBand1() { return *m_band; }
    report::RichTextElement &qrrtVypis() { return m_band->richText(); }

    /// Writes the whole card as RTF into `qrrtVypis`, replacing what it held.
    void copyCardToReport();

    /// Lays the report out, opens the preview maximised at whole-page zoom on page 1 and
    /// returns when the user has closed it; the rest of the program stays usable.
    void preview(QWidget *parent = nullptr);

    /// Lays the report out without showing it (the pages the preview would show).
    const report::PreparedReport &prepare() { return m_report.prepare(); }
    /// The pages of the last layout.
    const report::PreparedReport &preparedReport() const { return m_report.prepared(); }
    int pageCount() const { return m_report.prepared().pageCount(); }

  private:
    print::CardDocument m_card;
    report::Report m_report;
    report::ReportBand *m_band;
};
