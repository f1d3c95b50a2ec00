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
    m_ui.pTop = bar.panel;
    m_ui.DBNavi = bar.navigator;
    m_ui.sbKontVloz = bar.newButton;
    m_ui.sbKontEdit = bar.editButton;
    m_ui.sbKontSmaz = bar.deleteButton;

    m_ui.pcKontakt = new QTabWidget(this);
    m_ui.pcKontakt->setObjectName(QStringLiteral("pcKontakt"));
    m_ui.tsKontakt = createPersonTab();
    m_ui.tsAdresa = createAddressTab();
    m_ui.tsSpojeni =
        kit::connectionTab(&m_ui.gbSpojeni, QStringLiteral("  Privátní spojení na kontakt  "),
                           {{&m_ui.EditTelefon, &m_ui.EditMobil, &m_ui.EditTelefon2, &m_ui.EditFax,
                             &m_ui.EditEmail, &m_ui.EditEmail2, &m_ui.EditWWW, &m_ui.EditICQ,
                             &m_ui.EditSkype, &m_ui.EditDalsi1, &m_ui.EditDalsi2},
                            &m_ui.MemoPoznamkaSP,
                            "POZNAMKA_KSPOJ"},
                           m_dm.dsKONTAKT);
    m_ui.tsPoznamka = kit::noteTab(&m_ui.MemoPoznamka);
    m_ui.pcKontakt->addTab(m_ui.tsKontakt, QStringLiteral("Osoba"));
    m_ui.pcKontakt->addTab(m_ui.tsAdresa, QStringLiteral("Adresa"));
    m_ui.pcKontakt->addTab(m_ui.tsSpojeni, QStringLiteral("Spojení"));
    m_ui.pcKontakt->addTab(m_ui.tsPoznamka, QStringLiteral("Poznámka"));

    m_ui.pBottom = new QWidget(this);
    m_ui.pBottom->setFixedHeight(50);
    auto *bottom = new QHBoxLayout(m_ui.pBottom);
    bottom->setContentsMargins(6, 8, 6, 8);
    bottom->setSpacing(4);
    auto *idLabel = new QLabel(QStringLiteral("ID"), m_ui.pBottom);
    m_ui.EditID = kit::lineBox(m_ui.pBottom, "EditID");
    m_ui.EditID->setFixedWidth(45);
    idLabel->setBuddy(m_ui.EditID);
    auto *companyLabel = new QLabel(QStringLiteral("Firma"), m_ui.pBottom);
    m_ui.cbFirma = new QComboBox(m_ui.pBottom);
    m_ui.cbFirma->setObjectName(QStringLiteral("cbFirma"));
    m_ui.cbFirma->setAccessibleName(QStringLiteral("Firma"));
    m_ui.cbFirma->setEditable(true); // typed into only while choosing
    // Chosen only while a stored contact is edited: that moves the person.
    m_ui.cbFirma->setEnabled(false);
    companyLabel->setBuddy(m_ui.cbFirma);
    m_ui.BB_Jo = kit::confirmButton(m_ui.pBottom);
    m_ui.BB_Zrus = kit::cancelButton(m_ui.pBottom);
    bottom->addWidget(idLabel);
    bottom->addWidget(m_ui.EditID);
    bottom->addSpacing(4);
    bottom->addWidget(companyLabel);
    bottom->addWidget(m_ui.cbFirma, 1);
    bottom->addSpacing(4);
    bottom->addWidget(m_ui.BB_Jo);
    bottom->addWidget(m_ui.BB_Zrus);

    layout->addWidget(m_ui.pTop);
    layout->addWidget(m_ui.pcKontakt, 1);
    layout->addWidget(m_ui.pBottom);
}

QWidget *TFM_Kontakt::createPersonTab() {
    QWidget *tab = kit::tabPage("tsKontakt");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);

    m_ui.gbInicialy = kit::groupBox(tab, "gbInicialy", QStringLiteral("  Iniciály  "));
    auto *initials = new QHBoxLayout(m_ui.gbInicialy);
    initials->setContentsMargins(0, 0, 6, 4);
    initials->setSpacing(2);
    auto *names = new QWidget(m_ui.gbInicialy);
    auto *namesGrid = kit::grid(names);
    m_ui.dcbTitulP = kit::dropDownList(names, "dcbTitulP", kTitlesBefore);
    m_ui.dcbTitulP->setMaxVisibleItems(15);
    m_ui.EditJmeno = kit::lineBox(names, "EditJmeno");
    m_ui.EditPrijmeni = kit::lineBox(names, "EditPrijmeni");
    m_ui.dcbTitulZ = kit::dropDownList(names, "dcbTitulZ", kTitlesAfter);
    kit::addRow(namesGrid, QStringLiteral("Titul před"), m_ui.dcbTitulP);
    kit::addRow(namesGrid, QStringLiteral("Jméno"), m_ui.EditJmeno);
    kit::addRow(namesGrid, QStringLiteral("Příjmení"), m_ui.EditPrijmeni);
    kit::addRow(namesGrid, QStringLiteral("Titul za"), m_ui.dcbTitulZ);
    initials->addWidget(names, 1);

    m_ui.pcOsoba = new QTabWidget(m_ui.gbInicialy);
    m_ui.pcOsoba->setObjectName(QStringLiteral("pcOsoba"));
    m_ui.tsFotka = kit::tabPage("tsFotka");
    auto *photoLayout = new QVBoxLayout(m_ui.tsFotka);
    photoLayout->setContentsMargins(0, 0, 0, 0);
    m_ui.iObr = new PhotoView(m_ui.tsFotka);
    m_ui.iObr->setObjectName(QStringLiteral("iObr"));
    m_ui.iObr->setFixedSize(141, 105);
    m_ui.iObr->setAccessibleName(QStringLiteral("Fotka"));
    photoLayout->addWidget(m_ui.iObr);
    m_ui.lFotoNahrano =
        new QLabel(QStringLiteral("FOTKA byla nahrána zobrazí se po uložení"), m_ui.iObr);
    m_ui.lFotoNahrano->setObjectName(QStringLiteral("lFotoNahrano"));
    m_ui.lFotoNahrano->setWordWrap(true);
    m_ui.lFotoNahrano->setAlignment(Qt::AlignCenter);
    m_ui.lFotoNahrano->setGeometry(0, 0, 141, 105);
    m_ui.lFotoNahrano->hide();
    m_ui.pmFotka = new QMenu(this);
    m_ui.pmFotka->setObjectName(QStringLiteral("pmFotka"));
    m_ui.Natifotku1 = m_ui.pmFotka->addAction(QStringLiteral("Načti fotku"));
    m_ui.Natifotku1->setObjectName(QStringLiteral("Natifotku1"));
    m_ui.Vymafotku1 = m_ui.pmFotka->addAction(QStringLiteral("Vymaž fotku"));
    m_ui.Vymafotku1->setObjectName(QStringLiteral("Vymafotku1"));
    m_ui.iObr->setContextMenuPolicy(Qt::CustomContextMenu);
    // Tab reaches the photo; the menu key or Shift+F10 opens its menu there.
    m_ui.iObr->setFocusPolicy(Qt::TabFocus);
    connect(m_ui.iObr, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_ui.pmFotka->popup(m_ui.iObr->mapToGlobal(at)); });

    m_ui.tsData = kit::tabPage("tsData");
    auto *dataGrid = kit::grid(m_ui.tsData);
    m_ui.EditNarozeniny = kit::lineBox(m_ui.tsData, "EditNarozeniny");
    m_ui.EditSvatek = kit::lineBox(m_ui.tsData, "EditSvatek");
    m_ui.EditUpominka = kit::lineBox(m_ui.tsData, "EditUpominka");
    m_ui.EditSvatek->setEnabled(false);
    m_ui.EditUpominka->setEnabled(false);
    kit::addRow(dataGrid, QStringLiteral("Narozeniny"), m_ui.EditNarozeniny);
    kit::addRow(dataGrid, QStringLiteral("Svátek"), m_ui.EditSvatek);
    kit::addRow(dataGrid, QStringLiteral("Událost"), m_ui.EditUpominka);
    dataGrid->setRowStretch(dataGrid->rowCount(), 1);
    m_ui.pcOsoba->addTab(m_ui.tsFotka, QStringLiteral("Fotka"));
    m_ui.pcOsoba->addTab(m_ui.tsData, QStringLiteral("Data"));
    // The tab control is as large as the photo area it holds.
    const QSize pages = m_ui.tsFotka->sizeHint().expandedTo(m_ui.tsData->sizeHint());
    m_ui.pcOsoba->setFixedSize(QSize(141, 105) + (m_ui.pcOsoba->sizeHint() - pages));
    initials->addWidget(m_ui.pcOsoba, 0, Qt::AlignTop);

    m_ui.gbFiremniData = kit::groupBox(tab, "gbFiremniData", QStringLiteral("  Firemní data  "));
    auto *work = kit::grid(m_ui.gbFiremniData);
    m_ui.EditPozice = kit::lineBox(m_ui.gbFiremniData, "EditPozice");
    m_ui.EditPopis = kit::lineBox(m_ui.gbFiremniData, "EditPopis");
    kit::addRow(work, QStringLiteral("Pozice"), m_ui.EditPozice);
    kit::addRow(work, QStringLiteral("Popis"), m_ui.EditPopis);

    m_ui.gbKratkyVypis = kit::groupBox(tab, "gbKratkyVypis",
                                       QStringLiteral("   Krátký výpis spojení na kontakt   "));
    auto *brief = kit::grid(m_ui.gbKratkyVypis);
    m_ui.EditOTelefon = kit::lineBox(m_ui.gbKratkyVypis, "EditOTelefon");
    m_ui.EditOMobil = kit::lineBox(m_ui.gbKratkyVypis, "EditOMobil");
    m_ui.EditOEmail = kit::lineBox(m_ui.gbKratkyVypis, "EditOEmail");
    kit::addRow(brief, QStringLiteral("Telefon"), m_ui.EditOTelefon);
    kit::addRow(brief, QStringLiteral("Mobil"), m_ui.EditOMobil);
    kit::addRow(brief, QStringLiteral("E-mail"), m_ui.EditOEmail);

    layout->addWidget(m_ui.gbInicialy);
    layout->addWidget(m_ui.gbFiremniData);
    layout->addWidget(m_ui.gbKratkyVypis);
    layout->addStretch();
    return tab;
}

QWidget *TFM_Kontakt::createAddressTab() {
    QWidget *tab = kit::tabPage("tsAdresa");
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);
    m_ui.gbAdresa = kit::groupBox(tab, "gbAdresa", QStringLiteral("  Privátní adresa kontaktu  "));
    kit::addressRows(m_ui.gbAdresa,
                     {{&m_ui.EditNAZEV_ADRESA, &m_ui.EditADRESA, &m_ui.EditUlice, &m_ui.EditObec,
                       &m_ui.EditPSC, &m_ui.EditStat},
                      &m_ui.MemoPoznamkaAD,
                      {"EditNAZEV_ADRESA", "EditADRESA", "EditUlice", "EditObec", "EditPSC",
                       "EditStat", "MemoPoznamkaAD"},
                      ""},
                     m_dm.dsKONTAKT);
    layout->addWidget(m_ui.gbAdresa);
    return tab;
}

void TFM_Kontakt::bindControls() {
    kit::labelFields(m_dm.tKONTAKT, QStringLiteral("KONTAKT"));
    dataset::DataSource &ds = m_dm.dsKONTAKT;
    const std::pair<QLineEdit *, const char *> lines[] = {
        {m_ui.EditID, "ID"},
        {m_ui.EditJmeno, "JMENO"},
        {m_ui.EditPrijmeni, "PRIJMENI"},
        {m_ui.EditNarozeniny, "NAROZENINY"},
        {m_ui.EditSvatek, "SVATEK"},
        {m_ui.EditUpominka, "UPOMINKA"},
        {m_ui.EditPozice, "POZICE"},
        {m_ui.EditPopis, "POPIS"},
        {m_ui.EditOTelefon, "TELEFON1"},
        {m_ui.EditOMobil, "MOBIL"},
        {m_ui.EditOEmail, "EMAIL1"},
    };
    for (const auto &[box, column] : lines)
        new LineEditBinding(box, ds, QString::fromLatin1(column));
    new ComboBinding(m_ui.dcbTitulP, ds, QStringLiteral("TITUL_PRED"));
    new ComboBinding(m_ui.dcbTitulZ, ds, QStringLiteral("TITUL_ZA"));
    new NoteBinding(m_ui.MemoPoznamka, ds, QStringLiteral("POZNAMKA"));
    m_ui.cbFirmaLookup =
        new LookupBinding(m_ui.cbFirma, ds, QStringLiteral("ID_FIRMA"), m_dm.tFIRMA,
                          QStringLiteral("ID"), QStringLiteral("NAZEV_FIRMA"));
}

void TFM_Kontakt::createProtocol() {
    RecordProtocol::Controls c;
    c.form = this;
    c.mainTabs = m_ui.pcKontakt;
    c.navigator = m_ui.DBNavi;
    c.newButton = m_ui.sbKontVloz;
    c.editButton = m_ui.sbKontEdit;
    c.deleteButton = m_ui.sbKontSmaz;
    c.confirmButton = m_ui.BB_Jo;
    c.cancelButton = m_ui.BB_Zrus;
    c.lineBoxes = {m_ui.EditJmeno,    m_ui.EditPrijmeni, m_ui.EditNarozeniny,   m_ui.EditSvatek,
                   m_ui.EditUpominka, m_ui.EditPozice,   m_ui.EditPopis,        m_ui.EditOTelefon,
                   m_ui.EditOMobil,   m_ui.EditOEmail,   m_ui.EditNAZEV_ADRESA, m_ui.EditADRESA,
                   m_ui.EditUlice,    m_ui.EditObec,     m_ui.EditPSC,          m_ui.EditStat,
                   m_ui.EditTelefon,  m_ui.EditTelefon2, m_ui.EditMobil,        m_ui.EditFax,
                   m_ui.EditEmail,    m_ui.EditEmail2,   m_ui.EditWWW,          m_ui.EditICQ,
                   m_ui.EditSkype,    m_ui.EditDalsi1,   m_ui.EditDalsi2};
    c.dropDowns = {m_ui.dcbTitulP, m_ui.dcbTitulZ};
    c.noteBoxes = {m_ui.MemoPoznamka, m_ui.MemoPoznamkaAD, m_ui.MemoPoznamkaSP};
    c.neverEditable = {m_ui.EditID};
    // A photo loaded or removed is a change too.
    c.otherChanges = [this] {
        return !m_ui.lFotoNahrano->isHidden() ||
               (m_dm.tKONTAKT.state() == dataset::Dataset::State::Edit &&
                m_dm.tKONTAKT.isModified()) ||
               m_ui.cbFirmaLookup->choiceDiffers();
    };
    protocol = new RecordProtocol(c);
    protocol->onLook = [this](bool editable) {
        m_ui.Natifotku1->setEnabled(editable);
        m_ui.Vymafotku1->setEnabled(editable);
        m_ui.lFotoNahrano->hide();
        const bool moving = editable && m_dm.tKONTAKT.state() == dataset::Dataset::State::Edit;
        m_ui.cbFirmaLookup->setChoosing(moving);
        m_ui.cbFirma->setEnabled(moving);
    };
}
