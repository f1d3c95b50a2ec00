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
    actDatabase = new QAction(QStringLiteral("Databáze…"), this);
    actDatabase->setObjectName(QStringLiteral("actDatabase"));
    actDatabase->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+D")));
    addAction(actDatabase);
    connect(actDatabase, &QAction::triggered, this,
            [this] { ui::guarded([this] { actDatabaseTriggered(); }); });

    sbDatabaze = makeButton(ToolBar1, "sbDatabaze", QStringLiteral("Databáze"),
                            QStringLiteral(":/glyphs/databaze.svg"));
    sbDatabaze->setToolTip(shortcutHint(sbDatabaze->accessibleName(), actDatabase->shortcut()));
    connect(sbDatabaze, &QToolButton::clicked, actDatabase, &QAction::trigger);
    ToolBar1->addWidget(spacer(ToolBar1, 8));
    ToolBar1->addWidget(sbDatabaze);

    QMenu *boardMenu = gHlavniDeska->menu()->menu();
    boardMenu->addSeparator();
    boardMenu->addAction(actDatabase);
}

void Tfm_Deska::actDatabaseTriggered() {
    const QString commandLine = ProgramCommand::parse(QCoreApplication::arguments()).database;
    chooseDatabase(this, db::DatabaseLocation::forThisProgram().database, m_access.database,
                   commandLine);
}
