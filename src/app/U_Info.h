#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TDM;
class Tfm_Deska;

/// The About window: product name, the maker, and the program's version with
/// the version of the database as it was when the window was created.
/// Created once at start-up and shown modally; closing only hides it.
class TfmInfo : public QDialog {
    Q_OBJECT
  public:
    /// Reads the version stamp from `mainWindow`'s status bar and the version
    /// numbers from `dm`'s settings row; when they cannot be read the
    /// standard error report shows why and the version label keeps
    /// "verze:". Nothing is thrown. `parent` defaults to `mainWindow`, over
    /// which the window is centred; `dm` and `mainWindow` must outlive it.
    TfmInfo(TDM &dm, Tfm_Deska &mainWindow, QWidget *parent = nullptr);

    QPlainTextEdit *Memo1 = nullptr;
    QFrame *Shape1 = nullptr;
    QLabel *Image2 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *lVerze = nullptr;
    QPushButton *bbZavri = nullptr;

    void bbZavriClick();

  private:
    void createControls();
    void FormCreate();

    TDM &m_dm;
    Tfm_Deska &m_mainWindow;
};
