// Writing an import plan: in one transaction, one import at a time, after
// checking again what the plan assumed about the database.
#include "io/ContactStore.h"

#include "data/ChangeLog.h"
#include "data/ReadIndexes.h"
#include "data/RowIds.h"
#include "db/DbConnection.h"
#include "db/DbError.h"

#include <QElapsedTimer>
#include <QThread>

#include <unordered_map>

namespace io {
namespace {

const QString kPlaceholderRegion = QStringLiteral("***");
const QString kContactRegion = QStringLiteral(" "); // what the contact form writes on every confirm

/// The rows of one table as an import writes them: the same columns in the
/// same order for every row, so that the statement is made once and each
/// row only refills one list of values.
class TableRows {
  public:
    /// `keys` come first (ID first of all), then the travelling text columns.
    TableRows(const char *table, const QStringList &keys, const QList<Column> &texts)
        : m_table(QString::fromLatin1(table)), m_columns(keys), m_texts(texts),
          m_firstText(int(keys.size())) {
        for (const Column &c : texts)
            m_columns << c.name;
        m_values.resize(m_columns.size());
    }
    QByteArray insertSql() const {
        const QString markers = QStringLiteral("?, ").repeated(m_columns.size()).chopped(2);
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(m_table, m_columns.join(QStringLiteral(", ")), markers)
            .toLatin1();
    }
    /// Takes over the placeholder `id`, and only while it still is one: every
    /// column but the ID, from the values set now.
    db::DbConnection::Statement takeOverPlaceholder(int id) const {
        return {
            QStringLiteral("UPDATE %1 SET %2 = ? WHERE ID = ? AND KRAJ = '%3'")
                .arg(m_table, m_columns.mid(1).join(QStringLiteral(" = ?, ")), kPlaceholderRegion)
                .toLatin1(),
            m_values.mid(1) + QVariantList{id}};
    }
    void setKey(int at, const QVariant &value) { m_values[at] = value; }
    /// The texts of a row; an empty one is NULL.
    void setTexts(const PackedValues &values) {
        clearTexts();
        values.forEachText([this](int column, QByteArrayView utf8) {
            m_values[m_firstText + column] = QString::fromUtf8(utf8);
        });
    }
    void clearTexts() {
        for (int i = m_firstText; i < m_values.size(); ++i)
            m_values[i] = QVariant();
    }
    const QVariantList &values() const { return m_values; }

  private:
    const QString m_table;
    QStringList m_columns;
    const QList<Column> &m_texts;
    const int m_firstText;
    QVariantList m_values;
};

/// KONTAKT's keys as the import fills them.
enum ContactKey { ContactId, CompanyId, BranchId, Region, Photo };
const QStringList kContactKeys{QStringLiteral("ID"), QStringLiteral("ID_FIRMA"),
                               QStringLiteral("ID_POBOCKA"), QStringLiteral("KRAJ"),
                               QStringLiteral("OBR")};

void setContact(TableRows &rows, const PlannedContact &c, int companyId) {
    rows.setKey(CompanyId, companyId);
    rows.setKey(BranchId, 0);
    rows.setKey(Region, kContactRegion);
    rows.setKey(Photo, c.photo.isEmpty() ? QVariant() : QVariant(c.photo));
    rows.setTexts(c.contact);
}

void setPlaceholder(TableRows &rows, int companyId) {
    rows.setKey(CompanyId, companyId);
    rows.setKey(BranchId, 0);
    rows.setKey(Region, kPlaceholderRegion);
    rows.setKey(Photo, QVariant());
    rows.clearTexts();
}

/// Statements and reads inside the import's transaction.
class ImportTransaction {
  public:
    ImportTransaction(db::DbConnection &db, db::WriteTransaction &transaction)
        : m_db(db), m_tr(transaction) {}

    /// Rows the statement touched.
    qint64 run(const db::DbConnection::Statement &s) {
        db::FbStatement &statement = prepared(s.sql);
        statement.bind(s.params);
        statement.execute();
        return statement.affectedRows();
    }
    /// The statement of `sql`, prepared once: an import runs the same INSERT
    /// for every row.
    db::FbStatement &prepared(const QByteArray &sql) {
        std::unique_ptr<db::FbStatement> &statement = m_prepared[sql];
        if (!statement) {
            statement = std::make_unique<db::FbStatement>(m_db, m_tr.handle());
            statement->prepare(sql);
        }
        return *statement;
    }
    std::unique_ptr<db::FbStatement> open(const QByteArray &sql) {
        auto statement = std::make_unique<db::FbStatement>(m_db, m_tr.handle());
        statement->prepare(sql);
        statement->bind({});
        statement->execute();
        return statement;
    }

    /// Imports take turns: each locks the settings row (which nothing else
    /// writes after the start-up's upgrade) until its transaction ends.
    /// `progress` is asked between the waits, so that Cancel works while another import writes.
    void takeImportLock(int waitSeconds, const Progress &progress) {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            try {
                run({"UPDATE NASTAVENI SET KONTROLUJ_UPDATY = KONTROLUJ_UPDATY", {}});
                return;
            } catch (const db::DbError &e) {
                const bool busy = e.kind() == db::DbError::Kind::LockTimeout ||
                                  e.kind() == db::DbError::Kind::Conflict;
                if (!busy)
                    throw;
                if (waited.elapsed() > waitSeconds * 1000LL)
                    throw db::DbError(
                        QStringLiteral(
                            "Do registru právě zapisuje jiný import. Nic nebylo zapsáno; "
                            "zkuste to prosím za chvíli znovu."),
                        db::DbError::Kind::LockTimeout, e.codes());
                if (progress && !progress(0, 0))
                    throw db::DbError(kStoppedText);
                QThread::msleep(100); // the lock wait itself did most of the waiting
            }
        }
    }

    /// Writes the change log's row of this transaction before the rows, so
    /// that the triggers need not look for it with each row.
    void markChanged() {
        if (m_db.tableInfo(QStringLiteral("ZMENY")).columns.isEmpty())
            return; // a file without the log
        try {
            run({data::changelog::markWrittenSql(), {}});
        } catch (const db::DbError &e) {
            if (e.kind() == db::DbError::Kind::ConnectionLost)
                throw;
            // An incomplete log: the triggers look for the row themselves.
        }
    }

    /// The first of `count` new IDs of `table` in a row, from the program's
    /// one allocator: never an ID a form has shown or another writer stored.
    int reserveIds(const char *table, int count) {
        return int(data::rowids::next(m_db, QString::fromLatin1(table), qMax(count, 1)));
    }

  private:
    db::DbConnection &m_db;
    db::WriteTransaction &m_tr;
    std::unordered_map<QByteArray, std::unique_ptr<db::FbStatement>> m_prepared;
};

void writePlan(ImportTransaction &tr, const ImportPlan &plan, ImportResult &result,
               const Progress &progress) {
    const int total = plan.selectedCount();
    auto tell = [&] {
        if (progress && !progress(result.contacts, total))
            throw db::DbError(kStoppedText);
    };
    tell();
    const int newCompanies = int(plan.companiesToCreate().size());
    int nextCompany = tr.reserveIds("FIRMA", newCompanies);
    int nextContact =
        tr.reserveIds("KONTAKT", total + newCompanies); // the contacts, and placeholders at most
    if (total + newCompanies > 0)
        tr.markChanged();

    TableRows companyRows("FIRMA", {QStringLiteral("ID")}, companyColumns());
    TableRows contactRows("KONTAKT", kContactKeys, contactColumns());
    db::FbStatement &insertCompany = tr.prepared(companyRows.insertSql());
    db::FbStatement &insertContact = tr.prepared(contactRows.insertSql());
    auto insert = [](db::FbStatement &statement, TableRows &rows, int &next) {
        rows.setKey(0, next);
        statement.bind(rows.values());
        statement.execute();
        return next++;
    };
    QHash<int, int> companyIds;   // plan index → ID
    QHash<int, int> placeholders; // plan index → placeholder a first contact takes over
    for (int i = 0; i < plan.companies.size(); ++i) {
        companyIds.insert(i, plan.companies[i].existingId);
        if (plan.companies[i].placeholderId)
            placeholders.insert(i, plan.companies[i].placeholderId);
    }
    for (int i : plan.companiesToCreate()) {
        companyRows.setTexts(plan.companies[i].values);
        companyIds.insert(i, insert(insertCompany, companyRows, nextCompany));
        if (++result.companies % 100 == 0) // a register's worth of companies takes seconds
            tell();
    }
    QSet<int> companiesWithContacts;
    for (const PlannedContact &c : plan.contacts) {
        if (!c.selected)
            continue;
        setContact(contactRows, c, companyIds.value(c.company));
        const int placeholder = placeholders.take(c.company);
        if (!placeholder || tr.run(contactRows.takeOverPlaceholder(placeholder)) != 1)
            insert(insertContact, contactRows, nextContact);
        companiesWithContacts << c.company;
        if (++result.contacts % 100 == 0)
            tell();
    }
    for (int i : plan.companiesToCreate())
        if (!companiesWithContacts.contains(i)) { // shows on the board through its placeholder
            setPlaceholder(contactRows, companyIds.value(i));
            insert(insertContact, contactRows, nextContact);
        }
}

} // namespace

ImportResult writeImport(db::DbConnection &db, const ImportPlan &plan, const Progress &progress,
                         int waitSeconds) {
    ImportResult result;
    const data::readindexes::DeferredWhileEmpty indexes(db);
    db.runInTransaction([&](db::WriteTransaction &transaction) {
        result = {};
        ImportTransaction tr(db, transaction);
        tr.takeImportLock(waitSeconds, progress);
        const RecheckedPlan checked =
            recheckPlan(plan, readExisting([&](const QByteArray &sql) { return tr.open(sql); }));
        if (!checked.refusals.isEmpty())
            throw db::DbError(checked.refusals.join(QLatin1Char(' ')) +
                                  QStringLiteral(" Nic nebylo zapsáno; spusťte import znovu, "
                                                 "náhled pak ukáže registr, jak je teď."),
                              db::DbError::Kind::Conflict);
        result.notes = checked.notes;
        writePlan(tr, checked.plan, result, progress);
    });
    return result;
}

} // namespace io
