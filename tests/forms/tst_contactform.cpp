// The contact form: its controls and the look of its modes, new, edit,
// confirm, cancel and delete against a real database, and the hand-over
// from an opener.
#include "ContactFormFixture.h"

#include "forms/LookupBinding.h"
#include "forms/PhotoView.h"

#include <QGroupBox>
#include <QTabWidget>

class TestContactForm : public QObject {
    Q_OBJECT
  private slots:
    void controlsAreLabelledAndNamed() {
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QCOMPARE(f.size(), QSize(388, 452));
        QCOMPARE(f.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(f.font().pointSize(), 8);
        QStringList tabs;
        for (int i = 0; i < f.ui().pcKontakt->count(); ++i)
            tabs << f.ui().pcKontakt->tabText(i);
        QCOMPARE(tabs, (QStringList{"Osoba", "Adresa", "Spojení", "Poznámka"}));
        QCOMPARE(f.ui().pcOsoba->tabText(0), QStringLiteral("Fotka"));
        QCOMPARE(f.ui().pcOsoba->tabText(1), QStringLiteral("Data"));
        QCOMPARE(f.ui().iObr->size(), QSize(141, 105));

        QStringList before;
        for (int i = 0; i < f.ui().dcbTitulP->count(); ++i)
            before << f.ui().dcbTitulP->itemText(i);
        QCOMPARE(before.size(), 23);
        QCOMPARE(before.first(), QString());
        QCOMPARE(before.mid(1, 3), (QStringList{"Bc.", "Ing.", "BcA."}));
        QCOMPARE(before.last(), QStringLiteral("ak. soch."));
        QCOMPARE(f.ui().dcbTitulP->maxVisibleItems(), 15);
        QStringList after;
        for (int i = 0; i < f.ui().dcbTitulZ->count(); ++i)
            after << f.ui().dcbTitulZ->itemText(i);
        QCOMPARE(after,
                 (QStringList{"", "CSc.", "Dr.", "Ph.D.", "Th.D.", "Dr.Sc.", "DiS.", "MBA"}));

        // Every caption names its box; every button says what it does.
        int captions = 0;
        for (QLabel *label : f.findChildren<QLabel *>()) {
            if (label == f.ui().lFotoNahrano || label == f.ui().iObr || label->text().isEmpty())
                continue;
            QVERIFY2(label->buddy(), qPrintable(label->text()));
            ++captions;
        }
        QVERIFY(captions > 0);
        QCOMPARE(captionsIn(f.ui().gbAdresa), kAddressCaptions);
        QCOMPARE(captionsIn(f.ui().gbSpojeni), kConnectionCaptions);
        QCOMPARE(f.ui().sbKontVloz->accessibleName(), QStringLiteral("Založ nový záznam"));
        QCOMPARE(f.ui().sbKontEdit->accessibleName(), QStringLiteral("Edituj záznam"));
        QCOMPARE(f.ui().sbKontSmaz->accessibleName(), QStringLiteral("Smaž záznam"));
        QCOMPARE(f.ui().BB_Jo->toolTip(), QStringLiteral("Ulož záznam / změny"));
        QCOMPARE(f.ui().BB_Zrus->toolTip(), QStringLiteral("Zruš změny"));
        QCOMPARE(f.ui().BB_Jo->text(), QStringLiteral("Potvrď"));
        for (QAbstractButton *b : f.findChildren<QAbstractButton *>())
            if (b->isVisibleTo(&f))
                QVERIFY2(!b->accessibleName().isEmpty(), qPrintable(b->objectName()));
        QCOMPARE(f.ui().Natifotku1->text(), QStringLiteral("Načti fotku"));
        QCOMPARE(f.ui().Vymafotku1->text(), QStringLiteral("Vymaž fotku"));
        QCOMPARE(f.ui().lFotoNahrano->text(),
                 QStringLiteral("FOTKA byla nahrána zobrazí se po uložení"));
    }

    void modesSetTheLook_data() {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }
    void modesSetTheLook() {
        QFETCH(bool, confirm);
        Contacts c;
        TFM_Kontakt &f = *c.form;
        verifyLook(f, false);
        QVERIFY(showActive(f));
        press(f, Qt::Key_F2);
        QCOMPARE(c.contacts().state(), dataset::Dataset::State::Edit);
        verifyLook(f, true);
        // Read-only boxes of browse mode can still take the focus (to copy text).
        if (confirm)
            f.BB_JoClick();
        else
            f.BB_ZrusClick();
        QCOMPARE(c.contacts().state(), dataset::Dataset::State::Browse);
        verifyLook(f, false);
        QVERIFY(f.ui().EditJmeno->isEnabled());
        QVERIFY(c.messages.messages.empty());
    }

    void editOnAnEmptyTableStartsANewRow() {
        Contacts c(false);
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        QCOMPARE(f.ui().EditID->text(), QString());
        f.ui().pcKontakt->setCurrentIndex(1);
        f.sbKontEditClick();
        QCOMPARE(c.contacts().state(), dataset::Dataset::State::Insert);
        QCOMPARE(f.ui().EditID->text(), QStringLiteral("1"));
        QCOMPARE(f.windowTitle(), QString());
        QCOMPARE(f.ui().pcKontakt->currentIndex(), 0);
        QCOMPARE(f.focusWidget(), f.ui().dcbTitulP);
        QVERIFY(!f.isBrowseMode());
        f.ui().EditPrijmeni->setText(QStringLiteral("První"));
        f.BB_JoClick();
        QCOMPARE(c.stored("PRIJMENI", 1).toString(), QStringLiteral("První"));
        QCOMPARE(c.stored("ID_FIRMA", 1).toInt(), 0);
        QCOMPARE(c.stored("ID_POBOCKA", 1).toInt(), 0);
        QCOMPARE(c.stored("KRAJ", 1).toString(), QStringLiteral(" "));
        QVERIFY(c.messages.messages.empty());
    }

    void cancellingANewRowLeavesNothing() {
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        f.sbKontVlozClick();
        f.ui().EditJmeno->setText(QStringLiteral("Nikdo"));
        f.BB_ZrusClick();
        QCOMPARE(c.db.scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT")).toInt(), 3);
        QCOMPARE(c.contacts().fieldByName("ID")->asInteger(), 3); // back on the last row
        QCOMPARE(f.windowTitle(), QStringLiteral("Kontakt: Horová Eva"));
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<base::msg::Answer>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("no") << base::msg::Answer::No << 3;
        QTest::newRow("yes") << base::msg::Answer::Yes << 2;
    }
    void deleteAsksFirst() {
        QFETCH(base::msg::Answer, answer);
        QFETCH(int, left);
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        c.messages.answers = {answer};
        f.sbKontSmazClick();
        QCOMPARE(c.messages.messages.size(), size_t(1));
        QCOMPARE(c.messages.messages[0].kind, base::msg::Kind::Warning);
        QCOMPARE(c.messages.messages[0].buttons, base::msg::Buttons::YesNo);
        QCOMPARE(c.messages.messages[0].text, QStringLiteral("Opravdu smazat tento záznam?"));
        QCOMPARE(c.db.scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT")).toInt(), left);
        QCOMPARE(f.windowTitle(), left == 3 ? QStringLiteral("Kontakt: Malá Jana")
                                            : QStringLiteral("Kontakt: Dvořák Petr"));
    }

    void deletingTheLastContactPersonKeepsTheCompanyListed() {
        Contacts c;
        addCompany(c.db, 2, QStringLiteral("Beta"));
        addContact(c.db, 4, 2, QStringLiteral("Olga"), QStringLiteral("Sama"));
        c.contacts().refresh();
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        auto deleteContact = [&](int id) {
            QVERIFY(c.contacts().locate(QStringLiteral("ID"), {id}));
            c.messages.answers = {base::msg::Answer::Yes};
            f.sbKontSmazClick();
        };
        // Others are left: no placeholder is made.
        deleteContact(1);
        QCOMPARE(
            c.db.scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT WHERE ID_FIRMA = 1")).toInt(),
            2);
        // The last one: the company gets its placeholder back at once.
        deleteContact(4);
        const auto rows =
            c.db.rows(QStringLiteral("SELECT KRAJ, ID_POBOCKA FROM KONTAKT WHERE ID_FIRMA = 2"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toString(), QStringLiteral("***"));
        QCOMPARE(rows[0][1].toInt(), 0);
        dataset::QueryDataset &board = c.db.dm->qHlavniDeska;
        board.close();
        board.open();
        QVERIFY(board.locate(QStringLiteral("NAZEV_FIRMA"), {QStringLiteral("Beta")}));
        QVERIFY(c.messages.messages.size() == 2); // the two questions only
    }

    void aConfirmWithNothingChangedWritesNothing() {
        Contacts c;
        // Text as people store it: a no-break space, line breaks of both kinds.
        const QString note = QStringLiteral("Tel.\u00A0603\r\nPo–Pá\nčt\u00A0 ");
        c.db.exec(QStringLiteral("UPDATE KONTAKT SET POZNAMKA = ?, JMENO = ? WHERE ID = 2"),
                  {note, QStringLiteral("Petr\u00A0Pavel")});
        c.contacts().refresh();
        const QVariant version = c.stored(QStringLiteral("RDB$RECORD_VERSION"), 2);
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        QVERIFY(c.contacts().locate(QStringLiteral("ID"), {2}));
        press(f, Qt::Key_F2);
        press(f, Qt::Key_Return);
        QVERIFY(f.isBrowseMode());
        QVERIFY(c.messages.messages.empty());
        QCOMPARE(c.stored(QStringLiteral("RDB$RECORD_VERSION"), 2), version);
        QCOMPARE(c.stored(QStringLiteral("POZNAMKA"), 2).toString(), note);
        // A real change of the note keeps the no-break spaces it holds.
        press(f, Qt::Key_F2);
        f.ui().MemoPoznamka->moveCursor(QTextCursor::End);
        typeText(f.ui().MemoPoznamka, QStringLiteral("x"));
        press(f, Qt::Key_Return);
        QCOMPARE(c.stored(QStringLiteral("POZNAMKA"), 2).toString(),
                 QStringLiteral("Tel.\u00A0603\r\nPo–Pá\r\nčt\u00A0 x"));
    }

    void confirmWritesTheRegionOfEveryContact() {
        Contacts c;
        addContact(c.db, 4, 1, QString(), QString(), QStringLiteral("***"));
        c.contacts().refresh();
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        QVERIFY(c.contacts().locate(QStringLiteral("ID"), {4}));
        f.sbKontEditClick();
        f.ui().EditJmeno->setText(QStringLiteral("Nový"));
        f.BB_JoClick();
        QCOMPARE(c.stored("KRAJ", 4).toString(), QStringLiteral(" "));
        QCOMPARE(c.stored("JMENO", 4).toString(), QStringLiteral("Nový"));
        // Confirming without any change still writes it.
        c.db.exec(QStringLiteral("UPDATE KONTAKT SET KRAJ = NULL WHERE ID = 2"));
        c.contacts().refresh();
        QVERIFY(c.contacts().locate(QStringLiteral("ID"), {2}));
        f.sbKontEditClick();
        f.BB_JoClick();
        QCOMPARE(c.stored("KRAJ", 2).toString(), QStringLiteral(" "));
    }

    void editOnShowOpensInEditModeOnTheOpenersRow() {
        Contacts c;
        addCompany(c.db, 7, QStringLiteral("Sedmá firma"));
        c.db.dm->tFIRMA.refresh();
        TFM_Kontakt &f = *c.form;
        newContactCompanyId = 7;
        f.newRecordData();
        contactEditOnShow = true;
        QVERIFY(showActive(f));
        contactEditOnShow = false;
        newContactCompanyId = 0;
        QVERIFY(!f.isBrowseMode());
        QCOMPARE(c.contacts().state(), dataset::Dataset::State::Insert);
        QCOMPARE(f.ui().cbFirmaLookup->shownText(), QStringLiteral("Sedmá firma"));
        QCOMPARE(c.db.dm->tFIRMA.fieldByName("ID")->asInteger(), 1); // the lookup did not move it
        f.ui().EditPrijmeni->setText(QStringLiteral("Sedmý"));
        f.BB_JoClick();
        QCOMPARE(c.stored("ID_FIRMA", 4).toInt(), 7);
        QCOMPARE(c.stored("ID_POBOCKA", 4).toInt(), 0);
        QCOMPARE(c.stored("PRIJMENI", 4).toString(), QStringLiteral("Sedmý"));
        QVERIFY(f.close());

        // Opened again without the flag, a new contact belongs to no company.
        QVERIFY(showActive(f));
        QVERIFY(f.isBrowseMode());
        press(f, Qt::Key_F3);
        f.ui().EditPrijmeni->setText(QStringLiteral("Bez firmy"));
        f.BB_JoClick();
        QCOMPARE(c.stored("ID_FIRMA", 5).toInt(), 0);
        QCOMPARE(c.stored("ID_POBOCKA", 5).toInt(), 0);
        QCOMPARE(f.ui().cbFirmaLookup->shownText(), QString());
        QVERIFY(c.messages.messages.empty());
    }

    void creationResetsTheHandOverValues() {
        DataFixture db;
        db.openAll();
        newContactCompanyId = 5;
        newContactBranchId = 3;
        contactEditOnShow = true;
        TFM_Kontakt form(*db.dm);
        QCOMPARE(newContactCompanyId, 0);
        QCOMPARE(newContactBranchId, 0);
        QVERIFY(!contactEditOnShow);
        QCOMPARE(form.ui().pcKontakt->currentIndex(), 0);
    }
};

QTEST_MAIN(TestContactForm)
#include "tst_contactform.moc"
