// The sync with an address book on a server: the command that sets up the
// account, the background sync, its word in the status bar, and the choice
// in a conflict.
#include "app/U_deska.h"

#include "app/BackgroundSync.h"
#include "app/SyncAccountDialog.h"
#include "app/SyncConflictDialog.h"
#include "base/MessageService.h"
#include "base/Win1250.h"
#include "data/U_DM.h"
#include "db/DbError.h"
#include "grid/DataGrid.h"
#include "grid/GridMenu.h"
#include "login/SecretStore.h"
#include "sync/CompanyCards.h"
#include "ui/ErrorReport.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QSettings>
#include <QTime>

void Tfm_Deska::createSyncCommand() {
    m_ui.actSync = new QAction(QStringLiteral("Synchronizace s telefonem…"), this);
    m_ui.actSync->setObjectName(QStringLiteral("actSync"));
    m_ui.actSync->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    addAction(m_ui.actSync);
    connect(m_ui.actSync, &QAction::triggered, this,
            [this] { ui::guarded([this] { actSyncTriggered(); }); });
    QMenu *boardMenu = m_ui.gHlavniDeska->menu()->menu();
    boardMenu->addAction(m_ui.actSync);
}

namespace {

/// The companies a sync may be limited to, by name ("Bez firmy" has no
/// card of its own but its contacts may be synced).
QList<app::SyncableCompany> syncableCompanies(db::DbConnection &db) {
    QList<app::SyncableCompany> companies;
    const auto cursor =
        db.openCursor("SELECT ID, NAZEV_FIRMA FROM FIRMA ORDER BY UPPER(NAZEV_FIRMA), ID", {});
    db::PackedRow row;
    while (cursor->fetch(row))
        companies << app::SyncableCompany{int(row.cell(0).num),
                                          base::win1250::decode(row.cell(1).bytes)};
    return companies;
}

cardsync::SyncScope scopeOf(const cardsync::AccountSettings &account) {
    return {QSet<int>(account.companies.begin(), account.companies.end())};
}

} // namespace

void Tfm_Deska::actSyncTriggered() {
    QSettings settings;
    const cardsync::AccountSettings saved = cardsync::AccountSettings::load(settings);
    login::DesktopSecretStore secrets;
    const QString remembered =
        saved.isSet() ? secrets.read(saved.secretKey()).value_or(QString()) : QString();
    app::SyncAccountDialog dialog(saved, remembered, syncableCompanies(m_dm.ZConKontakty), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    cardsync::AccountSettings account = dialog.account();
    if (account.url.host() == saved.url.host()) // the certificate accepted for that server stays
        account.acceptedCertificate = saved.acceptedCertificate;
    account.save(settings);
    if (const QString why = secrets.write(account.secretKey(), dialog.password()); !why.isEmpty())
        base::msg::show(base::msg::Kind::Information,
                        QStringLiteral("Heslo se nepodařilo uložit do úložiště hesel (%1). "
                                       "Synchronizace poběží do ukončení programu; po dalším "
                                       "spuštění heslo zadejte znovu.")
                            .arg(why));
    makeBackgroundSync();
    m_choosingConflicts = true; // asked for by the user: conflicts are put before them
    m_ui.stbP2->setText(QStringLiteral("Synchronizace běží…"));
    m_sync->setScope(scopeOf(account));
    m_sync->start({account.url, account.user, dialog.password(), account.acceptedCertificate});
}

void Tfm_Deska::makeBackgroundSync() {
    if (m_sync)
        return;
    m_sync = std::make_unique<app::BackgroundSync>(m_access);
    connect(m_sync.get(), &app::BackgroundSync::finished, this, &Tfm_Deska::syncFinished);
    connect(m_sync.get(), &app::BackgroundSync::failed, this, &Tfm_Deska::syncFailed);
}

void Tfm_Deska::startBackgroundSync() {
    const cardsync::AccountSettings account = cardsync::AccountSettings::load(QSettings());
    if (!account.isSet())
        return;
    const auto password = login::DesktopSecretStore().read(account.secretKey());
    if (!password)
        return; // the command asks for it
    makeBackgroundSync();
    m_sync->setScope(scopeOf(account));
    m_sync->start({account.url, account.user, *password, account.acceptedCertificate});
}

void Tfm_Deska::syncFinished(const cardsync::SyncReport &report) {
    QString text = QStringLiteral("Synchronizováno v %1: přijato %2, odesláno %3")
                       .arg(QTime::currentTime().toString(QStringLiteral("H:mm")))
                       .arg(report.receivedHere + report.deletedHere + report.companiesHere)
                       .arg(report.sentThere + report.deletedThere + report.companiesThere);
    if (report.paired)
        text += QStringLiteral("; spárováno s kartami na serveru: %1").arg(report.paired);
    if (!report.conflicts.isEmpty())
        text += QStringLiteral("; %1 na obou stranách změněných kontaktů čeká na rozhodnutí "
                               "(Ctrl+Shift+S)")
                    .arg(report.conflicts.size());
    if (!report.conflictingCompanies.isEmpty())
        text += QStringLiteral("; %1 na obou stranách změněných firem čeká na rozhodnutí "
                               "(Ctrl+Shift+S)")
                    .arg(report.conflictingCompanies.size());
    m_ui.stbP2->setText(text);
    m_ui.stbP2->setToolTip(report.notes.join(QLatin1Char('\n')));
    if (m_choosingConflicts &&
        (!report.conflicts.isEmpty() || !report.conflictingCompanies.isEmpty()))
        chooseInConflicts(report.conflicts, report.conflictingCompanies);
    m_choosingConflicts = false;
}

void Tfm_Deska::syncFailed(const QString &message, const QByteArray &certificate) {
    const bool asked = m_choosingConflicts;
    m_choosingConflicts = false;
    m_ui.stbP2->setText(QStringLiteral("Synchronizace se nezdařila: ") + message);
    m_ui.stbP2->setToolTip(m_ui.stbP2->text());
    // A certificate the system does not trust is accepted only by the user's
    // own word, when the user asked for the sync, and only that certificate.
    if (!asked || certificate.isEmpty())
        return;
    if (base::msg::show(base::msg::Kind::Confirm,
                        message + QStringLiteral("\n\nPřijmout tento certifikát? Přijměte ho "
                                                 "jen tehdy, víte-li, že otisk patří vašemu "
                                                 "serveru."),
                        base::msg::Buttons::YesNo) != base::msg::Answer::Yes)
        return;
    QSettings settings;
    cardsync::AccountSettings account = cardsync::AccountSettings::load(settings);
    account.acceptedCertificate = certificate;
    account.save(settings);
    m_choosingConflicts = true;
    m_sync->acceptCertificate(certificate);
}

void Tfm_Deska::chooseInConflicts(const QList<int> &contactIds, const QList<int> &companyIds) {
    using Choices = QList<std::pair<int, cardsync::Choice>>;
    using Versions = std::optional<cardsync::ConflictVersions> (*)(db::DbConnection &, int);
    // Asks about each of `ids`; false when the user puts it off (the rest waits too).
    auto ask = [this](const QList<int> &ids, Versions versionsOf, Choices &choices) {
        for (int id : ids) {
            const auto versions = versionsOf(m_dm.ZConKontakty, id);
            if (!versions)
                continue;
            app::SyncConflictDialog dialog(*versions, this);
            if (dialog.exec() != QDialog::Accepted)
                return false;
            choices << std::pair{id, *dialog.choice()};
        }
        return true;
    };
    Choices contacts, companies;
    try {
        if (ask(contactIds, &cardsync::conflictVersions, contacts))
            ask(companyIds, &cardsync::companyConflictVersions, companies);
    } catch (const db::DbError &error) {
        ui::showErrorReport(error.message());
        return;
    }
    if (!contacts.isEmpty() || !companies.isEmpty())
        m_sync->resolve(contacts, companies);
}
