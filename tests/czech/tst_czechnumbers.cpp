// The Czech number checks against real numbers and against check digits the
// test works out itself (with the rules written out longhand), so a wrong
// weight, a wrong modulus or an off-by-one in the padding shows up.
#include "czech/BankAccount.h"
#include "czech/BankCodes.h"
#include "czech/Birthday.h"
#include "czech/Ico.h"

#include <QTest>

namespace {

// The IČO check digit as the rule is usually written: r = weighted sum mod 11,
// r = 0 → 1, r = 1 → 0, otherwise 11 − r.
int icoCheckDigit(const QString &sevenDigits) {
    int sum = 0;
    const int weights[] = {8, 7, 6, 5, 4, 3, 2};
    for (int i = 0; i < 7; ++i)
        sum += sevenDigits[i].digitValue() * weights[i];
    const int r = sum % 11;
    return r == 0 ? 1 : r == 1 ? 0 : 11 - r;
}

// The last digit (weight 1) that makes a padded account part divisible by 11,
// or -1 when it would have to be 10.
int accountLastDigit(const QString &digitsBeforeLast, int width) {
    const int weights[] = {6, 3, 7, 9, 10, 5, 8, 4, 2, 1};
    const QString padded = digitsBeforeLast.rightJustified(width - 1, QLatin1Char('0'));
    int sum = 0;
    for (int i = 0; i < padded.size(); ++i)
        sum += padded[i].digitValue() * weights[10 - width + i];
    const int last = (11 - sum % 11) % 11;
    return last == 10 ? -1 : last;
}

// Whether an IBAN passes the ISO 13616 validation: the first four characters
// moved to the end, letters as 10..35, the number mod 97 equal to 1. Worked
// in chunks of nine digits, differently from how the library builds it.
bool ibanValidates(const QString &iban) {
    QString numeric;
    for (const QChar c : iban.mid(4) + iban.left(4))
        numeric += c.isLetter() ? QString::number(c.toLatin1() - 'A' + 10) : QString(c);
    qint64 rest = 0;
    for (qsizetype i = 0; i < numeric.size(); i += 9)
        rest = (QString::number(rest) + numeric.mid(i, 9)).toLongLong() % 97;
    return rest == 1;
}

// One row of QString cells, in the order of the columns.
template <typename... Cells> void row(const char *name, const Cells &...cells) {
    QTestData &data = QTest::newRow(name);
    ((data << QString(cells)), ...);
}

} // namespace

class TestCzechNumbers : public QObject {
    Q_OBJECT

  private slots:
    void ico_data();
    void ico();
    void dic_data();
    void dic();
    void account_data();
    void account();
    void bankCodes_data();
    void bankCodes();
    void iban_data();
    void iban();
    void birthday_data();
    void birthday();
};

// Columns: what is typed, the normalised value when valid (empty: invalid).
void TestCzechNumbers::ico_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("normalised");

    for (const char *real : {"45274649", "00177041", "45317054", "45244782", "26168685", "00064581",
                             "47114983", "00006947", "27082440", "49240901"})
        QTest::addRow("real %s", real) << QString::fromLatin1(real) << QString::fromLatin1(real);

    // Every base gets its one right check digit; the nine others are refused.
    for (const char *base : {"1234567", "0000000", "2559664", "9999999", "0017704", "6019333"}) {
        const QString seven = QString::fromLatin1(base);
        const int right = icoCheckDigit(seven);
        for (int d = 0; d <= 9; ++d) {
            const QString number = seven + QString::number(d);
            QTest::addRow("%s", qPrintable(number)) << number << (d == right ? number : QString());
        }
    }

    row("short, leading zeros", "177041", "00177041");
    row("two digits", "19", "00000019");
    row("blanks", " 452 74 649 ", "45274649");
    row("nine digits", "045274649", "");
    row("letter", "4527464A", "");
    row("dash", "45-274649", "");
    row("other script's digits", QString::fromUtf8("٤٥٢٧٤٦٤٩"), "");
    row("empty", "", "");
    row("blank", "   ", "");
}

void TestCzechNumbers::ico() {
    QFETCH(QString, input);
    QFETCH(QString, normalised);
    const czech::Verdict verdict = czech::checkIco(input);
    QCOMPARE(verdict.isValid(), !normalised.isEmpty());
    QCOMPARE(verdict.value, normalised);
    QCOMPARE(verdict.reason.isEmpty(), verdict.isValid());
}

// Columns: the DIČ, the company's IČO, the normalised DIČ when valid, and
// when invalid a word its reason must contain.
void TestCzechNumbers::dic_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("ico");
    QTest::addColumn<QString>("normalised");
    QTest::addColumn<QString>("reasonHas");

    row("company", "CZ45274649", "", "CZ45274649", "");
    row("lower case cz", "cz45274649", "", "CZ45274649", "");
    row("blanks", " CZ 452 74 649", "", "CZ45274649", "");
    row("equal to IČO", "CZ45274649", "45274649", "CZ45274649", "");
    row("IČO typed short", "CZ00177041", "177041", "CZ00177041", "");
    row("other IČO", "CZ45274649", "00177041", "", "00177041");
    row("invalid IČO not compared", "CZ45274649", "12345678", "CZ45274649", "");
    row("8 digits, bad check", "CZ45274648", "", "", "kontrolní");
    row("9 digits", "CZ123456789", "45274649", "CZ123456789", "");
    row("10 digits", "CZ8001011234", "45274649", "CZ8001011234", "");
    row("7 digits", "CZ4527464", "", "", "8 až 10");
    row("11 digits", "CZ80010112345", "", "", "8 až 10");
    row("letter in digits", "CZ4527464A", "", "", "8 až 10");
    row("no CZ", "45274649", "45274649", "", "CZ");
    row("other country", "SK2020317068", "", "", "CZ");
    row("CZ alone", "CZ", "", "", "8 až 10");
    row("empty", "", "", "", "vyplněno");
}

void TestCzechNumbers::dic() {
    QFETCH(QString, input);
    QFETCH(QString, ico);
    QFETCH(QString, normalised);
    QFETCH(QString, reasonHas);
    const czech::Verdict verdict = czech::checkDic(input, ico);
    QCOMPARE(verdict.value, normalised);
    QCOMPARE(verdict.isValid(), !normalised.isEmpty());
    QVERIFY2(verdict.reason.contains(reasonHas), qPrintable(verdict.reason));
}

// Columns: the account as typed, its normalised form when valid, and when
// invalid a word its reason must contain.
void TestCzechNumbers::account_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("normalised");
    QTest::addColumn<QString>("reasonHas");

    row("prefix and number", "19-2000145399", "19-2000145399", "");
    row("number only", "123457", "123457", "");
    row("padded by hand", "000019-0000123457", "19-123457", "");
    row("zero prefix", "0-123457", "123457", "");
    row("blanks", " 19 - 2000145399 ", "19-2000145399", "");
    row("number wrong", "19-2000145398", "", "čísla účtu");
    row("prefix wrong", "18-2000145399", "", "předčíslí");
    row("digits swapped", "132457", "", "čísla účtu");
    row("prefix of 7", "1000019-123457", "", "6 číslic");
    row("number of 11", "12345678903", "", "2 až 10");
    row("one digit", "0", "", "2 až 10");
    row("one significant digit", "00", "", "2 až 10");
    row("dash, no prefix", "-123457", "", "tvar");
    row("prefix, no number", "19-", "", "2 až 10");
    row("two dashes", "19--123457", "", "tvar");
    row("with code", "19-123457/0800", "", "tvar");
    row("letter", "12a457", "", "tvar");
    row("empty", "", "", "vyplněno");

    // Each position of the ten weights: the number 1234567890 with its last
    // digit replaced, and the prefix 12345x.
    const int numberLast = accountLastDigit(QStringLiteral("123456789"), 10);
    const int prefixLast = accountLastDigit(QStringLiteral("12345"), 6);
    QVERIFY(numberLast >= 0 && prefixLast >= 0);
    for (int d = 0; d <= 9; ++d) {
        const QString number = QStringLiteral("123456789") + QString::number(d);
        const QString prefix = QStringLiteral("12345") + QString::number(d);
        QTest::addRow("number %s", qPrintable(number))
            << number << (d == numberLast ? number : QString())
            << (d == numberLast ? QString() : QStringLiteral("čísla účtu"));
        QTest::addRow("prefix %s", qPrintable(prefix))
            << prefix + QStringLiteral("-123457")
            << (d == prefixLast ? prefix + QStringLiteral("-123457") : QString())
            << (d == prefixLast ? QString() : QStringLiteral("předčíslí"));
    }
    // A short number takes the last weights: 2-digit numbers where weights
    // 2 and 1 decide (x·2 + y ≡ 0 mod 11).
    row("two digits, valid", "19", "19", "");
    row("two digits, invalid", "91", "", "čísla účtu");
}

void TestCzechNumbers::account() {
    QFETCH(QString, input);
    QFETCH(QString, normalised);
    QFETCH(QString, reasonHas);
    const czech::Verdict verdict = czech::checkAccount(input);
    QCOMPARE(verdict.value, normalised);
    QCOMPARE(verdict.isValid(), !normalised.isEmpty());
    QVERIFY2(verdict.reason.contains(reasonHas), qPrintable(verdict.reason));

    // The form fills the code box from an account typed with its code.
    const czech::AccountAndCode split =
        czech::splitAccountAndCode(input + QStringLiteral(" /0800"));
    QCOMPARE(split.account, input.trimmed());
    QCOMPARE(split.code, QStringLiteral("0800"));
    if (!input.contains(QLatin1Char('/')))
        QCOMPARE(czech::splitAccountAndCode(input).code, QString());
}

// Columns: the code as typed, a word of the bank's name (empty: refused).
void TestCzechNumbers::bankCodes_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("nameHas");

    row("0100", "0100", "Komerční banka");
    row("0300", "0300", "Československá obchodní banka");
    row("0800", "0800", "Česká spořitelna");
    row("2010", "2010", "Fio banka");
    row("5500", "5500", "Raiffeisenbank");
    row("last on the list", "8500", "Bank");
    row("blanks", " 0800 ", "Česká spořitelna");
    row("unknown", "0000", "");
    row("unknown, between two", "0700", "");
    row("past the end", "9999", "");
    row("three digits", "100", "");
    row("five digits", "01000", "");
    row("letter", "08a0", "");
}

void TestCzechNumbers::bankCodes() {
    QFETCH(QString, code);
    QFETCH(QString, nameHas);
    const czech::Verdict verdict = czech::checkBankCode(code);
    QCOMPARE(verdict.isValid(), !nameHas.isEmpty());
    if (verdict.isValid()) {
        QCOMPARE(verdict.value, code.trimmed());
        QVERIFY2(czech::bankName(code).contains(nameHas), qPrintable(czech::bankName(code)));
    } else {
        QVERIFY(!verdict.reason.isEmpty());
        QCOMPARE(czech::bankName(code), QString());
    }
}

// Columns: account, code, the IBAN (empty: none can be made).
void TestCzechNumbers::iban_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("expected");

    row("published example", "19-2000145399", "0800", "CZ6508000000192000145399");
    row("number only", "123457", "0100", "CZ7001000000000000123457");
    row("padded by hand", "000019-0000123457", "5500", "CZ8055000000190000123457");
    row("ten digits", "2000145399", "2010", "CZ9320100000002000145399");
    row("invalid account", "19-2000145398", "0800", "");
    row("unknown code", "19-2000145399", "0000", "");
    row("no code", "19-2000145399", "", "");
}

void TestCzechNumbers::iban() {
    QFETCH(QString, account);
    QFETCH(QString, code);
    QFETCH(QString, expected);
    const QString iban = czech::iban(account, code);
    QCOMPARE(iban, expected);
    if (iban.isEmpty())
        return;
    QVERIFY(ibanValidates(iban));
    const QString printed = czech::formatIban(iban);
    QCOMPARE(printed.size(), 29);
    for (int group = 0; group < 6; ++group) {
        QCOMPARE(printed.mid(group * 5, 4), iban.mid(group * 4, 4));
        if (group < 5)
            QCOMPARE(printed[group * 5 + 4], QLatin1Char(' '));
    }
    QCOMPARE(czech::formatIban(printed.toLower()), printed);
}

// Columns: the text, whether it is a date, day, month, year (0: none given).
void TestCzechNumbers::birthday_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isDate");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");

    QTest::newRow("7.3.1980") << "7.3.1980" << true << 7 << 3 << 1980;
    QTest::newRow("7. 3. 1980") << "7. 3. 1980" << true << 7 << 3 << 1980;
    QTest::newRow("07.03.1980") << "07.03.1980" << true << 7 << 3 << 1980;
    QTest::newRow("1980-03-07") << "1980-03-07" << true << 7 << 3 << 1980;
    QTest::newRow("7.3.") << "7.3." << true << 7 << 3 << 0;
    QTest::newRow("7. 3.") << "7. 3." << true << 7 << 3 << 0;
    QTest::newRow("blanks around") << "  31. 12. 1999 " << true << 31 << 12 << 1999;
    QTest::newRow("29. 2.") << "29. 2." << true << 29 << 2 << 0;
    QTest::newRow("29.2.1980, leap") << "29.2.1980" << true << 29 << 2 << 1980;
    QTest::newRow("29.2.2000, leap") << "29.2.2000" << true << 29 << 2 << 2000;
    QTest::newRow("29.2.1900, not leap") << "29.2.1900" << false << 0 << 0 << 0;
    QTest::newRow("29.2.1981") << "29.2.1981" << false << 0 << 0 << 0;
    QTest::newRow("30. 2.") << "30. 2." << false << 0 << 0 << 0;
    QTest::newRow("31.4.") << "31.4." << false << 0 << 0 << 0;
    QTest::newRow("31.4.1980") << "31.4.1980" << false << 0 << 0 << 0;
    QTest::newRow("1980-04-31") << "1980-04-31" << false << 0 << 0 << 0;
    QTest::newRow("0.3.") << "0.3." << false << 0 << 0 << 0;
    QTest::newRow("7.0.") << "7.0." << false << 0 << 0 << 0;
    QTest::newRow("7.13.1980") << "7.13.1980" << false << 0 << 0 << 0;
    QTest::newRow("year 0000") << "7.3.0000" << false << 0 << 0 << 0;
    QTest::newRow("two-digit year") << "7.3.80" << false << 0 << 0 << 0;
    QTest::newRow("slashes") << "7/3/1980" << false << 0 << 0 << 0;
    QTest::newRow("words") << "v březnu" << false << 0 << 0 << 0;
    QTest::newRow("day alone") << "7." << false << 0 << 0 << 0;
    QTest::newRow("empty") << "" << false << 0 << 0 << 0;
}

void TestCzechNumbers::birthday() {
    QFETCH(QString, text);
    QFETCH(bool, isDate);
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, year);
    const std::optional<czech::Birthday> date = czech::parseBirthday(text);
    QCOMPARE(date.has_value(), isDate);
    if (!date)
        return;
    QCOMPARE(*date, (czech::Birthday{day, month, year}));
    const QString short_ = czech::dayMonthText(day, month);
    QCOMPARE(short_, QStringLiteral("%1. %2.").arg(day).arg(month));
    QCOMPARE(czech::parseBirthday(short_), (czech::Birthday{day, month, 0}));
}

QTEST_APPLESS_MAIN(TestCzechNumbers)
#include "tst_czechnumbers.moc"
