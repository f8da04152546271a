#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/byte_view.h"
#include "jet/format/table_definition.h"

namespace jet {

// A column's part of a stored row: whether its null-mask bit is set (for Yes/No columns the
// value itself) and its bytes (fixed area or variable data; empty when NULL).
struct RowField {
    bool present = false;
    std::vector<std::uint8_t> bytes;
};

// Splits a stored Jet 4 row into one field per column of `table` (table.columns order). Columns
// the row predates are NULL. Throws Damage when the row's offsets do not fit its bytes.
std::vector<RowField> splitRow(const TableDefinition& table, Bytes row);

// What every stored row of a table has, whatever its values: the column count (the table's
// maximum, counting dropped columns), the null mask's size, the fixed area's size and the number
// of variable slots. Throws Damage for a definition no row can follow.
struct RowFrame {
    static constexpr std::size_t kMaxSlots = 256;   // Jet 4 tables have at most 255 columns
    std::size_t columnCount = 0;
    std::size_t maskSize = 0;
    std::size_t fixedSize = 0;
    std::size_t variableSlots = 0;
};
RowFrame rowFrame(const TableDefinition& table);

// Lays out a row from its fields: column count (the table's maximum), fixed area, variable
// data with its offset table, null mask.
std::vector<std::uint8_t> joinRow(const TableDefinition& table, const std::vector<RowField>& fields);
// The same into `row`, whose storage is reused (callers writing many rows keep one buffer).
void joinRowInto(const TableDefinition& table, const std::vector<RowField>& fields, std::vector<std::uint8_t>& row);

}  // namespace jet
