#pragma once

#include "data/BoardSnapshot.h"
#include "db/WorkerConnection.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <mutex>

namespace data {

/// Reads a whole board snapshot on two threads, each through an attachment
/// of its own, while the window goes on answering the user.
class BoardLoader : public QObject {
    Q_OBJECT
  public:
    explicit BoardLoader(QObject *parent = nullptr);
    ~BoardLoader() override;

    /// Stops a read in progress, then reads the board of the database
    /// `like` is connected to (with its login), and makes what `search`
    /// looks in; `like` takes the stamp the snapshot is checked against
    /// later. Throws DbError.
    void start(db::DbConnection &like, const QByteArray &boardStatement,
               const BoardSearch &search = {});
    /// The search the user has now: what it looks in is made for the read
    /// in progress before it is handed over, rather than on the window's
    /// thread afterwards.
    void setSearch(const BoardSearch &search);
    /// Stops a read in progress and forgets it; returns once the thread ended.
    void cancel();
    /// Waits until the read in progress ended.
    void wait();
    /// True from start() until the snapshot is taken or the read cancelled.
    bool isRunning() const { return m_progress != nullptr; }
    /// Contacts read so far by the read in progress.
    int contactsRead() const { return m_progress ? m_progress->contacts.load() : 0; }

    /// The snapshot read, once finished() came (an empty one after a
    /// failure); ends the read.
    BoardSnapshot take();
    /// Why the last read failed; empty when it did not.
    QString error() const;

  signals:
    /// The read ended, read or failed; delivered in the loader's own thread.
    void finished();

  private:
    std::array<db::WorkerConnection, BoardSnapshot::SharedRead::kShares> m_workers;
    int m_generation = 0; // of the read started last; an earlier one's end is ignored
    std::shared_ptr<BoardSnapshot::ReadProgress> m_progress;
    mutable std::mutex m_mutex; // guards what the threads hand over
    BoardSnapshot m_result;
    BoardSearch m_search; // under m_mutex
    QString m_error;
};

} // namespace data
