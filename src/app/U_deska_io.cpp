// Contacts in and out: the toolbar's export and import buttons, the same
// commands in the board's context menu, and their keys.
#include "app/U_deska.h"

#include "app/ContactTransfer.h"
#include "base/MessageService.h"
#include "data/U_DM.h"
#include "grid/DataGrid.h"
#include "grid/GridMenu.h"
#include "ui/ErrorReport.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {
// Ctrl+E sends e-mail; the export choices take the key beside it.
const QKeySequence kOpenExportKey(QStringLiteral("Ctrl+Shift+E"));
} // namespace

void Tfm_Deska::createTransferCommands() {
    auto command = [this](const char *name, const QString &text, void (Tfm_Deska::*handler)()) {
        auto *action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this,
                [this, handler] { ui::guarded([&] { (this->*handler)(); }); });
        return action;
    };
    m_ui.actExportAll = command("actExportAll", QStringLiteral("Všechny kontakty…"),
                                &Tfm_Deska::actExportAllTriggered);
    m_ui.actExportCompany = command("actExportCompany", QStringLiteral("Kontakty vybrané firmy…"),
                                    &Tfm_Deska::actExportCompanyTriggered);
    m_ui.actExportShown = command("actExportShown", QStringLiteral("Kontakty zobrazené na desce…"),
                                  &Tfm_Deska::actExportShownTriggered);
    m_ui.actImport =
        command("actImport", QStringLiteral("Import kontaktů…"), &Tfm_Deska::actImportTriggered);
    m_ui.actImport->setShortcut(QKeySequence(QStringLiteral("Ctrl+I")));
    addAction(m_ui.actImport);

    auto *exportMenu = new QMenu(QStringLiteral("Export kontaktů"), this);
    exportMenu->setObjectName(QStringLiteral("menuExport"));
    exportMenu->addActions({m_ui.actExportAll, m_ui.actExportCompany, m_ui.actExportShown});

    m_ui.sbExport = makeButton(m_ui.ToolBar1, "sbExport", QStringLiteral("Export kontaktů"),
                               QStringLiteral(":/glyphs/export.svg"));
    m_ui.sbExport->setMenu(exportMenu);
    m_ui.sbExport->setPopupMode(QToolButton::InstantPopup);
    m_ui.sbExport->setToolTip(shortcutHint(m_ui.sbExport->accessibleName(), kOpenExportKey));
    m_ui.sbImport = makeButton(m_ui.ToolBar1, "sbImport", QStringLiteral("Import kontaktů"),
                               QStringLiteral(":/glyphs/import.svg"));
    m_ui.sbImport->setToolTip(
        shortcutHint(m_ui.sbImport->accessibleName(), m_ui.actImport->shortcut()));
    connect(m_ui.sbImport, &QToolButton::clicked, m_ui.actImport, &QAction::trigger);
    m_ui.ToolBar1->addWidget(spacer(m_ui.ToolBar1, 8));
    m_ui.ToolBar1->addWidget(m_ui.sbExport);
    m_ui.ToolBar1->addWidget(m_ui.sbImport);

    // The export choices open from the keyboard too.
    auto *openExport = new QAction(this);
    openExport->setObjectName(QStringLiteral("actOpenExportMenu"));
    openExport->setShortcut(kOpenExportKey);
    connect(openExport, &QAction::triggered, m_ui.sbExport, &QToolButton::showMenu);
    addAction(openExport);

    // A narrow window folds the last commands into the toolbar's overflow
    // button: it is named and reachable like the rest.
    if (auto *overflow =
            m_ui.ToolBar1->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"))) {
        overflow->setAccessibleName(QStringLiteral("Další příkazy"));
        overflow->setToolTip(overflow->accessibleName());
        overflow->setFocusPolicy(Qt::TabFocus);
    }

    QMenu *boardMenu = m_ui.gHlavniDeska->menu()->menu();
    boardMenu->addSeparator();
    boardMenu->addMenu(exportMenu);
    boardMenu->addAction(m_ui.actImport);
}

void Tfm_Deska::actExportAllTriggered() {
    app::exportContacts(m_dm, this, {});
}

void Tfm_Deska::actExportCompanyTriggered() {
    // A company line and a contact line both name their company.
    const dataset::Dataset &board = m_dm.qHlavniDeska;
    const int companyId = board.isActive() && board.currentIndex() >= 0
                              ? int(board.fieldByName(QStringLiteral("ID_FIRMA"))->asInteger())
                              : 0;
    if (companyId == 0) {
        const bool noCompany = board.isActive() && board.currentIndex() >= 0;
        base::msg::show(base::msg::Kind::Information,
                        noCompany ? QStringLiteral("Kontakty bez firmy nepatří žádné firmě; "
                                                   "vyexportujete je příkazem „Kontakty "
                                                   "zobrazené na desce…“.")
                                  : QStringLiteral("Nejdříve na desce vyberte firmu nebo její "
                                                   "kontakt."));
        return;
    }
    app::exportContacts(m_dm, this, {io::ExportScope::Kind::Company, companyId, {}, {}});
}

void Tfm_Deska::actExportShownTriggered() {
    m_dm.completeBoard(); // every row the text finds, not only those read so far
    app::exportContacts(m_dm, this, app::boardScope(m_dm.qHlavniDeska));
}

void Tfm_Deska::actImportTriggered() {
    app::importContacts(m_dm, this);
}
