// The record filter expression: parsing any text either gives an expression
// or throws the layer's error; evaluating one never fails.
#include "FuzzSupport.h"
#include "dataset/FilterExpression.h"
#include "db/DbError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    try {
        const dataset::FilterExpression expression(fuzz::text(data, size));
        expression.columns();
        expression.matches([](const QString &column, bool *isNumeric, bool *found) {
            *found = !column.startsWith(QLatin1Char('X'), Qt::CaseInsensitive);
            *isNumeric = column.size() % 2 == 0;
            return *isNumeric ? QStringLiteral("42") : QStringLiteral("Řeřicha");
        });
    } catch (const db::DbError &) {
    }
    return 0;
}
