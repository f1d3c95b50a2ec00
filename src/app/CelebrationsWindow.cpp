#include "app/CelebrationsWindow.h"

#include "app/MailMessage.h"
#include "czech/Birthday.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace app {

namespace {

enum Column { DateColumn, KindColumn, NameColumn, CompanyColumn, PhoneColumn, EmailColumn };

QString yearsText(int age) {
    const char *word = age == 1 ? "rok" : age <= 4 ? "roky" : "let";
    return QStringLiteral("%1 %2").arg(age).arg(QString::fromUtf8(word));
}

QString kindText(const celebrations::Celebration &c) {
    if (c.kind == celebrations::Kind::NameDay)
        return QStringLiteral("svátek");
    return c.age > 0 ? QStringLiteral("narozeniny (%1)").arg(yearsText(c.age))
                     : QStringLiteral("narozeniny");
}

QPushButton *makeButton(const QString &text, QWidget *parent) {
    auto *button = new QPushButton(text, parent);
    button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    // Enter belongs to the list, where it opens the contact.
    button->setAutoDefault(false);
    return button;
}

} // namespace

CelebrationsWindow::CelebrationsWindow(std::function<std::vector<celebrations::Celebration>()> read,
                                       std::function<void(qint64)> openContact, QWidget *parent)
    : QDialog(parent), m_read(std::move(read)), m_openContact(std::move(openContact)) {
    setObjectName(QStringLiteral("fmSvatky"));
    setWindowTitle(QStringLiteral("Svátky a narozeniny"));
    resize(900, 360);

    caption = new QLabel(this);
    caption->setObjectName(QStringLiteral("lSvatky"));
    list = new QTreeWidget(this);
    list->setObjectName(QStringLiteral("gSvatky"));
    list->setAccessibleName(QStringLiteral("Svátky a narozeniny kontaktů"));
    list->setRootIsDecorated(false);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setHeaderLabels({QStringLiteral("Datum"), QStringLiteral("Událost"),
                           QStringLiteral("Kontakt"), QStringLiteral("Firma"),
                           QStringLiteral("Telefon"), QStringLiteral("E-mail")});
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    caption->setBuddy(list);

    openButton = makeButton(QStringLiteral("&Otevřít"), this);
    openButton->setObjectName(QStringLiteral("bOtevrit"));
    mailButton = makeButton(QStringLiteral("&E-mail"), this);
    mailButton->setObjectName(QStringLiteral("bEmail"));
    mailButton->setToolTip(QStringLiteral("Jeden e-mail všem vybraným kontaktům"));
    closeButton = makeButton(QStringLiteral("&Zavřít"), this);
    closeButton->setObjectName(QStringLiteral("bZavrit"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(openButton);
    buttons->addWidget(mailButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(list, 1);
    layout->addLayout(buttons);

    // Enter or a double click on a row.
    connect(list, &QTreeWidget::activated, this, &CelebrationsWindow::openCurrent);
    connect(list, &QTreeWidget::itemSelectionChanged, this, &CelebrationsWindow::updateButtons);
    connect(openButton, &QPushButton::clicked, this, &CelebrationsWindow::openCurrent);
    connect(mailButton, &QPushButton::clicked, this, &CelebrationsWindow::mailSelected);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
}

void CelebrationsWindow::reload(const QDate &today, int days) {
    m_today = today;
    m_days = days;
    m_rows = m_read();
    list->clear();
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const celebrations::Celebration &c = m_rows[i];
        QString date = czech::dayMonthText(c.date.day(), c.date.month());
        if (c.date == today)
            date += QStringLiteral(" dnes");
        else if (c.date == today.addDays(1))
            date += QStringLiteral(" zítra");
        const QString name =
            QStringLiteral("%1 %2").arg(c.contact.firstName, c.contact.surname).trimmed();
        auto *item = new QTreeWidgetItem(
            list, {date, kindText(c), name, c.contact.company, c.contact.phone, c.contact.email});
        item->setData(DateColumn, Qt::UserRole, int(i));
    }
    const QDate last = today.addDays(days - 1);
    const QString range = QStringLiteral("od %1 do %2")
                              .arg(czech::dayMonthText(today.day(), today.month()),
                                   czech::dayMonthText(last.day(), last.month()));
    caption->setText(m_rows.empty() ? QStringLiteral("&Kontakty, které slaví %1: žádné").arg(range)
                                    : QStringLiteral("&Kontakty, které slaví %1:").arg(range));
    if (list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    updateButtons();
}

void CelebrationsWindow::updateButtons() {
    openButton->setEnabled(list->currentItem() != nullptr);
    bool anyAddress = false;
    for (const QTreeWidgetItem *item : list->selectedItems())
        anyAddress = anyAddress || !item->text(EmailColumn).trimmed().isEmpty();
    mailButton->setEnabled(anyAddress);
}

void CelebrationsWindow::openCurrent() {
    const QTreeWidgetItem *item = list->currentItem();
    if (!item)
        return;
    const qint64 id = m_rows[size_t(item->data(DateColumn, Qt::UserRole).toInt())].contact.id;
    m_openContact(id);
    // The form may have changed the name or the birthday.
    reload(m_today, m_days);
}

void CelebrationsWindow::mailSelected() {
    QStringList addresses;
    for (const QTreeWidgetItem *item : list->selectedItems()) {
        const QString address = item->text(EmailColumn).trimmed();
        // Someone with a name day and a birthday in the range gets one copy.
        if (!address.isEmpty() && !addresses.contains(address))
            addresses << address;
    }
    mail::open(addresses, subject());
}

} // namespace app
