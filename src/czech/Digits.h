#pragma once

#include <QString>

// Small helpers shared by the checks; not part of the library's interface.
namespace czech::digits {

/// The text without any white space (people type "123 45 678").
inline QString withoutBlanks(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (!c.isSpace())
            out.append(c);
    return out;
}

/// Only ASCII digits count: QChar::isDigit() would also take other scripts'.
inline bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

inline bool allDigits(QStringView text) {
    for (const QChar c : text)
        if (!isDigit(c))
            return false;
    return true;
}

inline int value(QChar c) {
    return c.unicode() - '0';
}

} // namespace czech::digits
