// The company and contact steps driven through faces of the test's own,
// with no window built: what they write to the database and what they ask
// of the form.
#include "support/FormFixture.h"

#include "forms/ContactHandOver.h"
#include "forms/MessageTexts.h"
#include "forms/U_Firma_prikaz.h"
#include "forms/U_Kontakt_prikaz.h"

#include <functional>

namespace {

QString text(dataset::Dataset &table, const char *column) {
    return table.fieldByName(QString::fromLatin1(column))->asString();
}

/// The contact form as its steps see it: the boxes show the row, and what
/// the user typed into the surname box is `typedSurname`.
struct ContactWindow : forms::ContactFace {
    explicit ContactWindow(TDM &dm) : dm(dm) {}
    TDM &dm;
    QString typedSurname;
    QString title;
    bool editMode = false;

    QString shownId() const override { return text(dm.tKONTAKT, "ID"); }
    void showTitle(const QString &t) override { title = t; }
    void handOverTypedText() override {
        dm.tKONTAKT.fieldByName(QStringLiteral("PRIJMENI"))->setAsString(typedSurname);
    }
    void enterEditMode() override { editMode = true; }
    void enterBrowseMode() override { editMode = false; }
    bool isBrowseMode() const override { return !editMode; }
    void firstTabStep() override {}
    bool confirmDelete() override { return true; }
    void focusFirstBox() override {}
    QString shownSurname() const override { return text(dm.tKONTAKT, "PRIJMENI"); }
    QString shownFirstName() const override { return text(dm.tKONTAKT, "JMENO"); }
    void showPhoto(const QByteArray &) override {}
    void clearPhoto() override {}
    void showPhotoLoadedNotice() override {}
    QString choosePictureFile() override { return QString(); }
};

/// The company form as its steps see it: the boxes show the row, what the
/// user typed into the name box is `typedName`, and the contact form is
/// whatever `contactForm` does while it is shown.
struct CompanyWindow : forms::CompanyFace {
    explicit CompanyWindow(TDM &dm) : dm(dm) {}
    TDM &dm;
    QString typedName;
    QString title;
    bool editMode = false;
    bool focused = false;
    int tab = 2;
    int width = 0;
    std::function<void()> newContact;
    std::function<void()> contactForm;

    QString shownId() const override { return text(dm.tFIRMA, "ID"); }
    void showTitle(const QString &t) override { title = t; }
    void handOverTypedText() override {
        dm.tFIRMA.fieldByName(QStringLiteral("NAZEV_FIRMA"))->setAsString(typedName);
    }
    void enterEditMode() override { editMode = true; }
    void enterBrowseMode() override { editMode = false; }
    bool isBrowseMode() const override { return !editMode; }
    void firstTabStep() override { tab = 0; }
    bool confirmDelete() override { return true; }
    void focusFirstBox() override { focused = true; }
    int currentTab() const override { return tab; }
    void setOuterWidth(int w) override { width = w; }
    void copySeatNote(const QString &) override {}
    void newContactRecord() override { newContact(); }
    void showContactForm() override { contactForm(); }
    void clickEditContactPerson() override {}
    QString shownNumber(forms::CompanyNumber) const override { return QString(); }
    bool numberChanged(forms::CompanyNumber) const override { return false; }
    QString shownSeatCountry() const override { return QString(); }
    void focusNumber(forms::CompanyNumber) override {}
};

} // namespace

class TestRecordSteps : public QObject {
    Q_OBJECT
  private slots:
    /// A company made from nothing gets its placeholder contact, its first
    /// contact person takes that row over, and a company with a contact
    /// person is not deleted.
    void companyLifeThroughTheFaces() {
        DataFixture db;
        db.openAll();
        base::msg::Recorder messages;
        TDM &dm = *db.dm;
        ContactWindow contactWindow(dm);
        KontaktPrikaz contactSteps(contactWindow, dm);
        CompanyWindow window(dm);
        FirmaPrikaz steps(window, dm);
        window.newContact = [&] { contactSteps.newRecordStep(); };
        bool contactShownForEditing = false;
        window.contactForm = [&] {
            contactSteps.showStep();
            contactShownForEditing = contactWindow.editMode;
            contactWindow.typedSurname = QStringLiteral("Malá");
            contactSteps.confirmStep();
        };

        steps.editStep(); // no company yet: a new one
        QVERIFY(window.editMode);
        QVERIFY(window.focused);
        QCOMPARE(window.tab, 0);
        QVERIFY(steps.placeholderPending());
        const QString id = window.shownId();
        QVERIFY(!id.isEmpty());
        window.typedName = QStringLiteral("Nová");
        steps.confirmStep();
        QVERIFY(!window.editMode);
        QVERIFY(!steps.placeholderPending());
        QCOMPARE(window.title, QStringLiteral("Firma: Nová"));
        QCOMPARE(db.scalar("SELECT NAZEV_FIRMA FROM FIRMA WHERE ID = ?", {id}).toString(),
                 QStringLiteral("Nová"));
        QCOMPARE(db.scalar("SELECT KRAJ FROM KONTAKT WHERE ID_FIRMA = ?", {id}).toString(),
                 QStringLiteral("***"));

        steps.addContactPerson();
        QVERIFY(contactShownForEditing);
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM KONTAKT WHERE ID_FIRMA = ?", {id}).toInt(), 1);
        QCOMPARE(db.scalar("SELECT PRIJMENI || '|' || KRAJ FROM KONTAKT WHERE ID_FIRMA = ?", {id})
                     .toString(),
                 QStringLiteral("Malá| "));
        QCOMPARE(contactWindow.title, QStringLiteral("Kontakt: Malá "));
        QCOMPARE(newContactCompanyId, 0);
        QVERIFY(!dm.tKONTAKT.isFiltered());

        window.tab = forms::CompanyFace::kContactPersonsTab;
        steps.tabChangeStep();
        QCOMPARE(window.width, forms::CompanyFace::kWideWidth);
        QCOMPARE(text(dm.qFirmaKontakty, "PRIJMENI"), QStringLiteral("Malá"));

        steps.deleteStep();
        QCOMPARE(recorded(messages), QStringList{QStringLiteral("%1|%2")
                                                     .arg(int(base::msg::Kind::Warning))
                                                     .arg(forms::texts::msgCompanyHasContacts())});
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM FIRMA WHERE ID = ?", {id}).toInt(), 1);
    }
};

QTEST_MAIN(TestRecordSteps)
#include "tst_recordsteps.moc"
