// Building and binding the controls of the company form.
#include "forms/U_Firma.h"

#include "data/U_DM.h"
#include "forms/BoundText.h"
#include "forms/DbNavigator.h"
#include "forms/FormKit.h"
#include "forms/RecordProtocol.h"
#include "grid/DataGrid.h"
#include "ui/SharedColors.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace forms;

namespace {

/// The copy button in the lower left corner of an address group, beside its note box.
QToolButton *copyButton(QGroupBox *group, QGridLayout *grid, const char *name) {
    QToolButton *button =
        kit::speedButton(group, name, QStringLiteral("Zkopíruj adresu sídla"),
                         kit::glyph(QStringLiteral("kopiruj.svg")), QSize(25, 25));
    grid->addWidget(button, grid->rowCount() - 1, 0, Qt::AlignLeft | Qt::AlignBottom);
    return button;
}

QWidget *newTab(const char *name) {
    auto *tab = new QWidget;
    tab->setObjectName(QString::fromLatin1(name));
    return tab;
}

} // namespace

void Tfm_Firma::createControls() {
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(kNarrowWidth, kClientHeight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    const kit::RecordButtonBar bar =
        kit::recordButtonBar(this, m_dm.dsFIRMA, "sbFirVloz", "sbFirEdit", "sbFirSmaz", true);
    pTop = bar.panel;
    DBNavi = bar.navigator;
    sbFirVloz = bar.newButton;
    sbFirEdit = bar.editButton;
    sbFirSmaz = bar.deleteButton;

    pcFirma = new QTabWidget(this);
    pcFirma->setObjectName(QStringLiteral("pcFirma"));
    tsFirma = createCompanyTab();
    tsAdresa = createAddressesTab();
    tsSpojeni = createConnectionTab();
    tsPoznamka = createNoteTab();
    tsKontaktniOsoby = createContactPersonsTab();
    tsPobockyFirmy = newTab("tsPobockyFirmy");
    pcFirma->addTab(tsFirma, QStringLiteral("Firma"));
    pcFirma->addTab(tsAdresa, QStringLiteral("Adresy"));
    pcFirma->addTab(tsSpojeni, QStringLiteral("Spojení"));
    pcFirma->addTab(tsPoznamka, QStringLiteral("Poznámka"));
    pcFirma->addTab(tsKontaktniOsoby, QStringLiteral("Kontaktní osoby"));
    pcFirma->addTab(tsPobockyFirmy, QStringLiteral("Pobočky firmy"));
    pcFirma->setTabVisible(kBranchesTab, false);

    pBottom = new QWidget(this);
    pBottom->setFixedHeight(50);
    auto *bottom = new QHBoxLayout(pBottom);
    bottom->setContentsMargins(6, 8, 6, 8);
    bottom->setSpacing(4);
    auto *idLabel = new QLabel(QStringLiteral("ID"), pBottom);
    EditID = kit::lineBox(pBottom, "EditID");
    EditID->setFixedWidth(45);
    idLabel->setBuddy(EditID);
    BB_Jo = kit::confirmButton(pBottom);
    BB_Zrus = kit::cancelButton(pBottom);
    bottom->addWidget(idLabel);
    bottom->addWidget(EditID);
    bottom->addStretch();
    bottom->addWidget(BB_Jo);
    bottom->addWidget(BB_Zrus);

    layout->addWidget(pTop);
    layout->addWidget(pcFirma, 1);
    layout->addWidget(pBottom);
}

QWidget *Tfm_Firma::createCompanyTab() {
    QWidget *tab = newTab("tsFirma");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);

    gbInicialy = kit::groupBox(tab, "gbInicialy", QStringLiteral("  Iniciály  "));
    auto *initials = kit::grid(gbInicialy);
    const std::pair<const char *, QLineEdit **> firstRows[] = {
        {"Název firmy", &EditNAZEV_FIRMA}, {"Kód", &EditKOD},
        {"Zaměření", &EditZamereni},       {"Popis", &EditPOPIS},
        {"Telefon", &EditFtelefon},        {"Mobil", &EditFMobil}};
    const char *firstNames[] = {"EditNAZEV_FIRMA", "EditKOD",      "EditZamereni",
                                "EditPOPIS",       "EditFtelefon", "EditFMobil"};
    for (int i = 0; i < 6; ++i) {
        *firstRows[i].second = kit::lineBox(gbInicialy, firstNames[i]);
        kit::addRow(initials, QString::fromUtf8(firstRows[i].first), *firstRows[i].second);
    }

    gbFiremniData = kit::groupBox(tab, "gbFiremniData", QStringLiteral("  Firemní data  "));
    auto *company = kit::grid(gbFiremniData);
    EditIC = kit::lineBox(gbFiremniData, "EditIC");
    EditDIC = kit::lineBox(gbFiremniData, "EditDIC");
    EditCislo_uctu = kit::lineBox(gbFiremniData, "EditCislo_uctu");
    EditKod_banky = kit::lineBox(gbFiremniData, "EditKod_banky");
    kit::addRow(company, QStringLiteral("IČO"), EditIC);
    kit::addRow(company, QStringLiteral("DIČ"), EditDIC);
    kit::addRow(company, QStringLiteral("Číslo účtu"), EditCislo_uctu);
    kit::addRow(company, QStringLiteral("Kód banky"), EditKod_banky);

    gbAdresaS = kit::groupBox(tab, "gbAdresaS", QStringLiteral("   Adresa sídla firmy   "));
    kit::addressRows(
        gbAdresaS,
        {{&EditNAZEV_ADRESA_FS, &EditADRESA_FS, &EditUliceS, &EditObecS, &EditPSCS, &EditStatS},
         &MemoPoznamkaS,
         {"EditNAZEV_ADRESA_FS", "EditADRESA_FS", "EditUliceS", "EditObecS", "EditPSCS",
          "EditStatS", "MemoPoznamkaS"},
         "_FS"},
        m_dm.dsFIRMA);

    layout->addWidget(gbInicialy);
    layout->addWidget(gbFiremniData);
    layout->addWidget(gbAdresaS, 1);
    return tab;
}

QWidget *Tfm_Firma::createAddressesTab() {
    QWidget *tab = newTab("tsAdresa");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    gbAdresaF = kit::groupBox(tab, "gbAdresaF", QStringLiteral("   Fakturační adresa firmy   "));
    QGridLayout *invoicing = kit::addressRows(
        gbAdresaF,
        {{&EditNAZEV_ADRESA_FF, &EditADRESA_FF, &EditUliceF, &EditObecF, &EditPSCF, &EditStatF},
         &MemoPoznamkaF,
         {"EditNAZEV_ADRESA_FF", "EditADRESA_FF", "EditUliceF", "EditObecF", "EditPSCF",
          "EditStatF", "MemoPoznamkaF"},
         "_FF"},
        m_dm.dsFIRMA);
    sbkopirujFSdoFF = copyButton(gbAdresaF, invoicing, "sbkopirujFSdoFF");
    gbAdresaD = kit::groupBox(tab, "gbAdresaD", QStringLiteral("   Dodací adresa firmy   "));
    QGridLayout *delivery = kit::addressRows(
        gbAdresaD,
        {{&EditNAZEV_ADRESA_FD, &EditADRESA_FD, &EditUliceD, &EditObecD, &EditPSCD, &EditStatD},
         &MemoPoznamkaD,
         {"EditNAZEV_ADRESA_FD", "EditADRESA_FD", "EditUliceD", "EditObecD", "EditPSCD",
          "EditStatD", "MemoPoznamkaD"},
         "_FD"},
        m_dm.dsFIRMA);
    sbkopirujFSdoFD = copyButton(gbAdresaD, delivery, "sbkopirujFSdoFD");
    layout->addWidget(gbAdresaF);
    layout->addWidget(gbAdresaD);
    return tab;
}

QWidget *Tfm_Firma::createConnectionTab() {
    QWidget *tab = newTab("tsSpojeni");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    gbSpojeni = kit::groupBox(tab, "gbSpojeni", QStringLiteral("  Spojení na firmu:   "));
    kit::connectionRows(gbSpojeni,
                        {{&EditTelefon, &EditMobil, &EditTelefon2, &EditFax, &EditEmail,
                          &EditEmail2, &EditWWW, &EditICQ, &EditSkype, &EditDalsi1, &EditDalsi2},
                         &MemoPoznamkaSP,
                         "POZNAMKA_FSP"},
                        m_dm.dsFIRMA);
    layout->addWidget(gbSpojeni);
    return tab;
}

QWidget *Tfm_Firma::createNoteTab() {
    QWidget *tab = newTab("tsPoznamka");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    MemoPoznamka = kit::noteBox(tab, "MemoPoznamka");
    MemoPoznamka->setAccessibleName(QStringLiteral("Poznámka"));
    layout->addWidget(MemoPoznamka);
    return tab;
}

QWidget *Tfm_Firma::createContactPersonsTab() {
    QWidget *tab = newTab("tsKontaktniOsoby");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *strip = new QWidget(tab);
    strip->setFixedHeight(33);
    auto *buttons = new QHBoxLayout(strip);
    buttons->setContentsMargins(4, 2, 4, 2);
    buttons->setSpacing(2);
    sbVlozFirmaKontakt =
        kit::speedButton(strip, "sbVlozFirmaKontakt", QStringLiteral("Vlož kontaktní osobu"),
                         kit::glyph(QStringLiteral("vloz_osobu.svg")));
    sbEditujFirmaKontakt =
        kit::speedButton(strip, "sbEditujFirmaKontakt", QStringLiteral("Edituj kontaktní osobu"),
                         kit::glyph(QStringLiteral("edituj_osobu.svg")));
    buttons->addStretch();
    // From the keyboard too, on any tab: Ctrl+K adds a contact person,
    // Ctrl+Shift+K edits the one chosen in the list.
    for (const auto &[button, key] :
         {std::pair{sbVlozFirmaKontakt, QKeySequence(Qt::CTRL | Qt::Key_K)},
          std::pair{sbEditujFirmaKontakt, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)}}) {
        QToolButton *target = button;
        connect(new QShortcut(key, this), &QShortcut::activated, target, [target] {
            if (target->isEnabled())
                target->click();
        });
        target->setToolTip(QStringLiteral("%1 (%2)").arg(target->toolTip(),
                                                         key.toString(QKeySequence::NativeText)));
    }
    buttons->addWidget(sbVlozFirmaKontakt);
    buttons->addWidget(sbEditujFirmaKontakt);

    gKontaktyFirmy = new grid::DataGrid(tab);
    gKontaktyFirmy->setObjectName(QStringLiteral("gKontaktyFirmy"));
    gKontaktyFirmy->setAccessibleName(QStringLiteral("Kontaktní osoby firmy"));
    gKontaktyFirmy->setWrapTitles(true);
    gKontaktyFirmy->setTitleHeight(24);
    gKontaktyFirmy->setScrollBars(Qt::Horizontal);
    gKontaktyFirmy->setFilterBarVisible(true);
    gKontaktyFirmy->setTabKeyNavigation(false); // Tab leaves the list instead of walking its cells
    gKontaktyFirmy->setRowColors(palette().color(QPalette::Base), ui::sharedColors().evenRow);
    gKontaktyFirmy->setDataset(&m_dm.qFirmaKontakty);
    gKontaktyFirmy->setLayoutGroup(QStringLiteral("gKontaktyFirmy"));

    layout->addWidget(strip);
    layout->addWidget(gKontaktyFirmy, 1);
    return tab;
}

void Tfm_Firma::bindControls() {
    kit::labelFields(m_dm.tFIRMA, QStringLiteral("FIRMA"));
    dataset::DataSource &ds = m_dm.dsFIRMA;
    const std::pair<QLineEdit *, const char *> lines[] = {
        {EditID, "ID"},
        {EditNAZEV_FIRMA, "NAZEV_FIRMA"},
        {EditKOD, "KOD"},
        {EditZamereni, "ZAMERENI"},
        {EditPOPIS, "POPIS"},
        {EditFtelefon, "TELEFON1"},
        {EditFMobil, "MOBIL"},
        {EditIC, "ICO"},
        {EditDIC, "DIC"},
        {EditCislo_uctu, "BANK_UCET"},
        {EditKod_banky, "BANK_KOD"},
    };
    for (const auto &[box, column] : lines)
        new LineEditBinding(box, ds, QString::fromLatin1(column));
    new NoteBinding(MemoPoznamka, ds, QStringLiteral("POZNAMKA"));
}

void Tfm_Firma::createProtocol() {
    RecordProtocol::Controls c;
    c.form = this;
    c.mainTabs = pcFirma;
    c.navigator = DBNavi;
    c.newButton = sbFirVloz;
    c.editButton = sbFirEdit;
    c.deleteButton = sbFirSmaz;
    c.browseGroup = {sbVlozFirmaKontakt, sbEditujFirmaKontakt};
    c.confirmButton = BB_Jo;
    c.cancelButton = BB_Zrus;
    c.idBox = EditID;
    c.lineBoxes = {EditNAZEV_FIRMA,
                   EditKOD,
                   EditPOPIS,
                   EditZamereni,
                   EditIC,
                   EditDIC,
                   EditCislo_uctu,
                   EditKod_banky,
                   EditFMobil,
                   EditFtelefon,
                   EditNAZEV_ADRESA_FS,
                   EditADRESA_FS,
                   EditUliceS,
                   EditObecS,
                   EditPSCS,
                   EditStatS,
                   EditNAZEV_ADRESA_FF,
                   EditADRESA_FF,
                   EditUliceF,
                   EditObecF,
                   EditPSCF,
                   EditStatF,
                   EditNAZEV_ADRESA_FD,
                   EditADRESA_FD,
                   EditUliceD,
                   EditObecD,
                   EditPSCD,
                   EditStatD,
                   EditTelefon,
                   EditTelefon2,
                   EditMobil,
                   EditFax,
                   EditEmail,
                   EditEmail2,
                   EditWWW,
                   EditICQ,
                   EditSkype,
                   EditDalsi1,
                   EditDalsi2};
    c.noteBoxes = {MemoPoznamkaS, MemoPoznamkaF, MemoPoznamkaD, MemoPoznamkaSP, MemoPoznamka};
    c.neverEditable = {EditID};
    protocol = new RecordProtocol(c);
}
