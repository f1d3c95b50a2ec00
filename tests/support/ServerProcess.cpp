#include "support/ServerProcess.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace serverprocess {

int freeLoopbackPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

bool folderAndPort(const QTemporaryDir &dir, int &port, QString &error) {
    if (!dir.isValid()) {
        error = QStringLiteral("No temporary folder: ") + dir.errorString();
        return false;
    }
    port = freeLoopbackPort();
    if (port == 0) {
        error = QStringLiteral("No free loopback port");
        return false;
    }
    return true;
}

bool waitUntilListening(const QProcess &server, int port, int seconds) {
    for (int attempt = 0; attempt < seconds * 10; ++attempt) {
        if (server.state() == QProcess::NotRunning)
            return false;
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(port));
        if (socket.waitForConnected(100))
            return true;
        QThread::msleep(100);
    }
    return false;
}

void stop(QProcess &server, int milliseconds) {
    if (server.state() == QProcess::NotRunning)
        return;
    server.terminate();
    if (!server.waitForFinished(milliseconds)) {
        server.kill();
        server.waitForFinished();
    }
}

} // namespace serverprocess
