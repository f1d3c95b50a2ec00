// The vCard reader and writer on cards as phone and mail programs write
// them, on damaged and hostile input, and on their own output.
#include "Samples.h"
#include "io/ContactFiles.h"
#include "io/Limits.h"
#include "io/VCardContacts.h"

#include <QBuffer>
#include <QTest>

using io::Entry;

namespace {

QList<Entry> readSample(const QString &name) {
    const io::VCardParseResult parsed = io::parseVCards(sampleBytes(name));
    if (!parsed.errors.isEmpty())
        qWarning() << parsed.errors;
    return parsed.errors.isEmpty() ? io::entriesFromVCards(parsed.cards) : QList<Entry>();
}

/// A sample as an import reads it: any file form, any character set.
QList<Entry> decodeSample(const QString &name) {
    const io::DecodedFile file = io::decodeFile(sampleBytes(name));
    if (!file.errors.isEmpty())
        qWarning() << file.errors;
    return file.entries;
}

Entry fullEntry() {
    Entry e;
    for (const io::Column &c : io::contactColumns())
        e.contact[c.name] = c.label + QStringLiteral(" Příliš žluťoučký kůň, úpěl; ďábelské\\ódy");
    e.contact[QStringLiteral("NAROZENINY")] = QStringLiteral("14.3.1961");
    e.contact[QStringLiteral("POZNAMKA")] =
        QStringLiteral("první řádek\nsecond line\n\ntřetí po prázdném");
    e.contact[QStringLiteral("POZNAMKA_KSPOJ")] =
        QString(300, QChar(0x17E)); // ž: a line folded many times
    for (const io::Column &c : io::companyColumns())
        e.company[c.name] = QStringLiteral("F ") + c.label + QStringLiteral(", a; b");
    e.photo = sampleBytes(QStringLiteral("photo.jpg"));
    return e;
}

} // namespace

class TestVCard : public QObject {
    Q_OBJECT

  private slots:
    void samplesGiveTheirValues_data() {
        addSampleValueColumns();
        const auto row = addSampleValue;
        // Outlook: version 2.1, Windows-1250 in quoted-printable, bare parameters, soft line
        // breaks.
        row("outlook-2.1.vcf", 0, "PRIJMENI", u"Dvořák"_qs);
        row("outlook-2.1.vcf", 0, "JMENO", u"Jiří"_qs);
        row("outlook-2.1.vcf", 0, "TITUL_PRED", u"Ing."_qs);
        row("outlook-2.1.vcf", 0, "TITUL_ZA", u"CSc."_qs);
        row("outlook-2.1.vcf", 0, "NAZEV_FIRMA", u"Strojírny Žďár a.s."_qs);
        row("outlook-2.1.vcf", 0, "POPIS", u"Obchodní oddělení"_qs);
        row("outlook-2.1.vcf", 0, "POZICE", u"Vedoucí prodeje"_qs);
        row("outlook-2.1.vcf", 0, "TELEFON1", u"+420 566 111 222"_qs);
        row("outlook-2.1.vcf", 0, "TELEFON2", u"+420 566 333 444"_qs);
        row("outlook-2.1.vcf", 0, "MOBIL", u"+420 603 123 456"_qs);
        row("outlook-2.1.vcf", 0, "FAX", u"+420 566 111 299"_qs);
        row("outlook-2.1.vcf", 0, "EMAIL1", u"jiri.dvorak@zdas.example.cz"_qs);
        row("outlook-2.1.vcf", 0, "EMAIL2", u"dvorak@seznam.example.cz"_qs);
        row("outlook-2.1.vcf", 0, "ADRESA", u"Strojírenská 12\nareál B"_qs);
        row("outlook-2.1.vcf", 0, "OBEC", u"Žďár nad Sázavou"_qs);
        row("outlook-2.1.vcf", 0, "ADRESA_FS", u"Strojírenská 12\nareál B"_qs);
        row("outlook-2.1.vcf", 0, "POZNAMKA", u"První řádek poznámky\ndruhý řádek"_qs);
        row("outlook-2.1.vcf", 0, "NAROZENINY", u"12.4.1965"_qs);
        // Apple: grouped properties with labels, repeated type parameters, a company card.
        row("apple-3.0.vcf", 0, "PRIJMENI", u"Nováková"_qs);
        row("apple-3.0.vcf", 0, "TITUL_PRED", u"MUDr."_qs);
        row("apple-3.0.vcf", 0, "NAZEV_FIRMA", u"Poliklinika Háje"_qs);
        row("apple-3.0.vcf", 0, "POPIS", QString());
        row("apple-3.0.vcf", 0, "EMAIL1", u"eliska@poliklinika.example.cz"_qs);
        row("apple-3.0.vcf", 0, "MOBIL", u"+420 777 888 999"_qs);
        row("apple-3.0.vcf", 0, "TELEFON1", u"+420 272 000 111"_qs);
        row("apple-3.0.vcf", 0, "FAX", u"+420 272 000 112"_qs);
        row("apple-3.0.vcf", 0, "SKYPE", u"eliska.novakova"_qs);
        row("apple-3.0.vcf", 0, "OBEC", u"Praha 4"_qs);
        row("apple-3.0.vcf", 0, "NAROZENINY", u"2.11.1979"_qs);
        row("apple-3.0.vcf", 0, "POZNAMKA",
            u"Ordinuje v úterý a ve čtvrtek\nJinak na tel. 272 000 113"_qs);
        row("apple-3.0.vcf", 1, "NAZEV_FIRMA", u"Lékárna U Anděla"_qs);
        row("apple-3.0.vcf", 1, "PRIJMENI", QString());
        row("apple-3.0.vcf", 1, "FIRMA.TELEFON1",
            u"+420 257 000 000"_qs); // a company card's number is the company's
        // Google: more values than columns, a photo link, a birthday without a year, escaped text.
        row("google-3.0.vcf", 0, "EMAIL1", u"petr.svoboda@firma.example.com"_qs);
        row("google-3.0.vcf", 0, "EMAIL2", u"psvoboda@example.net"_qs);
        row("google-3.0.vcf", 0, "TELEFON1", u"541 000 222"_qs);
        row("google-3.0.vcf", 0, "TELEFON2", u"541 999 888"_qs);
        row("google-3.0.vcf", 0, "POZNAMKA_KSPOJ",
            u"E-mail: svoboda.p@example.org\nTelefon: 541 777 666\n"
            "Fotografie: https://lh3.googleusercontent.com/contacts/ABC123"_qs);
        row("google-3.0.vcf", 0, "NAZEV_FIRMA", u"Svoboda & syn, s.r.o."_qs);
        row("google-3.0.vcf", 0, "OBEC", u"Brno, Jihomoravský kraj"_qs);
        row("google-3.0.vcf", 0, "NAROZENINY", u"15.8."_qs);
        row("google-3.0.vcf", 0, "WWW", u"https://svoboda.example.com"_qs);
        row("google-3.0.vcf", 1, "MOBIL", u"+420 608 555 444"_qs);
        row("google-3.0.vcf", 1, "NAZEV_FIRMA", QString());
        // Thunderbird: version 4.0, preference, tel: links, escaped separators.
        row("thunderbird-4.0.vcf", 0, "EMAIL1", u"tomas.cerny@example.cz"_qs);
        row("thunderbird-4.0.vcf", 0, "MOBIL", u"+420-606-111-222"_qs);
        row("thunderbird-4.0.vcf", 0, "FAX", u"+420 222 333 445"_qs);
        row("thunderbird-4.0.vcf", 0, "NAROZENINY", u"29.2.1980"_qs);
        row("thunderbird-4.0.vcf", 0, "POPIS", u"Poradenství"_qs);
        row("thunderbird-4.0.vcf", 0, "POZNAMKA",
            u"Řádek jedna\nŘádek dva, s čárkou; a středníkem"_qs);
        row("thunderbird-4.0.vcf", 0, "ADRESA_FS", QString());
        // Evolution: line feeds only, folding with a tab, quoted parameter values.
        row("evolution-3.0.vcf", 0, "TITUL_PRED", u"Bc."_qs);
        row("evolution-3.0.vcf", 0, "SKYPE", u"martin.horak.stavby"_qs);
        row("evolution-3.0.vcf", 0, "ICQ", u"123456789"_qs);
        row("evolution-3.0.vcf", 0, "POZNAMKA",
            u"Poznámka s dlouhým textem, který Evolution zalomí na několik řádků tabulátorem."_qs);
        row("evolution-3.0.vcf", 0, "ADRESA", u"Dlouhá 5"_qs);
        row("evolution-3.0.vcf", 0, "OBEC_FS", u"Olomouc"_qs);
        // KAddressBook: department, middle name, role and title, messengers.
        row("kaddressbook-3.0.vcf", 0, "JMENO", u"Ludmila Marie"_qs);
        row("kaddressbook-3.0.vcf", 0, "TITUL_ZA", u"Ph.D."_qs);
        row("kaddressbook-3.0.vcf", 0, "POPIS", u"Katedra informatiky"_qs);
        row("kaddressbook-3.0.vcf", 0, "POZICE", u"Vedoucí katedry, docentka"_qs);
        row("kaddressbook-3.0.vcf", 0, "SKYPE", u"lida.kralova"_qs);
        row("kaddressbook-3.0.vcf", 0, "DALSI1", u"ludmila@jabber.example.cz"_qs);
    }
    void samplesGiveTheirValues() { checkSampleValue(readSample); }

    // Phone exports and their habits, in samples written to the format's rules.
    void phoneFilesAreReadAsTheirWritersMeanThem_data() {
        addSampleValueColumns();
        const auto row = addSampleValue;
        // Version 2.1: quoted-printable with soft breaks (one inside a letter, one
        // before a blank), two ORG lines, a photo continued without blanks.
        row("phone-2.1.vcf", 0, "PRIJMENI", u"Černá"_qs);
        row("phone-2.1.vcf", 0, "JMENO", u"Zdeňka Marie"_qs);
        row("phone-2.1.vcf", 0, "TITUL_PRED", u"Mgr."_qs);
        row("phone-2.1.vcf", 0, "NAZEV_FIRMA", u"Účetní kancelář Šťastný s.r.o."_qs);
        row("phone-2.1.vcf", 0, "POPIS", u"Mzdy"_qs);
        row("phone-2.1.vcf", 0, "POZNAMKA",
            u"Volat po 14. hodině, v pátek jen e-mail. Dlouhá poznámka přes více řádků."_qs);
        row("phone-2.1.vcf", 0, "POZNAMKA_KSPOJ", u"Další firma: Sportovni klub Jiskra"_qs);
        row("phone-2.1.vcf", 0, "MOBIL", u"+420 777 123 456"_qs);
        row("phone-2.1.vcf", 0, "EMAIL1", u"zdenka.cerna@ucetni.example.cz"_qs);
        // The ORG marked preferred is the company; a photo that is not base64 costs only the photo.
        row("phone-2.1.vcf", 1, "NAZEV_FIRMA", u"Mestske sady Tabor"_qs);
        row("phone-2.1.vcf", 1, "POPIS", u"Udrzba"_qs);
        row("phone-2.1.vcf", 1, "POZNAMKA_KSPOJ", u"Další firma: Zahradnictvi Vrba"_qs);
        row("phone-2.1.vcf", 1, "TELEFON1", u"381 000 111"_qs);
        row("phone-2.1.vcf", 2, "PRIJMENI", u"Kříž"_qs); // its photo is a ZIP file
        // Every line ends in CR CR LF: no CR is left in any value.
        row("crcrlf-3.0.vcf", 0, "EMAIL1", u"john.doe@ibm.com"_qs);
        row("crcrlf-3.0.vcf", 0, "NAZEV_FIRMA", u"IBM"_qs);
        row("crcrlf-3.0.vcf", 0, "MOBIL", u"+1 555 0100"_qs);
        row("crcrlf-3.0.vcf", 0, "POZNAMKA", u"first line\nsecond line"_qs);
        // UTF-16 with its byte-order mark, and a CSV whose lines end in a lone CR.
        row("utf16le.vcf", 0, "PRIJMENI", u"Šimková"_qs);
        row("utf16le.vcf", 0, "NAZEV_FIRMA", u"Pekařství U Šimků"_qs);
        row("utf16le.vcf", 1, "EMAIL1", u"tomas.zak@example.cz"_qs);
        row("cr-only.csv", 0, "PRIJMENI", u"Beneš"_qs);
        row("cr-only.csv", 0, "POZNAMKA", u"pila u lesa, za mostem"_qs);
        row("cr-only.csv", 1, "EMAIL1", u"ivana@example.cz"_qs);
    }
    void phoneFilesAreReadAsTheirWritersMeanThem() { checkSampleValue(decodeSample); }

    void aPropertyThatCannotBeReadCostsOnlyItself() {
        const QList<Entry> phone = decodeSample(QStringLiteral("phone-2.1.vcf"));
        QCOMPARE(phone.size(), 3);
        QCOMPARE(phone[0].photo, sampleBytes(QStringLiteral("photo.jpg")));
        QCOMPARE(phone[0].warnings, QStringList());
        QVERIFY(phone[1].photo.isEmpty() && phone[2].photo.isEmpty());
        QCOMPARE(phone[1].warnings,
                 QStringList{u"řádek 28: PHOTO nemá platná data base64, vynecháno"_qs});
        QCOMPARE(phone[2].warnings, QStringList{u"řádek 36: PHOTO není obrázek, vynecháno"_qs});
        QCOMPARE(decodeSample(QStringLiteral("utf16le.vcf")).size(), 2);
        QCOMPARE(decodeSample(QStringLiteral("cr-only.csv")).size(), 2);

        // Each of these costs its line only; the card and the file stay.
        const QByteArray head = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nov\xC3\xA1k;Jan;;;\r\n";
        const std::pair<QByteArray, QString> lines[] = {
            {"PHOTO:data:image/jpeg;base64,@@@@",
             u"řádek 4: PHOTO nemá platná data base64, vynecháno"_qs},
            {"NOTE;ENCODING=QUOTED-PRINTABLE:50=ZZ",
             u"řádek 4: NOTE nemá platné kódování quoted-printable, vynecháno"_qs},
            {"FN;CHARSET=X-MARTIAN:abc",
             u"řádek 4: FN: neznámá znaková sada X-MARTIAN, vynecháno"_qs},
            {"ORG;CHARSET=UTF-8:\xE1", u"řádek 4: ORG: text není platné UTF-8, vynecháno"_qs},
            {"this is no property", u"řádek 4: chybí dvojtečka, řádek není vlastnost vCard"_qs}};
        for (const auto &[line, warning] : lines) {
            const io::DecodedFile file =
                io::decodeFile(head + line + "\r\nEMAIL:jan@example.cz\r\nEND:VCARD\r\n");
            QCOMPARE(file.errors, QStringList());
            QCOMPARE(file.entries.size(), 1);
            QVERIFY2(file.entries[0].warnings == QStringList{warning}, line.constData());
            QCOMPARE(file.entries[0].contact.value(QStringLiteral("EMAIL1")), u"jan@example.cz"_qs);
        }
        // A file that gives nothing says why.
        QCOMPARE(io::decodeFile(u"Jméno,Příjmení\r\n"_qs.toUtf8()).errors,
                 QStringList{u"soubor neobsahuje žádný kontakt, jen řádek se záhlavím"_qs});
    }

    void photosArriveByteForByte_data() {
        QTest::addColumn<QString>("file");
        for (const char *file : {"outlook-2.1.vcf", "apple-3.0.vcf", "thunderbird-4.0.vcf",
                                 "evolution-3.0.vcf", "kaddressbook-3.0.vcf"})
            QTest::newRow(file) << QString::fromLatin1(file);
    }
    void photosArriveByteForByte() {
        QFETCH(QString, file);
        const QList<Entry> entries = readSample(file);
        QVERIFY(!entries.isEmpty());
        QCOMPARE(entries.first().photo, sampleBytes(QStringLiteral("photo.jpg")));
    }

    void cardsAreCountedAndKinded() {
        QCOMPARE(readSample(QStringLiteral("google-3.0.vcf")).size(), 2);
        const QList<Entry> apple = readSample(QStringLiteral("apple-3.0.vcf"));
        QCOMPARE(apple.size(), 2);
        QVERIFY(!apple[0].companyOnly);
        QVERIFY(apple[1].companyOnly);
        QVERIFY(apple[1].contact.isEmpty());
    }

    void declaredCharsetsAreHonoured_data() {
        QTest::addColumn<QByteArray>("property");
        QTest::newRow("UTF-8 by default") << QByteArray("N:\xC5\xA0\xC5\xA5"
                                                        "astn\xC3\xBD;Zden\xC4\x9Bk");
        QTest::newRow("Windows-1250") << QByteArray("N;CHARSET=windows-1250:\x8A\x9D"
                                                    "astn\xFD;Zden\xECk");
        QTest::newRow("ISO-8859-2 in quoted-printable")
            << QByteArray("N;CHARSET=ISO-8859-2;ENCODING=QUOTED-PRINTABLE:=A9=BB"
                          "astn=FD;Zden=ECk");
        QTest::newRow("Windows-1250 without CHARSET, as older phones write it")
            << QByteArray("N:\x8A\x9D"
                          "astn\xFD;Zden\xECk");
        QTest::newRow("UTF-8 in quoted-printable, version 2.1 bare parameter")
            << QByteArray("N;CHARSET=UTF-8;QUOTED-PRINTABLE:=C5=A0=C5=A5astn=C3=BD;Zden=C4=9Bk");
    }
    void declaredCharsetsAreHonoured() {
        QFETCH(QByteArray, property);
        const io::VCardParseResult parsed =
            io::parseVCards("BEGIN:VCARD\r\nVERSION:2.1\r\n" + property + "\r\nEND:VCARD\r\n");
        QCOMPARE(parsed.errors, QStringList());
        const QList<Entry> entries = io::entriesFromVCards(parsed.cards);
        QCOMPARE(entries.value(0).contact.value(QStringLiteral("PRIJMENI")), u"Šťastný"_qs);
        QCOMPARE(entries.value(0).contact.value(QStringLiteral("JMENO")), u"Zdeněk"_qs);
    }

    void damagedInputIsReported_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QByteArray head = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nov\xC3\xA1k;Jan;;;\r\n";
        QTest::newRow("empty") << QByteArray() << u"žádnou vizitku"_qs;
        QTest::newRow("not a vCard")
            << QByteArray("Jméno,Příjmení\r\nJan,Novák\r\n") << u"řádek 1: chybí dvojtečka"_qs;
        QTest::newRow("no END") << head + "FN:Jan Novák\r\n" << u"řádek 1: vizitka nemá konec"_qs;
        QTest::newRow("soft break at the end") << head + "NOTE;ENCODING=QUOTED-PRINTABLE:abc="
                                               << u"soubor končí uprostřed zalomené hodnoty"_qs;
        QTest::newRow("soft break eats END")
            << head + "NOTE;ENCODING=QUOTED-PRINTABLE:abc=\r\nEND:VCARD\r\n"
            << u"vizitka nemá konec"_qs;
        QTest::newRow("bad base64 and no END")
            << head + "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQ*&^%$\r\n"
            << u"řádek 1: vizitka nemá konec"_qs;
        QTest::newRow("base64 continued into the next card")
            << head + "PHOTO;ENCODING=BASE64:AAAA\r\nAAAA\r\nBEGIN:VCARD\r\n"
            << u"řádek 6: nová vizitka"_qs;
        QTest::newRow("unknown version")
            << QByteArray("BEGIN:VCARD\r\nVERSION:5.0\r\nFN:x\r\nEND:VCARD\r\n")
            << u"nepodporovaná verze vCard 5.0"_qs;
        QTest::newRow("no version")
            << QByteArray("BEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\n") << u"neuvádí verzi"_qs;
        QTest::newRow("card inside a card") << head + "BEGIN:VCARD\r\nEND:VCARD\r\n"
                                            << u"řádek 4: nová vizitka"_qs;
        QTest::newRow("text outside a card") << QByteArray("FN:Jan\r\n") << u"mimo vizitku"_qs;
    }
    void damagedInputIsReported() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const io::VCardParseResult result = io::parseVCards(bytes);
        QVERIFY2(result.errors.join(u'|').contains(error), qPrintable(result.errors.join(u'|')));
    }

    // A file read a few bytes at a time gives what the whole file gives: the
    // same entries, or the same errors with the same lines; the pieces end
    // only where no folded, soft-broken, continued or quoted value goes on.
    void aFileReadInPiecesReadsAsAWhole_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray card = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Nov\xC3\xA1k;Jan\r\n";
        for (const char *name :
             {"apple-3.0.vcf", "crcrlf-3.0.vcf", "evolution-3.0.vcf", "google-3.0.vcf",
              "kaddressbook-3.0.vcf", "outlook-2.1.vcf", "phone-2.1.vcf", "thunderbird-4.0.vcf",
              "utf16le.vcf", "cr-only.csv", "excel-cz.csv", "google.csv", "outlook.csv",
              "thunderbird.csv"})
            QTest::newRow(name) << sampleBytes(QString::fromLatin1(name));
        QTest::newRow("soft break eats END")
            << card + "NOTE;ENCODING=QUOTED-PRINTABLE:abc=\r\nEND:VCARD\r\n" + card +
                   "END:VCARD\r\n";
        QTest::newRow("soft break eats BEGIN")
            << card + "NOTE;ENCODING=QUOTED-PRINTABLE:abc=\r\n" + card + "END:VCARD\r\n";
        QTest::newRow("folded END, blank lines, base64 run on")
            << card + "PHOTO;ENCODING=BASE64:AAAA\r\nAAAA\r\n\r\nEND:VCARD\r\n\r\n\r\n" + card +
                   "END:VCARD\r\n END\r\n" + card + "end:vcard\n" + card + "END:VCARD\r\n";
        QTest::newRow("CSV quotes over lines")
            << QByteArray("Jméno;Příjmení;Poznámka\r\nJan;\"No\"\"vák\";\"a\r\nb;\"\"\r\n\"\r\n"
                          "Eva;Dvo\"řák;x\rPetr;\"\";\"\n\n\"\r\r\nIva;Malá;\"open\r\n");
        QTest::newRow("CSV in Windows-1250 late") << QByteArray("Jméno,Příjmení\n") +
                                                         QByteArray("Jan,Novák\n").repeated(40) +
                                                         "Eva,Dvo\xF8\xE1k\n";
        QTest::newRow("CSV header with a stray quote")
            << QByteArray("Jméno,Pří\"jmení;Firma\nJan\";x;y;z\rEva,Malá,B\n");
        QTest::newRow("CSV ending in a cut character")
            << QByteArray("\xEF\xBB\xBFJméno,Příjmení\nJan,Nov\xEB");
        QTest::newRow("CSV files joined, a second mark inside") << QByteArray(
            "\xEF\xBB\xBFJméno,Příjmení\r\nJan,Novák\r\n\xEF\xBB\xBF\"Eva\",Malá\r\n");
    }
    void aFileReadInPiecesReadsAsAWhole() {
        QFETCH(QByteArray, bytes);
        const io::DecodedFile whole = io::decodeFile(bytes);
        for (qsizetype pieceBytes : {1, 5, 64}) {
            QBuffer buffer(&bytes);
            QVERIFY(buffer.open(QIODevice::ReadOnly));
            QList<Entry> entries;
            const QStringList errors = io::readContactFile(
                buffer, [&](Entry &&e) { entries << e; }, {}, pieceBytes);
            QCOMPARE(errors, whole.errors);
            if (errors.isEmpty())
                QCOMPARE(entries, whole.entries);
        }
    }

    void limitsAreEnforced() {
        // A file over the size limit is refused before it is looked at.
        const QByteArray huge = untouchedBytes(io::limits::kMaxFileBytes + 1);
        QCOMPARE(huge.size(), io::limits::kMaxFileBytes + 1);
        const io::VCardParseResult big = io::parseVCards(huge);
        QCOMPARE(big.errors.size(), 1);
        QVERIFY(big.errors.first().contains(u"víc než povolených 1024 MB"_qs));
        QVERIFY(big.cards.isEmpty());

        // One endless line, whether physical or made of folded pieces.
        QByteArray line = "BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE:" +
                          QByteArray(io::limits::kMaxLineBytes + 10, 'x') + "\r\nEND:VCARD\r\n";
        QVERIFY(io::parseVCards(line).errors.value(0).contains(
            u"řádek 3: řádek je delší než 16 MB"_qs));
        QByteArray folded = "BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE:";
        const QByteArray piece = "\r\n " + QByteArray(1 << 20, 'y');
        while (folded.size() <= io::limits::kMaxLineBytes + 2 * piece.size())
            folded += piece;
        QVERIFY(io::parseVCards(folded + "\r\nEND:VCARD\r\n")
                    .errors.value(0)
                    .contains(u"delší než"_qs));
    }

    void tooManyCardsAreRefused() {
        const QByteArray card = "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:x\r\nEND:VCARD\r\n";
        const io::VCardParseResult result =
            io::parseVCards(card.repeated(io::limits::kMaxRecords + 1));
        QCOMPARE(
            result.errors,
            QStringList{u"soubor má víc než 1000000 vizitek"_qs}); // counted before any is built
        QVERIFY(result.cards.isEmpty());
        // A generated file of 100,000 cards, as a large register's export, is well within the
        // limits.
        QByteArray many;
        for (int i = 0; i < 100000; ++i)
            many += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:P\xC5\x99\xC3\xADjmen\xC3\xAD" +
                    QByteArray::number(i) + ";Jan\r\nORG:Firma " + QByteArray::number(i % 997) +
                    "\r\nEMAIL:j" + QByteArray::number(i) + "@example.cz\r\nEND:VCARD\r\n";
        const io::DecodedFile file = io::decodeFile(many);
        QCOMPARE(file.errors, QStringList());
        QCOMPARE(file.entries.size(), 100000);
        QCOMPARE(file.entries.last().contact.value(QStringLiteral("PRIJMENI")),
                 u"Příjmení99999"_qs);
    }

    void writtenCardsReadBackTheSame_data() {
        QTest::addColumn<io::VCardVersion>("version");
        QTest::newRow("4.0") << io::VCardVersion::V4;
        QTest::newRow("3.0") << io::VCardVersion::V3;
    }
    void writtenCardsReadBackTheSame() {
        QFETCH(io::VCardVersion, version);
        Entry sparse; // only the second phone and e-mail: their columns must not shift
        sparse.contact[QStringLiteral("PRIJMENI")] = QStringLiteral("Řehoř");
        sparse.contact[QStringLiteral("TELEFON2")] = QStringLiteral("+420 2");
        sparse.contact[QStringLiteral("EMAIL2")] = QStringLiteral("druhy@example.cz");
        sparse.contact[QStringLiteral("NAROZENINY")] = QStringLiteral("jaro 1970");
        sparse.company[QStringLiteral("NAZEV_FIRMA")] = QStringLiteral("Firma, s.r.o.");
        sparse.company[QStringLiteral("TELEFON1")] = QStringLiteral("+420 1");
        sparse.company[QStringLiteral("ADRESA_FS")] = QStringLiteral("Sídelní 1");
        Entry company;
        company.companyOnly = true;
        company.company[QStringLiteral("NAZEV_FIRMA")] = QStringLiteral("Jen firma");
        company.company[QStringLiteral("ICO")] = QStringLiteral("12345678");
        const QList<Entry> entries{fullEntry(), sparse, company};

        const QByteArray bytes = io::writeVCards(entries, version);
        const io::VCardParseResult parsed = io::parseVCards(bytes);
        QCOMPARE(parsed.errors, QStringList());
        const QList<Entry> back = io::entriesFromVCards(parsed.cards);
        QCOMPARE(back.size(), entries.size());
        for (int i = 0; i < entries.size(); ++i) {
            QCOMPARE(back[i].contact, entries[i].contact);
            QCOMPARE(back[i].company, entries[i].company);
            QCOMPARE(back[i].photo, entries[i].photo);
            QCOMPARE(back[i].companyOnly, entries[i].companyOnly);
        }
    }

    void linesAreFoldedAt75OctetsWithinCharacters() {
        const QByteArray bytes = io::writeVCards({fullEntry()}, io::VCardVersion::V4);
        QVERIFY(bytes.endsWith("END:VCARD\r\n"));
        const QList<QByteArray> lines = bytes.split('\n');
        int folded = 0;
        for (QByteArray line : lines) {
            QVERIFY(line.isEmpty() || line.endsWith('\r'));
            line.chop(line.endsWith('\r') ? 1 : 0);
            QVERIFY2(line.size() <= 75, line.constData());
            QVERIFY2(QString::fromUtf8(line).toUtf8() == line,
                     "a line ends inside a UTF-8 sequence");
            folded += line.startsWith(' ');
        }
        QVERIFY(folded > 10);
    }

    void companyStandInsServeOtherPrograms() {
        Entry e;
        e.contact[QStringLiteral("PRIJMENI")] = QStringLiteral("Malý");
        e.contact[QStringLiteral("MOBIL")] = QStringLiteral("777");
        e.company[QStringLiteral("NAZEV_FIRMA")] = QStringLiteral("Velká");
        e.company[QStringLiteral("TELEFON1")] = QStringLiteral("111");
        e.company[QStringLiteral("MOBIL")] = QStringLiteral("999");
        e.company[QStringLiteral("OBEC_FS")] = QStringLiteral("Brno");
        const QString text = QString::fromUtf8(io::writeVCards({e}, io::VCardVersion::V3));
        QVERIFY(text.contains(u"firma.TEL;TYPE=WORK,VOICE:111\r\n"_qs));
        QVERIFY(text.contains(u"firma.ADR;TYPE=WORK:;;;Brno;;;\r\n"_qs));
        QVERIFY(!text.contains(u"firma.TEL;TYPE=WORK,CELL"_qs)); // the contact's own mobile wins
        QVERIFY(text.contains(u"ORG:Velká\r\n"_qs));
        QVERIFY(text.contains(u"N:Malý;;;;\r\n"_qs));
    }
};

QTEST_GUILESS_MAIN(TestVCard)
#include "tst_vcard.moc"
