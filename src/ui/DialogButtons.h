#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;

namespace ui {

/// The confirm and "Zrušit" buttons of a small dialog, named for screen
/// readers and tied to the dialog's accept() (which a dialog may override
/// to refuse) and reject().
QDialogButtonBox *confirmButtons(QDialog *dialog, const QString &confirmText);

} // namespace ui
