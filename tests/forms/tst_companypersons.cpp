// The company form's contact persons: the wide window on their tab, adding
// and editing them through the contact form, from the mouse and the keyboard.
#include "CompanyFormFixture.h"

#include "grid/DataGrid.h"

#include <QComboBox>
#include <QTabBar>

class TestCompanyPersons : public QObject {
    Q_OBJECT
  private slots:
    void theWindowWidensOnTheContactPersonsTab() {
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        QCOMPARE(f.frameGeometry().width(), 395);
        QTabBar *bar = f.ui().pcFirma->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(4).center());
        QCOMPARE(f.ui().pcFirma->currentIndex(), 4);
        QCOMPARE(f.frameGeometry().width(), 910);
        QCOMPARE(f.height(), 613);
        QCOMPARE(c.dm().qFirmaKontakty.recordCount(), 1);
        QCOMPARE(c.dm().qFirmaKontakty.fieldByName("PRIJMENI")->asString(), QStringLiteral("Malá"));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        QCOMPARE(f.frameGeometry().width(), 395);
        f.ui().pcFirma->setCurrentIndex(4);
        QCOMPARE(f.frameGeometry().width(), 910);
        f.firstTabStep(); // a tab the program selects does not resize
        QCOMPARE(f.frameGeometry().width(), 910);
        QVERIFY(f.close());
        QVERIFY(showActive(f));
        QCOMPARE(f.ui().pcFirma->currentIndex(), 0);
        QCOMPARE(f.frameGeometry().width(), 395);
        // The list follows the navigator; the placeholder shows as a row.
        f.ui().DBNavi->button(forms::DbNavigator::Next)->click();
        QCOMPARE(f.windowTitle(), QStringLiteral("Firma: Beta"));
        QCOMPARE(c.dm().qFirmaKontakty.recordCount(), 1);
        QCOMPARE(c.dm().qFirmaKontakty.fieldByName("KRAJ")->asString(), QStringLiteral("***"));
        QVERIFY(c.messages.messages.empty());
    }

    void theFirstContactPersonTakesOverThePlaceholder() {
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        QVERIFY(c.goTo(2));
        dataset::Dataset::State stateInside = dataset::Dataset::State::Inactive;
        bool editModeInside = false;
        QString companyInside;
        auto shown = c.actInContactForm([&](TFM_Kontakt &k) {
            stateInside = c.dm().tKONTAKT.state();
            editModeInside = !k.isBrowseMode();
            companyInside = k.ui().cbFirma->currentText();
            k.ui().EditPrijmeni->setText(QStringLiteral("První"));
            k.BB_JoClick();
        });
        f.sbVlozFirmaKontaktClick();
        QVERIFY(shown());
        QCOMPARE(stateInside, dataset::Dataset::State::Edit);
        QVERIFY(editModeInside);
        QCOMPARE(companyInside, QStringLiteral("Beta"));
        const auto rows =
            c.db.rows(QStringLiteral("SELECT ID, KRAJ, PRIJMENI FROM KONTAKT WHERE ID_FIRMA = 2"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toInt(), 2);
        QCOMPARE(rows[0][1].toString(), QStringLiteral(" "));
        QCOMPARE(rows[0][2].toString(), QStringLiteral("První"));
        QVERIFY(!c.dm().tKONTAKT.isFiltered());
        QCOMPARE(newContactCompanyId, 0);
        QVERIFY(!contactEditOnShow);
        QCOMPARE(c.dm().qFirmaKontakty.fieldByName("PRIJMENI")->asString(),
                 QStringLiteral("První"));
        QVERIFY(c.messages.messages.empty());
    }

    void aFurtherContactPersonIsANewRow_data() {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }
    void aFurtherContactPersonIsANewRow() {
        QFETCH(bool, confirm);
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        dataset::Dataset::State stateInside = dataset::Dataset::State::Inactive;
        auto shown = c.actInContactForm([&](TFM_Kontakt &k) {
            stateInside = c.dm().tKONTAKT.state();
            k.ui().EditPrijmeni->setText(QStringLiteral("Druhá"));
            if (confirm)
                k.BB_JoClick();
        });
        f.sbVlozFirmaKontaktClick();
        QVERIFY(shown());
        QCOMPARE(stateInside, dataset::Dataset::State::Insert);
        QCOMPARE(c.contactsOf(1), confirm ? 2 : 1);
        if (confirm)
            QCOMPARE(c.db.scalar(QStringLiteral(
                                     "SELECT ID_POBOCKA FROM KONTAKT WHERE PRIJMENI = 'Druhá' "
                                     "AND ID_FIRMA = 1 AND KRAJ = ' '"))
                         .toInt(),
                     0);
        QCOMPARE(c.dm().qFirmaKontakty.recordCount(), confirm ? 2 : 1);
        QVERIFY(!c.dm().tKONTAKT.isFiltered());
        QVERIFY(c.messages.messages.empty());
    }

    void aDoubleClickEditsTheClickedContactPerson() {
        Companies c;
        QVERIFY(c.showContactPersons());
        Tfm_Firma &f = *c.form;
        dataset::QueryDataset &list = c.dm().qFirmaKontakty;
        QCOMPARE(list.recordCount(), 2);
        list.moveTo(1); // sorted by surname: Adámek, Malá
        f.gKontaktyFirmyCellClick(1);
        QCOMPARE(f.clickedContactId(), QStringLiteral("1"));
        QString surnameInside;
        auto shown = c.actInContactForm([&](TFM_Kontakt &k) {
            surnameInside = k.ui().EditPrijmeni->text();
            k.ui().EditJmeno->setText(QStringLiteral("Janička"));
            k.BB_JoClick();
        });
        f.gKontaktyFirmyDblClick();
        QVERIFY(shown());
        QCOMPARE(surnameInside, QStringLiteral("Malá"));
        QCOMPARE(c.db.scalar(QStringLiteral("SELECT JMENO FROM KONTAKT WHERE ID = 1")).toString(),
                 QStringLiteral("Janička"));
        QVERIFY(c.messages.messages.empty());
    }

    void keyboardPicksAndEditsAContactPerson() {
        Companies c;
        QVERIFY(c.showContactPersons());
        Tfm_Firma &f = *c.form;
        f.ui().gKontaktyFirmy->setFocus(Qt::TabFocusReason);
        press(f, Qt::Key_Down); // sorted by surname: Adámek, Malá
        press(f, Qt::Key_Space);
        QCOMPARE(f.clickedContactId(), QStringLiteral("1"));
        press(f, Qt::Key_Up);
        QString surnameInside;
        auto shown = c.actInContactForm(
            [&](TFM_Kontakt &k) { surnameInside = k.ui().EditPrijmeni->text(); });
        press(f, Qt::Key_Return); // the double click of the keyboard, on Adámek
        QVERIFY(shown());
        QCOMPARE(surnameInside, QStringLiteral("Adámek"));
        QVERIFY(c.messages.messages.empty());
    }

    void editingWithoutAnyContactRowDoesNothing() {
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(showActive(f));
        QVERIFY(c.goTo(3));
        auto shown = c.actInContactForm([](TFM_Kontakt &) {});
        f.sbEditujFirmaKontaktClick();
        QTest::qWait(20);
        QVERIFY(!shown());
        QCOMPARE(c.count("KONTAKT"), 2);
        QCOMPARE(c.dm().tKONTAKT.state(), dataset::Dataset::State::Browse);
        QVERIFY(!c.dm().tKONTAKT.isFiltered());
        QCOMPARE(newContactCompanyId, 0);
        // A double click before any click finds nothing to edit, silently.
        f.gKontaktyFirmyDblClick();
        QTest::qWait(20);
        QVERIFY(!shown());
        QVERIFY(c.messages.messages.empty());
    }
};

QTEST_MAIN(TestCompanyPersons)
#include "tst_companypersons.moc"
