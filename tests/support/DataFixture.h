#pragma once

#include "base/Win1250.h"
#include "data/U_DM.h"
#include "db/DatabaseTarget.h"
#include "support/TestDatabase.h"

#include <QTest>

#include <memory>

/// Expects `expr` to throw a DbError with exactly `text`.
#define QCOMPARE_DB_ERROR(expr, text)                                                              \
    do {                                                                                           \
        QString caught_;                                                                           \
        try {                                                                                      \
            expr;                                                                                  \
        } catch (const db::DbError &e) {                                                           \
            caught_ = e.message();                                                                 \
        }                                                                                          \
        QCOMPARE(caught_, QString(text));                                                          \
    } while (false)

/// A fresh database in a temporary base directory and a data module on it.
/// exec() and scalar() work through the test database's own connection;
/// the module sees what they commit.
class DataFixture : public TestDatabase {
  public:
    explicit DataFixture(initdb::BuildOptions options = {})
        : TestDatabase(options), dm(std::make_unique<TDM>()) {}
    QString base() const { return baseDir(); }
    void openAll() {
        dm->ConnectAndOpenAll(path(), QString(), db::settings::kPassword, db::settings::kProtocol,
                              db::settings::kUser);
    }

    std::unique_ptr<TDM> dm;
};
