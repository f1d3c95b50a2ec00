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

} // namespace

void Tfm_Firma::createControls() {
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(kNarrowWidth, kClientHeight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    const kit::RecordButtonBar bar =
        kit::recordButtonBar(this, m_dm.dsFIRMA, "sbFirVloz", "sbFirEdit", "sbFirSmaz", true);
    m_ui.pTop = bar.panel;
    m_ui.DBNavi = bar.navigator;
    m_ui.sbFirVloz = bar.newButton;
    m_ui.sbFirEdit = bar.editButton;
    m_ui.sbFirSmaz = bar.deleteButton;

    m_ui.pcFirma = new QTabWidget(this);
    m_ui.pcFirma->setObjectName(QStringLiteral("pcFirma"));
    m_ui.tsFirma = createCompanyTab();
    m_ui.tsAdresa = createAddressesTab();
    m_ui.tsSpojeni =
        kit::connectionTab(&m_ui.gbSpojeni, QStringLiteral("  Spojení na firmu:   "),
                           {{&m_ui.EditTelefon, &m_ui.EditMobil, &m_ui.EditTelefon2, &m_ui.EditFax,
                             &m_ui.EditEmail, &m_ui.EditEmail2, &m_ui.EditWWW, &m_ui.EditICQ,
                             &m_ui.EditSkype, &m_ui.EditDalsi1, &m_ui.EditDalsi2},
                            &m_ui.MemoPoznamkaSP,
                            "POZNAMKA_FSP"},
                           m_dm.dsFIRMA);
    m_ui.tsPoznamka = kit::noteTab(&m_ui.MemoPoznamka);
    m_ui.tsKontaktniOsoby = createContactPersonsTab();
    m_ui.tsPobockyFirmy = kit::tabPage("tsPobockyFirmy");
    m_ui.pcFirma->addTab(m_ui.tsFirma, QStringLiteral("Firma"));
    m_ui.pcFirma->addTab(m_ui.tsAdresa, QStringLiteral("Adresy"));
    m_ui.pcFirma->addTab(m_ui.tsSpojeni, QStringLiteral("Spojení"));
    m_ui.pcFirma->addTab(m_ui.tsPoznamka, QStringLiteral("Poznámka"));
    m_ui.pcFirma->addTab(m_ui.tsKontaktniOsoby, QStringLiteral("Kontaktní osoby"));
    m_ui.pcFirma->addTab(m_ui.tsPobockyFirmy, QStringLiteral("Pobočky firmy"));
    m_ui.pcFirma->setTabVisible(kBranchesTab, false);

    m_ui.pBottom = new QWidget(this);
    m_ui.pBottom->setFixedHeight(50);
    auto *bottom = new QHBoxLayout(m_ui.pBottom);
    bottom->setContentsMargins(6, 8, 6, 8);
    bottom->setSpacing(4);
    auto *idLabel = new QLabel(QStringLiteral("ID"), m_ui.pBottom);
    m_ui.EditID = kit::lineBox(m_ui.pBottom, "EditID");
    m_ui.EditID->setFixedWidth(45);
    idLabel->setBuddy(m_ui.EditID);
    m_ui.BB_Jo = kit::confirmButton(m_ui.pBottom);
    m_ui.BB_Zrus = kit::cancelButton(m_ui.pBottom);
    bottom->addWidget(idLabel);
    bottom->addWidget(m_ui.EditID);
    bottom->addStretch();
    bottom->addWidget(m_ui.BB_Jo);
    bottom->addWidget(m_ui.BB_Zrus);

    layout->addWidget(m_ui.pTop);
    layout->addWidget(m_ui.pcFirma, 1);
    layout->addWidget(m_ui.pBottom);
}

QWidget *Tfm_Firma::createCompanyTab() {
    QWidget *tab = kit::tabPage("tsFirma");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);

    m_ui.gbInicialy = kit::groupBox(tab, "gbInicialy", QStringLiteral("  Iniciály  "));
    auto *initials = kit::grid(m_ui.gbInicialy);
    const std::pair<const char *, QLineEdit **> firstRows[] = {
        {"Název firmy", &m_ui.EditNAZEV_FIRMA}, {"Kód", &m_ui.EditKOD},
        {"Zaměření", &m_ui.EditZamereni},       {"Popis", &m_ui.EditPOPIS},
        {"Telefon", &m_ui.EditFtelefon},        {"Mobil", &m_ui.EditFMobil}};
    const char *firstNames[] = {"EditNAZEV_FIRMA", "EditKOD",      "EditZamereni",
                                "EditPOPIS",       "EditFtelefon", "EditFMobil"};
    for (int i = 0; i < 6; ++i) {
        *firstRows[i].second = kit::lineBox(m_ui.gbInicialy, firstNames[i]);
        kit::addRow(initials, QString::fromUtf8(firstRows[i].first), *firstRows[i].second);
    }

    m_ui.gbFiremniData = kit::groupBox(tab, "gbFiremniData", QStringLiteral("  Firemní data  "));
    auto *company = kit::grid(m_ui.gbFiremniData);
    m_ui.EditIC = kit::lineBox(m_ui.gbFiremniData, "EditIC");
    m_ui.EditDIC = kit::lineBox(m_ui.gbFiremniData, "EditDIC");
    m_ui.EditCislo_uctu = kit::lineBox(m_ui.gbFiremniData, "EditCislo_uctu");
    m_ui.EditKod_banky = kit::lineBox(m_ui.gbFiremniData, "EditKod_banky");
    // "Načíst z ARES" beside the IČO it asks for; a focusable button, so
    // that Tab reaches it in edit mode (Ctrl+R works from any box).
    auto *icoRow = new QWidget(m_ui.gbFiremniData);
    auto *icoLayout = new QHBoxLayout(icoRow);
    icoLayout->setContentsMargins(0, 0, 0, 0);
    icoLayout->setSpacing(6);
    m_ui.EditIC->setParent(icoRow);
    m_ui.EditIC->setAccessibleName(QStringLiteral("IČO"));
    m_ui.sbAres = new QToolButton(icoRow);
    m_ui.sbAres->setObjectName(QStringLiteral("sbAres"));
    m_ui.sbAres->setText(QStringLiteral("Načíst z ARES"));
    m_ui.sbAres->setAccessibleName(QStringLiteral("Načíst z ARES"));
    const QKeySequence aresKey(Qt::CTRL | Qt::Key_R);
    m_ui.sbAres->setToolTip(QStringLiteral("Načte název, DIČ a adresu sídla firmy z registru "
                                           "ARES podle IČO (%1)")
                                .arg(aresKey.toString(QKeySequence::NativeText)));
    m_ui.sbAres->setAccessibleDescription(m_ui.sbAres->toolTip());
    m_ui.sbAres->setFocusPolicy(Qt::StrongFocus);
    connect(new QShortcut(aresKey, this), &QShortcut::activated, this, [this] {
        if (m_ui.sbAres->isEnabled())
            m_ui.sbAres->click();
    });
    icoLayout->addWidget(m_ui.EditIC, 1);
    icoLayout->addWidget(m_ui.sbAres);
    kit::addRow(company, QStringLiteral("IČO"), icoRow)->setBuddy(m_ui.EditIC);
    setTabOrder(m_ui.EditIC, m_ui.sbAres); // made after the other number boxes
    kit::addRow(company, QStringLiteral("DIČ"), m_ui.EditDIC);
    kit::addRow(company, QStringLiteral("Číslo účtu"), m_ui.EditCislo_uctu);
    // The bank's name beside its code, in the space a four-digit code leaves.
    auto *codeRow = new QWidget(m_ui.gbFiremniData);
    auto *codeLayout = new QHBoxLayout(codeRow);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    codeLayout->setSpacing(6);
    m_ui.EditKod_banky->setParent(codeRow);
    m_ui.EditKod_banky->setFixedWidth(60);
    // Its caption is no sibling of it any more, where the name would be looked up.
    m_ui.EditKod_banky->setAccessibleName(QStringLiteral("Kód banky"));
    m_ui.lNazevBanky = new QLabel(codeRow);
    m_ui.lNazevBanky->setObjectName(QStringLiteral("lNazevBanky"));
    m_ui.lNazevBanky->setAccessibleDescription(QStringLiteral("Název banky"));
    codeLayout->addWidget(m_ui.EditKod_banky);
    codeLayout->addWidget(m_ui.lNazevBanky, 1);
    kit::addRow(company, QStringLiteral("Kód banky"), codeRow)->setBuddy(m_ui.EditKod_banky);

    m_ui.gbAdresaS = kit::groupBox(tab, "gbAdresaS", QStringLiteral("   Adresa sídla firmy   "));
    kit::addressRows(m_ui.gbAdresaS,
                     {{&m_ui.EditNAZEV_ADRESA_FS, &m_ui.EditADRESA_FS, &m_ui.EditUliceS,
                       &m_ui.EditObecS, &m_ui.EditPSCS, &m_ui.EditStatS},
                      &m_ui.MemoPoznamkaS,
                      {"EditNAZEV_ADRESA_FS", "EditADRESA_FS", "EditUliceS", "EditObecS",
                       "EditPSCS", "EditStatS", "MemoPoznamkaS"},
                      "_FS"},
                     m_dm.dsFIRMA);

    layout->addWidget(m_ui.gbInicialy);
    layout->addWidget(m_ui.gbFiremniData);
    layout->addWidget(m_ui.gbAdresaS, 1);
    return tab;
}

QWidget *Tfm_Firma::createAddressesTab() {
    QWidget *tab = kit::tabPage("tsAdresa");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    m_ui.gbAdresaF =
        kit::groupBox(tab, "gbAdresaF", QStringLiteral("   Fakturační adresa firmy   "));
    QGridLayout *invoicing =
        kit::addressRows(m_ui.gbAdresaF,
                         {{&m_ui.EditNAZEV_ADRESA_FF, &m_ui.EditADRESA_FF, &m_ui.EditUliceF,
                           &m_ui.EditObecF, &m_ui.EditPSCF, &m_ui.EditStatF},
                          &m_ui.MemoPoznamkaF,
                          {"EditNAZEV_ADRESA_FF", "EditADRESA_FF", "EditUliceF", "EditObecF",
                           "EditPSCF", "EditStatF", "MemoPoznamkaF"},
                          "_FF"},
                         m_dm.dsFIRMA);
    m_ui.sbkopirujFSdoFF = copyButton(m_ui.gbAdresaF, invoicing, "sbkopirujFSdoFF");
    m_ui.gbAdresaD = kit::groupBox(tab, "gbAdresaD", QStringLiteral("   Dodací adresa firmy   "));
    QGridLayout *delivery =
        kit::addressRows(m_ui.gbAdresaD,
                         {{&m_ui.EditNAZEV_ADRESA_FD, &m_ui.EditADRESA_FD, &m_ui.EditUliceD,
                           &m_ui.EditObecD, &m_ui.EditPSCD, &m_ui.EditStatD},
                          &m_ui.MemoPoznamkaD,
                          {"EditNAZEV_ADRESA_FD", "EditADRESA_FD", "EditUliceD", "EditObecD",
                           "EditPSCD", "EditStatD", "MemoPoznamkaD"},
                          "_FD"},
                         m_dm.dsFIRMA);
    m_ui.sbkopirujFSdoFD = copyButton(m_ui.gbAdresaD, delivery, "sbkopirujFSdoFD");
    layout->addWidget(m_ui.gbAdresaF);
    layout->addWidget(m_ui.gbAdresaD);
    return tab;
}

QWidget *Tfm_Firma::createContactPersonsTab() {
    QWidget *tab = kit::tabPage("tsKontaktniOsoby");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *strip = new QWidget(tab);
    strip->setFixedHeight(33);
    auto *buttons = new QHBoxLayout(strip);
    buttons->setContentsMargins(4, 2, 4, 2);
    buttons->setSpacing(2);
    m_ui.sbVlozFirmaKontakt =
        kit::speedButton(strip, "sbVlozFirmaKontakt", QStringLiteral("Vlož kontaktní osobu"),
                         kit::glyph(QStringLiteral("vloz_osobu.svg")));
    m_ui.sbEditujFirmaKontakt =
        kit::speedButton(strip, "sbEditujFirmaKontakt", QStringLiteral("Edituj kontaktní osobu"),
                         kit::glyph(QStringLiteral("edituj_osobu.svg")));
    buttons->addStretch();
    // From the keyboard too, on any tab: Ctrl+K adds a contact person,
    // Ctrl+Shift+K edits the one chosen in the list.
    for (const auto &[button, key] :
         {std::pair{m_ui.sbVlozFirmaKontakt, QKeySequence(Qt::CTRL | Qt::Key_K)},
          std::pair{m_ui.sbEditujFirmaKontakt, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)}}) {
        QToolButton *target = button;
        connect(new QShortcut(key, this), &QShortcut::activated, target, [target] {
            if (target->isEnabled())
                target->click();
        });
        target->setToolTip(QStringLiteral("%1 (%2)").arg(target->toolTip(),
                                                         key.toString(QKeySequence::NativeText)));
    }
    buttons->addWidget(m_ui.sbVlozFirmaKontakt);
    buttons->addWidget(m_ui.sbEditujFirmaKontakt);

    m_ui.gKontaktyFirmy = new grid::DataGrid(tab);
    m_ui.gKontaktyFirmy->setObjectName(QStringLiteral("gKontaktyFirmy"));
    m_ui.gKontaktyFirmy->setAccessibleName(QStringLiteral("Kontaktní osoby firmy"));
    m_ui.gKontaktyFirmy->setWrapTitles(true);
    m_ui.gKontaktyFirmy->setTitleHeight(24);
    m_ui.gKontaktyFirmy->setScrollBars(Qt::Horizontal);
    m_ui.gKontaktyFirmy->setFilterBarVisible(true);
    m_ui.gKontaktyFirmy->setTabKeyNavigation(
        false); // Tab leaves the list instead of walking its cells
    m_ui.gKontaktyFirmy->setRowColors(palette().color(QPalette::Base), ui::sharedColors().evenRow);
    m_ui.gKontaktyFirmy->setDataset(&m_dm.qFirmaKontakty);
    m_ui.gKontaktyFirmy->setLayoutGroup(QStringLiteral("gKontaktyFirmy"));

    layout->addWidget(strip);
    layout->addWidget(m_ui.gKontaktyFirmy, 1);
    return tab;
}

void Tfm_Firma::bindControls() {
    kit::labelFields(m_dm.tFIRMA, QStringLiteral("FIRMA"));
    dataset::DataSource &ds = m_dm.dsFIRMA;
    const std::pair<QLineEdit *, const char *> lines[] = {
        {m_ui.EditID, "ID"},
        {m_ui.EditNAZEV_FIRMA, "NAZEV_FIRMA"},
        {m_ui.EditKOD, "KOD"},
        {m_ui.EditZamereni, "ZAMERENI"},
        {m_ui.EditPOPIS, "POPIS"},
        {m_ui.EditFtelefon, "TELEFON1"},
        {m_ui.EditFMobil, "MOBIL"},
        {m_ui.EditIC, "ICO"},
        {m_ui.EditDIC, "DIC"},
        {m_ui.EditCislo_uctu, "BANK_UCET"},
        {m_ui.EditKod_banky, "BANK_KOD"},
    };
    for (const auto &[box, column] : lines)
        new LineEditBinding(box, ds, QString::fromLatin1(column));
    new NoteBinding(m_ui.MemoPoznamka, ds, QStringLiteral("POZNAMKA"));
}

void Tfm_Firma::createProtocol() {
    RecordProtocol::Controls c;
    c.form = this;
    c.mainTabs = m_ui.pcFirma;
    c.navigator = m_ui.DBNavi;
    c.newButton = m_ui.sbFirVloz;
    c.editButton = m_ui.sbFirEdit;
    c.deleteButton = m_ui.sbFirSmaz;
    c.browseGroup = {m_ui.sbVlozFirmaKontakt, m_ui.sbEditujFirmaKontakt};
    c.confirmButton = m_ui.BB_Jo;
    c.cancelButton = m_ui.BB_Zrus;
    c.lineBoxes = {m_ui.EditNAZEV_FIRMA,
                   m_ui.EditKOD,
                   m_ui.EditPOPIS,
                   m_ui.EditZamereni,
                   m_ui.EditIC,
                   m_ui.EditDIC,
                   m_ui.EditCislo_uctu,
                   m_ui.EditKod_banky,
                   m_ui.EditFMobil,
                   m_ui.EditFtelefon,
                   m_ui.EditNAZEV_ADRESA_FS,
                   m_ui.EditADRESA_FS,
                   m_ui.EditUliceS,
                   m_ui.EditObecS,
                   m_ui.EditPSCS,
                   m_ui.EditStatS,
                   m_ui.EditNAZEV_ADRESA_FF,
                   m_ui.EditADRESA_FF,
                   m_ui.EditUliceF,
                   m_ui.EditObecF,
                   m_ui.EditPSCF,
                   m_ui.EditStatF,
                   m_ui.EditNAZEV_ADRESA_FD,
                   m_ui.EditADRESA_FD,
                   m_ui.EditUliceD,
                   m_ui.EditObecD,
                   m_ui.EditPSCD,
                   m_ui.EditStatD,
                   m_ui.EditTelefon,
                   m_ui.EditTelefon2,
                   m_ui.EditMobil,
                   m_ui.EditFax,
                   m_ui.EditEmail,
                   m_ui.EditEmail2,
                   m_ui.EditWWW,
                   m_ui.EditICQ,
                   m_ui.EditSkype,
                   m_ui.EditDalsi1,
                   m_ui.EditDalsi2};
    c.noteBoxes = {m_ui.MemoPoznamkaS, m_ui.MemoPoznamkaF, m_ui.MemoPoznamkaD, m_ui.MemoPoznamkaSP,
                   m_ui.MemoPoznamka};
    c.neverEditable = {m_ui.EditID};
    protocol = new RecordProtocol(c);
    protocol->onLook = [this](bool editable) { m_ui.sbAres->setEnabled(editable); };
}
