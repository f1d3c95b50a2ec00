#pragma once

#include <QList>
#include <QString>

namespace initdb {

// Rows to put into a new database, independent of the SQL that writes them.
// An empty text is written as NULL, as a box that was never filled in.

/// The eight columns of one address family (see the suffixes _FS, _FF, _FD).
struct Address {
    QString name;     ///< NAZEV_ADRESA
    QString street1;  ///< ADRESA
    QString street2;  ///< ULICE
    QString town;     ///< OBEC
    QString postcode; ///< PSC
    QString country;  ///< STAT
    QString note;     ///< POZNAMKA (in KONTAKT also the contact's general note)
    bool operator==(const Address &) const = default;
};

/// Means of contact, shared by FIRMA and KONTAKT.
struct Reach {
    QString phone1, phone2, mobile, fax, email1, email2, icq, skype, other1, other2, www;
    bool operator==(const Reach &) const = default;
};

/// One contact person. KRAJ is always " ", as the contact form writes it.
struct ContactData {
    QString titleBefore, firstName, surname, titleAfter;
    QString birthday, nameDay, reminder, position, description;
    Reach reach;
    QString reachNote; ///< POZNAMKA_KSPOJ
    Address address;   ///< private address; its note is the general note
    bool operator==(const ContactData &) const = default;
};

/// One company with its contact persons.
struct CompanyData {
    QString name, code, description, business, ico, dic, bankAccount, bankCode;
    Reach reach;
    QString reachNote; ///< POZNAMKA_FSP
    QString note;      ///< POZNAMKA
    Address seat, invoicing, delivery;
    /// Empty: the company gets a placeholder contact (KRAJ "***"), as the
    /// company form gives every new company, so that it has a board line.
    QList<ContactData> contacts;
    bool operator==(const CompanyData &) const = default;
};

} // namespace initdb
