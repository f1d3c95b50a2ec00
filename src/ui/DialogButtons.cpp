#include "ui/DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace ui {

QDialogButtonBox *confirmButtons(QDialog *dialog, const QString &confirmText) {
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    const std::pair<QDialogButtonBox::StandardButton, QString> texts[] = {
        {QDialogButtonBox::Ok, confirmText}, {QDialogButtonBox::Cancel, QStringLiteral("Zrušit")}};
    for (const auto &[which, text] : texts) {
        buttons->button(which)->setText(text);
        buttons->button(which)->setAccessibleName(text);
    }
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace ui
