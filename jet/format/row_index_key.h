#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/format/table_definition.h"
#include "jet/value.h"

namespace jet {

// The key bytes a row has in one physical index of its table: per key column the flag byte and
// encoded value (descending columns inverted). `values` follow table.columns (a pointer per
// column, so that a row's values need not be copied together first). Returns false
// when the index leaves the row out (ignore-nulls index, every key column NULL); `allNull` says
// whether every key column is NULL. Throws Refusal (Unsupported) naming the column when a key
// cannot be encoded (for instance non-ASCII text), std::out_of_range for a key column that the
// table does not have.
bool rowIndexKey(const TableDefinition& table, std::size_t physicalIndex, const std::vector<const Value*>& values, std::vector<std::uint8_t>& key,
                 bool& allNull);

// Pointers to each of `values`, in order.
std::vector<const Value*> valuePointers(const std::vector<Value>& values);

// The name of the (first) logical index using a physical index, for messages.
std::string physicalIndexName(const TableDefinition& table, std::size_t physicalIndex);
// The names of a physical index's key columns, in key order (for errors that name them).
std::vector<std::string> physicalIndexColumnNames(const TableDefinition& table, std::size_t physicalIndex);

}  // namespace jet
