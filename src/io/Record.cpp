#include "io/Record.h"

#include <QStringList>

namespace io {
namespace {

QList<Column> addressColumns(const QString &suffix, const QString &heading) {
    QList<Column> columns;
    const std::pair<const char *, const char *> stems[] = {
        {"NAZEV_ADRESA", "Název"}, {"ADRESA", "Ulice (1)"}, {"ULICE", "Ulice (2)"},
        {"OBEC", "Město"},         {"PSC", "PSČ"},          {"STAT", "Stát"},
        {"POZNAMKA", "Poznámka"}};
    for (const auto &[stem, label] : stems)
        columns << Column{QString::fromLatin1(stem) + suffix, heading + QString::fromUtf8(label)};
    return columns;
}

QList<Column> reachColumns(const QString &prefix) {
    QList<Column> columns;
    const std::pair<const char *, const char *> reach[] = {
        {"TELEFON1", "Telefon"}, {"TELEFON2", "Telefon 2"}, {"MOBIL", "Mobil"}, {"FAX", "Fax"},
        {"EMAIL1", "E-mail"},    {"EMAIL2", "E-mail 2"},    {"ICQ", "ICQ"},     {"SKYPE", "Skype"},
        {"DALSI1", "Další 1"},   {"DALSI2", "Další 2"},     {"WWW", "WWW"}};
    for (const auto &[name, label] : reach)
        columns << Column{QString::fromLatin1(name), prefix + QString::fromUtf8(label)};
    return columns;
}

Column column(const char *name, const char *label) {
    return Column{QString::fromLatin1(name), QString::fromUtf8(label)};
}

} // namespace

const QList<Column> &contactColumns() {
    static const QList<Column> columns = [] {
        QList<Column> c{column("TITUL_PRED", "Titul před"),
                        column("JMENO", "Jméno"),
                        column("PRIJMENI", "Příjmení"),
                        column("TITUL_ZA", "Titul za"),
                        column("NAROZENINY", "Narozeniny"),
                        column("SVATEK", "Svátek"),
                        column("UPOMINKA", "Událost"),
                        column("POZICE", "Pozice"),
                        column("POPIS", "Popis")};
        c << reachColumns(QString());
        c << column("POZNAMKA_KSPOJ", "Poznámka ke spojení");
        c << addressColumns(QString(), QString());
        return c;
    }();
    return columns;
}

const QList<Column> &companyColumns() {
    static const QList<Column> columns = [] {
        QList<Column> c{column("NAZEV_FIRMA", "Název firmy"),
                        column("KOD", "Kód"),
                        column("POPIS", "Popis"),
                        column("ZAMERENI", "Zaměření"),
                        column("ICO", "IČO"),
                        column("DIC", "DIČ"),
                        column("BANK_UCET", "Číslo účtu"),
                        column("BANK_KOD", "Kód banky")};
        c << reachColumns(QString());
        c << column("POZNAMKA_FSP", "Poznámka ke spojení") << column("POZNAMKA", "Poznámka");
        c << addressColumns(QStringLiteral("_FS"), QString::fromUtf8("Sídlo – "));
        c << addressColumns(QStringLiteral("_FF"), QString::fromUtf8("Fakturační – "));
        c << addressColumns(QStringLiteral("_FD"), QString::fromUtf8("Dodací – "));
        return c;
    }();
    return columns;
}

bool looksLikeImage(const QByteArray &bytes) {
    const char *starts[] = {
        "\xFF\xD8\xFF", "\x89PNG\r\n\x1A\n", "GIF87a", "GIF89a", "BM", "II*", "MM"};
    for (const char *start : starts)
        if (bytes.startsWith(start))
            return bytes.size() > 16;
    return bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP";
}

QString displayName(const Values &contact) {
    QStringList parts;
    for (const char *name : {"TITUL_PRED", "JMENO", "PRIJMENI"}) {
        const QString part = contact.value(QString::fromLatin1(name)).trimmed();
        if (!part.isEmpty())
            parts << part;
    }
    QString text = parts.join(QLatin1Char(' '));
    const QString after = contact.value(QStringLiteral("TITUL_ZA")).trimmed();
    if (!after.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(", ")) + after;
    return text;
}

QString foldCase(const QString &text) {
    return text.trimmed().toUpper();
}

} // namespace io
