#include "support/LocalHttpServer.h"

#include <QSslServer>
#include <QTcpSocket>

bool LocalHttpServer::listen(const QSslConfiguration &tls) {
    if (tls.localCertificate().isNull()) {
        m_server = std::make_unique<QTcpServer>();
        m_scheme = QStringLiteral("http");
    } else {
        auto server = std::make_unique<QSslServer>();
        server->setSslConfiguration(tls);
        m_server = std::move(server);
        m_scheme = QStringLiteral("https");
    }
    // Over TLS a connection is pending once its handshake is done.
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this,
            &LocalHttpServer::onConnection);
    return m_server->listen(QHostAddress::LocalHost);
}

QString LocalHttpServer::baseUrl() const {
    return QStringLiteral("%1://127.0.0.1:%2").arg(m_scheme).arg(m_server->serverPort());
}

void LocalHttpServer::onConnection() {
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LocalHttpServer::onData(QTcpSocket *socket) {
    // A GET has no body: the request is in once its head has ended.
    const QByteArray seen = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", seen);
    if (!seen.contains("\r\n\r\n"))
        return;
    const QString path = QString::fromLatin1(seen.split(' ').value(1));
    m_requests.append(path);
    const Answer answer = m_answers.value(path, Answer{404, R"({"kod": "NENALEZENO"})"});
    if (answer.way == Way::Hang)
        return;
    if (answer.way == Way::Drop) {
        socket->abort();
        return;
    }
    const QByteArray reason = answer.status == 200 ? "OK" : "Status";
    socket->write("HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reason +
                  "\r\nContent-Type: application/json; charset=utf-8\r\nContent-Length: " +
                  QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n\r\n" +
                  answer.body);
    socket->disconnectFromHost();
}
