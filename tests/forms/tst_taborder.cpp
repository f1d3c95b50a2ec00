// Tab walks both record forms in the order the eye reads them: the top
// button bar, the tab bar, the page from top to bottom (a group's left
// column before its right one), then the bottom panel; Shift+Tab walks back.
#include "support/FormFixture.h"

#include "forms/U_Firma.h"
#include "forms/U_Kontakt.h"

#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

/// A control as the lists below name it; a tab bar by its tab control.
QString nameOf(const QWidget *w) {
    if (!w)
        return QStringLiteral("(none)");
    if (qobject_cast<const QTabBar *>(w) && w->parentWidget())
        return w->parentWidget()->objectName() + QStringLiteral(".tabs");
    return w->objectName();
}

/// The controls Tab (or Shift+Tab) visits from `start` until it comes back.
QStringList walk(QWidget &form, QWidget *start, Qt::Key key) {
    start->setFocus(Qt::TabFocusReason);
    QStringList visited{nameOf(start)};
    for (int i = 0; i < 80; ++i) {
        press(form, key);
        QWidget *now = QApplication::focusWidget();
        if (now == start)
            return visited;
        visited << nameOf(now);
    }
    return visited << QStringLiteral("(never returned)");
}

QStringList reversed(QStringList list) {
    std::reverse(list.begin() + 1, list.end());
    return list;
}

const QStringList kContactTop{"sbKontVloz", "sbKontEdit", "sbKontSmaz", "pcKontakt.tabs"};
const QStringList kCompanyTop{"sbFirVloz", "sbFirEdit", "sbFirSmaz", "pcFirma.tabs"};
const QStringList kAddressF{"EditNAZEV_ADRESA_FF", "EditADRESA_FF",  "EditUliceF",
                            "EditObecF",           "EditPSCF",       "EditStatF",
                            "MemoPoznamkaF",       "sbkopirujFSdoFF"};
const QStringList kAddressD{"EditNAZEV_ADRESA_FD", "EditADRESA_FD",  "EditUliceD",
                            "EditObecD",           "EditPSCD",       "EditStatD",
                            "MemoPoznamkaD",       "sbkopirujFSdoFD"};
const QStringList kConnection{"EditTelefon", "EditMobil",  "EditTelefon2", "EditFax",
                              "EditEmail",   "EditEmail2", "EditWWW",      "EditICQ",
                              "EditSkype",   "EditDalsi1", "EditDalsi2",   "MemoPoznamkaSP"};

} // namespace

class TestTabOrder : public QObject {
    Q_OBJECT

    struct Forms {
        DataFixture db;
        base::msg::Recorder messages;
        std::unique_ptr<TFM_Kontakt> contact;
        std::unique_ptr<Tfm_Firma> company;
        Forms() {
            addCompany(db, 1, QStringLiteral("Alfa"));
            addContact(db, 1, 1, QStringLiteral("Jana"), QStringLiteral("Malá"));
            db.openAll();
            contact = std::make_unique<TFM_Kontakt>(*db.dm);
            company = std::make_unique<Tfm_Firma>(*db.dm, *contact);
        }
    };

  private slots:
    void contactForm_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("personTab"); // of the photo and dates
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QStringList>("order");
        const QStringList work{"EditPozice", "EditPopis", "EditOTelefon", "EditOMobil",
                               "EditOEmail"};
        QTest::newRow("Osoba, photo")
            << 0 << 0 << false
            << kContactTop + QStringList{"EditJmeno", "EditPrijmeni", "pcOsoba.tabs", "iObr"} +
                   work + QStringList{"EditID"};
        QTest::newRow("Osoba, dates")
            << 0 << 1 << false
            << kContactTop +
                   QStringList{"EditJmeno", "EditPrijmeni", "pcOsoba.tabs", "EditNarozeniny"} +
                   work + QStringList{"EditID"};
        QTest::newRow("Osoba, editing")
            << 0 << 0 << true
            << QStringList{"pcKontakt.tabs", "dcbTitulP",    "EditJmeno", "EditPrijmeni",
                           "dcbTitulZ",      "pcOsoba.tabs", "iObr"} +
                   work + QStringList{"EditID", "cbFirma", "BB_Jo", "BB_Zrus"};
        QTest::newRow("Adresa") << 1 << 0 << false
                                << kContactTop + QStringList{"EditNAZEV_ADRESA", "EditADRESA",
                                                             "EditUlice",        "EditObec",
                                                             "EditPSC",          "EditStat",
                                                             "MemoPoznamkaAD",   "EditID"};
        QTest::newRow("Spojení") << 2 << 0 << false
                                 << kContactTop + kConnection + QStringList{"EditID"};
        QTest::newRow("Poznámka") << 3 << 0 << false
                                  << kContactTop + QStringList{"MemoPoznamka", "EditID"};
    }
    void contactForm() {
        QFETCH(int, tab);
        QFETCH(int, personTab);
        QFETCH(bool, editing);
        QFETCH(QStringList, order);
        Forms f;
        TFM_Kontakt &form = *f.contact;
        QVERIFY(showActive(form));
        if (editing)
            form.sbKontEditClick();
        form.ui().pcKontakt->setCurrentIndex(tab);
        form.ui().pcOsoba->setCurrentIndex(personTab);
        QWidget *start = form.findChild<QWidget *>(order.first());
        if (!start)
            start = form.ui().pcKontakt->tabBar();
        QCOMPARE(walk(form, start, Qt::Key_Tab), order);
        QCOMPARE(walk(form, start, Qt::Key_Backtab), reversed(order));
        if (editing)
            form.BB_ZrusClick();
    }

    void companyForm_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("Firma") << 0 << kCompanyTop + QStringList{"EditNAZEV_FIRMA",
                                                                 "EditKOD",
                                                                 "EditZamereni",
                                                                 "EditPOPIS",
                                                                 "EditFtelefon",
                                                                 "EditFMobil",
                                                                 "EditIC",
                                                                 "EditDIC",
                                                                 "EditCislo_uctu",
                                                                 "EditKod_banky",
                                                                 "EditNAZEV_ADRESA_FS",
                                                                 "EditADRESA_FS",
                                                                 "EditUliceS",
                                                                 "EditObecS",
                                                                 "EditPSCS",
                                                                 "EditStatS",
                                                                 "MemoPoznamkaS",
                                                                 "EditID"};
        QTest::newRow("Adresy") << 1 << kCompanyTop + kAddressF + kAddressD + QStringList{"EditID"};
        QTest::newRow("Spojení") << 2 << kCompanyTop + kConnection + QStringList{"EditID"};
        QTest::newRow("Poznámka") << 3 << kCompanyTop + QStringList{"MemoPoznamka", "EditID"};
        QTest::newRow("Kontaktní osoby")
            << 4
            << kCompanyTop + QStringList{"sbVlozFirmaKontakt", "sbEditujFirmaKontakt",
                                         "gKontaktyFirmy", "EditID"};
        QTest::newRow("Pobočky firmy") << 5 << kCompanyTop + QStringList{"EditID"};
    }
    void companyForm() {
        QFETCH(int, tab);
        QFETCH(QStringList, order);
        Forms f;
        Tfm_Firma &form = *f.company;
        QVERIFY(showActive(form));
        form.ui().pcFirma->setCurrentIndex(tab);
        QWidget *start = form.findChild<QWidget *>(order.first());
        QCOMPARE(walk(form, start, Qt::Key_Tab), order);
        QCOMPARE(walk(form, start, Qt::Key_Backtab), reversed(order));
    }
};

QTEST_MAIN(TestTabOrder)
#include "tst_taborder.moc"
