#pragma once

#include "czech/Verdict.h"

namespace czech {

/// An account typed together with its bank code, "19-123457/0800", split at
/// the last slash into {"19-123457", "0800"} (blanks around the parts
/// dropped). Without a slash the whole text is the account and the code is
/// empty. Nothing is checked here.
struct AccountAndCode {
    QString account;
    QString code;
};
AccountAndCode splitAccountAndCode(const QString &text);

/// A Czech account without its bank code: "[prefix-]number", blanks ignored,
/// the prefix up to 6 digits, the number 2 to 10 significant digits, each
/// passing the modulo-11 test of the account standard. The valid value drops
/// leading zeros and a zero prefix ("000019-0000123457" → "19-123457").
Verdict checkAccount(const QString &account);

/// The IBAN of a valid account at a listed bank code, "CZ6508000000192000145399";
/// empty when either is invalid.
QString iban(const QString &account, const QString &code);

/// An IBAN for print, in groups of four: "CZ65 0800 0000 1920 0014 5399".
QString formatIban(const QString &iban);

} // namespace czech
