#pragma once

#include "forms/U_Firma_prikaz.h"

#include <QDialog>

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class TDM;
class TFM_Kontakt;

namespace grid {
class DataGrid;
} // namespace grid
namespace forms {
class AresLookup;
class DbNavigator;
class RecordProtocol;
} // namespace forms

/// The company form: one company (a tFIRMA row) at a time with its codes,
/// bank data, three addresses, connection data, notes and the list of its
/// contact persons, which it adds and edits through the contact form. It
/// follows the record-form protocol (forms::RecordProtocol); its steps are
/// in FirmaPrikaz (U_Firma_prikaz), which sees the form through
/// forms::CompanyFace only.
///
/// Created once and shown modally on the current row of tFIRMA. The data
/// module and the contact form are not owned and must outlive the form.
/// Every handler runs its step through the standard error report and
/// throws nothing.
class Tfm_Firma : public QDialog, private forms::CompanyFace {
    Q_OBJECT
  public:
    static constexpr int kClientHeight = 613;

    /// The form's controls, by the names they are known by.
    struct Controls {
        // Top panel.
        QWidget *pTop = nullptr;
        forms::DbNavigator *DBNavi = nullptr;
        QToolButton *sbFirVloz = nullptr;
        QToolButton *sbFirEdit = nullptr;
        QToolButton *sbFirSmaz = nullptr;
        // Bottom panel.
        QWidget *pBottom = nullptr;
        QLineEdit *EditID = nullptr;
        QPushButton *BB_Jo = nullptr;
        QPushButton *BB_Zrus = nullptr;

        QTabWidget *pcFirma = nullptr;
        // Tab "Firma".
        QWidget *tsFirma = nullptr;
        QGroupBox *gbInicialy = nullptr;
        QLineEdit *EditNAZEV_FIRMA = nullptr;
        QLineEdit *EditKOD = nullptr;
        QLineEdit *EditZamereni = nullptr;
        QLineEdit *EditPOPIS = nullptr;
        QLineEdit *EditFtelefon = nullptr;
        QLineEdit *EditFMobil = nullptr;
        QGroupBox *gbFiremniData = nullptr;
        QLineEdit *EditIC = nullptr;
        QToolButton *sbAres = nullptr; ///< "Načíst z ARES", edit mode only
        QLineEdit *EditDIC = nullptr;
        QLineEdit *EditCislo_uctu = nullptr;
        QLineEdit *EditKod_banky = nullptr;
        QLabel *lNazevBanky = nullptr; ///< the bank of the code box's text
        QGroupBox *gbAdresaS = nullptr;
        QLineEdit *EditNAZEV_ADRESA_FS = nullptr;
        QLineEdit *EditADRESA_FS = nullptr;
        QLineEdit *EditUliceS = nullptr;
        QLineEdit *EditObecS = nullptr;
        QLineEdit *EditPSCS = nullptr;
        QLineEdit *EditStatS = nullptr;
        QPlainTextEdit *MemoPoznamkaS = nullptr;
        // Tab "Adresy".
        QWidget *tsAdresa = nullptr;
        QGroupBox *gbAdresaF = nullptr;
        QLineEdit *EditNAZEV_ADRESA_FF = nullptr;
        QLineEdit *EditADRESA_FF = nullptr;
        QLineEdit *EditUliceF = nullptr;
        QLineEdit *EditObecF = nullptr;
        QLineEdit *EditPSCF = nullptr;
        QLineEdit *EditStatF = nullptr;
        QPlainTextEdit *MemoPoznamkaF = nullptr;
        QToolButton *sbkopirujFSdoFF = nullptr;
        QGroupBox *gbAdresaD = nullptr;
        QLineEdit *EditNAZEV_ADRESA_FD = nullptr;
        QLineEdit *EditADRESA_FD = nullptr;
        QLineEdit *EditUliceD = nullptr;
        QLineEdit *EditObecD = nullptr;
        QLineEdit *EditPSCD = nullptr;
        QLineEdit *EditStatD = nullptr;
        QPlainTextEdit *MemoPoznamkaD = nullptr;
        QToolButton *sbkopirujFSdoFD = nullptr;
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
        // Tab "Kontaktní osoby".
        QWidget *tsKontaktniOsoby = nullptr;
        QToolButton *sbVlozFirmaKontakt = nullptr;
        QToolButton *sbEditujFirmaKontakt = nullptr;
        grid::DataGrid *gKontaktyFirmy = nullptr;
        // Tab "Pobočky firmy", never shown.
        QWidget *tsPobockyFirmy = nullptr;
    };

    /// Creation: builds and binds the controls, runs the creation step,
    /// places the window at 5, 5 and restores the contact-persons grid's
    /// column layout.
    Tfm_Firma(TDM &dm, TFM_Kontakt &contactForm, QWidget *parent = nullptr);
    ~Tfm_Firma() override;

    /// The controls, for the window that owns the form and for tests.
    const Controls &ui() const { return m_ui; }

    bool isBrowseMode() const override;
    /// Makes "Firma" the active tab (without the tab-change step).
    void firstTabStep() override;
    /// "Firma: <NAZEV_FIRMA of the current row>".
    QString titleStep() const;
    /// Sets the window's outer width, frame included; the height stays.
    void setOuterWidth(int width) override;

    /// A new company was started and still needs its placeholder contact.
    bool placeholderPending() const;
    /// The contact-persons row last clicked: column name and ID as text.
    QString clickedContactColumn() const;
    QString clickedContactId() const;

    // Handlers.
    void FormShow();
    void pcFirmaChange();
    void DBNaviClick();
    void sbFirVlozClick();
    void sbFirEditClick();
    void BB_JoClick();
    void BB_ZrusClick();
    void sbFirSmazClick();
    void sbkopirujFSdoFFClick();
    void sbkopirujFSdoFDClick();
    void sbVlozFirmaKontaktClick();
    void sbEditujFirmaKontaktClick();
    void gKontaktyFirmyCellClick(int column);
    void gKontaktyFirmyDblClick();
    /// Leaving the account box: an account typed with its code,
    /// "19-123457/0800", gives the code to the code box when that is empty
    /// or holds the same code.
    void EditCislo_uctuExit();
    void EditKod_bankyChange();
    /// "Načíst z ARES" (Ctrl+R): the seat, name and DIČ the register has
    /// for the IČO typed, shown first and filled only when taken.
    void sbAresClick();
    forms::AresLookup &aresLookup() const { return *m_aresLookup; }

    /// The dialog's own way out goes through the close guard as well.
    void reject() override;

    forms::RecordProtocol *protocol = nullptr;

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
    int currentTab() const override;
    void copySeatNote(const QString &suffix) override;
    void newContactRecord() override;
    void showContactForm() override;
    void clickEditContactPerson() override;
    QString shownNumber(forms::CompanyNumber number) const override;
    bool numberChanged(forms::CompanyNumber number) const override;
    QString shownSeatCountry() const override;
    void focusNumber(forms::CompanyNumber number) override;
    QLineEdit *numberBox(forms::CompanyNumber number) const;

    // U_Firma_layout.cpp
    void createControls();
    QWidget *createCompanyTab();
    QWidget *createAddressesTab();
    QWidget *createContactPersonsTab();
    void bindControls();
    void createProtocol();

    Controls m_ui;
    TDM &m_dm;
    TFM_Kontakt &m_contactForm;
    std::unique_ptr<FirmaPrikaz> m_prikaz;
    forms::AresLookup *m_aresLookup = nullptr;
};
