// Test helper for the durability test: confirms rows through the data
// module the way the record forms do and writes "confirmed <step>" to
// standard output each time a confirm has returned. The test kills it.
// usage: durability-writer DATABASE ROUND
#include "DurabilityPlan.h"
#include "base/MessageService.h"
#include "data/U_DM.h"
#include "db/DatabaseTarget.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QByteArray &line) {
    const QByteArray out = line + '\n';
    if (::write(STDOUT_FILENO, out.constData(), size_t(out.size())) != out.size())
        ::_exit(3);
}

void confirm(TDM &dm, int round, int step) {
    using durability::rowId;
    const int id = rowId(round, step);
    auto set = [](dataset::Dataset &d, const char *field, const QString &text) {
        d.fieldByName(QString::fromLatin1(field))->setAsString(text);
    };
    dataset::TableDataset &companies = dm.tFIRMA;
    dataset::TableDataset &contacts = dm.tKONTAKT;
    switch (step % 4) {
    case 0:
        // A new company as its form confirms it: with its placeholder contact.
        companies.insert();
        companies.fieldByName(QStringLiteral("ID"))->setAsInteger(id);
        set(companies, "NAZEV_FIRMA", QStringLiteral("Firma %1").arg(id));
        set(companies, "POPIS", durability::description(id));
        dm.PostNewCompany();
        break;
    case 1:
        if (!companies.locate(QStringLiteral("ID"), {id}))
            ::_exit(4);
        companies.edit();
        set(companies, "NAZEV_FIRMA", QStringLiteral("Změněná %1").arg(id));
        companies.post();
        break;
    case 2:
        contacts.insert();
        contacts.fieldByName(QStringLiteral("ID"))
            ->setAsInteger(dm.NextId(QStringLiteral("id"), QStringLiteral("kontakt")));
        contacts.fieldByName(QStringLiteral("ID_FIRMA"))->setAsInteger(id);
        set(contacts, "PRIJMENI", QStringLiteral("Kontakt %1").arg(id));
        set(contacts, "KRAJ", QStringLiteral(" "));
        contacts.fieldByName(QStringLiteral("OBR"))->setAsBytes(durability::photo(id));
        contacts.post();
        break;
    case 3:
        if (!contacts.locate(QStringLiteral("ID_FIRMA;PRIJMENI"),
                             {id, QStringLiteral("Kontakt %1").arg(id)}))
            ::_exit(4);
        if ((step / 4) % 2) {
            dm.DeleteContactKeepingCompany();
        } else {
            contacts.edit();
            set(contacts, "PRIJMENI", QStringLiteral("Hotovo %1").arg(id));
            contacts.post();
        }
        break;
    }
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    base::msg::Recorder messages; // nothing may wait for an answer
    TDM dm;
    dm.ConnectAndOpenAll(QString::fromLocal8Bit(argv[1]), QString(), db::settings::kPassword,
                         db::settings::kProtocol, db::settings::kUser);
    if (!messages.messages.empty() || !dm.ZConKontakty.isConnected())
        return 5;
    const int round = std::atoi(argv[2]);
    say("ready");
    for (int step = 0; step < durability::kStepsPerRound; ++step) {
        confirm(dm, round, step);
        say("confirmed " + QByteArray::number(step));
    }
    return 0;
}
