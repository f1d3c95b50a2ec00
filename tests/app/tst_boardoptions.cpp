// The board's search options, the group of contacts of no company and a
// column's own title in the real main window with all its forms: what they
// show, what the commands do on them, and what a new window remembers.
#include "ProgramFixture.h"
#include "support/TemporarySettings.h"

#include "app/ContactTransfer.h"
#include "app/SearchOptions.h"
#include "grid/DataGrid.h"
#include "grid/GridMenu.h"
#include "io/ContactFiles.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace {

/// Catches what the program hands to the mail program.
class MailCatcher : public QObject {
    Q_OBJECT
  public:
    MailCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open"); }
    ~MailCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); }
    QList<QUrl> urls;
  public slots:
    void open(const QUrl &url) { urls << url; }
};

/// Runs `act` on the first modal window of type T once it shows, then closes it.
template <typename T> void whenModal(std::function<void(T &)> act) {
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto *window = qobject_cast<T *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*window);
            if (window->isVisible())
                window->close();
        }
    });
    poll->start(20);
}

struct Program : ProgramFixture {
    Program()
        : ProgramFixture([](DataFixture &db) {
              db.exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA, TELEFON1) VALUES "
                                     "(1, 'Zahradnictví', '+420 603 111 222')"));
              db.exec(QStringLiteral(
                  "INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (2, 'Účetní kancelář')"));
              const char *people[] = {
                  "1, 1, 'Jan', 'Hruška', 'jan@zahrada.cz'", "2, 2, 'Eva', 'Chalupová', NULL",
                  // Created with no company, and of one deleted since.
                  "3, 0, 'Petr', 'Dvořák', 'petr@dvorak.cz'", "4, 77, 'Jana', 'Dvořáková', NULL"};
              for (const char *p : people)
                  db.exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, "
                                         "EMAIL1, KRAJ) VALUES (%1, ' ')")
                              .arg(QString::fromUtf8(p)));
          }) {
        deska->show();
    }
    grid::DataGrid *grid() const { return deska->ui().gHlavniDeska; }
    /// The board as shown: group lines as they read, contacts by surname.
    QStringList lines() const {
        dataset::QueryDataset &board = db.dm->qHlavniDeska;
        QStringList out;
        for (int row = 0; row < board.recordCount(); ++row) {
            QString text;
            out << (grid()->groupOf(row, &text) >= 0
                        ? text.section(QLatin1Char(' '), 0, 1)
                        : QStringLiteral("  ") + grid()->model()->index(row, 1).data().toString());
        }
        return out;
    }
    int rowOf(const QString &line) const { return int(lines().indexOf(line)); }
    void select(const QString &line) {
        const QModelIndex cell = grid()->model()->index(rowOf(line), 1);
        grid()->scrollTo(cell);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualRect(cell).center());
    }
};

} // namespace

class TestBoardOptions : public QObject {
    Q_OBJECT

    TemporarySettings m_settings;
    QTemporaryDir m_dir;

  private slots:
    void initTestCase() { QVERIFY(m_settings.isValid() && m_dir.isValid()); }

    void contactsOfNoCompanyAreListedSelectedOpenedMailedAndExported() {
        Program p;
        QCOMPARE(p.lines(),
                 (QStringList{"Zahradnictví (tel:", "  Hruška", u"Účetní kancelář"_qs,
                              "  Chalupová", "Bez firmy", u"  Dvořák"_qs, u"  Dvořáková"_qs}));

        // The group line: no company card to print or open.
        p.select(QStringLiteral("Bez firmy"));
        QCOMPARE(p.deska->selectedRowKind, QStringLiteral("1"));
        QVERIFY(!p.deska->ui().sbTisk->isEnabled());
        p.deska->sbTiskClick();
        QCOMPARE(p.messages.messages.size(), size_t(1));
        QVERIFY(p.messages.messages[0].text.contains(QStringLiteral("bez firmy")));
        p.deska->gHlavniDeskaDblClick();
        QCOMPARE(p.messages.messages.size(), size_t(1));

        // A contact of it: selected, opened in the contact form, e-mailed.
        p.select(u"  Dvořák"_qs);
        QCOMPARE(p.deska->selectedRowId, QStringLiteral("3"));
        QVERIFY(p.deska->ui().sbEmail->isEnabled());
        QString opened;
        whenModal<TFM_Kontakt>([&](TFM_Kontakt &form) { opened = form.windowTitle(); });
        p.deska->gHlavniDeskaDblClick();
        QCOMPARE(opened, u"Kontakt: Dvořák Petr"_qs);
        p.select(u"  Dvořák"_qs); // the double click read the board again
        MailCatcher mail;
        p.deska->ui().sbEmail->click();
        QCOMPARE(mail.urls.size(), 1);
        QCOMPARE(mail.urls[0].path(), QStringLiteral("petr@dvorak.cz"));

        // The board's rows as shown go into the file, these among them.
        const QString file = m_dir.filePath(QStringLiteral("bez-firmy.vcf"));
        app::TransferDialogs::current().exportTarget = [&](QWidget *) {
            return std::optional(app::TransferDialogs::Target{file, io::FileFormat::VCard4});
        };
        p.deska->ui().Edit1->setText(u"dvořák"_qs);
        p.deska->actExportShownTriggered();
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QStringList surnames;
        for (const io::Entry &e : io::decodeFile(written.readAll()).entries)
            surnames << e.contact.value(QStringLiteral("PRIJMENI"));
        QCOMPARE(surnames, (QStringList{u"Dvořák"_qs, u"Dvořáková"_qs}));
        // They belong to no company whose contacts could go.
        QVERIFY_DB(p.db.dm->qHlavniDeska.moveTo(p.rowOf(u"  Dvořák"_qs)));
        p.deska->actExportCompanyTriggered();
        QVERIFY(p.messages.messages.back().text.contains(QStringLiteral("bez firmy")));
    }

    void theOptionsChangeTheBoardAndAreRemembered() {
        {
            Program p;
            app::SearchOptions *options = p.deska->ui().pHledani;
            for (QCheckBox *box :
                 {options->ignoreAccents, options->allFields, options->czechOrder}) {
                QVERIFY(!box->isChecked());
                QVERIFY(!box->accessibleName().isEmpty() && !box->toolTip().isEmpty());
                QCOMPARE(box->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
            }
            p.deska->ui().Edit1->setText(QStringLiteral("dvorak"));
            QCOMPARE(p.lines(), QStringList{});
            options->ignoreAccents->click();
            QTRY_COMPARE(p.lines(), (QStringList{"Bez firmy", u"  Dvořák"_qs, u"  Dvořáková"_qs}));

            p.deska->ui().Edit1->setText(QStringLiteral("603111"));
            QCOMPARE(p.lines(), QStringList{});
            options->allFields->click();
            QTRY_COMPARE(p.lines(), (QStringList{"Zahradnictví (tel:", "  Hruška"}));

            p.deska->ui().Edit1->clear();
            QCOMPARE(p.lines().first(), QStringLiteral("Zahradnictví (tel:"));
            options->czechOrder->click();
            QTRY_COMPARE(p.lines().first(), u"Účetní kancelář"_qs);
            options->allFields->click(); // off again
        }
        Program again;
        QVERIFY(again.deska->ui().pHledani->ignoreAccents->isChecked());
        QVERIFY(!again.deska->ui().pHledani->allFields->isChecked());
        QVERIFY(again.deska->ui().pHledani->czechOrder->isChecked());
        QCOMPARE(again.lines().first(), u"Účetní kancelář"_qs);
        for (QCheckBox *box : again.deska->ui().pHledani->findChildren<QCheckBox *>())
            if (box->isChecked())
                box->click();
    }

    void aRenamedColumnKeepsItsTitleAcrossARestart() {
        {
            Program p;
            QHeaderView *header = p.grid()->horizontalHeader();
            const int surname = 1;
            QCOMPARE(p.grid()->model()->headerData(surname, Qt::Horizontal).toString(),
                     QStringLiteral("PRIJMENI"));
            const QPoint over =
                header->mapToGlobal(QPoint(header->sectionViewportPosition(surname) + 5, 5));
            p.grid()->popupContextMenu(over);
            QAction *rename = p.grid()->menu()->action(grid::GridMenu::Command::RenameColumn);
            QVERIFY(rename->isEnabled());
            QCOMPARE(rename->text(), u"Přejmenovat sloupec…"_qs);
            whenModal<QInputDialog>([](QInputDialog &dialog) {
                QCOMPARE(dialog.textValue(), QStringLiteral("PRIJMENI"));
                dialog.setTextValue(u"Příjmení"_qs);
                dialog.accept();
            });
            rename->trigger();
            QCOMPARE(p.grid()->model()->headerData(surname, Qt::Horizontal).toString(),
                     u"Příjmení"_qs);
        }
        Program again;
        QCOMPARE(again.grid()->model()->headerData(1, Qt::Horizontal).toString(), u"Příjmení"_qs);
        QCOMPARE(again.grid()->model()->headerData(2, Qt::Horizontal).toString(),
                 QStringLiteral("JMENO"));
    }
};

QTEST_MAIN(TestBoardOptions)
#include "tst_boardoptions.moc"
