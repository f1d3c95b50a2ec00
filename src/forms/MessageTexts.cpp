#include "forms/MessageTexts.h"

#include "ui/MakerInfo.h"

#include <QStringList>

namespace forms::texts {

QString msgFormInEditMode() {
    return QStringList{QStringLiteral("Formulář je v editačním módu,"),
                       QStringLiteral("před uzavřením je potřeba změny potvrdit, či zrušit.")}
        .join(kLineBreak);
}

QString msgConfirmDelete() {
    return QStringLiteral("Opravdu smazat tento záznam?");
}

QString msgCompanyHasContacts() {
    return QStringList{
        QStringLiteral("Nelze smazat!"),
        QStringLiteral("Zřejmě existují podřízené kontakty k této firmě."),
        QStringLiteral("Nejdříve musíte tyto kontakty zrušit, pak můžete smazat i firmu.")}
        .join(kLineBreak);
}

QString msgDatabaseProblem() {
    return QStringList{QStringLiteral("Nastal problém s připojením databáze."),
                       QStringLiteral("Kontaktujte autora. (%1)").arg(ui::maker::kEmail)}
        .join(kLineBreak);
}

QString msgWrongDatabaseVersion() {
    return QStringList{QStringLiteral("Aplikace není určena pro práci s touto verzi DB!"),
                       QStringLiteral("Aplikace bude ukončena.")}
        .join(kLineBreak);
}

QString msgNotJpegPhoto(const QString &fileName) {
    return QStringList{QStringLiteral("Soubor „%1“ není obrázek ve formátu JPEG.").arg(fileName),
                       QStringLiteral("Fotka zůstala beze změny.")}
        .join(kLineBreak);
}

QString msgSearchCharacterNotStorable(QChar character) {
    return QStringList{
        QStringLiteral("Hledaný text obsahuje znak „%1“, který v databázi nemůže být.")
            .arg(character),
        QStringLiteral("Seznam kontaktů zůstal beze změny.")}
        .join(kLineBreak);
}

} // namespace forms::texts
