#include "forms/PhotoView.h"

#include "db/DbError.h"

#include <QBuffer>
#include <QFileDialog>
#include <QGridLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QPixmap>

namespace forms {

PhotoView::PhotoView(QWidget *parent) : QLabel(parent) {
    setScaledContents(true);
    setAlignment(Qt::AlignCenter);
}

void PhotoView::keyPressEvent(QKeyEvent *event) {
    // The menu key reaches the menu through the platform; Shift+F10 does
    // it everywhere.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier &&
        contextMenuPolicy() == Qt::CustomContextMenu) {
        emit customContextMenuRequested(rect().center());
        return;
    }
    QLabel::keyPressEvent(event);
}

QImage PhotoView::decodeJpeg(const QByteArray &bytes, QString *error) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull() && error)
        *error = reader.errorString();
    return image;
}

void PhotoView::showJpeg(const QByteArray &bytes) {
    clearPhoto();
    if (bytes.isEmpty())
        return;
    const QImage image = decodeJpeg(bytes);
    if (image.isNull())
        throw db::DbError(
            QStringLiteral(
                "Fotku kontaktu nelze zobrazit: uložená data nejsou čitelný obrázek JPEG "
                "(%1 bajtů). Načtěte fotku znovu, nebo ji vymažte.")
                .arg(bytes.size()));
    setPixmap(QPixmap::fromImage(image));
}

void PhotoView::clearPhoto() {
    clear();
}

bool PhotoView::hasPhoto() const {
    return !pixmap().isNull();
}

QString openPictureDialog(QWidget *parent) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog); // the preview needs Qt's own dialog
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters{QStringLiteral("JPEG Image File (*.jpg)"),
                              QStringLiteral("JPEG Image File (*.jpeg)")};
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());

    auto *preview = new QLabel(&dialog);
    preview->setFixedSize(160, 120);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(preview, 1, grid->columnCount(), 1, 1, Qt::AlignTop);
    QObject::connect(
        &dialog, &QFileDialog::currentChanged, preview, [preview](const QString &path) {
            QImageReader reader(path);
            const QSize size = reader.size();
            if (size.isValid())
                reader.setScaledSize(size.scaled(preview->size(), Qt::KeepAspectRatio));
            const QImage image = reader.read();
            preview->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
        });

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace forms
