#pragma once

#include <QFont>
#include <QList>
#include <QRgb>
#include <QString>

namespace report {

/// Character formatting of a piece of rich text.
struct RichFormat {
    QString family = QStringLiteral("Arial");
    qreal sizePt = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QRgb colour = qRgb(0, 0, 0);

    bool operator==(const RichFormat &) const = default;

    /// The font to lay out or paint this format with, at `sizePt` points.
    QFont font() const;
};

size_t qHash(const RichFormat &format, size_t seed = 0);

/// A stretch of text in one format.
struct RichRun {
    QString text;
    RichFormat format;
    bool operator==(const RichRun &) const = default;
};

/// One paragraph: its runs and the format of its paragraph mark, which sizes the
/// paragraph when it holds no text. Line breaks inside a paragraph are U+2028.
struct RichParagraph {
    QList<RichRun> runs;
    RichFormat markFormat;
    Qt::Alignment alignment = Qt::AlignLeft;

    bool operator==(const RichParagraph &) const = default;
    QString text() const;
};

using RichDocument = QList<RichParagraph>;

} // namespace report
