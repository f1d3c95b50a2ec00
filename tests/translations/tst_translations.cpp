// Qt's own dialogs speak Czech on a Czech system, while the program's own
// fixed texts (message box captions and buttons, the preview's controls)
// stay exactly as they are.
#include "report/ReportPreview.h"
#include "ui/MessageBoxService.h"
#include "ui/QtTranslations.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

class TestTranslations : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QCOMPARE(QLocale::system().name(), QStringLiteral("cs_CZ"));
        QVERIFY(ui::installQtTranslations(*qApp));
    }

    void qtDialogsSpeakCzech() {
        QFileDialog files;
        files.setOption(QFileDialog::DontUseNativeDialog);
        QLabel *fileName = files.findChild<QLabel *>(QStringLiteral("fileNameLabel"));
        QVERIFY(fileName);
        QCOMPARE(fileName->text(), QStringLiteral("Název &souboru:"));
        QCOMPARE(files.findChild<QLabel *>(QStringLiteral("lookInLabel"))->text(),
                 QStringLiteral("Hledat v:"));

        QPrinter printer;
        QPrintDialog print(&printer);
        QCOMPARE(print.windowTitle(), QStringLiteral("Tisk"));
        QPageSetupDialog pageSetup(&printer);
        QCOMPARE(pageSetup.windowTitle(), QStringLiteral("Nastavení strany"));
    }

    void messageBoxesKeepTheirTexts_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("question");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("warning") << int(base::msg::Kind::Warning) << false << "Warning"
                                 << QStringList{"OK"};
        QTest::newRow("error") << int(base::msg::Kind::Error) << false << "Error"
                               << QStringList{"OK"};
        QTest::newRow("information")
            << int(base::msg::Kind::Information) << false << "Information" << QStringList{"OK"};
        QTest::newRow("confirm") << int(base::msg::Kind::Confirm) << true << "Confirm"
                                 << QStringList{"&Yes", "&No"};
    }
    void messageBoxesKeepTheirTexts() {
        QFETCH(int, kind);
        QFETCH(bool, question);
        QFETCH(QString, caption);
        QFETCH(QStringList, buttons);
        QString shownCaption;
        QStringList shownButtons;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shownCaption = box->windowTitle();
            for (QAbstractButton *b : box->buttons())
                shownButtons << b->text();
            box->buttons().last()->click();
        });
        ui::MessageBoxService().show(base::msg::Kind(kind), QStringLiteral("Záznam byl smazán."),
                                     question ? base::msg::Buttons::YesNo : base::msg::Buttons::Ok);
        QCOMPARE(shownCaption, caption);
        shownButtons.sort();
        buttons.sort();
        QCOMPARE(shownButtons, buttons);
    }

    void previewKeepsItsTexts() {
        report::PreparedReport report;
        report.pageSizePt = QSizeF(595, 842);
        report.pages.append(report::PreparedPage());
        report::ReportPreview preview(report);
        QCOMPARE(preview.windowTitle(), QStringLiteral("Print preview"));
        QStringList hints;
        for (const char *name : {"zoomToFit", "zoomToWidth", "zoom100", "firstPage", "previousPage",
                                 "nextPage", "lastPage", "goToPage", "search", "printerSetup",
                                 "print", "saveReport", "loadReport", "closePreview"})
            hints << preview.findChild<QAction *>(QString::fromLatin1(name))->toolTip();
        QCOMPARE(hints, (QStringList{"Zoom to fit", "Zoom to width", "100%", "First page",
                                     "Previous page", "Next page", "Last page", "Go to page",
                                     "Search for text", "Printer setup", "Print", "Save Report",
                                     "Load Report", "Close preview"}));
        QCOMPARE(preview.findChild<QAction *>(QStringLiteral("closePreview"))->text(),
                 QStringLiteral("&Close"));
        QCOMPARE(preview.sidePane()->tabText(0), QStringLiteral("Thumbnails"));
        QCOMPARE(preview.sidePane()->tabText(1), QStringLiteral("Search result"));
        QCOMPARE(preview.pageText(), QStringLiteral("Page 1 of 1"));
    }
};

// The language comes from the environment, as on a user's desktop; it must
// be set before the application reads it.
int main(int argc, char **argv) {
    qputenv("LC_ALL", "cs_CZ.UTF-8");
    qputenv("LANG", "cs_CZ.UTF-8");
    QApplication app(argc, argv);
    TestTranslations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
