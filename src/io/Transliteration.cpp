#include "io/Transliteration.h"

#include "base/Win1250.h"

#include <QHash>

namespace io {
namespace {

/// Latin letters that Unicode does not decompose, by their usual spelling.
const QHash<char32_t, QString> &plainLetters() {
    static const QHash<char32_t, QString> letters{
        {U'ø', QStringLiteral("o")},  {U'Ø', QStringLiteral("O")},  {U'æ', QStringLiteral("ae")},
        {U'Æ', QStringLiteral("AE")}, {U'œ', QStringLiteral("oe")}, {U'Œ', QStringLiteral("OE")},
        {U'ı', QStringLiteral("i")},  {U'ħ', QStringLiteral("h")},  {U'Ħ', QStringLiteral("H")},
        {U'þ', QStringLiteral("th")}, {U'Þ', QStringLiteral("Th")}, {U'ŧ', QStringLiteral("t")},
        {U'Ŧ', QStringLiteral("T")},  {U'ŋ', QStringLiteral("n")},  {U'Ŋ', QStringLiteral("N")},
        {U'ð', QStringLiteral("d")},  {U'ĸ', QStringLiteral("k")},  {U'ſ', QStringLiteral("s")},
        {U'‐', QStringLiteral("-")},  {U'‑', QStringLiteral("-")},  {U'′', QStringLiteral("'")},
        {U'″', QStringLiteral("\"")}, {U'⁄', QStringLiteral("/")}};
    return letters;
}

/// The nearest Windows-1250 form of one character (given as UCS-4), or empty.
QString nearest(char32_t ucs) {
    if (const auto plain = plainLetters().constFind(ucs); plain != plainLetters().cend())
        return *plain;
    const QString decomposed = QString::fromUcs4(&ucs, 1).normalized(QString::NormalizationForm_KD);
    QString kept;
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing && base::win1250::encodeChar(c) >= 0)
            kept += c;
    return kept;
}

} // namespace

Transliterated toWin1250(const QString &text) {
    if (base::win1250::canEncode(text))
        return {text, {}};
    Transliterated result;
    QStringList seen;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (base::win1250::encodeChar(c) >= 0) {
            result.text += c;
            continue;
        }
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QString original = pair ? text.mid(i, 2) : QString(c);
        const char32_t ucs = pair ? QChar::surrogateToUcs4(c, text[i + 1]) : c.unicode();
        i += pair ? 1 : 0;
        const QString replacement = nearest(ucs);
        result.text += replacement;
        const QChar::Category category = QChar::category(ucs);
        if (replacement.isEmpty() &&
            (category == QChar::Mark_NonSpacing || category == QChar::Other_Format))
            continue; // invisible: a joiner or an emoji's variation selector goes without a word
        if (seen.contains(original))
            continue;
        seen << original;
        result.changes << (replacement.isEmpty()
                               ? QStringLiteral("„%1“ vynecháno").arg(original)
                               : QStringLiteral("„%1“ → „%2“").arg(original, replacement));
    }
    return result;
}

} // namespace io
