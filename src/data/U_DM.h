#pragma once

#include "BoardSnapshot.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DbConnection.h"

#include <QObject>

/// Fixed connection settings of the program's database.
namespace dbsettings {
inline const QString kProtocol = QStringLiteral("firebird-2.0");
inline const QString kUser = QStringLiteral("sysdba");
inline const QString kPassword = QStringLiteral("tallowfin");
/// The database file under a base directory: "<base>/Tabulky/KONTAKTY.GDB".
QString databasePath(const QString &baseDirectory);
} // namespace dbsettings

/// The data module: the one connection and every dataset of the program.
/// Windows work on these datasets and own none of their own.
class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(QObject *parent = nullptr);
    ~TDM() override;

    /// Disconnects, sets the parameters and connects (or stays disconnected).
    /// Returns false when any step failed; never throws, shows nothing.
    bool ConnectDatabase(bool connect, const QString &database, const QString &hostName,
                         const QString &password, const QString &protocol, const QString &user);
    /// Reconnects and opens the tables and the board query in their fixed
    /// order; reports a failing step by message and returns normally.
    void ConnectAndOpenAll(const QString &database, const QString &hostName, const QString &password,
                           const QString &protocol, const QString &user);
    /// The largest value of `column` in `table` plus one (1 for an empty table).
    int NextId(const QString &column, const QString &table);
    /// Re-reads the contact and company tables and the board query.
    void RefreshBoard();

    /// The identifier NextId computed last.
    static int lastNextId;

    data::DbConnection ZConKontakty;
    data::TableDataset tFIRMA;
    data::TableDataset tKONTAKT;
    data::TableDataset tPOBOCKA;
    data::TableDataset tSVATEK;
    data::TableDataset tSVATEK_STATNI;
    data::TableDataset tNastaveni;
    data::TableDataset ztUpdateNastaveni;
    data::QueryDataset qMaxID;
    data::QueryDataset qFirmaKontakty;
    data::QueryDataset qHlavniDeska;
    data::QueryDataset zqUpdate;
    data::DataSource dsFIRMA;
    data::DataSource dsKONTAKT;
    data::DataSource dsFirmaKontakty;
    data::DataSource dsHlavniDeska;

    /// The SQL lines of the board and company-contacts queries.
    static QStringList boardSql();
    static QStringList companyContactsSql();

private:
    /// The board's rows for its parameters, from the snapshot, which is read
    /// again when asked, when RefreshBoard ran or when anything was committed
    /// since it was read.
    data::Dataset::ProvidedRows boardRows(bool reread);
    data::BoardSnapshot m_board;
    bool m_rereadBoard = false;

    /// Disconnects (closing every dataset), sets the parameters, connects when asked.
    void reconnect(const QString &database, const QString &hostName, const QString &password,
                   const QString &protocol, const QString &user, bool connect);
};

/// The program's data module, created first at start-up.
extern TDM *DM;
