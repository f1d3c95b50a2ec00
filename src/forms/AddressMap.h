#pragma once

#include <QList>
#include <QUrl>

class QLineEdit;
class QToolButton;
class QWidget;

namespace forms {

/// The map search that shows an address; the address follows as its query.
inline constexpr char kMapSearchUrl[] = "https://www.openstreetmap.org/search";

/// The map search for the address of `parts` (street, city, postcode,
/// country; empty ones left out), joined by ", ".
QUrl mapSearchUrl(const QList<QString> &parts);

/// A button "Zobrazit na mapě" named `name` that opens the address the
/// `boxes` show in the desktop's browser; disabled while they are all empty.
QToolButton *mapButton(QWidget *parent, const char *name, const QList<QLineEdit *> &boxes);

} // namespace forms
