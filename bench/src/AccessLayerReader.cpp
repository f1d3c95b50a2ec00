#include "BoardReaders.h"

#include "data/U_DM.h"
#include "dataset/Dataset.h"
#include "db/DatabaseTarget.h"
#include "db/DbConnection.h"

#include <QRegularExpression>

namespace bench {
namespace {

class AccessLayerReader : public BoardReader {
  public:
    explicit AccessLayerReader(const QString &path)
        : m_query(QStringLiteral("qBench"), &m_connection) {
        m_connection.setDatabase(path);
        m_connection.setUser(db::settings::kUser);
        m_connection.setPassword(db::settings::kPassword);
        m_connection.setProtocol(db::settings::kProtocol);
        m_connection.setConnected(true);
        m_query.setSql(TDM::boardSql());
        for (const char *name : {"k1", "k2", "k3", "f1", "f2", "f3"})
            m_query.paramByName(QLatin1String(name))->setAsString(QStringLiteral("%"));
    }

    QString name() const override { return QStringLiteral("access layer"); }
    QString textConversion() const override {
        return QStringLiteral("base::win1250::decode in Dataset::valueAt");
    }

    void read(CellSink &sink) override {
        m_query.close();
        m_query.open(); // runs the statement and fetches the first row
        sink.firstRowIn();
        const int rows = m_query.recordCount();
        const int columns = int(m_query.fields().size());
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                sink.variant(m_query.valueAt(row, column));
            }
            sink.endRow();
        }
        m_query.close();
    }

  private:
    db::DbConnection m_connection;
    dataset::QueryDataset m_query;
};

} // namespace

std::unique_ptr<BoardReader> accessLayerReader(const QString &databasePath) {
    return std::make_unique<AccessLayerReader>(databasePath);
}

QByteArray positionalBoardSql() {
    static const QRegularExpression marker(QStringLiteral(":[A-Za-z_][A-Za-z0-9_]*"));
    return TDM::boardSql().join(QLatin1Char('\n')).replace(marker, QStringLiteral("?")).toLatin1();
}

} // namespace bench
