#include "czech/Ico.h"

#include "czech/Digits.h"

namespace czech {

namespace {

// The IČO check: the first seven digits weighted 8, 7, ..., 2; with
// r = sum mod 11 the eighth digit is (11 - r) mod 10 (so r = 0 gives 1 and
// r = 1 gives 0). Verified on real numbers, e.g. 45274649, 00177041, 27082440.
bool checkDigitMatches(const QString &eightDigits) {
    int sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += digits::value(eightDigits[i]) * (8 - i);
    return (11 - sum % 11) % 10 == digits::value(eightDigits[7]);
}

} // namespace

Verdict checkIco(const QString &text) {
    const QString number = digits::withoutBlanks(text);
    if (number.isEmpty())
        return Verdict::invalid(QStringLiteral("není vyplněno"));
    if (!digits::allDigits(number))
        return Verdict::invalid(QStringLiteral("smí obsahovat jen číslice"));
    if (number.size() > 8)
        return Verdict::invalid(QStringLiteral("má víc než 8 číslic"));
    const QString padded = number.rightJustified(8, QLatin1Char('0'));
    if (!checkDigitMatches(padded))
        return Verdict::invalid(QStringLiteral("nesouhlasí kontrolní číslice"));
    return Verdict::valid(padded);
}

Verdict checkDic(const QString &text, const QString &ico) {
    const QString dic = digits::withoutBlanks(text);
    if (dic.isEmpty())
        return Verdict::invalid(QStringLiteral("není vyplněno"));
    if (!dic.startsWith(QLatin1String("CZ"), Qt::CaseInsensitive))
        return Verdict::invalid(QStringLiteral("musí začínat písmeny CZ"));
    const QString number = dic.mid(2);
    if (number.size() < 8 || number.size() > 10 || !digits::allDigits(number))
        return Verdict::invalid(QStringLiteral("za CZ musí následovat 8 až 10 číslic"));
    if (number.size() == 8) {
        if (!checkDigitMatches(number))
            return Verdict::invalid(QStringLiteral("nesouhlasí kontrolní číslice"));
        // An invalid IČO gets its own message; comparing with it says nothing.
        const Verdict companyIco = checkIco(ico);
        if (companyIco.isValid() && companyIco.value != number)
            return Verdict::invalid(QStringLiteral("neodpovídá IČO %1").arg(companyIco.value));
    }
    return Verdict::valid(QLatin1String("CZ") + number);
}

} // namespace czech
