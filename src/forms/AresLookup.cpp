#include "forms/AresLookup.h"

#include "ares/AresClient.h"
#include "base/MessageService.h"
#include "czech/Ico.h"
#include "forms/AresPreview.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>

namespace forms {
namespace {

const QString kNothingChanged = QStringLiteral("\nÚdaje ve formuláři zůstaly beze změny.");

} // namespace

AresLookup::AresLookup(QWidget *form, const Boxes &boxes)
    : QObject(form), m_form(form), m_boxes(boxes), m_client(new ares::AresClient(this)) {
    connect(m_client, &ares::AresClient::received, this, &AresLookup::onReceived);
    connect(m_client, &ares::AresClient::failed, this, &AresLookup::onFailed);
}

void AresLookup::start() {
    if (m_client->isBusy() || m_preview)
        return;
    const QString typed = m_boxes.ico->text().trimmed();
    const czech::Verdict ico = czech::checkIco(typed);
    if (!ico.isValid()) {
        const QString why = typed.isEmpty() ? QStringLiteral("IČO není vyplněno.")
                                            : QStringLiteral("IČO %1: %2.").arg(typed, ico.reason);
        base::msg::show(base::msg::Kind::Warning,
                        why + QStringLiteral(" Z ARES lze načíst jen firmu s platným IČO."));
        m_boxes.ico->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_ico = ico.value;
    m_progress = new QProgressDialog(QStringLiteral("Načítám údaje firmy s IČO %1 z ARES…\n"
                                                    "(Esc přerušuje)")
                                         .arg(m_ico),
                                     QStringLiteral("Zrušit"), 0, 0, m_form);
    m_progress->setObjectName(QStringLiteral("dlgAresPrubeh"));
    m_progress->setWindowTitle(QStringLiteral("Načíst z ARES"));
    m_progress->setAccessibleName(QStringLiteral("Načítání z ARES"));
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    if (auto *bar = m_progress->findChild<QProgressBar *>())
        bar->setAccessibleName(QStringLiteral("Průběh načítání z ARES"));
    // Esc and the button both end here (Esc rejects the dialog when its
    // cancel shortcut is not the one that sees the key): the question is
    // dropped, nothing changes.
    const auto cancel = [this] {
        m_client->cancel();
        closeProgress();
    };
    connect(m_progress, &QProgressDialog::canceled, this, cancel);
    connect(m_progress, &QProgressDialog::rejected, this, cancel);
    m_client->fetch(ares::serviceBase(), m_ico);
    m_progress->open();
}

void AresLookup::closeProgress() {
    if (QProgressDialog *progress = m_progress) {
        m_progress = nullptr;
        progress->disconnect(this);
        progress->close();
    }
}

void AresLookup::onFailed(const QString &message) {
    closeProgress();
    base::msg::show(base::msg::Kind::Error, message + kNothingChanged);
}

void AresLookup::onReceived(const ares::CompanyRecord &record) {
    closeProgress();
    QList<ProposedText> proposals{{QStringLiteral("Název firmy"), m_boxes.name, record.name}};
    // A subject the register knows no DIČ of keeps the one typed.
    if (!record.dic.isEmpty())
        proposals.append({QStringLiteral("DIČ"), m_boxes.dic, record.dic});
    if (record.hasSeat)
        proposals.append({{QStringLiteral("Sídlo: Ulice (1)"), m_boxes.street, record.street},
                          {QStringLiteral("Sídlo: Ulice (2)"), m_boxes.district, record.district},
                          {QStringLiteral("Sídlo: Město"), m_boxes.town, record.town},
                          {QStringLiteral("Sídlo: PSČ"), m_boxes.postcode, record.postcode},
                          {QStringLiteral("Sídlo: Stát"), m_boxes.country, record.country}});
    m_preview = new AresPreview(m_ico, proposals, m_form);
    m_preview->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_preview, &QDialog::accepted, this, [proposals] {
        for (const ProposedText &p : proposals)
            p.box->setText(p.text);
    });
    m_preview->open();
}

} // namespace forms
