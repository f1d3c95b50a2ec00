#pragma once

#include <QString>

class TDM;
class Tfm_Firma;
class TFM_Kontakt;
class QPlainTextEdit;

/// The protocol steps of the company form on tFIRMA, and its steps on the
/// contact persons of the company (tKONTAKT, qFirmaKontakty and the
/// contact form). Every step throws db::DbError when the data layer
/// refuses something, except where it says it handles the failure; the
/// form's handlers pass errors to the standard error report. Holds
/// references only.
class FirmaPrikaz {
  public:
    FirmaPrikaz(Tfm_Firma &form, TDM &dm, TFM_Kontakt &contactForm);

    /// "Firma: <NAZEV_FIRMA>".
    QString titleStep() const;
    /// Closes qFirmaKontakty and opens it for the company in the ID box
    /// (no company, no rows, while the table is empty).
    void reopenContactPersons();

    void showStep();
    void tabChangeStep();
    void navigatorMoveStep();
    /// A new row with the next ID; the company gets its placeholder contact
    /// when it is confirmed.
    void newCompanyStep();
    void editStep();
    /// Posts the company; a new one then gets its placeholder contact. When
    /// the placeholder cannot be written, its half-made row is dropped and
    /// the error goes on; the company stays saved.
    void confirmStep();
    void cancelStep();
    /// Deletes the company once the user confirmed it: together with its
    /// placeholder contact in one transaction when that is its only contact
    /// row, otherwise alone, and a refusal shows msgCompanyHasContacts.
    void deleteStep();
    /// Copies the seat address into the invoicing ("_FF") or delivery
    /// ("_FD") columns and the seat note into `targetNote`.
    void copySeatAddress(const QString &suffix, QPlainTextEdit *targetNote);
    /// Opens the contact form in edit mode on a new contact person of the
    /// company, or on its placeholder contact when that is its only row.
    void addContactPerson();
    /// Opens the contact form in edit mode on the current contact person
    /// of the company; does nothing when the company has none.
    void editContactPerson();
    void gridClick();
    /// Edits the contact person last clicked; a failed search is ignored.
    void gridDoubleClick();

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

    Tfm_Firma &m_form;
    TDM &m_dm;
    TFM_Kontakt &m_contactForm;
};
