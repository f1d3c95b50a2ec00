#include "DatabaseTarget.h"

#include "U_DM.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

DatabaseAccess DatabaseAccess::defaultFor(const QString &baseDirectory) {
    return embedded(dbsettings::databasePath(baseDirectory));
}

DatabaseAccess DatabaseAccess::embedded(const QString &database) {
    return {database, dbsettings::kUser, dbsettings::kPassword};
}

DatabaseAccess DatabaseAccess::forTarget(const QString &database) {
    if (!dbtarget::isServer(database))
        return embedded(database);
    return {database, qEnvironmentVariable("ISC_USER"), qEnvironmentVariable("ISC_PASSWORD")};
}

namespace dbtarget {

bool isServer(const QString &target) {
    static const QRegularExpression protocol(QStringLiteral("^(inet[46]?|wnet|xnet)://"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (protocol.match(target).hasMatch())
        return true;
    const qsizetype colon = target.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    // Before the colon stands a host name (with an optional /port or
    // /service), never a path: a path starts with '/', '.' or '~'.
    const QChar first = target.front();
    return first != QLatin1Char('/') && first != QLatin1Char('.') && first != QLatin1Char('~');
}

QString normalized(const QString &target) {
    if (target.isEmpty() || isServer(target))
        return target;
    return QDir::cleanPath(QFileInfo(target).absoluteFilePath());
}

} // namespace dbtarget
