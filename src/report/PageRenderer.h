#pragma once

#include "report/PreparedReport.h"

#include <QRectF>

class QPainter;

namespace report {

/// Paints prepared pages onto any paint device: the preview, thumbnails, printers, PDF.
class PageRenderer {
  public:
    /// Paints page `index` of `report` into `target` (device coordinates of `painter`),
    /// which should have the page's proportions. Draws a white paper background when
    /// `paper` is set, and a marker behind line `highlightLine` (-1: none).
    static void paint(QPainter &painter, const PreparedReport &report, int index,
                      const QRectF &target, bool paper = true, int highlightLine = -1);
};

} // namespace report
