#pragma once

#include <QStringList>

namespace db {
class DbConnection;
} // namespace db

namespace data {

/// The indexes that only make reads fast (no constraint rests on them),
/// the celebrations' keys among them. An import into an empty register
/// makes them inactive while it writes and has the engine build them once
/// from the rows afterwards, which is much cheaper than keeping them up row
/// by row. Each change is a committed step
/// of its own (the engine makes structure changes at commit). An inactive
/// index costs readers speed, never a wrong answer; a file a killed import
/// left so gets them back at the next open (ensure).
namespace readindexes {

/// The statements that create them in a new database.
QStringList createStatements();
/// Activates whichever of them is inactive. Throws DbError when the
/// database refuses.
void ensure(db::DbConnection &connection);

/// Deactivates the indexes for one bulk write when the register is empty
/// and activates them again when it goes out of scope, however the write
/// ended. An activation the database refuses is left to the next open: the
/// rows are as the write left them either way.
class DeferredWhileEmpty {
  public:
    explicit DeferredWhileEmpty(db::DbConnection &connection);
    ~DeferredWhileEmpty();
    DeferredWhileEmpty(const DeferredWhileEmpty &) = delete;
    DeferredWhileEmpty &operator=(const DeferredWhileEmpty &) = delete;

  private:
    db::DbConnection &m_connection;
    QStringList m_inactive;
};

} // namespace readindexes
} // namespace data
