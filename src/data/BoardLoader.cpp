#include "data/BoardLoader.h"

#include <QMetaObject>

namespace data {

BoardLoader::BoardLoader(QObject *parent) : QObject(parent) {
}

BoardLoader::~BoardLoader() {
    cancel();
}

void BoardLoader::start(db::DbConnection &like, const QByteArray &boardStatement,
                        const BoardSearch &search) {
    cancel();
    {
        const std::lock_guard lock(m_mutex);
        m_result = {};
        m_error.clear();
        m_search = search;
    }
    // First what may throw, so that a failure leaves no read in progress.
    auto read = std::make_shared<BoardSnapshot::SharedRead>(like, boardStatement);
    const int generation = ++m_generation;
    auto progress = std::make_shared<BoardSnapshot::ReadProgress>();
    m_progress = progress;
    // The shares still reading; the last to end joins them.
    auto reading = std::make_shared<std::atomic<int>>(BoardSnapshot::SharedRead::kShares);
    auto failure = std::make_shared<QString>(); // the first share's error, under m_mutex
    for (int share = 0; share < BoardSnapshot::SharedRead::kShares; ++share) {
        m_workers[size_t(share)].start(
            like.login(),
            [read, progress, share](db::DbConnection &connection) {
                read->read(share, connection, progress.get());
            },
            [this, read, progress, reading, failure, generation](const QString &error) {
                if (!error.isEmpty()) {
                    const std::lock_guard lock(m_mutex);
                    if (failure->isEmpty())
                        *failure = error;
                    progress->stop = true; // the other share need not go on
                }
                if (--*reading > 0)
                    return;
                if (failure->isEmpty() && progress->stop)
                    return; // cancelled
                BoardSnapshot snapshot = failure->isEmpty() ? read->join() : BoardSnapshot();
                BoardSearch wanted;
                {
                    const std::lock_guard lock(m_mutex);
                    wanted = m_search;
                }
                snapshot.preparation(wanted)();
                {
                    const std::lock_guard lock(m_mutex);
                    m_result = std::move(snapshot);
                    m_error = *failure;
                }
                QMetaObject::invokeMethod(
                    this,
                    [this, generation] {
                        if (generation == m_generation && m_progress)
                            emit finished();
                    },
                    Qt::QueuedConnection);
            });
    }
}

void BoardLoader::setSearch(const BoardSearch &search) {
    const std::lock_guard lock(m_mutex);
    m_search = search;
}

void BoardLoader::cancel() {
    if (m_progress)
        m_progress->stop = true;
    for (db::WorkerConnection &worker : m_workers)
        worker.stop();
    m_progress.reset();
}

void BoardLoader::wait() {
    for (db::WorkerConnection &worker : m_workers)
        worker.wait();
}

BoardSnapshot BoardLoader::take() {
    wait();
    m_progress.reset(); // the end it reported is dealt with
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_result, {});
}

QString BoardLoader::error() const {
    const std::lock_guard lock(m_mutex);
    return m_error;
}

} // namespace data
