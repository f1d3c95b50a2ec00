#pragma once

#include "czech/Verdict.h"

namespace czech {

/// The bank's name for a payment-system code ("0800" → "Česká spořitelna,
/// a.s."); empty for a code not on the list.
QString bankName(const QString &code);

/// A bank code: 4 digits (blanks ignored) and on the Czech National Bank's
/// list of payment-system codes.
Verdict checkBankCode(const QString &text);

} // namespace czech
