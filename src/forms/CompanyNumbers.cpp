#include "forms/CompanyNumbers.h"

#include "czech/BankAccount.h"
#include "czech/BankCodes.h"
#include "czech/Ico.h"
#include "forms/MessageTexts.h"

#include <QStringList>

namespace forms {
namespace {

/// Lower case without accents and with single blanks: "Česká  Republika" → "ceska republika".
QString folded(const QString &text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            out.append(c.toLower());
    return out.simplified();
}

QString caption(CompanyNumber number) {
    switch (number) {
    case CompanyNumber::Ico:
        return QStringLiteral("IČO");
    case CompanyNumber::Dic:
        return QStringLiteral("DIČ");
    case CompanyNumber::Account:
        return QStringLiteral("Číslo účtu");
    case CompanyNumber::BankCode:
        return QStringLiteral("Kód banky");
    }
    return QString();
}

czech::Verdict check(const TypedNumber &typed, const QString &ico) {
    switch (typed.number) {
    case CompanyNumber::Ico:
        return czech::checkIco(typed.text);
    case CompanyNumber::Dic:
        return czech::checkDic(typed.text, ico);
    case CompanyNumber::Account:
        return czech::checkAccount(typed.text);
    case CompanyNumber::BankCode:
        return czech::checkBankCode(typed.text);
    }
    return czech::Verdict::valid(typed.text);
}

} // namespace

bool isCzechCountry(const QString &country) {
    static const QStringList names{QStringLiteral("cesko"), QStringLiteral("ceska republika"),
                                   QStringLiteral("cz"), QStringLiteral("cr")};
    const QString name = folded(country);
    return name.isEmpty() || names.contains(name);
}

QList<NumberFault> numberFaults(const QList<TypedNumber> &typed, const QString &ico) {
    QList<NumberFault> faults;
    for (const TypedNumber &number : typed) {
        if (number.text.trimmed().isEmpty())
            continue;
        const czech::Verdict verdict = check(number, ico);
        if (!verdict.isValid())
            faults.append({number.number, QStringLiteral("%1 %2: %3")
                                              .arg(caption(number.number), number.text.trimmed(),
                                                   verdict.reason)});
    }
    return faults;
}

QString msgSaveInvalidNumbers(const QList<NumberFault> &faults) {
    QStringList lines;
    for (const NumberFault &fault : faults)
        lines << fault.line;
    return lines.join(texts::kLineBreak) + texts::kLineBreak + texts::kLineBreak +
           QStringLiteral("Uložit přesto?");
}

} // namespace forms
