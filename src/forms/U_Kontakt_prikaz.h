#pragma once

#include <QString>

class TDM;
class TFM_Kontakt;

namespace dataset {
class Field;
} // namespace dataset

/// The protocol steps of the contact form on tKONTAKT. Every step throws
/// db::DbError when the data layer refuses something; the form's
/// handlers pass the error to the standard error report. Holds references
/// to the form and the data module, owns nothing.
class KontaktPrikaz {
  public:
    KontaktPrikaz(TFM_Kontakt &form, TDM &dm);

    /// "Kontakt: <surname box> <first-name box>".
    QString titleStep() const;
    /// Next ID of KONTAKT, last row, a new row with ID, ID_FIRMA and ID_POBOCKA.
    void newRecordData();
    /// Data part, edit mode, empty window title.
    void newRecordStep();
    /// New-record step, first tab, focus into the title-before list.
    void newButtonStep();
    /// Edits the current row, or starts a new one when there is none.
    void editStep();
    /// Hands over typed text, writes " " into KRAJ and posts the row; a
    /// failed post leaves the form in edit mode.
    void confirmStep();
    void cancelStep();
    /// Deletes the current row once the user confirmed it.
    void deleteStep();
    void navigatorMoveStep();
    /// Title, photo and, with contactEditOnShow raised, edit mode.
    void showStep();

    /// Shows the photo stored in the current row.
    void showPhoto();
    /// Reads a chosen JPEG file into OBR of the edited row; a file that is
    /// not a JPEG image is refused with a message and OBR stays as it was.
    void loadPhoto();
    /// Clears OBR of the edited row and the picture.
    void deletePhoto();

  private:
    dataset::Field &field(const char *column) const;
    void refreshTitleAndPhoto();

    TFM_Kontakt &m_form;
    TDM &m_dm;
};
