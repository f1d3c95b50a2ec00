#pragma once

#include <QProcess>

/// What the tests' private servers share: a free loopback port, waiting
/// until the server takes connections on it, and ending it.
namespace serverprocess {

/// A loopback port nobody listens on right now; 0 when none is found.
int freeLoopbackPort();
/// Waits up to `seconds` until `server` takes connections on `port`; false
/// when it ended or did not within the time.
bool waitUntilListening(const QProcess &server, int port, int seconds);
/// Ends `server`: SIGTERM, then SIGKILL after `milliseconds`.
void stop(QProcess &server, int milliseconds);

} // namespace serverprocess
