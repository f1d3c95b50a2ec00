// The main window's status bar, its name-day line and the e-mail text.
#include "app/U_deska.h"

#include "app/StatusPanel.h"
#include "data/U_DM.h"
#include "ui/MakerInfo.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QStatusBar>
#include <QUrl>

namespace {

StatusPanel *addPanel(QHBoxLayout *layout, const char *name, const QString &role, int width = 0) {
    auto *panel = new StatusPanel(QString::fromLatin1(name), role);
    if (width > 0)
        panel->setFixedWidth(width);
    layout->addWidget(panel, width > 0 ? 0 : 1);
    return panel;
}

/// The name celebrated on `date`'s day and month; "-" when the calendar has no row for it.
QString nameDayOf(TDM &dm, const QDate &date) {
    if (!dm.tSVATEK.locate(QStringLiteral("den;mesic"), {date.day(), date.month()}, true))
        return QStringLiteral("-");
    return dm.tSVATEK.fieldByName(QStringLiteral("JMENO"))->asString();
}

QString mailBody() {
    return QStringLiteral("%0d%0d") + QString(82, QLatin1Char('-')) + QStringLiteral("%0d") +
           QStringLiteral("Email vytvořen aplikací: Vizitar  (") + ui::maker::kWebAddress +
           QLatin1Char(')');
}

} // namespace

QString Tfm_Deska::makerWebAddress() {
    return ui::maker::kWebAddress;
}

void Tfm_Deska::createStatusBar() {
    auto *bar = new QStatusBar(this);
    bar->setSizeGripEnabled(false);
    // The panels draw their own bevels; the frame a status bar puts around
    // each of its items would double them.
    bar->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));

    m_ui.pSTB = new QWidget(bar);
    m_ui.pSTB->setObjectName(QStringLiteral("pSTB"));
    m_ui.pSTB->setFixedHeight(21);
    auto *layout = new QHBoxLayout(m_ui.pSTB);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *p1 = addPanel(layout, "stbP1", QStringLiteral("Dnešní datum a svátek"), 290);
    auto *p2 = addPanel(layout, "stbP2", QStringLiteral("Stavový řádek"));
    auto *p3 = addPanel(layout, "stbP3", QStringLiteral("Verze programu"), 60);
    m_ui.stbPobr = addPanel(layout, "stbPobr", QStringLiteral("Stav připojení"), 17);
    m_ui.stbP4 = addPanel(layout, "stbP4", QStringLiteral("Webová stránka výrobce"), 120);
    m_ui.stbP1 = p1;
    m_ui.stbP2 = p2;
    m_ui.stbP3 = p3;
    m_ui.stbP3->setText(ui::maker::kVersionStamp);
    m_ui.stbP4->setText(makerWebAddress());
    m_ui.stbP4->setCursor(Qt::PointingHandCursor);
    m_ui.stbP4->makeKeyboardClickable();
    stbP4MouseLeave(); // starts black, like after every exit

    connect(p2, &StatusPanel::clicked, this, &Tfm_Deska::stbP2Click);
    connect(m_ui.stbP4, &StatusPanel::clicked, this, &Tfm_Deska::stbP4Click);
    connect(m_ui.stbP4, &StatusPanel::mouseEntered, this, &Tfm_Deska::stbP4MouseEnter);
    connect(m_ui.stbP4, &StatusPanel::mouseLeft, this, &Tfm_Deska::stbP4MouseLeave);

    // A permanent widget is never hidden by a status tip.
    bar->addPermanentWidget(m_ui.pSTB, 1);
    setStatusBar(bar);
}

QString Tfm_Deska::composeNameDayLine() {
    const QDate today = clock()();
    const QDate tomorrow = today.addDays(1);
    const QString todaysName = nameDayOf(m_dm, today);
    const QString tomorrowsName = nameDayOf(m_dm, tomorrow);
    return QStringLiteral("%1.%2.%3   Dnes má svátek %4 (zítra %5)")
        .arg(QString::number(today.day()), QString::number(today.month()),
             QString::number(today.year()), todaysName, tomorrowsName);
}

void Tfm_Deska::stbP4Click() {
    // Whether a browser opened is not reported.
    QDesktopServices::openUrl(QUrl(m_ui.stbP4->text()));
}

void Tfm_Deska::stbP4MouseEnter() {
    QPalette palette = m_ui.stbP4->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    m_ui.stbP4->setPalette(palette);
}

void Tfm_Deska::stbP4MouseLeave() {
    QPalette palette = m_ui.stbP4->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
    m_ui.stbP4->setPalette(palette);
}

void Tfm_Deska::stbP2Click() {
}

QString Tfm_Deska::composeMailto(const QString &address) {
    // The address is percent-encoded all but its letters, digits, "-._~" and
    // "@", so that a stored "?", "&", "#", "%" or blank can neither cut it
    // short nor add a header such as a hidden copy. Blanks around it are
    // typing slips and are dropped.
    const QString recipient = QString::fromLatin1(QUrl::toPercentEncoding(address.trimmed(), "@"));
    return QStringLiteral("mailto:") + recipient + QStringLiteral("?subject=věc&body=") +
           mailBody();
}
