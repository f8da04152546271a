#include "jet/format/column_type.h"

#include <cstdio>

namespace jet {

std::string columnTypeName(std::uint8_t type) {
    switch (static_cast<ColumnType>(type)) {
    case ColumnType::Boolean: return "YesNo";
    case ColumnType::Byte: return "Byte";
    case ColumnType::Integer: return "Integer";
    case ColumnType::Long: return "Long";
    case ColumnType::Money: return "Currency";
    case ColumnType::Float: return "Single";
    case ColumnType::Double: return "Double";
    case ColumnType::DateTime: return "DateTime";
    case ColumnType::Binary: return "Binary";
    case ColumnType::Text: return "Text";
    case ColumnType::Ole: return "OLE";
    case ColumnType::Memo: return "Memo";
    case ColumnType::Guid: return "GUID";
    case ColumnType::Numeric: return "Decimal";
    case ColumnType::Unknown11: return "Binary(0x11)";
    case ColumnType::Complex: return "Complex";
    case ColumnType::BigInt: return "BigInt";
    }
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "Unknown(0x%02X)", type);
    return buffer;
}

std::size_t fixedSizeOf(ColumnType type) {
    switch (type) {
    case ColumnType::Boolean: return 0;   // lives in the null mask
    case ColumnType::Byte: return 1;
    case ColumnType::Integer: return 2;
    case ColumnType::Long: return 4;
    case ColumnType::Money: return 8;
    case ColumnType::Float: return 4;
    case ColumnType::Double: return 8;
    case ColumnType::DateTime: return 8;
    case ColumnType::Guid: return 16;
    case ColumnType::Numeric: return 17;
    case ColumnType::Complex: return 4;
    case ColumnType::BigInt: return 8;
    default: return 0;
    }
}

bool isLongValueType(ColumnType type) { return type == ColumnType::Ole || type == ColumnType::Memo; }

}  // namespace jet
