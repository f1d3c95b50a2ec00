#pragma once

#include "sync/SyncEngine.h"

#include <QDialog>

#include <optional>

class QPlainTextEdit;

namespace app {

/// A contact (or a company's organisation card) changed both here and on
/// the server: both versions side by side, and the user keeps one of them
/// or both. Closing it decides nothing (the conflict waits, neither side is
/// written).
class SyncConflictDialog : public QDialog {
    Q_OBJECT
  public:
    SyncConflictDialog(const cardsync::ConflictVersions &versions, QWidget *parent = nullptr);
    std::optional<cardsync::Choice> choice() const { return m_choice; }

    QPlainTextEdit *hereView() const { return m_here; }
    QPlainTextEdit *thereView() const { return m_there; }

  private:
    QPlainTextEdit *m_here;
    QPlainTextEdit *m_there;
    std::optional<cardsync::Choice> m_choice;
};

/// A contact (or a company-only entry) as lines "Caption: value", company
/// first, for reading side by side.
QString describeContact(const io::Entry &entry);

} // namespace app
