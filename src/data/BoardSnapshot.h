#pragma once

#include "data/BoardSearch.h"
#include "data/ChangeLog.h"
#include "data/CompactRecords.h"
#include "data/TextDictionary.h"
#include "dataset/Dataset.h"
#include "dataset/LikePattern.h"

#include <QByteArray>
#include <QVariant>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace db {
class DbConnection;
} // namespace db

namespace data {
namespace boardrecords {
struct ContactRecord;
} // namespace boardrecords

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
    /// True when rows() for `search` finds what the options look in made.
    bool isReadyFor(const BoardSearch &search) const;
    /// Makes what the options of `search` look in, on any thread; it holds
    /// what was read, so it may outlive this snapshot being read again.
    std::function<void()> preparation(const BoardSearch &search) const;

    /// What was read, shared by the row sources handed out.
    struct Data {
        struct Text {
            int at = 0;
            int length = -1; // -1: NULL
        };
        /// A company: its record (the cells of its ID, name, phone, mobile
        /// and fax as read; all NULL for the group of contacts of no
        /// company), which its group line is made from.
        struct Company {
            CompactRecords::Handle record = 0;
            int firstContact = 0, endContact = 0; // its contacts, by contact ID
        };
        /// A contact's record (see ContactRecord in BoardRecords.h): whether
        /// it makes a row of its own, its ID and the columns of its board
        /// row as read (surname, first name, mobile, phone, e-mail, region).
        /// Its row is made from them and its company's cells when it is
        /// asked for.
        struct Contact {
            CompactRecords::Handle record = 0;
            int company = 0; // index into companies
        };
        dataset::UpperCaseTable upper;
        std::vector<db::ColumnInfo> columns;
        std::vector<Company> companies; // in the board's order
        std::vector<int> runEnds;       // end of each run of companies of equal name
        std::vector<Contact> contacts;  // grouped by company, in its order
        CompactRecords contactRecords, companyRecords;
        TextDictionary emailDomains; // of the contacts' records

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
        /// A contact's record (read through the e-mail domains), its ID,
        /// and the cells of its record from the surname as read on
        /// (surname, first name, mobile, phone, e-mail, region).
        boardrecords::ContactRecord record(const Contact &x) const;
        qint64 contactId(const Contact &x) const;
        compactcell::Reader shownCells(const Contact &x) const;
        /// A company's cells from its ID on (ID, name, phone, mobile, fax).
        compactcell::Reader companyCells(const Company &c) const {
            return compactcell::Reader(companyRecords.at(c.record));
        }
        const SearchKeys &searchKeys() const; // BoardSnapshotKeys.cpp
        const CzechOrder &czechOrder() const;
        int orphans = -1; // index of the group of contacts of no company, -1: none

        bool hasSearchKeys() const { return m_keysReady; }
        bool hasCzechOrder() const { return m_orderReady; }

      private:
        mutable std::once_flag m_keysMade, m_orderMade;
        mutable std::atomic<bool> m_keysReady{false}, m_orderReady{false};
        mutable std::unique_ptr<const SearchKeys> m_keys;
        mutable std::unique_ptr<const CzechOrder> m_order;
    };

    class SharedRead;

  private:
    /// What one read takes: the companies (none when empty) and the contacts.
    struct Scope {
        QByteArray firms, people;
        QVariantList firmParams, peopleParams;
        int part = 0; // of the dictionary of e-mail domains
    };
    /// The rows one attachment read, not yet in the board's order.
    struct Share {
        /// A contact of a company ID (an INTEGER, as the company's own).
        struct Person {
            CompactRecords::Handle record;
            qint32 firm;
        };
        /// The records; the share that read the companies also has the
        /// columns and the server's upper-casing.
        std::shared_ptr<Data> data;
        std::vector<Data::Company> companies; // as read
        std::vector<qint64> firmIds;          // of the companies
        // In blocks: no copy and no room twice as large while they grow.
        std::deque<Person> people;                      // as read
        std::deque<CompactRecords::Handle> companyless; // of no company ID, as read
    };
    /// Reads a share; false, having read nothing, when told to stop.
    static bool readShare(db::DbConnection &connection, const QByteArray &boardStatement,
                          const Scope &scope, ReadProgress *progress, Share &share);
    /// The snapshot of the shares read after `stamp` was taken; the first
    /// share is the one with the companies.
    void join(const changelog::Stamp &stamp, std::vector<Share> shares);

    changelog::Stamp m_stamp;
    std::shared_ptr<const Data> m_data;
};

/// The whole register read by two attachments at once, each on a thread of
/// its own: the companies with the contacts below a split ID, and the
/// contacts from it on, joined into one snapshot.
class BoardSnapshot::SharedRead {
  public:
    static constexpr int kShares = 2;
    /// Takes the stamp and chooses the split on `connection`, before either
    /// share is read: whatever is committed after it makes the joined
    /// snapshot stale, whichever share would have missed it. Throws DbError.
    SharedRead(db::DbConnection &connection, QByteArray boardStatement);
    /// Reads share 0 or 1 on a connection of its own; the two may run at
    /// the same time. False when `progress` was told to stop. Throws DbError.
    bool read(int share, db::DbConnection &connection, ReadProgress *progress);
    /// The snapshot, once both shares were read.
    BoardSnapshot join();

  private:
    changelog::Stamp m_stamp;
    QByteArray m_statement;
    std::optional<qint64> m_split; // none: the first share reads every contact
    std::vector<Share> m_shares;
};

} // namespace data
