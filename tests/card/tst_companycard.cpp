// The company card composed from a real database: paragraphs, their sizes,
// the optional lines and the contacts in the order of the company query.
#include "support/DataFixture.h"

#include "print/CardDocument.h"
#include "print/CompanyCard.h"

class TestCompanyCard : public QObject {
    Q_OBJECT

    std::unique_ptr<DataFixture> f;
    print::CardDocument doc;

    QStringList compose(int companyId) {
        f->dm->tFIRMA.refresh();
        f->dm->tKONTAKT.refresh();
        if (!f->dm->tFIRMA.locate(QStringLiteral("ID"), {companyId}))
            qFatal("company %d missing", companyId);
        print::CompanyCard(*f->dm, doc).compose(companyId);
        QStringList texts;
        for (const print::CardParagraph &p : doc.paragraphs())
            texts << p.text;
        return texts;
    }
    QList<int> sizes() const {
        QList<int> out;
        for (const print::CardParagraph &p : doc.paragraphs())
            out << p.format.sizePt;
        return out;
    }
    void company(const QString &columns, const QString &values) {
        f->exec(QStringLiteral("INSERT INTO FIRMA (ID, %1) VALUES (1, %2)").arg(columns, values));
    }
    void contact(int id, const QString &columns, const QString &values,
                 const QString &kraj = QStringLiteral("' '")) {
        f->exec(
            QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, KRAJ, %1) VALUES (%2, 1, %3, %4)")
                .arg(columns)
                .arg(id)
                .arg(kraj, values));
    }

  private slots:
    void init() {
        f = std::make_unique<DataFixture>();
        f->openAll();
    }
    void cleanup() { f.reset(); }

    void emptyCompanyHasOnlyTheFixedLines() {
        f->exec(QStringLiteral("INSERT INTO FIRMA (ID) VALUES (1)"));
        const QStringList expected{QStringLiteral(" "),
                                   QString(),
                                   QStringLiteral(" "), // spacer, empty name heading, spacer
                                   QStringLiteral(" "),
                                   QStringLiteral("Popis:"),
                                   QStringLiteral(" "),
                                   QStringLiteral("Bankovní údaje:"),
                                   QStringLiteral(" "),
                                   QStringLiteral("Spojení na firmu:"),
                                   QStringLiteral("   SPOJENÍ "),
                                   QStringLiteral("telefon (1,2):   , "),
                                   QStringLiteral("mobil:     fax: "),
                                   QStringLiteral("Email: "),
                                   QString(),
                                   QStringLiteral(" "),
                                   QStringLiteral("KONTAKTY:")};
        QCOMPARE(compose(1), expected);
        QCOMPARE(doc.paragraphs().first().format, print::CardDocument::openingSpacerFormat());
        QCOMPARE(doc.paragraphs().at(1).format, print::CardDocument::headingFormat(16));
        QCOMPARE(doc.paragraphs().last().format, print::CardDocument::headingFormat(13));
    }

    void pairLinesKeepTheirBlanks() {
        company(QStringLiteral("NAZEV_FIRMA, KOD, BANK_KOD, OBEC_FS, PSC_FF"),
                QStringLiteral("'Alfa', 'A1', '0100', 'Brno', '602 00'"));
        const QStringList card = compose(1);
        QVERIFY(card.contains(QStringLiteral("Kód: A1     ")));
        QVERIFY(card.contains(QStringLiteral("0100")));
        QVERIFY(card.contains(QStringLiteral("Brno    ")));
        QVERIFY(card.contains(QStringLiteral("    602 00")));
        QVERIFY(card.contains(QStringLiteral("Adresa sídla")));
        QVERIFY(card.contains(QStringLiteral("Adresa fakturační")));
        QVERIFY(!card.contains(QStringLiteral("Adresa dodací")));
        QVERIFY(!card.contains(QStringLiteral("Popis: ")));
    }

    /// A valid account at a listed bank gets its IBAN on the next line;
    /// an invalid one (the code alone above, too) gets none.
    void ibanFollowsAValidAccount() {
        company(QStringLiteral("NAZEV_FIRMA, BANK_UCET, BANK_KOD"),
                QStringLiteral("'Delta', '19-2000145399', '0800'"));
        QStringList card = compose(1);
        const qsizetype account =
            card.indexOf(QStringLiteral("Bankovní účet: 19-2000145399 / 0800"));
        QVERIFY(account > 0);
        QCOMPARE(card.value(account + 1), QStringLiteral("IBAN: CZ65 0800 0000 1920 0014 5399"));
        f->exec(QStringLiteral("UPDATE FIRMA SET BANK_UCET = '19-2000145398' WHERE ID = 1"));
        card = compose(1);
        QVERIFY(card.contains(QStringLiteral("Bankovní účet: 19-2000145398 / 0800")));
        QVERIFY(!card.join(QLatin1Char('|')).contains(QStringLiteral("IBAN")));
    }

    void blanksCountAsPresent() {
        company(QStringLiteral("NAZEV_FIRMA, POPIS, EMAIL2, STAT_FD"),
                QStringLiteral("'Beta', ' ', ' ', ' '"));
        const QStringList card = compose(1);
        QVERIFY(card.contains(QStringLiteral("Popis:  ")));
        QVERIFY(card.contains(QStringLiteral("Email2:  ")));
        QVERIFY(card.contains(QStringLiteral("Adresa dodací")));
    }

    void contactsFollowTheCompanyQueryAndSkipThePlaceholder() {
        company(QStringLiteral("NAZEV_FIRMA"), QStringLiteral("'Gama'"));
        contact(1, QStringLiteral("TITUL_PRED, JMENO, PRIJMENI, TITUL_ZA, OBEC"),
                QStringLiteral("'Ing.', 'Jan', 'Novák', 'CSc.', 'Praha'"));
        contact(2, QStringLiteral("PRIJMENI"), QStringLiteral("NULL"), QStringLiteral("'***'"));
        contact(3, QStringLiteral("PRIJMENI, PSC"), QStringLiteral("'Adámek', '110 00'"),
                QStringLiteral("'*** '"));
        const QStringList card = compose(1);
        const int adamek = card.indexOf(QStringLiteral("Adámek"));
        const int novak = card.indexOf(QStringLiteral("Ing. Jan Novák, CSc."));
        QVERIFY(adamek > 0);
        QVERIFY(novak > adamek);
        QVERIFY(card.contains(QStringLiteral("Obec: Praha    ")));
        QVERIFY(card.contains(QStringLiteral("    PSČ: 110 00")));
        QCOMPARE(card.count(QStringLiteral("---- ---- ---- ---- ---- ---- ---- ---- ---- ----")),
                 2);
        QCOMPARE(doc.paragraphs().at(novak).format, print::CardDocument::headingFormat(12));
        QCOMPARE(sizes().at(card.indexOf(QStringLiteral("Obec: Praha    "))), 11);
    }

    // Every combination of empty and present name parts: bit 3 the title
    // before, bit 2 the first name, bit 1 the surname, bit 0 the title after.
    void nameHeadingJoinsThePresentParts_data() {
        QTest::addColumn<int>("present");
        QTest::addColumn<QString>("heading");
        const QStringList expected{QString(),
                                   QStringLiteral("CSc."),
                                   QStringLiteral("Novák"),
                                   QStringLiteral("Novák, CSc."),
                                   QStringLiteral("Jan"),
                                   QStringLiteral("Jan, CSc."),
                                   QStringLiteral("Jan Novák"),
                                   QStringLiteral("Jan Novák, CSc."),
                                   QStringLiteral("Ing."),
                                   QStringLiteral("Ing., CSc."),
                                   QStringLiteral("Ing. Novák"),
                                   QStringLiteral("Ing. Novák, CSc."),
                                   QStringLiteral("Ing. Jan"),
                                   QStringLiteral("Ing. Jan, CSc."),
                                   QStringLiteral("Ing. Jan Novák"),
                                   QStringLiteral("Ing. Jan Novák, CSc.")};
        for (int present = 0; present < 16; ++present)
            QTest::addRow("%d%d%d%d", present >> 3 & 1, present >> 2 & 1, present >> 1 & 1,
                          present & 1)
                << present << expected.at(present);
    }
    void nameHeadingJoinsThePresentParts() {
        QFETCH(int, present);
        QFETCH(QString, heading);
        auto part = [present](int bit, const char *value) {
            return present & bit ? QStringLiteral("'%1'").arg(QString::fromUtf8(value))
                                 : QStringLiteral("NULL");
        };
        company(QStringLiteral("NAZEV_FIRMA"), QStringLiteral("'Théta'"));
        contact(
            1, QStringLiteral("TITUL_PRED, JMENO, PRIJMENI, TITUL_ZA"),
            QStringList{part(8, "Ing."), part(4, "Jan"), part(2, "Novák"), part(1, "CSc.")}.join(
                QStringLiteral(", ")));
        const QStringList card = compose(1);
        // After "KONTAKTY:" a named contact starts with its heading (spacer,
        // name), a nameless one with the block's own spacer.
        const QStringList block = card.mid(card.indexOf(QStringLiteral("KONTAKTY:")) + 1, 2);
        if (heading.isEmpty()) {
            QCOMPARE(block,
                     (QStringList{QStringLiteral(" "), QStringLiteral("telefon (1,2):   , ")}));
        } else {
            QCOMPARE(block, (QStringList{QStringLiteral(" "), heading}));
            QCOMPARE(doc.paragraphs().at(card.indexOf(heading)).format,
                     print::CardDocument::headingFormat(12));
        }
    }

    void placeholderOnlyCompanyEndsWithTheContactHeading() {
        company(QStringLiteral("NAZEV_FIRMA"), QStringLiteral("'Delta'"));
        contact(1, QStringLiteral("PRIJMENI"), QStringLiteral("NULL"), QStringLiteral("'***'"));
        QCOMPARE(compose(1).last(), QStringLiteral("KONTAKTY:"));
    }

    void namelessContactContinuesThePreviousSize() {
        company(QStringLiteral("NAZEV_FIRMA"), QStringLiteral("'Epsilon'"));
        contact(1, QStringLiteral("MOBIL"), QStringLiteral("'777'"));
        const QStringList card = compose(1);
        const int mobile = card.indexOf(QStringLiteral("mobil: 777    fax: "));
        QVERIFY(mobile > 0);
        QCOMPARE(sizes().at(mobile), 13);
    }

    void multiLineValuesContinueOverParagraphs() {
        company(
            QStringLiteral("NAZEV_FIRMA, ADRESA_FS"),
            QStringLiteral("'Zeta', 'Dlouhá 1' || ASCII_CHAR(13) || ASCII_CHAR(10) || 'Patro 2'"));
        const QStringList card = compose(1);
        QVERIFY(card.contains(QStringLiteral("Dlouhá 1")));
        QVERIFY(card.contains(QStringLiteral("Patro 2")));
    }

    void gridFilterNarrowsTheContacts() {
        company(QStringLiteral("NAZEV_FIRMA"), QStringLiteral("'Eta'"));
        contact(1, QStringLiteral("PRIJMENI"), QStringLiteral("'Novák'"));
        contact(2, QStringLiteral("PRIJMENI"), QStringLiteral("'Svoboda'"));
        const int surname = [&] {
            f->dm->qFirmaKontakty.open();
            return f->dm->qFirmaKontakty.columnIndex(QStringLiteral("PRIJMENI"));
        }();
        f->dm->qFirmaKontakty.setRecordFilter([surname](const dataset::Dataset::RowReader &row) {
            return row.text(surname).startsWith(QLatin1Char('S'));
        });
        const QStringList card = compose(1);
        QVERIFY(card.contains(QStringLiteral("Svoboda")));
        QVERIFY(!card.contains(QStringLiteral("Novák")));
    }

    void literalValuesSurviveTheRtf() {
        company(QStringLiteral("NAZEV_FIRMA"), QStringLiteral("'C:\\{x}'"));
        compose(1);
        QCOMPARE(doc.paragraphs().at(1).text, QStringLiteral("C:\\{x}"));
    }
};

QTEST_MAIN(TestCompanyCard)
#include "tst_companycard.moc"
