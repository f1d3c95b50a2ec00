// The CSV reader and writer: RFC 4180 details, the Czech spreadsheet form,
// and the layouts of Google Contacts, Outlook and Thunderbird.
#include "Samples.h"
#include "base/Win1250.h"
#include "io/CsvContacts.h"
#include "io/Limits.h"

#include <QTest>

Q_DECLARE_METATYPE(io::CsvDialect)

using io::Entry;

namespace {

QList<Entry> readSample(const QString &name) {
    const io::CsvTable table = io::parseCsv(sampleBytes(name));
    const QStringList errors = table.errors;
    const QList<Entry> entries = io::entriesFromCsv(table);
    if (!errors.isEmpty())
        qWarning() << errors;
    return errors.isEmpty() ? entries : QList<Entry>();
}

} // namespace

class TestCsv : public QObject {
    Q_OBJECT

  private slots:
    void tablesAreRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("header");
        QTest::addColumn<QList<QStringList>>("rows");
        using L = QList<QStringList>;
        QTest::newRow("plain") << QByteArray("a,b\r\n1,2\r\n") << QStringList{"a", "b"}
                               << L{{"1", "2"}};
        QTest::newRow("line feeds, no final break")
            << QByteArray("a,b\n1,2") << QStringList{"a", "b"} << L{{"1", "2"}};
        QTest::newRow("quotes, doubled quotes, separators and breaks inside")
            << QByteArray("a,b\r\n\"x, \"\"y\"\"\",\"two\r\nlines\"\r\n") << QStringList{"a", "b"}
            << L{{"x, \"y\"", "two\r\nlines"}};
        QTest::newRow("short rows padded, blank lines skipped, trailing separator")
            << QByteArray("a,b,c\r\n\r\n1\r\n1,2,3,\r\n") << QStringList{"a", "b", "c"}
            << L{{"1", "", ""}, {"1", "2", "3"}};
        QTest::newRow("semicolons win when the header has more of them")
            << QByteArray("a;b;c,d\r\n1;2;3,4\r\n") << QStringList{"a", "b", "c,d"}
            << L{{"1", "2", "3,4"}};
        QTest::newRow("tabs") << QByteArray("a\tb\r\n1\t2\r\n") << QStringList{"a", "b"}
                              << L{{"1", "2"}};
        QTest::newRow("UTF-8 with a mark") << QByteArray("\xEF\xBB\xBFJm\xC3\xA9no\r\n\xC5\xBD\r\n")
                                           << QStringList{u"Jméno"_qs} << L{{u"Ž"_qs}};
        QTest::newRow("Windows-1250")
            << QByteArray("Jm\xE9no;P\xF8\xEDjmen\xED\r\n\x8E;\x9A\r\n")
            << QStringList{u"Jméno"_qs, u"Příjmení"_qs} << L{{u"Ž"_qs, u"š"_qs}};
        QTest::newRow("UTF-16 with a mark") << QByteArray("\xFF\xFE"
                                                          "a\0,\0b\0\r\0\n\0"
                                                          "1\0,\0"
                                                          "2\0",
                                                          18)
                                            << QStringList{"a", "b"} << L{{"1", "2"}};
    }
    void tablesAreRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, header);
        QFETCH(QList<QStringList>, rows);
        const io::CsvTable table = io::parseCsv(bytes);
        QCOMPARE(table.errors, QStringList());
        QCOMPARE(table.header, header);
        QCOMPARE(table.rows, rows);
    }

    void damagedTablesAreReported_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << u"soubor je prázdný"_qs;
        QTest::newRow("unclosed quote")
            << QByteArray("a,b\r\n1,\"never\r\nclosed\r\n") << u"řádek 2: uvozovky"_qs;
        QTest::newRow("too many values")
            << QByteArray("a,b\r\n1,2,3\r\n") << u"řádek 2: řádek má 3 hodnot, záhlaví jen 2"_qs;
        QTest::newRow("too many columns") << QByteArray(",").repeated(io::limits::kMaxColumns + 1)
                                          << u"řádek 1: řádek má víc než 1000 hodnot"_qs;
        QTest::newRow("huge quoted value")
            << "a\r\n\"" + QByteArray(io::limits::kMaxLineBytes + 1, 'x') + "\"\r\n"
            << u"řádek 2: hodnota je delší než 16 MB"_qs;
        QTest::newRow("too big") << untouchedBytes(io::limits::kMaxFileBytes + 1)
                                 << u"víc než povolených 1024 MB"_qs;
    }
    void damagedTablesAreReported() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const io::CsvTable table = io::parseCsv(bytes);
        QVERIFY2(table.errors.join(u'|').contains(error), qPrintable(table.errors.join(u'|')));
    }

    void samplesGiveTheirValues_data() {
        addSampleValueColumns();
        const auto row = addSampleValue;
        row("google.csv", 0, "JMENO", u"Jana"_qs);
        row("google.csv", 0, "PRIJMENI", u"Procházková"_qs);
        row("google.csv", 0, "TITUL_PRED", u"Ing."_qs);
        row("google.csv", 0, "NAZEV_FIRMA", u"Účetní kancelář Procházková, s.r.o."_qs);
        row("google.csv", 0, "POZICE", u"Účetní"_qs);
        row("google.csv", 0, "NAROZENINY", u"30.6.1975"_qs);
        row("google.csv", 0, "POZNAMKA", u"Volat dopoledne\nnejlépe v úterý"_qs);
        row("google.csv", 0, "EMAIL1", u"jana@ucetni.example.cz"_qs);
        row("google.csv", 0, "EMAIL2", u"jana.prochazkova@example.cz"_qs);
        row("google.csv", 0, "POZNAMKA_KSPOJ", u"E-mail (home): jana.p@example.net"_qs);
        row("google.csv", 0, "MOBIL", u"+420 601 234 567"_qs);
        row("google.csv", 0, "FAX", u"+420 543 210 999"_qs);
        row("google.csv", 0, "ADRESA", u"Cejl 12"_qs);
        row("google.csv", 0, "OBEC_FS", u"Brno"_qs);
        row("google.csv", 0, "WWW", u"www.ucetni.example.cz"_qs);
        row("google.csv", 1, "MOBIL", u"777 123 456"_qs);
        row("google.csv", 1, "POZNAMKA_KSPOJ", u"Nickname: Kája"_qs); // no column of its own: kept
        row("outlook.csv", 0, "TITUL_PRED", u"Mgr."_qs);
        row("outlook.csv", 0, "NAZEV_FIRMA", u"Pokorný a partneři"_qs);
        row("outlook.csv", 0, "POPIS", u"Právní"_qs);
        row("outlook.csv", 0, "POZICE", u"Advokát"_qs);
        row("outlook.csv", 0, "TELEFON1", u"+420 224 000 000"_qs);
        row("outlook.csv", 0, "FAX", u"+420 224 000 001"_qs);
        row("outlook.csv", 0, "MOBIL", u"+420 602 000 000"_qs);
        row("outlook.csv", 0, "NAROZENINY", u"1.4.1982"_qs);
        row("outlook.csv", 0, "PSC_FS", u"110 00"_qs);
        row("outlook.csv", 1, "OBEC", u"Tábor"_qs);
        row("outlook.csv", 1, "NAROZENINY", QString());
        row("outlook.csv", 1, "TELEFON1", u"+420 381 000 000"_qs);
        row("thunderbird.csv", 0, "JMENO", u"Ondřej"_qs);
        row("thunderbird.csv", 0, "NAZEV_FIRMA", u"Kučera Elektro"_qs);
        row("thunderbird.csv", 0, "POPIS", u"Servis"_qs);
        row("thunderbird.csv", 0, "NAROZENINY", u"9.7.1988"_qs);
        row("thunderbird.csv", 0, "OBEC", u"Hradec Králové"_qs);
        row("thunderbird.csv", 0, "POZNAMKA", u"Klíče u vrátného"_qs);
        row("thunderbird.csv", 0, "POZNAMKA_KSPOJ", u"Custom 1: zákazník od 2015"_qs);
        row("excel-cz.csv", 0, "PRIJMENI", u"Šťastný"_qs);
        row("excel-cz.csv", 0, "NAZEV_FIRMA", u"Řeznictví Šťastný"_qs);
        row("excel-cz.csv", 0, "EMAIL1", u"zdenek@example.cz"_qs);
    }
    void samplesGiveTheirValues() { checkSampleValue(readSample); }

    void ownFilesReadBackTheSame_data() {
        QTest::addColumn<io::CsvDialect>("dialect");
        QTest::newRow("UTF-8, commas") << io::CsvDialect::Utf8Comma;
        QTest::newRow("Windows-1250, semicolons") << io::CsvDialect::Win1250Semicolon;
    }
    void ownFilesReadBackTheSame() {
        QFETCH(io::CsvDialect, dialect);
        Entry e;
        for (const io::Column &c : io::contactColumns())
            e.contact[c.name] = c.label + QStringLiteral(" \"uvozovky\"; čárka, a\r\nřádek ");
        for (const io::Column &c : io::companyColumns())
            e.company[c.name] = QStringLiteral("Firma ") + c.label;
        e.photo = sampleBytes(QStringLiteral("photo.jpg"));
        Entry company;
        company.companyOnly = true;
        company.company[QStringLiteral("NAZEV_FIRMA")] = QStringLiteral("Jen firma");
        QByteArray bytes;
        QVERIFY(io::writeContactsCsv({e, company}, dialect, bytes));
        QVERIFY(bytes.startsWith(dialect == io::CsvDialect::Win1250Semicolon
                                     ? QByteArray("Titul p\xF8"
                                                  "ed;")
                                     : u"Titul před,"_qs.toUtf8()));
        const io::CsvTable table = io::parseCsv(bytes);
        QCOMPARE(table.errors, QStringList());
        const QList<Entry> back = io::entriesFromCsv(table);
        QCOMPARE(back.size(), 2);
        QCOMPARE(back[0].warnings, QStringList());
        QCOMPARE(back[0].contact, e.contact);
        QCOMPARE(back[0].company, e.company);
        QCOMPARE(back[0].photo, e.photo);
        QVERIFY(back[1].companyOnly);
        QCOMPARE(back[1].company, company.company);
    }

    // Files written by every earlier version carry this header; a change of
    // the column catalogue must not move or rename what they hold.
    void ownHeaderStaysAsEarlierFilesHaveIt() {
        const QString contact =
            u"Titul před|Jméno|Příjmení|Titul za|Narozeniny|Svátek|Událost|Pozice|Popis|"
            "Telefon|Telefon 2|Mobil|Fax|E-mail|E-mail 2|ICQ|Skype|Další 1|Další 2|WWW|"
            "Poznámka ke spojení|Název|Ulice (1)|Ulice (2)|Město|PSČ|Stát|Poznámka"_qs;
        QString company = u"Název firmy|Kód|Popis|Zaměření|IČO|DIČ|Číslo účtu|Kód banky|"
                          "Telefon|Telefon 2|Mobil|Fax|E-mail|E-mail 2|ICQ|Skype|Další 1|"
                          "Další 2|WWW|Poznámka ke spojení|Poznámka"_qs;
        for (const QString &address : {u"Sídlo"_qs, u"Fakturační"_qs, u"Dodací"_qs})
            for (const QString &part :
                 u"Název|Ulice (1)|Ulice (2)|Město|PSČ|Stát|Poznámka"_qs.split('|'))
                company += u"|%1 – %2"_qs.arg(address, part);
        QStringList expected = contact.split('|');
        expected << u"Fotografie"_qs << u"Firma"_qs;
        for (const QString &label : company.split('|').mid(1))
            expected << u"Firma – "_qs + label;
        expected << u"Firma – ID"_qs;
        QCOMPARE(io::ownCsvHeader(), expected);
    }

    void czechFormRefusesWhatItCannotHold() {
        QByteArray bytes;
        QString error;
        QVERIFY(!io::writeCsv({"Jméno", "Poznámka"}, {{"Jan", u"smajlík 😀"_qs}},
                              io::CsvDialect::Win1250Semicolon, bytes, &error));
        QCOMPARE(error,
                 u"řádek 2, sloupec „Poznámka“: znak „😀“ nelze zapsat ve Windows-1250"_qs.replace(
                     u"😀"_qs, QString(QChar::highSurrogate(0x1F600))));
        QVERIFY(io::writeCsv({"Jméno"}, {{u"😀"_qs}}, io::CsvDialect::Utf8Comma, bytes));
        QCOMPARE(bytes, u"Jméno\r\n😀\r\n"_qs.toUtf8());
    }

    void formulasStayTextInASpreadsheetAndComeBackUnchanged() {
        Entry e;
        const QStringList texts{u"=HYPERLINK(\"http://x\")"_qs,
                                u"+420 603 111 222"_qs,
                                u"-5"_qs,
                                u"@SUM(A1)"_qs,
                                u"\tTab"_qs,
                                u"\rCR"_qs,
                                u"'=už s apostrofem"_qs,
                                u"'obyčejný apostrof"_qs,
                                u"a=b"_qs};
        const QStringList columns{"JMENO",  "PRIJMENI", "TELEFON1", "POZNAMKA", "TITUL_PRED",
                                  "POZICE", "POPIS",    "SVATEK",   "ICQ"};
        for (int i = 0; i < texts.size(); ++i)
            e.contact[columns[i]] = texts[i];
        e.company[QStringLiteral("NAZEV_FIRMA")] = QStringLiteral("=1+1");
        QByteArray bytes;
        QVERIFY(io::writeContactsCsv({e}, io::CsvDialect::Utf8Comma, bytes));
        const QStringList cells = io::parseCsv(bytes).rows.value(0);
        QCOMPARE(cells.value(1),
                 u"'=HYPERLINK(\"http://x\")"_qs); // what a spreadsheet shows as text
        QCOMPARE(cells.value(2), u"'+420 603 111 222"_qs);
        QVERIFY(cells.contains(u"'=1+1"_qs));
        QVERIFY(cells.contains(u"''=už s apostrofem"_qs));
        QVERIFY(cells.contains(u"'obyčejný apostrof"_qs));
        QVERIFY(cells.contains(u"a=b"_qs));
        for (const QString &cell : cells)
            QVERIFY2(cell.isEmpty() || !QStringLiteral("=+-@\t\r").contains(cell[0]),
                     qPrintable(cell));
        const QList<Entry> back = io::entriesFromCsv(io::parseCsv(bytes));
        QCOMPARE(back.value(0).contact, e.contact);
        QCOMPARE(back.value(0).company, e.company);
    }

    void brokenPhotoInOwnFileCostsOnlyThePhoto() {
        const io::CsvTable table =
            io::parseCsv(u"Příjmení,Fotografie\r\nNovák,@@@\r\nVrba,UEsDBAo=\r\n"_qs.toUtf8());
        const QList<Entry> entries = io::entriesFromCsv(table);
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].contact.value(QStringLiteral("PRIJMENI")), u"Novák"_qs);
        QCOMPARE(entries[0].warnings,
                 QStringList{u"řádek 2: fotografie nemá platná data base64, vynechána"_qs});
        QCOMPARE(entries[1].warnings,
                 QStringList{u"řádek 3: fotografie není obrázek, vynechána"_qs}); // a ZIP
        QVERIFY(entries[0].photo.isEmpty() && entries[1].photo.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
