// The Czech number checks and the birthday reader on any text: none crashes,
// a valid value is in its normal form and checks again to itself, and what
// one function makes the others take back.
#include "FuzzSupport.h"
#include "czech/BankAccount.h"
#include "czech/BankCodes.h"
#include "czech/Birthday.h"
#include "czech/Ico.h"

#include <cstdlib>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// A verdict is either a value or a reason, never both nor neither.
void requireWellFormed(const czech::Verdict &verdict) {
    require(verdict.isValid() != verdict.value.isEmpty());
    require(verdict.isValid() == verdict.reason.isEmpty());
}

bool asciiDigits(QStringView text) {
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = fuzz::text(data, size);
    // The second line stands for the company's IČO when the DIČ is checked.
    const QString first = text.section(QLatin1Char('\n'), 0, 0);
    const QString rest = text.section(QLatin1Char('\n'), 1);

    const czech::Verdict ico = czech::checkIco(text);
    requireWellFormed(ico);
    if (ico.isValid())
        require(ico.value.size() == 8 && asciiDigits(ico.value) &&
                czech::checkIco(ico.value).value == ico.value);

    const czech::Verdict dic = czech::checkDic(first, rest);
    requireWellFormed(dic);
    if (dic.isValid())
        require(dic.value.startsWith(QLatin1String("CZ")) && asciiDigits(dic.value.mid(2)) &&
                czech::checkDic(dic.value).isValid());

    const czech::AccountAndCode split = czech::splitAccountAndCode(text);
    const czech::Verdict account = czech::checkAccount(split.account);
    requireWellFormed(account);
    if (account.isValid())
        require(czech::checkAccount(account.value).value == account.value);
    const czech::Verdict code = czech::checkBankCode(split.code);
    requireWellFormed(code);
    require(code.isValid() == !czech::bankName(split.code).isEmpty());
    const QString iban = czech::iban(split.account, split.code);
    require(iban.isEmpty() == !(account.isValid() && code.isValid()));
    if (!iban.isEmpty()) {
        require(iban.size() == 24 && iban == czech::iban(account.value, code.value));
        require(czech::formatIban(iban).size() == 29);
    }
    czech::formatIban(text);

    if (const auto birthday = czech::parseBirthday(text)) {
        require(birthday->day >= 1 && birthday->day <= 31);
        require(birthday->month >= 1 && birthday->month <= 12);
        const QString dayMonth = czech::dayMonthText(birthday->day, birthday->month);
        require(czech::parseBirthday(dayMonth) ==
                (czech::Birthday{birthday->day, birthday->month, 0}));
    }
    return 0;
}
