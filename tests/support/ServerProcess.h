#pragma once

#include <QProcess>
#include <QTemporaryDir>

/// What the tests' private servers share: a free loopback port, waiting
/// until the server takes connections on it, and ending it.
namespace serverprocess {

/// A loopback port nobody listens on right now; 0 when none is found.
int freeLoopbackPort();
/// A server's start: its temporary folder made and a free port found,
/// into `port`; false with `error` set when either is missing.
bool folderAndPort(const QTemporaryDir &dir, int &port, QString &error);
/// Waits up to `seconds` until `server` takes connections on `port`; false
/// when it ended or did not within the time.
bool waitUntilListening(const QProcess &server, int port, int seconds);
/// Ends `server`: SIGTERM, then SIGKILL after `milliseconds`.
void stop(QProcess &server, int milliseconds);

} // namespace serverprocess
