// The contact board in the real main window on a real database: what the
// filter box lists, the group lines and their painting, the board selection
// with the print and e-mail buttons, the double click, and the column
// layout kept between two starts.
#include "support/DataFixture.h"
#include "support/TemporarySettings.h"

#include "app/U_deska.h"
#include "base/MessageService.h"
#include "grid/DataGrid.h"
#include "grid/DatasetModel.h"
#include "grid/GridMenu.h"
#include "grid/LayoutFormat.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

class TestBoard : public QObject {
    Q_OBJECT

    TemporarySettings m_settings;
    std::unique_ptr<DataFixture> f;
    std::unique_ptr<base::msg::Recorder> recorder;
    std::unique_ptr<Tfm_Deska> w;

    void addBoardData() {
        const char *companies[] = {"1, 'Novák s.r.o.', '123', '602', '9'",
                                   "2, 'Alfa', '123', NULL, NULL",
                                   "3, 'Prázdná', NULL, NULL, NULL",
                                   "4, 'Bez kontaktů', '1', '2', '3'",
                                   "5, '5012', NULL, NULL, NULL",
                                   "6, 'ŠTĚRBA a syn', NULL, NULL, NULL",
                                   "7, 'Útulek & spol. %2', NULL, NULL, '7'"};
        for (const char *c : companies)
            f->exec(QStringLiteral(
                        "INSERT INTO FIRMA (ID, NAZEV_FIRMA, TELEFON1, MOBIL, FAX) VALUES (%1)")
                        .arg(QString::fromUtf8(c)));
        const char *contacts[] = {"1, 1, 'Petr', 'Dvořák', 'petr@novak.cz', ' '",
                                  "2, 1, 'Jana', 'Malá', NULL, ' '",
                                  "3, 2, 'Eva', 'Nováková', 'eva@alfa.cz', ' '",
                                  "4, 2, 'Karel', 'Horák', NULL, ' '",
                                  "5, 3, NULL, NULL, NULL, '***'",
                                  "6, 2, 'Skrytý', 'Nepotvrzený', NULL, NULL",
                                  "7, 5, 'Ota', 'Čermák', NULL, ' '",
                                  "8, 6, 'ŽOFIE', 'ŘÍHOVÁ', NULL, ' '",
                                  "9, 7, 'Jan', 'Kos', NULL, ' '"};
        for (const char *c : contacts)
            f->exec(
                QStringLiteral(
                    "INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, EMAIL1, KRAJ) VALUES (%1)")
                    .arg(QString::fromUtf8(c)));
    }
    void openWindow() {
        f->disconnect();
        w = std::make_unique<Tfm_Deska>(*f->dm, f->base());
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    dataset::QueryDataset &board() { return f->dm->qHlavniDeska; }
    /// Types into the filter box one character at a time (Czech letters too).
    void type(const QString &text) {
        for (const QChar c : text)
            w->ui().Edit1->insert(QString(c));
    }
    grid::DataGrid *grid() { return w->ui().gHlavniDeska; }
    int rowOf(const QString &surnameOrCompany) {
        for (int row = 0; row < board().recordCount(); ++row) {
            const QString surname =
                board().valueAt(row, board().columnIndex(QStringLiteral("PRIJMENI"))).toString();
            const QString company =
                board().valueAt(row, board().columnIndex(QStringLiteral("NAZEV_FIRMA"))).toString();
            if (surname == surnameOrCompany || (surname.isEmpty() && company == surnameOrCompany))
                return row;
        }
        return -1;
    }
    void clickRow(int row) {
        grid()->scrollTo(grid()->model()->index(row, 1));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualRect(grid()->model()->index(row, 1)).center());
    }
    /// The board as shown: group lines, each followed by "  surname first name" of
    /// its contacts in alphabetical order (the database gives them in any order).
    QStringList lines() {
        QStringList out, contacts;
        auto flush = [&] {
            contacts.sort();
            out << contacts;
            contacts.clear();
        };
        const int count = board().recordCount();
        for (int row = 0; row < count; ++row) {
            QString text;
            if (grid()->groupOf(row, &text) >= 0) {
                flush();
                out << text;
            } else {
                contacts << QStringLiteral("  ") +
                                grid()->model()->index(row, 1).data().toString() +
                                QLatin1Char(' ') + grid()->model()->index(row, 2).data().toString();
            }
        }
        flush();
        return out;
    }
    QStringList layoutValues() {
        QStringList values;
        for (const grid::GridColumn &c : grid()->columnLayout())
            values << grid::LayoutFormat::writeColumn(c);
        return values;
    }

  private slots:
    void initTestCase() { QVERIFY(m_settings.isValid()); }
    void init() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Qorvel"),
                  QStringLiteral("Kontakty"))
            .clear();
        f = std::make_unique<DataFixture>();
        recorder = std::make_unique<base::msg::Recorder>();
        addBoardData();
        openWindow();
    }
    void cleanup() {
        w.reset();
        recorder.reset();
        f.reset();
    }

    void filterBoxNarrowsTheBoard_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        const QString novak = QStringLiteral("Novák s.r.o. (tel: 123, mob: 602, fax: 9) ");
        const QString alfa = QStringLiteral("Alfa (tel: 123, mob: , fax: ) ");
        const QString sterba = QStringLiteral("ŠTĚRBA a syn (tel: , mob: , fax: ) ");
        QTest::newRow("empty") << QString()
                               << QStringList{"5012 (tel: , mob: , fax: ) ",
                                              "  Čermák Ota",
                                              alfa,
                                              "  Horák Karel",
                                              "  Nováková Eva",
                                              novak,
                                              "  Dvořák Petr",
                                              "  Malá Jana",
                                              "Prázdná (tel: , mob: , fax: ) ",
                                              sterba,
                                              "  ŘÍHOVÁ ŽOFIE",
                                              "Útulek & spol. %2 (tel: , mob: , fax: 7) ",
                                              "  Kos Jan"};
        QTest::newRow("nov") << "nov"
                             << QStringList{alfa, "  Nováková Eva", novak, "  Dvořák Petr",
                                            "  Malá Jana"};
        QTest::newRow("placeholder company by name")
            << "prázd" << QStringList{"Prázdná (tel: , mob: , fax: ) "};
        QTest::newRow("contact of another company")
            << "horák" << QStringList{alfa, "  Horák Karel"};
        QTest::newRow("percent is a wildcard")
            << "50%" << QStringList{"5012 (tel: , mob: , fax: ) ", "  Čermák Ota"};
        QTest::newRow("lower-case Czech letters") << "říh" << QStringList{sterba, "  ŘÍHOVÁ ŽOFIE"};
        QTest::newRow("company name in lower case")
            << "štěr" << QStringList{sterba, "  ŘÍHOVÁ ŽOFIE"};
        QTest::newRow("blanks count") << "a " << QStringList{sterba, "  ŘÍHOVÁ ŽOFIE"};
        QTest::newRow("nothing") << "xyz" << QStringList{};
    }
    void filterBoxNarrowsTheBoard() {
        QFETCH(QString, typed);
        type(typed);
        QTEST(lines(), "shown");
        QCOMPARE(board().paramByName(QStringLiteral("f3"))->value().toString(),
                 typed.isEmpty() ? QStringLiteral("%")
                                 : QLatin1Char('%') + typed + QLatin1Char('%'));
        QCOMPARE(grid()->currentIndex().row(), typed == QLatin1String("xyz") ? -1 : 0);
        QVERIFY(recorder->messages.empty());
    }

    void theWindowAnswersWhileTheRestIsRead() {
        QList<QVariantList> people;
        for (int id = 100; id < 20100; ++id)
            people << QVariantList{id, 7, QStringLiteral("Zástupce %1").arg(id),
                                   QStringLiteral(" ")};
        f->connection().executeBatch(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI, KRAJ) VALUES (?, ?, ?, ?)", people);
        w.reset();
        f->dm->setBoardHead(3);
        // A timer's ticks keep coming while the rest of the register is read,
        // and the status bar says how far it got.
        int ticksWhileLoading = 0;
        QString said;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] {
            if (!w || !f->dm->isBoardLoading())
                return;
            ++ticksWhileLoading;
            said = w->ui().stbP2->text();
        });
        tick.start(0);
        openWindow();
        QTRY_VERIFY_WITH_TIMEOUT(!f->dm->isBoardLoading(), 30000);
        QVERIFY(ticksWhileLoading > 0);
        QVERIFY2(said.startsWith(QStringLiteral("Načítám kontakty…")), qPrintable(said));
        QCOMPARE(w->ui().stbP2->text(), QString());
        QVERIFY(rowOf(QStringLiteral("Zástupce 20099")) >= 0);
    }

    void theBoardKeepsItsRowsWhenTheWindowGrows() {
        for (int id = 100; id < 160; ++id) {
            f->exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (?, ?)"),
                    {id, QStringLiteral("Firma %1").arg(id, 2, 10, QLatin1Char('0'))});
            f->exec(QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI, KRAJ) VALUES (?, "
                                   "?, 'Novák', ' ')"),
                    {id, id});
        }
        w->resize(w->width(), 260);
        QTest::qWait(50);
        type(QStringLiteral("a")); // filtered while small
        QTest::qWait(50);
        w->resize(w->width(), 900);
        QTest::qWait(100);
        const int room = grid()->viewport()->height() / grid::DataGrid::kRowHeight;
        QVERIFY2(grid()->model()->rowCount() >= room,
                 qPrintable(QStringLiteral("%1 rows shown with room for %2")
                                .arg(grid()->model()->rowCount())
                                .arg(room)));
    }

    void theCurrentRowIsMarkedWhileTheBoardHasTheFocus() {
        // The first row, current at start, is a company's group line.
        QVERIFY(grid()->groupOf(0) >= 0);
        QCOMPARE(board().currentIndex(), 0);
        const QPoint edge(3, grid()->rowViewportPosition(0) + 1);
        const QColor highlight = grid()->palette().color(QPalette::Highlight);
        w->ui().Edit1->setFocus();
        QVERIFY(grid()->viewport()->grab().toImage().pixelColor(edge) != highlight);
        grid()->setFocus();
        QTRY_COMPARE(grid()->viewport()->grab().toImage().pixelColor(edge), highlight);
    }

    void filterLeavesTheSelectionAlone() {
        clickRow(rowOf(QStringLiteral("Dvořák")));
        QCOMPARE(w->selectedRowKind, QStringLiteral("2"));
        QVERIFY_DB(board().moveTo(3));
        w->ui().Edit1->setFocus();
        type(QStringLiteral("al"));
        QCOMPARE(board().currentIndex(), 0);
        QCOMPARE(w->selectedRowKind, QStringLiteral("2"));
        QCOMPARE(w->selectedRowId, QStringLiteral("1"));
        QVERIFY(w->ui().sbEmail->isEnabled());
        QVERIFY(!w->ui().sbTisk->isEnabled());

        // The clear button empties the box, lists everything again and keeps the focus where it
        // was.
        QSignalSpy reopened(&board(), &dataset::Dataset::reset);
        w->ui().SpeedButton2->click();
        QCOMPARE(w->ui().Edit1->text(), QString());
        QCOMPARE(lines().size(), 13);
        QVERIFY(reopened.count() > 0);
        QCOMPARE(QApplication::focusWidget(), w->ui().Edit1);
        reopened.clear();
        w->ui().SpeedButton2->click(); // already empty: nothing happens
        QCOMPARE(reopened.count(), 0);
    }

    void failedReopenIsReportedAndLeavesTheBoardEmpty() {
        f->dm->ZConKontakty.setConnected(false);
        f->dm->ZConKontakty.setDatabase(f->base() + QStringLiteral("/Tabulky/CHYBI.GDB"));
        type(QStringLiteral("n"));
        QCOMPARE(recorder->messages.size(), size_t(1));
        QCOMPARE(recorder->messages[0].kind, base::msg::Kind::ErrorReport);
        QVERIFY(!board().isActive());
        QCOMPARE(grid()->model()->rowCount(), 0);
    }

    void aCharacterTheDatabaseCannotHoldLeavesTheBoardAndSaysWhy() {
        type(QStringLiteral("nov"));
        const QStringList before = lines();
        type(QStringLiteral("ø"));
        QCOMPARE(recorder->messages.size(), size_t(1));
        QCOMPARE(recorder->messages[0].kind, base::msg::Kind::Warning);
        QVERIFY2(recorder->messages[0].text.contains(QStringLiteral("„ø“")),
                 qPrintable(recorder->messages[0].text));
        QVERIFY(board().isActive());
        QCOMPARE(lines(), before);
    }

    void clickSetsTheSelectionAndButtons() {
        clickRow(rowOf(QStringLiteral("Novák s.r.o.")));
        QCOMPARE(w->selectedRowKind, QStringLiteral("1"));
        QCOMPARE(w->selectedRowId, QStringLiteral("1"));
        QCOMPARE(w->selectedEmail, QString());
        QVERIFY(w->ui().sbTisk->isEnabled());
        QVERIFY(!w->ui().sbEmail->isEnabled());

        clickRow(rowOf(QStringLiteral("Nováková")));
        QCOMPARE(w->selectedRowKind, QStringLiteral("2"));
        QCOMPARE(w->selectedRowId, QStringLiteral("3"));
        QCOMPARE(w->selectedEmail, QStringLiteral("eva@alfa.cz"));
        QVERIFY(!w->ui().sbTisk->isEnabled());
        QVERIFY(w->ui().sbEmail->isEnabled());

        clickRow(rowOf(QStringLiteral("Malá"))); // no address: the button is enabled all the same
        QCOMPARE(w->selectedRowId, QStringLiteral("2"));
        QCOMPARE(w->selectedEmail, QString());
        QVERIFY(w->ui().sbEmail->isEnabled());

        // Keys and the row indicator move the row, not the selection.
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Home);
        QTest::mouseClick(grid()->verticalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(5, grid()->rowViewportPosition(1) + 8));
        QCOMPARE(board().currentIndex(), 1);
        QCOMPARE(w->selectedRowId, QStringLiteral("2"));
        QVERIFY(w->ui().sbEmail->isEnabled());
    }

    void doubleClickOpensTheSelectionAndReloads() {
        // Nothing selected yet: only the reload.
        f->exec(QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (8, 'Nová firma')"));
        f->exec(QStringLiteral(
            "INSERT INTO KONTAKT (ID, ID_FIRMA, PRIJMENI, KRAJ) VALUES (10, 8, 'Nový', ' ')"));
        QVERIFY_DB(f->dm->tFIRMA.locate(QStringLiteral("ID"), {2}));
        QTest::mouseDClick(grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                           QPoint(30, 5));
        QVERIFY(recorder->messages.empty());
        QCOMPARE(f->dm->tFIRMA.fieldByName(QStringLiteral("ID"))->asInteger(), 2);
        QVERIFY(rowOf(QStringLiteral("Nový")) >= 0);

        // A contact: the contact table stands on it; the board is back on its first row.
        const int row = rowOf(QStringLiteral("Čermák"));
        QVERIFY(row > 0);
        // A real double click: a click, then the double click's own press.
        const QPoint cell = grid()->visualRect(grid()->model()->index(row, 1)).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(w->selectedRowKind, QStringLiteral("2"));
        QCOMPARE(f->dm->tKONTAKT.fieldByName(QStringLiteral("ID"))->asInteger(), 7);
        QCOMPARE(board().currentIndex(), 0);
        QCOMPARE(grid()->currentIndex().row(), 0);
        QVERIFY(w->ui().sbEmail->isEnabled());

        // A company; then a double click on the titles acts on that selection again.
        clickRow(rowOf(QStringLiteral("Alfa")));
        QTest::mouseDClick(grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                           QPoint(30, 5));
        QCOMPARE(f->dm->tFIRMA.fieldByName(QStringLiteral("ID"))->asInteger(), 2);
        QVERIFY_DB(f->dm->tFIRMA.locate(QStringLiteral("ID"), {1}));
        QTest::mouseDClick(grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                           QPoint(30, 5));
        QCOMPARE(f->dm->tFIRMA.fieldByName(QStringLiteral("ID"))->asInteger(), 2);
        QVERIFY(recorder->messages.empty());
    }

    void groupLinesArePaintedWithTheIcon() {
        const int row = rowOf(QStringLiteral("Novák s.r.o."));
        const QRect band = grid()->bandRect(row);
        QVERIFY_DB(board().moveTo(row)); // a group row looks the same when current
        const QImage image = grid()->viewport()->grab().toImage();
        const QColor face = grid()->palette().color(QPalette::Button);
        QCOMPARE(band.left(), 0);
        QCOMPARE(band.width(), grid()->horizontalHeader()->length());
        QCOMPARE(band.height(), grid::DataGrid::kRowHeight - 1);
        QCOMPARE(image.pixelColor(band.right() - 1, band.top() + 1), face);
        QCOMPARE(image.pixelColor(1, band.top() + 1), face); // left of the icon
        QCOMPARE(image.pixelColor(band.left() + 2 + 4, band.top() + 2 + 12),
                 QColor(0x2f, 0x5d, 0x9b)); // the icon
        int textPixels = 0;
        for (int x = band.left() + 22; x < band.left() + 120; ++x)
            for (int y = band.top() + 2; y <= band.bottom(); ++y)
                textPixels += image.pixelColor(x, y) != face;
        QVERIFY(textPixels > 20);
        for (int x = 0; x < band.width(); ++x) // across the column lines too
            QCOMPARE(image.pixelColor(x, band.top()), face);
        QVERIFY(image.pixelColor(6, band.bottom() + 1) !=
                QColor(0x2f, 0x5d, 0x9b)); // the icon stays in its row

        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(grid());
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Firmy a kontakty"));
        QCOMPARE(iface->tableInterface()->cellAt(row, 1)->text(QAccessible::Name),
                 QStringLiteral("Novák s.r.o. (tel: 123, mob: 602, fax: 9) "));
        QCOMPARE(iface->tableInterface()->cellAt(row + 1, 1)->text(QAccessible::Name),
                 QStringLiteral("Dvořák"));
    }

    void designedColumnsAndMenu() {
        QCOMPARE(layoutValues(),
                 (QStringList{"ID_FIRMA,0,ID_FIRMA,", "PRIJMENI,105,PRIJMENI,", "JMENO,105,JMENO,",
                              "MOBIL,105,MOBIL,", "TELEFON1,105,TELEFON1,", "EMAIL1,180,EMAIL1,",
                              "FLAG,1,FLAG,R"}));
        QCOMPARE(grid()->rowHeight(0), grid::DataGrid::kRowHeight);
        QVERIFY(!grid()->isColumnHidden(0));
        QCOMPARE(grid()->columnWidth(0), 0);
        QCOMPARE(grid()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(grid()->model()->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("PRIJMENI"));
        // The board query is a union that nothing writes: only the refresh and layout
        // commands, then the export, import and database choice the board adds.
        grid()->menu()->updateActions();
        QStringList enabled;
        for (QAction *a : grid()->menu()->menu()->actions())
            if (!a->isSeparator() && a->isEnabled())
                enabled << a->text();
        QCOMPARE(enabled, (QStringList{"Refresh", "Save column layout", "Restore column layout",
                                       u"Export kontaktů"_qs, u"Import kontaktů…"_qs,
                                       u"Databáze…"_qs, u"Synchronizace s telefonem…"_qs}));
    }

    void layoutSurvivesARestart() {
        QHeaderView *header = grid()->horizontalHeader();
        header->moveSection(header->visualIndex(5), 1); // EMAIL1 right after the hidden id
        header->resizeSection(2, 150);                  // JMENO wider
        grid()->menu()->action(grid::GridMenu::Command::SaveLayout)->trigger();
        const QStringList saved = layoutValues();
        QCOMPARE(saved.mid(0, 3), (QStringList{"ID_FIRMA,0,ID_FIRMA,", "EMAIL1,180,EMAIL1,",
                                               "PRIJMENI,105,PRIJMENI,"}));
        QCOMPARE(saved[3], QStringLiteral("JMENO,150,JMENO,"));

        header->resizeSection(2, 40); // not saved: nothing is written at the end
        w.reset();
        openWindow();
        QCOMPARE(layoutValues(), saved);
        QCOMPARE(grid()->model()->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("EMAIL1"));
        clickRow(rowOf(QStringLiteral("Nováková")));
        QCOMPARE(w->selectedEmail,
                 QStringLiteral("eva@alfa.cz")); // cells still follow their fields
    }
};

QTEST_MAIN(TestBoard)
#include "tst_board.moc"
