// Choosing the database the program opens: a toolbar button, the same
// command in the board's context menu, and its key.
#include "app/U_deska.h"

#include "app/DatabaseDialog.h"
#include "app/ProgramCommand.h"
#include "db/DatabaseLocation.h"
#include "grid/DataGrid.h"
#include "grid/GridMenu.h"
#include "ui/ErrorReport.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

void Tfm_Deska::createDatabaseCommand() {
    m_ui.actDatabase = new QAction(QStringLiteral("Databáze…"), this);
    m_ui.actDatabase->setObjectName(QStringLiteral("actDatabase"));
    m_ui.actDatabase->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+D")));
    addAction(m_ui.actDatabase);
    connect(m_ui.actDatabase, &QAction::triggered, this,
            [this] { ui::guarded([this] { actDatabaseTriggered(); }); });

    m_ui.sbDatabaze = makeButton(m_ui.ToolBar1, "sbDatabaze", QStringLiteral("Databáze"),
                                 QStringLiteral(":/glyphs/databaze.svg"));
    m_ui.sbDatabaze->setToolTip(
        shortcutHint(m_ui.sbDatabaze->accessibleName(), m_ui.actDatabase->shortcut()));
    connect(m_ui.sbDatabaze, &QToolButton::clicked, m_ui.actDatabase, &QAction::trigger);
    m_ui.ToolBar1->addWidget(spacer(m_ui.ToolBar1, 8));
    m_ui.ToolBar1->addWidget(m_ui.sbDatabaze);

    QMenu *boardMenu = m_ui.gHlavniDeska->menu()->menu();
    boardMenu->addSeparator();
    boardMenu->addAction(m_ui.actDatabase);
}

void Tfm_Deska::actDatabaseTriggered() {
    const QString commandLine = app::ProgramCommand::parse(QCoreApplication::arguments()).database;
    app::chooseDatabase(this, db::DatabaseLocation::forThisProgram().database, m_access.database,
                        commandLine);
}
