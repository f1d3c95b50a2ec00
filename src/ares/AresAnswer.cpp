#include "ares/AresAnswer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringList>

#include <cmath>
#include <optional>

namespace ares {
namespace {

const QString kUnreadable = QStringLiteral("Odpověď ARES nelze přečíst: %1");

/// One line of text: control characters become blanks, runs of blanks one.
QString oneLine(const QString &text) {
    QString line = text;
    for (QChar &c : line)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
            c.category() == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    return line.simplified();
}

/// The text of `key` in `object`: a string, or a whole number as the
/// register writes house numbers and postcodes; empty when missing or null.
/// Nothing when the value is of another kind.
std::optional<QString> textOf(const QJsonObject &object, const QString &key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return QString();
    if (value.isString())
        return oneLine(value.toString());
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (number >= 0 && number < 1e12 && std::floor(number) == number)
            return QString::number(static_cast<qint64>(number));
    }
    return std::nullopt;
}

QString postcodeText(const QString &code) {
    QString digits = code;
    digits.remove(QLatin1Char(' '));
    bool allDigits = digits.size() == 5;
    for (const QChar c : digits)
        allDigits = allDigits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    return allDigits ? digits.left(3) + QLatin1Char(' ') + digits.mid(3) : code;
}

/// "Karlova 5/12a"; a village without streets is written by its part or
/// its own name, "Lhota 12".
QString streetLine(const QString &street, const QString &place, const QString &house,
                   const QString &orientation, const QString &letter) {
    QString numbers = house;
    if (!orientation.isEmpty())
        numbers += (numbers.isEmpty() ? QString() : QStringLiteral("/")) + orientation + letter;
    const QString where = street.isEmpty() ? place : street;
    return QStringList{where, numbers}.join(QLatin1Char(' ')).trimmed();
}

struct Seat {
    QString street, house, orientation, letter, part, town, postcode, country, text;
};

/// The seat's fields, or the name of the first one of an unexpected kind.
std::optional<Seat> readSeat(const QJsonObject &seat, QString &badField) {
    Seat s;
    const std::pair<const char *, QString *> fields[] = {{"nazevUlice", &s.street},
                                                         {"cisloDomovni", &s.house},
                                                         {"cisloOrientacni", &s.orientation},
                                                         {"cisloOrientacniPismeno", &s.letter},
                                                         {"nazevCastiObce", &s.part},
                                                         {"nazevObce", &s.town},
                                                         {"psc", &s.postcode},
                                                         {"nazevStatu", &s.country},
                                                         {"textovaAdresa", &s.text}};
    for (const auto &[key, target] : fields) {
        const auto text = textOf(seat, QString::fromLatin1(key));
        if (!text) {
            badField = QLatin1String("sidlo.") + QLatin1String(key);
            return std::nullopt;
        }
        *target = *text;
    }
    return s;
}

void fillSeat(CompanyRecord &record, const Seat &s) {
    const QStringList all{s.street, s.house,    s.orientation, s.letter, s.part,
                          s.town,   s.postcode, s.country,     s.text};
    record.hasSeat = !all.join(QString()).isEmpty();
    if (!record.hasSeat)
        return;
    record.country = s.country;
    if (s.town.isEmpty() && s.part.isEmpty() && s.street.isEmpty()) {
        // An address the register keeps as text only (one abroad, say).
        record.street = s.text;
        return;
    }
    const QString place = s.part.isEmpty() ? s.town : s.part;
    record.street = streetLine(s.street, place, s.house, s.orientation, s.letter);
    if (!s.street.isEmpty() && s.part.compare(s.town, Qt::CaseInsensitive) != 0)
        record.district = s.part;
    record.town = s.town;
    record.postcode = postcodeText(s.postcode);
}

} // namespace

AnswerReading readCompany(const QByteArray &json) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {
            {},
            kUnreadable.arg(
                QStringLiteral("není to platný JSON (chyba na znaku %1).").arg(parseError.offset))};
    if (!document.isObject())
        return {{}, kUnreadable.arg(QStringLiteral("nečekaný tvar dat."))};
    const QJsonObject subject = document.object();
    AnswerReading reading;
    QString badField;
    const auto name = textOf(subject, QStringLiteral("obchodniJmeno"));
    const auto dic = textOf(subject, QStringLiteral("dic"));
    if (!name || !dic)
        badField = name ? QStringLiteral("dic") : QStringLiteral("obchodniJmeno");
    const QJsonValue seat = subject.value(QStringLiteral("sidlo"));
    std::optional<Seat> seatFields;
    if (badField.isEmpty() && seat.isObject())
        seatFields = readSeat(seat.toObject(), badField);
    else if (badField.isEmpty() && !seat.isUndefined() && !seat.isNull())
        badField = QStringLiteral("sidlo");
    if (!badField.isEmpty())
        return {{}, kUnreadable.arg(QStringLiteral("pole „%1“ má nečekaný typ.").arg(badField))};
    if (name->isEmpty())
        return {{}, QStringLiteral("Odpověď ARES neobsahuje obchodní jméno subjektu.")};
    reading.record.name = *name;
    reading.record.dic = *dic;
    if (seatFields)
        fillSeat(reading.record, *seatFields);
    return reading;
}

} // namespace ares
