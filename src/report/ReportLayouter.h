#pragma once

#include "report/PreparedReport.h"
#include "report/ReportSettings.h"
#include "report/RichText.h"

#include <QFont>
#include <QHash>

namespace report {

/// Flows rich text down the printable area of pages, breaking only between lines.
///
/// Text is laid out once, in tenths of a point
/// with unhinted fonts, so the result does not depend on the device it is later painted
/// on. The pages start with one empty page.
class ReportLayouter {
  public:
    explicit ReportLayouter(const ReportSettings &settings);

    /// Lays out `document` from the current position in a column `offsetPt` right of
    /// the left margin and `widthPt` wide (0: to the right margin). Content taller than
    /// the room left continues at the top margin of the next page.
    void addRichText(const RichDocument &document, qreal offsetPt = 0, qreal widthPt = 0);

    /// Moves the current position down by `heightPt`, but never past the bottom margin
    /// (a band's design height reserves room; it never makes an empty page).
    void addSpace(qreal heightPt);

    /// The current position: zero-based page and the distance from the paper's top.
    int currentPage() const { return int(m_report.pages.size()) - 1; }
    qreal currentY() const { return m_y; }

    /// The pages laid out so far.
    const PreparedReport &result() const { return m_report; }

  private:
    void addParagraph(const RichParagraph &paragraph, qreal left, qreal width);
    void placeLine(PageLine line);
    int formatIndex(const RichFormat &format);
    QFont layoutFont(const RichFormat &format);

    QRectF m_printable;
    PreparedReport m_report;
    qreal m_y = 0;
    QHash<RichFormat, int> m_formatIndex;
    QHash<RichFormat, QFont> m_fonts;
};

} // namespace report
