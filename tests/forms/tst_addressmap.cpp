// The map button of the address groups of both record forms.
#include "CompanyFormFixture.h"

#include "forms/AddressMap.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QUrlQuery>

/// Takes the place of the desktop's browser for "https" links.
class Browser : public QObject {
    Q_OBJECT
  public:
    Browser() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~Browser() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    QList<QUrl> opened;
  public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestAddressMap : public QObject {
    Q_OBJECT
  private slots:
    /// Every address group has the button, disabled while the address is
    /// empty; a filled address opens the map search for it, the name of
    /// the address left out.
    void filledAddressOpensTheMap() {
        Browser browser;
        Companies c;
        Tfm_Firma &f = *c.form;
        QList<QToolButton *> buttons;
        for (const auto &[group, name] :
             {std::pair{f.ui().gbAdresaS, "sbMapa_FS"}, std::pair{f.ui().gbAdresaF, "sbMapa_FF"},
              std::pair{f.ui().gbAdresaD, "sbMapa_FD"},
              std::pair{c.contactForm->ui().gbAdresa, "sbMapa"}})
            buttons << group->findChild<QToolButton *>(QString::fromLatin1(name));
        for (QToolButton *button : buttons) {
            QVERIFY(button);
            QCOMPARE(button->accessibleName(), QStringLiteral("Zobrazit na mapě"));
            QCOMPARE(button->toolTip(), QStringLiteral("Zobrazit na mapě"));
            QVERIFY(button->focusPolicy() & Qt::TabFocus);
            QVERIFY(!button->isEnabled());
        }
        QToolButton *seat = buttons.front();
        seat->click(); // disabled: nothing opens
        f.ui().EditNAZEV_ADRESA_FS->setText(QStringLiteral("Sklad"));
        QVERIFY(!seat->isEnabled());
        f.ui().EditADRESA_FS->setText(QStringLiteral("Dlouhá 5 & 7"));
        f.ui().EditObecS->setText(QStringLiteral("Praha"));
        f.ui().EditPSCS->setText(QStringLiteral("110 00"));
        f.ui().EditStatS->setText(QStringLiteral("Česko"));
        QVERIFY(seat->isEnabled());
        seat->click();
        QCOMPARE(browser.opened.size(), 1);
        const QUrl url = browser.opened.front();
        QCOMPARE(url.toString(QUrl::RemoveQuery), QString::fromLatin1(forms::kMapSearchUrl));
        QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("query"), QUrl::FullyDecoded),
                 QStringLiteral("Dlouhá 5 & 7, Praha, 110 00, Česko"));
    }
};

QTEST_MAIN(TestAddressMap)
#include "tst_addressmap.moc"
