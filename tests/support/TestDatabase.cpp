#include "support/TestDatabase.h"

#include "base/Win1250.h"
#include "db/FbStatement.h"

#include <QDir>

#include <bit>

namespace {

QByteArray sqlBytes(const QString &sql) {
    QByteArray bytes;
    QChar bad;
    if (!base::win1250::encode(sql, bytes, &bad))
        throw db::DbError(
            QStringLiteral("The character '%1' cannot be sent to the database").arg(bad));
    return bytes;
}

} // namespace

void configureConnection(db::DbConnection &db, const QString &path) {
    db.setDatabase(path);
    db.setUser(QStringLiteral("sysdba"));
    db.setPassword(QStringLiteral("tallowfin"));
}

QList<qint64> readNumbers(const QString &path, const QByteArray &sql) {
    db::DbConnection db;
    configureConnection(db, path);
    const auto cursor = db.openCursor(sql, {});
    QList<qint64> values;
    for (db::PackedRow row; cursor->fetch(row);)
        values << row.cell(0).num;
    return values;
}

TestDatabase::TestDatabase(initdb::BuildOptions options) {
    if (!m_dir.isValid())
        throw db::DbError(QStringLiteral("Cannot make a temporary folder: ") + m_dir.errorString());
    const QDir base(m_dir.path());
    base.mkpath(QStringLiteral("Tabulky"));
    m_path = base.filePath(QStringLiteral("Tabulky/KONTAKTY.GDB"));
    options.forcedWrites = false;
    initdb::buildDatabase(m_path, options);
    configureConnection(m_db, m_path);
}

TestDatabase::~TestDatabase() {
    disconnect();
}

void TestDatabase::exec(const QString &sql, const QVariantList &params) {
    m_db.executeCommitted(sqlBytes(sql), params);
}

QVariant TestDatabase::scalar(const QString &sql, const QVariantList &params) {
    const QList<QVariantList> found = select(sql, params, 1);
    return found.isEmpty() ? QVariant() : found.first().value(0);
}

QList<QVariantList> TestDatabase::rows(const QString &sql, const QVariantList &params) {
    return select(sql, params, -1);
}

int TestDatabase::count(const QString &table, const QString &where) {
    QString sql = QStringLiteral("SELECT COUNT(*) FROM ") + table;
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    return scalar(sql).toInt();
}

void TestDatabase::disconnect() {
    try {
        m_db.setConnected(false);
    } catch (const db::DbError &) {
        // Detaching only fails when the engine is gone; nothing to keep.
    }
}

QList<QVariantList> TestDatabase::select(const QString &sql, const QVariantList &params,
                                         int maxRows) {
    const auto statement = m_db.openCursor(sqlBytes(sql), params);
    const auto &columns = statement->columns();
    QList<QVariantList> result;
    db::PackedRow row;
    while ((maxRows < 0 || result.size() < maxRows) && statement->fetch(row)) {
        QVariantList values;
        for (int i = 0; i < int(columns.size()); ++i) {
            const db::Cell c = row.cell(i);
            switch (c.tag) {
            case db::Cell::Null:
                values << QVariant();
                break;
            case db::Cell::Int:
                values << QVariant(c.num);
                break;
            case db::Cell::Double:
                values << QVariant(std::bit_cast<double>(c.num));
                break;
            case db::Cell::DateTime:
                values << QVariant(db::msecsToDateTime(c.num));
                break;
            case db::Cell::Text:
                values << QVariant(base::win1250::decode(c.bytes));
                break;
            case db::Cell::Bytes:
                values << QVariant(c.bytes);
                break;
            case db::Cell::BlobId: {
                const QByteArray bytes = m_db.readBlob(c.num);
                values << (columns[size_t(i)].type == db::FieldType::Memo
                               ? QVariant(base::win1250::decode(bytes))
                               : QVariant(bytes));
                break;
            }
            }
        }
        result << values;
    }
    return result;
}
