#include "forms/U_Firma.h"

#include "czech/BankAccount.h"
#include "czech/BankCodes.h"
#include "data/U_DM.h"
#include "forms/AresLookup.h"
#include "forms/BoundText.h"
#include "forms/DbNavigator.h"
#include "forms/RecordProtocol.h"
#include "forms/U_Kontakt.h"
#include "grid/DataGrid.h"
#include "ui/ErrorReport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolButton>

Tfm_Firma::Tfm_Firma(TDM &dm, TFM_Kontakt &contactForm, QWidget *parent)
    : QDialog(parent), m_dm(dm), m_contactForm(contactForm) {
    setObjectName(QStringLiteral("fm_Firma"));
    createControls();
    bindControls();
    createProtocol();
    forms::CompanyFace &face = *this; // the steps see the form through its face only
    m_prikaz = std::make_unique<FirmaPrikaz>(face, dm);

    connect(m_ui.DBNavi, &forms::DbNavigator::moved, this, &Tfm_Firma::DBNaviClick);
    connect(m_ui.pcFirma, &QTabWidget::currentChanged, this, &Tfm_Firma::pcFirmaChange);
    connect(m_ui.sbFirVloz, &QToolButton::clicked, this, &Tfm_Firma::sbFirVlozClick);
    connect(m_ui.sbFirEdit, &QToolButton::clicked, this, &Tfm_Firma::sbFirEditClick);
    connect(m_ui.sbFirSmaz, &QToolButton::clicked, this, &Tfm_Firma::sbFirSmazClick);
    connect(m_ui.BB_Jo, &QPushButton::clicked, this, &Tfm_Firma::BB_JoClick);
    connect(m_ui.BB_Zrus, &QPushButton::clicked, this, &Tfm_Firma::BB_ZrusClick);
    connect(m_ui.sbkopirujFSdoFF, &QToolButton::clicked, this, &Tfm_Firma::sbkopirujFSdoFFClick);
    connect(m_ui.sbkopirujFSdoFD, &QToolButton::clicked, this, &Tfm_Firma::sbkopirujFSdoFDClick);
    connect(m_ui.sbVlozFirmaKontakt, &QToolButton::clicked, this,
            &Tfm_Firma::sbVlozFirmaKontaktClick);
    connect(m_ui.sbEditujFirmaKontakt, &QToolButton::clicked, this,
            &Tfm_Firma::sbEditujFirmaKontaktClick);
    connect(m_ui.gKontaktyFirmy, &grid::DataGrid::cellClick, this,
            &Tfm_Firma::gKontaktyFirmyCellClick);
    connect(m_ui.gKontaktyFirmy, &grid::DataGrid::dblClick, this,
            &Tfm_Firma::gKontaktyFirmyDblClick);
    connect(m_ui.EditCislo_uctu, &QLineEdit::editingFinished, this, &Tfm_Firma::EditCislo_uctuExit);
    connect(m_ui.EditKod_banky, &QLineEdit::textChanged, this, &Tfm_Firma::EditKod_bankyChange);
    EditKod_bankyChange();
    m_aresLookup = new forms::AresLookup(this, {m_ui.EditIC, m_ui.EditNAZEV_FIRMA, m_ui.EditDIC,
                                                m_ui.EditADRESA_FS, m_ui.EditUliceS, m_ui.EditObecS,
                                                m_ui.EditPSCS, m_ui.EditStatS});
    connect(m_ui.sbAres, &QToolButton::clicked, this, &Tfm_Firma::sbAresClick);

    // FormCreate
    protocol->creationStep();
    move(5, 5);
    m_ui.gKontaktyFirmy->restoreLayout();
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
bool Tfm_Firma::placeholderPending() const {
    return m_prikaz->placeholderPending();
}
QString Tfm_Firma::clickedContactColumn() const {
    return m_prikaz->clickedContactColumn();
}
QString Tfm_Firma::clickedContactId() const {
    return m_prikaz->clickedContactId();
}

void Tfm_Firma::setOuterWidth(int width) {
    const int frame = frameGeometry().width() - geometry().width();
    setFixedSize(width - frame, kClientHeight);
}

QString Tfm_Firma::shownId() const {
    return m_ui.EditID->text();
}
void Tfm_Firma::showTitle(const QString &title) {
    setWindowTitle(title);
}
void Tfm_Firma::handOverTypedText() {
    forms::TextBinding::handOverAll(this, m_dm.dsFIRMA);
}
void Tfm_Firma::enterEditMode() {
    protocol->enterEditMode();
}
void Tfm_Firma::enterBrowseMode() {
    protocol->enterBrowseMode();
}
bool Tfm_Firma::confirmDelete() {
    return protocol->confirmDelete();
}
void Tfm_Firma::focusFirstBox() {
    m_ui.EditNAZEV_FIRMA->setFocus(Qt::OtherFocusReason);
}
int Tfm_Firma::currentTab() const {
    return m_ui.pcFirma->currentIndex();
}
void Tfm_Firma::copySeatNote(const QString &suffix) {
    QPlainTextEdit *target =
        suffix == QStringLiteral("_FF") ? m_ui.MemoPoznamkaF : m_ui.MemoPoznamkaD;
    target->setPlainText(forms::noteText(m_ui.MemoPoznamkaS));
}
void Tfm_Firma::newContactRecord() {
    m_contactForm.newRecordStep();
}
void Tfm_Firma::showContactForm() {
    m_contactForm.exec();
}
void Tfm_Firma::clickEditContactPerson() {
    m_ui.sbEditujFirmaKontakt->click();
}

QLineEdit *Tfm_Firma::numberBox(forms::CompanyNumber number) const {
    switch (number) {
    case forms::CompanyNumber::Ico:
        return m_ui.EditIC;
    case forms::CompanyNumber::Dic:
        return m_ui.EditDIC;
    case forms::CompanyNumber::Account:
        return m_ui.EditCislo_uctu;
    case forms::CompanyNumber::BankCode:
        return m_ui.EditKod_banky;
    }
    return m_ui.EditIC;
}
QString Tfm_Firma::shownNumber(forms::CompanyNumber number) const {
    return numberBox(number)->text();
}
bool Tfm_Firma::numberChanged(forms::CompanyNumber number) const {
    return protocol->changedSinceEdit(numberBox(number));
}
QString Tfm_Firma::shownSeatCountry() const {
    return m_ui.EditStatS->text();
}
void Tfm_Firma::focusNumber(forms::CompanyNumber number) {
    m_ui.pcFirma->setCurrentWidget(m_ui.tsFirma);
    numberBox(number)->setFocus(Qt::OtherFocusReason);
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
    ui::guarded([this] { m_prikaz->newButtonStep(); });
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
    ui::guarded([this] { m_prikaz->copySeatAddress(QStringLiteral("_FF")); });
}
void Tfm_Firma::sbkopirujFSdoFDClick() {
    ui::guarded([this] { m_prikaz->copySeatAddress(QStringLiteral("_FD")); });
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

void Tfm_Firma::EditCislo_uctuExit() {
    if (isBrowseMode())
        return;
    const czech::AccountAndCode typed = czech::splitAccountAndCode(m_ui.EditCislo_uctu->text());
    const QString code = m_ui.EditKod_banky->text().trimmed();
    if (typed.code.isEmpty() || !(code.isEmpty() || code == typed.code))
        return;
    m_ui.EditCislo_uctu->setText(typed.account);
    m_ui.EditKod_banky->setText(typed.code);
    // Both handed over now, as leaving a box does, so that nothing stays pending.
    ui::guarded([this] {
        for (QLineEdit *box : {m_ui.EditCislo_uctu, m_ui.EditKod_banky})
            forms::TextBinding::of(box)->handOver();
    });
}
void Tfm_Firma::sbAresClick() {
    if (!isBrowseMode())
        m_aresLookup->start();
}
void Tfm_Firma::EditKod_bankyChange() {
    m_ui.lNazevBanky->setText(czech::bankName(m_ui.EditKod_banky->text().trimmed()));
}
