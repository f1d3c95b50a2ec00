#include "db/FieldType.h"

namespace db {

QString fieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::SmallInt:
        return QStringLiteral("SmallInt");
    case FieldType::Integer:
        return QStringLiteral("Integer");
    case FieldType::LargeInt:
        return QStringLiteral("LargeInt");
    case FieldType::Float:
        return QStringLiteral("Float");
    case FieldType::Text:
        return QStringLiteral("String");
    case FieldType::DateTime:
        return QStringLiteral("DateTime");
    case FieldType::Memo:
        return QStringLiteral("Memo");
    case FieldType::Bytes:
        return QStringLiteral("Blob");
    case FieldType::Unknown:
        break;
    }
    return QStringLiteral("Unknown");
}

bool isIntegerType(FieldType type) {
    return type == FieldType::SmallInt || type == FieldType::Integer || type == FieldType::LargeInt;
}

bool isBlobType(FieldType type) {
    return type == FieldType::Memo || type == FieldType::Bytes;
}

} // namespace db
