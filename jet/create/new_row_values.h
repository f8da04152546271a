#pragma once

#include <string>
#include <vector>

#include "jet/format/table_definition.h"
#include "jet/value.h"

namespace jet {

// Checks the requested rows of a new table against its columns and converts them to the form the
// row writer stores (integers for AutoNumber NULLs, dates from "YYYY-MM-DD[ HH:MM:SS]" text,
// false for NULL Yes/No). Sets the definition's row count and last AutoNumber. Throws
// Error(InvalidArgument) naming the row and column.
std::vector<std::vector<Value>> prepareNewRows(const std::string& path, TableDefinition& definition,
                                               const std::vector<std::vector<Value>>& requestRows);

}  // namespace jet
