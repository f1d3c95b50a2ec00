#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace app {

namespace {

constexpr int kAnswerMilliseconds = 2000;
const QByteArray kComeForward = QByteArrayLiteral("vpred\n");

} // namespace

SingleInstance::SingleInstance(const QString &databaseFile, QObject *parent)
    : QObject(parent), m_name(socketName(databaseFile)) {
}

QString SingleInstance::socketName(const QString &databaseFile) {
    // The same file reached through a link or a relative path is the same
    // file; a hash keeps the name within the socket path's length limit.
    const QFileInfo info(databaseFile);
    const QString canonical =
        info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("vizitar-%1-%2")
        .arg(qEnvironmentVariable("USER"), QString::fromLatin1(hash));
}

bool SingleInstance::bringRunningForward() {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kAnswerMilliseconds))
        return false;
    socket.write(kComeForward);
    socket.waitForBytesWritten(kAnswerMilliseconds);
    // The running program answers once it has taken the request.
    return socket.waitForReadyRead(kAnswerMilliseconds) && socket.readAll() == kComeForward;
}

bool SingleInstance::listen(std::function<void()> comeForward) {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A socket left behind by a program that did not end cleanly.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this, comeForward] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [socket, comeForward] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == kComeForward) {
                    socket->write(kComeForward);
                    comeForward();
                }
            });
        }
    });
    return true;
}

} // namespace app
