#include "jet/format/field_value.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "jet/error.h"
#include "jet/format/long_value.h"
#include "jet/format/text_codec.h"

namespace jet {

namespace {

std::string formatGuid(Bytes b) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3], b[2], b[1],
                  b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return buffer;
}

// Decimal: sign byte (0x80 = negative), then a 128-bit magnitude stored as four little-endian
// 32-bit words, most significant word first.
std::string formatDecimal(Bytes b, unsigned scale) {
    std::uint32_t words[4];   // most significant first
    for (int word = 0; word < 4; ++word) {
        std::uint32_t w = 0;
        for (int k = 3; k >= 0; --k) w = (w << 8) | b[1 + word * 4 + k];
        words[word] = w;
    }
    auto isZero = [&] { return (words[0] | words[1] | words[2] | words[3]) == 0; };
    std::string digits;
    do {
        std::uint64_t remainder = 0;
        for (auto& w : words) {
            const std::uint64_t current = (remainder << 32) | w;
            w = static_cast<std::uint32_t>(current / 10);
            remainder = current % 10;
        }
        digits.insert(digits.begin(), static_cast<char>('0' + remainder));
    } while (!isZero());
    if (scale > 28) scale = 28;
    if (scale > 0) {
        while (digits.size() <= scale) digits.insert(digits.begin(), '0');
        digits.insert(digits.end() - scale, '.');
    }
    const bool zero = digits.find_first_not_of("0.") == std::string::npos;
    if ((b[0] & 0x80) && !zero) digits.insert(digits.begin(), '-');
    return digits;
}

std::int64_t signExtend(std::uint64_t raw, unsigned bytes) {
    const unsigned shift = 64 - bytes * 8;
    return static_cast<std::int64_t>(raw << shift) >> shift;
}

Value decodeFixed(const ColumnDefinition& column, Bytes data) {
    const ByteView v(data);
    switch (column.columnType()) {
    case ColumnType::Byte: return std::int64_t{v.u8(0, "byte value")};
    case ColumnType::Integer: return signExtend(v.u16(0, "integer value"), 2);
    case ColumnType::Long: return signExtend(v.u32(0, "long value"), 4);
    case ColumnType::Complex: return signExtend(v.u32(0, "complex value"), 4);
    case ColumnType::BigInt: return static_cast<std::int64_t>(v.u64(0, "big integer value"));
    case ColumnType::Money: return Money{static_cast<std::int64_t>(v.u64(0, "money value"))};
    case ColumnType::Float: return static_cast<double>(v.f32(0, "single value"));
    case ColumnType::Double: return v.f64(0, "double value");
    case ColumnType::DateTime: return DateTime{v.f64(0, "date value")};
    case ColumnType::Guid: return GuidText{formatGuid(v.slice(0, 16, "GUID value"))};
    case ColumnType::Numeric: return DecimalText{formatDecimal(v.slice(0, 17, "decimal value"), column.scale)};
    default: return Blob(data.begin(), data.end());
    }
}

}  // namespace

Value decodeField(const PageFile& file, const ColumnDefinition& column, const FieldSlice& field) {
    if (column.columnType() == ColumnType::Boolean) return field.present;
    if (!field.present) return Value();
    const Bytes data = field.bytes;
    switch (column.columnType()) {
    case ColumnType::Text: return decodeStoredText(data);
    case ColumnType::Memo:
        if (data.empty()) return std::string();
        return decodeStoredText(readLongValue(file, data));
    case ColumnType::Ole:
        if (data.empty()) return Blob();
        return readLongValue(file, data);
    default:
        // Access sometimes stores fixed-size types in the variable area (columns without the
        // fixed flag); they decode the same way.
        return decodeFixed(column, data);
    }
}

Value decodeField(const PageFile& file, const ColumnDefinition& column, const RowField& field) {
    return decodeField(file, column, FieldSlice{field.present, Bytes(field.bytes.data(), field.bytes.size())});
}

void writeFixedField(const ColumnDefinition& column, const Value& value, std::uint8_t* at) {
    switch (column.columnType()) {
    case ColumnType::Byte: at[0] = static_cast<std::uint8_t>(std::get<std::int64_t>(value)); break;
    case ColumnType::Integer: putU16(at, static_cast<std::uint32_t>(std::get<std::int64_t>(value)) & 0xFFFFu); break;
    case ColumnType::Long: putU32(at, static_cast<std::uint32_t>(std::get<std::int64_t>(value))); break;
    case ColumnType::Double: putF64(at, std::get<double>(value)); break;
    case ColumnType::Float: {
        const float f = static_cast<float>(std::get<double>(value));
        std::uint32_t raw;
        std::memcpy(&raw, &f, 4);
        putU32(at, raw);
        break;
    }
    case ColumnType::DateTime: putF64(at, std::get<DateTime>(value).days); break;
    default: refuseUnwrittenType(column);
    }
}

void refuseUnwrittenType(const ColumnDefinition& column) {
    throw Refusal(ErrorKind::Unsupported, BrokenRule::None, column.name,
                  "writing " + columnTypeName(column.type) + " column " + column.name + " is not supported");
}

}  // namespace jet
