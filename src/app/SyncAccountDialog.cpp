#include "app/SyncAccountDialog.h"

#include "app/BackgroundSync.h"
#include "ui/DialogButtons.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
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
                                     const QString &password, QWidget *parent)
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
    m_problem->setAccessibleName(QStringLiteral("Chyba nastavení"));
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
    layout->addWidget(ui::confirmButtons(this, QStringLiteral("Synchronizovat")));
    m_url->setFocus();
}

cardsync::AccountSettings SyncAccountDialog::account() const {
    return {QUrl(m_url->text().trimmed()), m_user->text().trimmed(), {}};
}

QString SyncAccountDialog::password() const {
    return m_password->text();
}

void SyncAccountDialog::accept() {
    auto refuse = [this](QLineEdit *wrong, const QString &problem) {
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
    QDialog::accept();
}

} // namespace app
