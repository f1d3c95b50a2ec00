// Printing a company card on a real print queue: a print server of the
// test's own takes the job that the preview's Print command sends, its PDF
// printer driver writes the pages into a file, and pdftotext reads every
// page's card text back, Czech letters included.
#include "PrivateCupsServer.h"
#include "support/DataFixture.h"

#include "base/MessageService.h"
#include "print/CompanyCard.h"
#include "print/U_report.h"
#include "report/PreviewDialogs.h"
#include "report/ReportPreview.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

namespace {

/// The text of every page of `pdf`, as pdftotext reads it.
QStringList pdfPages(const QString &pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000)) {
        process.kill();
        return {};
    }
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast(); // the form feed after the last page
    return pages;
}

} // namespace

class TestCupsPrint : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateCupsServer> m_server;

  private slots:
    void initTestCase() {
        for (const char *tool : {"cupsd", "lpadmin", "lpstat", "pdftotext"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool), {"/usr/sbin", "/usr/bin"})
                    .isEmpty())
                QSKIP(
                    qPrintable(QStringLiteral("%1 is not installed (scripts/setup.sh installs it)")
                                   .arg(tool)));
        if (geteuid() != 0)
            QSKIP(
                "cupsd runs its filters as its own unprivileged user and must be started by root");
        m_server = std::make_unique<PrivateCupsServer>();
        if (!m_server->start())
            QSKIP(qPrintable(QStringLiteral("the private print server does not run here: ") +
                             m_server->why()));
        // Set before anything of Qt's printing asks for the server.
        qputenv("CUPS_SERVER", m_server->serverAddress().toLocal8Bit());
        QVERIFY(QPrinterInfo::availablePrinterNames().contains(PrivateCupsServer::queueName()));
        QCOMPARE(QPrinterInfo::defaultPrinterName(), PrivateCupsServer::queueName());
    }

    void cleanupTestCase() {
        if (m_server)
            m_server->stop();
    }

    void previewPrintsEveryPageOfTheCard() {
        DataFixture db;
        base::msg::Recorder messages;
        db.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA, ICO, OBEC_FS) "
                               "VALUES (1, 'Žluťoučký kůň s.r.o.', '12345678', 'Čáslav')"));
        for (int id = 1; id <= 40; ++id)
            db.exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, TITUL_PRED, JMENO, "
                                   "PRIJMENI, TITUL_ZA, OBEC, "
                                   "EMAIL1, KRAJ) VALUES (?, 1, 'Ing.', 'Řehoř', ?, 'CSc.', 'Ústí "
                                   "nad Labem', ?, ' ')"),
                    {id, QStringLiteral("Šťastný %1").arg(id, 2, 10, QLatin1Char('0')),
                     QStringLiteral("rehor%1@example.cz").arg(id)});
        db.openAll();
        QVERIFY(db.dm->tFIRMA.locate(QStringLiteral("ID"), {1}));

        // Nothing may wait for a person: a question would fail the test.
        QStringList dialogErrors;
        report::PreviewDialogs &dialogs = report::PreviewDialogs::current();
        const report::PreviewDialogs saved = dialogs;
        dialogs.saveFileName = [&](QWidget *, const QString &caption, const QString &) {
            dialogErrors << QStringLiteral("asked for a file: ") + caption;
            return QString();
        };
        dialogs.error = [&](QWidget *, const QString &message) { dialogErrors << message; };

        TfmReporty printForm;
        QList<QStringList> shownPages;
        QTimer::singleShot(0, [&] {
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *preview = qobject_cast<report::ReportPreview *>(top);
                    preview && preview->isVisible()) {
                    for (const report::PreparedPage &page : preview->report().pages) {
                        QStringList lines;
                        for (const report::PageLine &line : page.lines)
                            if (!line.text.trimmed().isEmpty())
                                lines << line.text.simplified();
                        shownPages << lines;
                    }
                    preview->findChild<QAction *>(QStringLiteral("print"))->trigger();
                    preview->close();
                }
        });
        print::buildCompanyCard(*db.dm, printForm, 1);
        dialogs = saved;
        QCOMPARE(dialogErrors, QStringList());
        QVERIFY(messages.messages.empty());
        QVERIFY2(shownPages.size() > 1, "the card should fill more than one page");

        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(m_server->outputFile()).size() > 0 && m_server->isIdle(),
                                 60000);
        const QStringList printed = pdfPages(m_server->outputFile());
        QCOMPARE(printed.size(), shownPages.size());
        for (int page = 0; page < printed.size(); ++page) {
            // Compatibility form: the typesetter's ligatures ("ﬁ") read as their letters.
            const QString text =
                printed[page].normalized(QString::NormalizationForm_KC).simplified();
            for (const QString &line : shownPages[page])
                QVERIFY2(
                    text.contains(line),
                    qPrintable(QStringLiteral("page %1 lacks \"%2\"").arg(page + 1).arg(line)));
        }
        QVERIFY(printed.first().contains(QStringLiteral("Žluťoučký kůň s.r.o.")));
        QVERIFY(printed.join(QString()).contains(QStringLiteral("Ing. Řehoř Šťastný 40, CSc.")));
    }
};

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
