#include "app/DatabaseDialog.h"

#include "base/MessageService.h"
#include "db/DatabaseTarget.h"
#include "ui/DialogButtons.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

namespace app {

namespace {

const QString kSetting = QStringLiteral("Database");

QLineEdit *namedEdit(QWidget *parent, const char *name, const QString &accessibleName) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(accessibleName);
    return edit;
}

QLabel *buddyLabel(QWidget *parent, const QString &text, QWidget *buddy) {
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

DatabaseDialog::DatabaseDialog(const QString &chosen, const QString &defaultFile,
                               const QString &open, QWidget *parent)
    : QDialog(parent),
      rbDefault(new QRadioButton(QStringLiteral("&Výchozí soubor programu"), this)),
      rbFile(new QRadioButton(QStringLiteral("Jiný &soubor v tomto počítači"), this)),
      rbServer(new QRadioButton(QStringLiteral("Databáze na se&rveru"), this)),
      eSoubor(namedEdit(this, "eSoubor", QStringLiteral("Soubor databáze"))),
      eServer(namedEdit(this, "eServer", QStringLiteral("Server"))),
      eCesta(namedEdit(this, "eCesta", QStringLiteral("Cesta nebo alias na serveru"))),
      bProchazet(new QPushButton(QStringLiteral("&Procházet…"), this)) {
    setObjectName(QStringLiteral("DatabaseDialog"));
    setWindowTitle(QStringLiteral("Databáze"));
    rbDefault->setObjectName(QStringLiteral("rbDefault"));
    rbFile->setObjectName(QStringLiteral("rbFile"));
    rbServer->setObjectName(QStringLiteral("rbServer"));
    bProchazet->setObjectName(QStringLiteral("bProchazet"));
    bProchazet->setAccessibleName(QStringLiteral("Procházet"));
    for (QRadioButton *choice : {rbDefault, rbFile, rbServer})
        choice->setAccessibleName(choice->text().remove(QLatin1Char('&')));
    auto *group = new QButtonGroup(this);
    for (QRadioButton *choice : {rbDefault, rbFile, rbServer})
        group->addButton(choice);
    eServer->setPlaceholderText(QStringLiteral("server nebo server/port"));
    eCesta->setPlaceholderText(QStringLiteral("/var/lib/firebird/3.0/data/kontakty.fdb"));

    auto *openNow = new QLabel(
        QStringLiteral("Otevřená databáze: %1").arg(QDir::toNativeSeparators(open)), this);
    openNow->setWordWrap(true);
    openNow->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto *defaultPath = new QLabel(QDir::toNativeSeparators(defaultFile), this);
    defaultPath->setIndent(24);

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(eSoubor, 1);
    fileRow->addWidget(bProchazet);
    auto *fileForm = new QFormLayout;
    fileForm->setContentsMargins(24, 0, 0, 0);
    fileForm->addRow(buddyLabel(this, QStringLiteral("Sou&bor:"), eSoubor), fileRow);
    auto *serverForm = new QFormLayout;
    serverForm->setContentsMargins(24, 0, 0, 0);
    serverForm->addRow(buddyLabel(this, QStringLiteral("S&erver:"), eServer), eServer);
    serverForm->addRow(buddyLabel(this, QStringLiteral("&Cesta nebo alias:"), eCesta), eCesta);

    QDialogButtonBox *buttons = ui::confirmButtons(this, QStringLiteral("Uložit"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(openNow);
    layout->addSpacing(6);
    layout->addWidget(rbDefault);
    layout->addWidget(defaultPath);
    layout->addWidget(rbFile);
    layout->addLayout(fileForm);
    layout->addWidget(rbServer);
    layout->addLayout(serverForm);
    layout->addWidget(buttons);
    setMinimumWidth(480);

    if (chosen.isEmpty()) {
        rbDefault->setChecked(true);
    } else if (db::target::isServer(chosen)) {
        rbServer->setChecked(true);
        const db::target::ServerParts parts = db::target::split(chosen);
        eServer->setText(parts.server);
        eCesta->setText(parts.database);
    } else {
        rbFile->setChecked(true);
        eSoubor->setText(QDir::toNativeSeparators(chosen));
    }
    connect(bProchazet, &QPushButton::clicked, this, &DatabaseDialog::browse);
    connect(group, &QButtonGroup::buttonToggled, this,
            [this](QAbstractButton *choice, bool checked) {
                enableFields();
                // Chosen by its key, the choice's first box takes the typing.
                if (checked && choice->hasFocus())
                    (choice == rbFile     ? eSoubor
                     : choice == rbServer ? eServer
                                          : static_cast<QWidget *>(choice))
                        ->setFocus();
            });
    enableFields();
}

void DatabaseDialog::enableFields() {
    eSoubor->setEnabled(rbFile->isChecked());
    bProchazet->setEnabled(rbFile->isChecked());
    eServer->setEnabled(rbServer->isChecked());
    eCesta->setEnabled(rbServer->isChecked());
}

void DatabaseDialog::browse() {
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("Soubor databáze"), QFileInfo(eSoubor->text()).absolutePath(),
        QStringLiteral("Databáze (*.gdb *.fdb *.GDB *.FDB);;Všechny soubory (*)"));
    if (!file.isEmpty())
        eSoubor->setText(QDir::toNativeSeparators(file));
}

QString DatabaseDialog::target() const {
    if (rbFile->isChecked())
        return db::target::normalized(QDir::fromNativeSeparators(eSoubor->text().trimmed()));
    if (rbServer->isChecked())
        return eServer->text().trimmed() + QLatin1Char(':') + eCesta->text().trimmed();
    return {};
}

QString DatabaseDialog::problem() const {
    if (rbFile->isChecked()) {
        const QString file = eSoubor->text().trimmed();
        if (file.isEmpty())
            return QStringLiteral("Zadejte soubor databáze.");
        if (db::target::isServer(file))
            return QStringLiteral(
                       "„%1“ je adresa databáze na serveru; zvolte „Databáze na serveru“.")
                .arg(file);
        const QFileInfo info(target());
        if (!info.exists())
            return QStringLiteral("Soubor %1 neexistuje.")
                .arg(QDir::toNativeSeparators(info.filePath()));
        if (!info.isFile())
            return QStringLiteral("%1 není soubor.").arg(QDir::toNativeSeparators(info.filePath()));
        return {};
    }
    if (rbServer->isChecked()) {
        const QString server = eServer->text().trimmed();
        if (server.isEmpty())
            return QStringLiteral("Zadejte server (jeho jméno nebo adresu, případně s /portem).");
        if (eCesta->text().trimmed().isEmpty())
            return QStringLiteral("Zadejte cestu k databázi na serveru nebo její alias.");
        // A colon belongs between the server and the path; in the server's
        // name only inside an IPv6 address in brackets.
        const bool bracketed =
            server.startsWith(QLatin1Char('[')) && server.contains(QLatin1Char(']'));
        const QString outside = bracketed ? server.mid(server.indexOf(QLatin1Char(']'))) : server;
        if (outside.contains(QLatin1Char(':')) || server.contains(QLatin1Char(' ')) ||
            !db::target::isServer(target()))
            return QStringLiteral(
                       "„%1“ není jméno serveru (například server, 192.168.1.10 nebo server/3051).")
                .arg(server);
    }
    return {};
}

void DatabaseDialog::accept() {
    const QString why = problem();
    if (why.isEmpty())
        QDialog::accept();
    else
        base::msg::show(base::msg::Kind::Warning, why);
}

void chooseDatabase(QWidget *parent, const QString &defaultFile, const QString &open,
                    const QString &commandLine) {
    QSettings settings;
    DatabaseDialog dialog(settings.value(kSetting).toString().trimmed(), defaultFile, open, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString target = dialog.target();
    if (target.isEmpty())
        settings.remove(kSetting);
    else
        settings.setValue(kSetting, target);
    settings.sync();
    QString text =
        target.isEmpty()
            ? QStringLiteral("Při příštím spuštění program otevře svou výchozí databázi.")
            : QStringLiteral("Při příštím spuštění program otevře databázi %1.")
                  .arg(QDir::toNativeSeparators(target));
    if (!commandLine.isEmpty())
        text += QStringLiteral(
            "\nProgram byl spuštěn s databází zadanou na příkazovém řádku (--database); "
            "ta má před tímto nastavením vždy přednost.");
    base::msg::show(base::msg::Kind::Information, text);
}

} // namespace app
