#include "print/CompanyCard.h"

#include "czech/BankAccount.h"
#include "data/U_DM.h"
#include "dataset/Dataset.h"
#include "print/CardDocument.h"
#include "print/U_report.h"

namespace print {

namespace {

QString text(const dataset::Dataset &dataset, const char *column) {
    return dataset.fieldByName(QString::fromLatin1(column))->asString();
}

QString piece(const QString &templ, const QString &value) {
    return value.isEmpty() ? QString() : templ.arg(value);
}

} // namespace

QString CompanyCard::nameHeading(const QString &titleBefore, const QString &firstName,
                                 const QString &surname, const QString &titleAfter) {
    QStringList parts;
    for (const QString &part : {titleBefore, firstName, surname})
        if (!part.isEmpty())
            parts << part;
    QString heading = parts.join(QLatin1Char(' '));
    if (!titleAfter.isEmpty())
        heading += (heading.isEmpty() ? QString() : QStringLiteral(", ")) + titleAfter;
    return heading;
}

void CompanyCard::addPairLine(const QString &templateOne, const QString &one, const QString &joiner,
                              const QString &templateTwo, const QString &two) {
    if (one.isEmpty() && two.isEmpty())
        return;
    m_doc.addLine(piece(templateOne, one) + joiner + piece(templateTwo, two));
}

void CompanyCard::addCompanyAddress(const char *heading, const char *suffix) {
    const dataset::Dataset &firma = m_dm.tFIRMA;
    auto column = [&](const char *stem) {
        return firma.fieldByName(QString::fromLatin1(stem) + QLatin1String(suffix))->asString();
    };
    const QString name = column("NAZEV_ADRESA"), street1 = column("ADRESA"),
                  street2 = column("ULICE"), town = column("OBEC"), postcode = column("PSC"),
                  country = column("STAT");
    if ((name + street1 + street2 + town + postcode + country).isEmpty())
        return;
    m_doc.addHeading(QString::fromUtf8(heading), 11);
    for (const QString &line : {name, street1, street2})
        if (!line.isEmpty())
            m_doc.addLine(line);
    addPairLine(QStringLiteral("%1"), town, QStringLiteral("    "), QStringLiteral("%1"), postcode);
    if (!country.isEmpty())
        m_doc.addLine(country);
}

void CompanyCard::addMeansOfContact(const dataset::Dataset &source) {
    m_doc.addLine(QStringLiteral("telefon (1,2):  %1 , %2")
                      .arg(text(source, "TELEFON1"), text(source, "TELEFON2")));
    m_doc.addLine(
        QStringLiteral("mobil: %1    fax: %2").arg(text(source, "MOBIL"), text(source, "FAX")));
    m_doc.addLine(QStringLiteral("Email: %1").arg(text(source, "EMAIL1")));
    if (!text(source, "EMAIL2").isEmpty())
        m_doc.addLine(QStringLiteral("Email2: %1").arg(text(source, "EMAIL2")));
    if (!(text(source, "ICQ") + text(source, "SKYPE")).isEmpty())
        m_doc.addLine(
            QStringLiteral("ICQ: %1    SKYPE: %2").arg(text(source, "ICQ"), text(source, "SKYPE")));
    if (!(text(source, "DALSI1") + text(source, "DALSI2")).isEmpty())
        m_doc.addLine(QStringLiteral("Další1: %1    Další2: %2")
                          .arg(text(source, "DALSI1"), text(source, "DALSI2")));
}

void CompanyCard::compose(int companyId) {
    const dataset::Dataset &firma = m_dm.tFIRMA;
    m_doc.clear();
    m_doc.addHeading(text(firma, "NAZEV_FIRMA"), 16, true);
    m_doc.addHeading(QStringLiteral("Popis:"), 11);
    addPairLine(QStringLiteral("Kód: %1     "), text(firma, "KOD"), QString(),
                QStringLiteral("Zaměření: %1"), text(firma, "ZAMERENI"));
    if (!text(firma, "POPIS").isEmpty())
        m_doc.addLine(QStringLiteral("Popis: %1").arg(text(firma, "POPIS")));
    m_doc.addHeading(QStringLiteral("Bankovní údaje:"), 11);
    addPairLine(QStringLiteral("IČO: %1     "), text(firma, "ICO"), QString(),
                QStringLiteral("DIČ: %1"), text(firma, "DIC"));
    addPairLine(QStringLiteral("Bankovní účet: %1 / "), text(firma, "BANK_UCET"), QString(),
                QStringLiteral("%1"), text(firma, "BANK_KOD"));
    if (const QString iban = czech::iban(text(firma, "BANK_UCET"), text(firma, "BANK_KOD"));
        !iban.isEmpty())
        m_doc.addLine(QStringLiteral("IBAN: %1").arg(czech::formatIban(iban)));
    addCompanyAddress("Adresa sídla", "_FS");
    addCompanyAddress("Adresa fakturační", "_FF");
    addCompanyAddress("Adresa dodací", "_FD");
    m_doc.addHeading(QStringLiteral("Spojení na firmu:"), 11);
    m_doc.addLine(QStringLiteral("   SPOJENÍ "));
    addMeansOfContact(firma);
    m_doc.addLine(QString());
    m_doc.addHeading(QStringLiteral("KONTAKTY:"), 13);

    dataset::QueryDataset &contacts = m_dm.qFirmaKontakty;
    contacts.close();
    contacts.paramByName(QStringLiteral("IdFirmy"))->setAsInteger(companyId);
    contacts.open();
    contacts.first();
    const int count = contacts.recordCount();
    for (int i = 0; i < count; ++i) {
        contacts.moveTo(i);
        addContactBlock(contacts);
    }
}

// The query's row holds every column of the contact: looking each one up
// in tKONTAKT walked the whole register per contact.
void CompanyCard::addContactBlock(const dataset::Dataset &contact) {
    if (text(contact, "KRAJ") == QLatin1String("***"))
        return;
    const QString name = nameHeading(text(contact, "TITUL_PRED"), text(contact, "JMENO"),
                                     text(contact, "PRIJMENI"), text(contact, "TITUL_ZA"));
    if (!name.isEmpty())
        m_doc.addHeading(name, 12);
    if (!text(contact, "POZICE").isEmpty())
        m_doc.addLine(QStringLiteral("Pozice: %1").arg(text(contact, "POZICE")));
    if (!text(contact, "POPIS").isEmpty())
        m_doc.addLine(QStringLiteral("Popis: %1").arg(text(contact, "POPIS")));

    const QString addressName = text(contact, "NAZEV_ADRESA"), street1 = text(contact, "ADRESA"),
                  street2 = text(contact, "ULICE"), town = text(contact, "OBEC"),
                  postcode = text(contact, "PSC"), country = text(contact, "STAT");
    if (!(addressName + street1 + street2 + town + postcode + country).isEmpty()) {
        m_doc.addHeading(QStringLiteral("Adresa:"), 11);
        if (!addressName.isEmpty())
            m_doc.addLine(QStringLiteral("Název adresa: %1").arg(addressName));
        if (!street1.isEmpty())
            m_doc.addLine(QStringLiteral("Adresa: %1").arg(street1));
        if (!street2.isEmpty())
            m_doc.addLine(QStringLiteral("Ulice: %1").arg(street2));
        addPairLine(QStringLiteral("Obec: %1"), town, QStringLiteral("    "),
                    QStringLiteral("PSČ: %1"), postcode);
        if (!country.isEmpty())
            m_doc.addLine(QStringLiteral("Stát: %1").arg(country));
    }
    m_doc.addSpacer();
    addMeansOfContact(contact);
    m_doc.addLine(QStringLiteral("---- ---- ---- ---- ---- ---- ---- ---- ---- ----"));
}

void buildCompanyCard(TDM &dm, TfmReporty &printForm, int companyId, QWidget *parent) {
    CompanyCard(dm, printForm.RichEdit1()).compose(companyId);
    printForm.copyCardToReport();
    printForm.preview(parent);
}

} // namespace print
