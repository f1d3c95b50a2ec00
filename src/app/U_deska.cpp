#include "app/U_deska.h"
#include "db/WorkerConnection.h"

#include "base/MessageService.h"
#include "data/U_DM.h"
#include "data/VersionCheck.h"
#include "db/DbError.h"
#include "ui/ErrorReport.h"
#include "ui/SharedColors.h"

#include "app/BackgroundSync.h"
#include "app/MailMessage.h"
#include "app/SearchOptions.h"
#include "app/StatusPanel.h"

#include "app/U_Info.h"
#include "db/DatabaseTarget.h"
#include "forms/MessageTexts.h"
#include "forms/U_Firma.h"
#include "forms/U_Kontakt.h"
#include "grid/DataGrid.h"
#include "print/CompanyCard.h"
#include <QCheckBox>

#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

Tfm_Deska *fm_Deska = nullptr;

namespace {

/// Clears a filter of the contact table when the contacts command ends,
/// whatever happened inside it.
struct ContactFilterReset {
    TDM &dm;
    ~ContactFilterReset() {
        ui::guarded([this] {
            dm.tKONTAKT.setFilter(QString());
            dm.tKONTAKT.setFiltered(false);
        });
    }
};

} // namespace

QToolButton *Tfm_Deska::makeButton(QWidget *parent, const char *name, const QString &hint,
                                   const QString &glyph, const QKeySequence &shortcut) {
    // The hint names the command and shows its key.
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        button->setShortcut(shortcut);
    button->setToolTip(shortcutHint(hint, shortcut));
    button->setAccessibleName(hint);
    button->setIcon(QIcon(glyph));
    button->setIconSize(QSize(30, 30));
    button->setFixedSize(40, 40);
    button->setAutoRaise(true);
    return button;
}

QString Tfm_Deska::shortcutHint(const QString &hint, const QKeySequence &shortcut) {
    return shortcut.isEmpty()
               ? hint
               : QStringLiteral("%1 (%2)").arg(hint, shortcut.toString(QKeySequence::NativeText));
}

QWidget *Tfm_Deska::spacer(QWidget *parent, int width) {
    auto *w = new QWidget(parent);
    w->setFixedWidth(width);
    return w;
}

std::function<QDate()> &Tfm_Deska::clock() {
    static std::function<QDate()> today = [] { return QDate::currentDate(); };
    return today;
}

Tfm_Deska::Tfm_Deska(TDM &dm, const QString &baseDirectory, QWidget *parent)
    : Tfm_Deska(dm, baseDirectory, db::DatabaseAccess{}, parent) {
}

Tfm_Deska::Tfm_Deska(TDM &dm, const QString &baseDirectory, const db::DatabaseAccess &access,
                     QWidget *parent)
    : QMainWindow(parent), m_dm(dm), m_baseDirectory(baseDirectory), m_access(access),
      m_celebrationCount(std::make_unique<db::WorkerConnection>()) {
    fm_Deska = this;
    setObjectName(QStringLiteral("fm_Deska"));
    setWindowTitle(QStringLiteral("Vizitar"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(639, 421);
    createToolBar();
    createBoard();
    createTransferCommands();
    createDatabaseCommand();
    createSyncCommand();
    createStatusBar();
    // Tab follows the toolbar from left to right, then the board and the web link.
    QWidget *overflow =
        m_ui.ToolBar1->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
    QWidget *const tabOrder[] = {
        m_ui.sbFirma,      m_ui.sbKontakty, m_ui.sbTisk,
        m_ui.sbEmail,      m_ui.Edit1,      m_ui.SpeedButton2,
        m_ui.SpeedButton1, m_ui.sbInfo,     m_ui.sbExport,
        m_ui.sbImport,     m_ui.sbDatabaze, overflow ? overflow : m_ui.sbDatabaze,
        m_ui.gHlavniDeska, m_ui.stbP1,      m_ui.stbP4};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    // The search options follow the filter box's clear button.
    const QWidget *options = m_ui.pHledani;
    QWidget *before = m_ui.SpeedButton2;
    for (QCheckBox *box : options->findChildren<QCheckBox *>())
        setTabOrder(std::exchange(before, box), box);
    // The creation steps run guarded as a whole: an error in the version
    // check ends them there and reaches the standard error report.
    ui::guarded([this] { FormCreate(); });
}

Tfm_Deska::~Tfm_Deska() {
    if (fm_Deska == this)
        fm_Deska = nullptr;
}

void Tfm_Deska::setWindows(TFM_Kontakt *contactForm, Tfm_Firma *companyForm, TfmInfo *about,
                           TfmReporty *printForm) {
    m_contactForm = contactForm;
    m_companyForm = companyForm;
    m_about = about;
    m_printForm = printForm;
}

void Tfm_Deska::createToolBar() {
    m_ui.ToolBar1 = new QToolBar(this);
    m_ui.ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    m_ui.ToolBar1->setMovable(false);
    m_ui.ToolBar1->setFloatable(false);
    // 40 pixels high; taller only while its overflow button shows the commands
    // a narrow window has no room for.
    m_ui.ToolBar1->setMinimumHeight(40);
    m_ui.ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, m_ui.ToolBar1);

    m_ui.sbFirma =
        makeButton(m_ui.ToolBar1, "sbFirma", QStringLiteral("Firma"),
                   QStringLiteral(":/glyphs/firma.svg"), QKeySequence(Qt::CTRL | Qt::Key_1));
    m_ui.sbKontakty =
        makeButton(m_ui.ToolBar1, "sbKontakty", QStringLiteral("Zaměstnanci"),
                   QStringLiteral(":/glyphs/kontakty.svg"), QKeySequence(Qt::CTRL | Qt::Key_2));
    m_ui.sbTisk = makeButton(m_ui.ToolBar1, "sbTisk", QStringLiteral("Tisková sestava"),
                             QStringLiteral(":/glyphs/tisk.svg"), QKeySequence::Print);
    m_ui.sbTisk->setIconSize(QSize(26, 26));
    m_ui.sbEmail =
        makeButton(m_ui.ToolBar1, "sbEmail", QStringLiteral("Odeslat email"),
                   QStringLiteral(":/glyphs/email.svg"), QKeySequence(Qt::CTRL | Qt::Key_E));
    m_ui.SpeedButton1 =
        makeButton(m_ui.ToolBar1, "SpeedButton1", QStringLiteral("Nastavení"),
                   QStringLiteral(":/glyphs/nastaveni.svg"), QKeySequence(Qt::Key_F12));
    m_ui.sbInfo = makeButton(m_ui.ToolBar1, "sbInfo", QStringLiteral("Vizitar"),
                             QStringLiteral(":/glyphs/info.svg"), QKeySequence(Qt::Key_F1));
    m_ui.sbTisk->setEnabled(false);
    m_ui.sbEmail->setEnabled(false);
    m_ui.SpeedButton1->setEnabled(false);

    m_ui.pFiltr = new QWidget(m_ui.ToolBar1);
    m_ui.pFiltr->setObjectName(QStringLiteral("pFiltr"));
    m_ui.pFiltr->setFixedSize(233, 40);
    auto *filterLayout = new QHBoxLayout(m_ui.pFiltr);
    filterLayout->setContentsMargins(4, 0, 4, 0);
    filterLayout->setSpacing(4);
    m_ui.Label2 = new QLabel(QStringLiteral("Filtr: "), m_ui.pFiltr);
    m_ui.Label2->setObjectName(QStringLiteral("Label2"));
    m_ui.Edit1 = new QLineEdit(m_ui.pFiltr);
    m_ui.Edit1->setObjectName(QStringLiteral("Edit1"));
    m_ui.Edit1->setFixedWidth(121);
    m_ui.Edit1->setToolTip(QStringLiteral("Filtr dle: Jména,příjmení kontaktu či názvu firmy:"));
    m_ui.Edit1->setAccessibleDescription(m_ui.Edit1->toolTip());
    m_ui.Label2->setBuddy(m_ui.Edit1);
    auto *clear = new QToolButton(m_ui.pFiltr);
    clear->setObjectName(QStringLiteral("SpeedButton2"));
    clear->setText(QStringLiteral("Vyčisti"));
    clear->setAccessibleName(QStringLiteral("Vyčisti"));
    clear->setFixedSize(56, 22);
    clear->setFocusPolicy(Qt::TabFocus); // a click leaves the focus where it was; Tab reaches it
    m_ui.SpeedButton2 = clear;
    filterLayout->addWidget(m_ui.Label2);
    filterLayout->addWidget(m_ui.Edit1);
    filterLayout->addWidget(clear);

    auto *divider = new QFrame(m_ui.ToolBar1);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);

    m_ui.ToolBar1->addWidget(spacer(m_ui.ToolBar1, 8));
    m_ui.ToolBar1->addWidget(m_ui.sbFirma);
    m_ui.ToolBar1->addWidget(m_ui.sbKontakty);
    m_ui.ToolBar1->addWidget(spacer(m_ui.ToolBar1, 8));
    m_ui.ToolBar1->addWidget(m_ui.sbTisk);
    m_ui.ToolBar1->addWidget(spacer(m_ui.ToolBar1, 8));
    m_ui.ToolBar1->addWidget(m_ui.sbEmail);
    m_ui.ToolBar1->addWidget(spacer(m_ui.ToolBar1, 58));
    m_ui.ToolBar1->addWidget(m_ui.pFiltr);
    m_ui.ToolBar1->addWidget(spacer(m_ui.ToolBar1, 8));
    m_ui.ToolBar1->addWidget(m_ui.SpeedButton1);
    m_ui.ToolBar1->addWidget(divider);
    m_ui.ToolBar1->addWidget(spacer(m_ui.ToolBar1, 8));
    m_ui.ToolBar1->addWidget(m_ui.sbInfo);
    keepTheFilterBoxInView();

    m_ui.pHledani = new app::SearchOptions(this);
    auto *optionsBar = new QToolBar(QStringLiteral("Možnosti hledání"), this);
    optionsBar->setObjectName(QStringLiteral("ToolBarHledani"));
    optionsBar->setMovable(false);
    optionsBar->setFloatable(false);
    optionsBar->setContextMenuPolicy(Qt::PreventContextMenu);
    optionsBar->addWidget(m_ui.pHledani);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, optionsBar);

    auto guardedClick = [this](QToolButton *button, void (Tfm_Deska::*command)()) {
        connect(button, &QToolButton::clicked, this,
                [this, command] { ui::guarded([&] { (this->*command)(); }); });
    };
    guardedClick(m_ui.sbFirma, &Tfm_Deska::sbFirmaClick);
    guardedClick(m_ui.sbKontakty, &Tfm_Deska::sbKontaktyClick);
    guardedClick(m_ui.sbTisk, &Tfm_Deska::sbTiskClick);
    guardedClick(m_ui.sbEmail, &Tfm_Deska::sbEmailClick);
    guardedClick(m_ui.sbInfo, &Tfm_Deska::sbInfoClick);
}

void Tfm_Deska::keepTheFilterBoxInView() {
    // Commands past the right edge are reached through the toolbar's
    // overflow button; the window never gets so narrow that the filter box
    // goes there too, where Ctrl+F would type into a hidden box.
    const QStyle *look = m_ui.ToolBar1->style();
    const int spacing = look->pixelMetric(QStyle::PM_ToolBarItemSpacing, nullptr, m_ui.ToolBar1);
    int needed = 2 * (look->pixelMetric(QStyle::PM_ToolBarFrameWidth, nullptr, m_ui.ToolBar1) +
                      look->pixelMetric(QStyle::PM_ToolBarItemMargin, nullptr, m_ui.ToolBar1)) +
                 look->pixelMetric(QStyle::PM_ToolBarExtensionExtent, nullptr, m_ui.ToolBar1) +
                 spacing;
    for (QAction *action : m_ui.ToolBar1->actions()) {
        const QWidget *item = m_ui.ToolBar1->widgetForAction(action);
        needed += (item ? qMax(item->sizeHint().width(), item->minimumWidth()) : 0) + spacing;
        if (item == m_ui.pFiltr)
            break;
    }
    setMinimumWidth(needed);
}

void Tfm_Deska::FormCreate() {
    // 1. The base directory becomes the current directory. Should it be
    // missing (a data folder that could not be made), the database is still
    // looked for there, never in the folder the program was started from.
    if (QDir::setCurrent(m_baseDirectory))
        m_baseDirectory = QDir::currentPath();
    // 2. Upgrade an older database before opening it for work.
    if (m_access.database.isEmpty())
        m_access = db::DatabaseAccess::defaultFor(m_baseDirectory);
    CheckDatabaseVersion(m_dm, m_baseDirectory, m_access);
    // 3. Shared colours for the record forms.
    ui::sharedColors() = ui::SharedColors{};
    // 4. Placement.
    placeWindow();
    // 5. The message texts are fixed in the program.
    // 6. Open the database and compose the name-day line.
    try {
        m_dm.ConnectAndOpenAll(m_access.database, QString(), m_access.password,
                               db::settings::kProtocol, m_access.user);
        m_ui.stbP1->setText(composeNameDayLine());
        startBackgroundSync();
    } catch (const db::DbError &) {
        base::msg::show(base::msg::Kind::Error, forms::texts::msgDatabaseProblem());
    }
}

void Tfm_Deska::placeWindow() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int virtualHeight = screen ? screen->virtualGeometry().height() : 768;
    move(0, 0);
    // The frame is not known before the first showing; the title bar of a
    // usual decoration is about 30 pixels.
    const int frame = qMax(0, frameGeometry().height() - geometry().height());
    resize(width(), qMax(200, virtualHeight - 30 - frame));
}

void Tfm_Deska::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    ui::guarded([this] { FormShow(); });
    QTimer::singleShot(0, this, [this] {
        dayChangeStep(); // waits for midnight
        if (!isVisible())
            return;
        if (!m_dm.isBoardLoading())
            return showCelebrationCount();
        // After the board's load, not to take a core from it.
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(&m_dm, &TDM::boardLoadingChanged, this, [this, once] {
            if (m_dm.isBoardLoading())
                return;
            disconnect(*once); // one count per showing
            if (isVisible())
                showCelebrationCount();
        });
    });
}

void Tfm_Deska::FormShow() {
    // Version gate: a database of another major version ends the program.
    if (m_dm.tNastaveni.fieldByName(QStringLiteral("VERZE_HLAVNI"))->asInteger() == 1)
        return;
    base::msg::show(base::msg::Kind::Information, forms::texts::msgWrongDatabaseVersion());
    QTimer::singleShot(0, this, &QWidget::close);
}

void Tfm_Deska::sbFirmaClick() {
    if (m_companyForm)
        m_companyForm->exec();
    m_dm.RefreshBoard();
    newContactCompanyId = 0;
    newContactBranchId = 0;
}

void Tfm_Deska::sbKontaktyClick() {
    ContactFilterReset reset{m_dm};
    m_dm.tKONTAKT.setFilter(QStringLiteral("kraj<>'***'"));
    m_dm.tKONTAKT.setFiltered(true);
    if (m_contactForm)
        m_contactForm->exec();
    newContactCompanyId = 0;
    newContactBranchId = 0;
    m_dm.RefreshBoard();
}

void Tfm_Deska::sbTiskClick() {
    if (selectedRowKind == QLatin1String("1") && selectedRowId.isEmpty()) {
        base::msg::show(base::msg::Kind::Information,
                        QStringLiteral("Kontakty bez firmy nemají kartu firmy, kterou by šlo "
                                       "vytisknout."));
        return;
    }
    // The company was deleted after its row was clicked (here or in another
    // program): printing the card of whatever company is current would mislead.
    const QString gone =
        QStringLiteral("Vybraná firma už v databázi není, sestavu nelze vytisknout.");
    if (!selectionStillStored(gone))
        return;
    const int companyId = int(dataset::toInteger(selectedRowId));
    if (!m_dm.tFIRMA.locate(QStringLiteral("id"), {selectedRowId}, true))
        return selectionGone(gone);
    if (m_printForm)
        print::buildCompanyCard(m_dm, *m_printForm, companyId, this);
}

void Tfm_Deska::sbEmailClick() {
    app::mail::open({selectedEmail}, QStringLiteral("věc"));
}

void Tfm_Deska::sbInfoClick() {
    if (m_about)
        m_about->exec();
}
