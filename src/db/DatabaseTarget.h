#pragma once

#include <QString>

namespace db {

/// Fixed connection settings of the program's database.
namespace settings {
inline const QString kProtocol = QStringLiteral("firebird-2.0");
inline const QString kUser = QStringLiteral("sysdba");
inline const QString kPassword = QStringLiteral("tallowfin");
/// The database file under a base directory: "<base>/Tabulky/KONTAKTY.GDB".
QString databasePath(const QString &baseDirectory);
} // namespace settings

/// A user and password for a server; empty for the program's own login.
struct ServerLogin {
    QString user;
    QString password;
};

/// The database the program works with and the login it uses.
struct DatabaseAccess {
    /// A file path (the embedded engine) or a connection string of a server;
    /// empty for the file under the base directory.
    QString database;
    QString user;
    QString password;

    /// The file under `baseDirectory` with the program's own login.
    static DatabaseAccess defaultFor(const QString &baseDirectory);
    /// `database` with the program's own login (an embedded file checks none).
    static DatabaseAccess embedded(const QString &database);
    /// `database` with the login it needs at first: the program's own for a
    /// file, ISC_USER and ISC_PASSWORD (as Firebird's own tools) for a server.
    static DatabaseAccess forTarget(const QString &database);
};

namespace target {

/// Whether `target` names a database on a server rather than a file:
/// "host:/path/file.fdb", "host/port:alias", "[::1]:alias", "inet://host/path"
/// and the other protocol prefixes. A path holding a colon further on
/// ("/data/a:b.fdb", "./a:b.fdb") is a file.
bool isServer(const QString &target);

/// A server's connection string in its two parts: the server (with its
/// port, as written) and the database on it (a path or an alias).
struct ServerParts {
    QString server;
    QString database;
};
ServerParts split(const QString &target);

/// A file path made absolute against the current directory (the program
/// changes its directory later); a connection string unchanged.
QString normalized(const QString &target);

} // namespace target

} // namespace db
