#include "app/SearchOptions.h"

#include "grid/LayoutStore.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QSettings>

namespace app {

namespace {
const QString kGroup = QStringLiteral("HledaniNaDesce");
} // namespace

SearchOptions::SearchOptions(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pHledani"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(8);
    ignoreAccents = option("cbBezDiakritiky", QStringLiteral("bez &diakritiky"),
                           QStringLiteral("Písmena se najdou bez ohledu na háčky, čárky a velikost "
                                          "(„dvorak“ najde „Dvořák“)"));
    allFields = option("cbVsechnaPole", QStringLiteral("všechna &pole"),
                       QStringLiteral("Hledá i v názvu firmy, telefonech (bez mezer), mobilu, faxu "
                                      "a e-mailu"));
    czechOrder = option("cbCeskaAbeceda", QStringLiteral("česká &abeceda"),
                        QStringLiteral("Firmy a kontakty v českém abecedním pořadí (ch za h)"));
    for (QCheckBox *box : {ignoreAccents, allFields, czechOrder})
        layout->addWidget(box);
    layout->addStretch();
}

QCheckBox *SearchOptions::option(const char *name, const QString &text, const QString &tip) {
    auto *box = new QCheckBox(text, this);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(tip);
    box->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    box->setAccessibleDescription(tip);
    const auto settings = grid::LayoutStore::openSettings();
    box->setChecked(settings->value(kGroup + QLatin1Char('/') + box->objectName()).toBool());
    connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
        grid::LayoutStore::openSettings()->setValue(kGroup + QLatin1Char('/') + box->objectName(),
                                                    on);
        emit changed(search());
    });
    return box;
}

data::BoardSearch SearchOptions::search() const {
    return {ignoreAccents->isChecked(), allFields->isChecked(), czechOrder->isChecked()};
}

} // namespace app
