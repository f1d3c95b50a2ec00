#pragma once

#include "ChangeLog.h"
#include "Dataset.h"
#include "LikePattern.h"

#include <QByteArray>

#include <vector>

namespace data {

class DbConnection;

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
/// UPPER and LIKE match it.
class BoardSnapshot {
public:
    /// Reads the rows and the server's upper-casing; `boardStatement` (with
    /// "?" markers) only describes the columns. Throws DbError.
    void read(DbConnection &connection, const QByteArray &boardStatement);
    bool isLoaded() const { return m_loaded; }
    void invalidate() { m_loaded = false; }
    /// True when anything was committed since read(), by anyone; costs one
    /// short statement. Throws DbError when the connection is lost.
    bool isStale(DbConnection &connection) const;
    /// Throws DbError for a pattern the database could not take.
    Dataset::ProvidedRows rows(const BoardPatterns &patterns) const;

    int contactCount() const { return int(m_contacts.size()); }

private:
    struct Company {
        qint64 id = 0;
        bool hasName = false;
        QByteArray upperName;
        PackedRow groupLine;
        std::vector<int> contacts;   // indexes into m_contacts, by contact ID
    };
    struct Contact {
        bool hasSurname = false, hasFirstName = false;
        bool isContactRow = false;   // region set and not '***'
        QByteArray upperSurname, upperFirstName;
        PackedRow row;
    };
    LikePattern pattern(const QString &text) const;

    bool m_loaded = false;
    changelog::Stamp m_stamp;
    UpperCaseTable m_upper;
    std::vector<ColumnInfo> m_columns;
    std::vector<Company> m_companies;     // in the board's order
    std::vector<int> m_runEnds;           // end of each run of companies of equal name
    std::vector<Contact> m_contacts;
};

} // namespace data
