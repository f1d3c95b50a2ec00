// The status bar of the main window: its panels, the name-day line, the
// colour of the web-address panel under the mouse and its click.
#include "MainWindowFixture.h"
#include "app/StatusPanel.h"

#include <QEnterEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>

class TestStatusBar : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();
    void startupShowsTodaysLine();
    void nameDayLine_data();
    void nameDayLine();
    void lookupErrorReachesCaller();
    void panelsInOrder();
    void statusTipKeepsNameDayLine();
    void webPanelRedUnderMouse();
    void webPanelClickOpensAddress();

  private:
    std::unique_ptr<MainWindowFixture> f;
    Tfm_Deska *w = nullptr;
};

void TestStatusBar::initTestCase() {
    f = std::make_unique<MainWindowFixture>();
    QVERIFY_DB(f->data.exec(QStringLiteral("DELETE FROM SVATEK")));
    const QList<std::tuple<int, int, QVariant>> calendar = {
        {31, 12, QStringLiteral("Silvestr")},
        {1, 1, QStringLiteral("Nový rok")},
        {28, 2, QStringLiteral("Lumír")},
        {29, 2, QStringLiteral("Horymír")},
        {1, 3, QStringLiteral("Bedřich")},
        {5, 3, QStringLiteral("Kamil")},
        {6, 3, QStringLiteral("Stela")},
        {9, 3, QStringLiteral("Františka")},
        {10, 3, QString("")},
        {11, 3, QVariant()}, // an empty name, no name
        // 12 and 13 March have no row.
    };
    for (const auto &[day, month, name] : calendar)
        QVERIFY_DB(
            f->data.exec(QStringLiteral("INSERT INTO SVATEK (DEN, MESIC, JMENO) VALUES (?, ?, ?)"),
                         {day, month, name}));
    Tfm_Deska::clock() = [] { return QDate(2008, 3, 5); };
    w = &f->create();
}

void TestStatusBar::cleanupTestCase() {
    Tfm_Deska::clock() = [] { return QDate::currentDate(); };
    f.reset();
}

void TestStatusBar::startupShowsTodaysLine() {
    QCOMPARE(w->ui().stbP1->text(),
             QStringLiteral("5.3.2008   Dnes má svátek Kamil (zítra Stela)"));
    QVERIFY(f->messages.messages.empty());
}

void TestStatusBar::nameDayLine_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("line");
    QTest::newRow("new year's eve")
        << QDate(2008, 12, 31) << "31.12.2008   Dnes má svátek Silvestr (zítra Nový rok)";
    QTest::newRow("new year's day")
        << QDate(2009, 1, 1) << "1.1.2009   Dnes má svátek Nový rok (zítra -)";
    QTest::newRow("28 Feb, leap year")
        << QDate(2008, 2, 28) << "28.2.2008   Dnes má svátek Lumír (zítra Horymír)";
    QTest::newRow("28 Feb, common year")
        << QDate(2009, 2, 28) << "28.2.2009   Dnes má svátek Lumír (zítra Bedřich)";
    QTest::newRow("28 Feb 2000, leap")
        << QDate(2000, 2, 28) << "28.2.2000   Dnes má svátek Lumír (zítra Horymír)";
    QTest::newRow("28 Feb 2100, common")
        << QDate(2100, 2, 28) << "28.2.2100   Dnes má svátek Lumír (zítra Bedřich)";
    QTest::newRow("29 Feb") << QDate(2008, 2, 29)
                            << "29.2.2008   Dnes má svátek Horymír (zítra Bedřich)";
    QTest::newRow("no leading zeros")
        << QDate(2008, 3, 5) << "5.3.2008   Dnes má svátek Kamil (zítra Stela)";
    QTest::newRow("empty name tomorrow")
        << QDate(2008, 3, 9) << "9.3.2008   Dnes má svátek Františka (zítra )";
    QTest::newRow("empty name, no name")
        << QDate(2008, 3, 10) << "10.3.2008   Dnes má svátek  (zítra )";
    QTest::newRow("no row tomorrow")
        << QDate(2008, 3, 11) << "11.3.2008   Dnes má svátek  (zítra -)";
    QTest::newRow("no rows") << QDate(2008, 3, 12) << "12.3.2008   Dnes má svátek - (zítra -)";
}

void TestStatusBar::nameDayLine() {
    QFETCH(QDate, today);
    QFETCH(QString, line);
    Tfm_Deska::clock() = [today] { return today; };
    QString composed;
    QVERIFY_DB(composed = w->composeNameDayLine());
    QCOMPARE(composed, line);
}

void TestStatusBar::lookupErrorReachesCaller() {
    f->data.dm->tSVATEK.close();
    QVERIFY_THROWS_EXCEPTION(db::DbError, w->composeNameDayLine());
    QVERIFY_DB(f->data.dm->tSVATEK.open());
}

void TestStatusBar::panelsInOrder() {
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->ui().pSTB->height(), 21);
    const QRect strip(w->ui().pSTB->mapTo(w, QPoint(0, 0)), w->ui().pSTB->size());
    QVERIFY2(w->height() - strip.bottom() <= 4, "the status bar lies at the bottom");
    QVERIFY2(w->width() - strip.width() <= 4, "the status bar spans the window");

    const QList<QWidget *> panels = {w->ui().stbP1, w->ui().stbP2, w->ui().stbP3, w->ui().stbPobr,
                                     w->ui().stbP4};
    const QList<int> widths = {290, strip.width() - 290 - 60 - 17 - 120, 60, 17, 120};
    int x = 0;
    for (int i = 0; i < panels.size(); ++i) {
        QWidget *panel = panels[i];
        QVERIFY2(panel->isVisible(), qPrintable(panel->objectName()));
        QCOMPARE(panel->x(), x);
        QCOMPARE(panel->width(), widths[i]);
        // Assistive tools read the text shown; the description says what it is.
        QVERIFY(panel->accessibleName().isEmpty());
        QVERIFY(!panel->accessibleDescription().isEmpty());
        auto *frame = qobject_cast<QFrame *>(panel);
        QVERIFY(frame && frame->frameShadow() == QFrame::Sunken);
        QCOMPARE(panel->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(panel->font().pointSize(), 8);
        x += panel->width();
    }
    QCOMPARE(w->ui().stbP3->text(), QStringLiteral("080204.1"));
    QCOMPARE(w->ui().stbP4->text(), Tfm_Deska::makerWebAddress());
    QVERIFY(w->ui().stbP2->text().isEmpty());
}

void TestStatusBar::statusTipKeepsNameDayLine() {
    // A hint shown in the status bar must not hide or cover the panels.
    QStatusTipEvent tip(QStringLiteral("Nápověda"));
    QCoreApplication::sendEvent(w, &tip);
    QVERIFY(w->ui().pSTB->isVisibleTo(w));
    QVERIFY(w->ui().stbP1->isVisibleTo(w));
    QVERIFY(w->ui().stbP2->isVisibleTo(w));
    QCOMPARE(w->ui().stbP1->text(),
             QStringLiteral("5.3.2008   Dnes má svátek Kamil (zítra Stela)"));
}

void TestStatusBar::webPanelRedUnderMouse() {
    auto colour = [this] { return w->ui().stbP4->palette().color(QPalette::WindowText); };
    QCOMPARE(colour(), QColor(0, 0, 0));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(w->ui().stbP4, &enter);
    QCOMPARE(colour(), QColor(255, 0, 0));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(w->ui().stbP4, &leave);
    QCOMPARE(colour(), QColor(0, 0, 0));
    QCoreApplication::sendEvent(w->ui().stbP4, &enter);
    QCOMPARE(colour(), QColor(255, 0, 0));
    QCoreApplication::sendEvent(w->ui().stbP4, &leave);
}

void TestStatusBar::webPanelClickOpensAddress() {
    UrlCatcher browser(QStringLiteral("https"));
    QTest::mouseClick(w->ui().stbP2, Qt::LeftButton);
    QTest::mouseClick(w->ui().stbP1, Qt::LeftButton);
    QVERIFY(browser.urls.isEmpty());

    // Pressed over the panel but released elsewhere: no click.
    QTest::mousePress(w->ui().stbP4, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(w->ui().stbP4, Qt::LeftButton, {}, QPoint(10, 200));
    QVERIFY(browser.urls.isEmpty());

    QTest::mouseClick(w->ui().stbP4, Qt::LeftButton);
    QCOMPARE(browser.urls, QList<QUrl>{QUrl(QStringLiteral("https://www.qorvel.cz"))});
    QTest::mouseClick(w->ui().stbP4, Qt::RightButton);
    QCOMPARE(browser.urls.size(), 1);
}

QTEST_MAIN(TestStatusBar)
#include "tst_statusbar.moc"
