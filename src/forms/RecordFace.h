#pragma once

#include <QString>

namespace forms {

/// What the protocol steps of a record form need of its window: the ID box,
/// the title, the mode, the first tab, the delete question and the focus.
/// The form implements it over its controls; the steps see nothing else of
/// the form, so they also run without one.
class RecordFace {
  public:
    virtual ~RecordFace() = default;

    /// What the ID box shows: empty when the table has no current row.
    virtual QString shownId() const = 0;
    virtual void showTitle(const QString &title) = 0;
    /// Hands the text typed into the bound boxes over to the row. Throws
    /// db::DbError for a text the row refuses.
    virtual void handOverTypedText() = 0;
    virtual void enterEditMode() = 0;
    virtual void enterBrowseMode() = 0;
    virtual bool isBrowseMode() const = 0;
    /// Makes the first tab active.
    virtual void firstTabStep() = 0;
    /// Asks whether the current row is to be deleted; true only for Yes.
    virtual bool confirmDelete() = 0;
    /// Puts the focus into the box a new row starts with.
    virtual void focusFirstBox() = 0;
};

} // namespace forms
