#pragma once

#include <QString>

namespace czech {

/// The answer of a check: the value in its normalised form when valid,
/// otherwise a short Czech reason that fits "IČO 12345678: <reason>".
struct Verdict {
    QString value;
    QString reason;

    bool isValid() const { return reason.isEmpty(); }

    static Verdict valid(const QString &value) { return {value, {}}; }
    static Verdict invalid(const QString &reason) { return {{}, reason}; }
};

} // namespace czech
