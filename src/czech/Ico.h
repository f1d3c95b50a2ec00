#pragma once

#include "czech/Verdict.h"

namespace czech {

/// IČO, the company identification number: 8 digits with a modulo-11 check
/// digit. Blanks are ignored and a shorter number is read with leading zeros,
/// so "177041" is valid as "00177041".
Verdict checkIco(const QString &text);

/// DIČ, the VAT number: "CZ" (any letter case) and 8 to 10 digits, blanks
/// ignored; the valid value is "CZ" and the digits. Eight digits are a
/// company's IČO, so they must pass its check digit and, when `ico` is given
/// and valid itself, be that IČO.
Verdict checkDic(const QString &text, const QString &ico = {});

} // namespace czech
