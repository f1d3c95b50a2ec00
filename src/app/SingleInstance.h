#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace app {

/// One program per embedded database file: the engine lets one process hold
/// the file, so a second start on the same file asks the running program to
/// come forward instead. The two meet at a local socket named after the
/// file's canonical path.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(const QString &databaseFile, QObject *parent = nullptr);

    /// Asks a program already running on the file to come forward; true
    /// when one answered (this one should then end).
    bool bringRunningForward();
    /// Waits for later starts on the file and calls `comeForward` for each.
    /// False when the socket cannot be made (the program runs on without it).
    bool listen(std::function<void()> comeForward);

    /// The socket's name for `databaseFile`.
    static QString socketName(const QString &databaseFile);

  private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};

} // namespace app
