#pragma once

#include "initdb/CompanyData.h"

#include <QByteArray>
#include <QVariantList>

namespace db {
class DbConnection;
} // namespace db

namespace initdb {

/// Writes companies with their contacts into FIRMA and KONTAKT, numbering
/// IDs from 1 per table in the order of `add`. Rows are sent in batches of
/// `chunkRows`, each batch in one transaction.
class RowWriter {
  public:
    /// `db` must stay connected while the writer is used.
    explicit RowWriter(db::DbConnection &db, int chunkRows = 2000);

    /// Queues a company and its contacts (or its placeholder); may write a
    /// batch. Throws db::DbError.
    void add(const CompanyData &company);
    /// Writes what is still queued. Throws db::DbError.
    void finish();

    int companyCount() const { return m_nextCompanyId - 1; }
    int contactRowCount() const { return m_nextContactId - 1; }

  private:
    struct Table {
        QByteArray insertSql; ///< made from the column names of the first row
        QList<QVariantList> rows;
    };
    void flush(Table &table);

    db::DbConnection &m_db;
    int m_chunkRows;
    int m_nextCompanyId = 1;
    int m_nextContactId = 1;
    Table m_companies;
    Table m_contacts;
};

} // namespace initdb
