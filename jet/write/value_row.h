#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/table_definition.h"
#include "jet/value.h"

namespace jet {

// Lays out a new row of `table` straight from its values into `row` (whose storage is reused),
// without a buffer per field: the same bytes encodeRow gives for the fields of these values.
// `values` holds a pointer per column (table.columns order) to a value converted for the column
// (toColumnValue) or NULL; Text is checked (UTF-8, length) as it is encoded. Memo values must be
// NULL: rows with long values are built field by field, because where a memo goes depends on
// the room the rest of the row leaves. Throws std::invalid_argument for a value the engine does
// not write, Damage for a table definition no row can follow.
void encodeValueRowInto(const TableDefinition& table, const std::vector<const Value*>& values, std::vector<std::uint8_t>& row);

}  // namespace jet
