#include "forms/U_Kontakt.h"

#include "data/U_DM.h"
#include "forms/BoundText.h"
#include "forms/DbNavigator.h"
#include "forms/LookupBinding.h"
#include "forms/NameDay.h"
#include "forms/PhotoView.h"
#include "forms/RecordProtocol.h"
#include "ui/ErrorReport.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
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
    forms::ContactFace &face = *this; // the steps see the form through its face only
    m_prikaz = std::make_unique<KontaktPrikaz>(face, dm);
    opicd = [this] { return forms::openPictureDialog(this); };

    connect(m_ui.DBNavi, &forms::DbNavigator::moved, this, &TFM_Kontakt::DBNaviClick);
    connect(m_ui.sbKontVloz, &QToolButton::clicked, this, &TFM_Kontakt::sbKontVlozClick);
    connect(m_ui.sbKontEdit, &QToolButton::clicked, this, &TFM_Kontakt::sbKontEditClick);
    connect(m_ui.sbKontSmaz, &QToolButton::clicked, this, &TFM_Kontakt::sbKontSmazClick);
    connect(m_ui.BB_Jo, &QPushButton::clicked, this, &TFM_Kontakt::BB_JoClick);
    connect(m_ui.BB_Zrus, &QPushButton::clicked, this, &TFM_Kontakt::BB_ZrusClick);
    connect(m_ui.Natifotku1, &QAction::triggered, this, &TFM_Kontakt::Natifotku1Click);
    connect(m_ui.Vymafotku1, &QAction::triggered, this, &TFM_Kontakt::Vymafotku1Click);
    connect(m_ui.EditJmeno, &QLineEdit::textChanged, this, [this] {
        if (!isBrowseMode())
            showNameDay();
    });

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

QString TFM_Kontakt::shownId() const {
    return m_ui.EditID->text();
}
void TFM_Kontakt::showTitle(const QString &title) {
    setWindowTitle(title);
}
void TFM_Kontakt::handOverTypedText() {
    forms::TextBinding::handOverAll(this, m_dm.dsKONTAKT);
    m_ui.cbFirmaLookup->handOver();
}
void TFM_Kontakt::showNameDay() {
    // The box is the calendar's answer, handed to SVATEK with the rest on
    // confirm; for a name the calendar does not know, what the row holds
    // stays (an imported or earlier day is not thrown away).
    ui::guarded([this] {
        const QString day = forms::nameDayOf(m_dm.tSVATEK, m_ui.EditJmeno->text());
        m_ui.EditSvatek->setText(
            !day.isEmpty() ? day : m_dm.tKONTAKT.fieldByName(QStringLiteral("SVATEK"))->asString());
    });
}
void TFM_Kontakt::enterEditMode() {
    // Before the protocol remembers the texts: the name day shown at the
    // start of editing is no change of the user's.
    showNameDay();
    protocol->enterEditMode();
}
void TFM_Kontakt::enterBrowseMode() {
    protocol->enterBrowseMode();
}
bool TFM_Kontakt::confirmDelete() {
    return protocol->confirmDelete();
}
void TFM_Kontakt::focusFirstBox() {
    m_ui.dcbTitulP->setFocus(Qt::OtherFocusReason);
}
QString TFM_Kontakt::shownSurname() const {
    return m_ui.EditPrijmeni->text();
}
QString TFM_Kontakt::shownFirstName() const {
    return m_ui.EditJmeno->text();
}
void TFM_Kontakt::showPhoto(const QByteArray &jpeg) {
    m_ui.iObr->showJpeg(jpeg);
}
void TFM_Kontakt::clearPhoto() {
    m_ui.iObr->clearPhoto();
}
void TFM_Kontakt::showPhotoLoadedNotice() {
    m_ui.lFotoNahrano->show();
}
QString TFM_Kontakt::choosePictureFile() {
    return opicd ? opicd() : QString();
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
