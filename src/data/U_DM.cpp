#include "U_DM.h"

#include "DatabaseTarget.h"
#include "DbError.h"
#include "MessageService.h"
#include "OpenError.h"

#include <QFileInfo>

TDM *DM = nullptr;
int TDM::lastNextId = 0;

QString dbsettings::databasePath(const QString &baseDirectory) {
    return baseDirectory + QStringLiteral("/Tabulky/KONTAKTY.GDB");
}

QStringList TDM::boardSql() {
    return {
        QStringLiteral("SELECT"),
        QStringLiteral("kontakt.id_firma, 2 AS Flag,"),
        QStringLiteral("kontakt.id, kontakt.prijmeni, kontakt.jmeno,"),
        QStringLiteral("kontakt.mobil, kontakt.telefon1, kontakt.email1, kontakt.kraj,"),
        QStringLiteral("firma.Nazev_firma, firma.telefon1 as Ftelefon,"),
        QStringLiteral("firma.mobil as fMobil , firma.fax as ffax"),
        QStringLiteral("FROM kontakt, firma"),
        QStringLiteral("WHERE kontakt.id_firma = firma.id and"),
        QStringLiteral("      kontakt.kraj <> '***'"),
        QStringLiteral("and (   UPPER(prijmeni) like UPPER(:k1)"),
        QStringLiteral("     or UPPER(jmeno) like UPPER(:k2)"),
        QStringLiteral("     or UPPER(Nazev_firma) like UPPER(:k3))"),
        QStringLiteral("UNION ALL"),
        QStringLiteral("SELECT DISTINCT"),
        QStringLiteral("kontakt.id_firma, 1 AS Flag,"),
        QStringLiteral("null, null, null,"),
        QStringLiteral("null, null, null, null,"),
        QStringLiteral("firma.Nazev_firma, firma.telefon1 as Ftelefon,"),
        QStringLiteral("firma.mobil as fMobil , firma.fax as ffax"),
        QStringLiteral("FROM kontakt,firma"),
        QStringLiteral("WHERE kontakt.id_firma = firma.id"),
        QStringLiteral("and (   UPPER(prijmeni) like UPPER(:f1)"),
        QStringLiteral("     or UPPER(jmeno) like UPPER(:f2)"),
        QStringLiteral("     or UPPER(Nazev_firma) like UPPER(:f3))"),
        QStringLiteral("ORDER BY 10,2"),
    };
}

QStringList TDM::companyContactsSql() {
    return {QStringLiteral("SELECT"),
            QStringLiteral("kontakt.*"),
            QStringLiteral("FROM"),
            QStringLiteral("kontakt,firma"),
            QStringLiteral("WHERE"),
            QStringLiteral("kontakt.id_firma = firma.id and"),
            QStringLiteral("firma.id = :IdFirmy"),
            QStringLiteral("ORDER BY"),
            QStringLiteral("kontakt.prijmeni")};
}

TDM::TDM(QObject *parent)
    : QObject(parent),
      tFIRMA(QStringLiteral("tFIRMA"), QStringLiteral("FIRMA"), &ZConKontakty),
      tKONTAKT(QStringLiteral("tKONTAKT"), QStringLiteral("KONTAKT"), &ZConKontakty),
      tPOBOCKA(QStringLiteral("tPOBOCKA"), QStringLiteral("POBOCKA"), &ZConKontakty),
      tSVATEK(QStringLiteral("tSVATEK"), QStringLiteral("SVATEK"), &ZConKontakty),
      tSVATEK_STATNI(QStringLiteral("tSVATEK_STATNI"), QStringLiteral("SVATEK_STATNI"), &ZConKontakty),
      tNastaveni(QStringLiteral("tNastaveni"), QStringLiteral("NASTAVENI"), &ZConKontakty),
      ztUpdateNastaveni(QStringLiteral("ztUpdateNastaveni"), QStringLiteral("NASTAVENI"), &ZConKontakty),
      qMaxID(QStringLiteral("qMaxID"), &ZConKontakty),
      qFirmaKontakty(QStringLiteral("qFirmaKontakty"), &ZConKontakty),
      qHlavniDeska(QStringLiteral("qHlavniDeska"), &ZConKontakty),
      zqUpdate(QStringLiteral("zqUpdate"), &ZConKontakty),
      dsFIRMA(&tFIRMA), dsKONTAKT(&tKONTAKT), dsFirmaKontakty(&qFirmaKontakty), dsHlavniDeska(&qHlavniDeska) {
    ZConKontakty.setProtocol(dbsettings::kProtocol);
    ZConKontakty.setUser(dbsettings::kUser);
    ZConKontakty.setPassword(dbsettings::kPassword);

    using data::FieldType;
    ztUpdateNastaveni.declareField(QStringLiteral("VERZE_HLAVNI"), FieldType::SmallInt);
    ztUpdateNastaveni.declareField(QStringLiteral("VERZE_VEDLEJSI"), FieldType::SmallInt);
    ztUpdateNastaveni.declareField(QStringLiteral("DATUM_UPRAVY_VERZE"), FieldType::DateTime);
    ztUpdateNastaveni.declareField(QStringLiteral("DATUM_POUZITI"), FieldType::DateTime);
    ztUpdateNastaveni.declareField(QStringLiteral("JMENO_UZIVATELE"), FieldType::Text, 30);
    ztUpdateNastaveni.declareField(QStringLiteral("HESLO_UZIVATELE"), FieldType::Text, 30);
    ztUpdateNastaveni.declareField(QStringLiteral("KONTROLUJ_UPDATY"), FieldType::SmallInt);

    qFirmaKontakty.setSql(companyContactsSql());
    qFirmaKontakty.paramByName(QStringLiteral("IdFirmy"))->setAsInteger(1);
    qHlavniDeska.setSql(boardSql());
    for (const char *name : {"k1", "k2", "k3", "f1", "f2", "f3"})
        qHlavniDeska.paramByName(QString::fromLatin1(name))->setAsString(QStringLiteral("%"));
    // The board filters in memory what its statement would select.
    qHlavniDeska.setRowProvider([this](bool reread) { return boardRows(reread); });
}

data::Dataset::ProvidedRows TDM::boardRows(bool reread) {
    if (reread || m_rereadBoard || m_board.isStale(ZConKontakty)) {
        m_rereadBoard = false;
        m_board.read(ZConKontakty, qHlavniDeska.statement());
    }
    auto param = [this](const char *name) {
        return qHlavniDeska.paramByName(QString::fromLatin1(name))->value().toString();
    };
    return m_board.rows({param("k1"), param("k2"), param("k3"), param("f1"), param("f2"), param("f3")});
}

TDM::~TDM() {
    if (DM == this)
        DM = nullptr;
}

void TDM::reconnect(const QString &database, const QString &hostName, const QString &password,
                    const QString &protocol, const QString &user, bool connect) {
    ZConKontakty.setConnected(false);
    m_board.invalidate();
    ZConKontakty.setDatabase(database);
    ZConKontakty.setHostName(hostName);
    ZConKontakty.setPassword(password);
    ZConKontakty.setProtocol(protocol);
    ZConKontakty.setUser(user);
    ZConKontakty.setConnected(connect);
}

bool TDM::ConnectDatabase(bool connect, const QString &database, const QString &hostName,
                          const QString &password, const QString &protocol, const QString &user) {
    try {
        reconnect(database, hostName, password, protocol, user, connect);
        return true;
    } catch (const data::DbError &) {
        return false;
    }
}

void TDM::ConnectAndOpenAll(const QString &database, const QString &hostName, const QString &password,
                            const QString &protocol, const QString &user) {
    QString step;
    const bool file = hostName.isEmpty() && !dbtarget::isServer(database);
    // A file that opened but whose pages cannot be read is named with the
    // cause, once, by the first step that meets it.
    bool causeShown = false;
    auto readFailure = [&](const data::DbError &e) {
        const bool opened = step != QLatin1String("Nepovedlo se pripojit k DB");
        return file && opened && !causeShown ? data::describeReadFailure(database, e) : QString();
    };
    try {
        reconnect(database, hostName, password, protocol, user, false);
        step = QStringLiteral("Nepovedlo se pripojit k DB");
        ZConKontakty.setConnected(true);
        if (ZConKontakty.isReadOnly())
            msg::show(msg::Kind::Information,
                      QStringLiteral("Soubor databáze „%1“ je chráněn proti zápisu. Databáze je otevřena jen pro "
                                     "čtení: lze ji prohlížet a tisknout, změny nelze uložit.")
                          .arg(QFileInfo(database).absoluteFilePath()));
        const std::pair<data::Dataset *, const char *> tables[] = {
            {&tFIRMA, "Firma"},   {&tKONTAKT, "Kontakt"},           {&tPOBOCKA, "Pobocka"},
            {&tSVATEK, "Svatek"}, {&tSVATEK_STATNI, "Svatek_statni"}, {&tNastaveni, "Nastaveni"}};
        for (const auto &[dataset, name] : tables) {
            step = QString::fromLatin1(name);
            dataset->open();
        }
    } catch (const data::DbError &e) {
        msg::show(msg::Kind::Plain, QStringLiteral("Chyba nastala v tabulce: %1").arg(step));
        // Then the cause in words, for a file that did not open or cannot be read.
        QString cause = readFailure(e);
        if (cause.isEmpty() && !ZConKontakty.isConnected() && hostName.isEmpty())
            cause = file ? data::describeOpenFailure(database, e)
                         : data::describeServerOpenFailure(database, e);
        if (!cause.isEmpty())
            msg::show(msg::Kind::Error, cause);
        causeShown = true;
    }
    try {
        step = QStringLiteral("Hlavni deska");
        qHlavniDeska.open();
    } catch (const data::DbError &e) {
        msg::show(msg::Kind::Plain, QStringLiteral("Chyba nastala v query: %1").arg(step));
        if (const QString cause = readFailure(e); !cause.isEmpty())
            msg::show(msg::Kind::Error, cause);
    }
}

int TDM::NextId(const QString &column, const QString &table) {
    qMaxID.close();
    qMaxID.setSql(QStringLiteral("SELECT max(%1) as IDecko FROM %2;").arg(column, table));
    qMaxID.open();
    lastNextId = int(qMaxID.fieldByName(QStringLiteral("IDecko"))->asInteger()) + 1;
    return lastNextId;
}

void TDM::RefreshBoard() {
    tKONTAKT.refresh();
    tFIRMA.refresh();
    m_rereadBoard = true;
    qHlavniDeska.close();
    qHlavniDeska.open();
}
