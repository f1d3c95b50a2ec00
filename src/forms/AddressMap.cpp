#include "forms/AddressMap.h"

#include "forms/FormKit.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QStringList>
#include <QToolButton>

namespace forms {
namespace {

QStringList filled(const QList<QLineEdit *> &boxes) {
    QStringList parts;
    for (const QLineEdit *box : boxes)
        parts << box->text();
    return parts;
}

} // namespace

QUrl mapSearchUrl(const QList<QString> &parts) {
    QStringList address;
    for (const QString &part : parts)
        if (!part.trimmed().isEmpty())
            address << part.trimmed();
    QUrl url(QString::fromLatin1(kMapSearchUrl));
    // Every character but the unreserved ones encoded: "&", "+" or "#" in a
    // street is part of the address, not of the URL.
    url.setQuery(QStringLiteral("query=") +
                 QString::fromLatin1(QUrl::toPercentEncoding(address.join(QStringLiteral(", ")))));
    return url;
}

QToolButton *mapButton(QWidget *parent, const char *name, const QList<QLineEdit *> &boxes) {
    QToolButton *button = kit::speedButton(parent, name, QStringLiteral("Zobrazit na mapě"),
                                           kit::glyph(QStringLiteral("mapa.svg")), QSize(25, 25));
    auto follow = [button, boxes] {
        button->setEnabled(!filled(boxes).join(QString()).trimmed().isEmpty());
    };
    for (QLineEdit *box : boxes)
        QObject::connect(box, &QLineEdit::textChanged, button, follow);
    follow();
    QObject::connect(button, &QToolButton::clicked, button, [boxes] {
        const QStringList parts = filled(boxes);
        if (!parts.join(QString()).trimmed().isEmpty())
            QDesktopServices::openUrl(mapSearchUrl(parts));
    });
    return button;
}

} // namespace forms
