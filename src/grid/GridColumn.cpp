#include "grid/GridColumn.h"

namespace grid {

namespace color {

QColor toQColor(qint32 value, const QPalette &palette) {
    const quint32 bits = quint32(value);
    if ((bits >> 24) == 0xFF) {
        switch (bits & 0xFFFFFF) {
        case 5:
            return palette.color(QPalette::Base); // window background
        case 8:
            return palette.color(QPalette::Text); // window text
        case 13:
            return palette.color(QPalette::Highlight);
        case 14:
            return palette.color(QPalette::HighlightedText);
        case 15:
            return palette.color(QPalette::Button); // button face
        case 16:
            return palette.color(QPalette::Dark); // button shadow
        case 17:
            return palette.color(QPalette::Disabled, QPalette::Text);
        case 18:
            return palette.color(QPalette::ButtonText);
        case 20:
            return palette.color(QPalette::Light); // button highlight
        case 23:
            return palette.color(QPalette::ToolTipText);
        case 24:
            return palette.color(QPalette::ToolTipBase);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

qint32 fromRgb(const QColor &c) {
    return qint32(quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16));
}

} // namespace color

Qt::Alignment toQtAlignment(Alignment alignment) {
    switch (alignment) {
    case Alignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case Alignment::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QFont ColumnStyle::font() const {
    QFont f(fontName);
    f.setPointSize(fontSize > 0 ? fontSize : 8);
    f.setBold(fontStyle & Bold);
    f.setItalic(fontStyle & Italic);
    f.setUnderline(fontStyle & Underline);
    f.setStrikeOut(fontStyle & StrikeOut);
    return f;
}

} // namespace grid
