#include "io/Record.h"

#include "schema/Columns.h"

#include <QStringList>

namespace io {
namespace {

// The interchange's headers are the forms' captions, except where a caption
// alone would be ambiguous in a flat file: the note of the connection data
// and the company's three addresses.
QString headerOf(const schema::Column &c) {
    if (c.group == schema::ColumnGroup::MeansOfContact && c.type == schema::ColumnType::Note)
        return QStringLiteral("Poznámka ke spojení");
    if (c.group == schema::ColumnGroup::Address) {
        if (c.name.endsWith(QLatin1String("_FS")))
            return QStringLiteral("Sídlo – ") + c.label;
        if (c.name.endsWith(QLatin1String("_FF")))
            return QStringLiteral("Fakturační – ") + c.label;
        if (c.name.endsWith(QLatin1String("_FD")))
            return QStringLiteral("Dodací – ") + c.label;
    }
    return c.label;
}

// The text columns of `table` that a form shows, in stored order: the keys,
// the photo and the columns no form shows stay out of the files.
QList<Column> travellingColumns(const char *table) {
    QList<Column> columns;
    for (const schema::Column &c : schema::columnsOf(QString::fromLatin1(table))) {
        if (c.label.isEmpty() || c.group == schema::ColumnGroup::Key ||
            c.group == schema::ColumnGroup::Photo)
            continue;
        columns << Column{c.name, headerOf(c)};
    }
    return columns;
}

} // namespace

const QList<Column> &contactColumns() {
    static const QList<Column> columns = travellingColumns("KONTAKT");
    return columns;
}

const QList<Column> &companyColumns() {
    static const QList<Column> columns = travellingColumns("FIRMA");
    return columns;
}

bool looksLikeImage(const QByteArray &bytes) {
    const char *starts[] = {
        "\xFF\xD8\xFF", "\x89PNG\r\n\x1A\n", "GIF87a", "GIF89a", "BM", "II*", "MM"};
    for (const char *start : starts)
        if (bytes.startsWith(start))
            return bytes.size() > 16;
    return bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP";
}

QString displayName(const Values &contact) {
    QStringList parts;
    for (const char *name : {"TITUL_PRED", "JMENO", "PRIJMENI"}) {
        const QString part = contact.value(QString::fromLatin1(name)).trimmed();
        if (!part.isEmpty())
            parts << part;
    }
    QString text = parts.join(QLatin1Char(' '));
    const QString after = contact.value(QStringLiteral("TITUL_ZA")).trimmed();
    if (!after.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(", ")) + after;
    return text;
}

QString foldCase(const QString &text) {
    return text.trimmed().toUpper();
}

} // namespace io
