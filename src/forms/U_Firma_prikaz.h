#pragma once

#include "forms/CompanyNumbers.h"
#include "forms/RecordFace.h"
#include "forms/RecordSteps.h"

#include <QString>

class TDM;

namespace forms {

/// What the company form's steps need of its window beyond the record
/// protocol: the tabs, the width, the note boxes of the addresses and the
/// contact form it opens over itself.
class CompanyFace : public RecordFace {
  public:
    static constexpr int kNarrowWidth = 395; ///< outer width
    static constexpr int kWideWidth = 910;   ///< outer width on the contact-persons tab
    static constexpr int kContactPersonsTab = 4;
    static constexpr int kBranchesTab = 5;

    /// The index of the active tab of pcFirma.
    virtual int currentTab() const = 0;
    /// Sets the window's outer width, frame included; the height stays.
    virtual void setOuterWidth(int width) = 0;
    /// Puts the text of the seat's note box into the note box of the
    /// invoicing ("_FF") or delivery ("_FD") address.
    virtual void copySeatNote(const QString &suffix) = 0;
    /// The contact form's new-record step. Throws db::DbError.
    virtual void newContactRecord() = 0;
    /// Shows the contact form modally.
    virtual void showContactForm() = 0;
    /// Clicks sbEditujFirmaKontakt, which does nothing while it is disabled.
    virtual void clickEditContactPerson() = 0;
    /// What the box of a business number shows.
    virtual QString shownNumber(CompanyNumber number) const = 0;
    /// True when the box of `number` shows other text than when edit mode began.
    virtual bool numberChanged(CompanyNumber number) const = 0;
    /// What the seat's country box shows.
    virtual QString shownSeatCountry() const = 0;
    /// Shows the box of `number` and puts the focus into it.
    virtual void focusNumber(CompanyNumber number) = 0;
};

} // namespace forms

/// The protocol steps of the company form on tFIRMA, and its steps on the
/// contact persons of the company (tKONTAKT, qFirmaKontakty and the
/// contact form). Every step throws db::DbError when the data layer
/// refuses something, except where it says it handles the failure; the
/// form's handlers pass errors to the standard error report. Holds the
/// form's own values placeholderPending and the clicked contact, and
/// references only otherwise.
class FirmaPrikaz : public forms::RecordSteps {
  public:
    FirmaPrikaz(forms::CompanyFace &face, TDM &dm);

    /// A new company was started and still needs its placeholder contact.
    bool placeholderPending() const { return m_placeholderPending; }
    /// The contact-persons row last clicked: column name and ID as text.
    const QString &clickedContactColumn() const { return m_clickedContactColumn; }
    const QString &clickedContactId() const { return m_clickedContactId; }

    /// "Firma: <NAZEV_FIRMA>".
    QString titleStep() const;
    /// Closes qFirmaKontakty and opens it for the company in the ID box
    /// (no company, no rows, while the table is empty).
    void reopenContactPersons();

    void showStep();
    void tabChangeStep();
    void navigatorMoveStep();
    void cancelStep();
    /// Deletes the company once the user confirmed it: together with its
    /// placeholder contact in one transaction when that is its only contact
    /// row, otherwise alone, and a refusal shows msgCompanyHasContacts.
    void deleteStep();
    /// Copies the seat address into the invoicing ("_FF") or delivery
    /// ("_FD") columns and the seat note into the family's note box.
    void copySeatAddress(const QString &suffix);
    /// Opens the contact form in edit mode on a new contact person of the
    /// company, or on its placeholder contact when that is its only row.
    void addContactPerson();
    /// Opens the contact form in edit mode on the current contact person
    /// of the company; does nothing when the company has none.
    void editContactPerson();
    void gridClick();
    /// Edits the contact person last clicked; a failed search is ignored.
    void gridDoubleClick();

  protected:
    /// A new row with the next ID, and edit mode; the company gets its
    /// placeholder contact when it is confirmed.
    void newRecordStep() override;
    /// A Czech company whose changed business numbers fail their checks
    /// is saved only when the user says so; otherwise the focus goes into
    /// the first failing box.
    bool acceptRow() override;
    /// Posts the company; a new one then gets its placeholder contact. When
    /// the placeholder cannot be written, its half-made row is dropped and
    /// the error goes on; the company stays saved.
    void postRow() override;
    /// The title.
    void showCurrentRow() override;

  private:
    int companyId() const;
    void filterContactsOfCompany();
    void clearContactFilter();
    bool hasOnlyPlaceholder();
    void deleteWithPlaceholder();
    /// Shows the contact form modally in edit mode on the row the caller
    /// put into edit or insert state; the contact table's filter and the
    /// hand-over values are undone afterwards, whatever happened.
    void showContactForm();
    /// Undoes the start of an add or edit of a contact person that did not
    /// reach the contact form: drops a started row, the filter and the company.
    void undoContactPersonStart();

    forms::CompanyFace &m_face;
    TDM &m_dm;
    bool m_placeholderPending = false;
    QString m_clickedContactColumn;
    QString m_clickedContactId;
};
