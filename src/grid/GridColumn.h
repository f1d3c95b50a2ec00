#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

namespace grid {

/// Colours as the layout store keeps them: 32-bit values written as signed
/// decimals. A value with the top byte FF names a system colour by its index
/// (so it comes out negative); any other value is 0x00BBGGRR.
namespace color {
constexpr qint32 systemColor(int index) {
    return qint32(0xFF000000u | quint32(index));
}
constexpr qint32 kWindow = systemColor(5);
constexpr qint32 kWindowText = systemColor(8);
constexpr qint32 kButtonFace = systemColor(15);
constexpr qint32 kButtonText = systemColor(18);

/// The colour a stored value stands for; system colours come from `palette`.
QColor toQColor(qint32 value, const QPalette &palette);
/// A plain RGB colour as a stored value.
qint32 fromRgb(const QColor &color);
} // namespace color

/// Horizontal alignment of a title or a cell, numbered as in the layout store.
enum class Alignment { Left = 0, Right = 1, Center = 2 };
Qt::Alignment toQtAlignment(Alignment alignment);

/// Font, colours and alignment of a column's title or of its cells.
struct ColumnStyle {
    enum StyleBit { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };

    QString fontName = QStringLiteral("Tahoma");
    int charset = 1; ///< kept for the layout store only
    qint32 fontColor = grid::color::kWindowText;
    int fontSize = 8;  ///< points
    int fontStyle = 0; ///< StyleBit set
    qint32 background = grid::color::kWindow;
    Alignment alignment = Alignment::Left;

    QFont font() const;
    bool operator==(const ColumnStyle &) const = default;
};

/// What the layout store keeps about a column's sorting, editor and footer.
/// The grid does not sort; the items are kept so that they round-trip.
struct ColumnExtras {
    int sortKind = 0;
    QString sortCaption;
    int bandIndex = -1;
    int editorKind = 0;
    QString footerValue;
    int footerKind = 0;
    int tag = 0;
    QString footer; ///< footer text; stored only when not empty

    bool operator==(const ColumnExtras &) const = default;
};

/// One column of a data grid: the dataset field it shows and its look.
struct GridColumn {
    QString field;  ///< field name, matched without regard to case
    QString title;  ///< caption; an empty one shows the field name
    int width = 64; ///< pixels; 0 keeps the column present but invisible
    bool hidden = false;
    bool readOnly = false;
    ColumnStyle titleStyle{.background = grid::color::kButtonFace};
    ColumnStyle dataStyle;
    ColumnExtras extras;

    QString caption() const { return title.isEmpty() ? field : title; }
    bool operator==(const GridColumn &) const = default;
};

} // namespace grid
