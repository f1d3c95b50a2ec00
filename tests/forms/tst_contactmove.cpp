// Moving a contact person to another company from the contact form.
#include "ContactFormFixture.h"

#include "db/DbError.h"

#include <QAbstractItemView>
#include <QCompleter>

/// Alfa (1) with its placeholder and Jana (ID 11, branch 7); Běta (2) with
/// its placeholder only; Gama (3) with Petr (ID 30) and no placeholder.
struct Moves : Contacts {
    Moves() : Contacts(false) {
        addCompany(db, 2, QStringLiteral("Běta"));
        addCompany(db, 3, QStringLiteral("Gama"));
        addContact(db, 10, 1, QString(), QString(), QStringLiteral("***"));
        addContact(db, 11, 1, QStringLiteral("Jana"), QStringLiteral("Malá"));
        addContact(db, 20, 2, QString(), QString(), QStringLiteral("***"));
        addContact(db, 30, 3, QStringLiteral("Petr"), QStringLiteral("Dvořák"));
        db.exec(QStringLiteral("UPDATE KONTAKT SET ID_POBOCKA = 7 WHERE ID = 11"));
        db.dm->tFIRMA.refresh();
        contacts().refresh();
    }
    /// Edit mode on contact `id`, `typed` typed over the company box.
    void startMove(int id, const QString &typed) {
        QVERIFY(contacts().locate(QStringLiteral("ID"), {id}));
        form->sbKontEditClick();
        QComboBox *box = form->ui().cbFirma;
        QVERIFY(box->isEnabled());
        box->setFocus();
        box->lineEdit()->selectAll();
        typeText(box->lineEdit(), typed);
    }
    /// ID_FIRMA, KRAJ and ID of every stored contact, in that order.
    QStringList allContacts() {
        QStringList out;
        for (const QVariantList &row : db.rows(QStringLiteral(
                 "SELECT ID_FIRMA, KRAJ, ID, ID_POBOCKA FROM KONTAKT ORDER BY ID_FIRMA, ID")))
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(row[0].toInt())
                       .arg(row[1].toString(), row[2].toString())
                       .arg(row[3].toInt());
        return out;
    }
    QStringList boardRows() {
        dataset::QueryDataset &board = db.dm->qHlavniDeska;
        board.close();
        board.open();
        const int company = board.columnIndex(QStringLiteral("NAZEV_FIRMA"));
        const int surname = board.columnIndex(QStringLiteral("PRIJMENI"));
        QStringList out;
        for (int i = 0; i < board.recordCount(); ++i)
            out << (board.valueAt(i, company).toString() + ' ' +
                    board.valueAt(i, surname).toString())
                       .trimmed();
        out.sort();
        return out;
    }
};

class TestContactMove : public QObject {
    Q_OBJECT

  private slots:
    void aMoveKeepsBothCompaniesOnTheBoard() {
        Moves m;
        TFM_Kontakt &f = *m.form;
        QVERIFY(showActive(f));
        m.startMove(11, QStringLiteral("ETA"));
        // The companies are searched anywhere in the name, case and accents aside.
        QCompleter *completer = f.ui().cbFirma->completer();
        QCOMPARE(completer->completionCount(), 1);
        QCOMPARE(completer->currentCompletion(), QStringLiteral("Běta"));
        QTRY_VERIFY(completer->popup()->isVisible());
        QTest::keyClick(completer->popup(), Qt::Key_Down);
        QTest::keyClick(completer->popup(), Qt::Key_Return);
        QCOMPARE(f.ui().cbFirma->currentText(), QStringLiteral("Běta"));
        f.BB_JoClick();
        QVERIFY2(m.messages.messages.empty(), qPrintable(recorded(m.messages).join('\n')));
        QVERIFY(f.isBrowseMode());
        QVERIFY(!f.ui().cbFirma->isEnabled());
        QCOMPARE(f.ui().cbFirma->currentText(), QStringLiteral("Běta"));

        // Petr was Gama's last person: Gama gets a placeholder with a fresh ID.
        m.startMove(30, QStringLiteral("běta"));
        f.BB_JoClick();
        QVERIFY2(m.messages.messages.empty(), qPrintable(recorded(m.messages).join('\n')));
        const int placeholder = m.db.scalar(QStringLiteral("SELECT ID FROM KONTAKT "
                                                           "WHERE ID_FIRMA = 3"))
                                    .toInt();
        QVERIFY(placeholder > 30);
        // Běta's placeholder gave way, the persons kept their IDs and left
        // their branches, Alfa kept its one placeholder.
        QCOMPARE(m.allContacts(),
                 (QStringList{QStringLiteral("1 *** 10 0"), QStringLiteral("2   11 0"),
                              QStringLiteral("2   30 0"),
                              QStringLiteral("3 *** %1 0").arg(placeholder)}));

        // Reopened, the board lists the persons under Běta and every company.
        m.db.dm->RefreshBoard();
        QCOMPARE(m.boardRows(), (QStringList{QStringLiteral("Alfa"), QStringLiteral("Běta"),
                                             QStringLiteral("Běta Dvořák"),
                                             QStringLiteral("Běta Malá"), QStringLiteral("Gama")}));
    }

    void aMoveToACompanyDeletedMeanwhileIsRefused() {
        Moves m;
        TFM_Kontakt &f = *m.form;
        QVERIFY(showActive(f));
        const QStringList before = m.allContacts();
        m.startMove(30, QStringLiteral("Běta"));
        f.ui().EditPozice->setText(QStringLiteral("ředitel"));
        m.db.exec(QStringLiteral("DELETE FROM KONTAKT WHERE ID_FIRMA = 2"));
        m.db.exec(QStringLiteral("DELETE FROM FIRMA WHERE ID = 2"));
        f.BB_JoClick();
        QCOMPARE(recorded(m.messages).size(), 1);
        QVERIFY2(recorded(m.messages)[0].contains(QStringLiteral("mezitím někdo smazal")),
                 qPrintable(recorded(m.messages)[0]));
        // Still in edit mode with what was typed; nothing was written.
        QVERIFY(!f.isBrowseMode());
        QCOMPARE(f.ui().cbFirma->currentText(), QStringLiteral("Běta"));
        QCOMPARE(f.ui().EditPozice->text(), QStringLiteral("ředitel"));
        QCOMPARE(m.allContacts(), before.mid(0, 2) + before.mid(3));
        QVERIFY(m.stored(QStringLiteral("POZICE"), 30).toString().isEmpty());

        // A name that is no company is refused before anything is written.
        m.messages.messages.clear();
        f.ui().cbFirma->lineEdit()->setText(QStringLiteral("Delta"));
        f.BB_JoClick();
        QCOMPARE(recorded(m.messages).size(), 1);
        QVERIFY(recorded(m.messages)[0].contains(QStringLiteral("„Delta“ není v seznamu firem")));
        QVERIFY(!f.isBrowseMode());
        f.BB_ZrusClick();
        QCOMPARE(f.ui().cbFirma->currentText(), QStringLiteral("Gama"));
        QCOMPARE(m.contacts().fieldByName(QStringLiteral("ID_FIRMA"))->asInteger(), 3);
    }
};

QTEST_MAIN(TestContactMove)
#include "tst_contactmove.moc"
