#pragma once

#include "db/DbConnection.h"
#include "support/ChildProcess.h"

#include <QStringList>

#include <memory>

/// The real program run by program_driver, remote-controlled from a test
/// through its command channel (see program_driver.cpp for the commands).
/// It runs on `database` (--database); its settings, data and keyring
/// folders live under `home`. It sees no login in its environment and no
/// desktop session bus unless the test gives it one.
class DrivenProgram {
  public:
    DrivenProgram(const QString &home, const QString &database);

    void setEnv(const QString &name, const QString &value) { m_process.setEnv(name, value); }
    bool start() { return m_process.start(); }
    /// Ends the program: SIGTERM, then SIGKILL when it does not end; true
    /// when SIGTERM ended it.
    bool end();

    /// Sends `command` and returns the program's answer ("ok ...",
    /// "error ..."), or why there was none.
    QString ask(const QString &command);
    /// Asks `command` until the answer is `expected` (windows open and
    /// close on the program's own time); returns the last answer.
    QString await(const QString &command, const QString &expected);
    /// The JSON list the answer to `command` carries ("rows", "shown", ...).
    QStringList list(const QString &command);

    /// The program's settings file.
    QString settingsFile() const;

  private:
    QString m_home;
    ChildProcess m_process;
};

class TestServer;

/// Makes an empty database `fileName` on `server` for the programs to share
/// and returns the test's own connection to it. Throws db::DbError.
std::unique_ptr<db::DbConnection> createServerDatabase(const TestServer &server,
                                                       const QString &fileName);

/// Checks that `program` comes to show the window named `name` on top.
#define EXPECT_WINDOW(program, name)                                                               \
    QCOMPARE((program).await(QStringLiteral("window"), QStringLiteral("ok " name)),                \
             QStringLiteral("ok " name))

/// Runs an action command of `program` and checks that it was taken.
#define ACT(program, command) QCOMPARE((program).ask(command), QStringLiteral("ok"))
