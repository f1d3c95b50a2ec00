// The company form: its controls and modes, new, edit, confirm with the
// placeholder contact, cancel, delete and the copy buttons.
#include "CompanyFormFixture.h"

#include "grid/DataGrid.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>

class TestCompanyForm : public QObject {
    Q_OBJECT
  private slots:
    void controlsAreLabelledAndNamed() {
        Companies c;
        Tfm_Firma &f = *c.form;
        QCOMPARE(f.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(f.pos(), QPoint(5, 5));
        QCOMPARE(f.height(), 613);
        QStringList tabs;
        for (int i = 0; i < f.ui().pcFirma->count(); ++i)
            tabs << f.ui().pcFirma->tabText(i);
        QCOMPARE(tabs, (QStringList{"Firma", "Adresy", "Spojení", "Poznámka", "Kontaktní osoby",
                                    "Pobočky firmy"}));
        QVERIFY(!f.ui().pcFirma->isTabVisible(5));
        int captions = 0;
        for (QLabel *label : f.findChildren<QLabel *>()) {
            if (label->text().isEmpty() || label->parent() == f.ui().gKontaktyFirmy)
                continue;
            QVERIFY2(label->buddy(), qPrintable(label->text()));
            ++captions;
        }
        QVERIFY(captions > 0);
        for (const QGroupBox *address : {f.ui().gbAdresaS, f.ui().gbAdresaF, f.ui().gbAdresaD})
            QCOMPARE(captionsIn(address), kAddressCaptions);
        QCOMPARE(captionsIn(f.ui().gbSpojeni), kConnectionCaptions);
        QCOMPARE(f.ui().sbkopirujFSdoFF->toolTip(), QStringLiteral("Zkopíruj adresu sídla"));
        QCOMPARE(f.ui().sbkopirujFSdoFD->accessibleName(), QStringLiteral("Zkopíruj adresu sídla"));
        QCOMPARE(f.ui().sbkopirujFSdoFF->size(), QSize(25, 25));
        QCOMPARE(f.ui().sbVlozFirmaKontakt->accessibleName(),
                 QStringLiteral("Vlož kontaktní osobu"));
        QCOMPARE(f.ui().sbEditujFirmaKontakt->accessibleName(),
                 QStringLiteral("Edituj kontaktní osobu"));
        QCOMPARE(f.ui().sbFirVloz->accessibleName(), QStringLiteral("Založ nový záznam"));
        // Both boxes of TELEFON1 and of MOBIL show the same value.
        c.db.exec(QStringLiteral("UPDATE FIRMA SET TELEFON1 = '111', MOBIL = '222' WHERE ID = 1"));
        c.dm().tFIRMA.refresh();
        QCOMPARE(f.ui().EditFtelefon->text(), QStringLiteral("111"));
        QCOMPARE(f.ui().EditTelefon->text(), QStringLiteral("111"));
        QCOMPARE(f.ui().EditFMobil->text(), QStringLiteral("222"));
        QCOMPARE(f.ui().EditMobil->text(), QStringLiteral("222"));
    }

    void modesSetTheLook() {
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        QCOMPARE(f.windowTitle(), QStringLiteral("Firma: Alfa"));
        press(f, Qt::Key_F2);
        QVERIFY(!f.isBrowseMode());
        int boxes = 0;
        for (QLineEdit *box : f.findChildren<QLineEdit *>()) {
            if (box->parent() != f.ui().EditID->parent() &&
                box->objectName().startsWith(QLatin1String("Edit"))) {
                QCOMPARE_EQ(background(box), kEditable);
                QVERIFY(!box->isReadOnly());
                ++boxes;
            }
        }
        QCOMPARE(boxes, 39);
        QCOMPARE_EQ(background(f.ui().EditID), kReadOnly);
        QVERIFY(f.ui().EditID->isReadOnly());
        for (QWidget *w :
             {static_cast<QWidget *>(f.ui().DBNavi), static_cast<QWidget *>(f.ui().sbFirVloz),
              static_cast<QWidget *>(f.ui().sbFirSmaz),
              static_cast<QWidget *>(f.ui().sbVlozFirmaKontakt),
              static_cast<QWidget *>(f.ui().sbEditujFirmaKontakt)})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(f.ui().sbkopirujFSdoFF->isEnabled());
        // Enter in a note box is a line break; elsewhere it confirms.
        f.ui().MemoPoznamkaS->setFocus();
        typeText(f.ui().MemoPoznamkaS, QStringLiteral("a"));
        press(f, Qt::Key_Return);
        QVERIFY(!f.isBrowseMode());
        f.ui().EditKOD->setFocus();
        typeText(f.ui().EditKOD, QStringLiteral("K-1"));
        press(f, Qt::Key_Return);
        QVERIFY(f.isBrowseMode());
        QCOMPARE(c.company("KOD", 1).toString(), QStringLiteral("K-1"));
        QCOMPARE(c.company("POZNAMKA_FS", 1).toString(), QStringLiteral("a\r\n"));
        QCOMPARE(c.contactsOf(1), 1); // editing a company makes no contact row
        QVERIFY(f.ui().sbVlozFirmaKontakt->isEnabled());
        QCOMPARE_EQ(background(f.ui().EditKOD), kReadOnly);
        QVERIFY(c.messages.messages.empty());
    }

    void aNewCompanyGetsOnePlaceholderContact() {
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        f.ui().pcFirma->setCurrentIndex(2);
        press(f, Qt::Key_F3);
        QCOMPARE(c.dm().tFIRMA.state(), dataset::Dataset::State::Insert);
        QVERIFY(f.placeholderPending());
        QCOMPARE(f.ui().EditID->text(), QStringLiteral("4"));
        QCOMPARE(f.ui().pcFirma->currentIndex(), 0);
        QCOMPARE(f.focusWidget(), f.ui().EditNAZEV_FIRMA);
        QCOMPARE(f.windowTitle(), QStringLiteral("Firma: Alfa")); // until confirmed
        typeText(f.ui().EditNAZEV_FIRMA, QStringLiteral("Delta a spol."));
        press(f, Qt::Key_Return);
        QVERIFY(f.isBrowseMode());
        QVERIFY(!f.placeholderPending());
        QCOMPARE(newContactCompanyId, 0);
        QCOMPARE(f.windowTitle(), QStringLiteral("Firma: Delta a spol."));
        QCOMPARE(c.company("NAZEV_FIRMA", 4).toString(), QStringLiteral("Delta a spol."));
        const auto rows = c.db.rows(
            QStringLiteral("SELECT ID, ID_POBOCKA, KRAJ, JMENO FROM KONTAKT WHERE ID_FIRMA = 4"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toInt(), 3);
        QCOMPARE(rows[0][1].toInt(), 0);
        QCOMPARE(rows[0][2].toString(), QStringLiteral("***"));
        QVERIFY(!rows[0][3].isValid());
        // The contact form's own state is untouched by the placeholder.
        QVERIFY(c.contactForm->isBrowseMode());
        QCOMPARE(c.dm().tKONTAKT.state(), dataset::Dataset::State::Browse);
        QVERIFY(c.messages.messages.empty());
    }

    void aNewCompanyIsListedOnceAndEveryEditStays() {
        Companies c(true, 200);
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        press(f, Qt::Key_F3);
        typeText(f.ui().EditNAZEV_FIRMA, QStringLiteral("Omega"));
        press(f, Qt::Key_Return);
        QVERIFY(f.isBrowseMode());
        // Walk every record: Omega once, just after the row that was current.
        QStringList titles;
        f.ui().DBNavi->button(forms::DbNavigator::First)->click();
        for (int guard = 0; guard < 500; ++guard) {
            titles << f.windowTitle();
            const qint64 before = c.dm().tFIRMA.fieldByName("ID")->asInteger();
            f.ui().DBNavi->button(forms::DbNavigator::Next)->click();
            if (c.dm().tFIRMA.fieldByName("ID")->asInteger() == before)
                break;
        }
        QCOMPARE(titles.size(), 204);
        QCOMPARE(titles.count(QStringLiteral("Firma: Omega")), 1);
        QCOMPARE(titles.at(1), QStringLiteral("Firma: Omega"));
        // Two edits at either end of a walk both stay.
        QVERIFY(c.goTo(204));
        press(f, Qt::Key_F2);
        f.ui().EditFtelefon->setText(QStringLiteral("111"));
        press(f, Qt::Key_Return);
        f.ui().DBNavi->button(forms::DbNavigator::Last)->click();
        QVERIFY(c.goTo(204));
        press(f, Qt::Key_F2);
        f.ui().EditFMobil->setText(QStringLiteral("222"));
        press(f, Qt::Key_Return);
        QCOMPARE(c.db.rows(QStringLiteral(
                     "SELECT NAZEV_FIRMA, TELEFON1, MOBIL FROM FIRMA WHERE ID = 204")),
                 (QList<QVariantList>{
                     {QStringLiteral("Omega"), QStringLiteral("111"), QStringLiteral("222")}}));
        QVERIFY(c.messages.messages.empty());
    }

    void aConfirmOverSomeoneElsesChangeKeepsTheTyping() {
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        press(f, Qt::Key_F2);
        f.ui().EditNAZEV_FIRMA->setText(QStringLiteral("Alfa podle mě"));
        c.db.exec(
            QStringLiteral("UPDATE FIRMA SET NAZEV_FIRMA = 'Alfa podle kolegy' WHERE ID = 1"));
        press(f, Qt::Key_Return);
        QCOMPARE(c.messages.messages.size(), size_t(1));
        QCOMPARE(c.messages.messages[0].kind, base::msg::Kind::ErrorReport);
        QVERIFY2(c.messages.messages[0].text.startsWith(
                     QStringLiteral("Záznam mezitím změnil nebo smazal někdo jiný")),
                 qPrintable(c.messages.messages[0].text));
        QVERIFY(!f.isBrowseMode());
        QCOMPARE(f.ui().EditNAZEV_FIRMA->text(), QStringLiteral("Alfa podle mě"));
        QCOMPARE(c.company("NAZEV_FIRMA", 1).toString(), QStringLiteral("Alfa podle kolegy"));
        press(f, Qt::Key_Escape);
        QVERIFY(f.isBrowseMode());
        QCOMPARE(f.ui().EditNAZEV_FIRMA->text(), QStringLiteral("Alfa podle kolegy"));
    }

    void aDeleteThatFailsForAnotherReasonSaysSo() {
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        QVERIFY(c.goTo(1)); // has a contact, but was changed by someone else first
        c.db.exec(QStringLiteral("UPDATE FIRMA SET KOD = 'X' WHERE ID = 1"));
        c.db.exec(QStringLiteral("DELETE FROM KONTAKT WHERE ID_FIRMA = 1"));
        c.messages.answers = {base::msg::Answer::Yes};
        f.sbFirSmazClick();
        QCOMPARE(c.messages.messages.size(), size_t(2));
        QCOMPARE(c.messages.messages[1].kind, base::msg::Kind::ErrorReport);
        QVERIFY2(c.messages.messages[1].text.startsWith(QStringLiteral("Záznam mezitím změnil")),
                 qPrintable(c.messages.messages[1].text));
        QCOMPARE(c.company("COUNT(*)", 1).toInt(), 1);
        QCOMPARE(f.ui().EditKOD->text(), QStringLiteral("X")); // the stored version is shown
    }

    void aCancelledNewCompanyLeavesNothing() {
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        f.sbFirVlozClick();
        f.ui().EditNAZEV_FIRMA->setText(QStringLiteral("Nic"));
        press(f, Qt::Key_Escape);
        QVERIFY(f.isVisible());
        QVERIFY(f.isBrowseMode());
        QVERIFY(!f.placeholderPending());
        QCOMPARE(c.count("FIRMA"), 3);
        QCOMPARE(c.count("KONTAKT"), 2);
        QCOMPARE(f.windowTitle(), QStringLiteral("Firma: Alfa"));
        // Confirming an edit afterwards makes no placeholder either.
        f.sbFirEditClick();
        f.BB_JoClick();
        QCOMPARE(c.count("KONTAKT"), 2);
    }

    void theFirstCompanyOfAnEmptyDatabase_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("new") << Qt::Key_F3;
        QTest::newRow("edit") << Qt::Key_F2;
    }
    void theFirstCompanyOfAnEmptyDatabase() {
        QFETCH(Qt::Key, key);
        Companies c(false);
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        QVERIFY(c.messages.messages.empty());
        QCOMPARE(f.ui().EditID->text(), QString());
        QCOMPARE(f.windowTitle(), QStringLiteral("Firma: "));
        QVERIFY(c.dm().qFirmaKontakty.isActive());
        QCOMPARE(c.dm().qFirmaKontakty.recordCount(), 0);
        press(f, key);
        QCOMPARE(f.ui().EditID->text(), QStringLiteral("1"));
        f.ui().EditNAZEV_FIRMA->setText(QStringLiteral("První firma"));
        f.BB_JoClick();
        QCOMPARE(c.company("NAZEV_FIRMA", 1).toString(), QStringLiteral("První firma"));
        QCOMPARE(
            c.db.scalar(QStringLiteral("SELECT KRAJ FROM KONTAKT WHERE ID = 1 AND ID_FIRMA = 1"))
                .toString(),
            QStringLiteral("***"));
        QVERIFY(c.messages.messages.empty());
    }

    void aConfirmWithNothingChangedWritesNothing() {
        Companies c;
        const QString note = QStringLiteral("Sídlo\u00A0v\u00A0patře\r\n2.\u00A0p.");
        c.db.exec(QStringLiteral("UPDATE FIRMA SET POZNAMKA_FS = ?, NAZEV_FIRMA = ? WHERE ID = 1"),
                  {note, QStringLiteral("Alfa\u00A0s.r.o.")});
        c.dm().tFIRMA.refresh();
        const QVariant version = c.company(QStringLiteral("RDB$RECORD_VERSION"), 1);
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        press(f, Qt::Key_F2);
        press(f, Qt::Key_Return);
        QVERIFY(f.isBrowseMode());
        QVERIFY(c.messages.messages.empty());
        QCOMPARE(c.company(QStringLiteral("RDB$RECORD_VERSION"), 1), version);
        QCOMPARE(c.company(QStringLiteral("POZNAMKA_FS"), 1).toString(), note);
    }

    void aCompanyIsWrittenWithItsPlaceholderOrNotAtAll() {
        Companies c;
        c.db.exec(QStringLiteral("CREATE EXCEPTION TEST_NO_PLACEHOLDER 'no placeholder'"));
        c.db.exec(
            QStringLiteral("CREATE TRIGGER TEST_KONTAKT_BI FOR KONTAKT BEFORE INSERT AS BEGIN "
                           "IF (NEW.KRAJ = '***') THEN EXCEPTION TEST_NO_PLACEHOLDER; END"));
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        const int contactRows = c.dm().tKONTAKT.recordCount();
        f.sbFirVlozClick();
        f.ui().EditNAZEV_FIRMA->setText(QStringLiteral("Bez zástupce"));
        f.BB_JoClick();
        // Refused as a whole: nothing stored, the typing stays in edit mode.
        QCOMPARE(c.messages.messages.size(), size_t(1));
        QCOMPARE(c.messages.messages[0].kind, base::msg::Kind::ErrorReport);
        QCOMPARE(c.count("FIRMA"), 3);
        QVERIFY(!f.isBrowseMode());
        QVERIFY(f.placeholderPending());
        QCOMPARE(f.ui().EditNAZEV_FIRMA->text(), QStringLiteral("Bez zástupce"));
        QCOMPARE(newContactCompanyId, 0);
        QCOMPARE(c.dm().tKONTAKT.state(), dataset::Dataset::State::Browse);
        QCOMPARE(c.dm().tKONTAKT.recordCount(), contactRows);
        c.dm().tKONTAKT.last(); // a half-made row would be posted here
        QCOMPARE(c.count("KONTAKT"), 2);
        // Once the database takes it, the same confirm writes both rows.
        c.db.exec(QStringLiteral("DROP TRIGGER TEST_KONTAKT_BI"));
        f.BB_JoClick();
        QVERIFY(f.isBrowseMode());
        QCOMPARE(c.company("NAZEV_FIRMA", 4).toString(), QStringLiteral("Bez zástupce"));
        QCOMPARE(c.contactsOf(4), 1);
    }

    void deletingACompany_data() {
        QTest::addColumn<int>("company");
        QTest::addColumn<bool>("gone");
        QTest::addColumn<int>("contactsLeft");
        QTest::addColumn<bool>("refused");
        QTest::newRow("only its placeholder") << 2 << true << 1 << false;
        QTest::newRow("an ordinary contact") << 1 << false << 2 << true;
        QTest::newRow("no contact row") << 3 << true << 2 << false;
    }
    void deletingACompany() {
        QFETCH(int, company);
        QFETCH(bool, gone);
        QFETCH(int, contactsLeft);
        QFETCH(bool, refused);
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        QVERIFY(c.goTo(company));
        c.messages.answers = {base::msg::Answer::Yes};
        f.sbFirSmazClick();
        QCOMPARE(c.company("COUNT(*)", company).toInt(), gone ? 0 : 1);
        QCOMPARE(c.count("KONTAKT"), contactsLeft);
        QCOMPARE(c.messages.messages.size(), size_t(refused ? 2 : 1));
        QCOMPARE(c.messages.messages[0].text, QStringLiteral("Opravdu smazat tento záznam?"));
        if (refused) {
            QCOMPARE(c.messages.messages[1].kind, base::msg::Kind::Warning);
            QCOMPARE(c.messages.messages[1].text,
                     QStringLiteral(
                         "Nelze smazat!\n\rZřejmě existují podřízené kontakty k této firmě.\n\r"
                         "Nejdříve musíte tyto kontakty zrušit, pak můžete smazat i firmu."));
        }
        QVERIFY(!c.dm().tKONTAKT.isFiltered());
        QCOMPARE(c.dm().tKONTAKT.recordCount(), contactsLeft);
        QCOMPARE(
            f.windowTitle(),
            QStringLiteral("Firma: %1").arg(c.dm().tFIRMA.fieldByName("NAZEV_FIRMA")->asString()));
        QCOMPARE(c.dm().tFIRMA.recordCount(), gone ? 2 : 3);
    }

    void aCompanyAndItsPlaceholderGoTogetherOrNotAtAll() {
        Companies c;
        c.db.exec(QStringLiteral("CREATE EXCEPTION TEST_KEEP 'keep this company'"));
        c.db.exec(QStringLiteral("CREATE TRIGGER TEST_FIRMA_BD FOR FIRMA BEFORE DELETE AS BEGIN "
                                 "IF (OLD.ID = 2) THEN EXCEPTION TEST_KEEP; END"));
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        QVERIFY(c.goTo(2));
        f.sbFirSmazClick();
        QCOMPARE(c.messages.messages.size(), size_t(2));
        QCOMPARE(c.messages.messages[1].kind, base::msg::Kind::ErrorReport);
        QCOMPARE(c.company("NAZEV_FIRMA", 2).toString(), QStringLiteral("Beta"));
        QCOMPARE(c.contactsOf(2), 1); // the placeholder is still there
        QVERIFY(!c.dm().tKONTAKT.isFiltered());
        QCOMPARE(c.dm().tKONTAKT.recordCount(), 2);
        QCOMPARE(c.dm().tFIRMA.fieldByName("ID")->asInteger(), 2);
    }

    void deleteAnsweredNoChangesNothing() {
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        QVERIFY(c.goTo(3));
        c.messages.answers = {base::msg::Answer::No};
        f.sbFirSmazClick();
        QCOMPARE(c.count("FIRMA"), 3);
        QVERIFY(!c.dm().tKONTAKT.isFiltered());
    }

    void copyingTheSeatAddress_data() {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("invoicing") << QStringLiteral("_FF");
        QTest::newRow("delivery") << QStringLiteral("_FD");
    }
    void copyingTheSeatAddress() {
        QFETCH(QString, suffix);
        Companies c;
        c.db.exec(
            QStringLiteral(
                "UPDATE FIRMA SET NAZEV_ADRESA_FS = 'Sídlo', ADRESA_FS = 'Dlouhá 5', "
                "ULICE_FS = 'vchod B', OBEC_FS = 'Brno', PSC_FS = '602 00', STAT_FS = 'Česko', "
                "KRAJ_FS = 'Jihomoravský', POZNAMKA_FS = ?, KRAJ%1 = 'jiný', OBEC%1 = 'Praha' "
                "WHERE ID = 1")
                .arg(suffix),
            {QStringLiteral("zvonit\r\ndvakrát")});
        c.dm().tFIRMA.refresh();
        Tfm_Firma &f = *c.form;
        QToolButton *copy =
            suffix == QLatin1String("_FF") ? f.ui().sbkopirujFSdoFF : f.ui().sbkopirujFSdoFD;
        QPlainTextEdit *note =
            suffix == QLatin1String("_FF") ? f.ui().MemoPoznamkaF : f.ui().MemoPoznamkaD;
        QVERIFY(showActive(f));

        copy->click(); // browse mode: refused, nothing copied
        QCOMPARE(c.messages.messages.size(), size_t(1));
        QCOMPARE(c.messages.messages[0].kind, base::msg::Kind::ErrorReport);
        QCOMPARE(c.messages.messages[0].text,
                 QStringLiteral("tFIRMA: Dataset not in edit or insert mode."));
        QCOMPARE(note->toPlainText(), QString());
        QCOMPARE(c.dm().tFIRMA.fieldByName("OBEC" + suffix)->asString(), QStringLiteral("Praha"));

        f.sbFirEditClick();
        f.ui().EditUliceS->setText(QStringLiteral("vchod C")); // typed, not yet left
        copy->click();
        QCOMPARE(note->toPlainText(), QStringLiteral("zvonit\ndvakrát"));
        f.BB_JoClick();
        const auto row = c.db.rows(
            QStringLiteral("SELECT NAZEV_ADRESA%1, ADRESA%1, ULICE%1, OBEC%1, PSC%1, STAT%1, "
                           "POZNAMKA%1, KRAJ%1 FROM FIRMA WHERE ID = 1")
                .arg(suffix));
        QCOMPARE(row.size(), 1);
        QCOMPARE(row[0][0].toString(), QStringLiteral("Sídlo"));
        QCOMPARE(row[0][1].toString(), QStringLiteral("Dlouhá 5"));
        QCOMPARE(row[0][2].toString(), QStringLiteral("vchod C"));
        QCOMPARE(row[0][3].toString(), QStringLiteral("Brno"));
        QCOMPARE(row[0][4].toString(), QStringLiteral("602 00"));
        QCOMPARE(row[0][5].toString(), QStringLiteral("Česko"));
        QCOMPARE(row[0][6].toString(), QStringLiteral("zvonit\r\ndvakrát"));
        QCOMPARE(row[0][7].toString(), QStringLiteral("jiný")); // the region is not copied
        QCOMPARE(c.messages.messages.size(), size_t(1));
    }
};

QTEST_MAIN(TestCompanyForm)
#include "tst_companyform.moc"
