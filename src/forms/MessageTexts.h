#pragma once

#include <QString>

/// The program's fixed message texts. A text of several lines joins them
/// with a line feed followed by a carriage return ("\n\r").
namespace forms::texts {

/// Line separator of the stored message texts: LF, then CR.
inline const QString kLineBreak = QStringLiteral("\n\r");

/// Close refused in edit mode (warning, OK).
QString msgFormInEditMode();
/// Delete confirmation of the record forms (warning, Yes and No).
QString msgConfirmDelete();
/// A company with contact persons cannot be deleted (warning, OK).
QString msgCompanyHasContacts();
/// The database could not be opened at start (error, OK); ends with the
/// maker's support address.
QString msgDatabaseProblem();
/// The database's major version is not the one the program is made for
/// (information, OK).
QString msgWrongDatabaseVersion();

/// A photo file chosen in the contact form that is not a JPEG image
/// (warning, OK); names the file.
QString msgNotJpegPhoto(const QString &fileName);

/// The board's filter box holds a character the database cannot hold, so no
/// row can match it (warning, OK); names the character.
QString msgSearchCharacterNotStorable(QChar character);

} // namespace forms::texts
