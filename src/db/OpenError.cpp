#include "db/OpenError.h"

#include "db/DatabaseTarget.h"

#include <ibase.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {
namespace {

// The first page of a database file: page type 1, then at byte 16 the page
// size and at byte 18 the on-disk structure version (high bit: this engine's
// family).
constexpr int kHeaderBytes = 20;
constexpr quint8 kHeaderPageType = 1;
constexpr quint16 kOdsFamilyFlag = 0x8000;
constexpr int kSupportedOds = 12;
constexpr int kMinorAt = 64; // the minor version of the structure

bool isPageSize(quint16 size) {
    return size >= 1024 && size <= 32768 && (size & (size - 1)) == 0;
}

QString headerProblem(const QString &name, const QByteArray &header, qint64 fileSize) {
    if (header.size() < kHeaderBytes)
        return QStringLiteral(
                   "Soubor %1 je příliš krátký na databázi (%2 bajtů): je poškozený nebo neúplně "
                   "zkopírovaný.")
            .arg(name)
            .arg(fileSize);
    const auto *bytes = reinterpret_cast<const uchar *>(header.constData());
    const quint16 pageSize = qFromLittleEndian<quint16>(bytes + 16);
    const quint16 ods = qFromLittleEndian<quint16>(bytes + 18);
    if (bytes[0] != kHeaderPageType || !isPageSize(pageSize) || !(ods & kOdsFamilyFlag))
        return QStringLiteral(
                   "Soubor %1 není databáze (začátek souboru neodpovídá databázi): je poškozený "
                   "nebo jde o jiný druh souboru.")
            .arg(name);
    const int major = ods & ~kOdsFamilyFlag;
    if (major < kSupportedOds)
        return QStringLiteral(
                   "Soubor %1 má starší formát databáze (ODS %2, Firebird 2.x a starší); program "
                   "pracuje s formátem %3. Převeďte databázi zálohou a obnovou (gbak).")
            .arg(name)
            .arg(major)
            .arg(kSupportedOds);
    if (major > kSupportedOds)
        return QStringLiteral(
                   "Soubor %1 má novější formát databáze (ODS %2), než jaký program zná (%3).")
            .arg(name)
            .arg(major)
            .arg(kSupportedOds);
    if (fileSize < 2 * qint64(pageSize) || fileSize % pageSize != 0)
        return QStringLiteral(
                   "Soubor %1 je neúplný (%2 bajtů, zkrácená kopie?): databázi v něm nelze "
                   "otevřít.")
            .arg(name)
            .arg(fileSize);
    return QString();
}

// Page 1 is the first page inventory: after its 16-byte page header and
// three counters, one bit per page, set for a free page.
constexpr quint8 kInventoryPageType = 2;
constexpr int kInventoryBitsAt = 28;

/// The last page the inventory at the file's page 1 marks as used, or -1.
qint64 lastUsedPage(const QByteArray &inventory) {
    if (inventory.size() <= kInventoryBitsAt || quint8(inventory[0]) != kInventoryPageType)
        return -1;
    for (qsizetype at = inventory.size() - 1; at >= kInventoryBitsAt; --at) {
        const quint8 bits = quint8(inventory[at]);
        if (bits == 0xff)
            continue;
        for (int bit = 7; bit >= 0; --bit)
            if (!(bits & (1 << bit)))
                return qint64(at - kInventoryBitsAt) * 8 + bit;
    }
    return -1;
}

QString quotedName(const QString &path) {
    return QStringLiteral("„%1“").arg(QFileInfo(path).absoluteFilePath());
}

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

/// A file descriptor closed with the object.
struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    QByteArray read(qint64 offset, qint64 length) const {
        QByteArray bytes(length, Qt::Uninitialized);
        const ssize_t got = ::pread(fd, bytes.data(), size_t(length), off_t(offset));
        bytes.resize(got > 0 ? got : 0);
        return bytes;
    }
};

/// Something other than a regular file stands at the path.
QString kindProblem(mode_t mode, const QString &name) {
    if (S_ISDIR(mode))
        return QStringLiteral("Na místě souboru databáze %1 je složka.").arg(name);
    const QString kind = S_ISFIFO(mode)   ? QStringLiteral("pojmenovaná roura (FIFO)")
                         : S_ISSOCK(mode) ? QStringLiteral("soket")
                         : S_ISCHR(mode) || S_ISBLK(mode) ? QStringLiteral("zařízení")
                                                          : QStringLiteral("zvláštní soubor");
    return QStringLiteral(
               "Na místě souboru databáze %1 je %2, ne soubor. Program otevírá jen obyčejný soubor "
               "databáze; zkontrolujte cestu k databázi.")
        .arg(name, kind);
}

/// Nothing can be reached at the path: a loop of links, a link to nothing,
/// a missing file or folder.
QString unreachableProblem(const QString &path, const QString &name, int error) {
    const QFileInfo info(path);
    if (error == ELOOP)
        return QStringLiteral("Cesta k databázi %1 vede do smyčky symbolických odkazů (odkaz "
                              "ukazuje zpět na sebe): soubor databáze v ní nelze najít.")
            .arg(name);
    if (error != ENOENT && error != ENOTDIR)
        return QStringLiteral("Soubor databáze %1 nelze najít: %2.").arg(name, systemText(error));
    if (info.isSymLink())
        return QStringLiteral("Soubor databáze %1 je odkaz na „%2“, který neexistuje.")
            .arg(name, info.symLinkTarget());
    if (!info.absoluteDir().exists())
        return QStringLiteral("Složka %1 s databází neexistuje.").arg(info.absolutePath());
    return QStringLiteral("Soubor databáze %1 neexistuje.").arg(name);
}

/// A file that ends before the last page its inventory marks as used: cut
/// short, even at a page boundary. Empty when it holds every page.
QString truncationProblem(const QString &path, const QString &name) {
    const FileDescriptor file{
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat entry {};
    if (file.fd < 0 || ::fstat(file.fd, &entry) != 0 || !S_ISREG(entry.st_mode))
        return {};
    const QByteArray header = file.read(0, kHeaderBytes);
    if (header.size() < kHeaderBytes)
        return {};
    const quint16 pageSize = qFromLittleEndian<quint16>(header.constData() + 16);
    const qint64 last = lastUsedPage(file.read(pageSize, pageSize));
    if (last < 0 || (last + 1) * pageSize <= entry.st_size)
        return {};
    return QStringLiteral("Soubor %1 je neúplný (%2 bajtů, zkrácená kopie?): chybí v něm konec "
                          "databáze. Obnovte ji ze zálohy.")
        .arg(name)
        .arg(qint64(entry.st_size));
}

/// Noise in a page's flags reads as an encrypted page to the engine.
bool looksEncrypted(const DbError &error) {
    return error.engineText().contains(QLatin1String("appears encrypted"));
}

/// The engine found pages it cannot read or that are not what they should be.
bool isDamage(const DbError &error) {
    for (const long code : {isc_db_corrupt, isc_bug_check, isc_io_read_err, isc_badpage,
                            isc_page_type_err, isc_bad_checksum})
        if (error.hasCode(code))
            return true;
    // An I/O error names its operation ("read", "open", …) in the text.
    return (error.hasCode(isc_io_error) &&
            error.engineText().contains(QLatin1String("\"read\""))) ||
           looksEncrypted(error);
}

QString damagedFile(const QString &name, const DbError &error) {
    if (looksEncrypted(error))
        return QStringLiteral("Soubor databáze %1 je poškozený nebo zašifrovaný: jeho stránky "
                              "nelze číst. Obnovte databázi ze zálohy.")
            .arg(name);
    return QStringLiteral(
               "Soubor databáze %1 je poškozený: databázi v něm nelze číst. Obnovte ji ze zálohy.")
        .arg(name);
}

/// A structure the engine does not know (a newer minor version than the
/// header check knows of), with the version read from the header.
QString newerStructure(const QString &path, const QString &name) {
    const FileDescriptor file{
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    const QByteArray header = file.fd < 0 ? QByteArray() : file.read(0, kMinorAt + 2);
    if (header.size() < kMinorAt + 2)
        return {};
    const quint16 major = qFromLittleEndian<quint16>(header.constData() + 18) & ~kOdsFamilyFlag;
    const quint16 minor = qFromLittleEndian<quint16>(header.constData() + kMinorAt);
    return QStringLiteral(
               "Soubor %1 má novější formát databáze (ODS %2.%3), než jaký zná databázový stroj "
               "programu. Otevřete ho programem s novějším Firebirdem, nebo ho převeďte zálohou a "
               "obnovou (gbak).")
        .arg(name)
        .arg(major)
        .arg(minor);
}

bool isDiskFull(const QString &engineText) {
    return engineText.contains(QLatin1String("No space left on device"));
}

QString diskFull(const QString &name) {
    return QStringLiteral("Na disku se souborem %1 není volné místo.").arg(name);
}

} // namespace

QString localFileProblem(const QString &path) {
    const QString name = quotedName(path);
    const QByteArray native = QFile::encodeName(path);
    struct stat entry {};
    if (::stat(native.constData(), &entry) != 0)
        return unreachableProblem(path, name, errno);
    if (!S_ISREG(entry.st_mode))
        return kindProblem(entry.st_mode, name);
    // Opened without waiting, and checked again: what stood there a moment
    // ago may have been replaced by a pipe.
    const FileDescriptor file{
        ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0)
        return QStringLiteral(
                   "Soubor databáze %1 nelze číst: %2. Zkontrolujte oprávnění k souboru.")
            .arg(name, systemText(errno));
    if (::fstat(file.fd, &entry) != 0 || !S_ISREG(entry.st_mode))
        return kindProblem(entry.st_mode, name);
    if (entry.st_size == 0)
        return QStringLiteral("Soubor databáze %1 je prázdný.").arg(name);
    return headerProblem(name, file.read(0, kHeaderBytes), entry.st_size);
}

QString describeOpenFailure(const QString &path, const DbError &error) {
    const QString name = quotedName(path);
    const QString problem = localFileProblem(path);
    if (!problem.isEmpty())
        return problem;
    if (error.hasCode(isc_already_opened))
        return error.message();
    if (const QString cut = truncationProblem(path, name); !cut.isEmpty())
        return cut;
    if (error.hasCode(isc_no_priv) || ::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return QStringLiteral(
                   "Soubor databáze %1 je jen pro čtení; program do něj potřebuje zapisovat. "
                   "Povolte zápis do souboru.")
            .arg(name);
    if (isDiskFull(error.message()))
        return diskFull(name);
    if (error.hasCode(isc_wrong_ods))
        if (const QString newer = newerStructure(path, name); !newer.isEmpty())
            return newer;
    if (isDamage(error))
        return damagedFile(name, error);
    return QStringLiteral("Databázi %1 nelze otevřít: %2").arg(name, error.message());
}

QString describeReadFailure(const QString &path, const DbError &error) {
    if (!isDamage(error))
        return {};
    const QString name = quotedName(path);
    const QString cut = truncationProblem(path, name);
    return cut.isEmpty() ? damagedFile(name, error) : cut;
}

bool isHeldFile(const DbError &error) {
    return error.hasCode(isc_already_opened);
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
    const target::ServerParts parts = target::split(target);
    const QString cause = error.engineText().isEmpty() ? error.message() : error.engineText();
    if (error.hasCode(isc_network_error) || error.hasCode(isc_net_connect_err))
        return QStringLiteral(
                   "Server %1 neodpovídá, databázi „%2“ na něm nelze otevřít (%3). Zkontrolujte, "
                   "že server běží a že je v síti dostupný, a spusťte program znovu.")
            .arg(parts.server, parts.database, cause);
    if (error.hasCode(isc_io_error) || error.hasCode(isc_io_open_err))
        return QStringLiteral(
                   "Databáze „%1“ na serveru %2 neexistuje, nebo k ní server nemá přístup (%3). "
                   "Zkontrolujte cestu k databázi v nastavení programu.")
            .arg(parts.database, parts.server, cause);
    return QStringLiteral("Databázi „%1“ na serveru %2 nelze otevřít: %3")
        .arg(parts.database, parts.server, cause);
}

DbError explainReadFailure(const DbError &error, const QString &path) {
    const QString cause = describeReadFailure(path, error);
    return cause.isEmpty() ? error
                           : DbError(cause, error.kind(), error.codes(), error.engineText());
}

DbError explainWriteFailure(const DbError &error, const QString &path) {
    if (!isDiskFull(error.message()))
        return error;
    return DbError(diskFull(QStringLiteral("„%1“").arg(QFileInfo(path).absoluteFilePath())) +
                       QStringLiteral(" Změny nebyly uloženy; uvolněte místo a potvrďte znovu."),
                   error.kind(), error.codes());
}

} // namespace db
