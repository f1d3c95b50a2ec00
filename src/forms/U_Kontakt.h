#pragma once

#include "forms/ContactHandOver.h"
#include "forms/U_Kontakt_prikaz.h"

#include <QDialog>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class TDM;

namespace forms {
class DbNavigator;
class LookupBinding;
class PhotoView;
class RecordProtocol;
} // namespace forms

/// The contact form: one contact person (a tKONTAKT row) at a time, with
/// titles, name, position, private address and connection, notes, birthday
/// and photo. It follows the record-form protocol (forms::RecordProtocol);
/// its steps are in KontaktPrikaz (U_Kontakt_prikaz), which sees the form
/// through forms::ContactFace only.
///
/// Created once and shown modally on the current row of tKONTAKT. The data
/// module is not owned and must outlive the form. Every handler runs its
/// step through the standard error report and throws nothing.
class TFM_Kontakt : public QDialog, private forms::ContactFace {
    Q_OBJECT
  public:
    /// The form's controls, by the names they are known by.
    struct Controls {
        // Top panel.
        QWidget *pTop = nullptr;
        forms::DbNavigator *DBNavi = nullptr;
        QToolButton *sbKontVloz = nullptr;
        QToolButton *sbKontEdit = nullptr;
        QToolButton *sbKontSmaz = nullptr;
        // Bottom panel.
        QWidget *pBottom = nullptr;
        QLineEdit *EditID = nullptr;
        QComboBox *cbFirma = nullptr;
        forms::LookupBinding *cbFirmaLookup = nullptr;
        QPushButton *BB_Jo = nullptr;
        QPushButton *BB_Zrus = nullptr;

        QTabWidget *pcKontakt = nullptr;
        // Tab "Osoba".
        QWidget *tsKontakt = nullptr;
        QGroupBox *gbInicialy = nullptr;
        QComboBox *dcbTitulP = nullptr;
        QLineEdit *EditJmeno = nullptr;
        QLineEdit *EditPrijmeni = nullptr;
        QComboBox *dcbTitulZ = nullptr;
        QTabWidget *pcOsoba = nullptr;
        QWidget *tsFotka = nullptr;
        forms::PhotoView *iObr = nullptr;
        QMenu *pmFotka = nullptr;
        QAction *Natifotku1 = nullptr;
        QAction *Vymafotku1 = nullptr;
        QLabel *lFotoNahrano = nullptr;
        QWidget *tsData = nullptr;
        QLineEdit *EditNarozeniny = nullptr;
        QLineEdit *EditSvatek = nullptr;
        QLineEdit *EditUpominka = nullptr;
        QGroupBox *gbFiremniData = nullptr;
        QLineEdit *EditPozice = nullptr;
        QLineEdit *EditPopis = nullptr;
        QGroupBox *gbKratkyVypis = nullptr;
        QLineEdit *EditOTelefon = nullptr;
        QLineEdit *EditOMobil = nullptr;
        QLineEdit *EditOEmail = nullptr;
        // Tab "Adresa".
        QWidget *tsAdresa = nullptr;
        QGroupBox *gbAdresa = nullptr;
        QLineEdit *EditNAZEV_ADRESA = nullptr;
        QLineEdit *EditADRESA = nullptr;
        QLineEdit *EditUlice = nullptr;
        QLineEdit *EditObec = nullptr;
        QLineEdit *EditPSC = nullptr;
        QLineEdit *EditStat = nullptr;
        QPlainTextEdit *MemoPoznamkaAD = nullptr;
        // Tab "Spojení".
        QWidget *tsSpojeni = nullptr;
        QGroupBox *gbSpojeni = nullptr;
        QLineEdit *EditTelefon = nullptr;
        QLineEdit *EditMobil = nullptr;
        QLineEdit *EditTelefon2 = nullptr;
        QLineEdit *EditFax = nullptr;
        QLineEdit *EditEmail = nullptr;
        QLineEdit *EditEmail2 = nullptr;
        QLineEdit *EditWWW = nullptr;
        QLineEdit *EditICQ = nullptr;
        QLineEdit *EditSkype = nullptr;
        QLineEdit *EditDalsi1 = nullptr;
        QLineEdit *EditDalsi2 = nullptr;
        QPlainTextEdit *MemoPoznamkaSP = nullptr;
        // Tab "Poznámka".
        QWidget *tsPoznamka = nullptr;
        QPlainTextEdit *MemoPoznamka = nullptr;
    };

    /// Creation: builds and binds the controls, runs the creation step and
    /// resets the hand-over values.
    explicit TFM_Kontakt(TDM &dm, QWidget *parent = nullptr);
    ~TFM_Kontakt() override;

    /// The controls, for the window that owns the form and for tests.
    const Controls &ui() const { return m_ui; }

    bool isBrowseMode() const override;
    /// Makes "Osoba" the active tab.
    void firstTabStep() override;
    /// "Kontakt: <surname box> <first-name box>".
    QString titleStep() const;
    /// New-record step: the data part, edit mode, empty window title.
    /// Throws db::DbError.
    void newRecordStep();
    /// Data part of the new-record step: next ID of KONTAKT, last row, a
    /// new row with ID, ID_FIRMA = newContactCompanyId and ID_POBOCKA =
    /// newContactBranchId. Throws db::DbError.
    void newRecordData();

    // Handlers.
    void FormShow();
    void DBNaviClick();
    void sbKontVlozClick();
    void sbKontEditClick();
    void BB_JoClick();
    void BB_ZrusClick();
    void sbKontSmazClick();
    void Natifotku1Click();
    void Vymafotku1Click();

    /// The open-picture dialog: the chosen file's path, or "" when the user
    /// cancelled. Defaults to forms::openPictureDialog; tests replace it.
    std::function<QString()> opicd;

    forms::RecordProtocol *protocol = nullptr;

    /// The dialog's own way out goes through the close guard as well.
    void reject() override;

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    // The face the steps see.
    QString shownId() const override;
    void showTitle(const QString &title) override;
    void handOverTypedText() override;
    void enterEditMode() override;
    void enterBrowseMode() override;
    bool confirmDelete() override;
    void focusFirstBox() override;
    QString shownSurname() const override;
    QString shownFirstName() const override;
    void showPhoto(const QByteArray &jpeg) override;
    void clearPhoto() override;
    void showPhotoLoadedNotice() override;
    QString choosePictureFile() override;
    /// The name day of the first-name box's text into the Svátek box.
    void showNameDay();

    // U_Kontakt_layout.cpp
    void createControls();
    QWidget *createPersonTab();
    QWidget *createAddressTab();
    void bindControls();
    void createProtocol();

    Controls m_ui;
    TDM &m_dm;
    std::unique_ptr<KontaktPrikaz> m_prikaz;
};
