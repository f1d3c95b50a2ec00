#include "forms/U_Firma_prikaz.h"

#include "base/MessageService.h"
#include "data/U_DM.h"
#include "db/DbError.h"
#include "forms/BoundText.h"
#include "forms/MessageTexts.h"
#include "forms/RecordProtocol.h"
#include "forms/U_Firma.h"
#include "forms/U_Kontakt.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

namespace {

const QString kPlaceholderRegion = QStringLiteral("***");

/// Runs `body`, then `cleanup`. When `body` fails, `cleanup` still runs (a
/// failure of its own is dropped in favour of the first one) and the first
/// failure goes on.
template <class Body, class Cleanup> void withCleanup(Body body, Cleanup cleanup) {
    try {
        body();
    } catch (...) {
        try {
            cleanup();
        } catch (...) {
        }
        throw;
    }
    cleanup();
}

/// Runs `body`; when it fails, runs `undo` (dropping a failure of its own)
/// and lets the first failure go on.
template <class Body, class Undo> void onFailure(Body body, Undo undo) {
    try {
        body();
    } catch (...) {
        try {
            undo();
        } catch (...) {
        }
        throw;
    }
}

} // namespace

FirmaPrikaz::FirmaPrikaz(Tfm_Firma &form, TDM &dm, TFM_Kontakt &contactForm)
    : m_form(form), m_dm(dm), m_contactForm(contactForm) {
}

QString FirmaPrikaz::titleStep() const {
    return QStringLiteral("Firma: %1")
        .arg(m_dm.tFIRMA.fieldByName(QStringLiteral("NAZEV_FIRMA"))->asString());
}

int FirmaPrikaz::companyId() const {
    const QString id = m_form.EditID->text();
    return id.isEmpty() ? 0 : int(dataset::toInteger(id));
}

void FirmaPrikaz::reopenContactPersons() {
    dataset::QueryDataset &list = m_dm.qFirmaKontakty;
    list.close();
    // With no company the ID is 0, which no company has: the list is empty.
    list.paramByName(QStringLiteral("IdFirmy"))->setAsInteger(companyId());
    list.open();
}

void FirmaPrikaz::showStep() {
    reopenContactPersons();
    m_form.setWindowTitle(titleStep());
    m_form.setOuterWidth(Tfm_Firma::kNarrowWidth);
}

void FirmaPrikaz::tabChangeStep() {
    const int tab = m_form.pcFirma->currentIndex();
    if (tab == Tfm_Firma::kContactPersonsTab || tab == Tfm_Firma::kBranchesTab) {
        m_form.setOuterWidth(Tfm_Firma::kWideWidth);
        reopenContactPersons();
    } else {
        m_form.setOuterWidth(Tfm_Firma::kNarrowWidth);
    }
}

void FirmaPrikaz::navigatorMoveStep() {
    m_form.setWindowTitle(titleStep());
    reopenContactPersons();
}

void FirmaPrikaz::newCompanyStep() {
    const int id = m_dm.NextId(QStringLiteral("id"), QStringLiteral("firma"));
    m_dm.tFIRMA.insert();
    m_form.placeholderPending = true;
    m_dm.tFIRMA.fieldByName(QStringLiteral("ID"))->setAsInteger(id);
    m_form.protocol->enterEditMode();
    m_form.protocol->firstTabStep();
    m_form.EditNAZEV_FIRMA->setFocus(Qt::OtherFocusReason);
}

void FirmaPrikaz::editStep() {
    if (m_form.protocol->hasNoCurrentRow()) {
        newCompanyStep();
        return;
    }
    m_dm.tFIRMA.edit();
    m_form.protocol->enterEditMode();
}

void FirmaPrikaz::confirmStep() {
    // A box whose text the row refuses ends the step before anything is written.
    forms::TextBinding::handOverAll(&m_form, m_dm.dsFIRMA);
    if (m_form.placeholderPending)
        m_dm.PostNewCompany();
    else
        m_dm.PostTogether({&m_dm.tFIRMA});
    m_form.placeholderPending = false;
    m_form.protocol->enterBrowseMode();
    m_form.setWindowTitle(titleStep());
}

void FirmaPrikaz::cancelStep() {
    m_form.protocol->enterBrowseMode();
    m_dm.tFIRMA.cancel();
    m_form.setWindowTitle(titleStep());
    m_form.placeholderPending = false;
}

void FirmaPrikaz::filterContactsOfCompany() {
    dataset::TableDataset &contacts = m_dm.tKONTAKT;
    contacts.setFilter(QStringLiteral("id_firma=%1").arg(companyId()));
    contacts.setFiltered(true);
}

void FirmaPrikaz::clearContactFilter() {
    m_dm.tKONTAKT.setFilter(QString());
    m_dm.tKONTAKT.setFiltered(false);
}

bool FirmaPrikaz::hasOnlyPlaceholder() {
    dataset::TableDataset &contacts = m_dm.tKONTAKT;
    return contacts.recordCount() == 1 &&
           contacts.fieldByName(QStringLiteral("KRAJ"))->asString() == kPlaceholderRegion;
}

void FirmaPrikaz::deleteStep() {
    if (!m_form.protocol->confirmDelete())
        return;
    if (m_form.protocol->hasNoCurrentRow()) {
        m_dm.tFIRMA.deleteRecord(); // the access layer's error for an empty table
        return;
    }
    filterContactsOfCompany();
    withCleanup(
        [this] {
            if (hasOnlyPlaceholder()) {
                deleteWithPlaceholder();
                return;
            }
            try {
                m_dm.tFIRMA.deleteRecord();
            } catch (const db::DbError &error) {
                // Only the database's own refusal means "has contacts";
                // anything else is reported with its cause.
                if (!error.isDatabaseException(QStringLiteral("FIRMA_MA_KONTAKTY")))
                    throw;
                base::msg::show(base::msg::Kind::Warning, forms::texts::msgCompanyHasContacts(),
                                base::msg::Buttons::Ok);
            }
        },
        [this] { clearContactFilter(); });
    m_form.setWindowTitle(titleStep());
}

void FirmaPrikaz::deleteWithPlaceholder() {
    // Both rows go in one transaction, or neither does.
    const auto contact = m_dm.tKONTAKT.deleteStatementForCurrent();
    const auto company = m_dm.tFIRMA.deleteStatementForCurrent();
    try {
        m_dm.ZConKontakty.executeCommitted(QList<db::DbConnection::Statement>{contact, company});
    } catch (const db::DbError &error) {
        if (error.kind() != db::DbError::Kind::Conflict)
            throw;
        m_dm.tKONTAKT.reloadCurrentRow();
        m_dm.tFIRMA.reloadCurrentRow();
        throw db::DbError(db::texts::kDeleteConflict, error.kind());
    }
    m_dm.tKONTAKT.forgetCurrentRow();
    m_dm.tFIRMA.forgetCurrentRow();
}

void FirmaPrikaz::copySeatAddress(const QString &suffix, QPlainTextEdit *targetNote) {
    // What the seat boxes show is what is copied, typed text included.
    forms::TextBinding::handOverAll(&m_form, m_dm.dsFIRMA);
    dataset::TableDataset &companies = m_dm.tFIRMA;
    for (const char *stem : {"NAZEV_ADRESA", "ADRESA", "ULICE", "OBEC", "PSC", "STAT"}) {
        const QString column = QString::fromLatin1(stem);
        companies.fieldByName(column + suffix)
            ->setAsString(companies.fieldByName(column + QStringLiteral("_FS"))->asString());
    }
    targetNote->setPlainText(forms::noteText(m_form.MemoPoznamkaS));
}

void FirmaPrikaz::showContactForm() {
    contactEditOnShow = true;
    m_contactForm.exec();
    newContactCompanyId = 0;
    contactEditOnShow = false;
    clearContactFilter();
    reopenContactPersons();
}

void FirmaPrikaz::addContactPerson() {
    filterContactsOfCompany();
    newContactCompanyId = companyId();
    onFailure(
        [this] {
            if (hasOnlyPlaceholder())
                m_dm.tKONTAKT.edit(); // the first contact person takes over the placeholder row
            else
                m_contactForm.newRecordStep();
        },
        [this] { undoContactPersonStart(); });
    showContactForm();
}

void FirmaPrikaz::editContactPerson() {
    filterContactsOfCompany();
    newContactCompanyId = companyId();
    // Without a contact row, Edit would start an empty row with no ID.
    if (m_dm.tKONTAKT.recordCount() == 0) {
        undoContactPersonStart();
        return;
    }
    onFailure([this] { m_dm.tKONTAKT.edit(); }, [this] { undoContactPersonStart(); });
    showContactForm();
}

void FirmaPrikaz::undoContactPersonStart() {
    // A contact row started but not shown is dropped, not posted by the unfiltering.
    if (m_dm.tKONTAKT.isEditing())
        m_dm.tKONTAKT.cancel();
    newContactCompanyId = 0;
    clearContactFilter();
}

void FirmaPrikaz::gridClick() {
    m_form.clickedContactColumn = QStringLiteral("ID");
    m_form.clickedContactId = m_dm.qFirmaKontakty.fieldByName(QStringLiteral("ID"))->asString();
}

void FirmaPrikaz::gridDoubleClick() {
    try {
        m_dm.tKONTAKT.locate(m_form.clickedContactColumn, {m_form.clickedContactId}, true);
    } catch (const db::DbError &) {
        return; // nothing clicked yet, or the contact cannot be found: nothing to edit
    }
    m_form.sbEditujFirmaKontakt->click();
}
