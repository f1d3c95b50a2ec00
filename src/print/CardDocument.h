#pragma once

#include <QFlags>
#include <QList>
#include <QRgb>
#include <QString>

namespace print {

enum class CardStyle { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
Q_DECLARE_FLAGS(CardStyles, CardStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(CardStyles)

/// Character formatting of one card paragraph.
struct CardFormat {
    QString fontName = QStringLiteral("Tahoma");
    int sizePt = 10;
    CardStyles styles;
    QRgb colour = qRgb(0, 0, 0);

    bool operator==(const CardFormat &) const = default;
};

struct CardParagraph {
    QString text;
    CardFormat format;

    bool operator==(const CardParagraph &) const = default;
};

/// The company card as an ordered list of formatted paragraphs.
///
/// Only headings bring formatting of their own; every other paragraph continues the
/// formatting of the paragraph before it, as text typed into a rich-text buffer does.
/// An empty buffer has the font "Tahoma", 10 pt, regular, black: a text or empty line
/// as the very first paragraph takes that. A spacer as the very first paragraph is
/// "Tahoma" 5 pt regular instead (and lines after it continue in 5 pt).
/// A text holding line breaks (LF, CR LF or CR) becomes one paragraph per line, all in
/// the same formatting.
class CardDocument {
  public:
    /// The formatting of an empty buffer.
    static CardFormat bufferFormat();
    /// The formatting of a spacer that opens the document.
    static CardFormat openingSpacerFormat();
    /// The fixed formatting of a heading of `sizePt` points: "Tahoma" bold black.
    static CardFormat headingFormat(int sizePt);

    void clear() { m_paragraphs.clear(); }
    /// Appends a spacer, the heading and, when `spacerAfter` is set, one more spacer.
    void addHeading(const QString &text, int sizePt, bool spacerAfter = false);
    /// Appends a spacer: a single blank.
    void addSpacer();
    /// Appends a text line; an empty text appends an empty line.
    void addLine(const QString &text);

    const QList<CardParagraph> &paragraphs() const { return m_paragraphs; }
    bool isEmpty() const { return m_paragraphs.isEmpty(); }

  private:
    CardFormat currentFormat() const;
    void append(const QString &text, const CardFormat &format);

    QList<CardParagraph> m_paragraphs;
};

} // namespace print
