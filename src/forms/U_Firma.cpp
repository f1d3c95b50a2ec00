#include "forms/U_Firma.h"

#include "forms/DbNavigator.h"
#include "forms/RecordProtocol.h"
#include "forms/U_Firma_prikaz.h"
#include "grid/DataGrid.h"
#include "ui/ErrorReport.h"

#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolButton>

Tfm_Firma::Tfm_Firma(TDM &dm, TFM_Kontakt &contactForm, QWidget *parent)
    : QDialog(parent), m_dm(dm) {
    setObjectName(QStringLiteral("fm_Firma"));
    createControls();
    bindControls();
    createProtocol();
    m_prikaz = std::make_unique<FirmaPrikaz>(*this, dm, contactForm);

    connect(DBNavi, &forms::DbNavigator::moved, this, &Tfm_Firma::DBNaviClick);
    connect(pcFirma, &QTabWidget::currentChanged, this, &Tfm_Firma::pcFirmaChange);
    connect(sbFirVloz, &QToolButton::clicked, this, &Tfm_Firma::sbFirVlozClick);
    connect(sbFirEdit, &QToolButton::clicked, this, &Tfm_Firma::sbFirEditClick);
    connect(sbFirSmaz, &QToolButton::clicked, this, &Tfm_Firma::sbFirSmazClick);
    connect(BB_Jo, &QPushButton::clicked, this, &Tfm_Firma::BB_JoClick);
    connect(BB_Zrus, &QPushButton::clicked, this, &Tfm_Firma::BB_ZrusClick);
    connect(sbkopirujFSdoFF, &QToolButton::clicked, this, &Tfm_Firma::sbkopirujFSdoFFClick);
    connect(sbkopirujFSdoFD, &QToolButton::clicked, this, &Tfm_Firma::sbkopirujFSdoFDClick);
    connect(sbVlozFirmaKontakt, &QToolButton::clicked, this, &Tfm_Firma::sbVlozFirmaKontaktClick);
    connect(sbEditujFirmaKontakt, &QToolButton::clicked, this,
            &Tfm_Firma::sbEditujFirmaKontaktClick);
    connect(gKontaktyFirmy, &grid::DataGrid::cellClick, this, &Tfm_Firma::gKontaktyFirmyCellClick);
    connect(gKontaktyFirmy, &grid::DataGrid::dblClick, this, &Tfm_Firma::gKontaktyFirmyDblClick);

    // FormCreate
    protocol->creationStep();
    move(5, 5);
    gKontaktyFirmy->restoreLayout();
}

Tfm_Firma::~Tfm_Firma() = default;

bool Tfm_Firma::isBrowseMode() const {
    return protocol->isBrowseMode();
}
void Tfm_Firma::firstTabStep() {
    protocol->firstTabStep();
}
QString Tfm_Firma::titleStep() const {
    return m_prikaz->titleStep();
}

void Tfm_Firma::setOuterWidth(int width) {
    const int frame = frameGeometry().width() - geometry().width();
    setFixedSize(width - frame, kClientHeight);
}

void Tfm_Firma::reject() {
    if (protocol->allowClose())
        QDialog::reject();
}

void Tfm_Firma::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tfm_Firma::FormShow() {
    ui::guarded([this] { m_prikaz->showStep(); });
}
void Tfm_Firma::pcFirmaChange() {
    ui::guarded([this] { m_prikaz->tabChangeStep(); });
}
void Tfm_Firma::DBNaviClick() {
    ui::guarded([this] { m_prikaz->navigatorMoveStep(); });
}
void Tfm_Firma::sbFirVlozClick() {
    ui::guarded([this] { m_prikaz->newCompanyStep(); });
}
void Tfm_Firma::sbFirEditClick() {
    ui::guarded([this] { m_prikaz->editStep(); });
}
void Tfm_Firma::BB_JoClick() {
    ui::guarded([this] { m_prikaz->confirmStep(); });
}
void Tfm_Firma::BB_ZrusClick() {
    ui::guarded([this] { m_prikaz->cancelStep(); });
}
void Tfm_Firma::sbFirSmazClick() {
    ui::guarded([this] { m_prikaz->deleteStep(); });
}
void Tfm_Firma::sbkopirujFSdoFFClick() {
    ui::guarded([this] { m_prikaz->copySeatAddress(QStringLiteral("_FF"), MemoPoznamkaF); });
}
void Tfm_Firma::sbkopirujFSdoFDClick() {
    ui::guarded([this] { m_prikaz->copySeatAddress(QStringLiteral("_FD"), MemoPoznamkaD); });
}
void Tfm_Firma::sbVlozFirmaKontaktClick() {
    ui::guarded([this] { m_prikaz->addContactPerson(); });
}
void Tfm_Firma::sbEditujFirmaKontaktClick() {
    ui::guarded([this] { m_prikaz->editContactPerson(); });
}
void Tfm_Firma::gKontaktyFirmyCellClick(int) {
    ui::guarded([this] { m_prikaz->gridClick(); });
}
void Tfm_Firma::gKontaktyFirmyDblClick() {
    ui::guarded([this] { m_prikaz->gridDoubleClick(); });
}
