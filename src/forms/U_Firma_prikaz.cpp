#include "forms/U_Firma_prikaz.h"

#include "base/MessageService.h"
#include "data/U_DM.h"
#include "dataset/Field.h"
#include "db/DbError.h"
#include "forms/ContactHandOver.h"
#include "forms/MessageTexts.h"

namespace {

using Face = forms::CompanyFace;

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

FirmaPrikaz::FirmaPrikaz(forms::CompanyFace &face, TDM &dm)
    : RecordSteps(face, dm.tFIRMA), m_face(face), m_dm(dm) {
}

QString FirmaPrikaz::titleStep() const {
    return QStringLiteral("Firma: %1")
        .arg(m_dm.tFIRMA.fieldByName(QStringLiteral("NAZEV_FIRMA"))->asString());
}

int FirmaPrikaz::companyId() const {
    const QString id = m_face.shownId();
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
    m_face.showTitle(titleStep());
    m_face.setOuterWidth(Face::kNarrowWidth);
}

void FirmaPrikaz::tabChangeStep() {
    const int tab = m_face.currentTab();
    if (tab == Face::kContactPersonsTab || tab == Face::kBranchesTab) {
        m_face.setOuterWidth(Face::kWideWidth);
        reopenContactPersons();
    } else {
        m_face.setOuterWidth(Face::kNarrowWidth);
    }
}

void FirmaPrikaz::navigatorMoveStep() {
    m_face.showTitle(titleStep());
    reopenContactPersons();
}

void FirmaPrikaz::newRecordStep() {
    const int id = m_dm.NextId(QStringLiteral("id"), QStringLiteral("firma"));
    m_dm.tFIRMA.insert();
    m_placeholderPending = true;
    m_dm.tFIRMA.fieldByName(QStringLiteral("ID"))->setAsInteger(id);
    m_face.enterEditMode();
}

void FirmaPrikaz::postRow() {
    if (m_placeholderPending)
        m_dm.PostNewCompany();
    else
        m_dm.PostTogether({&m_dm.tFIRMA});
    m_placeholderPending = false;
}

bool FirmaPrikaz::acceptRow() {
    using forms::CompanyNumber;
    // Foreign numbers follow other rules, and what nobody changed is not questioned.
    if (!forms::isCzechCountry(m_face.shownSeatCountry()))
        return true;
    QList<forms::TypedNumber> typed;
    for (const CompanyNumber number :
         {CompanyNumber::Ico, CompanyNumber::Dic, CompanyNumber::Account, CompanyNumber::BankCode})
        if (m_face.numberChanged(number))
            typed.append({number, m_face.shownNumber(number)});
    const QList<forms::NumberFault> faults =
        forms::numberFaults(typed, m_face.shownNumber(CompanyNumber::Ico));
    if (faults.isEmpty() ||
        base::msg::show(base::msg::Kind::Warning, forms::msgSaveInvalidNumbers(faults),
                        base::msg::Buttons::YesNo) == base::msg::Answer::Yes)
        return true;
    m_face.focusNumber(faults.front().number);
    return false;
}

void FirmaPrikaz::showCurrentRow() {
    m_face.showTitle(titleStep());
}

void FirmaPrikaz::cancelStep() {
    m_face.enterBrowseMode();
    m_dm.tFIRMA.cancel();
    m_face.showTitle(titleStep());
    m_placeholderPending = false;
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
    if (!m_face.confirmDelete())
        return;
    if (m_face.shownId().isEmpty()) {
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
    m_face.showTitle(titleStep());
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

void FirmaPrikaz::copySeatAddress(const QString &suffix) {
    // What the seat boxes show is what is copied, typed text included.
    m_face.handOverTypedText();
    dataset::TableDataset &companies = m_dm.tFIRMA;
    for (const char *stem : {"NAZEV_ADRESA", "ADRESA", "ULICE", "OBEC", "PSC", "STAT"}) {
        const QString column = QString::fromLatin1(stem);
        companies.fieldByName(column + suffix)
            ->setAsString(companies.fieldByName(column + QStringLiteral("_FS"))->asString());
    }
    m_face.copySeatNote(suffix);
}

void FirmaPrikaz::showContactForm() {
    contactEditOnShow = true;
    m_face.showContactForm();
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
                m_face.newContactRecord();
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
    m_clickedContactColumn = QStringLiteral("ID");
    m_clickedContactId = m_dm.qFirmaKontakty.fieldByName(QStringLiteral("ID"))->asString();
}

void FirmaPrikaz::gridDoubleClick() {
    try {
        m_dm.tKONTAKT.locate(m_clickedContactColumn, {m_clickedContactId}, true);
    } catch (const db::DbError &) {
        return; // nothing clicked yet, or the contact cannot be found: nothing to edit
    }
    m_face.clickEditContactPerson();
}
