#include "db/DatabaseTarget.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace db {

QString settings::databasePath(const QString &baseDirectory) {
    return baseDirectory + QStringLiteral("/Tabulky/KONTAKTY.GDB");
}

DatabaseAccess DatabaseAccess::defaultFor(const QString &baseDirectory) {
    return embedded(settings::databasePath(baseDirectory));
}

DatabaseAccess DatabaseAccess::embedded(const QString &database) {
    return {database, settings::kUser, settings::kPassword};
}

DatabaseAccess DatabaseAccess::forTarget(const QString &database) {
    if (!target::isServer(database))
        return embedded(database);
    return {database, qEnvironmentVariable("ISC_USER"), qEnvironmentVariable("ISC_PASSWORD")};
}

namespace target {

namespace {

const QRegularExpression &protocolPrefix() {
    static const QRegularExpression protocol(QStringLiteral("^(inet[46]?|wnet|xnet)://"),
                                             QRegularExpression::CaseInsensitiveOption);
    return protocol;
}

} // namespace

bool isServer(const QString &target) {
    if (protocolPrefix().match(target).hasMatch())
        return true;
    const qsizetype colon = target.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    // Before the colon stands a host name (with an optional /port or
    // /service), never a path: a path starts with '/', '.' or '~'.
    const QChar first = target.front();
    return first != QLatin1Char('/') && first != QLatin1Char('.') && first != QLatin1Char('~');
}

ServerParts split(const QString &target) {
    const QRegularExpressionMatch protocol = protocolPrefix().match(target);
    if (protocol.hasMatch()) {
        // inet://host:port/path: the first slash ends the server.
        const QString rest = target.mid(protocol.capturedLength());
        const qsizetype slash = rest.indexOf(QLatin1Char('/'));
        return slash < 0 ? ServerParts{rest, QString()}
                         : ServerParts{rest.left(slash), rest.mid(slash + 1)};
    }
    // An IPv6 address stands in brackets and holds colons of its own.
    const qsizetype bracket =
        target.startsWith(QLatin1Char('[')) ? target.indexOf(QLatin1Char(']')) : 0;
    const qsizetype colon = target.indexOf(QLatin1Char(':'), qMax<qsizetype>(bracket, 0));
    return {target.left(colon), target.mid(colon + 1)};
}

QString normalized(const QString &target) {
    if (target.isEmpty() || isServer(target))
        return target;
    return QDir::cleanPath(QFileInfo(target).absoluteFilePath());
}

} // namespace target

} // namespace db
