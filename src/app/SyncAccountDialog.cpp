#include "app/SyncAccountDialog.h"

#include "app/BackgroundSync.h"
#include "ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

namespace app {
namespace {

QLineEdit *box(QWidget *parent, const char *name, const QString &accessibleName,
               const QString &text) {
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(accessibleName);
    return edit;
}

} // namespace

SyncAccountDialog::SyncAccountDialog(const cardsync::AccountSettings &account,
                                     const QString &password,
                                     const QList<SyncableCompany> &companies, QWidget *parent)
    : QDialog(parent),
      m_url(box(this, "eAdresa", QStringLiteral("Adresa adresáře"), account.url.toString())),
      m_user(box(this, "eUzivatel", QStringLiteral("Uživatel"), account.user)),
      m_password(box(this, "eHeslo", QStringLiteral("Heslo"), password)),
      m_problem(new QLabel(this)) {
    setObjectName(QStringLiteral("SyncAccountDialog"));
    setWindowTitle(QStringLiteral("Synchronizace s telefonem"));
    auto *about = new QLabel(
        QStringLiteral("Kontakty se synchronizují oběma směry s adresářem CardDAV na serveru "
                       "(například https://cloud.example.cz/remote.php/dav/ nebo "
                       "http://server:5232/). Stačí adresa serveru, adresář se najde sám. "
                       "Heslo se uloží do úložiště hesel, nikdy do nastavení. Synchronizuje "
                       "se hned a pak každých %1 minut.")
            .arg(BackgroundSync::kIntervalMinutes),
        this);
    about->setWordWrap(true);
    m_password->setEchoMode(QLineEdit::Password);
    m_problem->setObjectName(QStringLiteral("lChyba"));
    m_problem->setWordWrap(true);
    m_problem->hide();

    auto *form = new QFormLayout;
    auto row = [&](const QString &caption, QLineEdit *edit) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(edit);
        form->addRow(label, edit);
    };
    row(QStringLiteral("&Adresa:"), m_url);
    row(QStringLiteral("&Uživatel:"), m_user);
    row(QStringLiteral("&Heslo:"), m_password);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addWidget(m_problem);
    layout->addLayout(form);
    layout->addWidget(scopeBox(companies, account.companies));
    layout->addWidget(ui::confirmButtons(this, QStringLiteral("Synchronizovat")));
    m_url->setFocus();
}

QWidget *SyncAccountDialog::scopeBox(const QList<SyncableCompany> &companies,
                                     const QList<int> &ticked) {
    auto *group = new QGroupBox(QStringLiteral("Co synchronizovat"), this);
    m_all = new QRadioButton(QStringLiteral("&Všechny kontakty"), group);
    m_all->setObjectName(QStringLiteral("rVse"));
    m_chosen = new QRadioButton(QStringLiteral("Jen kontakty vy&braných firem"), group);
    m_chosen->setObjectName(QStringLiteral("rVybrane"));
    auto *choice = new QWidget(group); // the list, usable when chosen companies are synced
    m_search = box(choice, "eHledatFirmu", QStringLiteral("Hledat firmu"), {});
    m_companies = new QListWidget(choice);
    m_companies->setObjectName(QStringLiteral("lFirmy"));
    m_companies->setAccessibleName(QStringLiteral("Synchronizované firmy"));
    for (const SyncableCompany &company : companies) {
        auto *item = new QListWidgetItem(company.name, m_companies);
        item->setData(Qt::UserRole, company.id);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked.contains(company.id) ? Qt::Checked : Qt::Unchecked);
    }
    auto *searchLabel = new QLabel(QStringLiteral("Hl&edat firmu:"), choice);
    searchLabel->setBuddy(m_search);
    auto *listLabel = new QLabel(QStringLiteral("&Firmy (mezerník zaškrtne):"), choice);
    listLabel->setBuddy(m_companies);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        for (int i = 0; i < m_companies->count(); ++i)
            m_companies->item(i)->setHidden(
                !m_companies->item(i)->text().contains(text.trimmed(), Qt::CaseInsensitive));
    });
    connect(m_chosen, &QRadioButton::toggled, choice, &QWidget::setEnabled);
    (ticked.isEmpty() ? m_all : m_chosen)->setChecked(true);
    choice->setEnabled(m_chosen->isChecked());

    auto *list = new QVBoxLayout(choice);
    list->setContentsMargins(0, 0, 0, 0);
    list->addWidget(searchLabel);
    list->addWidget(m_search);
    list->addWidget(listLabel);
    list->addWidget(m_companies);
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(m_all);
    layout->addWidget(m_chosen);
    layout->addWidget(choice);
    return group;
}

cardsync::AccountSettings SyncAccountDialog::account() const {
    QList<int> companies;
    for (int i = 0; m_chosen->isChecked() && i < m_companies->count(); ++i)
        if (m_companies->item(i)->checkState() == Qt::Checked)
            companies << m_companies->item(i)->data(Qt::UserRole).toInt();
    return {QUrl(m_url->text().trimmed()), m_user->text().trimmed(), {}, companies};
}

QString SyncAccountDialog::password() const {
    return m_password->text();
}

void SyncAccountDialog::accept() {
    auto refuse = [this](QWidget *wrong, const QString &problem) {
        m_problem->setText(problem);
        m_problem->show();
        wrong->setFocus();
    };
    const QUrl url(m_url->text().trimmed());
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return refuse(m_url,
                      QStringLiteral("Adresa musí začínat https:// (nebo http://) a "
                                     "jménem serveru, například https://cloud.example.cz/."));
    if (m_user->text().trimmed().isEmpty())
        return refuse(m_user,
                      QStringLiteral("Vyplňte uživatele, pod kterým se k serveru přihlašujete."));
    if (m_password->text().isEmpty())
        return refuse(m_password, QStringLiteral("Vyplňte heslo k serveru."));
    if (m_chosen->isChecked() && account().companies.isEmpty())
        return refuse(m_companies, QStringLiteral("Zaškrtněte aspoň jednu firmu, nebo zvolte "
                                                  "všechny kontakty."));
    QDialog::accept();
}

} // namespace app
