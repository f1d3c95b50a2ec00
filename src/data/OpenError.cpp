#include "OpenError.h"

#include "DatabaseTarget.h"

#include <ibase.h>

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

namespace data {
namespace {

// The first page of a database file: page type 1, then at byte 16 the page
// size and at byte 18 the on-disk structure version (high bit: this engine's
// family).
constexpr int kHeaderBytes = 20;
constexpr quint8 kHeaderPageType = 1;
constexpr quint16 kOdsFamilyFlag = 0x8000;
constexpr int kSupportedOds = 12;

bool isPageSize(quint16 size) {
    return size >= 1024 && size <= 32768 && (size & (size - 1)) == 0;
}

QString headerProblem(const QString &name, const QByteArray &header, qint64 fileSize) {
    if (header.size() < kHeaderBytes)
        return QStringLiteral("Soubor %1 je příliš krátký na databázi (%2 bajtů): je poškozený nebo neúplně "
                              "zkopírovaný.").arg(name).arg(fileSize);
    const auto *bytes = reinterpret_cast<const uchar *>(header.constData());
    const quint16 pageSize = qFromLittleEndian<quint16>(bytes + 16);
    const quint16 ods = qFromLittleEndian<quint16>(bytes + 18);
    if (bytes[0] != kHeaderPageType || !isPageSize(pageSize) || !(ods & kOdsFamilyFlag))
        return QStringLiteral("Soubor %1 není databáze (začátek souboru neodpovídá databázi): je poškozený "
                              "nebo jde o jiný druh souboru.").arg(name);
    const int major = ods & ~kOdsFamilyFlag;
    if (major < kSupportedOds)
        return QStringLiteral("Soubor %1 má starší formát databáze (ODS %2, Firebird 2.x a starší); program "
                              "pracuje s formátem %3. Převeďte databázi zálohou a obnovou (gbak).")
            .arg(name).arg(major).arg(kSupportedOds);
    if (major > kSupportedOds)
        return QStringLiteral("Soubor %1 má novější formát databáze (ODS %2), než jaký program zná (%3).")
            .arg(name).arg(major).arg(kSupportedOds);
    if (fileSize < 2 * qint64(pageSize) || fileSize % pageSize != 0)
        return QStringLiteral("Soubor %1 je neúplný (%2 bajtů, zkrácená kopie?): databázi v něm nelze "
                              "otevřít.").arg(name).arg(fileSize);
    return QString();
}

bool isDiskFull(const QString &engineText) {
    return engineText.contains(QLatin1String("No space left on device"));
}

QString diskFull(const QString &name) {
    return QStringLiteral("Na disku se souborem %1 není volné místo.").arg(name);
}

} // namespace

QString describeOpenFailure(const QString &path, const DbError &error) {
    const QFileInfo info(path);
    const QString name = QStringLiteral("„%1“").arg(QFileInfo(path).absoluteFilePath());
    if (!info.exists()) {
        if (!info.absoluteDir().exists())
            return QStringLiteral("Složka %1 s databází neexistuje.").arg(info.absolutePath());
        return QStringLiteral("Soubor databáze %1 neexistuje.").arg(name);
    }
    if (info.isDir())
        return QStringLiteral("Na místě souboru databáze %1 je složka.").arg(name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Soubor databáze %1 nelze číst: %2. Zkontrolujte oprávnění k souboru.")
            .arg(name, file.errorString());
    if (file.size() == 0)
        return QStringLiteral("Soubor databáze %1 je prázdný.").arg(name);
    const QString problem = headerProblem(name, file.read(kHeaderBytes), file.size());
    if (!problem.isEmpty())
        return problem;
    if (error.hasCode(isc_already_opened))
        return error.message();
    if (error.hasCode(isc_no_priv) || !QFile(path).open(QIODevice::ReadWrite))
        return QStringLiteral("Soubor databáze %1 je jen pro čtení; program do něj potřebuje zapisovat. "
                              "Povolte zápis do souboru.").arg(name);
    if (isDiskFull(error.message()))
        return diskFull(name);
    if (error.hasCode(isc_db_corrupt))
        return QStringLiteral("Soubor databáze %1 je poškozený: databázi v něm nelze číst. Obnovte ji ze zálohy.")
            .arg(name);
    return QStringLiteral("Databázi %1 nelze otevřít: %2").arg(name, error.message());
}

QString heldFileMessage(const QString &path, const QStringList &holders) {
    const QString file = QDir::toNativeSeparators(path);
    const QString advice = QStringLiteral("Zavřete ho a spusťte Kontakty znovu.");
    if (holders.isEmpty())
        return QStringLiteral("Databázi %1 právě používá jiný program.\n%2").arg(file, advice);
    return QStringLiteral("Databázi %1 právě používá jiný program: %2.\n%3")
        .arg(file, holders.join(QStringLiteral(", ")), advice);
}

QString describeServerOpenFailure(const QString &target, const DbError &error) {
    const dbtarget::ServerParts parts = dbtarget::split(target);
    const QString cause = error.engineText().isEmpty() ? error.message() : error.engineText();
    if (error.hasCode(isc_network_error) || error.hasCode(isc_net_connect_err))
        return QStringLiteral("Server %1 neodpovídá, databázi „%2“ na něm nelze otevřít (%3). Zkontrolujte, "
                              "že server běží a že je v síti dostupný, a spusťte program znovu.")
            .arg(parts.server, parts.database, cause);
    if (error.hasCode(isc_io_error) || error.hasCode(isc_io_open_err))
        return QStringLiteral("Databáze „%1“ na serveru %2 neexistuje, nebo k ní server nemá přístup (%3). "
                              "Zkontrolujte cestu k databázi v nastavení programu.")
            .arg(parts.database, parts.server, cause);
    return QStringLiteral("Databázi „%1“ na serveru %2 nelze otevřít: %3")
        .arg(parts.database, parts.server, cause);
}

DbError explainWriteFailure(const DbError &error, const QString &path) {
    if (!isDiskFull(error.message()))
        return error;
    return DbError(diskFull(QStringLiteral("„%1“").arg(QFileInfo(path).absoluteFilePath())) +
                       QStringLiteral(" Změny nebyly uloženy; uvolněte místo a potvrďte znovu."),
                   error.kind(), error.codes());
}

} // namespace data
