#pragma once

#include <QString>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace report {

/// The questions the preview window asks the user, as replaceable functions, so that
/// tests can answer them without a blocking dialog. standard() gives the real dialogs.
struct PreviewDialogs {
    struct Search {
        QString text;
        bool matchCase = false;
    };

    /// A file name to write (empty: cancelled). Arguments: parent, caption, filter.
    std::function<QString(QWidget *, const QString &, const QString &)> saveFileName;
    /// A file name to read (empty: cancelled). Arguments: parent, caption, filter.
    std::function<QString(QWidget *, const QString &, const QString &)> openFileName;
    /// Shows an error message.
    std::function<void(QWidget *, const QString &)> error;
    /// A page number between 1 and `last` (nothing: cancelled). Arguments: parent,
    /// current, last.
    std::function<std::optional<int>(QWidget *, int, int)> pageNumber;
    /// The text to search for (nothing: cancelled); offers the previous search.
    std::function<std::optional<Search>(QWidget *, const Search &)> searchText;
    /// Lets the user set up `printer` (not owned); false when cancelled.
    std::function<bool(QWidget *, QPrinter &, int pageCount)> printerSetup;

    /// The real dialogs of the platform.
    static PreviewDialogs standard();

    /// The dialogs new preview windows use; standard() until replaced.
    static PreviewDialogs &current();
};

} // namespace report
