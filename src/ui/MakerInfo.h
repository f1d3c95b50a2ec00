#pragma once

#include <QString>

/// The maker's and the product's fixed data, shown by the status bar, the
/// e-mail signature and the About window. Change them here only.
namespace ui::maker {

inline const QString kName = QStringLiteral("Qorvel");
inline const QString kReleaseYear = QStringLiteral("2008");
inline const QString kAuthor = QStringLiteral("Ing. Radek Šimánek");
inline const QString kEmail = QStringLiteral("podpora@qorvel.cz");
/// Shown in the status bar, opened by a click on it, named in the e-mail signature.
inline const QString kWebAddress = QStringLiteral("https://www.qorvel.cz");
/// The program's version stamp, shown in the status bar and the About window.
inline const QString kVersionStamp = QStringLiteral("080204.1");

} // namespace ui::maker
