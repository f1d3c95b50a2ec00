// Export and import from the main window: the toolbar buttons and the
// board's menu, the three export scopes, the preview and its ticks, on a
// real database and real widgets.
#include "support/DataFixture.h"
#include "support/TemporarySettings.h"

#include "app/ContactTransfer.h"
#include "app/ShutdownSignals.h"
#include "app/U_deska.h"
#include "base/MessageService.h"
#include "forms/ImportPreview.h"
#include "grid/DataGrid.h"
#include "grid/GridMenu.h"

#include <QAccessible>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <csignal>

#include <sys/stat.h>

namespace {

QByteArray fileBytes(const QString &name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

io::ImportPlan planOf(std::initializer_list<std::pair<const char *, const char *>> people,
                      const io::ExistingData &existing = {}) {
    QList<io::Entry> entries;
    for (const auto &[surname, company] : people) {
        io::Entry e;
        e.contact[QStringLiteral("PRIJMENI")] = QString::fromUtf8(surname);
        e.contact[QStringLiteral("EMAIL1")] =
            QString::fromUtf8(surname).toLower() + QStringLiteral("@example.cz");
        if (*company)
            e.company[QStringLiteral("NAZEV_FIRMA")] = QString::fromUtf8(company);
        entries << e;
    }
    return io::planImport(entries, existing);
}

} // namespace

class TestTransfer : public QObject {
    Q_OBJECT

    TemporarySettings m_settings;
    QTemporaryDir m_dir;
    std::unique_ptr<DataFixture> f;
    std::unique_ptr<base::msg::Recorder> recorder;
    std::unique_ptr<Tfm_Deska> w;
    QString m_exportName;
    io::FileFormat m_exportFormat = io::FileFormat::VCard4;
    QString m_importName;
    std::optional<io::ImportPlan> m_shownPlan;
    bool m_acceptPreview = true;

    QStringList exportedSurnames() {
        const io::DecodedFile file = io::decodeFile(fileBytes(m_exportName));
        QStringList names;
        for (const io::Entry &e : file.entries)
            names << (e.companyOnly ? QStringLiteral("[") + e.companyName() + QStringLiteral("]")
                                    : e.contact.value(QStringLiteral("PRIJMENI")));
        return names;
    }

  private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        app::TransferDialogs::current() = app::TransferDialogs{
            [this](QWidget *) {
                return std::optional(app::TransferDialogs::Target{m_exportName, m_exportFormat});
            },
            [this](QWidget *) { return m_importName; },
            [this](QWidget *, const io::ImportPlan &plan) {
                m_shownPlan = plan;
                return m_acceptPreview ? std::optional(plan) : std::nullopt;
            }};
    }
    void init() {
        f = std::make_unique<DataFixture>();
        f->exec(u"INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Alfa')"_qs);
        f->exec(u"INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (2, 'Beta')"_qs);
        f->exec(
            u"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ, JMENO, PRIJMENI) VALUES (1, 1, 0, ' ', 'Jan', 'Adámek')"_qs);
        f->exec(
            u"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ, JMENO, PRIJMENI) VALUES (2, 1, 0, ' ', 'Eva', 'Zelená')"_qs);
        f->exec(
            u"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ, JMENO, PRIJMENI) VALUES (3, 2, 0, ' ', 'Petr', 'Bureš')"_qs);
        f->disconnect();
        recorder = std::make_unique<base::msg::Recorder>();
        w = std::make_unique<Tfm_Deska>(*f->dm, f->base());
        m_exportName = m_dir.filePath(QStringLiteral("export.vcf"));
        QFile::remove(m_exportName);
        m_shownPlan.reset();
        m_acceptPreview = true;
    }
    void cleanup() {
        w.reset();
        recorder.reset();
        f.reset();
    }

    void commandsSitAfterTheOriginalToolbarItems() {
        const QList<QAction *> actions = w->ui().ToolBar1->actions();
        auto position = [&](QWidget *button) {
            for (int i = 0; i < actions.size(); ++i)
                if (w->ui().ToolBar1->widgetForAction(actions[i]) == button)
                    return i;
            return -1;
        };
        QVERIFY(position(w->ui().sbInfo) >= 0);
        QVERIFY(position(w->ui().sbExport) > position(w->ui().sbInfo));
        QCOMPARE(position(w->ui().sbImport), position(w->ui().sbExport) + 1);
        QCOMPARE(w->ui().sbExport->accessibleName(), u"Export kontaktů"_qs);
        QCOMPARE(w->ui().sbExport->toolTip(), u"Export kontaktů (Ctrl+Shift+E)"_qs);
        QCOMPARE(w->ui().sbImport->toolTip(), u"Import kontaktů (Ctrl+I)"_qs);
        QCOMPARE(w->ui().sbImport->accessibleName(), u"Import kontaktů"_qs);
        QCOMPARE(w->ui().sbExport->menu()->actions(),
                 (QList<QAction *>{w->ui().actExportAll, w->ui().actExportCompany,
                                   w->ui().actExportShown}));
        // The board's menu offers the same commands.
        const QList<QAction *> board = w->ui().gHlavniDeska->menu()->menu()->actions();
        QVERIFY(board.contains(w->ui().sbExport->menu()->menuAction()));
        QVERIFY(board.contains(w->ui().actImport));
        // Both reachable from the keyboard: Ctrl+Shift+E opens the export choices.
        QCOMPARE(w->ui().actImport->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")));
        QAction *openExport = w->findChild<QAction *>(QStringLiteral("actOpenExportMenu"));
        QVERIFY(openExport && w->actions().contains(openExport));
        QCOMPARE(openExport->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+E")));
    }

    void exportScopes() {
        w->ui().actExportAll->trigger();
        QCOMPARE(exportedSurnames(), (QStringList{u"Adámek"_qs, u"Zelená"_qs, u"Bureš"_qs}));
        QCOMPARE(recorder->messages.back().kind, base::msg::Kind::Information);
        QCOMPARE(recorder->messages.back().text,
                 u"Do souboru %1 bylo exportováno záznamů: 3."_qs.arg(m_exportName));

        // The company of the board's current row, whether a company or a contact line.
        dataset::QueryDataset &board = f->dm->qHlavniDeska;
        QVERIFY(board.locate(QStringLiteral("ID"), {3}));
        w->ui().actExportCompany->trigger();
        QCOMPARE(exportedSurnames(), QStringList{u"Bureš"_qs});

        // What the board shows for a typed text.
        w->ui().Edit1->setText(QStringLiteral("zel"));
        w->ui().actExportShown->trigger();
        QCOMPARE(exportedSurnames(), QStringList{u"Zelená"_qs});
        QCOMPARE(recorder->messages.size(), size_t(3));
    }

    void exportOfTheCompanyNeedsABoardRow() {
        w->ui().Edit1->setText(QStringLiteral("nikdo takový"));
        w->ui().actExportCompany->trigger();
        QCOMPARE(recorder->messages.size(), size_t(1));
        QCOMPARE(recorder->messages[0].text,
                 u"Nejdříve na desce vyberte firmu nebo její kontakt."_qs);
        QVERIFY(!QFile::exists(m_exportName));
    }

    void exportIntoAnUnwritablePlaceIsReported() {
        m_exportName = QStringLiteral("/nonexistent/folder/k.vcf");
        w->ui().actExportAll->trigger();
        QCOMPARE(recorder->messages.size(), size_t(1));
        QCOMPARE(recorder->messages[0].kind, base::msg::Kind::Error);
        QVERIFY(recorder->messages[0].text.startsWith(
            u"Soubor /nonexistent/folder/k.vcf nelze zapsat: "_qs));
    }

    void importShowsThePlanWritesAndRefreshesTheBoard() {
        m_importName = m_dir.filePath(QStringLiteral("in.csv"));
        QFile file(m_importName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            u"Jméno,Příjmení,Firma,E-mail\r\nOta,Nový,ALFA,ota@alfa.cz\r\nIva,Sama,,iva@x.cz\r\n"_qs
                .toUtf8());
        file.close();
        const int boardRows = f->dm->qHlavniDeska.recordCount();
        w->ui().sbImport->click();
        QVERIFY(m_shownPlan.has_value());
        QCOMPARE(m_shownPlan->contacts.size(), 2);
        QCOMPARE(m_shownPlan->companies[m_shownPlan->contacts[0].company].existingId,
                 1); // "ALFA" is Alfa
        QCOMPARE(m_shownPlan->companies[m_shownPlan->contacts[1].company].name, u"Bez firmy"_qs);
        QCOMPARE(recorder->messages.back().text, u"Importováno nových firem: 1, kontaktů: 2."_qs);
        // Two contact lines and the new company's line.
        QCOMPARE(f->dm->qHlavniDeska.recordCount(), boardRows + 3);
        QCOMPARE(f->count(QStringLiteral("KONTAKT")), 5);
    }

    void cancelledPreviewAndDamagedFileWriteNothing() {
        m_importName = m_dir.filePath(QStringLiteral("in.vcf"));
        QFile file(m_importName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nov\xC3\xA1;Ema\r\nEND:VCARD\r\n");
        file.close();
        m_acceptPreview = false;
        w->ui().actImport->trigger();
        QVERIFY(m_shownPlan.has_value());
        QVERIFY(recorder->messages.empty());

        QVERIFY(file.open(QIODevice::Append));
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nPHOTO;ENCODING=b:%%%\r\n");
        file.close();
        m_shownPlan.reset();
        m_acceptPreview = true;
        w->ui().actImport->trigger();
        QVERIFY(!m_shownPlan.has_value());
        QCOMPARE(recorder->messages.size(), size_t(1));
        QCOMPARE(recorder->messages[0].kind, base::msg::Kind::Error);
        QVERIFY(recorder->messages[0].text.startsWith(
            u"Soubor %1 je poškozený, nic nebylo zapsáno:\nřádek 5: vizitka nemá konec"_qs.arg(
                m_importName)));
        QCOMPARE(f->count(QStringLiteral("KONTAKT")), 3);

        // A pipe in the file's place is refused unread: reading it would block.
        QVERIFY(file.remove());
        QCOMPARE(::mkfifo(QFile::encodeName(m_importName).constData(), 0600), 0);
        recorder->messages.clear();
        w->ui().actImport->trigger();
        QCOMPARE(recorder->messages.size(), size_t(1));
        QCOMPARE(recorder->messages[0].text,
                 u"Soubor %1 nelze přečíst: není to obyčejný soubor"_qs.arg(m_importName));
        QVERIFY(QFile::remove(m_importName));

        // A file with nothing to import is said so, without a preview.
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nN:\xE2\x98\xBA;\r\nEND:VCARD\r\n");
        file.close();
        recorder->messages.clear();
        w->ui().actImport->trigger();
        QVERIFY(!m_shownPlan.has_value());
        QCOMPARE(recorder->messages.size(), size_t(1));
        QCOMPARE(recorder->messages[0].text,
                 u"Ze souboru %1 nelze importovat nic, nic nebylo zapsáno:\n☺: Příjmení: „☺“ "
                 "vynecháno; po převodu do kódování Windows-1250 by zůstal prázdný název"_qs.arg(
                     m_importName));
        QCOMPARE(f->count(QStringLiteral("KONTAKT")), 3);
    }

    // Cancel in the progress window stops the import (while it reads and
    // plans, and while it writes) and the export; the database and the
    // target file stay as they were.
    void cancelStopsAndWritesNothing() {
        m_importName = m_dir.filePath(QStringLiteral("many.vcf"));
        QFile file(m_importName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 300; ++i)
            file.write(
                QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Mnohý%1;Jan\r\nEND:VCARD\r\n")
                    .arg(i)
                    .toUtf8());
        file.close();
        const int before = f->count(QStringLiteral("KONTAKT"));
        QTimer canceller; // presses Cancel as soon as that progress window is there
        QString cancelIn; // its label
        QStringList cancelled;
        connect(&canceller, &QTimer::timeout, this, [&] {
            if (auto *progress = w->findChild<QProgressDialog *>(QStringLiteral("ProgressWindow"));
                progress && !progress->wasCanceled() && progress->labelText() == cancelIn) {
                cancelled << progress->windowTitle();
                progress->cancel();
            }
        });
        canceller.start(0);
        for (const QString &label :
             {u"Čtu soubor a porovnávám ho s registrem…"_qs, u"Zapisuji kontakty…"_qs}) {
            cancelIn = label;
            w->ui().actImport->trigger();
            QCOMPARE(f->count(QStringLiteral("KONTAKT")), before);
        }
        m_exportName = m_dir.filePath(QStringLiteral("stopped.vcf"));
        cancelIn = u"Zapisuji kontakty do souboru…"_qs;
        w->ui().actExportAll->trigger();
        QVERIFY(!QFile::exists(m_exportName));
        QCOMPARE(cancelled, (QStringList{u"Import kontaktů"_qs, u"Import kontaktů"_qs,
                                         u"Export kontaktů"_qs}));
        QCOMPARE(recorder->messages.size(), size_t(3));
        for (const auto &message : recorder->messages)
            QCOMPARE(message.text, io::kStoppedText);
    }

    void previewListsTicksAndRefusals() {
        io::ExistingData existing;
        existing.companies << io::ExistingData::Company{1, QStringLiteral("Alfa"), 0, {}, {}};
        existing.contacts << io::ExistingData::Contact{
            {}, u"Dvořák"_qs, {u"dvořák@example.cz"_qs}, {}};
        io::ImportPlan plan =
            planOf({{"Dvořák", "alfa"}, {"Černá", "Nová"}, {"Svoboda", ""}}, existing);
        plan.refused << io::RefusedEntry{u"Smajlík ☺"_qs, {u"Příjmení: znak „☺“ nelze uložit"_qs}};
        forms::ImportPreview dialog(plan);
        QTreeView *tree = dialog.twKontakty;
        QAbstractItemModel *rows = tree->model();
        auto cell = [rows](int row, int column, int role = Qt::DisplayRole) {
            return rows->index(row, column).data(role);
        };
        QCOMPARE(rows->rowCount(), 3);
        QCOMPARE(cell(0, 1).toString(), u"Alfa"_qs);
        QCOMPARE(cell(0, 2).toString(), u"už existuje: stejné jméno a e-mail"_qs);
        QCOMPARE(cell(0, 0, Qt::CheckStateRole), Qt::Unchecked);
        QCOMPARE(cell(1, 1).toString(), u"Nová (nová)"_qs);
        QCOMPARE(cell(2, 1).toString(), u"Bez firmy (nová)"_qs);
        QCOMPARE(cell(2, 0, Qt::CheckStateRole), Qt::Checked);
        QVERIFY(
            dialog.memoOdmitnute->toPlainText().contains(u"Příjmení: znak „☺“ nelze uložit"_qs));
        QCOMPARE(dialog.lbSouhrn->text(),
                 u"Vytvoří se nových firem: 2, kontaktů: 2. Přeskočí se: 1. Odmítnuto: 1."_qs);

        // Ticking from the keyboard: Space on the current row.
        dialog.show();
        tree->setFocus();
        tree->setCurrentIndex(rows->index(0, 0));
        QTest::keyClick(tree, Qt::Key_Space);
        QCOMPARE(cell(0, 0, Qt::CheckStateRole), Qt::Checked);
        QCOMPARE(dialog.plan().selectedCount(), 3);
        QCOMPARE(dialog.lbSouhrn->text(),
                 u"Vytvoří se nových firem: 2, kontaktů: 3. Přeskočí se: 0. Odmítnuto: 1."_qs);
        // A screen reader reads the cells the list shows.
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(tree);
        QVERIFY(list && list->tableInterface());
        QCOMPARE(list->tableInterface()->cellAt(1, 1)->text(QAccessible::Name), u"Nová (nová)"_qs);

        for (int i = 0; i < 3; ++i)
            rows->setData(rows->index(i, 0), Qt::Unchecked, Qt::CheckStateRole);
        QVERIFY(!dialog.pbImportovat->isEnabled());
        for (QLabel *label : dialog.findChildren<QLabel *>())
            if (label != dialog.lbSouhrn)
                QVERIFY(label->buddy() != nullptr);
        QCOMPARE(tree->accessibleName(), u"Kontakty k importu"_qs);
        QCOMPARE(dialog.memoOdmitnute->accessibleName(), u"Nelze importovat"_qs);
    }

    // Last: a real SIGTERM during the import's write ends the program's loops
    // (nothing after it may wait for events). The write is rolled back.
    void zSignalDuringTheImportWritesNothing() {
        m_importName = m_dir.filePath(QStringLiteral("signal.vcf"));
        QFile file(m_importName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 300; ++i)
            file.write(
                QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Signál%1;Jan\r\nEND:VCARD\r\n")
                    .arg(i)
                    .toUtf8());
        file.close();
        const int before = f->count(QStringLiteral("KONTAKT"));
        app::ShutdownSignals shutdown;
        shutdown.install();
        bool raised = false;
        QTimer signaller; // as soon as the import's progress window is there
        connect(&signaller, &QTimer::timeout, this, [&] {
            if (!raised && w->findChild<QProgressDialog *>(QStringLiteral("ProgressWindow"))) {
                raised = true;
                ::raise(SIGTERM);
            }
        });
        signaller.start(0);
        w->ui().actImport->trigger();
        QVERIFY(raised && shutdown.requested());
        QCOMPARE(f->count(QStringLiteral("KONTAKT")), before);
        QCOMPARE(recorder->messages.back().text, io::kStoppedText);
    }
};

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
