#pragma once

#include <cstdint>
#include <string>

namespace jet {

// Column data types as stored in a Jet 4 column descriptor.
enum class ColumnType : std::uint8_t {
    Boolean = 0x01,
    Byte = 0x02,
    Integer = 0x03,   // 16-bit
    Long = 0x04,      // 32-bit
    Money = 0x05,     // 64-bit, scaled by 10,000
    Float = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
    Guid = 0x0F,
    Numeric = 0x10,
    Unknown11 = 0x11, // undocumented; Access keeps binary data in it (MSysAccessObjects.Data)
    Complex = 0x12,   // Access 2007+ only
    BigInt = 0x13,    // Access 2016+ only
};

// Name as the schema output spells it, e.g. "Text", "Memo", "Long"; "Unknown(0x13)" for others.
std::string columnTypeName(std::uint8_t type);

// Size in the row's fixed area, or 0 for variable-length types.
std::size_t fixedSizeOf(ColumnType type);

bool isLongValueType(ColumnType type);

}  // namespace jet
