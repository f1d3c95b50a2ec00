// The contact form from the keyboard: Enter and Esc, the close guard, the
// keys of browse mode and the navigator at the ends of the table.
#include "ContactFormFixture.h"

#include <QTabWidget>

class TestContactKeys : public QObject {
    Q_OBJECT
  private slots:
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
};

QTEST_MAIN(TestContactKeys)
#include "tst_contactkeys.moc"
