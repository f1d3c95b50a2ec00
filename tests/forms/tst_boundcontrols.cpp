// The data-bound controls on their own: text boxes, drop-down lists, note
// boxes, the lookup list and the navigator over tKONTAKT and tFIRMA.
#include "support/FormFixture.h"

#include "forms/BoundText.h"
#include "forms/DbNavigator.h"
#include "forms/LookupBinding.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QToolButton>

class TestBoundControls : public QObject {
    Q_OBJECT

    struct Rows {
        DataFixture db;
        base::msg::Recorder messages;
        QWidget window;
        Rows() {
            addCompany(db, 1, QStringLiteral("Alfa"));
            addCompany(db, 2, QStringLiteral("Beta"));
            addContact(db, 1, 2, QStringLiteral("Jana"), QStringLiteral("Malá"));
            addContact(db, 2, 1, QStringLiteral("Petr"), QStringLiteral("Dvořák"));
            db.exec(
                QStringLiteral("UPDATE KONTAKT SET POZNAMKA = ?, TITUL_PRED = 'Ing.' WHERE ID = 1"),
                {QStringLiteral("řádek 1\nřádek 2")});
            db.openAll();
        }
        dataset::TableDataset &contacts() { return db.dm->tKONTAKT; }
        dataset::DataSource &source() { return db.dm->dsKONTAKT; }
        QString stored(const QString &column, int id) {
            return db
                .scalar(QStringLiteral("SELECT %1 FROM KONTAKT WHERE ID = %2").arg(column).arg(id))
                .toString();
        }
    };

  private slots:
    void boxesFollowTheCurrentRowAndItsState() {
        Rows r;
        auto *first = new QLineEdit(&r.window);
        auto *second = new QLineEdit(&r.window);
        new forms::LineEditBinding(first, r.source(), QStringLiteral("jmeno"));
        new forms::LineEditBinding(second, r.source(), QStringLiteral("JMENO"));
        QCOMPARE(first->text(), QStringLiteral("Jana"));
        r.contacts().next();
        QCOMPARE(first->text(), QStringLiteral("Petr"));
        r.contacts().insert();
        QCOMPARE(first->text(), QString());
        r.contacts().cancel();
        QCOMPARE(first->text(), QStringLiteral("Petr"));
        r.contacts().close();
        QCOMPARE(first->text(), QString());
        r.contacts().open();
        QCOMPARE(second->text(), QStringLiteral("Jana"));
    }

    void twoBoxesOnOneColumnStayAlike() {
        Rows r;
        auto *brief = new QLineEdit(&r.window);
        auto *full = new QLineEdit(&r.window);
        auto *other = new QLineEdit(&r.window);
        new forms::LineEditBinding(brief, r.source(), QStringLiteral("TELEFON1"));
        new forms::LineEditBinding(full, r.source(), QStringLiteral("TELEFON1"));
        new forms::LineEditBinding(other, r.source(), QStringLiteral("MOBIL"));
        r.contacts().edit();
        other->setText(QStringLiteral("777 000 111")); // typed, not yet handed over
        brief->setText(QStringLiteral("603 123 456"));
        emit brief->editingFinished(); // the box is left
        QCOMPARE(full->text(), QStringLiteral("603 123 456"));
        QCOMPARE(other->text(),
                 QStringLiteral("777 000 111")); // survived the change of another column
        r.contacts().post();
        QCOMPARE(r.stored("TELEFON1", 1), QStringLiteral("603 123 456"));
        QCOMPARE(r.stored("MOBIL", 1), QStringLiteral("777 000 111")); // collected by Post
    }

    void handOverOnlyWhileEditingAndWhenChanged() {
        Rows r;
        auto *box = new QLineEdit(&r.window);
        auto *binding = new forms::LineEditBinding(box, r.source(), QStringLiteral("PRIJMENI"));
        box->setText(QStringLiteral("Jiná"));
        binding->handOver(); // browse: the row takes nothing
        QCOMPARE(r.contacts().fieldByName("PRIJMENI")->asString(), QStringLiteral("Malá"));
        binding->reload();
        QCOMPARE(box->text(), QStringLiteral("Malá"));
        r.contacts().edit();
        binding->handOver();
        QVERIFY(!r.contacts().isModified()); // same text: nothing written
        box->setText(QStringLiteral("Malá-Nová"));
        binding->handOver();
        QVERIFY(r.contacts().isModified());
        QCOMPARE(r.contacts().fieldByName("PRIJMENI")->asString(), QStringLiteral("Malá-Nová"));
    }

    void aRefusedCharacterStopsTheConfirmBeforeAnythingIsWritten() {
        Rows r;
        auto *box = new QLineEdit(&r.window);
        new forms::LineEditBinding(box, r.source(), QStringLiteral("PRIJMENI"));
        r.contacts().edit();
        box->setText(QStringLiteral("Malá ☎"));
        QString refusal;
        try {
            forms::TextBinding::handOverAll(&r.window, r.source());
        } catch (const db::DbError &e) {
            refusal = e.message();
        }
        QVERIFY2(refusal.startsWith(
                     QStringLiteral("tKONTAKT: Text v poli 'PRIJMENI' obsahuje znak „☎“")),
                 qPrintable(refusal));
        QCOMPARE(box->text(), QStringLiteral("Malá ☎")); // nothing the user typed is lost
        QVERIFY(!r.contacts().isModified());
        // Left by the focus, the refusal goes to the standard error report.
        emit box->editingFinished();
        QCOMPARE(r.messages.messages.size(), size_t(1));
        QCOMPARE(r.messages.messages[0].kind, base::msg::Kind::ErrorReport);
    }

    void textUpToTheColumnSizeIsTakenAndLongerRefused_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("size");
        QTest::newRow("surname") << QStringLiteral("PRIJMENI") << 100;
        QTest::newRow("title") << QStringLiteral("TITUL_PRED") << 30;
    }
    void textUpToTheColumnSizeIsTakenAndLongerRefused() {
        QFETCH(QString, column);
        QFETCH(int, size);
        Rows r;
        auto *box = new QLineEdit(&r.window);
        auto *binding = new forms::LineEditBinding(box, r.source(), column);
        r.contacts().edit();
        // Czech letters count as one character each, as the column counts them.
        const QString full(size, QChar(0x0159));
        box->setText(full);
        QVERIFY_DB(binding->handOver());
        QVERIFY_DB(r.contacts().post());
        QCOMPARE(r.stored(column, 1), full);

        r.contacts().edit();
        box->setText(full + QLatin1Char('x'));
        QString refusal;
        try {
            binding->handOver();
        } catch (const db::DbError &e) {
            refusal = e.message();
        }
        QCOMPARE(
            refusal,
            QStringLiteral("tKONTAKT: Text v poli '%1' je příliš dlouhý: má %2 znaků, pole pojme "
                           "nejvýše %3.")
                .arg(column)
                .arg(size + 1)
                .arg(size));
        QVERIFY(binding->hasPendingText());
        QCOMPARE(box->text(), full + QLatin1Char('x'));
        QCOMPARE(r.stored(column, 1), full);
    }

    void noteBoxesKeepTheirLineBreaks() {
        Rows r;
        auto *note = new QPlainTextEdit(&r.window);
        new forms::NoteBinding(note, r.source(), QStringLiteral("POZNAMKA"));
        QCOMPARE(note->toPlainText(), QStringLiteral("řádek 1\nřádek 2"));
        r.contacts().edit();
        r.contacts().post(); // untouched: the stored text stays as it was
        QCOMPARE(r.stored("POZNAMKA", 1), QStringLiteral("řádek 1\nřádek 2"));
        r.contacts().edit();
        note->setPlainText(QStringLiteral("řádek 1\nřádek 2\nřádek 3"));
        r.contacts().post();
        QCOMPARE(r.stored("POZNAMKA", 1), QStringLiteral("řádek 1\r\nřádek 2\r\nřádek 3"));
        QCOMPARE(note->toPlainText(), QStringLiteral("řádek 1\nřádek 2\nřádek 3"));
    }

    void dropDownListsStoreChosenOrTypedText() {
        Rows r;
        auto *list = new QComboBox(&r.window);
        list->setEditable(true);
        list->addItems({QString(), QStringLiteral("Bc."), QStringLiteral("Ing.")});
        new forms::ComboBinding(list, r.source(), QStringLiteral("TITUL_PRED"));
        QCOMPARE(list->currentText(), QStringLiteral("Ing."));
        QCOMPARE(list->currentIndex(), 2);
        r.contacts().next();
        QCOMPARE(list->currentText(), QString());
        r.contacts().edit();
        list->setCurrentIndex(1);
        r.contacts().post();
        QCOMPARE(r.stored("TITUL_PRED", 2), QStringLiteral("Bc."));
        r.contacts().edit();
        list->setEditText(QStringLiteral("Mgr. et Mgr."));
        r.contacts().post();
        QCOMPARE(r.stored("TITUL_PRED", 2), QStringLiteral("Mgr. et Mgr."));
        QCOMPARE(list->count(), 3); // typed text is not added to the items
    }

    void lookupShowsTheCompanyWithoutMovingIt() {
        Rows r;
        auto *box = new QComboBox(&r.window);
        auto *lookup =
            new forms::LookupBinding(box, r.source(), QStringLiteral("ID_FIRMA"), r.db.dm->tFIRMA,
                                     QStringLiteral("ID"), QStringLiteral("NAZEV_FIRMA"));
        auto &companies = r.db.dm->tFIRMA;
        QCOMPARE(lookup->shownText(), QString()); // hidden: nothing looked up yet
        r.window.show();
        QCOMPARE(lookup->shownText(), QStringLiteral("Beta"));
        QCOMPARE(companies.fieldByName("ID")->asInteger(), 1);
        r.contacts().next();
        QCOMPARE(lookup->shownText(), QStringLiteral("Alfa"));
        companies.edit();
        companies.fieldByName("NAZEV_FIRMA")->setAsString(QStringLiteral("Alfa a syn"));
        companies.post();
        QCOMPARE(lookup->shownText(), QStringLiteral("Alfa a syn"));
        r.contacts().edit();
        r.contacts().fieldByName("ID_FIRMA")->setAsInteger(0);
        QCOMPARE(lookup->shownText(), QString());
        QCOMPARE(companies.fieldByName("ID")->asInteger(), 1);
        QCOMPARE(box->count(), 1);
    }

    void navigatorMovesAndReports() {
        Rows r;
        forms::DbNavigator navigator(r.source());
        QSignalSpy moved(&navigator, &forms::DbNavigator::moved);
        navigator.button(forms::DbNavigator::Last)->click();
        QCOMPARE(r.contacts().fieldByName("ID")->asInteger(), 2);
        QVERIFY(!navigator.button(forms::DbNavigator::Next)->isEnabled()); // greyed at the end
        navigator.button(forms::DbNavigator::Next)->click();
        QCOMPARE(r.contacts().fieldByName("ID")->asInteger(), 2);
        navigator.button(forms::DbNavigator::First)->click();
        QCOMPARE(r.contacts().fieldByName("ID")->asInteger(), 1);
        QCOMPARE(moved.count(), 2);
        QVERIFY(!navigator.button(forms::DbNavigator::Prior)->accessibleName().isEmpty());

        // A closed table greys every button: nothing to move, nothing to report.
        r.contacts().close();
        for (auto b : {forms::DbNavigator::First, forms::DbNavigator::Prior,
                       forms::DbNavigator::Next, forms::DbNavigator::Last})
            QVERIFY(!navigator.button(b)->isEnabled());
        navigator.button(forms::DbNavigator::Next)->click();
        QCOMPARE(moved.count(), 2);
        QVERIFY(r.messages.messages.empty());
    }
};

QTEST_MAIN(TestBoundControls)
#include "tst_boundcontrols.moc"
