#include "data/BoardLoader.h"

#include "db/DbConnection.h"
#include "db/DbError.h"

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
    m_progress = std::make_shared<BoardSnapshot::ReadProgress>();
    m_thread = std::thread(&BoardLoader::run, this, ++m_generation, m_progress, like.login(),
                           boardStatement);
}

void BoardLoader::cancel() {
    if (m_progress)
        m_progress->stop = true;
    wait();
    m_progress.reset();
}

void BoardLoader::wait() {
    if (m_thread.joinable())
        m_thread.join();
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

void BoardLoader::run(int generation, std::shared_ptr<BoardSnapshot::ReadProgress> progress,
                      db::DbConnection::Login login, QByteArray statement) {
    BoardSnapshot snapshot;
    QString error;
    bool read = false;
    try {
        db::DbConnection connection;
        connection.setLogin(login);
        connection.setConnected(true);
        read = snapshot.read(connection, statement, progress.get());
    } catch (const db::DbError &e) {
        error = e.message();
    } catch (const std::exception &e) {
        error = QString::fromLocal8Bit(e.what());
    }
    if (progress->stop)
        return; // cancelled: whoever stopped it wants nothing of it
    {
        const std::lock_guard lock(m_mutex);
        m_result = std::move(snapshot);
        m_error = error;
    }
    if (!read && error.isEmpty())
        return;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == m_generation && m_progress) {
                wait();
                emit finished();
            }
        },
        Qt::QueuedConnection);
}

} // namespace data
