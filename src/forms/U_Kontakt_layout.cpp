// Building and binding the controls of the contact form.
#include "forms/U_Kontakt.h"

#include "data/U_DM.h"
#include "forms/BoundText.h"
#include "forms/DbNavigator.h"
#include "forms/FormKit.h"
#include "forms/LookupBinding.h"
#include "forms/PhotoView.h"
#include "forms/RecordProtocol.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace forms;

namespace {

const QStringList kTitlesBefore{QString(),
                                QStringLiteral("Bc."),
                                QStringLiteral("Ing."),
                                QStringLiteral("BcA."),
                                QStringLiteral("Ing. arch."),
                                QStringLiteral("Mgr."),
                                QStringLiteral("MgrA."),
                                QStringLiteral("MUDr."),
                                QStringLiteral("MVDr."),
                                QStringLiteral("JUDr."),
                                QStringLiteral("RNDr."),
                                QStringLiteral("PhDr."),
                                QStringLiteral("PharmDr."),
                                QStringLiteral("ThLic."),
                                QStringLiteral("ThDr."),
                                QStringLiteral("PeadDr."),
                                QStringLiteral("PhMr."),
                                QStringLiteral("prof."),
                                QStringLiteral("doc."),
                                QStringLiteral("dr. h. c."),
                                QStringLiteral("akad. arch."),
                                QStringLiteral("ak. mal."),
                                QStringLiteral("ak. soch.")};

const QStringList kTitlesAfter{QString(),
                               QStringLiteral("CSc."),
                               QStringLiteral("Dr."),
                               QStringLiteral("Ph.D."),
                               QStringLiteral("Th.D."),
                               QStringLiteral("Dr.Sc."),
                               QStringLiteral("DiS."),
                               QStringLiteral("MBA")};

} // namespace

void TFM_Kontakt::createControls() {
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(388, 452);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    const kit::RecordButtonBar bar =
        kit::recordButtonBar(this, m_dm.dsKONTAKT, "sbKontVloz", "sbKontEdit", "sbKontSmaz", false);
    pTop = bar.panel;
    DBNavi = bar.navigator;
    sbKontVloz = bar.newButton;
    sbKontEdit = bar.editButton;
    sbKontSmaz = bar.deleteButton;

    pcKontakt = new QTabWidget(this);
    pcKontakt->setObjectName(QStringLiteral("pcKontakt"));
    tsKontakt = createPersonTab();
    tsAdresa = createAddressTab();
    tsSpojeni = createConnectionTab();
    tsPoznamka = createNoteTab();
    pcKontakt->addTab(tsKontakt, QStringLiteral("Osoba"));
    pcKontakt->addTab(tsAdresa, QStringLiteral("Adresa"));
    pcKontakt->addTab(tsSpojeni, QStringLiteral("Spojení"));
    pcKontakt->addTab(tsPoznamka, QStringLiteral("Poznámka"));

    pBottom = new QWidget(this);
    pBottom->setFixedHeight(50);
    auto *bottom = new QHBoxLayout(pBottom);
    bottom->setContentsMargins(6, 8, 6, 8);
    bottom->setSpacing(4);
    auto *idLabel = new QLabel(QStringLiteral("ID"), pBottom);
    EditID = kit::lineBox(pBottom, "EditID");
    EditID->setFixedWidth(45);
    idLabel->setBuddy(EditID);
    auto *companyLabel = new QLabel(QStringLiteral("Firma"), pBottom);
    cbFirma = new QComboBox(pBottom);
    cbFirma->setObjectName(QStringLiteral("cbFirma"));
    cbFirma->setEnabled(false); // the company is fixed when the contact is created
    companyLabel->setBuddy(cbFirma);
    BB_Jo = kit::confirmButton(pBottom);
    BB_Zrus = kit::cancelButton(pBottom);
    bottom->addWidget(idLabel);
    bottom->addWidget(EditID);
    bottom->addSpacing(4);
    bottom->addWidget(companyLabel);
    bottom->addWidget(cbFirma, 1);
    bottom->addSpacing(4);
    bottom->addWidget(BB_Jo);
    bottom->addWidget(BB_Zrus);

    layout->addWidget(pTop);
    layout->addWidget(pcKontakt, 1);
    layout->addWidget(pBottom);
}

QWidget *TFM_Kontakt::createPersonTab() {
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("tsKontakt"));
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);

    gbInicialy = kit::groupBox(tab, "gbInicialy", QStringLiteral("  Iniciály  "));
    auto *initials = new QHBoxLayout(gbInicialy);
    initials->setContentsMargins(0, 0, 6, 4);
    initials->setSpacing(2);
    auto *names = new QWidget(gbInicialy);
    auto *namesGrid = kit::grid(names);
    dcbTitulP = kit::dropDownList(names, "dcbTitulP", kTitlesBefore);
    dcbTitulP->setMaxVisibleItems(15);
    EditJmeno = kit::lineBox(names, "EditJmeno");
    EditPrijmeni = kit::lineBox(names, "EditPrijmeni");
    dcbTitulZ = kit::dropDownList(names, "dcbTitulZ", kTitlesAfter);
    kit::addRow(namesGrid, QStringLiteral("Titul před"), dcbTitulP);
    kit::addRow(namesGrid, QStringLiteral("Jméno"), EditJmeno);
    kit::addRow(namesGrid, QStringLiteral("Příjmení"), EditPrijmeni);
    kit::addRow(namesGrid, QStringLiteral("Titul za"), dcbTitulZ);
    initials->addWidget(names, 1);

    pcOsoba = new QTabWidget(gbInicialy);
    pcOsoba->setObjectName(QStringLiteral("pcOsoba"));
    tsFotka = new QWidget;
    tsFotka->setObjectName(QStringLiteral("tsFotka"));
    auto *photoLayout = new QVBoxLayout(tsFotka);
    photoLayout->setContentsMargins(0, 0, 0, 0);
    iObr = new PhotoView(tsFotka);
    iObr->setObjectName(QStringLiteral("iObr"));
    iObr->setFixedSize(141, 105);
    iObr->setAccessibleName(QStringLiteral("Fotka"));
    photoLayout->addWidget(iObr);
    lFotoNahrano = new QLabel(QStringLiteral("FOTKA byla nahrána zobrazí se po uložení"), iObr);
    lFotoNahrano->setObjectName(QStringLiteral("lFotoNahrano"));
    lFotoNahrano->setWordWrap(true);
    lFotoNahrano->setAlignment(Qt::AlignCenter);
    lFotoNahrano->setGeometry(0, 0, 141, 105);
    lFotoNahrano->hide();
    pmFotka = new QMenu(this);
    pmFotka->setObjectName(QStringLiteral("pmFotka"));
    Natifotku1 = pmFotka->addAction(QStringLiteral("Načti fotku"));
    Natifotku1->setObjectName(QStringLiteral("Natifotku1"));
    Vymafotku1 = pmFotka->addAction(QStringLiteral("Vymaž fotku"));
    Vymafotku1->setObjectName(QStringLiteral("Vymafotku1"));
    iObr->setContextMenuPolicy(Qt::CustomContextMenu);
    // Tab reaches the photo; the menu key or Shift+F10 opens its menu there.
    iObr->setFocusPolicy(Qt::TabFocus);
    connect(iObr, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { pmFotka->popup(iObr->mapToGlobal(at)); });

    tsData = new QWidget;
    tsData->setObjectName(QStringLiteral("tsData"));
    auto *dataGrid = kit::grid(tsData);
    EditNarozeniny = kit::lineBox(tsData, "EditNarozeniny");
    EditSvatek = kit::lineBox(tsData, "EditSvatek");
    EditUpominka = kit::lineBox(tsData, "EditUpominka");
    EditSvatek->setEnabled(false);
    EditUpominka->setEnabled(false);
    kit::addRow(dataGrid, QStringLiteral("Narozeniny"), EditNarozeniny);
    kit::addRow(dataGrid, QStringLiteral("Svátek"), EditSvatek);
    kit::addRow(dataGrid, QStringLiteral("Událost"), EditUpominka);
    dataGrid->setRowStretch(dataGrid->rowCount(), 1);
    pcOsoba->addTab(tsFotka, QStringLiteral("Fotka"));
    pcOsoba->addTab(tsData, QStringLiteral("Data"));
    // The tab control is as large as the photo area it holds.
    const QSize pages = tsFotka->sizeHint().expandedTo(tsData->sizeHint());
    pcOsoba->setFixedSize(QSize(141, 105) + (pcOsoba->sizeHint() - pages));
    initials->addWidget(pcOsoba, 0, Qt::AlignTop);

    gbFiremniData = kit::groupBox(tab, "gbFiremniData", QStringLiteral("  Firemní data  "));
    auto *work = kit::grid(gbFiremniData);
    EditPozice = kit::lineBox(gbFiremniData, "EditPozice");
    EditPopis = kit::lineBox(gbFiremniData, "EditPopis");
    kit::addRow(work, QStringLiteral("Pozice"), EditPozice);
    kit::addRow(work, QStringLiteral("Popis"), EditPopis);

    gbKratkyVypis = kit::groupBox(tab, "gbKratkyVypis",
                                  QStringLiteral("   Krátký výpis spojení na kontakt   "));
    auto *brief = kit::grid(gbKratkyVypis);
    EditOTelefon = kit::lineBox(gbKratkyVypis, "EditOTelefon");
    EditOMobil = kit::lineBox(gbKratkyVypis, "EditOMobil");
    EditOEmail = kit::lineBox(gbKratkyVypis, "EditOEmail");
    kit::addRow(brief, QStringLiteral("Telefon"), EditOTelefon);
    kit::addRow(brief, QStringLiteral("Mobil"), EditOMobil);
    kit::addRow(brief, QStringLiteral("E-mail"), EditOEmail);

    layout->addWidget(gbInicialy);
    layout->addWidget(gbFiremniData);
    layout->addWidget(gbKratkyVypis);
    layout->addStretch();
    return tab;
}

QWidget *TFM_Kontakt::createAddressTab() {
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("tsAdresa"));
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    gbAdresa = kit::groupBox(tab, "gbAdresa", QStringLiteral("  Privátní adresa kontaktu  "));
    kit::addressRows(gbAdresa,
                     {{&EditNAZEV_ADRESA, &EditADRESA, &EditUlice, &EditObec, &EditPSC, &EditStat},
                      &MemoPoznamkaAD,
                      {"EditNAZEV_ADRESA", "EditADRESA", "EditUlice", "EditObec", "EditPSC",
                       "EditStat", "MemoPoznamkaAD"},
                      ""},
                     m_dm.dsKONTAKT);
    layout->addWidget(gbAdresa);
    return tab;
}

QWidget *TFM_Kontakt::createConnectionTab() {
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("tsSpojeni"));
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    gbSpojeni = kit::groupBox(tab, "gbSpojeni", QStringLiteral("  Privátní spojení na kontakt  "));
    kit::connectionRows(gbSpojeni,
                        {{&EditTelefon, &EditMobil, &EditTelefon2, &EditFax, &EditEmail,
                          &EditEmail2, &EditWWW, &EditICQ, &EditSkype, &EditDalsi1, &EditDalsi2},
                         &MemoPoznamkaSP,
                         "POZNAMKA_KSPOJ"},
                        m_dm.dsKONTAKT);
    layout->addWidget(gbSpojeni);
    return tab;
}

QWidget *TFM_Kontakt::createNoteTab() {
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("tsPoznamka"));
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    MemoPoznamka = kit::noteBox(tab, "MemoPoznamka");
    MemoPoznamka->setAccessibleName(QStringLiteral("Poznámka"));
    layout->addWidget(MemoPoznamka);
    return tab;
}

void TFM_Kontakt::bindControls() {
    kit::labelFields(m_dm.tKONTAKT, QStringLiteral("KONTAKT"));
    dataset::DataSource &ds = m_dm.dsKONTAKT;
    const std::pair<QLineEdit *, const char *> lines[] = {
        {EditID, "ID"},
        {EditJmeno, "JMENO"},
        {EditPrijmeni, "PRIJMENI"},
        {EditNarozeniny, "NAROZENINY"},
        {EditSvatek, "SVATEK"},
        {EditUpominka, "UPOMINKA"},
        {EditPozice, "POZICE"},
        {EditPopis, "POPIS"},
        {EditOTelefon, "TELEFON1"},
        {EditOMobil, "MOBIL"},
        {EditOEmail, "EMAIL1"},
    };
    for (const auto &[box, column] : lines)
        new LineEditBinding(box, ds, QString::fromLatin1(column));
    new ComboBinding(dcbTitulP, ds, QStringLiteral("TITUL_PRED"));
    new ComboBinding(dcbTitulZ, ds, QStringLiteral("TITUL_ZA"));
    new NoteBinding(MemoPoznamka, ds, QStringLiteral("POZNAMKA"));
    cbFirmaLookup = new LookupBinding(cbFirma, ds, QStringLiteral("ID_FIRMA"), m_dm.tFIRMA,
                                      QStringLiteral("ID"), QStringLiteral("NAZEV_FIRMA"));
}

void TFM_Kontakt::createProtocol() {
    RecordProtocol::Controls c;
    c.form = this;
    c.mainTabs = pcKontakt;
    c.navigator = DBNavi;
    c.newButton = sbKontVloz;
    c.editButton = sbKontEdit;
    c.deleteButton = sbKontSmaz;
    c.confirmButton = BB_Jo;
    c.cancelButton = BB_Zrus;
    c.idBox = EditID;
    c.lineBoxes = {EditJmeno,        EditPrijmeni, EditNarozeniny, EditSvatek, EditUpominka,
                   EditPozice,       EditPopis,    EditOTelefon,   EditOMobil, EditOEmail,
                   EditNAZEV_ADRESA, EditADRESA,   EditUlice,      EditObec,   EditPSC,
                   EditStat,         EditTelefon,  EditTelefon2,   EditMobil,  EditFax,
                   EditEmail,        EditEmail2,   EditWWW,        EditICQ,    EditSkype,
                   EditDalsi1,       EditDalsi2};
    c.dropDowns = {dcbTitulP, dcbTitulZ};
    c.noteBoxes = {MemoPoznamka, MemoPoznamkaAD, MemoPoznamkaSP};
    c.neverEditable = {EditID, cbFirma};
    // A photo loaded or removed is a change too.
    c.otherChanges = [this] {
        return !lFotoNahrano->isHidden() ||
               (m_dm.tKONTAKT.state() == dataset::Dataset::State::Edit &&
                m_dm.tKONTAKT.isModified());
    };
    protocol = new RecordProtocol(c);
    protocol->onLook = [this](bool editable) {
        Natifotku1->setEnabled(editable);
        Vymafotku1->setEnabled(editable);
        lFotoNahrano->hide();
    };
}
