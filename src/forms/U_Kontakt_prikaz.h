#pragma once

#include "forms/RecordFace.h"
#include "forms/RecordSteps.h"

#include <QByteArray>
#include <QString>

class TDM;

namespace dataset {
class Field;
} // namespace dataset

namespace forms {

/// What the contact form's steps need of its window beyond the record
/// protocol: the name boxes, the photo and the open-picture dialog.
class ContactFace : public RecordFace {
  public:
    /// What the surname and first-name boxes show.
    virtual QString shownSurname() const = 0;
    virtual QString shownFirstName() const = 0;
    /// Shows a stored photo (JPEG bytes; none shows no picture). Throws
    /// db::DbError when the bytes cannot be shown.
    virtual void showPhoto(const QByteArray &jpeg) = 0;
    virtual void clearPhoto() = 0;
    /// Shows the notice that a loaded photo appears once the row is saved.
    virtual void showPhotoLoadedNotice() = 0;
    /// The open-picture dialog: the chosen file's path, or "" when the user
    /// cancelled.
    virtual QString choosePictureFile() = 0;
};

} // namespace forms

/// The protocol steps of the contact form on tKONTAKT. Every step throws
/// db::DbError when the data layer refuses something; the form's
/// handlers pass the error to the standard error report. Holds references
/// to the form's face and the data module, owns nothing.
class KontaktPrikaz : public forms::RecordSteps {
  public:
    KontaktPrikaz(forms::ContactFace &face, TDM &dm);

    /// "Kontakt: <surname box> <first-name box>".
    QString titleStep() const;
    /// Next ID of KONTAKT, last row, a new row with ID, ID_FIRMA and ID_POBOCKA.
    void newRecordData();
    /// Data part, edit mode, empty window title.
    void newRecordStep() override;
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

  protected:
    /// Writes " " into KRAJ and posts the row; a new contact whose ID
    /// another program took meanwhile takes a fresh one, a contact given
    /// another company moves there with the placeholders kept right.
    void postRow() override;
    /// Title and photo.
    void showCurrentRow() override;

  private:
    dataset::Field &field(const char *column) const;

    forms::ContactFace &m_face;
    TDM &m_dm;
};
