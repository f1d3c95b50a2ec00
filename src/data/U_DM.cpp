#include "data/U_DM.h"

#include "base/MessageService.h"
#include "data/RowIds.h"
#include "db/DatabaseTarget.h"
#include "db/DbError.h"
#include "db/OpenError.h"

#include <QFileInfo>

#ifdef __GLIBC__
#include <malloc.h>
#endif

TDM *DM = nullptr;
int TDM::lastNextId = 0;

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
    : QObject(parent), tFIRMA(QStringLiteral("tFIRMA"), QStringLiteral("FIRMA"), &ZConKontakty),
      tKONTAKT(QStringLiteral("tKONTAKT"), QStringLiteral("KONTAKT"), &ZConKontakty),
      tPOBOCKA(QStringLiteral("tPOBOCKA"), QStringLiteral("POBOCKA"), &ZConKontakty),
      tSVATEK(QStringLiteral("tSVATEK"), QStringLiteral("SVATEK"), &ZConKontakty),
      tSVATEK_STATNI(QStringLiteral("tSVATEK_STATNI"), QStringLiteral("SVATEK_STATNI"),
                     &ZConKontakty),
      tNastaveni(QStringLiteral("tNastaveni"), QStringLiteral("NASTAVENI"), &ZConKontakty),
      ztUpdateNastaveni(QStringLiteral("ztUpdateNastaveni"), QStringLiteral("NASTAVENI"),
                        &ZConKontakty),
      qMaxID(QStringLiteral("qMaxID"), &ZConKontakty),
      qFirmaKontakty(QStringLiteral("qFirmaKontakty"), &ZConKontakty),
      qHlavniDeska(QStringLiteral("qHlavniDeska"), &ZConKontakty),
      zqUpdate(QStringLiteral("zqUpdate"), &ZConKontakty), dsFIRMA(&tFIRMA), dsKONTAKT(&tKONTAKT),
      dsFirmaKontakty(&qFirmaKontakty), dsHlavniDeska(&qHlavniDeska) {
    ZConKontakty.setProtocol(db::settings::kProtocol);
    ZConKontakty.setUser(db::settings::kUser);
    ZConKontakty.setPassword(db::settings::kPassword);

    using db::FieldType;
    ztUpdateNastaveni.declareField(QStringLiteral("VERZE_HLAVNI"), db::FieldType::SmallInt);
    ztUpdateNastaveni.declareField(QStringLiteral("VERZE_VEDLEJSI"), db::FieldType::SmallInt);
    ztUpdateNastaveni.declareField(QStringLiteral("DATUM_UPRAVY_VERZE"), db::FieldType::DateTime);
    ztUpdateNastaveni.declareField(QStringLiteral("DATUM_POUZITI"), db::FieldType::DateTime);
    ztUpdateNastaveni.declareField(QStringLiteral("JMENO_UZIVATELE"), db::FieldType::Text, 30);
    ztUpdateNastaveni.declareField(QStringLiteral("HESLO_UZIVATELE"), db::FieldType::Text, 30);
    ztUpdateNastaveni.declareField(QStringLiteral("KONTROLUJ_UPDATY"), db::FieldType::SmallInt);

    qFirmaKontakty.setSql(companyContactsSql());
    qFirmaKontakty.paramByName(QStringLiteral("IdFirmy"))->setAsInteger(1);
    qHlavniDeska.setSql(boardSql());
    for (const char *name : {"k1", "k2", "k3", "f1", "f2", "f3"})
        qHlavniDeska.paramByName(QString::fromLatin1(name))->setAsString(QStringLiteral("%"));
    // The board filters in memory what its statement would select.
    qHlavniDeska.setRowProvider([this](bool reread) { return boardRows(reread); });
    connect(&m_loader, &data::BoardLoader::finished, this, &TDM::boardLoaded);
}

dataset::Dataset::ProvidedRows TDM::boardRows(bool reread) {
    if (reread || m_rereadBoard || m_board.isStale(ZConKontakty)) {
        m_rereadBoard = false;
        loadBoard();
    }
    auto param = [this](const char *name) {
        return qHlavniDeska.paramByName(QString::fromLatin1(name))->value().toString();
    };
    return m_board.rows(
        {param("k1"), param("k2"), param("k3"), param("f1"), param("f2"), param("f3")},
        m_shownSearch);
}

void TDM::loadBoard() {
    const bool wasLoading = m_loader.isRunning();
    m_loader.cancel();
    m_board.invalidate();
    // A write-protected file is read through a private copy the loader
    // could not attach to; it is read whole at once, as is a register of
    // fewer companies than the head.
    if (!ZConKontakty.isReadOnly() &&
        m_board.readHead(ZConKontakty, qHlavniDeska.statement(), m_headCompanies))
        m_loader.start(ZConKontakty, qHlavniDeska.statement(), m_boardSearch);
    else
        m_board.read(ZConKontakty, qHlavniDeska.statement());
    if (wasLoading != m_loader.isRunning())
        emit boardLoadingChanged();
    emit boardReread();
}

void TDM::boardLoaded() {
    const QString error = m_loader.error();
    data::BoardSnapshot whole = m_loader.take();
    if (whole.isLoaded()) {
        m_board = std::move(whole);
#ifdef __GLIBC__
        // The read's scaffolding (the contacts as read, the company lookup)
        // was freed in pieces the allocator keeps; give them back.
        malloc_trim(0);
#endif
    } else
        m_rereadBoard = true; // the head stays; the next keystroke tries again
    emit boardLoadingChanged();
    if (!error.isEmpty()) {
        base::msg::show(base::msg::Kind::Error,
                        QStringLiteral("Všechny kontakty se nepodařilo načíst: %1").arg(error));
        return;
    }
    if (!qHlavniDeska.isActive())
        return;
    // The same text answered over the whole register, on the same row.
    const int current = qHlavniDeska.currentIndex();
    try {
        qHlavniDeska.close();
        qHlavniDeska.open();
        if (current > 0 && qHlavniDeska.recordCount() > 0)
            qHlavniDeska.moveTo(qMin(current, qHlavniDeska.recordCount() - 1));
    } catch (const db::DbError &e) {
        base::msg::show(base::msg::Kind::Error, e.message());
    }
}

void TDM::completeBoard() {
    if (m_loader.isRunning()) {
        m_loader.wait();
        boardLoaded();
    }
    while (m_preparing.joinable()) {
        m_preparing.join();
        showBoardSearch();
    }
}

void TDM::setBoardSearch(const data::BoardSearch &search) {
    if (search == m_boardSearch)
        return;
    m_boardSearch = search;
    m_loader.setSearch(search);
    showBoardSearch();
}

void TDM::showBoardSearch() {
    if (m_preparing.joinable())
        return; // its end comes here again
    if (!m_board.isReadyFor(m_boardSearch)) {
        // What an option looks in takes a few hundred milliseconds to make
        // at half a million contacts: made beside the window, which shows
        // the rows it shows until then.
        m_preparing = std::thread([this, work = m_board.preparation(m_boardSearch)] {
            work();
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_preparing.joinable())
                        m_preparing.join();
                    showBoardSearch();
                },
                Qt::QueuedConnection);
        });
        return;
    }
    if (m_shownSearch == m_boardSearch)
        return;
    m_shownSearch = m_boardSearch;
    if (!qHlavniDeska.isActive())
        return;
    qHlavniDeska.close();
    qHlavniDeska.open();
}

TDM::~TDM() {
    if (m_preparing.joinable())
        m_preparing.join();
    if (DM == this)
        DM = nullptr;
}

void TDM::reconnect(const QString &database, const QString &hostName, const QString &password,
                    const QString &protocol, const QString &user, bool connect) {
    m_loader.cancel();
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
    } catch (const db::DbError &) {
        return false;
    }
}

void TDM::ConnectAndOpenAll(const QString &database, const QString &hostName,
                            const QString &password, const QString &protocol, const QString &user) {
    QString step;
    const bool file = hostName.isEmpty() && !db::target::isServer(database);
    // A file that opened but whose pages cannot be read is named with the
    // cause, once, by the first step that meets it.
    bool causeShown = false;
    auto readFailure = [&](const db::DbError &e) {
        const bool opened = step != QLatin1String("Nepovedlo se pripojit k DB");
        return file && opened && !causeShown ? db::describeReadFailure(database, e) : QString();
    };
    try {
        reconnect(database, hostName, password, protocol, user, false);
        step = QStringLiteral("Nepovedlo se pripojit k DB");
        ZConKontakty.setConnected(true);
        if (ZConKontakty.isReadOnly())
            base::msg::show(
                base::msg::Kind::Information,
                QStringLiteral(
                    "Soubor databáze „%1“ je chráněn proti zápisu. Databáze je otevřena jen pro "
                    "čtení: lze ji prohlížet a tisknout, změny nelze uložit.")
                    .arg(QFileInfo(database).absoluteFilePath()));
        const std::pair<dataset::Dataset *, const char *> tables[] = {
            {&tFIRMA, "Firma"},
            {&tKONTAKT, "Kontakt"},
            {&tPOBOCKA, "Pobocka"},
            {&tSVATEK, "Svatek"},
            {&tSVATEK_STATNI, "Svatek_statni"},
            {&tNastaveni, "Nastaveni"}};
        for (const auto &[dataset, name] : tables) {
            step = QString::fromLatin1(name);
            dataset->open();
        }
    } catch (const db::DbError &e) {
        base::msg::show(base::msg::Kind::Plain,
                        QStringLiteral("Chyba nastala v tabulce: %1").arg(step));
        // Then the cause in words, for a file that did not open or cannot be read.
        QString cause = readFailure(e);
        if (cause.isEmpty() && !ZConKontakty.isConnected() && hostName.isEmpty())
            cause = file ? db::describeOpenFailure(database, e)
                         : db::describeServerOpenFailure(database, e);
        if (!cause.isEmpty())
            base::msg::show(base::msg::Kind::Error, cause);
        causeShown = true;
    }
    try {
        step = QStringLiteral("Hlavni deska");
        qHlavniDeska.open();
    } catch (const db::DbError &e) {
        base::msg::show(base::msg::Kind::Plain,
                        QStringLiteral("Chyba nastala v query: %1").arg(step));
        if (const QString cause = readFailure(e); !cause.isEmpty())
            base::msg::show(base::msg::Kind::Error, cause);
    }
}

int TDM::NextId(const QString &column, const QString &table) {
    Q_UNUSED(column); // the ID column of companies and contacts
    lastNextId = int(data::rowids::next(ZConKontakty, table));
    return lastNextId;
}

void TDM::PostTogether(const QList<dataset::TableDataset *> &rows,
                       const std::function<void()> &renumber,
                       const std::function<QList<db::DbConnection::Statement>()> &alongside) {
    constexpr int kAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        QList<db::DbConnection::Statement> statements;
        QList<dataset::TableDataset *> written;
        for (dataset::TableDataset *row : rows) {
            const db::DbConnection::Statement statement = row->pendingStatement();
            if (statement.sql.isEmpty())
                continue; // an edit that changed nothing writes nothing
            statements << statement;
            written << row;
        }
        if (alongside && !statements.isEmpty())
            statements << alongside();
        qint64 version = 0;
        try {
            if (!statements.isEmpty())
                version = ZConKontakty.executeCommitted(statements);
        } catch (const db::DbError &error) {
            if (error.kind() == db::DbError::Kind::KeyClash && renumber && attempt < kAttempts) {
                renumber();
                continue;
            }
            if (error.kind() == db::DbError::Kind::KeyClash && renumber)
                throw db::DbError(db::texts::kKeyClash, error.kind(), error.codes(),
                                  error.engineText());
            db::DbError reported = error;
            for (dataset::TableDataset *row : std::as_const(written))
                if (const db::DbError seen = row->failedToPost(error); seen.kind() != error.kind())
                    reported = seen;
            throw reported;
        }
        for (dataset::TableDataset *row : rows)
            row->acceptPosted(written.contains(row) ? version : 0);
        return;
    }
}

void TDM::PostNewCompany() {
    auto setId = [](dataset::Dataset &table, const char *column, qint64 id) {
        table.fieldByName(QString::fromLatin1(column))->setAsInteger(id);
    };
    const qint64 company = tFIRMA.fieldByName(QStringLiteral("ID"))->asInteger();
    try {
        tKONTAKT.insert();
        setId(tKONTAKT, "ID", NextId(QStringLiteral("id"), QStringLiteral("kontakt")));
        setId(tKONTAKT, "ID_FIRMA", company);
        setId(tKONTAKT, "ID_POBOCKA", 0);
        tKONTAKT.fieldByName(QStringLiteral("KRAJ"))->setAsString(QStringLiteral("***"));
        PostTogether({&tFIRMA, &tKONTAKT}, [&] {
            const qint64 renumbered = NextId(QStringLiteral("id"), QStringLiteral("firma"));
            setId(tFIRMA, "ID", renumbered);
            setId(tKONTAKT, "ID", NextId(QStringLiteral("id"), QStringLiteral("kontakt")));
            setId(tKONTAKT, "ID_FIRMA", renumbered);
        });
    } catch (...) {
        if (tKONTAKT.state() == dataset::Dataset::State::Insert)
            tKONTAKT.cancel();
        throw;
    }
}

void TDM::DeleteContactKeepingCompany() {
    if (!tKONTAKT.isActive() || tKONTAKT.currentIndex() < 0 ||
        tKONTAKT.state() == dataset::Dataset::State::Insert) {
        tKONTAKT.deleteRecord(); // nothing stored to delete: the layer's own answer
        return;
    }
    const qint64 company = tKONTAKT.fieldByName(QStringLiteral("ID_FIRMA"))->asInteger();
    if (company == 0) {
        tKONTAKT.deleteRecord();
        return;
    }
    // Decided inside the transaction, on what is stored then.
    const qint64 placeholder = NextId(QStringLiteral("id"), QStringLiteral("kontakt"));
    tKONTAKT.deleteRecordWith({{"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) "
                                "SELECT ?, ?, 0, '***' FROM RDB$DATABASE "
                                "WHERE NOT EXISTS (SELECT 1 FROM KONTAKT WHERE ID_FIRMA = ?) "
                                "AND EXISTS (SELECT 1 FROM FIRMA WHERE ID = ?)",
                                {placeholder, company, company, company}}});
}

bool TDM::IsContactMoving() const {
    if (tKONTAKT.state() != dataset::Dataset::State::Edit)
        return false;
    const QVariant stored = tKONTAKT.storedValue(QStringLiteral("ID_FIRMA"));
    return stored.toLongLong() != tKONTAKT.fieldByName(QStringLiteral("ID_FIRMA"))->asInteger();
}

void TDM::PostContactMove() {
    const qint64 from = tKONTAKT.storedValue(QStringLiteral("ID_FIRMA")).toLongLong();
    const qint64 to = tKONTAKT.fieldByName(QStringLiteral("ID_FIRMA"))->asInteger();
    const qint64 person = tKONTAKT.fieldByName(QStringLiteral("ID"))->asInteger();
    // A branch belongs to the company the person leaves.
    tKONTAKT.fieldByName(QStringLiteral("ID_POBOCKA"))->setAsInteger(0);
    qint64 placeholder = NextId(QStringLiteral("id"), QStringLiteral("kontakt"));
    auto alongside = [&]() -> QList<db::DbConnection::Statement> {
        return {// Touches the person only while the new company exists.
                {"UPDATE KONTAKT SET ID_FIRMA = ID_FIRMA WHERE ID = ? "
                 "AND EXISTS (SELECT 1 FROM FIRMA WHERE ID = ?)",
                 {person, to},
                 1},
                {"DELETE FROM KONTAKT WHERE ID_FIRMA = ? AND KRAJ = '***'", {to}},
                {"INSERT INTO KONTAKT (ID, ID_FIRMA, ID_POBOCKA, KRAJ) "
                 "SELECT ?, ?, 0, '***' FROM RDB$DATABASE "
                 "WHERE NOT EXISTS (SELECT 1 FROM KONTAKT WHERE ID_FIRMA = ?) "
                 "AND EXISTS (SELECT 1 FROM FIRMA WHERE ID = ?)",
                 {placeholder, from, from, from}}};
    };
    try {
        PostTogether(
            {&tKONTAKT},
            [&] { placeholder = NextId(QStringLiteral("id"), QStringLiteral("kontakt")); },
            alongside);
    } catch (const db::DbError &error) {
        if (error.kind() != db::DbError::Kind::Conflict)
            throw;
        bool companyGone = false;
        try {
            auto cursor = ZConKontakty.openCursor("SELECT 1 FROM FIRMA WHERE ID = ?", {to});
            db::PackedRow row;
            companyGone = !cursor->fetch(row);
        } catch (const db::DbError &) {
            throw error;
        }
        if (!companyGone)
            throw;
        throw db::DbError(QStringLiteral("Firmu, ke které měl být kontakt přesunut, mezitím "
                                         "někdo smazal. Nic nebylo uloženo: vyberte jinou firmu, "
                                         "nebo úpravy zrušte."),
                          db::DbError::Kind::Conflict, error.codes(), error.engineText());
    }
}

void TDM::RefreshBoard() {
    if (m_closing)
        return;
    tKONTAKT.refresh();
    tFIRMA.refresh();
    m_rereadBoard = true;
    qHlavniDeska.close();
    qHlavniDeska.open();
}

void TDM::cancelPendingChanges() {
    m_closing = true;
    m_loader.cancel();
    for (dataset::Dataset *dataset :
         {static_cast<dataset::Dataset *>(&tFIRMA), static_cast<dataset::Dataset *>(&tKONTAKT),
          static_cast<dataset::Dataset *>(&tPOBOCKA), static_cast<dataset::Dataset *>(&tNastaveni)})
        if (dataset->isEditing())
            dataset->cancel();
}
