#include "data/BoardLoader.h"

#include <QMetaObject>

namespace data {

BoardLoader::BoardLoader(QObject *parent) : QObject(parent) {
}

BoardLoader::~BoardLoader() {
    cancel();
}

void BoardLoader::start(const db::DbConnection &like, const QByteArray &boardStatement) {
    cancel();
    {
        const std::lock_guard lock(m_mutex);
        m_result = {};
        m_error.clear();
    }
    const int generation = ++m_generation;
    auto progress = std::make_shared<BoardSnapshot::ReadProgress>();
    m_progress = progress;
    auto snapshot = std::make_shared<BoardSnapshot>();
    m_worker.start(
        like.login(),
        [snapshot, progress, boardStatement](db::DbConnection &connection) {
            snapshot->read(connection, boardStatement, progress.get());
        },
        [this, snapshot, progress, generation](const QString &error) {
            if (progress->stop)
                return;
            {
                const std::lock_guard lock(m_mutex);
                m_result = std::move(*snapshot);
                m_error = error;
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

void BoardLoader::cancel() {
    if (m_progress)
        m_progress->stop = true;
    m_worker.stop();
    m_progress.reset();
}

BoardSnapshot BoardLoader::take() {
    m_worker.wait();
    m_progress.reset(); // the end it reported is dealt with
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_result, {});
}

QString BoardLoader::error() const {
    const std::lock_guard lock(m_mutex);
    return m_error;
}

} // namespace data
