#include "db/FbStatement.h"

#include "base/Win1250.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "db/FbClient.h"

#include <QTimeZone>

#include <bit>
#include <cstring>

namespace db {
namespace {

constexpr qint64 kMsecsPerDay = 86400000;
// Day 0 of the server's date encoding is 17 November 1858.
const qint64 kEpochDay = QDate(1858, 11, 17).daysTo(QDate(1970, 1, 1));

XSQLDA *makeArea(std::unique_ptr<char[]> &area, int vars) {
    const int n = qMax(vars, 1);
    area.reset(new char[XSQLDA_LENGTH(n)]);
    std::memset(area.get(), 0, XSQLDA_LENGTH(n));
    auto *da = reinterpret_cast<XSQLDA *>(area.get());
    da->version = SQLDA_VERSION1;
    da->sqln = short(n);
    return da;
}

FieldType typeOf(const XSQLVAR &v) {
    switch (v.sqltype & ~1) {
    case SQL_SHORT:
        return v.sqlscale ? FieldType::Float : FieldType::SmallInt;
    case SQL_LONG:
        return v.sqlscale ? FieldType::Float : FieldType::Integer;
    case SQL_INT64:
        return v.sqlscale ? FieldType::Float : FieldType::LargeInt;
    case SQL_BOOLEAN:
        return FieldType::SmallInt;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldType::Float;
    case SQL_TEXT:
    case SQL_VARYING:
        return FieldType::Text;
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return FieldType::DateTime;
    case SQL_BLOB:
        return v.sqlsubtype == 1 ? FieldType::Memo : FieldType::Bytes;
    default:
        return FieldType::Unknown;
    }
}

QString nameOf(const char *name, short length) {
    return base::win1250::decode(name, length).trimmed();
}

double scaled(qint64 value, short scale) {
    double d = double(value);
    for (short s = scale; s < 0; ++s)
        d /= 10.0;
    return d;
}

} // namespace

qint64 timestampToMsecs(const ISC_TIMESTAMP &ts) {
    return (qint64(ts.timestamp_date) - kEpochDay) * kMsecsPerDay + qint64(ts.timestamp_time) / 10;
}

ISC_TIMESTAMP msecsToTimestamp(qint64 msecs) {
    qint64 day = msecs / kMsecsPerDay;
    qint64 rest = msecs % kMsecsPerDay;
    if (rest < 0) {
        rest += kMsecsPerDay;
        --day;
    }
    ISC_TIMESTAMP ts;
    ts.timestamp_date = ISC_DATE(day + kEpochDay);
    ts.timestamp_time = ISC_TIME(rest * 10);
    return ts;
}

QDateTime msecsToDateTime(qint64 msecs) {
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    return QDateTime(utc.date(), utc.time());
}

qint64 dateTimeToMsecs(const QDateTime &dt) {
    return QDateTime(dt.date(), dt.time(), Qt::UTC).toMSecsSinceEpoch();
}

FbStatement::FbStatement(DbConnection &connection, isc_tr_handle *transaction)
    : m_connection(connection), m_transaction(transaction) {
}

FbStatement::~FbStatement() {
    if (m_handle) {
        ISC_STATUS_ARRAY status;
        m_connection.client().dsql_free_statement(status, &m_handle, DSQL_drop);
    }
}

void FbStatement::prepare(const QByteArray &sql) {
    const StallWatch::Scope call = m_connection.serverCall();
    const FbClient &fb = m_connection.client();
    ISC_STATUS_ARRAY status;
    fb.dsql_allocate_statement(status, m_connection.handle(), &m_handle);
    fb.check(status);

    m_out = makeArea(m_outArea, 20);
    fb.dsql_prepare(status, m_transaction, &m_handle, 0, sql.constData(), 3, m_out);
    fb.check(status);
    if (m_out->sqld > m_out->sqln) {
        m_out = makeArea(m_outArea, m_out->sqld);
        fb.dsql_describe(status, &m_handle, 1, m_out);
        fb.check(status);
    }
    m_in = makeArea(m_inArea, 10);
    fb.dsql_describe_bind(status, &m_handle, 1, m_in);
    fb.check(status);
    if (m_in->sqld > m_in->sqln) {
        m_in = makeArea(m_inArea, m_in->sqld);
        fb.dsql_describe_bind(status, &m_handle, 1, m_in);
        fb.check(status);
    }

    char item = isc_info_sql_stmt_type;
    char info[16] = {};
    fb.dsql_sql_info(status, &m_handle, 1, &item, sizeof info, info);
    fb.check(status);
    if (info[0] == isc_info_sql_stmt_type)
        m_statementType = int(static_cast<unsigned char>(info[3]));

    if (m_statementType == isc_info_sql_stmt_select ||
        m_statementType == isc_info_sql_stmt_select_for_upd)
        allocateOutput();
}

void FbStatement::allocateOutput() {
    m_columns.clear();
    size_t total = 0;
    for (int i = 0; i < m_out->sqld; ++i) {
        XSQLVAR &v = m_out->sqlvar[i];
        if ((v.sqltype & ~1) == SQL_NULL)
            v.sqltype = SQL_TEXT | 1, v.sqllen = 1;
        ColumnInfo col;
        col.name = nameOf(v.aliasname, v.aliasname_length);
        col.relation = nameOf(v.relname, v.relname_length);
        col.origin = nameOf(v.sqlname, v.sqlname_length);
        col.type = typeOf(v);
        col.size = v.sqllen;
        m_columns.push_back(col);
        total += (size_t(v.sqllen) + 2 + 7) & ~size_t(7);
    }
    m_outData.assign(total, 0);
    m_outNulls.assign(m_out->sqld, 0);
    size_t offset = 0;
    for (int i = 0; i < m_out->sqld; ++i) {
        XSQLVAR &v = m_out->sqlvar[i];
        v.sqldata = m_outData.data() + offset;
        v.sqlind = &m_outNulls[i];
        v.sqltype |= 1;
        offset += (size_t(v.sqllen) + 2 + 7) & ~size_t(7);
    }
}

int FbStatement::paramCount() const {
    return m_in ? m_in->sqld : 0;
}

QByteArray FbStatement::createBlob(const QByteArray &bytes) {
    const StallWatch::Scope call = m_connection.serverCall();
    const FbClient &fb = m_connection.client();
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    ISC_QUAD id{};
    fb.create_blob2(status, m_connection.handle(), m_transaction, &blob, &id, 0, nullptr);
    fb.check(status);
    for (qsizetype at = 0; at < bytes.size();) {
        const unsigned short chunk =
            static_cast<unsigned short>(qMin<qsizetype>(bytes.size() - at, 32768));
        fb.put_segment(status, &blob, chunk, bytes.constData() + at);
        fb.check(status);
        at += chunk;
    }
    fb.close_blob(status, &blob);
    fb.check(status);
    return QByteArray(reinterpret_cast<const char *>(&id), sizeof id);
}

void FbStatement::bind(const QVariantList &values) {
    const int n = paramCount();
    // The buffers are kept from one bind to the next: a statement run for
    // every row of an import reuses their room instead of allocating it again.
    m_inBuffers.resize(n);
    m_inNulls.assign(n, 0);
    auto putNumber = [](QByteArray &buffer, const auto &number) {
        buffer.resize(sizeof number);
        std::memcpy(buffer.data(), &number, sizeof number);
    };
    for (int i = 0; i < n; ++i) {
        XSQLVAR &v = m_in->sqlvar[i];
        static const QVariant none;
        const QVariant &value = i < values.size() ? values.at(i) : none;
        QByteArray &buffer = m_inBuffers[i];
        const short describedType = v.sqltype & ~1;
        v.sqlind = &m_inNulls[i];
        if (!value.isValid() || value.isNull()) {
            m_inNulls[i] = -1;
            v.sqltype = describedType | 1;
            buffer.fill('\0', qMax<int>(v.sqllen, 8));
            v.sqldata = buffer.data();
            continue;
        }
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::Bool:
            putNumber(buffer, qint64(value.toLongLong()));
            v.sqltype = SQL_INT64 | 1;
            v.sqlscale = 0;
            v.sqllen = 8;
            break;
        case QMetaType::Double:
            putNumber(buffer, value.toDouble());
            v.sqltype = SQL_DOUBLE | 1;
            v.sqlscale = 0;
            v.sqllen = 8;
            break;
        case QMetaType::QDateTime:
            putNumber(buffer, msecsToTimestamp(dateTimeToMsecs(value.toDateTime())));
            v.sqltype = SQL_TIMESTAMP | 1;
            v.sqllen = sizeof(ISC_TIMESTAMP);
            break;
        case QMetaType::QByteArray:
            buffer = createBlob(value.toByteArray());
            v.sqltype = SQL_BLOB | 1;
            v.sqllen = sizeof(ISC_QUAD);
            break;
        default: {
            QChar bad;
            if (!base::win1250::encode(value.toString(), buffer, &bad))
                throw DbError(texts::kNotStorable.arg(bad));
            if (describedType == SQL_BLOB) {
                buffer = createBlob(buffer);
                v.sqltype = SQL_BLOB | 1;
                v.sqllen = sizeof(ISC_QUAD);
            } else {
                v.sqltype = SQL_TEXT | 1;
                v.sqllen = short(qMin<qsizetype>(buffer.size(), 32765));
                if (describedType != SQL_TEXT && describedType != SQL_VARYING)
                    v.sqlsubtype = 0;
            }
            break;
        }
        }
        v.sqldata = buffer.data();
    }
}

void FbStatement::execute() {
    const StallWatch::Scope call = m_connection.serverCall();
    const FbClient &fb = m_connection.client();
    ISC_STATUS_ARRAY status;
    closeCursor();
    fb.dsql_execute(status, m_transaction, &m_handle, 1, paramCount() ? m_in : nullptr);
    fb.check(status);
    m_cursorOpen = returnsRows();
}

qint64 FbStatement::affectedRows() const {
    const FbClient &fb = m_connection.client();
    ISC_STATUS_ARRAY status;
    char item = isc_info_sql_records;
    unsigned char info[64] = {};
    isc_stmt_handle handle = m_handle;
    fb.dsql_sql_info(status, &handle, 1, &item, sizeof info, reinterpret_cast<char *>(info));
    fb.check(status);
    if (info[0] != isc_info_sql_records)
        return 0;
    // Clusters of item, 2-byte length and a little-endian count, after the
    // item's own 2-byte length.
    auto number = [&](int at, int length) {
        qint64 value = 0;
        for (int i = length - 1; i >= 0; --i)
            value = (value << 8) | info[at + i];
        return value;
    };
    qint64 rows = 0;
    for (int at = 3; at + 3 <= int(sizeof info) && info[at] != isc_info_end;) {
        const int kind = info[at];
        const int length = int(number(at + 1, 2));
        if (at + 3 + length > int(sizeof info))
            break;
        if (kind == isc_info_req_insert_count || kind == isc_info_req_update_count ||
            kind == isc_info_req_delete_count)
            rows += number(at + 3, length);
        at += 3 + length;
    }
    return rows;
}

bool FbStatement::fetchInPlace() {
    const StallWatch::Scope call = m_connection.serverCall();
    if (!m_cursorOpen)
        return false;
    const FbClient &fb = m_connection.client();
    ISC_STATUS_ARRAY status;
    const ISC_STATUS rc = fb.dsql_fetch(status, &m_handle, 1, m_out);
    if (rc == 100) {
        closeCursor();
        return false;
    }
    fb.check(status);
    return true;
}

FetchedCell FbStatement::cell(int column) const {
    const XSQLVAR &v = m_out->sqlvar[column];
    if (m_outNulls[size_t(column)] < 0)
        return {};
    const char *d = v.sqldata;
    auto integer = [&](qint64 value) {
        if (!v.sqlscale)
            return FetchedCell{Cell::Int, value, {}};
        return FetchedCell{Cell::Double, std::bit_cast<qint64>(scaled(value, v.sqlscale)), {}};
    };
    auto timestamp = [](const ISC_TIMESTAMP &ts) {
        return FetchedCell{Cell::DateTime, timestampToMsecs(ts), {}};
    };
    switch (v.sqltype & ~1) {
    case SQL_SHORT:
        return integer(*reinterpret_cast<const short *>(d));
    case SQL_LONG:
        return integer(*reinterpret_cast<const ISC_LONG *>(d));
    case SQL_INT64:
        return integer(*reinterpret_cast<const ISC_INT64 *>(d));
    case SQL_BOOLEAN:
        return {Cell::Int, *reinterpret_cast<const unsigned char *>(d), {}};
    case SQL_FLOAT:
        return {
            Cell::Double, std::bit_cast<qint64>(double(*reinterpret_cast<const float *>(d))), {}};
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return {Cell::Double, std::bit_cast<qint64>(*reinterpret_cast<const double *>(d)), {}};
    case SQL_TEXT:
        return {Cell::Text, 0, QByteArrayView(d, v.sqllen)};
    case SQL_VARYING:
        return {Cell::Text, 0, QByteArrayView(d + 2, *reinterpret_cast<const short *>(d))};
    case SQL_TIMESTAMP:
        return timestamp(*reinterpret_cast<const ISC_TIMESTAMP *>(d));
    case SQL_TYPE_DATE:
        return timestamp({*reinterpret_cast<const ISC_DATE *>(d), 0});
    case SQL_TYPE_TIME:
        return timestamp({ISC_DATE(kEpochDay), *reinterpret_cast<const ISC_TIME *>(d)});
    case SQL_BLOB: {
        qint64 id;
        std::memcpy(&id, d, 8);
        return {Cell::BlobId, id, {}};
    }
    default:
        return {};
    }
}

bool FbStatement::fetch(PackedRow &row) {
    if (!fetchInPlace())
        return false;
    PackedRow::Builder &builder = m_builder;
    builder.reset(m_out->sqld);
    for (int i = 0; i < m_out->sqld; ++i) {
        const FetchedCell c = cell(i);
        switch (c.tag) {
        case Cell::Null:
            builder.addNull();
            break;
        case Cell::Text:
        case Cell::Bytes:
            builder.addBytes(c.tag, c.bytes.data(), int(c.bytes.size()));
            break;
        default:
            builder.addNumber(c.tag, c.number);
            break;
        }
    }
    row = builder.finish();
    return true;
}

void FbStatement::closeCursor() {
    if (!m_cursorOpen)
        return;
    ISC_STATUS_ARRAY status;
    m_connection.client().dsql_free_statement(status, &m_handle, DSQL_close);
    m_cursorOpen = false;
}

} // namespace db
