#pragma once

#include "data/BoardLoader.h"
#include "data/BoardSnapshot.h"
#include "dataset/DataSource.h"
#include "dataset/Dataset.h"
#include "db/DbConnection.h"

#include <QObject>

#include <functional>
#include <thread>

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
    void ConnectAndOpenAll(const QString &database, const QString &hostName,
                           const QString &password, const QString &protocol, const QString &user);
    /// A new ID for a row of `table` (its `column` ID): past the largest
    /// stored and past every one handed out before, by any program (1 for
    /// an empty table). Throws DbError.
    int NextId(const QString &column, const QString &table);
    /// Re-reads the contact and company tables and the board query.
    void RefreshBoard();
    /// Commits the pending edits and inserts of `rows` in one transaction:
    /// all or none. When another program stored a row with the ID of one
    /// of the new rows meanwhile, `renumber` gives them fresh IDs and the
    /// transaction is tried again; a clash that stays, like every other
    /// failure, throws DbError with every row kept as typed. The statements
    /// `alongside` gives (asked again for every attempt) run after the rows'.
    void PostTogether(const QList<dataset::TableDataset *> &rows,
                      const std::function<void()> &renumber = {},
                      const std::function<QList<db::DbConnection::Statement>()> &alongside = {});
    /// Commits the company being inserted in tFIRMA together with its
    /// placeholder contact (the row that lists it on the board), in one
    /// transaction: never a company the board cannot show. On failure the
    /// company stays in insert mode as typed and no contact row is left.
    void PostNewCompany();
    /// Deletes the current contact of tKONTAKT. When it was its company's
    /// last contact person, the company gets its placeholder back in the
    /// same transaction, so that it stays on the board. Throws DbError (the
    /// delete-conflict text when someone else changed or deleted the row).
    void DeleteContactKeepingCompany();
    /// True while the contact edited in tKONTAKT has another company than
    /// it was stored with.
    bool IsContactMoving() const;
    /// Commits the edited contact moved to its new company in one
    /// transaction: the new company's placeholder gives way to it (the
    /// person keeps its ID), the branch of the old company is dropped, and
    /// the old company gets its placeholder back when the person was its
    /// last contact. Throws DbError with the row kept as typed; a company
    /// deleted meanwhile is named as such.
    void PostContactMove();
    /// Drops every edit and insert not yet confirmed, for a program being
    /// ended: nothing of them is written, and RefreshBoard reads nothing
    /// any more on the way out.
    void cancelPendingChanges();

    /// The identifier NextId computed last.
    static int lastNextId;

    db::DbConnection ZConKontakty;
    dataset::TableDataset tFIRMA;
    dataset::TableDataset tKONTAKT;
    dataset::TableDataset tPOBOCKA;
    dataset::TableDataset tSVATEK;
    dataset::TableDataset tSVATEK_STATNI;
    dataset::TableDataset tNastaveni;
    dataset::TableDataset ztUpdateNastaveni;
    dataset::QueryDataset qMaxID;
    dataset::QueryDataset qFirmaKontakty;
    dataset::QueryDataset qHlavniDeska;
    dataset::QueryDataset zqUpdate;
    dataset::DataSource dsFIRMA;
    dataset::DataSource dsKONTAKT;
    dataset::DataSource dsFirmaKontakty;
    dataset::DataSource dsHlavniDeska;

    /// How the board looks for its text and orders its rows; shows the
    /// board again (from the same snapshot) when it is open, once what the
    /// options look in is made (on a thread of its own when not made yet).
    void setBoardSearch(const data::BoardSearch &search);
    const data::BoardSearch &boardSearch() const { return m_boardSearch; }

    /// True while the board shows the first companies only and the rest of
    /// the register is being read.
    bool isBoardLoading() const { return m_loader.isRunning(); }
    /// Contacts read so far while the board is loading.
    int boardContactsRead() const { return m_loader.contactsRead(); }
    /// How many companies the board reads before it first shows while the
    /// rest is read (a screenful and more, in a few milliseconds).
    void setBoardHead(int companies) { m_headCompanies = companies; }
    /// Waits until the whole board is read and shows it, with the search
    /// options set last; for what must see every row the board shows (an
    /// export of the shown contacts).
    void completeBoard();

    /// The SQL lines of the board and company-contacts queries.
    static QStringList boardSql();
    static QStringList companyContactsSql();

  signals:
    /// The board started or ended reading the rest of the register.
    void boardLoadingChanged();
    /// The board reads the register again: something was committed since
    /// it last read, by anyone, or RefreshBoard ran.
    void boardReread();

  private:
    /// Reads the board's first companies at once and the whole register on
    /// the loader's thread.
    void loadBoard();
    /// Shows the whole board the loader read.
    void boardLoaded();
    /// Shows the board with the search options set last, or first makes
    /// what they look in beside the window.
    void showBoardSearch();
    /// The board's rows for its parameters, from the snapshot, which is read
    /// again when asked, when RefreshBoard ran or when anything was committed
    /// since it was read.
    dataset::Dataset::ProvidedRows boardRows(bool reread);
    data::BoardSnapshot m_board;
    data::BoardLoader m_loader;
    int m_headCompanies = 100;
    data::BoardSearch m_boardSearch; // set last
    data::BoardSearch m_shownSearch; // the board's rows are answered with
    std::thread m_preparing;         // makes what m_boardSearch looks in
    bool m_rereadBoard = false;
    bool m_closing = false;

    /// Disconnects (closing every dataset), sets the parameters, connects when asked.
    void reconnect(const QString &database, const QString &hostName, const QString &password,
                   const QString &protocol, const QString &user, bool connect);
};

/// The program's data module, created first at start-up.
extern TDM *DM;
