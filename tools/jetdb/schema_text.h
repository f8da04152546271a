#pragma once

#include <string>

#include "jet/format/table_definition.h"

namespace jetdb {

// Human-readable description of a table: columns with types and flags, then indexes.
std::string schemaText(const jet::TableDefinition& table);

}  // namespace jetdb
