#include "czech/BankCodes.h"

#include "czech/Digits.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace czech {

namespace {

struct Bank {
    std::string_view code;
    const char *name; // UTF-8
};

// The Czech National Bank's codes of the banks in the payment system, in code
// order. When the bank publishes a change, edit this table.
constexpr auto banks = std::to_array<Bank>({
    {"0100", "Komerční banka, a.s."},
    {"0300", "Československá obchodní banka, a. s."},
    {"0600", "MONETA Money Bank, a.s."},
    {"0710", "ČESKÁ NÁRODNÍ BANKA"},
    {"0800", "Česká spořitelna, a.s."},
    {"2010", "Fio banka, a.s."},
    {"2020", "MUFG Bank (Europe) N.V. Prague Branch"},
    {"2060", "Citfin, spořitelní družstvo"},
    {"2070", "TRINITY BANK a.s."},
    {"2100", "Hypoteční banka, a.s."},
    {"2200", "Peněžní dům, spořitelní družstvo"},
    {"2220", "Artesa, spořitelní družstvo"},
    {"2250", "Banka CREDITAS a.s."},
    {"2260", "NEY spořitelní družstvo"},
    {"2275", "Podnikatelská družstevní záložna"},
    {"2600", "Citibank Europe plc, organizační složka"},
    {"2700", "UniCredit Bank Czech Republic and Slovakia, a.s."},
    {"3030", "Air Bank a.s."},
    {"3050", "BNP Paribas Personal Finance SA, odštěpný závod"},
    {"3060", "PKO BP S.A., Czech Branch"},
    {"3500", "ING Bank N.V."},
    {"4000", "Expobank CZ a.s."},
    {"4300", "Národní rozvojová banka, a.s."},
    {"5500", "Raiffeisenbank a.s."},
    {"5800", "J&T BANKA, a.s."},
    {"6000", "PPF banka a.s."},
    {"6100", "Raiffeisenbank a.s. (do 31. 12. 2021 Equa bank a.s.)"},
    {"6200", "COMMERZBANK Aktiengesellschaft, pobočka Praha"},
    {"6210", "mBank S.A., organizační složka"},
    {"6300", "BNP Paribas S.A., pobočka Česká republika"},
    {"6700", "Všeobecná úverová banka a.s., pobočka Praha"},
    {"6800", "Sberbank CZ, a.s. v likvidaci"},
    {"7910", "Deutsche Bank Aktiengesellschaft Filiale Prag, organizační složka"},
    {"7950", "Raiffeisen stavební spořitelna a.s."},
    {"7960", "ČSOB Stavební spořitelna, a.s."},
    {"7970", "MONETA Stavební Spořitelna, a.s."},
    {"7990", "Modrá pyramida stavební spořitelna, a.s."},
    {"8030", "Volksbank Raiffeisenbank Nordoberpfalz eG pobočka Cheb"},
    {"8040", "Oberbank AG pobočka Česká republika"},
    {"8060", "Stavební spořitelna České spořitelny, a.s."},
    {"8090", "Česká exportní banka, a.s."},
    {"8150", "HSBC Continental Europe, Czech Republic"},
    {"8190", "Sparkasse Oberlausitz-Niederschlesien"},
    {"8198", "FAS finance company s.r.o."},
    {"8199", "MoneyPolo Europe s.r.o."},
    {"8200", "PRIVAT BANK der Raiffeisenlandesbank Oberösterreich Aktiengesellschaft, pobočka "
             "Česká republika"},
    {"8220", "Payment execution s.r.o."},
    {"8230", "ABAPAY s.r.o."},
    {"8240", "Družstevní záložna Kredit, v likvidaci"},
    {"8250", "Bank of China (CEE) Ltd. Prague Branch"},
    {"8255", "Bank of Communications Co., Ltd., Prague Branch odštěpný závod"},
    {"8265", "Industrial and Commercial Bank of China Limited, Prague Branch, odštěpný závod"},
    {"8270", "Fairplay Pay s.r.o."},
    {"8280", "B-Efekt a.s."},
    {"8293", "Mercurius partners s.r.o."},
    {"8299", "BESTPAY s.r.o."},
    {"8500", "Ferratum Bank plc"},
});

static_assert(std::is_sorted(banks.begin(), banks.end(),
                             [](const Bank &a, const Bank &b) { return a.code < b.code; }));

const Bank *find(const QString &code) {
    const QByteArray key = code.toLatin1();
    const std::string_view wanted(key.constData(), size_t(key.size()));
    const auto it =
        std::lower_bound(banks.begin(), banks.end(), wanted,
                         [](const Bank &bank, std::string_view c) { return bank.code < c; });
    return it != banks.end() && it->code == wanted ? &*it : nullptr;
}

} // namespace

QString bankName(const QString &code) {
    const Bank *bank = find(digits::withoutBlanks(code));
    return bank ? QString::fromUtf8(bank->name) : QString();
}

Verdict checkBankCode(const QString &text) {
    const QString code = digits::withoutBlanks(text);
    if (code.isEmpty())
        return Verdict::invalid(QStringLiteral("není vyplněn"));
    if (code.size() != 4 || !digits::allDigits(code))
        return Verdict::invalid(QStringLiteral("musí mít 4 číslice"));
    if (!find(code))
        return Verdict::invalid(QStringLiteral("není v seznamu kódů bank ČNB"));
    return Verdict::valid(code);
}

} // namespace czech
