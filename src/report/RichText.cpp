#include "report/RichText.h"

#include <QHashFunctions>

namespace report {

QFont RichFormat::font() const {
    QFont f(family);
    f.setPointSizeF(sizePt > 0 ? sizePt : 1);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strikeOut);
    // Unhinted outlines keep advances proportional to the size, so a layout made at
    // one resolution paints the same at any other.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

size_t qHash(const RichFormat &f, size_t seed) {
    return qHashMulti(seed, f.family, f.sizePt, f.bold, f.italic, f.underline, f.strikeOut,
                      f.colour);
}

QString RichParagraph::text() const {
    QString all;
    for (const RichRun &run : runs)
        all += run.text;
    return all;
}

} // namespace report
