#pragma once

#include "io/ContactFiles.h"
#include "io/ContactStore.h"

#include <functional>
#include <optional>

class QWidget;
class TDM;

namespace dataset {
class Dataset;
} // namespace dataset

namespace app {

/// The questions export and import ask the user, as replaceable functions
/// so that tests answer them without a blocking dialog.
struct TransferDialogs {
    struct Target {
        QString fileName;
        io::FileFormat format;
    };
    /// The file to write and its format (nothing: cancelled).
    std::function<std::optional<Target>(QWidget *)> exportTarget;
    /// The file to read (empty: cancelled).
    std::function<QString(QWidget *)> importFile;
    /// Shows what the import would do; the plan with the user's ticks, or
    /// nothing when cancelled.
    std::function<std::optional<io::ImportPlan>(QWidget *, const io::ImportPlan &)> preview;

    /// The real dialogs.
    static TransferDialogs standard();
    /// The dialogs the commands use; standard() until replaced.
    static TransferDialogs &current();
};

/// The contacts and company lines the board shows now (fetches all its rows).
io::ExportScope boardScope(dataset::Dataset &board);

/// Asks for a file and writes the contacts of `scope` into it; tells the
/// user how many went. Database errors are thrown (db::DbError).
void exportContacts(TDM &dm, QWidget *parent, const io::ExportScope &scope);

/// Asks for a file, shows the preview and writes what the user accepts in
/// one transaction; the board is read again. A damaged file is reported
/// and nothing is written. Database errors are thrown (db::DbError).
void importContacts(TDM &dm, QWidget *parent);

} // namespace app
