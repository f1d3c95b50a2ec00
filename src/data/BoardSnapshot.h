#pragma once

#include "data/BoardSearch.h"
#include "data/ChangeLog.h"
#include "data/CompactRecords.h"
#include "dataset/Dataset.h"
#include "dataset/LikePattern.h"

#include <QByteArray>
#include <QVariant>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace db {
class DbConnection;
} // namespace db

namespace data {

/// The board statement's result columns, in its order.
namespace board {
enum Column : int {
    IdFirma,
    Flag,
    Id,
    Prijmeni,
    Jmeno,
    Mobil,
    Telefon1,
    Email1,
    Kraj, // the contact's row
    NazevFirma,
    FTelefon,
    FMobil,
    FFax, // its company's
    ColumnCount
};
} // namespace board

/// The values of the board statement's six parameters: the patterns for a
/// contact's surname, first name and company name, for its own row (k) and
/// for its company's group line (f).
struct BoardPatterns {
    QString k1, k2, k3, f1, f2, f3;
};

/// Every contact with its company, read once, answering a typed text with
/// exactly the rows, order and group lines the board statement gives: group
/// lines of the companies that have a matching contact row (whatever its
/// region), then the matching contacts whose region is set and is not
/// '***', all in the order of the company name (binary, shorter names as if
/// padded with blanks, none before any). Text is matched as the server's
/// UPPER and LIKE match it. Contacts of no stored company (ID 0, or a
/// company deleted since) come last, under a group line of their own whose
/// company ID and name are NULL; a missing company's name matches as an
/// empty text. The search options change the matching and the order; in
/// Czech order each company's contacts follow its own group line.
class BoardSnapshot {
  public:
    /// How far a read has got, and a way to stop it from another thread.
    struct ReadProgress {
        std::atomic<int> contacts{0};
        std::atomic<bool> stop{false};
    };
    /// Reads the rows and the server's upper-casing; `boardStatement` (with
    /// "?" markers) only describes the columns. Returns false, having read
    /// nothing, when `progress` was told to stop. Throws DbError.
    bool read(db::DbConnection &connection, const QByteArray &boardStatement,
              ReadProgress *progress = nullptr);
    /// Reads only the first `companies` companies of the board's order
    /// (and any of the same name as the last) with their contacts: their
    /// rows are exactly those of the whole register, for a first screen
    /// while the rest is read. Returns false, having read nothing, when the
    /// register has fewer companies. Throws DbError.
    bool readHead(db::DbConnection &connection, const QByteArray &boardStatement, int companies);
    bool isLoaded() const { return m_data != nullptr; }
    void invalidate() { m_data.reset(); }
    /// True when anything was committed since read(), by anyone; costs one
    /// short statement. Throws DbError when the connection is lost.
    bool isStale(db::DbConnection &connection) const;
    /// The rows for the patterns, found as the dataset asks for them (they
    /// stay valid after a later read()). Throws DbError for a pattern the
    /// database could not take.
    dataset::Dataset::ProvidedRows rows(const BoardPatterns &patterns,
                                        const BoardSearch &search = {}) const;

    /// What was read, shared by the row sources handed out.
    struct Data {
        struct Text {
            int at = 0;
            int length = -1; // -1: NULL
        };
        struct Company {
            Text upperName;
            db::PackedRow groupLine;
            int firstContact = 0, endContact = 0; // its contacts, by contact ID
        };
        /// A contact's record (see ContactRecord in the source): whether it
        /// makes a row of its own, its ID, the upper-cased surname and first
        /// name, and the columns of its board row as read (surname, first
        /// name, mobile, phone, e-mail, region). Its row is made from them
        /// and its company's group line when it is asked for.
        struct Contact {
            CompactRecords::Handle record = 0;
            int company = 0; // index into companies
        };
        dataset::UpperCaseTable upper;
        std::vector<db::ColumnInfo> columns;
        std::vector<Company> companies; // in the board's order
        std::vector<int> runEnds;       // end of each run of companies of equal name
        std::vector<Contact> contacts;  // grouped by company, in its order
        CompactRecords contactRecords;
        QByteArray upperText; // the companies' upper-cased names, end to end
        QByteArrayView text(Text t) const { return {upperText.constData() + t.at, t.length}; }

        /// What the search options look in, made once per snapshot when an
        /// option first needs it: per contact (in the order of contacts) a
        /// record of its folded surname and first name, upper-cased and
        /// folded e-mail, mobile and phone (folded, without blanks); per
        /// company its folded name, phone, mobile and fax (the same).
        struct SearchKeys {
            explicit SearchKeys(const dataset::UpperCaseTable &upper) : folding(upper) {}
            struct CompanyKeys {
                Text name, phone, mobile, fax;
            };
            AccentFolding folding;
            CompactRecords records;
            std::vector<CompactRecords::Handle> contacts;
            std::vector<CompanyKeys> companies;
            QByteArray text;
            QByteArrayView view(Text t) const { return {text.constData() + t.at, t.length}; }
        };
        /// The Czech alphabetical order: the companies' indices, and the
        /// contacts' indices with each company's in its range of contacts.
        struct CzechOrder {
            std::vector<int> companies, contacts;
        };
        /// A contact's ID, and the cells of its record from the surname as
        /// read on (surname, first name, mobile, phone, e-mail, region).
        qint64 contactId(const Contact &x) const;
        compactcell::Reader shownCells(const Contact &x) const;
        const SearchKeys &searchKeys() const; // BoardSnapshotKeys.cpp
        const CzechOrder &czechOrder() const;
        int orphans = -1; // index of the group of contacts of no company, -1: none

      private:
        mutable std::once_flag m_keysMade, m_orderMade;
        mutable std::unique_ptr<const SearchKeys> m_keys;
        mutable std::unique_ptr<const CzechOrder> m_order;
    };

  private:
    struct Scope {
        QByteArray firms, people; // the statements reading companies and contacts
        QVariantList params;      // of both
    };
    bool readRows(db::DbConnection &connection, const QByteArray &boardStatement,
                  const Scope &scope, ReadProgress *progress);

    changelog::Stamp m_stamp;
    std::shared_ptr<const Data> m_data;
};

} // namespace data
