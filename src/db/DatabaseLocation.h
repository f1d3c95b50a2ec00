#pragma once

#include <QString>

#include <functional>

namespace db {

/// Which database the program opens and which folder it works in (the
/// folder becomes the current directory; the upgrade's "logo.jpg" lies in
/// it). The first that applies wins:
/// 1. a database the user chose (a file path or a connection string); the
///    program's own folder stays the base directory;
/// 2. a folder "Tabulky" beside the executable that the user may write to:
///    a portable copy or the build tree, "Tabulky/KONTAKTY.GDB" there;
/// 3. the user's data folder (an installed program, or a "Tabulky" beside it
///    that is read-only): "Tabulky/KONTAKTY.GDB" there, made on first start.
struct DatabaseLocation {
    enum class Kind { Chosen, Portable, UserData };

    Kind kind = Kind::Portable;
    QString baseDirectory;
    QString database;

    using FolderCheck = std::function<bool(const QString &folder)>;

    /// Decides by the order above. `chosen` may be empty; `isWritable`
    /// answers for the folder "Tabulky" beside the program (when it exists).
    static DatabaseLocation choose(const QString &chosen, const QString &programDirectory,
                                   const QString &userDataDirectory,
                                   const FolderCheck &isWritable = isWritableFolder);
    /// The choice for this process: the executable's folder and the
    /// application's data folder (the application and organisation names
    /// must be set).
    static DatabaseLocation forThisProgram(const QString &chosen = {});

    /// Whether the user may make and change files in `folder`. The
    /// superuser passes every permission check, so for it a folder without
    /// any write permission (as a package or an administrator leaves it)
    /// counts as read-only too.
    static bool isWritableFolder(const QString &folder);
};

} // namespace db
