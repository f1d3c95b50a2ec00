#include "grid/ColumnFilter.h"

namespace grid {

namespace {

char16_t foldChar(char16_t c) {
    if (c >= u'a' && c <= u'z')
        return char16_t(c - u'a' + u'A');
    switch (c) {
    case u'á':
    case u'Á':
        return u'A';
    case u'é':
    case u'É':
        return u'E';
    case u'í':
    case u'Í':
        return u'I';
    case u'ó':
    case u'Ó':
        return u'O';
    case u'ú':
    case u'Ú':
        return u'U';
    case u'č':
        return u'Č';
    case u'ě':
        return u'Ě';
    case u'ń':
        return u'Ń';
    case u'ř':
        return u'Ř';
    case u'š':
        return u'Š';
    case u'ý':
        return u'Ý';
    case u'ž':
        return u'Ž';
    default:
        return c;
    }
}

} // namespace

ColumnFilter::ColumnFilter(const QString &value) : m_value(value) {
    const qsizetype star = m_value.indexOf(QLatin1Char('*'));
    if (star >= 0) {
        m_star = true;
        m_value.remove(star, 1);
    }
    m_folded = fold(m_value);
}

bool ColumnFilter::passes(const QString &fieldText, bool numericField) const {
    if (m_value.isEmpty())
        return true;
    if (!m_star && numericField)
        return fieldText == m_value;
    return fold(fieldText).contains(m_folded);
}

QString ColumnFilter::fold(const QString &text) {
    QString folded(text.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(folded.data());
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = foldChar(in[i]);
    return folded;
}

} // namespace grid
