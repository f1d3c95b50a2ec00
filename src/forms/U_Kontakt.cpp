#include "forms/U_Kontakt.h"

#include "forms/DbNavigator.h"
#include "forms/PhotoView.h"
#include "forms/RecordProtocol.h"
#include "forms/U_Kontakt_prikaz.h"
#include "ui/ErrorReport.h"

#include <QAction>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>

int newContactCompanyId = 0;
int newContactBranchId = 0;
bool contactEditOnShow = false;

TFM_Kontakt::TFM_Kontakt(TDM &dm, QWidget *parent) : QDialog(parent), m_dm(dm) {
    setObjectName(QStringLiteral("FM_Kontakt"));
    createControls();
    bindControls();
    createProtocol();
    m_prikaz = std::make_unique<KontaktPrikaz>(*this, dm);
    opicd = [this] { return forms::openPictureDialog(this); };

    connect(DBNavi, &forms::DbNavigator::moved, this, &TFM_Kontakt::DBNaviClick);
    connect(sbKontVloz, &QToolButton::clicked, this, &TFM_Kontakt::sbKontVlozClick);
    connect(sbKontEdit, &QToolButton::clicked, this, &TFM_Kontakt::sbKontEditClick);
    connect(sbKontSmaz, &QToolButton::clicked, this, &TFM_Kontakt::sbKontSmazClick);
    connect(BB_Jo, &QPushButton::clicked, this, &TFM_Kontakt::BB_JoClick);
    connect(BB_Zrus, &QPushButton::clicked, this, &TFM_Kontakt::BB_ZrusClick);
    connect(Natifotku1, &QAction::triggered, this, &TFM_Kontakt::Natifotku1Click);
    connect(Vymafotku1, &QAction::triggered, this, &TFM_Kontakt::Vymafotku1Click);

    // FormCreate
    protocol->creationStep();
    newContactCompanyId = 0;
    newContactBranchId = 0;
    contactEditOnShow = false;
}

TFM_Kontakt::~TFM_Kontakt() = default;

bool TFM_Kontakt::isBrowseMode() const {
    return protocol->isBrowseMode();
}
void TFM_Kontakt::firstTabStep() {
    protocol->firstTabStep();
}
QString TFM_Kontakt::titleStep() const {
    return m_prikaz->titleStep();
}
void TFM_Kontakt::newRecordStep() {
    m_prikaz->newRecordStep();
}
void TFM_Kontakt::newRecordData() {
    m_prikaz->newRecordData();
}

void TFM_Kontakt::reject() {
    if (protocol->allowClose())
        QDialog::reject();
}

void TFM_Kontakt::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
    FormShow();
}

void TFM_Kontakt::FormShow() {
    ui::guarded([this] { m_prikaz->showStep(); });
}
void TFM_Kontakt::DBNaviClick() {
    ui::guarded([this] { m_prikaz->navigatorMoveStep(); });
}
void TFM_Kontakt::sbKontVlozClick() {
    ui::guarded([this] { m_prikaz->newButtonStep(); });
}
void TFM_Kontakt::sbKontEditClick() {
    ui::guarded([this] { m_prikaz->editStep(); });
}
void TFM_Kontakt::BB_JoClick() {
    ui::guarded([this] { m_prikaz->confirmStep(); });
}
void TFM_Kontakt::BB_ZrusClick() {
    ui::guarded([this] { m_prikaz->cancelStep(); });
}
void TFM_Kontakt::sbKontSmazClick() {
    ui::guarded([this] { m_prikaz->deleteStep(); });
}
void TFM_Kontakt::Natifotku1Click() {
    ui::guarded([this] { m_prikaz->loadPhoto(); });
}
void TFM_Kontakt::Vymafotku1Click() {
    ui::guarded([this] { m_prikaz->deletePhoto(); });
}
