#include "BoardReaders.h"

#include "base/Win1250.h"
#include "data/U_DM.h"
#include "db/DatabaseTarget.h"

#include <ibase.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace bench {
namespace {

void check(const ISC_STATUS *status) {
    if (status[0] != 1 || status[1] == 0)
        return;
    std::string text;
    char buffer[512];
    const ISC_STATUS *cursor = status;
    while (fb_interpret(buffer, sizeof buffer, &cursor) > 0)
        text += std::string(buffer) + ' ';
    throw std::runtime_error(text);
}

void appendDpb(std::string &dpb, char item, const QString &value) {
    const QByteArray bytes = value.toLatin1();
    dpb += item;
    dpb += char(bytes.size());
    dpb += bytes.toStdString();
}

/// Allocates an XSQLDA for `n` variables.
XSQLDA *newArea(std::vector<char> &storage, int n) {
    storage.assign(XSQLDA_LENGTH(qMax(n, 1)), 0);
    auto *da = reinterpret_cast<XSQLDA *>(storage.data());
    da->version = SQLDA_VERSION1;
    da->sqln = short(qMax(n, 1));
    return da;
}

/// The board query straight over isc_dsql_*: one attachment, a read-only
/// read-committed transaction like the access layer's, buffers laid out
/// once after describe, every row decoded in place.
class ClientApiReader : public BoardReader {
  public:
    explicit ClientApiReader(const QString &path) {
        std::string dpb(1, char(isc_dpb_version1));
        appendDpb(dpb, isc_dpb_user_name, db::settings::kUser);
        appendDpb(dpb, isc_dpb_password, db::settings::kPassword);
        appendDpb(dpb, isc_dpb_lc_ctype, QStringLiteral("WIN1250"));
        const QByteArray name = path.toLocal8Bit();
        isc_attach_database(m_status, short(name.size()), name.constData(), &m_db,
                            short(dpb.size()), dpb.data());
        check(m_status);
        static char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                             isc_tpb_rec_version, isc_tpb_nowait};
        isc_start_transaction(m_status, &m_tr, 1, &m_db, short(sizeof tpb), tpb);
        check(m_status);
    }
    ~ClientApiReader() override {
        ISC_STATUS_ARRAY status;
        if (m_tr)
            isc_commit_transaction(status, &m_tr);
        if (m_db)
            isc_detach_database(status, &m_db);
    }

    QString name() const override { return QStringLiteral("bare client API"); }
    QString textConversion() const override {
        return QStringLiteral("base::win1250::decode on the fetch buffer");
    }

    void read(CellSink &sink) override {
        isc_stmt_handle stmt = 0;
        isc_dsql_allocate_statement(m_status, &m_db, &stmt);
        check(m_status);
        struct Free {
            isc_stmt_handle &h;
            ~Free() {
                ISC_STATUS_ARRAY s;
                isc_dsql_free_statement(s, &h, DSQL_drop);
            }
        } freeStatement{stmt};

        const QByteArray sql = positionalBoardSql();
        XSQLDA *out = newArea(m_outArea, 16);
        isc_dsql_prepare(m_status, &m_tr, &stmt, 0, sql.constData(), 3, out);
        check(m_status);
        if (out->sqld > out->sqln) {
            out = newArea(m_outArea, out->sqld);
            isc_dsql_describe(m_status, &stmt, 1, out);
            check(m_status);
        }
        const int columns = out->sqld;
        std::vector<short> nulls(columns);
        size_t total = 0;
        for (int i = 0; i < columns; ++i)
            total += (size_t(out->sqlvar[i].sqllen) + 2 + 7) & ~size_t(7);
        m_outData.assign(total, 0);
        for (int i = 0, at = 0; i < columns; ++i) {
            XSQLVAR &v = out->sqlvar[i];
            v.sqldata = m_outData.data() + at;
            v.sqlind = &nulls[i];
            v.sqltype |= 1;
            at += (v.sqllen + 2 + 7) & ~7;
        }

        // Six text parameters, all "%".
        XSQLDA *in = newArea(m_inArea, 6);
        isc_dsql_describe_bind(m_status, &stmt, 1, in);
        check(m_status);
        char percent[] = "%";
        short notNull = 0;
        for (int i = 0; i < in->sqld; ++i) {
            XSQLVAR &v = in->sqlvar[i];
            v.sqltype = SQL_TEXT | 1;
            v.sqllen = 1;
            v.sqldata = percent;
            v.sqlind = &notNull;
        }

        isc_dsql_execute(m_status, &m_tr, &stmt, 1, in);
        check(m_status);
        ISC_STATUS rc;
        for (bool first = true; (rc = isc_dsql_fetch(m_status, &stmt, 1, out)) == 0;
             first = false) {
            if (first)
                sink.firstRowIn();
            for (int i = 0; i < columns; ++i) {
                const XSQLVAR &v = out->sqlvar[i];
                if (nulls[i] < 0) {
                    sink.null();
                    continue;
                }
                switch (v.sqltype & ~1) {
                case SQL_SHORT:
                    sink.integer(*reinterpret_cast<const short *>(v.sqldata));
                    break;
                case SQL_LONG:
                    sink.integer(*reinterpret_cast<const ISC_LONG *>(v.sqldata));
                    break;
                case SQL_INT64:
                    sink.integer(*reinterpret_cast<const ISC_INT64 *>(v.sqldata));
                    break;
                case SQL_TEXT:
                    sink.text(base::win1250::decode(v.sqldata, v.sqllen));
                    break;
                case SQL_VARYING: {
                    short length;
                    std::memcpy(&length, v.sqldata, 2);
                    sink.text(base::win1250::decode(v.sqldata + 2, length));
                    break;
                }
                default:
                    throw std::runtime_error("unexpected column type in the board query");
                }
            }
            sink.endRow();
        }
        if (rc != 100)
            check(m_status);
    }

  private:
    ISC_STATUS_ARRAY m_status{};
    isc_db_handle m_db = 0;
    isc_tr_handle m_tr = 0;
    std::vector<char> m_outArea, m_inArea, m_outData;
};

} // namespace

std::unique_ptr<BoardReader> clientApiReader(const QString &databasePath) {
    return std::make_unique<ClientApiReader>(databasePath);
}

} // namespace bench
