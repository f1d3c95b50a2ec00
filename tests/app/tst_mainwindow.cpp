// The main window in-process: creation steps, toolbar, commands and the
// standard error report.
#include "support/DataFixture.h"
#include "support/TemporarySettings.h"

#include "app/U_deska.h"
#include "base/MessageService.h"
#include "forms/U_Firma.h"
#include "forms/U_Kontakt.h"
#include "ui/ErrorReport.h"
#include "ui/MessageBoxService.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<DataFixture> f;
    std::unique_ptr<base::msg::Recorder> recorder;

    std::unique_ptr<Tfm_Deska> window() {
        f->disconnect();
        return std::make_unique<Tfm_Deska>(*f->dm, f->base());
    }

    TemporarySettings m_settings;

  private slots:
    void initTestCase() { QVERIFY(m_settings.isValid()); }
    void init() {
        f = std::make_unique<DataFixture>();
        recorder = std::make_unique<base::msg::Recorder>();
    }
    void cleanup() {
        recorder.reset();
        f.reset();
    }

    void fullStopRule_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << QStringLiteral("Field 'X' not found")
                                << QStringLiteral("Field 'X' not found.");
        QTest::newRow("digit") << QStringLiteral("code 42") << QStringLiteral("code 42.");
        QTest::newRow("full stop") << QStringLiteral("Done.") << QStringLiteral("Done.");
        QTest::newRow("bang") << QStringLiteral("Stop!") << QStringLiteral("Stop!");
        QTest::newRow("parenthesis") << QStringLiteral("(x)") << QStringLiteral("(x)");
        QTest::newRow("comma") << QStringLiteral("a,") << QStringLiteral("a,");
        QTest::newRow("Czech letter") << QStringLiteral("Chyba ž") << QStringLiteral("Chyba ž.");
        QTest::newRow("empty") << QString() << QString();
    }
    void fullStopRule() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ui::errorReportText(message), shown);
    }

    void lineBreaksShowOnce() {
        QCOMPARE(ui::MessageBoxService::screenText(QStringLiteral("a\n\rb")),
                 QStringLiteral("a\nb"));
        QCOMPARE(ui::MessageBoxService::caption(base::msg::Kind::Warning),
                 QStringLiteral("Warning"));
        QCOMPARE(ui::MessageBoxService::caption(base::msg::Kind::Confirm),
                 QStringLiteral("Confirm"));
    }

    void guardedActionReportsAndGoesOn() {
        bool after = false;
        QVERIFY(!ui::guarded([] {
            throw db::DbError(QStringLiteral("tKONTAKT: Dataset not in edit or insert mode"));
        }));
        QVERIFY(ui::guarded([&] { after = true; }));
        QVERIFY(after);
        QCOMPARE(recorder->messages.size(), size_t(1));
        QCOMPARE(recorder->messages[0].kind, base::msg::Kind::ErrorReport);
        QCOMPARE(recorder->messages[0].text,
                 QStringLiteral("tKONTAKT: Dataset not in edit or insert mode."));
    }

    void toolbarAtStart() {
        auto w = window();
        QCOMPARE(w->windowTitle(), QStringLiteral("Vizitar"));
        QVERIFY(w->ui().sbFirma->isEnabled());
        QVERIFY(w->ui().sbKontakty->isEnabled());
        QVERIFY(!w->ui().sbTisk->isEnabled());
        QVERIFY(!w->ui().sbEmail->isEnabled());
        QVERIFY(!w->ui().SpeedButton1->isEnabled());
        QVERIFY(w->ui().sbInfo->isEnabled());
        for (QToolButton *b : {w->ui().sbFirma, w->ui().sbKontakty, w->ui().sbTisk, w->ui().sbEmail,
                               w->ui().SpeedButton1, w->ui().sbInfo}) {
            QCOMPARE(b->size(), QSize(40, 40));
            // The hint shows the command's shortcut; the name is the command.
            QVERIFY(!b->shortcut().isEmpty());
            QCOMPARE(b->toolTip(),
                     QStringLiteral("%1 (%2)").arg(
                         b->accessibleName(), b->shortcut().toString(QKeySequence::NativeText)));
        }
        QCOMPARE(w->ui().sbTisk->toolTip(), QStringLiteral("Tisková sestava (Ctrl+P)"));
        QCOMPARE(w->ui().Label2->buddy(), w->ui().Edit1);
        QCOMPARE(w->ui().Edit1->toolTip(),
                 QStringLiteral("Filtr dle: Jména,příjmení kontaktu či názvu firmy:"));
        QCOMPARE(w->ui().pFiltr->size(), QSize(233, 40));
    }

    void everyCommandStaysReachableAtEveryWidth_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("as narrow as it goes") << 100;
        QTest::newRow("the default") << 640;
        QTest::newRow("wide") << 1400;
    }
    void everyCommandStaysReachableAtEveryWidth() {
        QFETCH(int, width);
        auto w = window();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->resize(width, w->height());
        QTest::qWait(50);
        const QRect bar = w->ui().ToolBar1->rect();
        auto shown = [&](QWidget *item) {
            return item->isVisible() &&
                   bar.contains(QRect(item->mapTo(w->ui().ToolBar1, QPoint()), item->size()));
        };
        // The filter box is always there to type into.
        QVERIFY2(shown(w->ui().Edit1), qPrintable(QString::number(w->width())));
        // Whatever has no room is behind the overflow button, which opens.
        auto *overflow =
            w->ui().ToolBar1->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
        QVERIFY(overflow);
        if (overflow->isVisible()) {
            overflow->click();
            QTest::qWait(100);
            QVERIFY(overflow->isChecked());
        }
        for (QAction *action : w->ui().ToolBar1->actions())
            if (auto *button =
                    qobject_cast<QToolButton *>(w->ui().ToolBar1->widgetForAction(action)))
                QTRY_VERIFY2(button->isVisible(), qPrintable(button->objectName()));
    }

    void creationOpensTheDatabaseAndPlacesTheWindow() {
        QDir::setCurrent(QDir::tempPath());
        auto w = window();
        QCOMPARE(QDir::currentPath(), QDir(f->base()).canonicalPath());
        QVERIFY(f->dm->qHlavniDeska.isActive());
        QVERIFY(recorder->messages.empty());
        QCOMPARE(w->pos(), QPoint(0, 0));
        const int virtualHeight = QGuiApplication::primaryScreen()->virtualGeometry().height();
        QCOMPARE(w->frameGeometry().height(), virtualHeight - 30);
    }

    void printCommandRefusesACompanyThatIsGone() {
        auto w = window();
        w->selectedRowKind = QStringLiteral("1");
        w->selectedRowId = QStringLiteral("77");
        QVERIFY(ui::guarded([&] { w->sbTiskClick(); }));
        QCOMPARE(recorder->messages.size(), size_t(1));
        QCOMPARE(recorder->messages[0].kind, base::msg::Kind::Information);
    }

    void contactsCommandLeavesTheTableUnfiltered() {
        auto w = window();
        QVERIFY(ui::guarded([&] { w->sbKontaktyClick(); }));
        QVERIFY(!f->dm->tKONTAKT.isFiltered());
        QVERIFY(f->dm->tKONTAKT.filter().isEmpty());
    }

    void commandsOpenTheFormsOnTheRightRows() {
        f->exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Alfa')"));
        f->exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (2, 'Beta')"));
        f->exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, KRAJ) VALUES (1, 1, '***')"));
        f->exec(QStringLiteral(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI, KRAJ) VALUES (2, 2, 'Bílá', ' ')"));
        auto w = window();
        TFM_Kontakt contactForm(*f->dm, w.get());
        Tfm_Firma companyForm(*f->dm, contactForm, w.get());
        w->setWindows(&contactForm, &companyForm, nullptr, nullptr);

        // The contacts command hides placeholders while its form is open.
        int shownContacts = -1;
        QTimer::singleShot(0, &contactForm, [&] {
            shownContacts = f->dm->tKONTAKT.recordCount();
            contactForm.close();
        });
        QVERIFY(ui::guarded([&] { w->sbKontaktyClick(); }));
        QCOMPARE(shownContacts, 1);
        QVERIFY(!f->dm->tKONTAKT.isFiltered());

        // A double click on a company row opens the company form on that company.
        w->selectedRowKind = QStringLiteral("1");
        w->selectedRowId = QStringLiteral("2");
        QString shownCompany;
        QTimer::singleShot(0, &companyForm, [&] {
            shownCompany = companyForm.windowTitle();
            companyForm.close();
        });
        QVERIFY(ui::guarded([&] { w->gHlavniDeskaDblClick(); }));
        QCOMPARE(shownCompany, QStringLiteral("Firma: Beta"));

        // ... and on a contact row the contact form on that contact.
        w->selectedRowKind = QStringLiteral("2");
        w->selectedRowId = QStringLiteral("2");
        QString shownContact;
        QTimer::singleShot(0, &contactForm, [&] {
            shownContact = contactForm.windowTitle();
            contactForm.close();
        });
        QVERIFY(ui::guarded([&] { w->gHlavniDeskaDblClick(); }));
        QVERIFY2(shownContact.startsWith(QStringLiteral("Kontakt: Bílá")),
                 qPrintable(shownContact));
        QVERIFY(recorder->messages.empty());
    }

    void versionGateClosesTheWindow() {
        f->exec(QStringLiteral("UPDATE NASTAVENI SET VERZE_HLAVNI = 2"));
        auto w = window();
        w->show();
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(recorder->messages.size(), size_t(1));
        QCOMPARE(recorder->messages[0].kind, base::msg::Kind::Information);
        QCOMPARE(
            recorder->messages[0].text,
            QStringLiteral(
                "Aplikace není určena pro práci s touto verzi DB!\n\rAplikace bude ukončena."));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
