#include "print/CardDocument.h"

#include <QRegularExpression>

namespace print {

CardFormat CardDocument::bufferFormat() {
    return {};
}

CardFormat CardDocument::openingSpacerFormat() {
    CardFormat format;
    format.sizePt = 5;
    return format;
}

CardFormat CardDocument::headingFormat(int sizePt) {
    CardFormat format;
    format.sizePt = sizePt;
    format.styles = CardStyle::Bold;
    return format;
}

void CardDocument::addHeading(const QString &text, int sizePt, bool spacerAfter) {
    addSpacer();
    append(text, headingFormat(sizePt));
    if (spacerAfter)
        addSpacer();
}

void CardDocument::addSpacer() {
    append(QStringLiteral(" "), m_paragraphs.isEmpty() ? openingSpacerFormat() : currentFormat());
}

void CardDocument::addLine(const QString &text) {
    append(text, currentFormat());
}

CardFormat CardDocument::currentFormat() const {
    return m_paragraphs.isEmpty() ? bufferFormat() : m_paragraphs.last().format;
}

void CardDocument::append(const QString &text, const CardFormat &format) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    if (!text.contains(u'\r') && !text.contains(u'\n')) {
        m_paragraphs.append({text, format});
        return;
    }
    for (const QString &line : text.split(lineBreak))
        m_paragraphs.append({line, format});
}

} // namespace print
