#include "forms/U_Kontakt_prikaz.h"

#include "base/MessageService.h"
#include "data/U_DM.h"
#include "db/DbError.h"
#include "forms/ContactHandOver.h"
#include "forms/MessageTexts.h"
#include "forms/PhotoView.h"
#include "ui/ErrorReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

KontaktPrikaz::KontaktPrikaz(forms::ContactFace &face, TDM &dm)
    : RecordSteps(face, dm.tKONTAKT), m_face(face), m_dm(dm) {
}

dataset::Field &KontaktPrikaz::field(const char *column) const {
    return *m_dm.tKONTAKT.fieldByName(QString::fromLatin1(column));
}

QString KontaktPrikaz::titleStep() const {
    return QStringLiteral("Kontakt: %1 %2").arg(m_face.shownSurname(), m_face.shownFirstName());
}

void KontaktPrikaz::showCurrentRow() {
    m_face.showTitle(titleStep());
    showPhoto();
}

void KontaktPrikaz::newRecordData() {
    const int id = m_dm.NextId(QStringLiteral("id"), QStringLiteral("kontakt"));
    m_dm.tKONTAKT.last();
    m_dm.tKONTAKT.insert();
    field("ID").setAsInteger(id);
    field("ID_FIRMA").setAsInteger(newContactCompanyId);
    field("ID_POBOCKA").setAsInteger(newContactBranchId);
}

void KontaktPrikaz::newRecordStep() {
    newRecordData();
    m_face.enterEditMode();
    m_face.showTitle(QString());
}

void KontaktPrikaz::postRow() {
    field("KRAJ").setAsString(QStringLiteral(" "));
    if (m_dm.IsContactMoving()) {
        m_dm.PostContactMove();
        return;
    }
    // A new contact whose ID another program took meanwhile takes a fresh one.
    m_dm.PostTogether({&m_dm.tKONTAKT}, [this] {
        if (m_dm.tKONTAKT.state() == dataset::Dataset::State::Insert)
            field("ID").setAsInteger(m_dm.NextId(QStringLiteral("id"), QStringLiteral("kontakt")));
    });
}

void KontaktPrikaz::cancelStep() {
    m_dm.tKONTAKT.cancel();
    m_face.enterBrowseMode();
    showCurrentRow();
}

void KontaktPrikaz::deleteStep() {
    if (!m_face.confirmDelete())
        return;
    m_dm.DeleteContactKeepingCompany();
    showCurrentRow();
}

void KontaktPrikaz::navigatorMoveStep() {
    showCurrentRow();
}

void KontaktPrikaz::showStep() {
    m_face.showTitle(titleStep());
    // A photo that cannot be shown is reported on its own, so that an
    // opener's request for edit mode is still honoured: the row is already
    // being edited and the form must not stay in browse mode over it.
    ui::guarded([this] { showPhoto(); });
    if (contactEditOnShow)
        m_face.enterEditMode();
}

void KontaktPrikaz::showPhoto() {
    m_face.showPhoto(field("OBR").asBytes());
}

void KontaktPrikaz::loadPhoto() {
    if (m_face.isBrowseMode())
        return;
    const QString path = m_face.choosePictureFile();
    if (path.isEmpty())
        return;
    // A pipe or a device would block the read for good.
    if (QFileInfo(path).exists() && !QFileInfo(path).isFile())
        throw db::DbError(QStringLiteral("„%1“ není soubor s obrázkem. Fotka zůstala beze změny.")
                              .arg(QDir::toNativeSeparators(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw db::DbError(QStringLiteral("Soubor „%1“ nelze otevřít: %2. Fotka zůstala beze změny.")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw db::DbError(QStringLiteral("Soubor „%1“ nelze přečíst: %2. Fotka zůstala beze změny.")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    file.close();
    if (forms::PhotoView::decodeJpeg(bytes).isNull()) {
        base::msg::show(base::msg::Kind::Warning,
                        forms::texts::msgNotJpegPhoto(QDir::toNativeSeparators(path)));
        return;
    }
    try {
        field("OBR").setAsBytes(bytes);
    } catch (const db::DbError &) {
        return; // the row did not take the photo; the notice stays hidden
    }
    m_face.showPhotoLoadedNotice();
}

void KontaktPrikaz::deletePhoto() {
    if (m_face.isBrowseMode())
        return;
    field("OBR").clear();
    m_face.clearPhoto();
}
