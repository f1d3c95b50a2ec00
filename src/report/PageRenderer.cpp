#include "report/PageRenderer.h"

#include <QPaintDevice>
#include <QPainter>

namespace report {

namespace {

// Below this size on the device text is unreadable anyway; a grey bar stands for it.
constexpr qreal kMinReadablePixels = 3.0;

} // namespace

void PageRenderer::paint(QPainter &painter, const PreparedReport &report, int index,
                         const QRectF &target, bool paper, int highlightLine) {
    if (index < 0 || index >= report.pages.size() || report.pageSizePt.isEmpty())
        return;
    const qreal scale = target.width() / report.pageSizePt.width(); // device units per point
    const int deviceDpi = painter.device() ? painter.device()->logicalDpiY() : 72;

    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    if (paper)
        painter.fillRect(target, Qt::white);

    const auto toDevice = [&](qreal x, qreal y) {
        return QPointF(target.left() + x * scale, target.top() + y * scale);
    };

    const QList<PageLine> &lines = report.pages[index].lines;
    for (int l = 0; l < lines.size(); ++l) {
        const PageLine &line = lines[l];
        if (l == highlightLine && !line.fragments.isEmpty()) {
            const QPointF topLeft = toDevice(line.fragments.first().x, line.top);
            const QPointF bottomRight = toDevice(
                line.fragments.last().x + line.fragments.last().width, line.top + line.height);
            painter.fillRect(QRectF(topLeft, bottomRight), QColor(255, 230, 0, 140));
        }
        for (const TextFragment &fragment : line.fragments) {
            if (fragment.format < 0 || fragment.format >= report.formats.size())
                continue;
            const RichFormat &format = report.formats[fragment.format];
            const qreal pixels = format.sizePt * scale;
            const QPointF origin = toDevice(fragment.x, line.baseline());
            if (pixels < kMinReadablePixels) {
                const qreal barHeight = qMax<qreal>(pixels * 0.5, 0.5);
                painter.fillRect(
                    QRectF(origin.x(), origin.y() - barHeight, fragment.width * scale, barHeight),
                    QColor(160, 160, 160));
                continue;
            }
            QFont font = format.font();
            font.setPointSizeF(pixels * 72.0 / deviceDpi);
            painter.setFont(font);
            painter.setPen(QColor::fromRgb(format.colour));
            painter.drawText(origin, fragment.text);
        }
    }
    painter.restore();
}

} // namespace report
