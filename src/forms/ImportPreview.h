#pragma once

#include "io/ImportPlan.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QPushButton;
class QPlainTextEdit;
class QTreeView;

namespace forms {

class ImportPreviewModel;

/// Shows what an import would create before anything is written: each
/// contact with the company it goes to (existing or new), the contacts that
/// look like ones already present (unticked, the user may tick them) and
/// the records refused with their fields. Accepting keeps the ticks.
class ImportPreview : public QDialog {
    Q_OBJECT
  public:
    explicit ImportPreview(const io::ImportPlan &plan, QWidget *parent = nullptr);
    ~ImportPreview() override;

    /// The plan with the contacts ticked now.
    io::ImportPlan plan() const;

    QTreeView *twKontakty = nullptr; ///< over model(): only the rows on screen are made
    QLabel *lbSouhrn = nullptr;
    QPlainTextEdit *memoOdmitnute = nullptr;
    QDialogButtonBox *buttons = nullptr;
    QPushButton *pbImportovat = nullptr;

    ImportPreviewModel *model() const { return m_model; }

  private:
    void updateSummary();

    io::ImportPlan m_plan;
    ImportPreviewModel *m_model = nullptr;
};

} // namespace forms
