#include "czech/BankAccount.h"

#include "czech/BankCodes.h"
#include "czech/Digits.h"

namespace czech {

namespace {

// The account standard's modulo-11 test: the number padded to 10 digits,
// weighted from the left by 6, 3, 7, 9, 10, 5, 8, 4, 2, 1; the prefix padded
// to 6 digits takes the last six weights. The weighted sum must be divisible
// by 11. Verified on 19-2000145399 and 123457, both in real use.
constexpr int weights[10] = {6, 3, 7, 9, 10, 5, 8, 4, 2, 1};

bool passesModulo11(const QString &digitsText) {
    const int skip = 10 - int(digitsText.size());
    int sum = 0;
    for (int i = 0; i < digitsText.size(); ++i)
        sum += digits::value(digitsText[i]) * weights[skip + i];
    return sum % 11 == 0;
}

QString withoutLeadingZeros(const QString &digitsText) {
    qsizetype first = 0;
    while (first < digitsText.size() && digitsText[first] == QLatin1Char('0'))
        ++first;
    return digitsText.mid(first);
}

struct Parts {
    QString prefix; // empty when none was typed
    QString number;
};

// Splits the account into its digits and checks them; says why not when not.
bool parse(const QString &account, Parts &parts, QString &reason) {
    const QString text = digits::withoutBlanks(account);
    if (text.isEmpty()) {
        reason = QStringLiteral("není vyplněno");
        return false;
    }
    const qsizetype dash = text.indexOf(QLatin1Char('-'));
    parts.prefix = dash < 0 ? QString() : text.left(dash);
    parts.number = dash < 0 ? text : text.mid(dash + 1);
    if ((dash >= 0 && parts.prefix.isEmpty()) || !digits::allDigits(parts.prefix) ||
        !digits::allDigits(parts.number)) {
        reason = QStringLiteral("musí mít tvar předčíslí-číslo nebo jen číslo");
        return false;
    }
    if (parts.prefix.size() > 6) {
        reason = QStringLiteral("předčíslí smí mít nejvýše 6 číslic");
        return false;
    }
    if (parts.number.size() > 10 || withoutLeadingZeros(parts.number).size() < 2) {
        reason = QStringLiteral("číslo účtu musí mít 2 až 10 číslic");
        return false;
    }
    if (!passesModulo11(parts.prefix)) {
        reason = QStringLiteral("nesouhlasí kontrolní součet předčíslí");
        return false;
    }
    if (!passesModulo11(parts.number)) {
        reason = QStringLiteral("nesouhlasí kontrolní součet čísla účtu");
        return false;
    }
    return true;
}

// ISO 7064 mod 97-10 over a text of digits, read a digit at a time so that
// the 30-digit number never has to fit an integer.
int modulo97(const QString &digitsText) {
    int rest = 0;
    for (const QChar c : digitsText)
        rest = (rest * 10 + digits::value(c)) % 97;
    return rest;
}

} // namespace

AccountAndCode splitAccountAndCode(const QString &text) {
    const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {text.trimmed(), {}};
    return {text.left(slash).trimmed(), text.mid(slash + 1).trimmed()};
}

Verdict checkAccount(const QString &account) {
    Parts parts;
    QString reason;
    if (!parse(account, parts, reason))
        return Verdict::invalid(reason);
    const QString prefix = withoutLeadingZeros(parts.prefix);
    const QString number = withoutLeadingZeros(parts.number);
    return Verdict::valid(prefix.isEmpty() ? number : prefix + QLatin1Char('-') + number);
}

QString iban(const QString &account, const QString &code) {
    Parts parts;
    QString reason;
    const Verdict bank = checkBankCode(code);
    if (!parse(account, parts, reason) || !bank.isValid())
        return {};
    const QString bban = bank.value + parts.prefix.rightJustified(6, QLatin1Char('0')) +
                         parts.number.rightJustified(10, QLatin1Char('0'));
    // The country letters go to the end as numbers (C = 12, Z = 35), with
    // "00" in place of the check digits.
    const int check = 98 - modulo97(bban + QLatin1String("123500"));
    return QLatin1String("CZ") + QString::number(check).rightJustified(2, QLatin1Char('0')) + bban;
}

QString formatIban(const QString &iban) {
    const QString compact = digits::withoutBlanks(iban).toUpper();
    QString out;
    for (qsizetype i = 0; i < compact.size(); i += 4) {
        if (i > 0)
            out.append(QLatin1Char(' '));
        out.append(compact.mid(i, 4));
    }
    return out;
}

} // namespace czech
