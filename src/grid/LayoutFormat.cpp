#include "grid/LayoutFormat.h"

#include <limits>
#include <optional>

namespace grid {

namespace {

const QChar kQuote = QLatin1Char('"');
const QChar kComma = QLatin1Char(',');

std::optional<qint64> number(const QStringList &items, int index) {
    if (index >= items.size())
        return std::nullopt;
    bool ok = false;
    const qint64 value = items[index].trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

void readInt(const QStringList &items, int index, int &target, qint64 min, qint64 max) {
    if (const auto value = number(items, index); value && *value >= min && *value <= max)
        target = int(*value);
}

// Colours are signed 32-bit values; an unsigned spelling of the same bits is accepted too.
void readColor(const QStringList &items, int index, qint32 &target) {
    if (const auto value = number(items, index); value &&
                                                 *value >= std::numeric_limits<qint32>::min() &&
                                                 *value <= std::numeric_limits<quint32>::max())
        target = qint32(quint32(*value));
}

void readText(const QStringList &items, int index, QString &target) {
    if (index < items.size())
        target = items[index];
}

} // namespace

QStringList LayoutFormat::splitItems(const QString &value) {
    QStringList items;
    if (value.isEmpty())
        return items;
    int i = 0;
    const int n = int(value.size());
    while (true) {
        QString item;
        if (i < n && value[i] == kQuote) {
            ++i;
            while (i < n) {
                if (value[i] == kQuote) {
                    if (i + 1 < n && value[i + 1] == kQuote) {
                        item += kQuote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += value[i++];
            }
            // Anything between the closing quote and the next comma belongs to the item.
            while (i < n && value[i] != kComma)
                item += value[i++];
        } else {
            while (i < n && value[i] != kComma)
                item += value[i++];
        }
        items << item;
        if (i >= n)
            break;
        ++i; // the comma
    }
    return items;
}

QString LayoutFormat::joinItems(const QStringList &items) {
    QStringList written;
    written.reserve(items.size());
    for (const QString &item : items) {
        if (item.contains(kComma) || item.contains(kQuote)) {
            QString quoted = item;
            quoted.replace(kQuote, QStringLiteral("\"\""));
            written << kQuote + quoted + kQuote;
        } else {
            written << item;
        }
    }
    return written.join(kComma);
}

QString LayoutFormat::writeColumn(const GridColumn &column) {
    return joinItems({column.field, QString::number(column.hidden ? -1 : column.width),
                      column.caption(), column.readOnly ? QStringLiteral("R") : QString()});
}

bool LayoutFormat::readColumn(const QString &value, GridColumn &column) {
    if (value.trimmed().isEmpty())
        return false;
    const QStringList items = splitItems(value);
    readText(items, 0, column.field);
    if (items.size() > 1) {
        const auto width = number(items, 1);
        if (!width || *width > kMaxWidth) {
            column.width = kUnreadableWidth;
            column.hidden = false;
        } else if (*width < 0) {
            column.hidden = true;
        } else {
            column.width = int(*width);
            column.hidden = false;
        }
    }
    readText(items, 2, column.title);
    if (items.size() > 3)
        column.readOnly = items[3].trimmed().compare(QLatin1String("R"), Qt::CaseInsensitive) == 0;
    return true;
}

QString LayoutFormat::writeStyle(const ColumnStyle &style) {
    return joinItems({style.fontName, QString::number(style.charset),
                      QString::number(style.fontColor), QString::number(style.fontSize),
                      QString::number(style.fontStyle), QString::number(style.background),
                      QString::number(int(style.alignment))});
}

void LayoutFormat::readStyle(const QString &value, ColumnStyle &style) {
    const QStringList items = splitItems(value);
    if (!items.isEmpty() && !items[0].trimmed().isEmpty())
        style.fontName = items[0];
    readInt(items, 1, style.charset, 0, 255);
    readColor(items, 2, style.fontColor);
    readInt(items, 3, style.fontSize, 1, 200);
    readInt(items, 4, style.fontStyle, 0, 15);
    readColor(items, 5, style.background);
    int alignment = int(style.alignment);
    readInt(items, 6, alignment, 0, 2);
    style.alignment = Alignment(alignment);
}

QString LayoutFormat::writeExtras(const ColumnExtras &e) {
    return joinItems({QString::number(e.sortKind), e.sortCaption, QString::number(e.bandIndex),
                      QString::number(e.editorKind), e.footerValue, QString::number(e.footerKind),
                      QString::number(e.tag)});
}

void LayoutFormat::readExtras(const QString &value, ColumnExtras &e) {
    const QStringList items = splitItems(value);
    constexpr qint64 lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    readInt(items, 0, e.sortKind, lo, hi);
    readText(items, 1, e.sortCaption);
    readInt(items, 2, e.bandIndex, lo, hi);
    readInt(items, 3, e.editorKind, lo, hi);
    readText(items, 4, e.footerValue);
    readInt(items, 5, e.footerKind, lo, hi);
    readInt(items, 6, e.tag, lo, hi);
}

} // namespace grid
