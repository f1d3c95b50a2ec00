#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QMap>
#include <QString>

/// The confirms the durability writer makes, and the database content they
/// lead to. Each round works on companies of its own (round * 1000 + group);
/// a group is four confirms:
///   0  insert a company (name, a description of 250 characters) with its
///      placeholder contact, as the company form does
///   1  rename it
///   2  insert a contact of it with a photo (a new ID, as the contact form takes)
///   3  delete that contact (odd groups) or rename it (even groups)
namespace durability {

constexpr int kStepsPerRound = 4 * 249;

inline int rowId(int round, int step) {
    return round * 1000 + step / 4;
}

inline QString description(int id) {
    QString text;
    while (text.size() < 250)
        text += QStringLiteral("Popis %1 žluťoučký; ").arg(id);
    return text.left(250);
}

inline QByteArray photo(int id) {
    QByteArray bytes(48 * 1024 + id % 4096, Qt::Uninitialized);
    quint32 x = quint32(id) * 2654435761u + 1;
    for (char &b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = char(x >> 24);
    }
    return bytes;
}

inline QString digest(const QByteArray &bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
}

/// Rows of one round as "F<id>" / "K<id>" -> their values joined by '|'; a
/// company's values end in "listed" when a contact row (its placeholder or
/// a contact person) lists it on the board. K<id> is the contact person of
/// company <id>.
using Content = QMap<QString, QString>;

/// The content of `round` after its first `steps` confirms.
inline Content expected(int round, int steps) {
    Content c;
    for (int step = 0; step < steps; ++step) {
        const int id = rowId(round, step);
        const QString f = QStringLiteral("F%1").arg(id), k = QStringLiteral("K%1").arg(id);
        switch (step % 4) {
        case 0:
            c[f] = QStringLiteral("Firma %1|%2|listed").arg(id).arg(description(id));
            break;
        case 1:
            c[f] = QStringLiteral("Změněná %1|%2|listed").arg(id).arg(description(id));
            break;
        case 2:
            c[k] = QStringLiteral("Kontakt %1|%2").arg(id).arg(digest(photo(id)));
            break;
        case 3:
            if ((step / 4) % 2)
                c.remove(k);
            else
                c[k] = QStringLiteral("Hotovo %1|%2").arg(id).arg(digest(photo(id)));
            break;
        }
    }
    return c;
}

} // namespace durability
