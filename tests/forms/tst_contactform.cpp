// The contact form: modes and their look, the keyboard, the close guard,
// new, edit, confirm, cancel and delete against a real database.
#include "support/FormFixture.h"

#include "forms/DbNavigator.h"
#include "forms/LookupBinding.h"
#include "forms/MessageTexts.h"
#include "forms/PhotoView.h"
#include "forms/RecordProtocol.h"
#include "forms/U_Kontakt.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

class TestContactForm : public QObject {
    Q_OBJECT

    /// Three contacts of company 1 ("Alfa") and a database open on them.
    struct Contacts {
        DataFixture db;
        base::msg::Recorder messages;
        std::unique_ptr<TFM_Kontakt> form;

        explicit Contacts(bool withRows = true) {
            addCompany(db, 1, QStringLiteral("Alfa"));
            if (withRows) {
                addContact(db, 1, 1, QStringLiteral("Jana"), QStringLiteral("Malá"));
                addContact(db, 2, 1, QStringLiteral("Petr"), QStringLiteral("Dvořák"));
                addContact(db, 3, 1, QStringLiteral("Eva"), QStringLiteral("Horová"));
            }
            db.openAll();
            form = std::make_unique<TFM_Kontakt>(*db.dm);
        }
        dataset::TableDataset &contacts() { return db.dm->tKONTAKT; }
        QVariant stored(const QString &column, int id) {
            return db.scalar(
                QStringLiteral("SELECT %1 FROM KONTAKT WHERE ID = %2").arg(column).arg(id));
        }
    };

    static QList<QWidget *> browseGroup(TFM_Kontakt &f) {
        return {f.ui().DBNavi, f.ui().sbKontVloz, f.ui().sbKontEdit, f.ui().sbKontSmaz};
    }

    static void verifyLook(TFM_Kontakt &f, bool editable) {
        const QColor colour = editable ? kEditable : kReadOnly;
        const auto lines = f.findChildren<QLineEdit *>();
        for (QLineEdit *box : lines) {
            if (box->objectName().isEmpty())
                continue; // the line edits inside the drop-down lists
            const bool never = box == f.ui().EditID;
            QCOMPARE_EQ(background(box), never ? kReadOnly : colour);
            QVERIFY2(box->isReadOnly() == (never || !editable), qPrintable(box->objectName()));
        }
        QVERIFY(!f.ui().EditSvatek->isEnabled());
        QVERIFY(!f.ui().EditUpominka->isEnabled());
        for (QComboBox *list : {f.ui().dcbTitulP, f.ui().dcbTitulZ}) {
            QCOMPARE_EQ(background(list), colour);
            QCOMPARE(list->isEnabled(), editable);
            QCOMPARE(list->lineEdit()->isReadOnly(), !editable);
        }
        for (QPlainTextEdit *note :
             {f.ui().MemoPoznamka, f.ui().MemoPoznamkaAD, f.ui().MemoPoznamkaSP}) {
            QCOMPARE_EQ(background(note), colour);
            QCOMPARE(note->isReadOnly(), !editable);
            QVERIFY(note->isEnabled());
        }
        QVERIFY(!f.ui().cbFirma->isEnabled());
        QCOMPARE(f.isBrowseMode(), !editable);
        for (QWidget *w : browseGroup(f))
            QVERIFY2(w->isEnabled() == !editable, qPrintable(w->objectName()));
        QCOMPARE(f.ui().BB_Jo->isEnabled(), editable);
        QCOMPARE(f.ui().BB_Zrus->isEnabled(), editable);
        QCOMPARE(f.ui().Natifotku1->isEnabled(), editable);
        QCOMPARE(f.ui().Vymafotku1->isEnabled(), editable);
        QVERIFY(f.ui().lFotoNahrano->isHidden());
    }

  private slots:
    void controlsAreLabelledAndNamed() {
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QCOMPARE(f.size(), QSize(388, 452));
        QCOMPARE(f.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(f.font().pointSize(), 8);
        QStringList tabs;
        for (int i = 0; i < f.ui().pcKontakt->count(); ++i)
            tabs << f.ui().pcKontakt->tabText(i);
        QCOMPARE(tabs, (QStringList{"Osoba", "Adresa", "Spojení", "Poznámka"}));
        QCOMPARE(f.ui().pcOsoba->tabText(0), QStringLiteral("Fotka"));
        QCOMPARE(f.ui().pcOsoba->tabText(1), QStringLiteral("Data"));
        QCOMPARE(f.ui().iObr->size(), QSize(141, 105));

        QStringList before;
        for (int i = 0; i < f.ui().dcbTitulP->count(); ++i)
            before << f.ui().dcbTitulP->itemText(i);
        QCOMPARE(before.size(), 23);
        QCOMPARE(before.first(), QString());
        QCOMPARE(before.mid(1, 3), (QStringList{"Bc.", "Ing.", "BcA."}));
        QCOMPARE(before.last(), QStringLiteral("ak. soch."));
        QCOMPARE(f.ui().dcbTitulP->maxVisibleItems(), 15);
        QStringList after;
        for (int i = 0; i < f.ui().dcbTitulZ->count(); ++i)
            after << f.ui().dcbTitulZ->itemText(i);
        QCOMPARE(after,
                 (QStringList{"", "CSc.", "Dr.", "Ph.D.", "Th.D.", "Dr.Sc.", "DiS.", "MBA"}));

        // Every caption names its box; every button says what it does.
        int captions = 0;
        for (QLabel *label : f.findChildren<QLabel *>()) {
            if (label == f.ui().lFotoNahrano || label == f.ui().iObr || label->text().isEmpty())
                continue;
            QVERIFY2(label->buddy(), qPrintable(label->text()));
            ++captions;
        }
        QVERIFY(captions > 0);
        QCOMPARE(captionsIn(f.ui().gbAdresa), kAddressCaptions);
        QCOMPARE(captionsIn(f.ui().gbSpojeni), kConnectionCaptions);
        QCOMPARE(f.ui().sbKontVloz->accessibleName(), QStringLiteral("Založ nový záznam"));
        QCOMPARE(f.ui().sbKontEdit->accessibleName(), QStringLiteral("Edituj záznam"));
        QCOMPARE(f.ui().sbKontSmaz->accessibleName(), QStringLiteral("Smaž záznam"));
        QCOMPARE(f.ui().BB_Jo->toolTip(), QStringLiteral("Ulož záznam / změny"));
        QCOMPARE(f.ui().BB_Zrus->toolTip(), QStringLiteral("Zruš změny"));
        QCOMPARE(f.ui().BB_Jo->text(), QStringLiteral("Potvrď"));
        for (QAbstractButton *b : f.findChildren<QAbstractButton *>())
            if (b->isVisibleTo(&f))
                QVERIFY2(!b->accessibleName().isEmpty(), qPrintable(b->objectName()));
        QCOMPARE(f.ui().Natifotku1->text(), QStringLiteral("Načti fotku"));
        QCOMPARE(f.ui().Vymafotku1->text(), QStringLiteral("Vymaž fotku"));
        QCOMPARE(f.ui().lFotoNahrano->text(),
                 QStringLiteral("FOTKA byla nahrána zobrazí se po uložení"));
    }

    void modesSetTheLook_data() {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }
    void modesSetTheLook() {
        QFETCH(bool, confirm);
        Contacts c;
        TFM_Kontakt &f = *c.form;
        verifyLook(f, false);
        QVERIFY(showActive(f));
        press(f, Qt::Key_F2);
        QCOMPARE(c.contacts().state(), dataset::Dataset::State::Edit);
        verifyLook(f, true);
        // Read-only boxes of browse mode can still take the focus (to copy text).
        if (confirm)
            f.BB_JoClick();
        else
            f.BB_ZrusClick();
        QCOMPARE(c.contacts().state(), dataset::Dataset::State::Browse);
        verifyLook(f, false);
        QVERIFY(f.ui().EditJmeno->isEnabled());
        QVERIFY(c.messages.messages.empty());
    }

    void enterConfirmsTheTypedTextOnce() {
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        QCOMPARE(f.windowTitle(), QStringLiteral("Kontakt: Malá Jana"));
        press(f, Qt::Key_F2);
        f.ui().EditPrijmeni->setFocus();
        f.ui().EditPrijmeni->selectAll();
        typeText(f.ui().EditPrijmeni, QStringLiteral("Nováková"));
        press(f, Qt::Key_Return);
        QVERIFY(f.isBrowseMode());
        QCOMPARE(c.stored("PRIJMENI", 1).toString(), QStringLiteral("Nováková"));
        QCOMPARE(c.stored("KRAJ", 1).toString(), QStringLiteral(" "));
        QCOMPARE(f.windowTitle(), QStringLiteral("Kontakt: Nováková Jana"));
        QVERIFY(c.messages.messages.empty());
    }

    void enterWithARefusedRowReportsOnceAndStaysInEditMode() {
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        press(f, Qt::Key_F2);
        f.ui().EditJmeno->setFocus();
        const QString tooLong =
            QString(119, QChar(0x0159)) + QLatin1Char('x'); // JMENO holds 100 characters
        f.ui().EditJmeno->setText(tooLong);
        press(f, Qt::Key_Enter);
        QVERIFY2(c.messages.messages.size() == 1, qPrintable(recorded(c.messages).join('\n')));
        QCOMPARE(c.messages.messages[0].kind, base::msg::Kind::ErrorReport);
        QCOMPARE(
            c.messages.messages[0].text,
            QStringLiteral(
                "Text v poli 'Jméno' je příliš dlouhý: má 120 znaků, pole pojme nejvýše 100."));
        QCOMPARE(f.ui().EditJmeno->text(), tooLong); // the typing is kept for correction
        QVERIFY(!f.isBrowseMode());
        QCOMPARE(c.contacts().state(), dataset::Dataset::State::Edit);
        QCOMPARE(c.contacts().fieldByName("KRAJ")->asString(), QStringLiteral(" "));
        QCOMPARE(c.stored("JMENO", 1).toString(), QStringLiteral("Jana"));
        // Corrected, the same key confirms.
        f.ui().EditJmeno->setText(QStringLiteral("Johana"));
        press(f, Qt::Key_Return);
        QVERIFY(f.isBrowseMode());
        QCOMPARE(c.stored("JMENO", 1).toString(), QStringLiteral("Johana"));
        QCOMPARE(c.messages.messages.size(), size_t(1));
    }

    void enterInANoteBoxIsALineBreak() {
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        press(f, Qt::Key_F2);
        f.ui().pcKontakt->setCurrentWidget(f.ui().tsPoznamka);
        f.ui().MemoPoznamka->setFocus();
        typeText(f.ui().MemoPoznamka, QStringLiteral("první"));
        press(f, Qt::Key_Return);
        typeText(f.ui().MemoPoznamka, QStringLiteral("druhá"));
        QVERIFY(!f.isBrowseMode());
        QCOMPARE(f.ui().MemoPoznamka->toPlainText(), QStringLiteral("první\ndruhá"));
        f.BB_JoClick();
        QVERIFY(f.isBrowseMode());
        QCOMPARE(c.stored("POZNAMKA", 1).toString(), QStringLiteral("první\r\ndruhá"));
        // The address tab shows the same column.
        QCOMPARE(f.ui().MemoPoznamkaAD->toPlainText(), QStringLiteral("první\ndruhá"));
    }

    void enterInBrowseModeDoesNothing() {
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        f.ui().EditJmeno->setFocus();
        press(f, Qt::Key_Return);
        QVERIFY(f.isVisible());
        QVERIFY(f.isBrowseMode());
        QCOMPARE(c.contacts().state(), dataset::Dataset::State::Browse);
        QVERIFY(c.messages.messages.empty());
    }

    void escapeCancelsThenCloses() {
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        press(f, Qt::Key_F2);
        QCOMPARE(QApplication::focusWidget(), f.ui().dcbTitulP); // the first box of the tab
        // Nothing changed: Escape cancels at once.
        press(f, Qt::Key_Escape);
        QVERIFY(f.isBrowseMode());
        QVERIFY(c.messages.messages.empty());
        // Typing made: Escape asks first; No keeps everything as typed.
        press(f, Qt::Key_F2);
        f.ui().EditJmeno->setFocus();
        QTest::keyClicks(f.ui().EditJmeno, QStringLiteral("zzz"));
        c.messages.answers = {base::msg::Answer::No};
        press(f, Qt::Key_Escape);
        QCOMPARE(
            recorded(c.messages),
            QStringList{QStringLiteral("%1|Zahodit změny?").arg(int(base::msg::Kind::Confirm))});
        QVERIFY(!f.isBrowseMode());
        QCOMPARE(f.ui().EditJmeno->text(), QStringLiteral("zzzJana"));
        QCOMPARE(f.focusWidget(), f.ui().EditJmeno);
        c.messages.answers = {base::msg::Answer::Yes};
        press(f, Qt::Key_Escape);
        QCOMPARE(c.messages.messages.size(), size_t(2));
        QVERIFY(f.isVisible());
        QVERIFY(f.isBrowseMode());
        QCOMPARE(f.ui().EditJmeno->text(), QStringLiteral("Jana"));
        QCOMPARE(c.stored("JMENO", 1).toString(), QStringLiteral("Jana"));
        f.ui().pcKontakt->setCurrentIndex(2);
        press(f, Qt::Key_Escape);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.ui().pcKontakt->currentIndex(), 0);
    }

    void closeGuardRefusesInEditMode() {
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        f.sbKontEditClick();
        f.ui().pcKontakt->setCurrentIndex(3);
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QCOMPARE(f.ui().pcKontakt->currentIndex(), 3);
        QCOMPARE(c.contacts().state(), dataset::Dataset::State::Edit);
        QCOMPARE(c.messages.messages.size(), size_t(1));
        QCOMPARE(c.messages.messages[0].kind, base::msg::Kind::Warning);
        QCOMPARE(c.messages.messages[0].buttons, base::msg::Buttons::Ok);
        QCOMPARE(c.messages.messages[0].text,
                 QStringLiteral("Formulář je v editačním módu,\n\r"
                                "před uzavřením je potřeba změny potvrdit, či zrušit."));
        f.reject(); // the dialog's own way out is guarded too
        QVERIFY(f.isVisible());
        QCOMPARE(c.messages.messages.size(), size_t(2));
        f.BB_ZrusClick();
        QVERIFY(f.close());
        QVERIFY(!f.isVisible());
        QCOMPARE(f.ui().pcKontakt->currentIndex(), 0);
    }

    void keysActOnlyInBrowseMode_data() {
        QTest::addColumn<bool>("editing");
        QTest::newRow("browse") << false;
        QTest::newRow("edit") << true;
    }
    void keysActOnlyInBrowseMode() {
        QFETCH(bool, editing);
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        f.ui().EditJmeno->setFocus();
        if (editing)
            f.sbKontEditClick();
        auto current = [&] { return c.contacts().fieldByName("ID")->asInteger(); };

        press(f, Qt::Key_PageDown);
        QCOMPARE(current(), editing ? 1 : 2);
        QCOMPARE(f.windowTitle(), editing ? QStringLiteral("Kontakt: Malá Jana")
                                          : QStringLiteral("Kontakt: Dvořák Petr"));
        press(f, Qt::Key_End);
        QCOMPARE(current(), editing ? 1 : 3);
        press(f, Qt::Key_PageUp);
        QCOMPARE(current(), editing ? 1 : 2);
        press(f, Qt::Key_Home);
        QCOMPARE(current(), 1);
        QCOMPARE(f.windowTitle(), QStringLiteral("Kontakt: Malá Jana"));
        QCOMPARE(f.ui().EditJmeno->cursorPosition(), 0); // Home still reached the box

        press(f, Qt::Key_F3);
        QCOMPARE(c.contacts().state(),
                 editing ? dataset::Dataset::State::Edit : dataset::Dataset::State::Insert);
        if (!editing) {
            QCOMPARE(c.contacts().fieldByName("ID")->asInteger(), 4);
            f.BB_ZrusClick();
            press(f, Qt::Key_F2);
            QCOMPARE(c.contacts().state(), dataset::Dataset::State::Edit);
            QVERIFY(!f.isBrowseMode());
        } else {
            press(f, Qt::Key_F2);
            QCOMPARE(c.contacts().state(), dataset::Dataset::State::Edit);
        }
        QCOMPARE(c.db.scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT")).toInt(), 3);
        QVERIFY(c.messages.messages.empty());
    }

    // First and prior are greyed at the first row, next and last at the
    // last row, all four on an empty table; a greyed key press stays put.
    void navigatorGreysAtTheEnds_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("steps"); // Next presses from the first row
        QTest::addColumn<bool>("backEnabled");
        QTest::addColumn<bool>("onEnabled");
        QTest::newRow("first") << 3 << 0 << false << true;
        QTest::newRow("middle") << 3 << 1 << true << true;
        QTest::newRow("last") << 3 << 2 << true << false;
        QTest::newRow("only row") << 1 << 0 << false << false;
        QTest::newRow("empty") << 0 << 0 << false << false;
    }
    void navigatorGreysAtTheEnds() {
        QFETCH(int, rows);
        QFETCH(int, steps);
        QFETCH(bool, backEnabled);
        QFETCH(bool, onEnabled);
        Contacts c(false);
        for (int id = 1; id <= rows; ++id)
            addContact(c.db, id, 1, QStringLiteral("Jméno%1").arg(id),
                       QStringLiteral("Příjmení%1").arg(id));
        c.contacts().refresh();
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        for (int i = 0; i < steps; ++i)
            press(f, Qt::Key_PageDown);
        auto enabled = [&](forms::DbNavigator::Button b) {
            return f.ui().DBNavi->button(b)->isEnabled();
        };
        QCOMPARE(enabled(forms::DbNavigator::First), backEnabled);
        QCOMPARE(enabled(forms::DbNavigator::Prior), backEnabled);
        QCOMPARE(enabled(forms::DbNavigator::Next), onEnabled);
        QCOMPARE(enabled(forms::DbNavigator::Last), onEnabled);
        if (rows > 0) {
            QCOMPARE(c.contacts().fieldByName("ID")->asInteger(), steps + 1);
            // From the last row the way back opens and the way on closes.
            press(f, Qt::Key_End);
            QCOMPARE(enabled(forms::DbNavigator::Next), false);
            QCOMPARE(enabled(forms::DbNavigator::Prior), rows > 1);
            press(f, Qt::Key_Home);
            QCOMPARE(enabled(forms::DbNavigator::Prior), false);
            QCOMPARE(enabled(forms::DbNavigator::Next), rows > 1);
        }
        QVERIFY(c.messages.messages.empty());
    }

    void editOnAnEmptyTableStartsANewRow() {
        Contacts c(false);
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        QCOMPARE(f.ui().EditID->text(), QString());
        f.ui().pcKontakt->setCurrentIndex(1);
        f.sbKontEditClick();
        QCOMPARE(c.contacts().state(), dataset::Dataset::State::Insert);
        QCOMPARE(f.ui().EditID->text(), QStringLiteral("1"));
        QCOMPARE(f.windowTitle(), QString());
        QCOMPARE(f.ui().pcKontakt->currentIndex(), 0);
        QCOMPARE(f.focusWidget(), f.ui().dcbTitulP);
        QVERIFY(!f.isBrowseMode());
        f.ui().EditPrijmeni->setText(QStringLiteral("První"));
        f.BB_JoClick();
        QCOMPARE(c.stored("PRIJMENI", 1).toString(), QStringLiteral("První"));
        QCOMPARE(c.stored("ID_FIRMA", 1).toInt(), 0);
        QCOMPARE(c.stored("ID_POBOCKA", 1).toInt(), 0);
        QCOMPARE(c.stored("KRAJ", 1).toString(), QStringLiteral(" "));
        QVERIFY(c.messages.messages.empty());
    }

    void cancellingANewRowLeavesNothing() {
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        f.sbKontVlozClick();
        f.ui().EditJmeno->setText(QStringLiteral("Nikdo"));
        f.BB_ZrusClick();
        QCOMPARE(c.db.scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT")).toInt(), 3);
        QCOMPARE(c.contacts().fieldByName("ID")->asInteger(), 3); // back on the last row
        QCOMPARE(f.windowTitle(), QStringLiteral("Kontakt: Horová Eva"));
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<base::msg::Answer>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("no") << base::msg::Answer::No << 3;
        QTest::newRow("yes") << base::msg::Answer::Yes << 2;
    }
    void deleteAsksFirst() {
        QFETCH(base::msg::Answer, answer);
        QFETCH(int, left);
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        c.messages.answers = {answer};
        f.sbKontSmazClick();
        QCOMPARE(c.messages.messages.size(), size_t(1));
        QCOMPARE(c.messages.messages[0].kind, base::msg::Kind::Warning);
        QCOMPARE(c.messages.messages[0].buttons, base::msg::Buttons::YesNo);
        QCOMPARE(c.messages.messages[0].text, QStringLiteral("Opravdu smazat tento záznam?"));
        QCOMPARE(c.db.scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT")).toInt(), left);
        QCOMPARE(f.windowTitle(), left == 3 ? QStringLiteral("Kontakt: Malá Jana")
                                            : QStringLiteral("Kontakt: Dvořák Petr"));
    }

    void deletingTheLastContactPersonKeepsTheCompanyListed() {
        Contacts c;
        addCompany(c.db, 2, QStringLiteral("Beta"));
        addContact(c.db, 4, 2, QStringLiteral("Olga"), QStringLiteral("Sama"));
        c.contacts().refresh();
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        auto deleteContact = [&](int id) {
            QVERIFY(c.contacts().locate(QStringLiteral("ID"), {id}));
            c.messages.answers = {base::msg::Answer::Yes};
            f.sbKontSmazClick();
        };
        // Others are left: no placeholder is made.
        deleteContact(1);
        QCOMPARE(
            c.db.scalar(QStringLiteral("SELECT COUNT(*) FROM KONTAKT WHERE ID_FIRMA = 1")).toInt(),
            2);
        // The last one: the company gets its placeholder back at once.
        deleteContact(4);
        const auto rows =
            c.db.rows(QStringLiteral("SELECT KRAJ, ID_POBOCKA FROM KONTAKT WHERE ID_FIRMA = 2"));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][0].toString(), QStringLiteral("***"));
        QCOMPARE(rows[0][1].toInt(), 0);
        dataset::QueryDataset &board = c.db.dm->qHlavniDeska;
        board.close();
        board.open();
        QVERIFY(board.locate(QStringLiteral("NAZEV_FIRMA"), {QStringLiteral("Beta")}));
        QVERIFY(c.messages.messages.size() == 2); // the two questions only
    }

    void aConfirmWithNothingChangedWritesNothing() {
        Contacts c;
        // Text as people store it: a no-break space, line breaks of both kinds.
        const QString note = QStringLiteral("Tel.\u00A0603\r\nPo–Pá\nčt\u00A0 ");
        c.db.exec(QStringLiteral("UPDATE KONTAKT SET POZNAMKA = ?, JMENO = ? WHERE ID = 2"),
                  {note, QStringLiteral("Petr\u00A0Pavel")});
        c.contacts().refresh();
        const QVariant version = c.stored(QStringLiteral("RDB$RECORD_VERSION"), 2);
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        QVERIFY(c.contacts().locate(QStringLiteral("ID"), {2}));
        press(f, Qt::Key_F2);
        press(f, Qt::Key_Return);
        QVERIFY(f.isBrowseMode());
        QVERIFY(c.messages.messages.empty());
        QCOMPARE(c.stored(QStringLiteral("RDB$RECORD_VERSION"), 2), version);
        QCOMPARE(c.stored(QStringLiteral("POZNAMKA"), 2).toString(), note);
        // A real change of the note keeps the no-break spaces it holds.
        press(f, Qt::Key_F2);
        f.ui().MemoPoznamka->moveCursor(QTextCursor::End);
        typeText(f.ui().MemoPoznamka, QStringLiteral("x"));
        press(f, Qt::Key_Return);
        QCOMPARE(c.stored(QStringLiteral("POZNAMKA"), 2).toString(),
                 QStringLiteral("Tel.\u00A0603\r\nPo–Pá\r\nčt\u00A0 x"));
    }

    void confirmWritesTheRegionOfEveryContact() {
        Contacts c;
        addContact(c.db, 4, 1, QString(), QString(), QStringLiteral("***"));
        c.contacts().refresh();
        TFM_Kontakt &f = *c.form;
        QVERIFY(showActive(f));
        QVERIFY(c.contacts().locate(QStringLiteral("ID"), {4}));
        f.sbKontEditClick();
        f.ui().EditJmeno->setText(QStringLiteral("Nový"));
        f.BB_JoClick();
        QCOMPARE(c.stored("KRAJ", 4).toString(), QStringLiteral(" "));
        QCOMPARE(c.stored("JMENO", 4).toString(), QStringLiteral("Nový"));
        // Confirming without any change still writes it.
        c.db.exec(QStringLiteral("UPDATE KONTAKT SET KRAJ = NULL WHERE ID = 2"));
        c.contacts().refresh();
        QVERIFY(c.contacts().locate(QStringLiteral("ID"), {2}));
        f.sbKontEditClick();
        f.BB_JoClick();
        QCOMPARE(c.stored("KRAJ", 2).toString(), QStringLiteral(" "));
    }

    void editOnShowOpensInEditModeOnTheOpenersRow() {
        Contacts c;
        addCompany(c.db, 7, QStringLiteral("Sedmá firma"));
        c.db.dm->tFIRMA.refresh();
        TFM_Kontakt &f = *c.form;
        newContactCompanyId = 7;
        f.newRecordData();
        contactEditOnShow = true;
        QVERIFY(showActive(f));
        contactEditOnShow = false;
        newContactCompanyId = 0;
        QVERIFY(!f.isBrowseMode());
        QCOMPARE(c.contacts().state(), dataset::Dataset::State::Insert);
        QCOMPARE(f.ui().cbFirmaLookup->shownText(), QStringLiteral("Sedmá firma"));
        QCOMPARE(c.db.dm->tFIRMA.fieldByName("ID")->asInteger(), 1); // the lookup did not move it
        f.ui().EditPrijmeni->setText(QStringLiteral("Sedmý"));
        f.BB_JoClick();
        QCOMPARE(c.stored("ID_FIRMA", 4).toInt(), 7);
        QCOMPARE(c.stored("ID_POBOCKA", 4).toInt(), 0);
        QCOMPARE(c.stored("PRIJMENI", 4).toString(), QStringLiteral("Sedmý"));
        QVERIFY(f.close());

        // Opened again without the flag, a new contact belongs to no company.
        QVERIFY(showActive(f));
        QVERIFY(f.isBrowseMode());
        press(f, Qt::Key_F3);
        f.ui().EditPrijmeni->setText(QStringLiteral("Bez firmy"));
        f.BB_JoClick();
        QCOMPARE(c.stored("ID_FIRMA", 5).toInt(), 0);
        QCOMPARE(c.stored("ID_POBOCKA", 5).toInt(), 0);
        QCOMPARE(f.ui().cbFirmaLookup->shownText(), QString());
        QVERIFY(c.messages.messages.empty());
    }

    void creationResetsTheHandOverValues() {
        DataFixture db;
        db.openAll();
        newContactCompanyId = 5;
        newContactBranchId = 3;
        contactEditOnShow = true;
        TFM_Kontakt form(*db.dm);
        QCOMPARE(newContactCompanyId, 0);
        QCOMPARE(newContactBranchId, 0);
        QVERIFY(!contactEditOnShow);
        QCOMPARE(form.ui().pcKontakt->currentIndex(), 0);
    }
};

QTEST_MAIN(TestContactForm)
#include "tst_contactform.moc"
