#pragma once

#include "db/DbConnection.h"
#include "db/DbError.h"
#include "initdb/DatabaseBuilder.h"

#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

/// Runs `statement` (one or more statements); when it throws db::DbError
/// the test fails with the database's message instead of aborting the run.
#ifndef QVERIFY_DB
#define QVERIFY_DB(statement)                                                                      \
    do {                                                                                           \
        try {                                                                                      \
            statement;                                                                             \
        } catch (const db::DbError &e) {                                                           \
            QFAIL(qPrintable(QStringLiteral("DbError: ") + e.message()));                          \
        }                                                                                          \
    } while (false)
#endif

/// Points `db` at the database file at `path` with the program's user; the
/// first statement attaches.
void configureConnection(db::DbConnection &db, const QString &path);
/// The first column (an integer) of every row of `sql`, read from the file at
/// `path` through a connection of its own. Throws db::DbError.
QList<qint64> readNumbers(const QString &path, const QByteArray &sql);

/// A fresh database file made by the same code as kontakty-initdb, in a
/// temporary base directory that is removed with the object. The file lies
/// where the program looks for it: <baseDir>/Tabulky/KONTAKTY.GDB.
///
/// The helpers read and write through a connection of their own, which they
/// open when needed. The embedded engine lets one process at a time open a
/// file, so call disconnect() before another process (the program or the
/// tool under test) uses it.
class TestDatabase {
  public:
    /// Builds the file; forced writes are always off (throw-away data).
    /// Throws db::DbError when the database cannot be made.
    explicit TestDatabase(initdb::BuildOptions options = {});
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    QString baseDir() const { return m_dir.path(); }
    QString path() const { return m_path; }
    /// The helpers' own connection (owned by this object).
    db::DbConnection &connection() { return m_db; }

    /// Runs one statement in its own committed transaction. Throws db::DbError.
    void exec(const QString &sql, const QVariantList &params = {});
    /// The first column of the first row, or an invalid QVariant when there
    /// is no row or the value is NULL. Integers come as qint64, text and
    /// text BLOBs as QString, byte BLOBs as QByteArray. Throws db::DbError.
    QVariant scalar(const QString &sql, const QVariantList &params = {});
    /// Every row of the result, converted as by scalar(). Throws db::DbError.
    QList<QVariantList> rows(const QString &sql, const QVariantList &params = {});
    /// Number of rows of `table` that meet `where` (all rows when empty).
    int count(const QString &table, const QString &where = {});
    /// Closes the helpers' connection; the next helper call opens it again.
    void disconnect();

  private:
    QList<QVariantList> select(const QString &sql, const QVariantList &params, int maxRows);

    QTemporaryDir m_dir;
    QString m_path;
    db::DbConnection m_db;
};
