#pragma once

#include <QString>
#include <QStringList>

/// A new e-mail handed to the desktop's mail program.
namespace app::mail {

/// The mailto: text of one message to `recipients` with `subject` and the
/// program's signature. Each address is percent-encoded all but its
/// letters, digits, "-._~" and "@", so that a stored "?", "&", "#", "%",
/// "," or blank can neither cut it short, add a recipient nor add a header
/// such as a hidden copy; the addresses are separated by commas.
QString composeMailto(const QStringList &recipients, const QString &subject);

/// Opens the message in the mail program. When none takes it, says so and
/// offers to copy the addresses and the text to the clipboard. Blank
/// addresses are left out; without any nothing happens.
void open(const QStringList &recipients, const QString &subject);

} // namespace app::mail
