// Which database the program opens, and what its command line answers.
#include "app/Application.h"
#include "app/ProgramCommand.h"
#include "db/DatabaseLocation.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(db::DatabaseLocation::Kind)

class TestLocation : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString program() const { return m_dir.filePath(QStringLiteral("program")); }
    QString userData() const { return m_dir.filePath(QStringLiteral("data/Qorvel/Kontakty")); }

  private slots:
    void theFirstThatAppliesWins_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("besideProgram"); // "", "folder" or "file"
        QTest::addColumn<bool>("writable");
        QTest::addColumn<db::DatabaseLocation::Kind>("kind");
        using K = db::DatabaseLocation::Kind;
        QTest::newRow("chosen file wins over a portable folder") << "/srv/kontakty.fdb"
                                                                 << "folder" << true << K::Chosen;
        QTest::newRow("chosen connection string") << "server:/data/kontakty.fdb"
                                                  << "" << true << K::Chosen;
        QTest::newRow("writable Tabulky beside the program") << ""
                                                             << "folder" << true << K::Portable;
        QTest::newRow("read-only Tabulky beside the program") << ""
                                                              << "folder" << false << K::UserData;
        QTest::newRow("nothing beside the program") << ""
                                                    << "" << true << K::UserData;
        QTest::newRow("a file named Tabulky") << ""
                                              << "file" << true << K::UserData;
    }
    void theFirstThatAppliesWins() {
        QFETCH(QString, chosen);
        QFETCH(QString, besideProgram);
        QFETCH(bool, writable);
        QFETCH(db::DatabaseLocation::Kind, kind);
        QDir(program()).removeRecursively();
        QVERIFY(QDir().mkpath(program()));
        const QString tabulky = QDir(program()).filePath(QStringLiteral("Tabulky"));
        if (besideProgram == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(tabulky));
        if (besideProgram == QLatin1String("file")) {
            QFile file(tabulky);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QStringList asked;
        const db::DatabaseLocation location = db::DatabaseLocation::choose(
            chosen, program(), userData() + QLatin1Char('/'), [&](const QString &folder) {
                asked << folder;
                return writable;
            });
        QCOMPARE(location.kind, kind);
        switch (kind) {
        case db::DatabaseLocation::Kind::Chosen:
            QCOMPARE(location.database, chosen);
            QCOMPARE(location.baseDirectory, program());
            break;
        case db::DatabaseLocation::Kind::Portable:
            QCOMPARE(location.database, program() + QStringLiteral("/Tabulky/KONTAKTY.GDB"));
            QCOMPARE(location.baseDirectory, program());
            QCOMPARE(asked, QStringList{tabulky});
            break;
        case db::DatabaseLocation::Kind::UserData:
            QCOMPARE(location.database, userData() + QStringLiteral("/Tabulky/KONTAKTY.GDB"));
            QCOMPARE(location.baseDirectory, userData());
            break;
        }
    }

    void folderWithoutWritePermissionIsReadOnlyEvenForTheSuperuser() {
        const QString folder = m_dir.filePath(QStringLiteral("permissions"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(db::DatabaseLocation::isWritableFolder(folder));
        const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(folder, readOnly));
        const bool writable = db::DatabaseLocation::isWritableFolder(folder);
        QVERIFY(QFile::setPermissions(folder, readOnly | QFile::WriteOwner));
        QVERIFY(!writable);
        QVERIFY(!db::DatabaseLocation::isWritableFolder(m_dir.filePath(QStringLiteral("missing"))));
    }

    void programCarriesItsIconAndKeepsDataInItsOwnFolder() {
        app::Application::setIdentity(*qApp);
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("cz.qorvel.Vizitar"));
        const QIcon icon = QGuiApplication::windowIcon();
        QVERIFY(!icon.isNull());
        QVERIFY(!icon.pixmap(32, 32).isNull());
        QVERIFY(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                    .endsWith(QStringLiteral("/Qorvel/Kontakty")));
    }

    void versionNamesTheStampAndTheStructure() {
        for (const char *option : {"--version", "-v"}) {
            const app::ProgramCommand command =
                app::ProgramCommand::parse({QStringLiteral("vizitar"), QLatin1String(option)});
            QCOMPARE(command.action, app::ProgramCommand::Action::ShowVersion);
            QCOMPARE(command.text, QStringLiteral("vizitar 080204.1\ndatabase structure 1.1\n"));
        }
    }

    void helpListsTheOptions() {
        const app::ProgramCommand command =
            app::ProgramCommand::parse({QStringLiteral("vizitar"), QStringLiteral("--help")});
        QCOMPARE(command.action, app::ProgramCommand::Action::ShowHelp);
        for (const char *text : {"--help", "--version", "Usage: vizitar"})
            QVERIFY2(command.text.contains(QLatin1String(text)), qPrintable(command.text));
    }

    void wrongArgumentsAreAUsageError_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList{"--colour"} << "colour";
        QTest::newRow("a file name")
            << QStringList{"kontakty.gdb"} << "unexpected argument 'kontakty.gdb'";
    }
    void wrongArgumentsAreAUsageError() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const app::ProgramCommand command =
            app::ProgramCommand::parse(QStringList{"vizitar"} + arguments);
        QCOMPARE(command.action, app::ProgramCommand::Action::UsageError);
        QVERIFY2(command.text.contains(message), qPrintable(command.text));
        QCOMPARE(app::ProgramCommand::parse({QStringLiteral("vizitar")}).action,
                 app::ProgramCommand::Action::Run);
    }
};

QTEST_MAIN(TestLocation)
#include "tst_location.moc"
