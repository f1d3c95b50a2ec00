#include "grid/LayoutStore.h"

#include "grid/LayoutFormat.h"

#include <QSettings>

namespace grid {

namespace {

// A hand-edited INI file may hold a value that the settings reader splits
// at its commas; put it back together.
std::optional<QString> stringValue(const QSettings &settings, const QString &key) {
    if (!settings.contains(key))
        return std::nullopt;
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

} // namespace

std::unique_ptr<QSettings> LayoutStore::openSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Qorvel"), QStringLiteral("Kontakty"));
}

std::optional<std::vector<GridColumn>> LayoutStore::read(const GridColumn &fresh) const {
    const auto settings = openSettings();
    settings->beginGroup(m_group);
    bool ok = false;
    const int count =
        stringValue(*settings, QStringLiteral("Count")).value_or(QString()).trimmed().toInt(&ok);
    if (!ok || count <= 0)
        return std::nullopt;

    std::vector<GridColumn> columns;
    for (int i = 0; i < qMin(count, kMaxColumns); ++i) {
        const QString n = QString::number(i);
        GridColumn column = fresh;
        if (!LayoutFormat::readColumn(stringValue(*settings, n).value_or(QString()), column))
            continue;
        if (const auto v = stringValue(*settings, n + QStringLiteral("_Title")))
            LayoutFormat::readStyle(*v, column.titleStyle);
        if (const auto v = stringValue(*settings, n + QStringLiteral("_Data")))
            LayoutFormat::readStyle(*v, column.dataStyle);
        if (const auto v = stringValue(*settings, n + QStringLiteral("_Sort")))
            LayoutFormat::readExtras(*v, column.extras);
        if (const auto v = stringValue(*settings, n + QStringLiteral("_Footer")))
            column.extras.footer = *v;
        columns.push_back(std::move(column));
    }
    if (columns.empty())
        return std::nullopt; // a grid without columns would show nothing; keep the designed ones
    return columns;
}

void LayoutStore::write(const std::vector<GridColumn> &columns) const {
    const auto settings = openSettings();
    settings->remove(m_group); // no footer or column of an older, longer layout may stay behind
    settings->beginGroup(m_group);
    settings->setValue(QStringLiteral("Count"), QString::number(columns.size()));
    for (int i = 0; i < int(columns.size()); ++i) {
        const GridColumn &c = columns[i];
        const QString n = QString::number(i);
        settings->setValue(n, LayoutFormat::writeColumn(c));
        settings->setValue(n + QStringLiteral("_Title"), LayoutFormat::writeStyle(c.titleStyle));
        settings->setValue(n + QStringLiteral("_Data"), LayoutFormat::writeStyle(c.dataStyle));
        settings->setValue(n + QStringLiteral("_Sort"), LayoutFormat::writeExtras(c.extras));
        if (!c.extras.footer.isEmpty())
            settings->setValue(n + QStringLiteral("_Footer"), c.extras.footer);
    }
    settings->endGroup();
    settings->sync();
}

} // namespace grid
