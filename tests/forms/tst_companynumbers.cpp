// The company form and the Czech business numbers: the question before a
// changed number that fails its check is saved, the account typed with its
// bank code, and the bank's name beside the code.
#include "CompanyFormFixture.h"

#include <QLabel>
#include <QPushButton>

namespace {

const QString kBadIco = QStringLiteral("12345678");
const QString kBadAccount = QStringLiteral("19-123456");

} // namespace

class TestCompanyNumbers : public QObject {
    Q_OBJECT
  private slots:
    /// Changed invalid numbers are questioned together: No keeps editing
    /// with the text and the focus in the first one, Yes saves. Numbers
    /// nobody changed, and those of a foreign company, are never questioned.
    void changedInvalidNumbersAreQuestioned() {
        Companies c;
        Tfm_Firma &f = *c.form;
        c.db.exec(QStringLiteral("UPDATE FIRMA SET ICO = '%1' WHERE ID = 2").arg(kBadIco));
        c.dm().tFIRMA.refresh();
        QVERIFY(showActive(f));
        QVERIFY(c.goTo(1));
        f.ui().sbFirEdit->click();
        f.ui().EditIC->setText(kBadIco);
        f.ui().EditDIC->setText(QStringLiteral("CZ1234"));
        f.ui().EditCislo_uctu->setText(kBadAccount);
        f.ui().pcFirma->setCurrentIndex(2);
        c.messages.answers = {base::msg::Answer::No};
        f.ui().BB_Jo->click();
        QCOMPARE(c.messages.messages.size(), size_t(1));
        const auto &question = c.messages.messages.front();
        QCOMPARE(question.kind, base::msg::Kind::Warning);
        QCOMPARE(question.buttons, base::msg::Buttons::YesNo);
        QVERIFY2(question.text.startsWith(QStringLiteral("IČO 12345678: ")),
                 qPrintable(question.text));
        QVERIFY(question.text.contains(QStringLiteral("DIČ CZ1234: ")));
        QVERIFY(question.text.contains(QStringLiteral("Číslo účtu 19-123456: ")));
        QVERIFY(!f.isBrowseMode());
        QCOMPARE(f.ui().EditIC->text(), kBadIco);
        QCOMPARE(f.ui().pcFirma->currentIndex(), 0);
        QCOMPARE(QApplication::focusWidget(), f.ui().EditIC);
        QVERIFY(c.company("ICO", 1).isNull());

        c.messages.answers = {base::msg::Answer::Yes};
        f.ui().BB_Jo->click();
        QVERIFY(f.isBrowseMode());
        QCOMPARE(c.company("ICO", 1).toString(), kBadIco);
        QCOMPARE(c.company("BANK_UCET", 1).toString(), kBadAccount);

        // Stored as it is, changed elsewhere: saves without a question.
        c.messages.messages.clear();
        QVERIFY(c.goTo(2));
        f.ui().sbFirEdit->click();
        f.ui().EditNAZEV_FIRMA->setText(QStringLiteral("Beta nová"));
        f.ui().BB_Jo->click();
        QVERIFY(f.isBrowseMode());
        QCOMPARE(c.company("NAZEV_FIRMA", 2).toString(), QStringLiteral("Beta nová"));

        // A seat abroad follows other rules; "česká REPUBLIKA" is at home.
        QVERIFY(c.goTo(3));
        f.ui().sbFirEdit->click();
        f.ui().EditStatS->setText(QStringLiteral("Slovensko"));
        f.ui().EditIC->setText(kBadIco);
        f.ui().BB_Jo->click();
        QVERIFY(f.isBrowseMode());
        QCOMPARE(c.company("ICO", 3).toString(), kBadIco);
        QVERIFY(c.messages.messages.empty());
        f.ui().sbFirEdit->click();
        f.ui().EditStatS->setText(QStringLiteral("česká REPUBLIKA"));
        f.ui().EditIC->setText(QStringLiteral("1234567"));
        c.messages.answers = {base::msg::Answer::No};
        f.ui().BB_Jo->click();
        QCOMPARE(c.messages.messages.size(), size_t(1));
        QVERIFY(!f.isBrowseMode());
    }

    /// "19-2000145399/0800" left in the account box gives its code to the
    /// empty code box, whose bank is named beside it; a different code
    /// already there keeps the account as typed.
    void accountWithCodeAndBankName() {
        Companies c;
        Tfm_Firma &f = *c.form;
        QVERIFY(c.goTo(1));
        f.ui().sbFirEdit->click();
        QCOMPARE(f.ui().lNazevBanky->text(), QString());
        f.ui().EditCislo_uctu->setText(QStringLiteral("19-2000145399/0800"));
        emit f.ui().EditCislo_uctu->editingFinished();
        QCOMPARE(f.ui().EditCislo_uctu->text(), QStringLiteral("19-2000145399"));
        QCOMPARE(f.ui().EditKod_banky->text(), QStringLiteral("0800"));
        QCOMPARE(f.ui().lNazevBanky->text(), QStringLiteral("Česká spořitelna, a.s."));
        f.ui().BB_Jo->click();
        QVERIFY(c.messages.messages.empty());
        QCOMPARE(c.company("BANK_UCET || '/' || BANK_KOD", 1).toString(),
                 QStringLiteral("19-2000145399/0800"));

        f.ui().sbFirEdit->click();
        f.ui().EditCislo_uctu->setText(QStringLiteral("19-2000145399/0100"));
        emit f.ui().EditCislo_uctu->editingFinished();
        QCOMPARE(f.ui().EditCislo_uctu->text(), QStringLiteral("19-2000145399/0100"));
        QCOMPARE(f.ui().EditKod_banky->text(), QStringLiteral("0800"));
        f.ui().EditKod_banky->setText(QStringLiteral("9999"));
        QCOMPARE(f.ui().lNazevBanky->text(), QString());
    }
};

QTEST_MAIN(TestCompanyNumbers)
#include "tst_companynumbers.moc"
