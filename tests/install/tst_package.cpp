// The Debian package made by CPack from the build tree: its files and the
// packages it depends on.
#include "RunProcess.h"

#include <QRegularExpression>
#include <QSet>

namespace {

QStringList lines(const QString &text) {
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

/// The installed packages that hold a file whose path ends in "/`name`".
QSet<QString> packagesHolding(const QString &name) {
    QSet<QString> packages;
    const ProcessRun run =
        runProcess(QStringLiteral("dpkg"), {QStringLiteral("-S"), QStringLiteral("*/") + name});
    for (const QString &line : lines(run.out))
        if (line.section(QStringLiteral(": "), 1).endsWith(QLatin1Char('/') + name))
            packages << line.section(QLatin1Char(':'), 0, 0);
    return packages;
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_deb;
    QSet<QString> m_depends;

    QString field(const QString &name) {
        const ProcessRun run =
            runProcess(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_deb, name});
        return run.out.trimmed();
    }

  private slots:
    void initTestCase() {
        const ProcessRun run = runProcess(
            QStringLiteral(CPACK_COMMAND),
            {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
             QStringLiteral(BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"), m_dir.path()});
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.out + run.err));
        const QStringList debs = QDir(m_dir.path()).entryList({QStringLiteral("*.deb")});
        QCOMPARE(debs.size(), 1);
        m_deb = m_dir.filePath(debs.first());
        for (const QString &entry : field(QStringLiteral("Depends")).split(QLatin1Char(',')))
            m_depends << entry.trimmed().section(QLatin1Char(' '), 0, 0);
    }

    void controlNamesThePackage() {
        const QString architecture =
            runProcess(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")})
                .out.trimmed();
        QCOMPARE(QFileInfo(m_deb).fileName(),
                 QStringLiteral("vizitar_%1-1_%2.deb")
                     .arg(QStringLiteral(PROJECT_VERSION), architecture));
        QCOMPARE(field(QStringLiteral("Package")), QStringLiteral("vizitar"));
        QCOMPARE(field(QStringLiteral("Version")), QStringLiteral(PROJECT_VERSION "-1"));
        QVERIFY(!field(QStringLiteral("Maintainer")).isEmpty());
        QVERIFY(!field(QStringLiteral("Description")).isEmpty());
    }

    void holdsTheProgramsAndTheirDesktopFilesOnly() {
        const ProcessRun run =
            runProcess(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), m_deb});
        QVERIFY(run.finished && run.exitCode == 0);
        QSet<QString> files;
        for (const QString &line : lines(run.out))
            if (!line.startsWith(QLatin1Char('d')))
                files << line.section(QLatin1Char(' '), -1);
        QSet<QString> expected{
            QStringLiteral("./usr/bin/vizitar"),
            QStringLiteral("./usr/bin/kontakty-initdb"),
            QStringLiteral("./usr/share/applications/cz.qorvel.Vizitar.desktop"),
            QStringLiteral("./usr/share/metainfo/cz.qorvel.Vizitar.metainfo.xml"),
            QStringLiteral("./usr/share/icons/hicolor/scalable/apps/cz.qorvel.Vizitar.svg"),
            QStringLiteral("./usr/share/man/man1/vizitar.1.gz"),
            QStringLiteral("./usr/share/man/man1/kontakty-initdb.1.gz"),
            QStringLiteral("./usr/share/doc/vizitar/copyright"),
            QStringLiteral("./usr/share/doc/vizitar/changelog.Debian.gz")};
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            expected << QStringLiteral("./usr/share/icons/hicolor/%1x%1/apps/cz.qorvel.Vizitar.png")
                            .arg(size);
        QCOMPARE(files, expected);
    }

    void dependsOnEveryPackageTheProgramsLoad() {
        const QString root = m_dir.filePath(QStringLiteral("root"));
        QCOMPARE(
            runProcess(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, root}).exitCode,
            0);
        // Libraries the programs are linked with ...
        QStringList loaded;
        static const QRegularExpression needed(QStringLiteral("\\(NEEDED\\).*\\[(.+)\\]"));
        for (const char *program : {"/usr/bin/vizitar", "/usr/bin/kontakty-initdb"}) {
            const QString path = root + QLatin1String(program);
            const ProcessRun ldd = runProcess(QStringLiteral("ldd"), {path});
            QVERIFY2(ldd.exitCode == 0 && !ldd.out.contains(QStringLiteral("not found")),
                     qPrintable(ldd.out));
            const ProcessRun readelf =
                runProcess(QStringLiteral("readelf"), {QStringLiteral("-d"), path});
            for (const QString &line : lines(readelf.out))
                if (const auto match = needed.match(line); match.hasMatch())
                    loaded << match.captured(1);
        }
        QVERIFY2(loaded.contains(QStringLiteral("libQt6Widgets.so.6")),
                 qPrintable(loaded.join(QLatin1Char(' '))));
        // ... and those loaded at run time: the Firebird client and its
        // embedded engine, the image formats of photos and glyphs, the
        // desktop's window system.
        loaded << QStringLiteral("libfbclient.so.2") << QStringLiteral("plugins/libEngine12.so")
               << QStringLiteral("imageformats/libqjpeg.so")
               << QStringLiteral("imageformats/libqsvg.so")
               << QStringLiteral("platforms/libqxcb.so");
        for (const QString &library : loaded) {
            const QSet<QString> holders = packagesHolding(library);
            QVERIFY2(!holders.isEmpty(), qPrintable(library));
            QVERIFY2(holders.intersects(m_depends),
                     qPrintable(
                         QStringLiteral("%1 comes from %2, which Depends does not name")
                             .arg(library, QStringList(holders.values()).join(QLatin1Char('/')))));
        }
    }

    void followsDebianPolicy() {
        // lintian's errors are policy violations; its warnings are listed,
        // each with its reason, in the README.
        const ProcessRun run =
            runProcess(QStringLiteral("lintian"),
                       {QStringLiteral("--fail-on"), QStringLiteral("error"),
                        QStringLiteral("--tag-display-limit"), QStringLiteral("0"), m_deb},
                       QProcessEnvironment::systemEnvironment(), QString(), 240000);
        QVERIFY2(run.finished, "lintian did not finish (scripts/setup.sh installs it)");
        QVERIFY2(run.exitCode == 0 && !run.out.contains(QStringLiteral("E: ")),
                 qPrintable(run.out + run.err));
        for (const QString &line : lines(run.out))
            if (line.startsWith(QStringLiteral("W: ")))
                QVERIFY2(line.contains(QStringLiteral("initial-upload-closes-no-bugs")),
                         qPrintable(line));
    }

    void aptCanInstallIt() {
        const ProcessRun run =
            runProcess(QStringLiteral("apt-get"),
                       {QStringLiteral("install"), QStringLiteral("--simulate"), m_deb});
        QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.out + run.err));
        QVERIFY2(run.out.contains(QStringLiteral("Inst vizitar")) ||
                     run.out.contains(QStringLiteral("vizitar is already")),
                 qPrintable(run.out));
    }
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
