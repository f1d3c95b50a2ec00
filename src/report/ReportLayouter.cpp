#include "report/ReportLayouter.h"

#include <QTextLayout>

namespace report {

namespace {

// Layout units per point. Fonts are sized in pixels of this unit so that the layout
// does not depend on the screen's resolution; half-point sizes stay whole pixels.
constexpr qreal kUnitsPerPt = 10;
constexpr qreal kEpsilon = 0.01;

bool isBreakChar(QChar c) {
    return c == u'\t' || c == QChar::LineSeparator;
}

} // namespace

ReportLayouter::ReportLayouter(const ReportSettings &settings)
    : m_printable(settings.printableRectPt()) {
    m_report.pageSizePt = settings.pageSizePt();
    m_report.pages.append(PreparedPage());
    m_y = m_printable.top();
}

void ReportLayouter::addRichText(const RichDocument &document, qreal offsetPt, qreal widthPt) {
    const qreal left = m_printable.left() + offsetPt;
    const qreal width = widthPt > 0 ? widthPt : m_printable.right() - left;
    for (const RichParagraph &paragraph : document)
        addParagraph(paragraph, left, qMax<qreal>(width, 1));
}

void ReportLayouter::addSpace(qreal heightPt) {
    m_y = qMin(m_y + qMax<qreal>(heightPt, 0), m_printable.bottom());
}

void ReportLayouter::addParagraph(const RichParagraph &paragraph, qreal left, qreal width) {
    const QString text = paragraph.text();
    const RichFormat &baseFormat =
        paragraph.runs.isEmpty() ? paragraph.markFormat : paragraph.runs.first().format;

    QTextLayout layout(text, layoutFont(baseFormat));
    QTextOption option(paragraph.alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);
    layout.setTextOption(option);

    QList<QTextLayout::FormatRange> ranges;
    QList<int> runFormats;
    int start = 0;
    for (const RichRun &run : paragraph.runs) {
        QTextCharFormat charFormat;
        charFormat.setFont(layoutFont(run.format));
        ranges.append({start, int(run.text.size()), charFormat});
        runFormats.append(formatIndex(run.format));
        start += int(run.text.size());
    }
    layout.setFormats(ranges);

    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width * kUnitsPerPt);
        line.setLeadingIncluded(true);
    }
    layout.endLayout();

    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const int lineStart = line.textStart();
        int lineEnd = lineStart + line.textLength();
        PageLine pageLine;
        pageLine.height = line.height() / kUnitsPerPt;
        pageLine.ascent = line.ascent() / kUnitsPerPt;
        pageLine.text = text.mid(lineStart, lineEnd - lineStart);
        pageLine.text.remove(QChar::LineSeparator);

        // Trailing blanks hang past the line's end; they draw nothing, so leave them out.
        while (lineEnd > lineStart && text[lineEnd - 1].isSpace())
            --lineEnd;
        for (int r = 0, runStart = 0; r < ranges.size(); runStart += ranges[r].length, ++r) {
            const int from = qMax(runStart, lineStart);
            const int to = qMin(runStart + ranges[r].length, lineEnd);
            for (int a = from; a < to;) {
                if (isBreakChar(text[a])) {
                    ++a;
                    continue;
                }
                int b = a;
                while (b < to && !isBreakChar(text[b]))
                    ++b;
                const qreal x = line.cursorToX(a);
                pageLine.fragments.append({left + x / kUnitsPerPt,
                                           (line.cursorToX(b) - x) / kUnitsPerPt,
                                           text.mid(a, b - a), runFormats[r]});
                a = b;
            }
        }
        placeLine(std::move(pageLine));
    }
}

void ReportLayouter::placeLine(PageLine line) {
    // Break before a line that does not fit, unless the page is still empty: a line
    // taller than the page goes on a page of its own rather than loop for ever.
    if (m_y + line.height > m_printable.bottom() + kEpsilon && m_y > m_printable.top() + kEpsilon) {
        m_report.pages.append(PreparedPage());
        m_y = m_printable.top();
    }
    line.top = m_y;
    m_y += line.height;
    m_report.pages.last().lines.append(std::move(line));
}

int ReportLayouter::formatIndex(const RichFormat &format) {
    const auto it = m_formatIndex.constFind(format);
    if (it != m_formatIndex.constEnd())
        return *it;
    const int index = int(m_report.formats.size());
    m_report.formats.append(format);
    m_formatIndex.insert(format, index);
    return index;
}

QFont ReportLayouter::layoutFont(const RichFormat &format) {
    auto it = m_fonts.find(format);
    if (it == m_fonts.end()) {
        QFont font = format.font();
        font.setPixelSize(qMax(1, qRound(format.sizePt * kUnitsPerPt)));
        it = m_fonts.insert(format, font);
    }
    return *it;
}

} // namespace report
