#pragma once

#include "DatabaseBuilder.h"
#include "DbError.h"
#include "U_DM.h"
#include "Win1250.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

/// Fails the test with the data layer's message when `expr` throws.
#define QVERIFY_DB(expr)                                                                           \
    do {                                                                                           \
        try {                                                                                      \
            expr;                                                                                  \
        } catch (const data::DbError &e) {                                                         \
            QFAIL(qPrintable(QStringLiteral("DbError: ") + e.message()));                          \
        }                                                                                          \
    } while (false)

/// Expects `expr` to throw a DbError with exactly `text`.
#define QCOMPARE_DB_ERROR(expr, text)                                                              \
    do {                                                                                           \
        QString caught_;                                                                           \
        try {                                                                                      \
            expr;                                                                                  \
        } catch (const data::DbError &e) {                                                         \
            caught_ = e.message();                                                                 \
        }                                                                                          \
        QCOMPARE(caught_, QString(text));                                                          \
    } while (false)

/// A fresh database in a temporary base directory with the data module open on it.
class DataFixture {
public:
    explicit DataFixture(initdb::BuildOptions options = {}) {
        options.forcedWrites = false;
        QDir(dir.path()).mkpath(QStringLiteral("Tabulky"));
        initdb::buildDatabase(path(), options);
        dm = std::make_unique<TDM>();
    }
    QString base() const { return dir.path(); }
    QString path() const { return dbsettings::databasePath(dir.path()); }
    void openAll() {
        dm->ConnectAndOpenAll(path(), QString(), dbsettings::kPassword, dbsettings::kProtocol, dbsettings::kUser);
    }
    /// Runs a statement in its own committed transaction on the module's connection.
    void exec(const QString &sql, const QVariantList &params = {}) {
        if (!dm->ZConKontakty.isConnected()) {
            dm->ZConKontakty.setDatabase(path());
            dm->ZConKontakty.setConnected(true);
        }
        QByteArray bytes;
        data::win1250::encode(sql, bytes);
        dm->ZConKontakty.executeCommitted(bytes, params);
    }
    /// The first column of the first row of `sql`, read through a fresh query.
    QVariant scalar(const QString &sql) {
        data::QueryDataset q(QStringLiteral("qTest"), &dm->ZConKontakty);
        q.setSql(sql);
        q.open();
        return q.valueAt(0, 0);
    }

    QTemporaryDir dir;
    std::unique_ptr<TDM> dm;
};
