#include "data/BoardSearch.h"

#include "base/Win1250.h"

#include <QCollator>
#include <QLocale>

namespace data {

AccentFolding::AccentFolding(const dataset::UpperCaseTable &upper) {
    for (int b = 0; b < 256; ++b) {
        char byte = char(b);
        // The first character of the canonical decomposition is the base
        // letter; the combining accents after it are dropped.
        const QString decomposed =
            QString(base::win1250::decodeByte(uchar(b))).normalized(QString::NormalizationForm_D);
        if (decomposed.size() > 1) {
            const int baseByte = base::win1250::encodeChar(decomposed.front());
            if (baseByte >= 0)
                byte = char(baseByte);
        }
        m_table[size_t(b)] = upper.upper(byte);
    }
}

QByteArray AccentFolding::fold(QByteArrayView bytes) const {
    QByteArray out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = fold(bytes[i]);
    return out;
}

QByteArray withoutBlanks(QByteArrayView text) {
    QByteArray out;
    out.reserve(text.size());
    for (const char c : text)
        if (c != ' ')
            out.append(c);
    return out;
}

bool asksForText(QByteArrayView pattern) {
    for (const char c : pattern)
        if (c != '%' && c != '_' && c != ' ')
            return true;
    return false;
}

struct CzechCollation::Impl {
    QCollator collator{QLocale(QLocale::Czech, QLocale::CzechRepublic)};
};

CzechCollation::CzechCollation() : m(std::make_unique<Impl>()) {
}
CzechCollation::~CzechCollation() = default;

QString CzechCollation::text(QByteArrayView win1250) {
    qsizetype end = win1250.size();
    while (end > 0 && win1250[end - 1] == ' ')
        --end;
    return base::win1250::decode(win1250.first(end));
}

int CzechCollation::compare(const QString &a, const QString &b) const {
    return m->collator.compare(a, b);
}

} // namespace data
