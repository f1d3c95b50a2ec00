// Entries → vCard 3.0 or 4.0 text.
#include "io/VCardContacts.h"

#include <QDate>

namespace io {
namespace {

const QString kFirmaGroup = QStringLiteral("firma");

QString escape(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\') || c == QLatin1Char(',') || c == QLatin1Char(';'))
            out += QLatin1Char('\\') + c;
        else if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            continue; // the line feed that follows stands for the whole break
        else if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            out += QLatin1String("\\n");
        else
            out += c;
    }
    return out;
}

QString structured(const QStringList &components) {
    QStringList escaped;
    for (const QString &c : components)
        escaped << escape(c);
    return escaped.join(QLatin1Char(';'));
}

/// Folds a logical line at 75 octets without cutting a UTF-8 sequence.
void appendFolded(QByteArray &out, const QByteArray &line) {
    constexpr qsizetype kWidth = 75;
    qsizetype start = 0;
    qsizetype width = kWidth;
    while (line.size() - start > width) {
        qsizetype cut = start + width;
        while (cut > start && (uchar(line[cut]) & 0xC0) == 0x80)
            --cut;
        out += line.mid(start, cut - start);
        out += "\r\n ";
        start = cut;
        width = kWidth - 1; // the leading space counts
    }
    out += line.mid(start);
    out += "\r\n";
}

class CardWriter {
  public:
    CardWriter(QByteArray &out, VCardVersion version)
        : m_out(out), m_v4(version == VCardVersion::V4) {}

    void write(const Entry &e) {
        line(QStringLiteral("BEGIN:VCARD"));
        line(m_v4 ? QStringLiteral("VERSION:4.0") : QStringLiteral("VERSION:3.0"));
        if (e.companyOnly)
            writeCompanyOnly(e);
        else
            writeContact(e);
        writeCompanyColumns(e.company);
        text(kCompanyExtensionPrefix + QStringLiteral("ID"), e.companyKey);
        line(QStringLiteral("END:VCARD"));
    }

  private:
    void line(const QString &text) { appendFolded(m_out, text.toUtf8()); }
    void prop(const QString &name, const QString &value, const QString &params = {}) {
        line(name + params + QLatin1Char(':') + value);
    }
    void text(const QString &name, const QString &value, const QString &params = {}) {
        if (value.isEmpty())
            return;
        // vCard knows one line break; ours are CR LF where a note box wrote
        // them, and a parameter keeps that for the way back.
        const QString lineBreaks =
            value.contains(QLatin1String("\r\n")) ? kCrLfParameter : QString();
        prop(name, escape(value), params + lineBreaks);
    }
    QString type(const QString &v4Types, const QString &v3Types) const {
        return QStringLiteral(";TYPE=") + (m_v4 ? v4Types : v3Types);
    }

    void writeCompanyOnly(const Entry &e) {
        line(m_v4 ? QStringLiteral("KIND:org") : QStringLiteral("X-ABShowAs:COMPANY"));
        prop(QStringLiteral("FN"), escape(e.companyName()));
        if (!m_v4)
            prop(QStringLiteral("N"), QStringLiteral(";;;;"));
        prop(QStringLiteral("ORG"), escape(e.companyName()));
        writeCompanyStandIns(e, Values());
    }

    void writeContact(const Entry &e) {
        const Values &c = e.contact;
        auto v = [&c](const char *column) { return c.value(QString::fromLatin1(column)); };
        const QString name = displayName(c);
        prop(QStringLiteral("FN"), escape(name.isEmpty() ? e.companyName() : name));
        prop(QStringLiteral("N"),
             structured({v("PRIJMENI"), v("JMENO"), QString(), v("TITUL_PRED"), v("TITUL_ZA")}));
        if (!e.companyName().isEmpty() || !v("POPIS").isEmpty()) {
            QStringList org{e.company.value(QStringLiteral("NAZEV_FIRMA"))};
            if (!v("POPIS").isEmpty())
                org << v("POPIS");
            prop(QStringLiteral("ORG"), structured(org));
        }
        text(QStringLiteral("TITLE"), v("POZICE"));
        writeBirthday(v("NAROZENINY"));
        if (hasAddress(c, QString()))
            prop(QStringLiteral("ADR"), address(c, QString()),
                 type(QStringLiteral("home"), QStringLiteral("HOME")));
        text(QStringLiteral("TEL"), v("TELEFON1"),
             type(QStringLiteral("work,voice"), QStringLiteral("WORK,VOICE")));
        text(QStringLiteral("TEL"), v("TELEFON2"),
             type(QStringLiteral("work,voice"), QStringLiteral("WORK,VOICE")) +
                 QStringLiteral(";X-COLUMN=TELEFON2"));
        text(QStringLiteral("TEL"), v("MOBIL"),
             type(QStringLiteral("cell"), QStringLiteral("CELL")));
        text(QStringLiteral("TEL"), v("FAX"),
             type(QStringLiteral("work,fax"), QStringLiteral("WORK,FAX")));
        text(QStringLiteral("EMAIL"), v("EMAIL1"),
             m_v4 ? QStringLiteral(";PREF=1") : QStringLiteral(";TYPE=INTERNET,PREF"));
        text(QStringLiteral("EMAIL"), v("EMAIL2"),
             (m_v4 ? QString() : QStringLiteral(";TYPE=INTERNET")) +
                 QStringLiteral(";X-COLUMN=EMAIL2"));
        text(QStringLiteral("URL"), v("WWW"));
        text(QStringLiteral("X-ICQ"), v("ICQ"));
        text(QStringLiteral("X-SKYPE"), v("SKYPE"));
        text(QStringLiteral("NOTE"), v("POZNAMKA"));
        for (const char *column :
             {"DALSI1", "DALSI2", "SVATEK", "UPOMINKA", "POZNAMKA_KSPOJ", "NAZEV_ADRESA"})
            text(extensionName(kExtensionPrefix, QString::fromLatin1(column)), v(column));
        if (!e.photo.isEmpty()) {
            const QString data = QString::fromLatin1(e.photo.toBase64());
            if (m_v4)
                prop(QStringLiteral("PHOTO"), QStringLiteral("data:image/jpeg;base64,") + data);
            else
                prop(QStringLiteral("PHOTO"), data, QStringLiteral(";ENCODING=b;TYPE=JPEG"));
        }
        writeCompanyStandIns(e, c);
    }

    void writeBirthday(const QString &text) {
        if (text.isEmpty())
            return;
        const QDate date = QDate::fromString(text, QStringLiteral("d.M.yyyy"));
        if (date.isValid())
            prop(QStringLiteral("BDAY"),
                 date.toString(m_v4 ? QStringLiteral("yyyyMMdd") : QStringLiteral("yyyy-MM-dd")));
        // The stored text is free: anything the date does not give back exactly travels as well.
        if (!date.isValid() || date.toString(QStringLiteral("d.M.yyyy")) != text)
            this->text(kExtensionPrefix + QStringLiteral("NAROZENINY"), text);
    }

    static bool hasAddress(const Values &values, const QString &suffix) {
        for (const char *stem : {"ADRESA", "ULICE", "OBEC", "PSC", "STAT"})
            if (!values.value(QString::fromLatin1(stem) + suffix).isEmpty())
                return true;
        return false;
    }
    static QString address(const Values &values, const QString &suffix) {
        auto v = [&](const char *stem) { return values.value(QString::fromLatin1(stem) + suffix); };
        return structured(
            {QString(), v("ULICE"), v("ADRESA"), v("OBEC"), QString(), v("PSC"), v("STAT")});
    }

    /// The company's seat and numbers for programs that know nothing of
    /// companies; the group tells an import that they are the company's.
    void writeCompanyStandIns(const Entry &e, const Values &contact) {
        const Values &f = e.company;
        const QString group = kFirmaGroup + QLatin1Char('.');
        if (!hasAddress(contact, QString()) && hasAddress(f, QStringLiteral("_FS")))
            prop(group + QStringLiteral("ADR"), address(f, QStringLiteral("_FS")),
                 type(QStringLiteral("work"), QStringLiteral("WORK")));
        const std::pair<const char *, QString> phones[] = {
            {"TELEFON1", type(QStringLiteral("work,voice"), QStringLiteral("WORK,VOICE"))},
            {"MOBIL", type(QStringLiteral("work,cell"), QStringLiteral("WORK,CELL"))},
            {"FAX", type(QStringLiteral("work,fax"), QStringLiteral("WORK,FAX"))}};
        for (const auto &[column, params] : phones) {
            const QString name = QString::fromLatin1(column);
            if (contact.value(name).isEmpty())
                text(group + QStringLiteral("TEL"), f.value(name), params);
        }
    }

    void writeCompanyColumns(const Values &company) {
        for (const Column &column : companyColumns())
            if (column.name != QLatin1String("NAZEV_FIRMA"))
                text(extensionName(kCompanyExtensionPrefix, column.name),
                     company.value(column.name));
    }

    QByteArray &m_out;
    bool m_v4;
};

} // namespace

void appendVCard(QByteArray &out, const Entry &entry, VCardVersion version) {
    CardWriter(out, version).write(entry);
}

QByteArray writeVCards(const QList<Entry> &entries, VCardVersion version) {
    QByteArray out;
    for (const Entry &e : entries)
        appendVCard(out, e, version);
    return out;
}

} // namespace io
