#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QString>
#include <QTcpServer>

#include <memory>

class QTcpSocket;

/// A small HTTP/1.1 server on 127.0.0.1 in the test's own event loop,
/// serving the answers the test recorded for each path: a status and a
/// body, a connection dropped once the request is in, or no answer at all
/// (a server that hangs). Unknown paths get 404. Over TLS when given a
/// certificate, to see what a client makes of it.
///
///     LocalHttpServer server;
///     QVERIFY(server.listen());
///     server.answer("/x", {200, R"({"a": 1})"});
///     get(server.baseUrl() + "/x");
class LocalHttpServer : public QObject {
    Q_OBJECT
  public:
    enum class Way { Answer, Drop, Hang };
    struct Answer {
        int status = 200;
        QByteArray body;
        Way way = Way::Answer;
    };

    /// Listens on a free loopback port, over TLS with `tls`'s certificate
    /// and key when given; false when it cannot.
    bool listen(const QSslConfiguration &tls = {});
    QString baseUrl() const;
    void answer(const QString &path, const Answer &answer) { m_answers.insert(path, answer); }
    /// The paths asked so far, in order.
    const QList<QString> &requests() const { return m_requests; }

  private:
    void onConnection();
    void onData(QTcpSocket *socket);

    std::unique_ptr<QTcpServer> m_server;
    QString m_scheme;
    QHash<QString, Answer> m_answers;
    QList<QString> m_requests;
};
