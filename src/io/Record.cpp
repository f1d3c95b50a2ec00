#include "io/Record.h"

#include "schema/Columns.h"

#include <QHash>
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

namespace {

QHash<QString, int> positionsOf(const QList<Column> &columns) {
    QHash<QString, int> positions;
    for (int i = 0; i < columns.size(); ++i)
        positions.insert(columns[i].name, i);
    return positions;
}

/// Where the column `name` is in `columns`, -1 when it is not there.
int columnPosition(const QList<Column> &columns, const QString &name) {
    static const QHash<QString, int> contact = positionsOf(contactColumns());
    static const QHash<QString, int> company = positionsOf(companyColumns());
    if (&columns == &contactColumns())
        return contact.value(name, -1);
    if (&columns == &companyColumns())
        return company.value(name, -1);
    return positionsOf(columns).value(name, -1);
}

} // namespace

QStringList textsInOrder(const Values &values, const QList<Column> &columns) {
    QStringList texts(columns.size());
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        if (const int at = columnPosition(columns, it.key()); at >= 0)
            texts[at] = it.value();
    return texts;
}

PackedValues::PackedValues(const Values &values, const QList<Column> &columns)
    : PackedValues(textsInOrder(values, columns), columns) {
}

PackedValues::PackedValues(const QStringList &texts, const QList<Column> &columns)
    : m_columns(&columns) {
    Q_ASSERT(columns.size() <= 256 && texts.size() == columns.size()); // a byte for the place
    // Built in a scratch block, then copied into one of the exact size: a
    // block shrunk in place would leave a gap beside every card of a file.
    thread_local QByteArray packed; // its room stays for the next card
    packed.resize(0);
    for (int i = 0; i < columns.size(); ++i) {
        const QString &text = texts[i];
        if (text.isEmpty())
            continue;
        const QByteArray bytes = text.toUtf8();
        packed += char(i);
        for (quint64 length = quint64(bytes.size());; length >>= 7) { // seven bits a byte
            packed += char((length & 0x7f) | (length >= 0x80 ? 0x80 : 0));
            if (length < 0x80)
                break;
        }
        packed += bytes;
    }
    m_bytes = QByteArray(packed.constData(), packed.size());
}

namespace {

/// Calls `each(column index, text bytes)` for every text of a packed block.
template <typename Each> void forEachPacked(const QByteArray &bytes, const Each &each) {
    const char *at = bytes.constData();
    const char *const end = at + bytes.size();
    while (at < end) {
        const int column = uchar(*at++);
        qsizetype length = 0;
        for (int shift = 0;; shift += 7) {
            const uchar byte = uchar(*at++);
            length |= qsizetype(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                break;
        }
        each(column, QByteArrayView(at, length));
        at += length;
    }
}

} // namespace

Values PackedValues::unpack() const {
    Values values;
    forEachPacked(m_bytes, [&](int column, QByteArrayView text) {
        values.insert((*m_columns)[column].name, QString::fromUtf8(text));
    });
    return values;
}

Values PackedValues::unpack(const QStringList &only) const {
    Values values;
    forEachPacked(m_bytes, [&](int column, QByteArrayView text) {
        if (only.contains((*m_columns)[column].name))
            values.insert((*m_columns)[column].name, QString::fromUtf8(text));
    });
    return values;
}

void PackedValues::forEachText(const std::function<void(int, QByteArrayView)> &each) const {
    forEachPacked(m_bytes, each);
}

QStringList PackedValues::texts() const {
    QStringList texts(m_columns ? m_columns->size() : 0);
    forEachPacked(
        m_bytes, [&](int column, QByteArrayView text) { texts[column] = QString::fromUtf8(text); });
    return texts;
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
    static const QString before = QStringLiteral("TITUL_PRED"), first = QStringLiteral("JMENO"),
                         surname = QStringLiteral("PRIJMENI"), after = QStringLiteral("TITUL_ZA");
    QString text;
    for (const QString *name : {&before, &first, &surname}) {
        const QString part = contact.value(*name).trimmed();
        if (!part.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + part;
    }
    const QString degree = contact.value(after).trimmed();
    if (!degree.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(", ")) + degree;
    return text;
}

QString foldCase(const QString &text) {
    return text.trimmed().toUpper();
}

} // namespace io
