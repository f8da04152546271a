#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/format/column_type.h"
#include "jet/value.h"

namespace jet {

// Index keys as Jet 4 sorts them: entries compare as raw bytes. Each key column contributes a
// flag byte (0x7F ascending value, 0x00 NULL) and its encoded value.

// Appends one key column. Supported: Byte, Integer, Long (AutoNumber), DateTime and, under the
// General sort order (1033) or Chinese PRC (2052, same codes for ASCII), Text made of ASCII
// characters. A descending column has flag 0x80 (0xFF for NULL) and its value bytes inverted,
// so that raw byte order is still the index order. Throws std::invalid_argument naming the
// reason for anything else.
void appendIndexKey(std::vector<std::uint8_t>& key, ColumnType type, std::uint16_t sortOrder, const Value& value, bool ascending = true);

// Whether a key of `columnCount` columns holds NULL in every column: each column is then its
// flag byte alone (0x00 ascending, 0xFF descending).
bool isAllNullKey(const std::vector<std::uint8_t>& key, std::size_t columnCount);

// The General sort order text key of an ASCII string (without the flag byte).
std::vector<std::uint8_t> generalTextKey(const std::string& text);

}  // namespace jet
