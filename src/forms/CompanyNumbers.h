#pragma once

#include <QList>
#include <QString>

namespace forms {

/// The business numbers of a company the confirm step checks, in the order
/// of their boxes.
enum class CompanyNumber { Ico, Dic, Account, BankCode };

/// A number that fails its check: which one, and the line that says why,
/// "IČO 12345678: nesouhlasí kontrolní číslice".
struct NumberFault {
    CompanyNumber number;
    QString line;
};

/// A typed number to check: which one and the text its box shows.
struct TypedNumber {
    CompanyNumber number;
    QString text;
};

/// True for an empty country and for the Czech Republic by any of its usual
/// names ("Česko", "Česká republika", "CZ", "ČR"), letter case and accents
/// ignored. Only such a company's numbers follow the Czech rules.
bool isCzechCountry(const QString &country);

/// The faults among `typed`, in their order; an empty text is never one.
/// The DIČ is checked against `ico` (the IČO box's text).
QList<NumberFault> numberFaults(const QList<TypedNumber> &typed, const QString &ico);

/// The question of the confirm step for `faults`: the lines, then whether
/// to save anyway (warning, Yes and No).
QString msgSaveInvalidNumbers(const QList<NumberFault> &faults);

} // namespace forms
