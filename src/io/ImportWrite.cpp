// Writing an import plan: in one transaction, one import at a time, after
// checking again what the plan assumed about the database.
#include "io/ContactStore.h"

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

/// An INSERT or UPDATE built from column names and values side by side.
class RowStatement {
  public:
    void put(const QString &column, const QVariant &value) {
        m_columns << column;
        m_values << value;
    }
    void putTexts(const PackedValues &values, const QList<Column> &columns) {
        const QStringList texts = values.texts();
        for (int i = 0; i < columns.size(); ++i)
            put(columns[i].name, texts.value(i).isEmpty() ? QVariant() : QVariant(texts[i]));
    }
    /// The INSERT of this row's columns (the same for every row of the same columns).
    QByteArray insertSql(const char *table) const {
        const QString markers = QStringLiteral("?, ").repeated(m_columns.size()).chopped(2);
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(QString::fromLatin1(table), m_columns.join(QStringLiteral(", ")), markers)
            .toLatin1();
    }
    const QVariantList &values() const { return m_values; }
    qsizetype size() const { return m_columns.size(); }
    /// Takes over the placeholder `id`, and only while it still is one.
    db::DbConnection::Statement takeOverPlaceholder(int id) const {
        return {QStringLiteral("UPDATE KONTAKT SET %1 = ? WHERE ID = ? AND KRAJ = '%2'")
                    .arg(m_columns.join(QStringLiteral(" = ?, ")), kPlaceholderRegion)
                    .toLatin1(),
                m_values + QVariantList{id}};
    }

  private:
    QStringList m_columns;
    QVariantList m_values;
};

RowStatement contactRow(const PlannedContact &c, int companyId) {
    RowStatement row;
    row.put(QStringLiteral("ID_FIRMA"), companyId);
    row.put(QStringLiteral("ID_POBOCKA"), 0);
    row.putTexts(c.contact, contactColumns());
    row.put(QStringLiteral("KRAJ"), kContactRegion);
    row.put(QStringLiteral("OBR"), c.photo.isEmpty() ? QVariant() : QVariant(c.photo));
    return row;
}

RowStatement placeholderRow(int companyId) {
    RowStatement row;
    row.put(QStringLiteral("ID_FIRMA"), companyId);
    row.put(QStringLiteral("ID_POBOCKA"), 0);
    row.put(QStringLiteral("KRAJ"), kPlaceholderRegion);
    return row;
}

/// Statements and reads inside the import's transaction.
class ImportTransaction {
  public:
    ImportTransaction(db::DbConnection &db, db::WriteTransaction &transaction)
        : m_db(db), m_tr(transaction) {}

    /// Rows the statement touched. Each text is prepared once: an import
    /// runs the same INSERT for every row.
    qint64 run(const db::DbConnection::Statement &s) {
        std::unique_ptr<db::FbStatement> &statement = m_prepared[s.sql];
        if (!statement) {
            statement = std::make_unique<db::FbStatement>(m_db, m_tr.handle());
            statement->prepare(s.sql);
        }
        statement->bind(s.params);
        statement->execute();
        return statement->affectedRows();
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

    QHash<QByteArray, QByteArray> sqlOf; // table and column count → INSERT: built once, not per row
    auto insert = [&](RowStatement &&row, const char *table, int &next) {
        row.put(QStringLiteral("ID"), next);
        QByteArray &sql = sqlOf[table + QByteArray::number(row.size())];
        if (sql.isEmpty())
            sql = row.insertSql(table);
        tr.run({sql, row.values()});
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
        RowStatement row;
        row.putTexts(plan.companies[i].values, companyColumns());
        companyIds.insert(i, insert(std::move(row), "FIRMA", nextCompany));
        if (++result.companies % 100 == 0) // a register's worth of companies takes seconds
            tell();
    }
    QSet<int> companiesWithContacts;
    for (const PlannedContact &c : plan.contacts) {
        if (!c.selected)
            continue;
        RowStatement row = contactRow(c, companyIds.value(c.company));
        const int placeholder = placeholders.take(c.company);
        if (!placeholder || tr.run(row.takeOverPlaceholder(placeholder)) != 1)
            insert(std::move(row), "KONTAKT", nextContact);
        companiesWithContacts << c.company;
        if (++result.contacts % 100 == 0)
            tell();
    }
    for (int i : plan.companiesToCreate())
        if (!companiesWithContacts.contains(i)) // shows on the board through its placeholder
            insert(placeholderRow(companyIds.value(i)), "KONTAKT", nextContact);
}

} // namespace

ImportResult writeImport(db::DbConnection &db, const ImportPlan &plan, const Progress &progress,
                         int waitSeconds) {
    ImportResult result;
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
