#pragma once

#include "db/DatabaseTarget.h"
#include "forms/DbNavigator.h"
#include "forms/U_Firma.h"
#include "forms/U_Kontakt.h"
#include "support/DataFixture.h"
#include "support/TestServer.h"

#include <QTest>
#include <QToolButton>
#include <QWindow>

/// A new database `fileName` on `server`: company 1 "Alfa" with its contact
/// person Jana Malá (ID 1), company 2 "Beta" with only its placeholder
/// (ID 2). Returns the test's own connection to it. Throws db::DbError.
inline std::unique_ptr<db::DbConnection> officeDatabase(const TestServer &server,
                                                        const QString &fileName) {
    const QString target = server.target(fileName);
    initdb::BuildOptions options;
    options.forcedWrites = false;
    initdb::buildDatabase(target, options, {server.user(), server.password()});
    auto own = std::make_unique<db::DbConnection>();
    own->setDatabase(target);
    own->setUser(server.user());
    own->setPassword(server.password());
    own->executeCommitted("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Alfa')", {});
    own->executeCommitted("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (2, 'Beta')", {});
    own->executeCommitted("INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, JMENO, PRIJMENI, KRAJ) "
                          "VALUES (1, 1, 0, 'Jana', ?, ' ')",
                          {QStringLiteral("Malá")});
    own->executeCommitted(
        "INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) VALUES (2, 2, 0, '***')", {});
    return own;
}

/// One user's program on a server database: the data module and the
/// company and contact forms, as a program of its own would have them.
struct Desk {
    TDM dm;
    std::unique_ptr<TFM_Kontakt> contactForm;
    std::unique_ptr<Tfm_Firma> form;

    Desk(const TestServer &server, const QString &target) {
        dm.ConnectAndOpenAll(target, QString(), server.password(), db::settings::kProtocol,
                             server.user());
        contactForm = std::make_unique<TFM_Kontakt>(dm);
        form = std::make_unique<Tfm_Firma>(dm, *contactForm);
    }
    /// Shows `window` (the company form by default) as the active one.
    bool show(QWidget *window = nullptr) {
        QWidget *w = window ? window : form.get();
        w->show();
        w->activateWindow();
        return QTest::qWaitForWindowActive(w);
    }
    /// Presses `key` in `window` (the company form by default).
    void press(Qt::Key key, QWidget *window = nullptr) {
        QTest::keyClick((window ? window : form.get())->windowHandle(), key);
    }
    bool goTo(int companyId) {
        form->ui().DBNavi->button(forms::DbNavigator::First)->click();
        while (dm.tFIRMA.fieldByName(QStringLiteral("ID"))->asInteger() != companyId) {
            const qint64 before = dm.tFIRMA.fieldByName(QStringLiteral("ID"))->asInteger();
            form->ui().DBNavi->button(forms::DbNavigator::Next)->click();
            if (dm.tFIRMA.fieldByName(QStringLiteral("ID"))->asInteger() == before)
                return false;
        }
        return true;
    }
    /// The board's rows for `pattern`, as a keystroke in the search box asks.
    int boardRowsFor(const QString &pattern) {
        dataset::QueryDataset &board = dm.qHlavniDeska;
        board.close();
        for (const char *name : {"k1", "k2", "k3", "f1", "f2", "f3"})
            board.paramByName(QString::fromLatin1(name))->setAsString(pattern);
        board.open();
        return board.recordCount();
    }
};
