#include "BoardReaders.h"

#include "data/U_DM.h"
#include "db/DatabaseTarget.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <stdexcept>

namespace bench {
namespace {

/// Qt's driver reports an encoding it cannot use with a warning, not an error.
QString *g_warnings = nullptr;
void collectWarning(QtMsgType, const QMessageLogContext &, const QString &message) {
    if (g_warnings)
        *g_warnings += message + QLatin1Char(' ');
}

class QtDriverReader : public BoardReader {
  public:
    explicit QtDriverReader(const QString &path) {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("bench-qibase"));
        if (!m_db.isValid())
            throw std::runtime_error("Qt's QIBASE driver is not installed (libqt6sql6-ibase)");
        m_db.setDatabaseName(path);
        m_db.setUserName(db::settings::kUser);
        m_db.setPassword(db::settings::kPassword);
        // The same client character set as the access layer: the server
        // sends Windows-1250 bytes and the driver decodes them.
        m_db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=WIN1250"));
        g_warnings = &m_warning;
        const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
        const bool opened = m_db.open();
        qInstallMessageHandler(previous);
        g_warnings = nullptr;
        if (!opened)
            throw std::runtime_error(m_db.lastError().text().toStdString());
        m_warning = m_warning.trimmed();
    }
    ~QtDriverReader() override {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("bench-qibase"));
    }

    QString name() const override { return QStringLiteral("Qt QIBASE driver"); }
    QString textConversion() const override {
        return m_warning.isEmpty()
                   ? QStringLiteral(
                         "the driver's WIN1250 decoder (connection option ISC_DPB_LC_CTYPE)")
                   : QStringLiteral("the driver's fallback: ") + m_warning;
    }
    QString warning() const override { return m_warning; }

    void read(CellSink &sink) override {
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!query.prepare(QString::fromLatin1(positionalBoardSql())))
            throw std::runtime_error(query.lastError().text().toStdString());
        for (int i = 0; i < 6; ++i)
            query.addBindValue(QStringLiteral("%"));
        if (!query.exec())
            throw std::runtime_error(query.lastError().text().toStdString());
        const int columns = query.record().count();
        for (bool first = true; query.next(); first = false) {
            if (first)
                sink.firstRowIn();
            for (int column = 0; column < columns; ++column) {
                sink.variant(query.value(column));
            }
            sink.endRow();
        }
    }

  private:
    QSqlDatabase m_db;
    QString m_warning;
};

} // namespace

std::unique_ptr<BoardReader> qtDriverReader(const QString &databasePath) {
    return std::make_unique<QtDriverReader>(databasePath);
}

} // namespace bench
