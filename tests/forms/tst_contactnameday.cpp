// The contact form's Svátek box: the calendar's day for the first name.
#include "ContactFormFixture.h"

class TestContactNameDay : public QObject {
    Q_OBJECT
  private slots:
    /// The box follows the first name in edit mode (the first day in the
    /// year for a name with several, a name among several of one day; for an
    /// unknown one the day the row holds, if any) and its text is stored on
    /// confirm; cancel shows the stored day again.
    void nameDayFollowsTheFirstName() {
        Contacts c;
        TFM_Kontakt &f = *c.form;
        QLineEdit *box = f.ui().EditSvatek;
        QCOMPARE(box->text(), QString()); // nothing stored yet for Jana
        f.sbKontEditClick();
        QCOMPARE(box->text(), QStringLiteral("24. 5."));
        const std::pair<const char *, const char *> names[] = {
            {"petr", "22. 2."}, {"Pavel", "29. 6."}, {"Xaver", ""}, {"", ""}, {"Petr", "22. 2."}};
        for (const auto &[name, day] : names) {
            f.ui().EditJmeno->setText(QString::fromUtf8(name));
            QCOMPARE(box->text(), QString::fromUtf8(day));
        }
        f.BB_JoClick();
        QVERIFY(f.isBrowseMode());
        QCOMPARE(c.stored("JMENO || '|' || SVATEK", 1).toString(), QStringLiteral("Petr|22. 2."));

        f.sbKontEditClick();
        f.ui().EditJmeno->setText(QStringLiteral("Xaver")); // unknown: the stored day stays
        QCOMPARE(box->text(), QStringLiteral("22. 2."));
        f.ui().EditJmeno->setText(QStringLiteral("Jana"));
        QCOMPARE(box->text(), QStringLiteral("24. 5."));
        f.BB_ZrusClick();
        QCOMPARE(box->text(), QStringLiteral("22. 2."));
        QVERIFY(c.messages.messages.empty());
    }
};

QTEST_MAIN(TestContactNameDay)
#include "tst_contactnameday.moc"
