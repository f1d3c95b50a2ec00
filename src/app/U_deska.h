#pragma once

#include "db/DatabaseTarget.h"

#include <QDate>
#include <QKeySequence>
#include <QMainWindow>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QToolBar;
class QToolButton;
class QAbstractButton;
class QAction;
class TDM;
class TFM_Kontakt;
class QTimer;
class Tfm_Firma;
class TfmInfo;
class TfmReporty;
namespace db {
class WorkerConnection;
} // namespace db
namespace grid {
class DataGrid;
} // namespace grid
namespace app {
class StatusPanel;
} // namespace app
namespace app {
class SearchOptions;
} // namespace app
namespace app {
class CelebrationsWindow;
class BackgroundSync;
} // namespace app
namespace cardsync {
struct SyncReport;
} // namespace cardsync

/// The main window: toolbar, the contact board and the status bar. Its
/// creation does the start-up work; its first showing runs the version gate.
class Tfm_Deska : public QMainWindow {
    Q_OBJECT
  public:
    /// `baseDirectory` is the directory of the executable (tests pass their own).
    Tfm_Deska(TDM &dm, const QString &baseDirectory, QWidget *parent = nullptr);
    /// Works with the database `access` names instead of the file under the base directory.
    Tfm_Deska(TDM &dm, const QString &baseDirectory, const db::DatabaseAccess &access,
              QWidget *parent = nullptr);
    ~Tfm_Deska() override;

    /// The windows created after this one; the toolbar commands open them.
    void setWindows(TFM_Kontakt *contactForm, Tfm_Firma *companyForm, TfmInfo *about,
                    TfmReporty *printForm);

    /// The date the name-day line is composed for (tests pin it).
    static std::function<QDate()> &clock();
    /// The maker's web address shown in the status bar and the e-mail signature.
    static QString makerWebAddress();

    QString baseDirectory() const { return m_baseDirectory; }

    /// The window's controls, by the names they are known by.
    struct Controls {
        // Toolbar (in order) and its filter panel.
        QToolBar *ToolBar1 = nullptr;
        QToolButton *sbFirma = nullptr;
        QToolButton *sbKontakty = nullptr;
        QToolButton *sbTisk = nullptr;
        QToolButton *sbEmail = nullptr;
        QWidget *pFiltr = nullptr;
        QLabel *Label2 = nullptr;
        QLineEdit *Edit1 = nullptr;
        QAbstractButton *SpeedButton2 = nullptr;
        QToolButton *SpeedButton1 = nullptr;
        QToolButton *sbInfo = nullptr;
        // How the filter box's text is looked for, on a row of its own under it.
        app::SearchOptions *pHledani = nullptr;
        // Contacts in and out (U_deska_io.cpp), after the toolbar's original items.
        QToolButton *sbExport = nullptr;
        QToolButton *sbImport = nullptr;
        QAction *actExportAll = nullptr;
        QAction *actExportCompany = nullptr;
        QAction *actExportShown = nullptr;
        QAction *actImport = nullptr;
        // Which database the program opens (U_deska_database.cpp).
        QToolButton *sbDatabaze = nullptr;
        QAction *actDatabase = nullptr;
        // The sync with an address book on a server (U_deska_sync.cpp).
        QAction *actSync = nullptr;

        // The board.
        grid::DataGrid *gHlavniDeska = nullptr;

        // Status bar and its panels.
        QWidget *pSTB = nullptr;
        QLabel *stbP1 = nullptr;
        QLabel *stbP2 = nullptr;
        QLabel *stbP3 = nullptr;
        QWidget *stbPobr = nullptr;
        app::StatusPanel *stbP4 = nullptr;
        /// "Svátky a narozeniny", made when stbP1 is first activated.
        app::CelebrationsWindow *celebrationsWindow = nullptr;
        /// Runs out just after midnight, when stbP1 is composed anew.
        QTimer *tmNovyDen = nullptr;
    };
    /// The controls, for the windows around this one and for tests.
    const Controls &ui() const { return m_ui; }

    // Board selection: set by a click on a board row.
    QString selectedRowKind;
    QString selectedRowId;
    QString selectedEmail;

    // Toolbar commands.
    void sbFirmaClick();
    void sbKontaktyClick();
    void sbTiskClick();
    void sbEmailClick();
    void sbInfoClick();

    // Board (U_deska_board.cpp).
    void Edit1Change();
    void SpeedButton2Click();
    void gHlavniDeskaCellClick(int column);
    void gHlavniDeskaDblClick();

    // Export and import (U_deska_io.cpp).
    void actExportAllTriggered();
    void actExportCompanyTriggered();
    void actExportShownTriggered();
    void actImportTriggered();
    void actDatabaseTriggered();

    // Status bar (U_deska_status.cpp).
    QString composeNameDayLine();
    void stbP4Click();
    void stbP4MouseEnter();
    void stbP4MouseLeave();
    void stbP2Click();
    /// Opens the list of the contacts who celebrate in the coming days (F9).
    void stbP1Click();
    /// Adds to stbP1 how many contacts celebrate today or tomorrow, once
    /// read beside the window; run after the first showing, not to
    /// lengthen the start-up, and again whenever the board reads the
    /// register again. Only the count asked for last is shown.
    void showCelebrationCount();
    /// The board read the register again: the line and its count anew.
    void recountCelebrations();
    /// The date has changed since stbP1 was composed (midnight passed while
    /// the program ran): composes it and its count anew; then waits for the
    /// next midnight.
    void dayChangeStep();
    /// The mailto: text that sbEmailClick hands to the mail program.
    static QString composeMailto(const QString &address);

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    void FormCreate();
    void FormShow();
    void createToolBar();
    void keepTheFilterBoxInView();
    void createBoard();            // U_deska_board.cpp
    void createBoardKeys();        // U_deska_board.cpp
    void createStatusBar();        // U_deska_status.cpp
    void showBoardLoading();       // U_deska_status.cpp
    void createTransferCommands(); // U_deska_io.cpp
    void createDatabaseCommand();  // U_deska_database.cpp
    void createSyncCommand();      // U_deska_sync.cpp
    void actSyncTriggered();
    /// Starts the background sync when an account is set up and its
    /// password is remembered; asks nothing.
    void startBackgroundSync();
    void makeBackgroundSync();
    void syncFinished(const cardsync::SyncReport &report);
    void syncFailed(const QString &message, const QByteArray &certificate);
    void chooseInConflicts(const QList<int> &contactIds, const QList<int> &companyIds);
    /// A toolbar button of 40 × 40 pixels with its glyph; the hint is its accessible name.
    /// A toolbar command; with a shortcut, the key is its own and its hint shows it.
    static QToolButton *makeButton(QWidget *parent, const char *name, const QString &hint,
                                   const QString &glyph, const QKeySequence &shortcut = {});
    static QString shortcutHint(const QString &hint, const QKeySequence &shortcut);
    static QWidget *spacer(QWidget *parent, int width);
    void placeWindow();
    /// Whether the board selection still names a stored company or contact;
    /// another program may have deleted it since the board was read. When
    /// it is gone, says so (`gone` for a company) and reads the board again.
    bool selectionStillStored(const QString &gone); // U_deska_board.cpp
    /// Says `message`, clears the selection and reads the board again.
    void selectionGone(const QString &message); // U_deska_board.cpp
    /// Opens the contact form on the contact `id` and returns when it closes;
    /// false when no such contact is stored.
    bool openContact(const QVariant &id); // U_deska_board.cpp

    void addCelebrationCount(int count); // U_deska_status.cpp

    Controls m_ui;
    std::unique_ptr<app::BackgroundSync> m_sync;
    bool m_choosingConflicts = false;
    TDM &m_dm;
    QString m_baseDirectory;
    db::DatabaseAccess m_access;
    bool m_shown = false;
    QDate m_nameDayDate; ///< the day stbP1 speaks of
    TFM_Kontakt *m_contactForm = nullptr;
    Tfm_Firma *m_companyForm = nullptr;
    TfmInfo *m_about = nullptr;
    TfmReporty *m_printForm = nullptr;
    std::unique_ptr<db::WorkerConnection> m_celebrationCount; // reads the count beside the window
    int m_celebrationCountAsked = 0;                          // the count asked for last
};

/// The program's main window once created.
extern Tfm_Deska *fm_Deska;
