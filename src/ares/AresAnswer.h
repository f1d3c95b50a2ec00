#pragma once

#include <QByteArray>
#include <QString>

namespace ares {

/// What the register says of one company, as the company form's boxes take
/// it. Every text is one trimmed line.
struct CompanyRecord {
    QString name; ///< the business name, never empty
    QString dic;  ///< empty when the register has none
    /// False when the answer has no seat; the address boxes are then left alone.
    bool hasSeat = false;
    QString street;   ///< "Ulice (1)": street and numbers, or the village's
    QString district; ///< "Ulice (2)": the part of town, when a street names the place
    QString town;
    QString postcode; ///< "110 00" for a Czech five-digit code
    QString country;

    bool operator==(const CompanyRecord &) const = default;
};

/// An answer read: the record, or a Czech reason why the answer cannot be used.
struct AnswerReading {
    CompanyRecord record;
    QString error;

    bool isValid() const { return error.isEmpty(); }
};

/// Reads the register's JSON answer for one economic subject.
AnswerReading readCompany(const QByteArray &json);

} // namespace ares
