// Name days and birthdays of the register's contacts: which contacts
// celebrate in the coming days (across the year's end and 29 February),
// the count in the status bar, the list window, opening a contact from it
// and one greeting to the contacts selected.
#include "MainWindowFixture.h"
#include "app/Celebrations.h"
#include "app/CelebrationsWindow.h"
#include "forms/U_Kontakt.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrlQuery>

namespace {

QStringList rowTexts(const QTreeWidget &list) {
    QStringList rows;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < list.columnCount(); ++c)
            cells << list.topLevelItem(i)->text(c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

class TestCelebrations : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();
    void birthdayOn29February();
    void countListOpenAndMail();
    void anyLetterCaseAndTheNextDay();
    void countFollowsAnotherWriter();

  private:
    std::unique_ptr<MainWindowFixture> f;
};

void TestCelebrations::initTestCase() {
    f = std::make_unique<MainWindowFixture>();
    // The program's own calendar: 30. 12. David, 31. 12. Silvestr, 1. 1.
    // Nový rok, 2. 1. Karina, ... 7. 1. Vilma, 8. 1. Čestmír.
    QVERIFY_DB(f->data.exec(
        QStringLiteral("INSERT INTO FIRMA (ID, NAZEV_FIRMA) VALUES (1, 'Stavby Šťastný')")));
    const QList<QVariantList> contacts = {
        // ID, JMENO, PRIJMENI, NAROZENINY, MOBIL, TELEFON1, EMAIL1, KRAJ
        {1, "David", "Novák", QVariant(), "777 111 222", "", "david@firma.cz", " "},
        {2, "Petr", "Svoboda", "1980-12-31", "", "222 333 444", "petr@firma.cz", QVariant()},
        {3, "Karina", "Malá", "1. 1. 1980", "", "", "", " "},
        {4, "Čestmír", "Dvořák", " 7.1. ", "", "", "cestmir@firma.cz", " "},
        {5, "Jan", "Černý", "29.12.1970", "", "", "jan@firma.cz", " "},
        {6, "Ota", "Bílý", "jaro 1975", "", "", "ota@firma.cz", " "},
        {7, "Eva", "Zelená", "29.2.1988", "", "", "", " "},
        {8, "David", QVariant(), QVariant(), "", "", "", "***"}, // a company's placeholder
    };
    for (const QVariantList &c : contacts)
        QVERIFY_DB(f->data.exec(
            QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, NAROZENINY, MOBIL, "
                           "TELEFON1, EMAIL1, KRAJ) VALUES (?, 1, ?, ?, ?, ?, ?, ?, ?)"),
            c));
    Tfm_Deska::clock() = [] { return QDate(2026, 12, 30); };
    f->create();
}

void TestCelebrations::cleanupTestCase() {
    Tfm_Deska::clock() = [] { return QDate::currentDate(); };
    f.reset();
}

void TestCelebrations::birthdayOn29February() {
    auto birthdaysOf = [this](const QDate &first) {
        QStringList seen;
        for (const app::celebrations::Celebration &c :
             app::celebrations::read(*f->data.dm, first, 9))
            if (c.kind == app::celebrations::Kind::Birthday)
                seen << QStringLiteral("%1 %2 %3")
                            .arg(c.contact.surname, c.date.toString(Qt::ISODate))
                            .arg(c.age);
        return seen;
    };
    // A common year has no 29 February: the day before it is.
    QCOMPARE(birthdaysOf(QDate(2027, 2, 21)), QStringList{"Zelená 2027-02-28 39"});
    QCOMPARE(birthdaysOf(QDate(2027, 2, 28)), QStringList{"Zelená 2027-02-28 39"});
    QCOMPARE(birthdaysOf(QDate(2027, 3, 1)), QStringList{});
    // A leap year has it, and 28 February is no birthday then.
    QCOMPARE(birthdaysOf(QDate(2028, 2, 28)), QStringList{"Zelená 2028-02-29 40"});
    QCOMPARE(birthdaysOf(QDate(2028, 2, 20)), QStringList{});
}

void TestCelebrations::countListOpenAndMail() {
    Tfm_Deska *w = f->window.get();
    TFM_Kontakt contactForm(*f->data.dm, w);
    w->setWindows(&contactForm, nullptr, nullptr, nullptr);
    QCOMPARE(w->ui().stbP1->text(),
             QStringLiteral("30.12.2026   Dnes má svátek David (zítra Silvestr)"));

    // The count comes once the window shows: David today, Petr's birthday
    // tomorrow; the placeholder named David is nobody.
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTRY_COMPARE(w->ui().stbP1->text(),
                 QStringLiteral("30.12.2026   Dnes má svátek David (zítra Silvestr) · 2 kontakty"));
    QVERIFY(w->ui().stbP1->accessibleName().isEmpty()); // assistive tools read the text shown
    QCOMPARE(app::celebrations::countSuffix(1), QStringLiteral(" · 1 kontakt"));
    QCOMPARE(app::celebrations::countSuffix(4), QStringLiteral(" · 4 kontakty"));
    QCOMPARE(app::celebrations::countSuffix(5), QStringLiteral(" · 5 kontaktů"));
    QCOMPARE(app::celebrations::countSuffix(0), QString());

    // F9 opens the list of the nine days from today, past the year's end.
    QTest::keyClick(w->windowHandle(), Qt::Key_F9);
    app::CelebrationsWindow *list = w->ui().celebrationsWindow;
    QVERIFY(list && list->isVisible());
    QCOMPARE(list->windowTitle(), QStringLiteral("Svátky a narozeniny"));
    QCOMPARE(rowTexts(*list->list),
             QStringList({
                 "30. 12. dnes|svátek|David Novák|Stavby Šťastný|777 111 222|david@firma.cz",
                 "31. 12. zítra|narozeniny (46 let)|Petr Svoboda|Stavby Šťastný|222 333 444|"
                 "petr@firma.cz",
                 "1. 1.|narozeniny (47 let)|Karina Malá|Stavby Šťastný||",
                 "2. 1.|svátek|Karina Malá|Stavby Šťastný||",
                 "7. 1.|narozeniny|Čestmír Dvořák|Stavby Šťastný||cestmir@firma.cz",
             }));
    QVERIFY(QTest::qWaitForWindowActive(list));
    QCOMPARE(QApplication::focusWidget(), list->list);
    QCOMPARE(list->caption->buddy(), list->list);
    for (QWidget *control :
         {static_cast<QWidget *>(list->list), static_cast<QWidget *>(list->openButton),
          static_cast<QWidget *>(list->mailButton), static_cast<QWidget *>(list->closeButton)}) {
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        QVERIFY(control->focusPolicy() & Qt::TabFocus);
    }

    // Enter opens the contact of the current row in the contact form.
    list->list->setCurrentItem(list->list->topLevelItem(1));
    QString shownContact;
    QTimer::singleShot(0, &contactForm, [&] {
        shownContact =
            contactForm.ui().EditJmeno->text() + QLatin1Char(' ') + contactForm.windowTitle();
        contactForm.close();
    });
    QTest::keyClick(list->list, Qt::Key_Return);
    QVERIFY2(shownContact.startsWith(QStringLiteral("Petr Kontakt: Svoboda")),
             qPrintable(shownContact));
    QVERIFY(list->isVisible());

    // Two selected contacts, one message to both.
    list->list->clearSelection();
    list->list->topLevelItem(0)->setSelected(true);
    list->list->topLevelItem(1)->setSelected(true);
    UrlCatcher mailProgram(QStringLiteral("mailto"));
    QVERIFY(list->mailButton->isEnabled());
    QTest::mouseClick(list->mailButton, Qt::LeftButton);
    QCOMPARE(mailProgram.urls.size(), 1);
    const QUrl &url = mailProgram.urls.front();
    QCOMPARE(url.path(QUrl::FullyDecoded), QStringLiteral("david@firma.cz,petr@firma.cz"));
    QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("Všechno nejlepší"));
    QVERIFY(f->messages.messages.empty());
}

/// First names typed in capitals or small letters, Czech ones too, are the
/// calendar's names; and when midnight passes while the program runs, the
/// status bar's line and count speak of the new day.
void TestCelebrations::anyLetterCaseAndTheNextDay() {
    QVERIFY_DB(f->data.exec(
        QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) VALUES "
                       "(9, 1, 'SILVESTR', 'Veselý', ' ')")));
    QVERIFY_DB(f->data.exec(
        QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) VALUES "
                       "(10, 1, 'čestmír', 'Malý', ' ')")));
    QStringList nameDays;
    for (const app::celebrations::Celebration &c :
         app::celebrations::read(*f->data.dm, QDate(2026, 12, 31), 9))
        if (c.kind == app::celebrations::Kind::NameDay)
            nameDays << c.contact.surname + c.date.toString(QStringLiteral(" d.M."));
    QCOMPARE(nameDays, (QStringList{"Veselý 31.12.", "Malá 2.1.", "Dvořák 8.1.", "Malý 8.1."}));

    Tfm_Deska *w = f->window.get();
    QVERIFY(w->isVisible());
    QTimer *nextDay = w->findChild<QTimer *>(QStringLiteral("tmNovyDen"));
    QVERIFY(nextDay && nextDay->isActive());
    Tfm_Deska::clock() = [] { return QDate(2026, 12, 31); };
    nextDay->start(0); // midnight, without waiting for it
    QTRY_COMPARE(
        w->ui().stbP1->text(),
        QStringLiteral("31.12.2026   Dnes má svátek Silvestr (zítra Nový rok) · 3 kontakty"));
    QVERIFY(nextDay->isActive() && nextDay->interval() > 0);
}

/// What another program commits shows in the count once the board sees it.
void TestCelebrations::countFollowsAnotherWriter() {
    Tfm_Deska *w = f->window.get();
    const QString line = QStringLiteral("31.12.2026   Dnes má svátek Silvestr (zítra Nový rok)");
    QTRY_COMPARE(w->ui().stbP1->text(), line + QStringLiteral(" · 3 kontakty"));
    // The helpers' connection is another attachment, as another user's.
    QVERIFY_DB(f->data.exec(
        QStringLiteral("INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, NAROZENINY, PRIJMENI, KRAJ) "
                       "VALUES (11, 1, 'Lída', '1. 1. 1990', 'Nová', ' ')")));
    QTest::keyClicks(w->ui().Edit1, QStringLiteral("N"));
    QTRY_COMPARE(w->ui().stbP1->text(), line + QStringLiteral(" · 4 kontakty"));
    QVERIFY_DB(f->data.exec(QStringLiteral("DELETE FROM KONTAKT WHERE ID IN (9, 11)")));
    QTest::keyClick(w->ui().Edit1, Qt::Key_Backspace);
    QTRY_COMPARE(w->ui().stbP1->text(), line + QStringLiteral(" · 2 kontakty"));
}

QTEST_MAIN(TestCelebrations)
#include "tst_celebrations.moc"
