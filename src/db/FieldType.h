#pragma once

#include <QString>

namespace db {

/// The kinds of value a field holds.
enum class FieldType { SmallInt, Integer, LargeInt, Float, Text, DateTime, Memo, Bytes, Unknown };

/// English type name used in error texts ("Type mismatch ... expecting: %s").
QString fieldTypeName(FieldType type);
bool isIntegerType(FieldType type);
bool isBlobType(FieldType type);

} // namespace db
