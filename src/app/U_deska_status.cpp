// The main window's status bar, its name-day line and the e-mail text.
#include "app/U_deska.h"

#include "app/CelebrationsWindow.h"
#include "app/MailMessage.h"
#include "app/StatusPanel.h"
#include "base/MessageService.h"
#include "data/U_DM.h"
#include "db/DbError.h"
#include "db/WorkerConnection.h"
#include "ui/ErrorReport.h"
#include "ui/MakerInfo.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLocale>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>

namespace {

/// Today, tomorrow and the seven days after.
constexpr int kCelebrationDays = 9;
constexpr int kNameDayPanelWidth = 290;

app::StatusPanel *addPanel(QHBoxLayout *layout, const char *name, const QString &role,
                           int width = 0) {
    auto *panel = new app::StatusPanel(QString::fromLatin1(name), role);
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

    auto *p1 = addPanel(layout, "stbP1",
                        QStringLiteral("Dnešní datum a svátek; Enter nebo F9 otevře svátky a "
                                       "narozeniny kontaktů"),
                        kNameDayPanelWidth);
    auto *p2 = addPanel(layout, "stbP2", QStringLiteral("Stavový řádek"));
    auto *p3 = addPanel(layout, "stbP3", QStringLiteral("Verze programu"), 60);
    m_ui.stbPobr = addPanel(layout, "stbPobr", QStringLiteral("Stav připojení"), 17);
    m_ui.stbP4 = addPanel(layout, "stbP4", QStringLiteral("Webová stránka výrobce"), 120);
    m_ui.stbP1 = p1;
    m_ui.tmNovyDen = new QTimer(this);
    m_ui.tmNovyDen->setObjectName(QStringLiteral("tmNovyDen"));
    m_ui.tmNovyDen->setSingleShot(true);
    // A coarse timer may be off by 5 %, an hour over a day.
    m_ui.tmNovyDen->setTimerType(Qt::PreciseTimer);
    connect(m_ui.tmNovyDen, &QTimer::timeout, this, &Tfm_Deska::dayChangeStep);
    m_ui.stbP2 = p2;
    m_ui.stbP3 = p3;
    m_ui.stbP3->setText(ui::maker::kVersionStamp);
    m_ui.stbP4->setText(makerWebAddress());
    m_ui.stbP4->setCursor(Qt::PointingHandCursor);
    m_ui.stbP4->makeKeyboardClickable();
    stbP4MouseLeave(); // starts black, like after every exit

    p1->setToolTip(QStringLiteral("Svátky a narozeniny kontaktů (F9)"));
    p1->makeKeyboardClickable();
    connect(p1, &app::StatusPanel::clicked, this,
            [this] { ui::guarded([this] { stbP1Click(); }); });
    auto *celebrationsKey = new QShortcut(QKeySequence(Qt::Key_F9), this);
    connect(celebrationsKey, &QShortcut::activated, this,
            [this] { ui::guarded([this] { stbP1Click(); }); });
    connect(p2, &app::StatusPanel::clicked, this, &Tfm_Deska::stbP2Click);
    connect(m_ui.stbP4, &app::StatusPanel::clicked, this, &Tfm_Deska::stbP4Click);
    connect(m_ui.stbP4, &app::StatusPanel::mouseEntered, this, &Tfm_Deska::stbP4MouseEnter);
    connect(m_ui.stbP4, &app::StatusPanel::mouseLeft, this, &Tfm_Deska::stbP4MouseLeave);

    showBoardLoading();
    // Queued: the board rereads while a dataset opens.
    connect(&m_dm, &TDM::boardReread, this, &Tfm_Deska::recountCelebrations, Qt::QueuedConnection);

    // A permanent widget is never hidden by a status tip.
    bar->addPermanentWidget(m_ui.pSTB, 1);
    setStatusBar(bar);
}

// While the rest of the register is read, stbP2 says how far it got; the
// board answers over what is read meanwhile.
void Tfm_Deska::showBoardLoading() {
    auto *tick = new QTimer(this);
    tick->setInterval(250);
    auto update = [this, tick] {
        if (!m_dm.isBoardLoading()) {
            tick->stop();
            m_ui.stbP2->setText(QString());
            return;
        }
        // The companies come first: no count of contacts until they are read.
        const int read = m_dm.boardContactsRead();
        m_ui.stbP2->setText(read == 0 ? QStringLiteral("Načítám kontakty…")
                                      : QStringLiteral("Načítám kontakty… %1")
                                            .arg(QLocale(QLocale::Czech).toString(read)));
        if (!tick->isActive())
            tick->start();
    };
    connect(tick, &QTimer::timeout, this, update);
    connect(&m_dm, &TDM::boardLoadingChanged, this, update);
}

QString Tfm_Deska::composeNameDayLine() {
    const QDate today = clock()();
    const QDate tomorrow = today.addDays(1);
    const QString todaysName = nameDayOf(m_dm, today);
    const QString tomorrowsName = nameDayOf(m_dm, tomorrow);
    m_nameDayDate = today; // not before the calendar was read: a failure tries again
    return QStringLiteral("%1.%2.%3   Dnes má svátek %4 (zítra %5)")
        .arg(QString::number(today.day()), QString::number(today.month()),
             QString::number(today.year()), todaysName, tomorrowsName);
}

void Tfm_Deska::showCelebrationCount() {
    if (m_ui.stbP1->text().isEmpty() || !m_dm.ZConKontakty.isConnected())
        return; // the start-up did not get as far as the name-day line
    const int asked = ++m_celebrationCountAsked;
    app::celebrations::Query query;
    try {
        query = app::celebrations::prepare(m_dm, clock()(), 2, app::celebrations::Reading::Count);
    } catch (const db::DbError &) {
        return; // the line stays as it is; the list will report the problem
    }
    if (m_dm.ZConKontakty.isReadOnly()) {
        // Read through a private copy no other connection can open.
        try {
            addCelebrationCount(
                app::celebrations::contactCount(app::celebrations::run(m_dm.ZConKontakty, query)));
        } catch (const db::DbError &) {
        }
        return;
    }
    // On a connection of its own, so that the window answers meanwhile.
    auto count = std::make_shared<int>(0);
    m_celebrationCount->start(
        m_dm.ZConKontakty.login(),
        [query, count](db::DbConnection &connection) {
            *count = app::celebrations::contactCount(app::celebrations::run(connection, query));
        },
        [this, count, asked](const QString &error) {
            if (error.isEmpty()) // else the line stays; the list will report the problem
                QMetaObject::invokeMethod(
                    this,
                    [this, count, asked] {
                        if (asked == m_celebrationCountAsked) // else a newer count follows
                            addCelebrationCount(*count);
                    },
                    Qt::QueuedConnection);
        });
}

void Tfm_Deska::recountCelebrations() {
    if (m_celebrationCountAsked == 0 || !isVisible() || !m_dm.ZConKontakty.isConnected())
        return; // the first count follows the first showing
    try {
        m_ui.stbP1->setText(composeNameDayLine());
    } catch (const db::DbError &) {
        return; // the line stays as it was
    }
    showCelebrationCount();
}

void Tfm_Deska::addCelebrationCount(int count) {
    m_ui.stbP1->setText(m_ui.stbP1->text() + app::celebrations::countSuffix(count));
    // Long names with the count would be cut off at the panel's edge.
    m_ui.stbP1->setFixedWidth(qMax(kNameDayPanelWidth, m_ui.stbP1->sizeHint().width()));
}

void Tfm_Deska::dayChangeStep() {
    if (!m_ui.stbP1->text().isEmpty() && m_dm.ZConKontakty.isConnected() &&
        clock()() != m_nameDayDate) {
        try {
            const QString line = composeNameDayLine();
            m_ui.stbP1->setText(line);
            showCelebrationCount();
        } catch (const db::DbError &) {
            // The line of the day before stays; the next midnight tries again.
        }
    }
    // A second past the next midnight; a timer that ran out early finds the
    // same day and waits the rest.
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime midnight(now.date().addDays(1), QTime(0, 0));
    m_ui.tmNovyDen->start(int(std::clamp<qint64>(now.msecsTo(midnight) + 1000, 1000, 86401000)));
}

void Tfm_Deska::stbP1Click() {
    if (!m_ui.celebrationsWindow)
        m_ui.celebrationsWindow = new app::CelebrationsWindow(
            [this] { return app::celebrations::read(m_dm, clock()(), kCelebrationDays); },
            [this](qint64 id) {
                if (!openContact(id))
                    base::msg::show(base::msg::Kind::Information,
                                    QStringLiteral("Vybraný kontakt už v databázi není."));
                m_dm.RefreshBoard();
            },
            this);
    m_ui.celebrationsWindow->reload(clock()(), kCelebrationDays);
    m_ui.celebrationsWindow->show();
    m_ui.celebrationsWindow->raise();
    m_ui.celebrationsWindow->activateWindow();
    m_ui.celebrationsWindow->list->setFocus();
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
    return app::mail::composeMailto({address}, QStringLiteral("věc"));
}
