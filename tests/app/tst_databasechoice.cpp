// Choosing the database from the main window: the dialog shows the setting,
// refuses what cannot be opened with a message and the typing kept, and
// keeps a choice in the setting the next start reads.
#include "ProgramFixture.h"
#include "app/DatabaseDialog.h"
#include "db/DatabaseLocation.h"
#include "grid/DataGrid.h"
#include "grid/GridMenu.h"
#include "support/TemporarySettings.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace {

/// Answers the dialog the command brings up with `answer`, then confirms it.
void answerDialog(const std::function<void(app::DatabaseDialog &)> &answer) {
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<app::DatabaseDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(*dialog);
        dialog->accept();
        if (dialog->isVisible())
            dialog->reject();
    });
}

QString setting() {
    return QSettings().value(QStringLiteral("Database")).toString();
}

} // namespace

class TestDatabaseChoice : public QObject {
    Q_OBJECT

    TemporarySettings m_settings;
    QTemporaryDir m_dir;

  private slots:
    void initTestCase() { QVERIFY(m_settings.isValid() && m_dir.isValid()); }
    void init() { QSettings().remove(QStringLiteral("Database")); }

    void theDialogShowsTheSetting_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<QStringList>("fields"); // file, server, path
        QTest::newRow("default") << QString() << "rbDefault" << QStringList{"", "", ""};
        QTest::newRow("file") << "/data/k.fdb"
                              << "rbFile" << QStringList{"/data/k.fdb", "", ""};
        QTest::newRow("server") << "srv/3051:/var/k.fdb"
                                << "rbServer" << QStringList{"", "srv/3051", "/var/k.fdb"};
        QTest::newRow("IPv6 alias") << "[::1]:kontakty"
                                    << "rbServer" << QStringList{"", "[::1]", "kontakty"};
    }
    void theDialogShowsTheSetting() {
        QFETCH(QString, chosen);
        QFETCH(QString, checked);
        QFETCH(QStringList, fields);
        app::DatabaseDialog dialog(chosen, QStringLiteral("/opt/Tabulky/KONTAKTY.GDB"),
                                   QStringLiteral("/x.fdb"));
        QVERIFY(dialog.findChild<QRadioButton *>(checked)->isChecked());
        QCOMPARE(
            (QStringList{dialog.eSoubor->text(), dialog.eServer->text(), dialog.eCesta->text()}),
            fields);
        // Only the fields of the choice take input.
        QCOMPARE(dialog.eSoubor->isEnabled(), dialog.rbFile->isChecked());
        QCOMPARE(dialog.eCesta->isEnabled(), dialog.rbServer->isChecked());
        QCOMPARE(dialog.problem(), chosen.startsWith(QLatin1Char('/'))
                                       ? QStringLiteral("Soubor /data/k.fdb neexistuje.")
                                       : QString());
        QCOMPARE(dialog.target(), chosen);
    }

    void whatCannotBeOpenedIsRefusedAndTheTypingKept_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("why");
        QTest::newRow("no file") << ""
                                 << ""
                                 << ""
                                 << "Zadejte soubor databáze.";
        QTest::newRow("missing file") << "nikde/k.fdb"
                                      << ""
                                      << ""
                                      << "neexistuje";
        QTest::newRow("a folder") << "."
                                  << ""
                                  << ""
                                  << "není soubor";
        QTest::newRow("server string as a file") << "srv:/k.fdb"
                                                 << ""
                                                 << ""
                                                 << "adresa databáze na serveru";
        QTest::newRow("no server") << QString() << ""
                                   << "/k.fdb"
                                   << "Zadejte server";
        QTest::newRow("no path") << QString() << "srv"
                                 << ""
                                 << "Zadejte cestu";
        QTest::newRow("colon in the server") << QString() << "srv:3050"
                                             << "/k.fdb"
                                             << "není jméno serveru";
        QTest::newRow("blank in the server") << QString() << "my srv"
                                             << "/k.fdb"
                                             << "není jméno serveru";
    }
    void whatCannotBeOpenedIsRefusedAndTheTypingKept() {
        QFETCH(QString, file);
        QFETCH(QString, server);
        QFETCH(QString, path);
        QFETCH(QString, why);
        base::msg::Recorder messages;
        app::DatabaseDialog dialog{QString(), QString(), QString()};
        (file.isNull() ? dialog.rbServer : dialog.rbFile)->setChecked(true);
        dialog.eSoubor->setText(file);
        dialog.eServer->setText(server);
        dialog.eCesta->setText(path);
        dialog.show();
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(messages.messages.size(), size_t(1));
        QVERIFY2(messages.messages[0].text.contains(why), qPrintable(messages.messages[0].text));
        QCOMPARE(
            (QStringList{dialog.eSoubor->text(), dialog.eServer->text(), dialog.eCesta->text()}),
            (QStringList{file, server, path}));
    }

    void aChoiceMadeByItsKeyTakesTheTyping() {
        app::DatabaseDialog dialog{QString(), QString(), QString()};
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(dialog.windowHandle(), Qt::Key_R, Qt::AltModifier);
        // A mnemonic clicks its button after a short press animation.
        QTRY_VERIFY(dialog.rbServer->isChecked());
        QVERIFY(dialog.eServer->hasFocus());
        QTest::keyClicks(dialog.eServer, QStringLiteral("kancelar"));
        QTest::keyClick(dialog.windowHandle(), Qt::Key_C, Qt::AltModifier);
        QTest::keyClicks(dialog.eCesta, QStringLiteral("kontakty"));
        QCOMPARE(dialog.target(), QStringLiteral("kancelar:kontakty"));
        QTest::keyClick(dialog.windowHandle(), Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(dialog.rbFile->isChecked());
        QVERIFY(dialog.eSoubor->hasFocus());
    }

    /// Through the main window's command: the choice lands in the setting
    /// (which the next start reads), the default removes it.
    void theCommandKeepsTheChoiceForTheNextStart() {
        ProgramFixture program([](DataFixture &) {});
        const QString file = m_dir.filePath(QStringLiteral("jina.fdb"));
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        answerDialog([&](app::DatabaseDialog &d) {
            d.rbFile->setChecked(true);
            d.eSoubor->setText(file);
        });
        program.deska->ui().actDatabase->trigger();
        QCOMPARE(setting(), file);
        QCOMPARE(db::DatabaseLocation::forThisProgram(setting()).database, file);
        QCOMPARE(program.messages.messages.size(), size_t(1));
        QVERIFY2(program.messages.messages[0].text.contains(
                     QStringLiteral("Při příštím spuštění program otevře "
                                    "databázi %1")
                         .arg(file)),
                 qPrintable(program.messages.messages[0].text));

        answerDialog([](app::DatabaseDialog &d) {
            d.rbServer->setChecked(true);
            d.eServer->setText(QStringLiteral(" kancelar/3051 "));
            d.eCesta->setText(QStringLiteral("kontakty"));
        });
        program.deska->ui().actDatabase->trigger();
        QCOMPARE(setting(), QStringLiteral("kancelar/3051:kontakty"));

        answerDialog([](app::DatabaseDialog &d) { d.rbDefault->setChecked(true); });
        program.deska->ui().actDatabase->trigger();
        QVERIFY(!QSettings().contains(QStringLiteral("Database")));

        // Cancelled, nothing changes.
        QSettings().setValue(QStringLiteral("Database"), file);
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        program.deska->ui().actDatabase->trigger();
        QCOMPARE(setting(), file);
        QCOMPARE(program.messages.messages.size(), size_t(3));
    }

    void theCommandIsOnTheToolbarAndInTheBoardMenu() {
        ProgramFixture program([](DataFixture &) {});
        Tfm_Deska &deska = *program.deska;
        QCOMPARE(deska.ui().sbDatabaze->accessibleName(), QStringLiteral("Databáze"));
        QVERIFY(deska.ui().sbDatabaze->toolTip().contains(QStringLiteral("Ctrl+Shift+D")));
        QVERIFY(deska.actions().contains(deska.ui().actDatabase));
        QVERIFY(
            deska.ui().gHlavniDeska->menu()->menu()->actions().contains(deska.ui().actDatabase));
    }
};

QTEST_MAIN(TestDatabaseChoice)
#include "tst_databasechoice.moc"
