#pragma once

#include <QByteArray>
#include <QLabel>
#include <QString>

namespace forms {

/// The picture of a contact's photo: a JPEG image stretched over the whole
/// area (the aspect ratio is not kept). It shows what it is given; the form
/// decides when to read the photo column.
class PhotoView : public QLabel {
    Q_OBJECT
  public:
    explicit PhotoView(QWidget *parent = nullptr);

    /// Shows the JPEG image held in `bytes`; empty bytes show nothing.
    /// Throws db::DbError with the decoder's message when the bytes do
    /// not decode; the view is empty then.
    void showJpeg(const QByteArray &bytes);
    void clearPhoto();
    bool hasPhoto() const;

    /// Decodes `bytes` as a JPEG image; on failure returns a null image and
    /// puts the decoder's message into `error`.
    static QImage decodeJpeg(const QByteArray &bytes, QString *error = nullptr);

  protected:
    /// Shift+F10 asks for the custom context menu, as a right click does.
    void keyPressEvent(QKeyEvent *event) override;
};

/// The open-picture dialog of the photo: a file dialog with a preview of
/// the selected picture and the filter entries "JPEG Image File (*.jpg)"
/// and "JPEG Image File (*.jpeg)", the first one selected. Returns the
/// chosen path, or an empty text when the user cancelled.
QString openPictureDialog(QWidget *parent);

} // namespace forms
