#pragma once

#include "grid/GridColumn.h"
#include "support/DataFixture.h"

/// Adds `count` contacts of company `company`, with identifiers after the
/// largest one and surnames "Příjmení00000", "Příjmení00001", ...
inline void addContacts(DataFixture &f, int count, int company = 1) {
    const int first =
        f.scalar(QStringLiteral("SELECT COALESCE(MAX(ID), 0) FROM KONTAKT")).toInt() + 1;
    QList<QVariantList> rows;
    for (int i = 0; i < count; ++i)
        rows << QVariantList{first + i, company, QStringLiteral("Jméno%1").arg(i),
                             QStringLiteral("Příjmení%1").arg(i, 5, 10, QLatin1Char('0')),
                             QStringLiteral(" ")};
    f.dm->ZConKontakty.executeBatch(
        "INSERT INTO KONTAKT (ID, ID_FIRMA, JMENO, PRIJMENI, KRAJ) VALUES (?, ?, ?, ?, ?)", rows);
}

/// A query over the contacts in identifier order, on the fixture's connection.
inline std::unique_ptr<dataset::QueryDataset>
contactQuery(DataFixture &f, const QString &columns = QStringLiteral("ID, PRIJMENI, JMENO")) {
    auto q = std::make_unique<dataset::QueryDataset>(QStringLiteral("qTest"), &f.dm->ZConKontakty);
    q->setSql(QStringLiteral("SELECT %1 FROM KONTAKT ORDER BY ID").arg(columns));
    return q;
}

inline grid::GridColumn gridColumn(const QString &field, int width = 64) {
    grid::GridColumn c;
    c.field = field;
    c.width = width;
    return c;
}
