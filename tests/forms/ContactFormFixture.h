#pragma once

// The contact form over three contacts of one company, and the look its
// modes give the controls.
#include "support/FormFixture.h"

#include "forms/DbNavigator.h"
#include "forms/U_Kontakt.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <memory>

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

inline QList<QWidget *> browseGroup(TFM_Kontakt &f) {
    return {f.ui().DBNavi, f.ui().sbKontVloz, f.ui().sbKontEdit, f.ui().sbKontSmaz};
}

inline void verifyLook(TFM_Kontakt &f, bool editable) {
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
    // A stored contact being edited may move to another company.
    QCOMPARE(f.ui().cbFirma->isEnabled(), editable);
    QCOMPARE(f.ui().cbFirma->lineEdit()->isReadOnly(), !editable);
    QCOMPARE(f.isBrowseMode(), !editable);
    for (QWidget *w : browseGroup(f))
        QVERIFY2(w->isEnabled() == !editable, qPrintable(w->objectName()));
    QCOMPARE(f.ui().BB_Jo->isEnabled(), editable);
    QCOMPARE(f.ui().BB_Zrus->isEnabled(), editable);
    QCOMPARE(f.ui().Natifotku1->isEnabled(), editable);
    QCOMPARE(f.ui().Vymafotku1->isEnabled(), editable);
    QVERIFY(f.ui().lFotoNahrano->isHidden());
}
