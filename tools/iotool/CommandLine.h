#pragma once

#include "io/ContactFiles.h"

#include <QStringList>

namespace iotool {

/// What the command line of kontakty-io asks for.
struct CommandLine {
    enum class Action { Export, Import, Sync, ShowHelp, UsageError };
    Action action = Action::UsageError;
    QString host;     ///< empty: the embedded engine on a file
    QString database; ///< file path (on the server for a host)
    QString file;     ///< "-": standard output or input
    io::FileFormat format = io::FileFormat::VCard4;
    QString company;        ///< export: only this company's contacts
    QList<int> companies;   ///< sync: only these companies (IDs); empty: as the account says
    bool write = false;     ///< import: --yes
    QString url;            ///< sync: the address book or server; empty: the program's account
    QString user;           ///< sync: empty: the program's account
    QByteArray certificate; ///< sync: SHA-256 of a certificate to accept (hex)
    QString keep;           ///< sync: "here", "server" or "both" ends the conflict of `contactId`
    int contactId = 0;
    int companyId = 0; ///< sync: or of this company's organisation card
    QString text;      ///< the help text, or what is wrong with the arguments
};

/// Reads `arguments` (the program name first). Never throws.
CommandLine parseCommandLine(const QStringList &arguments);

} // namespace iotool
