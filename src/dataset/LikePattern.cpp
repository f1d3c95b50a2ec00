#include "dataset/LikePattern.h"

#include "db/DbConnection.h"
#include "db/DbError.h"

namespace dataset {

UpperCaseTable::UpperCaseTable() {
    for (int i = 0; i < 256; ++i)
        m_table[i] = char(i);
}

void UpperCaseTable::readFrom(db::DbConnection &connection) {
    // Every byte the code page defines; the five it leaves out never occur in
    // stored text and stay as they are.
    static const QByteArray kUndefined = QByteArray::fromHex("8183889098");
    QByteArray bytes;
    for (int i = 1; i < 256; ++i)
        if (!kUndefined.contains(char(i)))
            bytes.append(char(i));
    const QByteArray sql = "SELECT CAST(UPPER(_WIN1250 x'" + bytes.toHex() +
                           "') AS VARCHAR(255) CHARACTER SET OCTETS) FROM RDB$DATABASE";
    auto cursor = connection.openCursor(sql, {});
    db::PackedRow row;
    if (!cursor->fetch(row) || row.cell(0).bytes.size() != bytes.size())
        throw db::DbError(QStringLiteral("The database did not report its upper-case letters"));
    const QByteArray upper = row.cell(0).bytes;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        m_table[static_cast<unsigned char>(bytes[i])] = upper[i];
}

QByteArray UpperCaseTable::upper(QByteArrayView bytes) const {
    QByteArray out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = upper(bytes[i]);
    return out;
}

LikePattern::LikePattern(QByteArray pattern) : m_pattern(std::move(pattern)) {
    // The board's "%text%" is a plain search for the text when the text
    // holds no wildcard of its own.
    if (m_pattern.size() >= 2 && m_pattern.startsWith('%') && m_pattern.endsWith('%')) {
        const QByteArray inner = m_pattern.mid(1, m_pattern.size() - 2);
        if (!inner.contains('%') && !inner.contains('_')) {
            m_literal = inner;
            m_isContains = true;
        }
    }
}

bool LikePattern::matches(QByteArrayView text) const {
    if (m_isContains)
        return text.indexOf(m_literal) >= 0;
    return matchFrom(text, [](char c) { return c; });
}

bool LikePattern::matchesUpper(QByteArrayView text, const UpperCaseTable &upper) const {
    if (m_isContains) {
        // Short names: a plain scan, each byte upper-cased as it is compared.
        const qsizetype n = m_literal.size(), last = text.size() - n;
        const char *const literal = m_literal.constData();
        for (qsizetype at = 0; at <= last; ++at) {
            qsizetype i = 0;
            while (i < n && upper.upper(text[at + i]) == literal[i])
                ++i;
            if (i == n)
                return true;
        }
        return false;
    }
    return matchFrom(text, [&upper](char c) { return upper.upper(c); });
}

template <class Fold> bool LikePattern::matchFrom(QByteArrayView text, Fold fold) const {
    // Iterative matching with one back-tracking point, the last "%".
    qsizetype p = 0, t = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < m_pattern.size() && m_pattern[p] == '%') {
            starP = ++p;
            starT = t;
        } else if (p < m_pattern.size() && (m_pattern[p] == '_' || m_pattern[p] == fold(text[t]))) {
            ++p;
            ++t;
        } else if (starP >= 0) {
            p = starP;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < m_pattern.size() && m_pattern[p] == '%')
        ++p;
    return p == m_pattern.size();
}

} // namespace dataset
