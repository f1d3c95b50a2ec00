#pragma once

namespace dataset {
class TableDataset;
} // namespace dataset

namespace forms {

class RecordFace;

/// The new, edit and confirm steps both record forms take alike. A form's
/// steps derive from it and supply what differs: how a new row starts, how
/// it is posted and what is shown of the row afterwards. Every step throws
/// db::DbError when the data layer refuses something. Holds references only.
class RecordSteps {
  public:
    virtual ~RecordSteps() = default;

    /// The new-record step, then the first tab and the focus into the box
    /// a new row starts with.
    void newButtonStep();
    /// Edits the current row, or starts a new one when there is none.
    void editStep();
    /// Hands over typed text and posts the row, then browse mode and the
    /// row shown; a row not accepted or a failed post leaves the form in
    /// edit mode.
    void confirmStep();

  protected:
    RecordSteps(RecordFace &face, dataset::TableDataset &table);

    /// A new row in insert state, and edit mode.
    virtual void newRecordStep() = 0;
    /// Asked once the typed text is in the row, before it is posted: false
    /// keeps the form in edit mode and posts nothing.
    virtual bool acceptRow() { return true; }
    /// Posts the row being edited or inserted.
    virtual void postRow() = 0;
    /// Shows what the row now current is (the title and the like).
    virtual void showCurrentRow() = 0;

  private:
    RecordFace &m_face;
    dataset::TableDataset &m_table;
};

} // namespace forms
