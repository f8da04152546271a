#pragma once

#include <cstdint>

#include "jet/file/page_file.h"
#include "jet/format/row.h"
#include "jet/format/table_definition.h"
#include "jet/value.h"

namespace jet {

// One column's value and its stored bytes in a row, both ways.

// The value of a column from its field (present: its null-mask bit; bytes: its slice of the
// row). Memo and OLE values are fetched from their long-value rows. Throws Damage when the bytes
// do not hold what the column's type needs.
Value decodeField(const PageFile& file, const ColumnDefinition& column, const FieldSlice& field);
Value decodeField(const PageFile& file, const ColumnDefinition& column, const RowField& field);

// Writes a converted, non-NULL value of a fixed-size column (fixedSizeOf bytes) at `at`. Throws
// Refusal(Unsupported) for types this engine does not write.
void writeFixedField(const ColumnDefinition& column, const Value& value, std::uint8_t* at);

// Refuses a value of a column type this engine does not write: Refusal(Unsupported) naming the
// column and its type.
[[noreturn]] void refuseUnwrittenType(const ColumnDefinition& column);

}  // namespace jet
